#include "RouteAlignment.h"

#include <algorithm>
#include <cstdint>

#include "NumberText.h"

namespace history {

bool IsValidRouteEdit(const RouteEdit& edit, std::size_t oldCount) {
    if (edit.Names.size() != edit.OldIndex.size()) {
        return false;
    }
    std::vector<bool> used(oldCount, false);
    for (const auto& old : edit.OldIndex) {
        if (!old) {
            continue;
        }
        if (*old >= oldCount || used[*old]) {
            return false;
        }
        used[*old] = true;
    }
    return true;
}

std::size_t RemovedSplitsWithHistory(const std::vector<std::size_t>& timesPerSplit,
                                     const RouteEdit& edit) {
    std::vector<bool> kept(timesPerSplit.size(), false);
    for (const auto& old : edit.OldIndex) {
        if (old && *old < kept.size()) {
            kept[*old] = true;
        }
    }
    std::size_t count = 0;
    for (std::size_t i = 0; i < timesPerSplit.size(); ++i) {
        count += !kept[i] && timesPerSplit[i] > 0 ? 1 : 0;
    }
    return count;
}

std::string RemovalWarning(std::size_t splitsWithHistory) {
    if (splitsWithHistory == 0) {
        return "";
    }
    if (splitsWithHistory == 1) {
        return "1 split's history will be removed";
    }
    return std::to_string(splitsWithHistory) + " splits' history will be removed";
}

std::vector<std::size_t> TimesPerSplit(const History& history) {
    std::vector<std::size_t> times(history.SplitNames.size(), 0);
    for (const Attempt& attempt : history.Attempts) {
        for (std::size_t i = 0; i < attempt.Splits.size() && i < times.size(); ++i) {
            times[i] += attempt.Splits[i].Kind == EntryKind::Timed ? 1 : 0;
        }
    }
    return times;
}

std::vector<SplitEntry> RearrangeEntries(const std::vector<SplitEntry>& entries,
                                         const RouteEdit& edit, bool listed) {
    std::vector<SplitEntry> old = entries;
    if (listed) {
        // A removed split's segment goes to the next kept split with a time.
        std::vector<bool> kept(old.size(), false);
        for (const auto& index : edit.OldIndex) {
            if (index && *index < kept.size()) {
                kept[*index] = true;
            }
        }
        std::int64_t carried = 0;
        for (std::size_t i = 0; i < old.size(); ++i) {
            if (old[i].Kind != EntryKind::Timed) {
                continue;
            }
            if (!kept[i]) {
                carried += old[i].Segment;
            } else if (carried != 0) {
                old[i].Segment = SaturateToInt32(old[i].Segment + carried);
                carried = 0;
            }
        }
    }
    std::vector<SplitEntry> rearranged(edit.OldIndex.size());
    for (std::size_t row = 0; row < edit.OldIndex.size(); ++row) {
        const auto& index = edit.OldIndex[row];
        if (index && *index < old.size()) {
            rearranged[row] = old[*index];
        }
    }
    if (listed) {
        std::int64_t running = 0;
        for (SplitEntry& entry : rearranged) {
            if (entry.Kind == EntryKind::Timed) {
                running += entry.Segment;
                entry.Running = SaturateToInt32(running);
                entry.HasRunning = true;
            }
        }
    }
    while (!rearranged.empty() && rearranged.back().Kind == EntryKind::NotReached) {
        rearranged.pop_back();
    }
    return rearranged;
}

bool Realignment::Unchanged(std::size_t inUseCount) const {
    if (Source.size() != inUseCount || !SetAside.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < Source.size(); ++i) {
        if (Source[i] != i) {
            return false;
        }
    }
    return true;
}

namespace {

// Pairs of (old, new) indices of a longest common subsequence of names, in order. Only the
// part between the common beginning and end is compared cell by cell, and only when it is
// small enough; a larger middle is left unmatched (paired by position later).
std::vector<std::pair<std::size_t, std::size_t>> CommonNames(const std::vector<std::string>& a,
                                                             const std::vector<std::string>& b) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) {
        pairs.emplace_back(head, head);
        ++head;
    }
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
        ++tail;
    }
    const std::size_t n = a.size() - head - tail;
    const std::size_t m = b.size() - head - tail;
    constexpr std::size_t kMostCells = 4'000'000;
    if (n > 0 && m > 0 && (n + 1) * (m + 1) <= kMostCells) {
        // lengths[i][j]: the longest common subsequence of a's middle from i and b's from j.
        std::vector<std::uint32_t> lengths((n + 1) * (m + 1), 0);
        const auto at = [m](std::size_t i, std::size_t j) { return i * (m + 1) + j; };
        for (std::size_t i = n; i-- > 0;) {
            for (std::size_t j = m; j-- > 0;) {
                lengths[at(i, j)] = a[head + i] == b[head + j]
                                        ? lengths[at(i + 1, j + 1)] + 1
                                        : std::max(lengths[at(i + 1, j)], lengths[at(i, j + 1)]);
            }
        }
        std::size_t i = 0, j = 0;
        while (i < n && j < m) {
            if (a[head + i] == b[head + j]) {
                pairs.emplace_back(head + i, head + j);
                ++i;
                ++j;
            } else if (lengths[at(i + 1, j)] >= lengths[at(i, j + 1)]) {
                ++i;
            } else {
                ++j;
            }
        }
    }
    for (std::size_t k = tail; k > 0; --k) {
        pairs.emplace_back(a.size() - k, b.size() - k);
    }
    return pairs;
}

}  // namespace

Realignment AlignByNames(const std::vector<std::string>& inUse,
                         const std::vector<std::string>& setAside,
                         const std::vector<std::string>& names) {
    Realignment result;
    result.Source.assign(names.size(), std::nullopt);
    std::vector<bool> matched(inUse.size(), false);
    auto pairs = CommonNames(inUse, names);
    // The end of the lists is a match of its own, so the last gap is paired like the others.
    pairs.emplace_back(inUse.size(), names.size());
    std::size_t previousOld = 0, previousNew = 0;
    for (const auto& [old, now] : pairs) {
        // The gap before this match: paired by position as renamed splits.
        const std::size_t gap = std::min(old - previousOld, now - previousNew);
        for (std::size_t k = 0; k < gap; ++k) {
            result.Source[previousNew + k] = previousOld + k;
            matched[previousOld + k] = true;
            ++result.Renamed;
        }
        if (old < inUse.size()) {
            result.Source[now] = old;
            matched[old] = true;
        }
        previousOld = old + 1;
        previousNew = now + 1;
    }
    // New names nothing matched may bring back a split set aside earlier.
    std::vector<bool> taken(setAside.size(), false);
    for (std::size_t row = 0; row < names.size(); ++row) {
        if (result.Source[row]) {
            continue;
        }
        for (std::size_t k = 0; k < setAside.size(); ++k) {
            if (!taken[k] && setAside[k] == names[row]) {
                taken[k] = true;
                result.Source[row] = inUse.size() + k;
                ++result.BroughtBack;
                break;
            }
        }
    }
    for (std::size_t i = 0; i < inUse.size(); ++i) {
        if (!matched[i]) {
            result.SetAside.push_back(i);
        }
    }
    return result;
}

}  // namespace history
