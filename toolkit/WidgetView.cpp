#include "WidgetView.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "QtBackend.h"

namespace tk {

// Keeps the widget the size of the view's own widget.
struct WidgetView::Impl : QObject {
    QPointer<QWidget> widget;
    QPointer<QWidget> container;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == container && event->type() == QEvent::Resize && !widget.isNull()) {
            widget->setGeometry(container->rect());
        }
        return false;
    }
    void Attach() {
        if (widget.isNull() || container.isNull()) {
            return;
        }
        widget->setParent(container);
        widget->setGeometry(container->rect());
        widget->show();
    }
};

WidgetView::WidgetView(const Rect& frame) : View(frame), impl_(std::make_unique<Impl>()) {}

WidgetView::~WidgetView() {
    delete impl_->widget.data();
}

void WidgetView::SetWidget(QWidget* widget) {
    if (widget == impl_->widget) {
        return;
    }
    delete impl_->widget.data();
    impl_->widget = widget;
    impl_->Attach();
}

QWidget* WidgetView::Widget() const {
    return impl_->widget.data();
}

void WidgetView::OnScreen() {
    impl_->container = qt::WidgetOf(*this);
    if (!impl_->container.isNull()) {
        impl_->container->installEventFilter(impl_.get());
    }
    impl_->Attach();
}

}  // namespace tk
