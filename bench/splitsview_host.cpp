// The Splits view alone in a window, on an engine with a split file, for the measuring and
// screenshot scripts: Space starts, splits and resumes, P pauses, Backspace resets, as in the
// application; the clock ticks every 75 ms.
//
//   splitsview_host [--zoom PERCENT] [--preset default|chroma-green|chroma-magenta]
//                   [--play K] [--no-view] SPLIT-FILE
//   --play K    a run already K splits in, on a clock that stands still (for screenshots)
//   --no-view   the same window with the route loaded but no view in it: the baseline of
//               the view's memory
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <cstring>
#include <string>

#include "QuorvelEngine.h"
#include "SplitsView.h"

namespace {

timeval standing{};
timeval StandingClock() {
    return standing;
}

// Splits K times, each segment the kept run's give or take: ahead, behind, one best segment;
// the view looks after every split, as the shell has it do.
void Play(QuorvelClass& engine, int splits, SplitsView& view) {
    SetClockSource(&StandingClock);
    standing.tv_sec = 1000;
    engine.StartOffset = 0;
    engine.StartTimer();
    const unsigned kept = engine.GetColumnCount() - 2;
    std::int32_t now = 0;
    const std::int32_t factors[] = {97, 103, 99, 90, 101, 98, 104, 96};
    for (int k = 0; k <= splits && k < static_cast<int>(engine.GetRowCount()); ++k) {
        std::int32_t segment = engine.GetDataCellElapsed(static_cast<unsigned>(k), kept);
        if (segment == 0) {
            segment = 1500;
        }
        now += segment * factors[k % 8] / 100 * (k == splits ? 6 : 10) / 10;
        standing.tv_sec = 1000 + now / 100;
        standing.tv_usec = (now % 100) * 10000;
        if (k < splits) {
            engine.DoSplit();
        }
        view.Refresh(engine);
    }
}

class Blank : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    double zoom = 1;
    int play = -1;
    bool noView = false;
    AppearancePreset preset = AppearancePreset::kDefault;
    std::string route;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--zoom" && i + 1 < argc) {
            zoom = std::atof(argv[++i]) / 100;
        } else if (arg == "--play" && i + 1 < argc) {
            play = std::atoi(argv[++i]);
        } else if (arg == "--no-view") {
            noView = true;
        } else if (arg == "--preset" && i + 1 < argc) {
            const std::string name = argv[++i];
            preset = name == "chroma-green"     ? AppearancePreset::kChromaGreen
                     : name == "chroma-magenta" ? AppearancePreset::kChromaMagenta
                                                : AppearancePreset::kDefault;
        } else {
            route = arg;
        }
    }
    QuorvelClass engine("/tmp/");
    engine.AutosaveBestRun = true;
    engine.LoadSplitData(route);

    auto* view = new SplitsView;
    view->setWindowTitle(QStringLiteral("Quorvel Splits"));
    view->SetZoom(zoom);
    view->SetAppearance(Appearance::Preset(preset));
    view->SetPlaceholderText(
        QStringLiteral("File \u25b8 New Route\u2026 (Ctrl+N), or File \u25b8 Import\u2026 a "
                       "LiveSplit or LibreSplit file"));
    view->Refresh(engine);
    if (play >= 0 && engine.GetColumnCount() >= 3) {
        Play(engine, play, *view);
    }
    const QSize size = view->sizeHint();
    if (noView) {
        delete view;
        auto* blank = new Blank;
        blank->resize(size);
        blank->show();
        return QApplication::exec();
    }
    view->resize(size);
    view->show();

    struct Keys : QObject {
        QuorvelClass& engine;
        SplitsView& view;
        Keys(QuorvelClass& e, SplitsView& v) : engine(e), view(v) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() != QEvent::KeyPress) {
                return QObject::eventFilter(watched, event);
            }
            switch (static_cast<QKeyEvent*>(event)->key()) {
                case Qt::Key_Space:
                    if (engine.IsTimerRunning()) {
                        engine.DoSplit();
                    } else if (engine.GetCurrentTime() == 0 ||
                               engine.GetNextSplitNumber() >= engine.GetRowCount()) {
                        engine.StartTimer();
                    } else {
                        engine.ResumeTimer();
                    }
                    break;
                case Qt::Key_P:
                    engine.StopTimer();
                    break;
                case Qt::Key_Backspace:
                    engine.ClearTimer();
                    break;
                default:
                    return false;
            }
            view.Refresh(engine);
            return true;
        }
    } keys(engine, *view);
    view->installEventFilter(&keys);
    QTimer tick;
    if (play < 0) {
        QObject::connect(&tick, &QTimer::timeout, view, [&] { view->Tick(engine); });
        tick.start(75);
    }
    const int status = QApplication::exec();
    delete view;
    return status;
}
