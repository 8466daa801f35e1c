// Options > Background Colour...: the colour dialog of the desktop toolkit, with two choices
// of our own beside it: "Chroma green" (a flat green to key out in a stream) and "Default"
// (the window's own dark grey). Colours go in and out as "#rrggbb".
//
//   BackgroundDialog dialog("#1a1a1f", "#00b140", "#1a1a1f");
//   "Chroma green", then OK: dialog.Chosen() -> "#00b140"
#pragma once

#include <QColorDialog>
#include <string>

class BackgroundDialog : public QColorDialog {
  public:
    BackgroundDialog(const std::string& current, const std::string& chromaGreen,
                     const std::string& byDefault, QWidget* parent = nullptr);

    // The colour shown in the dialog now, as "#rrggbb".
    std::string Chosen() const;
};
