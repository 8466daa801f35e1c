// The Qt widgets behind the toolkit's model objects, for tests that drive the screen side
// (key presses, scroll bars, painting). Null until the object has been put on screen, that is
// until its window has been shown. The application code never needs this header.
#pragma once

class QAction;
class QScrollBar;
class QWidget;

namespace tk {
class MenuItem;
class ScrollView;
class View;
class Window;
}  // namespace tk

namespace tk::qt {

QWidget* WidgetOf(const Window& window);
QWidget* WidgetOf(const View& view);
QAction* ActionOf(const MenuItem& item);
QScrollBar* VerticalScrollBarOf(const ScrollView& view);
// How many labels the backend has drawn since the process started: lets a test see that a
// small change repaints a few labels, not the whole view.
long long LabelsPainted();

}  // namespace tk::qt
