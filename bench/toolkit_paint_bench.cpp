// Painting the split grid on Qt's offscreen platform at 100 % and 200 %: a grid of 1,000 rows
// of 10 columns (a time and a difference label in each), 250 points of it in view (the window
// must fit the offscreen screen, or the platform keeps resizing it), painted whole (what a
// repaint of the visible grid costs: the pointer over the grid, a resize) and after a scroll
// of one row (what a split costs once the grid is moved on the screen).
//
//   toolkit_paint_bench   # BM_PaintVisibleGrid/100, /200; BM_ScrollOneRow/100, /200
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <string>

#include "QtBackend.h"
#include "Toolkit.h"
#include "Zoom.h"

namespace {

constexpr int kRows = 1000;
constexpr int kColumns = 10;
constexpr double kRowHeight = 22;

struct Grid {
    explicit Grid(double zoom) {
        tk::SetZoom(zoom);
        window.SetBackgroundColor(tk::Color::Black());
        scroll = window.ContentView()->AddSubview(
            std::make_unique<tk::ScrollView>(tk::Rect{0, 0, 617, 250}));
        auto* grid = scroll->SetDocumentView(
            std::make_unique<tk::View>(tk::Rect{0, 0, 617, kRowHeight * kRows}));
        const double height = grid->Frame().height;
        for (int row = 0; row < kRows; ++row) {
            auto header = std::make_unique<tk::Label>(
                tk::Rect{2, height - (row + 1) * kRowHeight, 65, kRowHeight});
            header->SetText("Split " + std::to_string(row + 1));
            grid->AddLabel(std::move(header));
            for (int i = 0; i < kColumns * 2; ++i) {
                auto label = std::make_unique<tk::Label>(tk::Rect{
                    67 + (i / 2) * 55.0, height - row * kRowHeight - 10 * (i % 2 + 1), 55, 10});
                label->SetFontSize(8);
                label->SetAlignment(tk::TextAlignment::kRight);
                label->SetTextColor(i % 2 == 0 ? tk::Color::White() : tk::Color::Green());
                label->SetText(i % 2 == 0 ? "1:23:45.67" : "-12.34");
                grid->AddLabel(std::move(label));
            }
        }
        scroll->ScrollToPoint({0, height / 2});
        window.Show();
        Settle();
    }
    ~Grid() { window.Close(); }

    static void Settle() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QEvent request(QEvent::UpdateRequest);
            QCoreApplication::sendEvent(w, &request);
        }
    }

    tk::Window window{tk::Rect{0, 0, 617, 272}};
    tk::ScrollView* scroll = nullptr;
};

void BM_PaintVisibleGrid(benchmark::State& state) {
    Grid grid(static_cast<double>(state.range(0)) / 100);
    QWidget* document = tk::qt::WidgetOf(*grid.scroll->DocumentView());
    const long long before = tk::qt::LabelsPainted();
    for (auto _ : state) {
        document->repaint();
    }
    state.counters["labels"] = benchmark::Counter(
        static_cast<double>(tk::qt::LabelsPainted() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PaintVisibleGrid)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_ScrollOneRow(benchmark::State& state) {
    Grid grid(static_cast<double>(state.range(0)) / 100);
    const long long before = tk::qt::LabelsPainted();
    double step = -kRowHeight;
    for (auto _ : state) {
        const double y = grid.scroll->ScrollPosition().y;
        if (y + step < 0 || y + step > kRowHeight * kRows - 250) {
            step = -step;
        }
        grid.scroll->ScrollToPoint({0, y + step});
        Grid::Settle();
    }
    state.counters["labels"] = benchmark::Counter(
        static_cast<double>(tk::qt::LabelsPainted() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ScrollOneRow)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
