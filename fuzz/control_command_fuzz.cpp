// Outside commands: any bytes from a socket, in any pieces, must be read into lines no longer
// than the limit, carried out without a crash on a run in any state, and answered with one
// line at most. The first byte picks the pieces' size and the window's state (read-only, a
// dialog open); the menu commands run on a real engine, so the run moves as the bytes say.
#include <sys/time.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ControlProtocol.h"
#include "FuzzFiles.h"
#include "LineReader.h"
#include "QuorvelEngine.h"

namespace {

timeval fakeNow{1000, 0};
timeval FakeClock() {
    fakeNow.tv_usec += 370000;  // every reading a little later: the run moves
    fakeNow.tv_sec += fakeNow.tv_usec / 1000000;
    fakeNow.tv_usec %= 1000000;
    return fakeNow;
}

// Three splits, a best segment each and one stored run, "Personal Best".
void BuildRoute(QuorvelClass& engine) {
    for (const char* title : {"Best Splits", "Personal Best", "Current"}) {
        engine.ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
        engine.ColumnHeaders.back()->Text = title;
    }
    for (int row = 0; row < 3; ++row) {
        engine.RowHeaders.push_back(std::make_unique<HeaderInfoClass>());
        engine.RowHeaders.back()->Text = "Split " + std::to_string(row + 1);
        engine.SplitCells.emplace_back();
        for (int column = 0; column < 3; ++column) {
            auto cell = std::make_unique<SplitDataClass>();
            cell->Elapsed = column == 0 ? 900 + 100 * row : column == 1 ? 1000 : 0;
            cell->Timer = column == 1 ? 1000 * (row + 1) : 0;
            engine.SplitCells.back().push_back(std::move(cell));
        }
    }
    engine.RefreshBestSplitTimers();
}

class Window : public control::ControlTarget {
  public:
    Window(bool readOnly, bool dialogOpen, bool keepFinished)
        : readOnly_(readOnly), dialogOpen_(dialogOpen), keepFinished_(keepFinished) {}
    QuorvelClass engine{"/nonexistent"};

    const QuorvelClass* Engine() const override { return &engine; }
    bool RunCommandsPaused() const override { return dialogOpen_; }
    bool ReadOnly() const override { return readOnly_; }
    bool FinishedRunKept() const override { return kept_; }
    // The menu items' engine calls, without the lockout and the questions.
    void RunMenuCommand(control::MenuCommand command) override {
        fuzz::Check(!readOnly_ && !dialogOpen_, "no run command in a read-only or busy window");
        const bool running = engine.IsTimerRunning();
        const bool open =
            engine.GetColumnCount() != 0 && engine.GetNextSplitNumber() < engine.GetRowCount();
        switch (command) {
            case control::MenuCommand::kStartSplit:
            case control::MenuCommand::kPauseResume:
                if (kept_) {  // a finished run kept as the kept run: a new attempt
                    kept_ = false;
                    return engine.StartTimer();
                }
                if (!open) {
                    return;
                }
                if (running) {
                    command == control::MenuCommand::kStartSplit ? engine.DoSplit()
                                                                 : engine.StopTimer();
                    if (keepFinished_ && engine.GetNextSplitNumber() >= engine.GetRowCount()) {
                        engine.KeepCurrentSplits();  // as the autosave of the best run does
                        kept_ = true;
                    }
                } else if (engine.GetCurrentTime() == 0) {
                    engine.StartTimer();
                } else {
                    engine.ResumeTimer();
                }
                return;
            case control::MenuCommand::kSkipSplit:
                return open && running ? engine.SkipSplit() : void();
            case control::MenuCommand::kUndoSplit:
                return open && running ? engine.UndoSplit() : void();
            case control::MenuCommand::kReset:
                kept_ = false;
                return engine.ClearTimer();
        }
    }

  private:
    bool readOnly_, dialogOpen_, keepFinished_;
    bool kept_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    SetClockSource(&FakeClock);
    const std::uint8_t flags = data[0];
    const std::size_t piece = 1 + (flags & 0x3f) * 97;  // 1 to 6,112 bytes a read
    Window window(/*readOnly=*/(flags & 0x40) != 0, /*dialogOpen=*/(flags & 0x80) != 0,
                  /*keepFinished=*/flags % 5 == 0);
    BuildRoute(window.engine);
    window.engine.StartOffset = flags % 3 == 0 ? -150 : 0;

    control::LineReader reader;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        reader.Append(bytes.substr(at, piece));
        for (;;) {
            const control::LineReader::Result next = reader.Next();
            if (next.What == control::LineReader::Status::kTooLong) {
                return 0;  // the connection is closed
            }
            if (next.What == control::LineReader::Status::kNone) {
                fuzz::Check(reader.Buffered() <= control::LineReader::kMaxLine + 1,
                            "an open line past the limit is refused");
                break;
            }
            fuzz::Check(next.Line.size() <= control::LineReader::kMaxLine, "a line fits the limit");
            const auto command = control::ReadCommand(next.Line);
            if (!command) {
                continue;
            }
            const auto reply = control::Perform(*command, window);
            fuzz::Check(
                !reply || (!reply->empty() && reply->find_first_of("\r\n") == std::string::npos),
                "a reply is one line");
        }
    }
    return 0;
}
