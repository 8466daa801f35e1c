// The Qt widgets behind the toolkit's model objects, for tests that drive the screen side
// (key presses, scroll bars, painting). Null until the object has been put on screen, that is
// until its window has been shown. The application code never needs this header.
#pragma once

class QAction;
class QRectF;
class QScrollBar;
class QWidget;

namespace tk {
class Label;
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
// Where a label is drawn in its view's widget, in device-independent pixels at the zoom.
QRectF DrawnRectOf(const Label& label);
// How many labels the backend has drawn since the process started: lets a test see that a
// small change repaints a few labels, not the whole view.
long long LabelsPainted();

}  // namespace tk::qt
