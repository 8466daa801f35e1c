// Tips of labels: a note shown whole while the pointer rests on its cell, a text cut by its
// frame shown whole, and nothing for a whole text without a note.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QToolTip>

#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"

TEST(LabelTips, ANoteOrACutTextIsShownWholeAndAWholeTextWithoutANoteShowsNothing) {
    EnsureTestApp();
    tk::Window window{tk::Rect{0, 0, 287, 200}};
    window.Show();
    ProcessPendingEvents();
    // 55 x 10 points at (2, 100) of a 178-point view: y 68..78 from the top.
    tk::Label* label =
        window.ContentView()->AddLabel(std::make_unique<tk::Label>(tk::Rect{2, 100, 55, 10}));
    label->SetFontSize(8);
    QWidget* content = tk::qt::WidgetOf(*window.ContentView());
    const auto tipAt = [content](int x, int y) {
        QHelpEvent help(QEvent::ToolTip, QPoint(x, y), content->mapToGlobal(QPoint(x, y)));
        QCoreApplication::sendEvent(content, &help);
        return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    const struct {
        const char *text, *note, *tip;  // the tip with the pointer on the label
    } cases[] = {
        {"1:05.23", "jump late\non the\tsecond ledge", "jump late\non the\tsecond ledge"},
        {"Bottom of the Well, second visit", "", "Bottom of the Well, second visit"},
        {"Well", "", ""},
    };
    for (const auto& c : cases) {
        label->SetText(c.text);
        label->SetToolTip("a note");  // replaced: a note taken back leaves no tip
        label->SetToolTip(c.note);
        EXPECT_EQ(tipAt(10, 72), c.tip) << c.text;
        EXPECT_EQ(tipAt(10, 20), "") << c.text;  // beside the label
        QToolTip::hideText();
    }
    window.Close();
}
