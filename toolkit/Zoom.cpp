#include "Zoom.h"

#include <algorithm>
#include <cmath>

#include "ToolkitInternal.h"

namespace tk {

namespace {
double g_zoom = 1.0;
}  // namespace

double Zoom() {
    return g_zoom;
}

double SnapZoom(double zoom) {
    if (std::isnan(zoom)) {
        return 1.0;
    }
    const double clamped = std::clamp(zoom, kMinZoom, kMaxZoom);
    return std::round(clamped / kZoomStep) * kZoomStep;
}

double ZoomIn(double zoom) {
    return SnapZoom(SnapZoom(zoom) + kZoomStep);
}

double ZoomOut(double zoom) {
    return SnapZoom(SnapZoom(zoom) - kZoomStep);
}

double FirstLaunchZoom(double fontPoints, double minPixels, const Rect& windowPoints,
                       const Rect& screenPixels) {
    double zoom = kMinZoom;
    while (zoom < kMaxZoom && fontPoints * zoom < minPixels) {
        zoom += kZoomStep;
    }
    const auto fits = [&](double z) {
        return windowPoints.width * z <= screenPixels.width &&
               windowPoints.height * z <= screenPixels.height;
    };
    while (zoom > 1.0 && !fits(zoom)) {
        zoom -= kZoomStep;
    }
    return std::max(zoom, 1.0);
}

Rect FrameAfterZoom(const Rect& frame, double before, double after, const Rect& visibleAfter) {
    const double scale = before / after;
    const double top = frame.MaxY() * scale;
    Rect moved{frame.x * scale, top - frame.height, frame.width, frame.height};
    if (moved.y < visibleAfter.y && top > visibleAfter.y) {
        moved.height = std::max(Window::kTitleBarHeight, top - visibleAfter.y);
        moved.y = top - moved.height;
    }
    return moved;
}

void SetZoom(double zoom) {
    const double before = g_zoom;
    const double after = SnapZoom(zoom);
    if (after == before) {
        return;
    }
    g_zoom = after;
    const Rect visible = Screen::MainVisibleFrame();  // in points at the new zoom
    for (Window* window : detail::Backend::Windows()) {
        window->SetFrame(FrameAfterZoom(window->Frame(), before, after, visible),
                         /*display=*/true);
    }
    detail::Backend::ZoomChanged();
}

}  // namespace tk
