// The zoom of the whole toolkit: how many device-independent pixels one point takes. Every
// frame and font size of the model stays in points; the backend draws a point as Zoom()
// device-independent pixels (and Qt's own device pixel ratio still applies on top). At 150 %
// a label of frame (67, 50, 55, 10) and an 8-point font is drawn 82.5 x 15 pixels with a
// 12-pixel font.
//
// The screen is measured in points too: Screen::MainFrame() of a 1920 x 1080 screen is
// {0, 0, 960, 540} at 200 %. Window frames therefore keep their meaning (a window 287 points
// wide is 574 pixels wide at 200 %), and a window placed from settings in points comes back
// at the same place when the zoom read with them is set first.
//
// Steps of 25 % from 50 % to 400 %: ZoomIn(1.0) = 1.25, ZoomOut(0.5) = 0.5, SnapZoom(1.3) =
// 1.25, SnapZoom(9) = 4.
#pragma once

#include "Toolkit.h"

namespace tk {

inline constexpr double kZoomStep = 0.25;
inline constexpr double kMinZoom = 0.5;
inline constexpr double kMaxZoom = 4.0;

// The zoom in force; 1 (100 %) until SetZoom.
double Zoom();

// Sets the zoom, snapped to a step (anything not a number reads as 100 %). Every window keeps
// its top-left corner on the screen, its size in points, and its height capped so that its
// bottom edge stays inside the main screen's visible frame; everything on screen is redrawn.
void SetZoom(double zoom);

// The nearest step within the range: 1.3 -> 1.25, 0.1 -> 0.5, NaN -> 1.
double SnapZoom(double zoom);
// One step up or down, kept within the range.
double ZoomIn(double zoom);
double ZoomOut(double zoom);

// The zoom for a first launch: the smallest step at which text of fontPoints is at least
// minPixels device-independent pixels tall, lowered (not below 100 %) while a window of
// windowPoints would not fit the screen's visible area screenPixels at it.
//   (8, 12, {287, 200}, {0, 0, 1920, 1040}) -> 1.5
//   (8, 12, {287, 200}, {0, 0, 400, 300})   -> 1.25
//   (13, 12, ...) -> 1
double FirstLaunchZoom(double fontPoints, double minPixels, const Rect& windowPoints,
                       const Rect& screenPixels);

// The frame a window of frame (at the zoom before) takes at the zoom after, keeping its top-left
// corner on the screen, with its height cut so that it ends at the bottom of visibleAfter
// (the visible frame in points at the zoom after) when it would reach below it; never shorter
// than the strip of its menu bar.
//   ({100, 500, 287, 300}, 1, 2, {0, 0, 960, 540}) -> {50, 100, 287, 300}
Rect FrameAfterZoom(const Rect& frame, double before, double after, const Rect& visibleAfter);

}  // namespace tk
