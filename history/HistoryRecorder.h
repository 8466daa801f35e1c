// Live recording of a route's history without making the window wait on the disk. The
// window's thread hands each record to a queue and returns (a few microseconds); a writer
// thread of the recorder's own writes what has queued up, one transaction per batch, on its
// own connection (HistoryDatabase.h). Everything else that touches the file (opening,
// loading, a route edit, an import) runs on that thread too, in order with the records,
// and is waited for.
//
//   HistoryRecorder recorder;
//   OpenResult opened = recorder.Open("/runs/route.txt", Access::Writable, names);
//   if (opened.What == OpenResult::Status::Refused) show(opened.Message);  // records nothing
//   recorder.AttemptStarted(/*number=*/engine.GetTotalAttemptCount(), TimeClock::Real);
//   recorder.SplitMade(0, 4010);        // running time 40.10; its segment is worked out here
//   recorder.SplitSkipped(1);
//   recorder.SplitMade(2, 13000);       // segment 89.90, spanning the skipped split
//   recorder.SplitUndone(2);
//   recorder.AttemptReset(/*timeOnClock=*/13500, /*pauseTime=*/0);   // reset at split 2
//   recorder.Problem();                 // "" or the last failure: "database or disk is full"
//
// The calls follow the engine's commands: start, split, skip, undo, then the end (finished,
// reset, or the window closed during the run). A reset after the run finished records
// nothing; an undo after it takes the finished attempt up again. At the next launch the
// window says what became of a run the process left unfinished (OpenResult::Unfinished):
// taken up again from the split state (UnfinishedResumed) or dropped.
//
// A read-only window, a refused file or no split file records nothing: every call returns
// at once. A route with no history file gets one at its first attempt. A write that fails
// is tried again with the next batch; Problem() says why until one succeeds.
//
// The numbers: a split costs the caller one lock and one notify (bench/history_bench.cpp).
// The records queued when the process is killed are lost; so, with synchronous=FULL, at
// most the batch being written when a kill or power cut comes, and with a split every few
// seconds a batch is one split.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "HistoryDatabase.h"

namespace history {

class HistoryRecorder {
  public:
    HistoryRecorder();
    // Writes what is queued, then closes the file and ends the writer thread.
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    // Closes the file open now (after writing its queue) and opens the history of splitFile.
    OpenResult Open(const std::string& splitFile, Access access,
                    const std::vector<std::string>& splitNames);
    // Writes the queue and closes the file.
    void Close();
    // True while calls are recorded: a writable open that was not refused.
    bool Recording() const { return recording_; }

    // ---- Live records, from the window's thread; each returns at once ----
    void AttemptStarted(std::int32_t number, TimeClock clock);
    void SplitMade(std::size_t index, std::int32_t runningTime);
    void SplitSkipped(std::size_t index);
    void SplitUndone(std::size_t index);
    void AttemptFinished(std::int32_t finalTime, std::int32_t pauseTime);
    void AttemptReset(std::int32_t timeOnClock, std::int32_t pauseTime);
    void WindowClosedDuringRun(std::int32_t timeOnClock, std::int32_t pauseTime);
    // The run the process left unfinished is taken up again from the split state:
    // runningTimes are the run's time at each split made so far (0 for a skipped one). With
    // no unfinished attempt in the history, a new one is started with them.
    void UnfinishedResumed(std::int32_t number, TimeClock clock,
                           const std::vector<std::int32_t>& runningTimes);
    void UnfinishedDropped();

    // Records handed over while held wait in the queue until Release(): the window holds
    // them from a key press until its change is drawn, so that the writer thread takes no
    // time from the drawing on a busy machine. A job, WaitUntilWritten and the destructor
    // release them too.
    void Hold();
    void Release();
    // Waits until everything handed over so far has been written (or has failed).
    void WaitUntilWritten();
    // The last failure to write, for the window; "" when the last write succeeded.
    std::string Problem() const;

    // ---- Jobs on the writer's connection, waited for ----
    bool Load(History* out, std::string* problem);
    bool ApplyRouteEdit(const RouteEdit& edit);
    std::vector<std::size_t> TimesPerSplit();
    // An import: the history replaced whole, in one transaction.
    bool ReplaceAll(const History& history);

  private:
    enum class Kind { Start, Split, Skip, Undo, Finish, Reset, Close, Resume, Drop };
    struct Record {
        Kind What = Kind::Start;
        std::int64_t Utc = 0;
        std::int32_t Number = 0;
        std::int32_t Time = 0;  // running time, final time, or the time on the clock
        std::int32_t Pause = 0;
        std::size_t Index = 0;
        TimeClock Clock = TimeClock::Real;
        SplitEntry Entry;
        std::vector<SplitEntry> Entries;  // Resume only
    };
    struct Item {
        Record What;
        std::function<void()> Job;  // when set, a job instead of a record
    };
    struct WriterState {
        std::int64_t LiveId = -1;  // the attempt being recorded, -1 for none
        bool LiveFinished = false;
        std::int64_t UnfinishedId = -1;
    };

    void Push(Record record);
    void RunJob(const std::function<void()>& job);
    void WriterLoop();
    void WriteRecords(std::vector<Record>* records);
    bool Apply(const Record& record);
    void SetProblem(const std::string& problem);

    // The window's side: what it has recorded of the run in progress.
    bool recording_ = false;
    std::size_t splitCount_ = 0;
    bool live_ = false;
    bool liveFinished_ = false;
    std::vector<SplitEntry> mirror_;

    // The writer's side: touched only on the writer thread.
    HistoryDatabase db_;
    WriterState state_;
    std::vector<Record> retry_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::deque<Item> queue_;
    std::uint64_t handed_ = 0;
    std::uint64_t done_ = 0;
    bool stopping_ = false;
    bool held_ = false;
    std::string problem_;
    std::thread writer_;
};

}  // namespace history
