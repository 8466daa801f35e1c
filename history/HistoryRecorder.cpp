#include "HistoryRecorder.h"

#include <ctime>
#include <future>

#include "WrapTime.h"

namespace history {

namespace {

// A failing disk is tried again with every batch; past this many records waiting, the
// oldest are given up so that memory stays bounded.
constexpr std::size_t kMostWaiting = 100'000;

std::int64_t NowUtc() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace

HistoryRecorder::HistoryRecorder() : writer_([this] { WriterLoop(); }) {}

HistoryRecorder::~HistoryRecorder() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

OpenResult HistoryRecorder::Open(const std::string& splitFile, Access access,
                                 const std::vector<std::string>& splitNames) {
    OpenResult result;
    RunJob([&] {
        WriteRecords(&retry_);
        retry_.clear();
        state_ = WriterState{};
        result = db_.Open(splitFile, access, splitNames);
        if (result.Unfinished) {
            state_.UnfinishedId = result.Unfinished->Id;
        }
    });
    recording_ = access == Access::Writable && result.What != OpenResult::Status::Refused;
    splitCount_ = splitNames.size();
    live_ = false;
    liveFinished_ = false;
    mirror_.clear();
    SetProblem("");
    return result;
}

void HistoryRecorder::Close() {
    RunJob([&] {
        WriteRecords(&retry_);
        retry_.clear();
        db_.Close();
        state_ = WriterState{};
    });
    recording_ = false;
    live_ = false;
    mirror_.clear();
}

void HistoryRecorder::Push(Record record) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(Item{std::move(record), nullptr});
        ++handed_;
        if (held_) {
            return;
        }
    }
    wake_.notify_one();
}

void HistoryRecorder::Hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
}

void HistoryRecorder::Release() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    wake_.notify_one();
}

void HistoryRecorder::RunJob(const std::function<void()>& job) {
    std::promise<void> finished;
    std::future<void> ready = finished.get_future();
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(Item{Record{}, [&] {
                                  job();
                                  finished.set_value();
                              }});
        ++handed_;
        held_ = false;
    }
    wake_.notify_one();
    ready.wait();
}

void HistoryRecorder::AttemptStarted(std::int32_t number, TimeClock clock) {
    if (!recording_) {
        return;
    }
    live_ = true;
    liveFinished_ = false;
    mirror_.clear();
    Record record;
    record.What = Kind::Start;
    record.Utc = NowUtc();
    record.Number = number;
    record.Clock = clock;
    Push(std::move(record));
}

void HistoryRecorder::SplitMade(std::size_t index, std::int32_t runningTime) {
    if (!recording_ || !live_ || liveFinished_ || index >= splitCount_) {
        return;
    }
    // The segment runs from the last split with a time, across skipped ones.
    std::int32_t from = 0;
    for (std::size_t j = std::min(index, mirror_.size()); j > 0; --j) {
        if (mirror_[j - 1].Kind == EntryKind::Timed) {
            from = mirror_[j - 1].Running;
            break;
        }
    }
    if (mirror_.size() <= index) {
        mirror_.resize(index + 1);
    }
    mirror_[index] = SplitEntry{runningTime, WrapSub(runningTime, from), EntryKind::Timed,
                                /*HasRunning=*/true};
    Record record;
    record.What = Kind::Split;
    record.Index = index;
    record.Entry = mirror_[index];
    Push(std::move(record));
}

void HistoryRecorder::SplitSkipped(std::size_t index) {
    if (!recording_ || !live_ || liveFinished_ || index >= splitCount_) {
        return;
    }
    if (mirror_.size() <= index) {
        mirror_.resize(index + 1);
    }
    mirror_[index] = SplitEntry{0, 0, EntryKind::Skipped, /*HasRunning=*/false};
    Record record;
    record.What = Kind::Skip;
    record.Index = index;
    record.Entry = mirror_[index];
    Push(std::move(record));
}

void HistoryRecorder::SplitUndone(std::size_t index) {
    if (!recording_ || !live_ || index >= mirror_.size()) {
        return;
    }
    liveFinished_ = false;
    mirror_[index] = SplitEntry{};
    while (!mirror_.empty() && mirror_.back().Kind == EntryKind::NotReached) {
        mirror_.pop_back();
    }
    Record record;
    record.What = Kind::Undo;
    record.Index = index;
    Push(std::move(record));
}

void HistoryRecorder::AttemptFinished(std::int32_t finalTime, std::int32_t pauseTime) {
    if (!recording_ || !live_ || liveFinished_) {
        return;
    }
    liveFinished_ = true;
    Record record;
    record.What = Kind::Finish;
    record.Utc = NowUtc();
    record.Time = finalTime;
    record.Pause = pauseTime;
    Push(std::move(record));
}

void HistoryRecorder::AttemptReset(std::int32_t timeOnClock, std::int32_t pauseTime) {
    if (!recording_ || !live_) {
        return;
    }
    live_ = false;
    mirror_.clear();
    // After a finished run the writer finds the attempt ended and lets it be.
    Record record;
    record.What = Kind::Reset;
    record.Utc = NowUtc();
    record.Time = timeOnClock;
    record.Pause = pauseTime;
    Push(std::move(record));
}

void HistoryRecorder::WindowClosedDuringRun(std::int32_t timeOnClock, std::int32_t pauseTime) {
    if (!recording_ || !live_ || liveFinished_) {
        return;
    }
    live_ = false;
    mirror_.clear();
    Record record;
    record.What = Kind::Close;
    record.Utc = NowUtc();
    record.Time = timeOnClock;
    record.Pause = pauseTime;
    Push(std::move(record));
}

void HistoryRecorder::UnfinishedResumed(std::int32_t number, TimeClock clock,
                                        const std::vector<std::int32_t>& runningTimes) {
    if (!recording_) {
        return;
    }
    live_ = true;
    liveFinished_ = false;
    mirror_.clear();
    std::int32_t from = 0;
    for (std::size_t i = 0; i < runningTimes.size() && i < splitCount_; ++i) {
        if (runningTimes[i] == 0) {
            mirror_.push_back(SplitEntry{0, 0, EntryKind::Skipped, /*HasRunning=*/false});
            continue;
        }
        mirror_.push_back(SplitEntry{runningTimes[i], WrapSub(runningTimes[i], from),
                                     EntryKind::Timed, /*HasRunning=*/true});
        from = runningTimes[i];
    }
    Record record;
    record.What = Kind::Resume;
    record.Utc = NowUtc();
    record.Number = number;
    record.Clock = clock;
    record.Entries = mirror_;
    Push(std::move(record));
}

void HistoryRecorder::UnfinishedDropped() {
    if (!recording_) {
        return;
    }
    Record record;
    record.What = Kind::Drop;
    Push(std::move(record));
}

void HistoryRecorder::WaitUntilWritten() {
    Release();
    std::unique_lock lock(mutex_);
    const std::uint64_t target = handed_;
    written_.wait(lock, [&] { return done_ >= target; });
}

std::string HistoryRecorder::Problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

void HistoryRecorder::SetProblem(const std::string& problem) {
    std::lock_guard lock(mutex_);
    problem_ = problem;
}

bool HistoryRecorder::Load(History* out, std::string* problem) {
    bool ok = false;
    RunJob([&] { ok = db_.Load(out, problem); });
    return ok;
}

bool HistoryRecorder::ApplyRouteEdit(const RouteEdit& edit) {
    bool ok = false;
    RunJob([&] {
        ok = db_.ApplyRouteEdit(edit);
        if (!ok) {
            SetProblem("History not changed: " + db_.LastError());
        }
    });
    if (ok) {
        splitCount_ = edit.Names.size();
    }
    return ok;
}

std::vector<std::size_t> HistoryRecorder::TimesPerSplit() {
    std::vector<std::size_t> times;
    RunJob([&] { times = db_.TimesPerSplit(); });
    return times;
}

bool HistoryRecorder::ReplaceAll(const History& history) {
    bool ok = false;
    RunJob([&] {
        ok = db_.ReplaceAll(history);
        if (ok) {
            state_ = WriterState{};
        } else {
            SetProblem("History not imported: " + db_.LastError());
        }
    });
    if (ok) {
        splitCount_ = history.SplitNames.size();
        live_ = false;
        mirror_.clear();
    }
    return ok;
}

void HistoryRecorder::WriterLoop() {
    for (;;) {
        std::deque<Item> batch;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return (!queue_.empty() && !held_) || stopping_; });
            if (queue_.empty()) {
                break;
            }
            batch.swap(queue_);
        }
        std::vector<Record> records = std::move(retry_);
        retry_.clear();
        for (Item& item : batch) {
            if (item.Job) {
                WriteRecords(&records);
                records.clear();
                item.Job();
            } else {
                records.push_back(std::move(item.What));
            }
        }
        WriteRecords(&records);
        {
            std::lock_guard lock(mutex_);
            done_ += batch.size();
        }
        written_.notify_all();
    }
    WriteRecords(&retry_);
    db_.Close();
}

void HistoryRecorder::WriteRecords(std::vector<Record>* records) {
    if (records->empty()) {
        return;
    }
    if (db_.GetAccess() != Access::Writable || db_.Refused()) {
        records->clear();
        return;
    }
    bool startsAttempt = false;
    for (const Record& record : *records) {
        startsAttempt = startsAttempt || record.What == Kind::Start || record.What == Kind::Resume;
    }
    if (!db_.IsOpen() && (!startsAttempt || !db_.EnsureCreated())) {
        // No file and nothing that starts one, or it cannot be made: nothing to record into.
        if (startsAttempt) {
            SetProblem("History not saved: " + db_.LastError());
        }
        records->clear();
        return;
    }
    const WriterState before = state_;
    bool ok = db_.Begin();
    for (std::size_t i = 0; ok && i < records->size(); ++i) {
        ok = Apply((*records)[i]);
    }
    ok = ok && db_.Commit();
    if (ok) {
        SetProblem("");
        records->clear();
        return;
    }
    db_.Rollback();
    state_ = before;
    SetProblem("History not saved: " + db_.LastError());
    if (records->size() > kMostWaiting) {
        records->erase(records->begin(), records->begin() + static_cast<std::ptrdiff_t>(
                                                                records->size() - kMostWaiting));
    }
    if (records != &retry_) {
        retry_ = std::move(*records);
        records->clear();
    }
}

bool HistoryRecorder::Apply(const Record& record) {
    const bool live = state_.LiveId >= 0;
    switch (record.What) {
        case Kind::Start: {
            if (live && !state_.LiveFinished &&
                !db_.SetEnding(state_.LiveId, Ending::Reset, record.Utc, std::nullopt,
                               std::nullopt)) {
                return false;
            }
            const auto id = db_.AddAttempt(record.Number, record.Clock, record.Utc);
            if (!id) {
                return false;
            }
            state_.LiveId = *id;
            state_.LiveFinished = false;
            return true;
        }
        case Kind::Split:
        case Kind::Skip:
            return !live || state_.LiveFinished ||
                   db_.PutEntry(state_.LiveId, record.Index, record.Entry);
        case Kind::Undo:
            if (!live) {
                return true;
            }
            if (state_.LiveFinished) {
                if (!db_.Reopen(state_.LiveId)) {
                    return false;
                }
                state_.LiveFinished = false;
            }
            return db_.RemoveEntry(state_.LiveId, record.Index);
        case Kind::Finish:
            if (!live || state_.LiveFinished) {
                return true;
            }
            state_.LiveFinished = true;
            return db_.SetEnding(state_.LiveId, Ending::Finished, record.Utc, record.Time,
                                 record.Pause);
        case Kind::Reset:
        case Kind::Close: {
            if (!live || state_.LiveFinished) {
                state_.LiveId = -1;
                return true;
            }
            const std::int64_t id = state_.LiveId;
            state_.LiveId = -1;
            return db_.SetEnding(id,
                                 record.What == Kind::Reset ? Ending::Reset : Ending::WindowClosed,
                                 record.Utc, record.Time, record.Pause);
        }
        case Kind::Resume: {
            if (state_.UnfinishedId >= 0) {
                state_.LiveId = state_.UnfinishedId;
                state_.UnfinishedId = -1;
            } else {
                const auto id = db_.AddAttempt(record.Number, record.Clock, record.Utc);
                if (!id) {
                    return false;
                }
                state_.LiveId = *id;
            }
            state_.LiveFinished = false;
            return db_.Resume(state_.LiveId, record.Entries);
        }
        case Kind::Drop: {
            const std::int64_t id = state_.UnfinishedId;
            state_.UnfinishedId = -1;
            return id < 0 || db_.Drop(id);
        }
    }
    return true;
}

}  // namespace history
