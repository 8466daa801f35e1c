// The Splits view's work on a route of 1,000 splits with ten stored runs, at 100 % and 200 %
// on Qt's offscreen platform, painted as the window would be:
//   BM_SplitsViewSplit  a split: the engine's, the view's refresh, the repaint of what changed
//   BM_SplitsViewTick   a tick of the clock: its refresh and repaint
//   BM_ListViewSplit    the same split in a QListView of every split with an item delegate
//                       painting the same rows, the other way to build the view
// The counter heap_kB is the heap a view takes once built and painted (the engine's grid not
// counted), the window's backing store included.
//
//   splitsview_paint_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QAbstractListModel>
#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <cstdlib>
#include <memory>
#include <string>

#include "QuorvelEngine.h"
#include "SplitsView.h"

namespace {

constexpr int kRows = 1000;
constexpr int kStoredRuns = 10;

timeval clockNow{};
timeval BenchClock() {
    return clockNow;
}
void Advance(std::int64_t hundredths) {
    const std::int64_t t = clockNow.tv_sec * 100 + clockNow.tv_usec / 10000 + hundredths;
    clockNow.tv_sec = static_cast<time_t>(t / 100);
    clockNow.tv_usec = static_cast<suseconds_t>((t % 100) * 10000);
}

// Best segments around 30 s, stored runs a little slower each; the run in progress on the
// comparison's pace give or take a second.
void BuildRoute(QuorvelClass& engine) {
    SetClockSource(&BenchClock);
    const int columns = kStoredRuns + 2;
    for (int c = 0; c < columns; ++c) {
        engine.ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
        engine.ColumnHeaders.back()->Text = c == 0             ? "Best Splits"
                                            : c == columns - 1 ? "Current"
                                                               : "Run " + std::to_string(c);
    }
    for (int r = 0; r < kRows; ++r) {
        engine.RowHeaders.push_back(std::make_unique<HeaderInfoClass>());
        engine.RowHeaders.back()->Text = "Split number " + std::to_string(r + 1);
        engine.SplitCells.emplace_back();
        for (int c = 0; c < columns; ++c) {
            auto cell = std::make_unique<SplitDataClass>();
            if (c == 0) {
                cell->Elapsed = 3000 + r % 97;
            } else if (c < columns - 1) {
                cell->Timer = (r + 1) * (3100 + c * 7);
                cell->Elapsed = 3100 + c * 7;
            }
            engine.SplitCells.back().push_back(std::move(cell));
        }
    }
    engine.FileDesc->Text = "Long route";
    engine.RefreshBestSplitTimers();
}

// One split on pace, give or take; a run near its end starts again (not timed).
void SplitOnce(QuorvelClass& engine, benchmark::State& state) {
    if (engine.GetNextSplitNumber() + 2 >= kRows || !engine.IsTimerRunning()) {
        state.PauseTiming();
        engine.ClearTimer();
        engine.StartTimer();
        state.ResumeTiming();
    }
    Advance(3100 + kStoredRuns * 7 + (engine.GetNextSplitNumber() % 7) * 40 - 120);
    engine.DoSplit();
}

void Settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(w, &request);
    }
}

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

struct Splits {
    explicit Splits(double zoom) {
        BuildRoute(engine);
        const std::size_t before = HeapInUse();
        view = std::make_unique<SplitsView>();
        view->SetZoom(zoom);
        view->Refresh(engine);
        view->resize(view->sizeHint());
        view->show();
        Settle();
        heapBytes = HeapInUse() - before;
        engine.StartTimer();
    }
    QuorvelClass engine{"/tmp/"};
    std::unique_ptr<SplitsView> view;
    std::size_t heapBytes = 0;
};

void BM_SplitsViewSplit(benchmark::State& state) {
    Splits splits(static_cast<double>(state.range(0)) / 100);
    for (auto _ : state) {
        SplitOnce(splits.engine, state);
        splits.view->Refresh(splits.engine);
        Settle();
    }
    state.counters["heap_kB"] = static_cast<double>(splits.heapBytes) / 1024;
}
BENCHMARK(BM_SplitsViewSplit)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_SplitsViewTick(benchmark::State& state) {
    Splits splits(static_cast<double>(state.range(0)) / 100);
    splits.engine.DoSplit();
    for (auto _ : state) {
        Advance(7);  // 75 ms, as the hundredths fall
        splits.view->Tick(splits.engine);
        Settle();
    }
}
BENCHMARK(BM_SplitsViewTick)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

// ---- The other way: every split a row of a QListView, painted by a delegate ----

class RowsModel : public QAbstractListModel {
  public:
    int rowCount(const QModelIndex&) const override { return static_cast<int>(rows.size()); }
    QVariant data(const QModelIndex&, int) const override { return {}; }
    void Fill(const QuorvelClass& engine, const RunSnapshot& run, int from, int to) {
        const unsigned kept = engine.GetColumnCount() - 2;
        for (int r = from; r <= to && r < static_cast<int>(rows.size()); ++r) {
            RowLook& row = rows[static_cast<std::size_t>(r)];
            row.name = run.names[static_cast<std::size_t>(r)];
            const std::int32_t mine = engine.GetDataCellTimer(r, kept + 1);
            const std::int32_t theirs = engine.GetDataCellTimer(r, kept);
            row.time = TimeText(mine != 0 ? mine : theirs, 2);
            row.delta = SplitDelta({{theirs, engine.GetDataCellElapsed(r, kept)},
                                    {mine, engine.GetDataCellElapsed(r, kept + 1)},
                                    engine.GetDataCellElapsed(r, 0),
                                    0});
            row.current = r == static_cast<int>(run.next);
        }
        emit dataChanged(index(from), index(std::min(to, static_cast<int>(rows.size()) - 1)));
    }
    std::vector<RowLook> rows = std::vector<RowLook>(kRows);
};

class RowDelegate : public QStyledItemDelegate {
  public:
    RowDelegate(const RowsModel& model, QFont font) : model_(model), font_(std::move(font)) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const RowLook& row = model_.rows[static_cast<std::size_t>(index.row())];
        const QRect r = option.rect;
        painter->fillRect(r, row.current ? QColor(0x2e, 0x3b, 0x63) : QColor(0x1a, 0x1a, 0x1f));
        painter->setFont(font_);
        painter->setPen(Qt::white);
        painter->drawText(r.adjusted(8, 0, -200, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          QString::fromStdString(row.name));
        painter->setPen(Qt::green);
        painter->drawText(r.adjusted(0, 0, -100, 0), Qt::AlignRight | Qt::AlignVCenter,
                          QString::fromStdString(row.delta.text));
        painter->setPen(Qt::white);
        painter->drawText(r.adjusted(0, 0, -8, 0), Qt::AlignRight | Qt::AlignVCenter,
                          QString::fromStdString(row.time));
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {300, QFontMetrics(font_).height() + 12};
    }

  private:
    const RowsModel& model_;
    QFont font_;
};

void BM_ListViewSplit(benchmark::State& state) {
    const double zoom = static_cast<double>(state.range(0)) / 100;
    QuorvelClass engine{"/tmp/"};
    BuildRoute(engine);
    const std::size_t before = HeapInUse();
    RowsModel model;
    RunSnapshot run = TakeSnapshot(engine);
    model.Fill(engine, run, 0, kRows - 1);
    QFont font;
    font.setPixelSize(qRound(10 * zoom));
    RowDelegate delegate(model, font);
    QListView list;
    list.setUniformItemSizes(true);
    list.setModel(&model);
    list.setItemDelegate(&delegate);
    list.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = delegate.sizeHint({}, {}).height();
    list.resize(qRound(300 * zoom), rowHeight * 12);
    list.show();
    Settle();
    const std::size_t heap = HeapInUse() - before;
    engine.StartTimer();
    for (auto _ : state) {
        SplitOnce(engine, state);
        const int next = static_cast<int>(engine.GetNextSplitNumber());
        run.next = static_cast<std::uint32_t>(next);
        model.Fill(engine, run, std::max(0, next - 1), next);
        list.scrollTo(model.index(std::min(next + 1, kRows - 1)),
                      QAbstractItemView::PositionAtBottom);
        Settle();
    }
    state.counters["heap_kB"] = static_cast<double>(heap) / 1024;
}
BENCHMARK(BM_ListViewSplit)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
