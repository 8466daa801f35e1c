// Options > Background Colour...: the colour dialog of the desktop toolkit, with two choices
// of our own beside it: "Chroma green" (a flat green to key out in a stream) and "Default"
// (the window's own dark grey). Colours go in and out as "#rrggbb".
#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

// The colour chosen, or nullopt when the dialog was cancelled.
//   ChooseBackgroundColour("#1a1a1f", "#00b140", "#1a1a1f", window) -> "#00b140" after
//   "Chroma green" and OK.
std::optional<std::string> ChooseBackgroundColour(const std::string& current,
                                                  const std::string& chromaGreen,
                                                  const std::string& byDefault,
                                                  QWidget* parent = nullptr);

// For tests: while set, ChooseBackgroundColour answers this instead of showing a dialog.
using BackgroundColourHook = std::function<std::optional<std::string>(const std::string&)>;
void SetBackgroundColourTestHook(BackgroundColourHook hook);
