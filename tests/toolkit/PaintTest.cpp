#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"

using tk::Color;
using tk::Label;
using tk::Rect;
using tk::View;

namespace {

constexpr int kRows = 1000;
constexpr int kColumns = 10;

// A window whose scroll view holds a grid of kRows x kColumns x 2 labels of 10 points, as the
// split grid lays them out, scrolled to the top.
class GridOnScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApp();
        window.SetBackgroundColor(Color::Black());
        scroll = window.ContentView()->AddSubview(
            std::make_unique<tk::ScrollView>(Rect{0, 0, 617, 200}));
        grid = scroll->SetDocumentView(std::make_unique<View>(Rect{0, 0, 617, 22.0 * kRows + 4}));
        const double height = grid->Frame().height;
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                for (int slot = 0; slot < 2; ++slot) {
                    auto label = std::make_unique<Label>(
                        Rect{67 + column * 55.0, height - row * 22.0 - 10 * (slot + 1), 55, 10});
                    label->SetFontSize(8);
                    label->SetTextColor(Color::White());
                    label->SetAlignment(tk::TextAlignment::kRight);
                    label->SetText("---");
                    labels.push_back(grid->AddLabel(std::move(label)));
                }
            }
        }
        scroll->ScrollToPoint({0, height - 200});
        window.Show();
        ProcessPendingEvents();
        tk::qt::WidgetOf(window)->repaint();
    }
    void TearDown() override { window.Close(); }

    tk::Window window{Rect{0, 0, 617, 222}};
    tk::ScrollView* scroll = nullptr;
    View* grid = nullptr;
    std::vector<Label*> labels;
};

}  // namespace

TEST_F(GridOnScreen, AFullRepaintDrawsOnlyTheLabelsInView) {
    const long long before = tk::qt::LabelsPainted();
    tk::qt::WidgetOf(window)->repaint();
    const long long painted = tk::qt::LabelsPainted() - before;
    // About 200 / 22 rows of 20 labels are in view, not 20,000.
    EXPECT_GT(painted, 0);
    EXPECT_LE(painted, 12 * kColumns * 2);
}

TEST_F(GridOnScreen, ChangingOneLabelRepaintsAFewLabelsOnly) {
    ProcessPendingEvents();
    const long long before = tk::qt::LabelsPainted();
    labels[0]->SetText("1:05.23");
    ProcessPendingEvents();
    const long long painted = tk::qt::LabelsPainted() - before;
    EXPECT_GE(painted, 1);
    EXPECT_LE(painted, 4);
}

TEST_F(GridOnScreen, ChangingOutOfViewLabelsPaintsNothing) {
    ProcessPendingEvents();
    const long long before = tk::qt::LabelsPainted();
    labels.back()->SetText("9:59.99");  // the last row, far below the visible area
    ProcessPendingEvents();
    EXPECT_EQ(tk::qt::LabelsPainted() - before, 0);
}

TEST_F(GridOnScreen, LabelTextIsDrawnInsideItsFrameInItsColour) {
    // The first row's time label, right aligned in the first column, is drawn in green.
    labels[0]->SetText("8888");
    labels[0]->SetTextColor(Color::Green());
    ProcessPendingEvents();
    QWidget* content = tk::qt::WidgetOf(*window.ContentView());
    const QImage image = content->grab().toImage();
    // Frame of label 0 on screen: x 67..122, y 0..10 in the content view.
    int greenInside = 0;
    int greenOutside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.green() > 100 && pixel.red() < 60 && pixel.blue() < 60) {
                const bool inside = x >= 67 && x < 122 && y < 10;
                (inside ? greenInside : greenOutside) += 1;
            }
        }
    }
    EXPECT_GT(greenInside, 0);
    EXPECT_EQ(greenOutside, 0);
}

TEST_F(GridOnScreen, TextTooWideForItsFrameShowsItsBeginning) {
    // A right-aligned "8" followed by dots, far wider than the 55-point frame: the tall digit
    // must show at the left edge (a right-aligned overflow would show dots only).
    labels[0]->SetText("8" + std::string(40, '.'));
    labels[0]->SetTextColor(Color::Green());
    labels[0]->SetFontSize(10);
    ProcessPendingEvents();
    const QImage image = tk::qt::WidgetOf(*window.ContentView())->grab().toImage();
    int digitPixels = 0;
    for (int y = 0; y < 5; ++y) {  // the upper half of the line: digits, not dots
        for (int x = 67; x < 80; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            digitPixels += pixel.green() > 100 && pixel.red() < 60 ? 1 : 0;
        }
    }
    EXPECT_GT(digitPixels, 0);
}
