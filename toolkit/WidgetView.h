// A view of the window whose inside is a Qt widget of the program's own, for what the
// toolkit's labels cannot draw: the Splits view paints itself. The widget fills the view from
// the moment the window is shown (at once when it already is) and follows the view's frame;
// hidden with the view. Before the window is shown the widget waits, hidden and without a
// parent, so that a program without a display still has it to talk to.
//
//   auto* host = content->AddSubview(std::make_unique<tk::WidgetView>(frame));
//   host->SetWidget(new SplitsView);   // the view owns it from now on
//
// Like the backend, only this view's .cpp file sees Qt; the program that makes the widget
// sees it too.
#pragma once

#include <memory>

#include "Toolkit.h"

class QWidget;

namespace tk {

class WidgetView : public View {
  public:
    explicit WidgetView(const Rect& frame);
    ~WidgetView() override;

    // Takes the widget, deleting the one before; null removes it.
    void SetWidget(QWidget* widget);
    QWidget* Widget() const;

  protected:
    void OnScreen() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tk
