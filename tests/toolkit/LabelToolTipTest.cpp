// Tips of labels: a note shown whole while the pointer rests on its cell, and a text cut by
// its frame shown whole.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>
#include <memory>

#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"

namespace {

using tk::Label;
using tk::Rect;

class LabelTips : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApp();
        window.Show();
        ProcessPendingEvents();
    }
    void TearDown() override {
        QToolTip::hideText();
        window.Close();
    }
    // A label of 55 x 10 points at (2, 100) in the content view, 178 points high.
    Label* Add(const std::string& text) {
        auto label = std::make_unique<Label>(Rect{2, 100, 55, 10});
        label->SetFontSize(8);
        label->SetText(text);
        return window.ContentView()->AddLabel(std::move(label));
    }
    // The tip shown for the pointer resting at (x, y) of the content view, top-left origin;
    // "" when the view passes the event on (no tip there).
    QString TipAt(int x, int y) {
        QWidget* content = tk::qt::WidgetOf(*window.ContentView());
        QHelpEvent help(QEvent::ToolTip, QPoint(x, y), content->mapToGlobal(QPoint(x, y)));
        QCoreApplication::sendEvent(content, &help);
        return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
    }
    tk::Window window{Rect{0, 0, 287, 200}};
};

}  // namespace

TEST_F(LabelTips, ANoteIsShownWithItsLineBreaksAndTabs) {
    Add("1:05.23")->SetToolTip("jump late\non the\tsecond ledge");
    EXPECT_EQ(TipAt(10, 72), "jump late\non the\tsecond ledge");
    EXPECT_EQ(TipAt(10, 20), "");  // beside the label
}

TEST_F(LabelTips, ACutTextIsShownWhole) {
    Add("Bottom of the Well, second visit");
    EXPECT_EQ(TipAt(10, 72), "Bottom of the Well, second visit");
}

TEST_F(LabelTips, AWholeTextWithoutATipShowsNothing) {
    Label* label = Add("Well");
    EXPECT_EQ(TipAt(10, 72), "");
    label->SetToolTip("a note");
    label->SetToolTip("");
    EXPECT_EQ(TipAt(10, 72), "");
}
