// How the window looks, beyond what the grid shows: the zoom, whether it stays above other
// windows, and its background colour. Settings of the "Window" section (Settings.h), each
// written as soon as it changes:
//   Zoom=150           percent, 50 to 400 in steps of 25. At the first launch (no settings
//                      yet): the smallest step that draws grid text at least 12 pixels tall,
//                      as long as the first window fits the screen; missing from settings of
//                      an older version, or not a zoom: 100
//   AlwaysOnTop=Y      "Y" on; anything else off
//   Background=#00b140 "#rrggbb"; missing or not a colour: the default dark grey
// The window and the grid take the background; the texts keep their colours.
//
// Owned by the shell; main thread only.
#pragma once

#include <functional>

#include "Settings.h"
#include "Toolkit.h"

class ViewLook {
  public:
    // The background of a first launch, and of "Default" in the colour dialog.
    static constexpr tk::Color kDefaultBackground = {0.1, 0.1, 0.12, 1};
    // "Chroma green" in the colour dialog: a flat green to key out in a stream.
    static constexpr tk::Color kChromaGreen = {0, 177.0 / 255, 64.0 / 255, 1};
    // Grid text is drawn at least this tall at the first launch's zoom (pixels).
    static constexpr double kLegibleTextPixels = 12;

    // relayout: called after the zoom changed, so that the shell sizes the window again.
    explicit ViewLook(std::function<void()> relayout) : relayout_(std::move(relayout)) {}

    // At launch, before the window is placed: reads the settings and applies them to window
    // (the toolkit's zoom included). gridFontPoints and firstWindow (points) choose the zoom of
    // a first launch. Every later change is written into settings at once.
    void Read(Settings& settings, tk::Window& window, double gridFontPoints,
              const tk::Rect& firstWindow);
    // At quit: the values as they are put back for the last write.
    void Put(Settings& settings) const;

    // View > Zoom In, Zoom Out, Actual Size: a step up, a step down, 100 %.
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    // View > Always on Top: toggles; returns the new state.
    bool ToggleAlwaysOnTop();
    void SetBackground(const tk::Color& color);

    double Zoom() const { return zoom_; }
    bool AlwaysOnTop() const { return alwaysOnTop_; }
    tk::Color Background() const { return background_; }

  private:
    void SetZoom(double zoom);

    std::function<void()> relayout_;
    tk::Window* window_ = nullptr;
    Settings* settings_ = nullptr;
    double zoom_ = 1;
    bool alwaysOnTop_ = false;
    tk::Color background_ = kDefaultBackground;
};
