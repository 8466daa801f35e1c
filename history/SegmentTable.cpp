#include "SegmentTable.h"

#include <algorithm>

namespace history {

SegmentTable CollectSegments(const History& history, TimeClock clock) {
    const std::size_t splitCount = history.SplitNames.size();
    SegmentTable table;
    table.Single.resize(splitCount);
    table.Latest.resize(splitCount);
    for (const Attempt& attempt : history.Attempts) {
        if (attempt.Clock != clock) {
            continue;
        }
        const bool listed = IsListed(attempt);
        const std::size_t count = std::min(attempt.Splits.size(), splitCount);
        for (std::size_t k = 0; k < count; ++k) {
            const SplitEntry& entry = attempt.Splits[k];
            if (entry.Kind != EntryKind::Timed || entry.Segment < 0) {
                continue;
            }
            // Back over the splits without a time: for an attempt of the list a split with
            // no entry before this one was skipped too (inserted after the run). A segment
            // of no attempt has no neighbours: only its skipped entries say it spans more.
            std::size_t first = k;
            while (first > 0) {
                const EntryKind before = attempt.Splits[first - 1].Kind;
                if (before == EntryKind::Skipped || (listed && before == EntryKind::NotReached)) {
                    --first;
                } else {
                    break;
                }
            }
            if (!listed && first < k && first > 0 &&
                attempt.Splits[first - 1].Kind == EntryKind::NotReached) {
                continue;  // spans skipped splits back to somewhere unknown
            }
            if (first == k) {
                table.Single[k].push_back(entry.Segment);
                if (listed) {
                    table.Latest[k] = entry.Segment;
                }
            } else {
                table.Spanning.push_back({first, k, entry.Segment});
            }
        }
    }
    return table;
}

}  // namespace history
