// A grid of labels on the offscreen platform: the work a repaint does, counted in labels
// painted; what it draws, read back from the pixels; the tips its labels show.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QImage>
#include <QToolTip>

#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"

constexpr int kRows = 1000, kColumns = 10;

// A scroll view holding kRows x kColumns x 2 labels of 10 points laid out as the split grid
// lays them out, scrolled to the top.
class GridOnScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApp();
        window.SetBackgroundColor(tk::Color::Black());
        auto* scroll = window.ContentView()->AddSubview(
            std::make_unique<tk::ScrollView>(tk::Rect{0, 0, 617, 200}));
        auto* grid = scroll->SetDocumentView(
            std::make_unique<tk::View>(tk::Rect{0, 0, 617, 22.0 * kRows + 4}));
        const double height = grid->Frame().height;
        for (int i = 0; i < kRows * kColumns * 2; ++i) {
            const int row = i / (kColumns * 2), column = i / 2 % kColumns, slot = i % 2;
            auto label = std::make_unique<tk::Label>(
                tk::Rect{67 + column * 55.0, height - row * 22.0 - 10 * (slot + 1), 55, 10});
            label->SetFontSize(8);
            label->SetAlignment(tk::TextAlignment::kRight);
            label->SetText("---");
            labels.push_back(grid->AddLabel(std::move(label)));
        }
        scroll->ScrollToPoint({0, height - 200});
        window.Show();
        ProcessPendingEvents();
    }
    void TearDown() override { window.Close(); }

    long long Painted(const std::function<void()>& f) {
        const long long before = tk::qt::LabelsPainted();
        f();
        ProcessPendingEvents();
        return tk::qt::LabelsPainted() - before;
    }
    // Green pixels of the content view in the area (the whole view when empty).
    int GreenPixels(const QRect& area = {}) {
        ProcessPendingEvents();
        QImage image = tk::qt::WidgetOf(*window.ContentView())->grab().toImage();
        image = area.isNull() ? image : image.copy(area);
        int count = 0;
        for (int i = 0; i < image.width() * image.height(); ++i) {
            const QColor p = image.pixelColor(i % image.width(), i / image.width());
            count += p.green() > 100 && p.red() < 60 && p.blue() < 60 ? 1 : 0;
        }
        return count;
    }

    tk::Window window{tk::Rect{0, 0, 617, 222}};
    std::vector<tk::Label*> labels;
};

TEST_F(GridOnScreen, RepaintsAndScrollsPaintOnlyTheLabelsInViewThatChangedOrCameIntoView) {
    // About 200 / 22 rows of 20 labels are in view, not 20,000.
    const long long full = Painted([this] { tk::qt::WidgetOf(*labels[0]->Parent())->repaint(); });
    EXPECT_TRUE(full > 0 && full <= 12 * kColumns * 2) << full;
    const long long one = Painted([this] { labels[0]->SetText("1:05.23"); });
    EXPECT_TRUE(one >= 1 && one <= 4) << one;
    EXPECT_EQ(Painted([this] { labels.back()->SetText("9:59.99"); }), 0);  // far below the view
    // A scroll of one row: the row that came into view (cut at both edges: two rows of 20
    // labels) and the label that changed at the top, not the dozen rows in view.
    auto* scroll = static_cast<tk::ScrollView*>(window.ContentView()->SubviewAt(0));
    EXPECT_LE(Painted([&] {
                  scroll->ScrollToPoint({0, scroll->ScrollPosition().y - 22});
                  labels[2 * kColumns * 2]->SetText("1:05.23");
              }),
              2 * kColumns * 2 + 4);
    // The grid covers the window, so the window's new background must reach it.
    EXPECT_GT(Painted([this] { window.SetBackgroundColor(tk::Color::Green()); }), 0);
}

TEST_F(GridOnScreen, LabelTextIsDrawnInsideItsFrameInItsColourAndTooWideShowsItsBeginning) {
    labels[0]->SetText("8888");  // the first row's time, x 67..122, y 0..10 on screen
    labels[0]->SetTextColor(tk::Color::Green());
    const int inside = GreenPixels(QRect(67, 0, 55, 10));
    EXPECT_TRUE(inside > 0 && GreenPixels() == inside) << inside;
    // A right-aligned "8" and 40 dots: the digit must show in the upper half of the line at
    // the left edge (a right-aligned overflow would show dots only).
    labels[0]->SetText("8" + std::string(40, '.'));
    labels[0]->SetFontSize(10);
    EXPECT_GT(GreenPixels(QRect(67, 0, 13, 5)), 0);
}

TEST_F(GridOnScreen, ANoteOrACutTextIsShownWholeAndAWholeTextWithoutANoteShowsNothing) {
    QWidget* grid = tk::qt::WidgetOf(*labels[0]->Parent());
    const auto tipAt = [grid](int x, int y) {  // labels[0] is at x 67..122, y 0..10
        QHelpEvent help(QEvent::ToolTip, QPoint(x, y), grid->mapToGlobal(QPoint(x, y)));
        QCoreApplication::sendEvent(grid, &help);
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
        labels[0]->SetText(c.text);
        labels[0]->SetToolTip("a note");  // replaced: a note taken back leaves no tip
        labels[0]->SetToolTip(c.note);
        EXPECT_EQ(tipAt(80, 5), c.tip) << c.text;
        EXPECT_EQ(tipAt(30, 5), "") << c.text;  // beside the label
        QToolTip::hideText();
    }
}
