// A route's history file: an SQLite database beside the split file ("route.txt" ->
// "route.history.sqlite"), opened for recording or for reading only. One thread uses an
// object at a time; the window records through HistoryRecorder, which owns one on its
// writer thread. No Qt; SQLite's C API behind Sqlite.h.
//
//   HistoryDatabase db;
//   OpenResult opened = db.Open("/runs/route.txt", Access::Writable, {"Forest", "Castle"});
//   opened.What      -> Opened, NoHistoryYet (no file: EnsureCreated makes it at the first
//                       attempt) or Refused
//   opened.Message   -> "route.history.sqlite was not opened: it was written by a newer
//                       Quorvel."                              (with Refused only)
//   std::int64_t id = *db.AddAttempt(/*number=*/13, TimeClock::Real, /*startedUtc=*/t);
//   db.PutEntry(id, 0, {4010, 4010, EntryKind::Timed, true});
//   db.SetEnding(id, Ending::Reset, t + 60, /*finalTime=*/5230, /*pauseTime=*/0);
//   History all;  db.Load(&all, &problem);                    // everything, for figures or export
//
// The file. Table route_setting (name, value: "clock" is the route's clock), tables route_split (a
// stable id per split, its position in the route, or none when set aside, and its name), attempt
// (number, clock, start and end in UTC seconds, how it ended, final time, paused time, times
// resumed) and split_time (per attempt and split: running time and segment time, both none for a
// skipped split). PRAGMA application_id marks the file as Quorvel's, PRAGMA user_version is the
// layout's version: a file of a later version is refused, never changed; an older one is brought up
// to date when opened for recording.
//
// Safety. The file is looked at through a read-only connection first: one that is not
// SQLite, not ours, damaged (PRAGMA quick_check) or of a later version is refused with a
// one-line message and never written. Recording uses WAL with synchronous=FULL: every
// commit is in the log on disk before it returns, a kill at any moment leaves the last
// commit or the one before it, and the file always passes PRAGMA integrity_check. Limits
// are checked before a load takes memory.
//
// Opening aligns the history with the split file's names (RouteAlignment.h AlignByNames):
// for recording the alignment is written, for reading it is applied to what is loaded.
// Opening for recording also closes what an earlier process left open: an attempt with no
// end becomes "process died", or "finished" when its last split is in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "HistoryTypes.h"
#include "RouteAlignment.h"
#include "Sqlite.h"

namespace history {

enum class Access { ReadOnly, Writable };

// The layout this Quorvel writes, and the most a file may hold before a load refuses it.
inline constexpr int kSchemaVersion = 1;
inline constexpr std::int64_t kApplicationId = 0x51564C48;  // "QVLH"
inline constexpr std::int64_t kMostAttempts = 1'000'000;
inline constexpr std::int64_t kMostEntries = 16'000'000;  // loaded entries, gaps included
inline constexpr std::size_t kMostSplits = 10'000;

struct OpenResult {
    enum class Status { Opened, NoHistoryYet, Refused };
    Status What = Status::NoHistoryYet;
    std::string Message;    // with Refused: one line for the window
    Realignment Alignment;  // how the history's splits met the split file's names
    // The last attempt, when the process died or the window closed while it ran: the run
    // can be taken up again (HistoryRecorder::UnfinishedResumed) or dropped.
    std::optional<Attempt> Unfinished;
    // The clock the next attempt is recorded on: the route's clock where an import chose it
    // (RouteClock), else the latest attempt's; real with neither.
    TimeClock Clock = TimeClock::Real;
};

class HistoryDatabase {
  public:
    HistoryDatabase();
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // Opens the history of splitFile; splitNames are the split file's names in order.
    OpenResult Open(const std::string& splitFile, Access access,
                    const std::vector<std::string>& splitNames);
    void Close();

    bool IsOpen() const { return db_.IsOpen(); }
    bool Refused() const { return refused_; }
    Access GetAccess() const { return access_; }
    const std::string& Path() const { return path_; }
    std::size_t SplitCount() const { return names_.size(); }
    // The last failure in a few words: "database or disk is full".
    const std::string& LastError() const { return lastError_; }

    // Writable and not refused: makes the file when there is none yet, beside the split
    // file with its permissions. False (and LastError) when it cannot.
    bool EnsureCreated();

    // Everything, attempts in order, entries in the route's order. False with *problem
    // ("it holds more than 1,000,000 attempts") when the file cannot be read; no history
    // file gives true and an empty history with the split file's names.
    bool Load(History* out, std::string* problem);

    // ---- Recording (writable, created). Each returns false on failure (LastError). ----
    bool Begin();  // groups what follows in one transaction
    bool Commit();
    void Rollback();
    std::optional<std::int64_t> AddAttempt(std::int32_t number, TimeClock clock,
                                           std::optional<std::int64_t> startedUtc);
    // A Timed or Skipped entry at split index; replaces what was there.
    bool PutEntry(std::int64_t attemptId, std::size_t index, const SplitEntry& entry);
    bool RemoveEntry(std::int64_t attemptId, std::size_t index);
    bool SetEnding(std::int64_t attemptId, Ending ending, std::optional<std::int64_t> endedUtc,
                   std::optional<std::int32_t> finalTime, std::optional<std::int32_t> pauseTime);
    // Back to InProgress (an undo after the last split).
    bool Reopen(std::int64_t attemptId);
    // The run taken up again: InProgress, one more resume, entries as the run now holds them.
    bool Resume(std::int64_t attemptId, const std::vector<SplitEntry>& entries);
    // Died or closed, and not taken up again: Dropped, the rest as it was.
    bool Drop(std::int64_t attemptId);

    // The clock the route's times are on, chosen when it was imported: real time when the
    // file records none (a route made in Quorvel) or there is no file.
    TimeClock RouteClock();
    // Records it (writable and created); false on failure (LastError).
    bool SetRouteClock(TimeClock clock);

    // ---- Whole-file changes, each one transaction ----
    // Replaces the route's splits and every attempt (an import). Attempt ids are given anew.
    bool ReplaceAll(const History& history);
    // A route edit from the split editor (RouteAlignment.h); false, changing nothing, when
    // the edit does not fit the route.
    bool ApplyRouteEdit(const RouteEdit& edit);
    // The timed entries per split, for RemovedSplitsWithHistory.
    std::vector<std::size_t> TimesPerSplit();

  private:
    struct Statements;
    bool OpenExisting(OpenResult* result);
    bool Fail(const char* what = nullptr);
    bool Realign(OpenResult* result);
    bool CloseLeftOpenAttempts(OpenResult* result);
    std::optional<std::size_t> CheckSize(std::string* problem);

    sqlite::Connection db_;
    std::unique_ptr<Statements> statements_;
    Access access_ = Access::ReadOnly;
    bool refused_ = false;
    std::string path_;
    std::string splitFile_;
    std::vector<std::string> names_;
    // The id of each split of the route, in order. For a read-only open it is worked out in
    // memory and never written.
    std::vector<std::int64_t> splitIds_;
    std::string lastError_;
};

}  // namespace history
