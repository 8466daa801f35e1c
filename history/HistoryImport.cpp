#include "HistoryImport.h"

#include <algorithm>
#include <unordered_map>

#include "NumberText.h"

namespace history {

std::string CountText(std::size_t count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

std::string ImportSummary::Text() const {
    std::string text = CountText(Attempts) + (Attempts == 1 ? " attempt" : " attempts") + " and " +
                       CountText(SegmentTimes) +
                       (SegmentTimes == 1 ? " segment time" : " segment times") + " kept";
    if (SegmentTimesOfNoAttempt > 0) {
        text += " (" + CountText(SegmentTimesOfNoAttempt) + " of them from ids with no attempt)";
    }
    if (LeftOut > 0) {
        text += ", " + CountText(LeftOut) +
                (LeftOut == 1 ? " duplicate entry" : " duplicate entries") + " left out";
    }
    return text;
}

History BuildImportedHistory(const HistoryImport& in, ImportSummary* summary) {
    *summary = ImportSummary{};
    History history;
    history.SplitNames = in.SplitNames;
    const std::size_t splitCount = in.SplitNames.size();

    std::vector<ImportedAttempt> attempts = in.Attempts;
    std::stable_sort(
        attempts.begin(), attempts.end(),
        [](const ImportedAttempt& a, const ImportedAttempt& b) { return a.Id < b.Id; });
    std::unordered_map<std::int32_t, std::size_t> byId;  // id -> index in history.Attempts
    for (const ImportedAttempt& imported : attempts) {
        if (byId.contains(imported.Id)) {
            ++summary->LeftOut;
            continue;
        }
        Attempt attempt;
        attempt.Number = imported.Id;
        attempt.Clock = in.Clock;
        attempt.StartedUtc = imported.StartedUtc;
        attempt.EndedUtc = imported.EndedUtc;
        attempt.End = imported.Time ? Ending::Finished : Ending::Reset;
        attempt.FinalTime = imported.Time;
        attempt.PauseTime = imported.PauseTime;
        byId.emplace(imported.Id, history.Attempts.size());
        history.Attempts.push_back(std::move(attempt));
        ++summary->Attempts;
        summary->Finished += imported.Time ? 1 : 0;
    }
    // Ids of segment times that no attempt has get an entry of their own, in id order.
    std::vector<std::int32_t> orphanIds;
    for (std::size_t split = 0; split < in.SegmentHistory.size() && split < splitCount; ++split) {
        for (const ImportedSegmentTime& time : in.SegmentHistory[split]) {
            if (!byId.contains(time.Id)) {
                orphanIds.push_back(time.Id);
            }
        }
    }
    std::sort(orphanIds.begin(), orphanIds.end());
    orphanIds.erase(std::unique(orphanIds.begin(), orphanIds.end()), orphanIds.end());
    if (!orphanIds.empty()) {
        std::vector<Attempt> merged;
        merged.reserve(history.Attempts.size() + orphanIds.size());
        std::size_t next = 0;
        for (const std::int32_t id : orphanIds) {
            while (next < history.Attempts.size() && history.Attempts[next].Number < id) {
                merged.push_back(std::move(history.Attempts[next++]));
            }
            Attempt orphan;
            orphan.Number = id;
            orphan.Clock = in.Clock;
            orphan.End = Ending::SegmentsOnly;
            merged.push_back(std::move(orphan));
        }
        while (next < history.Attempts.size()) {
            merged.push_back(std::move(history.Attempts[next++]));
        }
        history.Attempts = std::move(merged);
        byId.clear();
        for (std::size_t i = 0; i < history.Attempts.size(); ++i) {
            byId.emplace(history.Attempts[i].Number, i);
        }
    }

    for (std::size_t split = 0; split < in.SegmentHistory.size(); ++split) {
        if (split >= splitCount) {
            summary->LeftOut += in.SegmentHistory[split].size();
            continue;
        }
        for (const ImportedSegmentTime& time : in.SegmentHistory[split]) {
            Attempt& attempt = history.Attempts[byId.at(time.Id)];
            if (attempt.Splits.size() <= split) {
                attempt.Splits.resize(split + 1);
            }
            SplitEntry& entry = attempt.Splits[split];
            if (entry.Kind != EntryKind::NotReached) {
                ++summary->LeftOut;
                continue;
            }
            entry.Kind = time.Time ? EntryKind::Timed : EntryKind::Skipped;
            entry.Segment = time.Time.value_or(0);
            ++summary->SegmentTimes;
            summary->SegmentTimesOfNoAttempt += IsListed(attempt) ? 0 : 1;
        }
    }
    // Running times are the segments summed, for the attempts of the list.
    for (Attempt& attempt : history.Attempts) {
        if (!IsListed(attempt)) {
            continue;
        }
        std::int64_t running = 0;
        for (SplitEntry& entry : attempt.Splits) {
            if (entry.Kind == EntryKind::Timed) {
                running += entry.Segment;
                entry.Running = SaturateToInt32(running);
                entry.HasRunning = true;
            }
        }
    }
    return history;
}

}  // namespace history
