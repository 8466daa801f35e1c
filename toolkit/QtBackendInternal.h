// What the Qt backend's files share: the process-wide state of the application (its delegate,
// the main loop, the timers started before the application object), the test hooks of the
// panels, and the conversions between the toolkit's points and Qt's pixels. Internal to the
// toolkit library; the widget model (Toolkit.h) stays free of Qt.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "Toolkit.h"

class QEventLoop;

namespace tk::qtbackend {

struct AppState {
    ApplicationDelegate* delegate = nullptr;
    bool running = false;
    bool terminated = false;
    QEventLoop* loop = nullptr;                  // the main loop while Run runs it
    std::vector<RepeatingTimer*> pendingTimers;  // started before the application object
};

AppState& State();
// The main frame and visible frame a test set with Screen::OverrideMain; none otherwise.
std::optional<std::pair<Rect, Rect>>& ScreenOverride();

// Rounds the edges, not the size: {0.4, 0.4, 10.2, 10.2} gives QRect(0, 0, 11, 11).
QRect ToQRect(const Rect& r);
Rect FromQRect(const QRect& r);
// A rectangle in points as device-independent pixels at the zoom, or back with 1 / zoom.
Rect Scaled(const Rect& r, double zoom);
QColor ToQColor(const Color& c);
QString ToQString(std::string_view text);
// The system font at a size in points, where a point is a device-independent pixel.
const QFont& FontFor(double points, bool bold);
// The top-down geometry of the main screen on the desktop; none without a GUI application.
std::optional<Rect> MainScreenTopDown();
// The overridden screen, else the real one, else 1920 x 1080.
Rect MainScreenTopDownOrDefault();

}  // namespace tk::qtbackend
