#include "SplitsLook.h"

#include <algorithm>

#include "Summary.h"
#include "WrapTime.h"

namespace {

constexpr std::array<const char*, kSummaryLineCount> kSummaryTitles = {
    "Previous Segment",         "Sum of Best",  "Best Possible Time", "Possible Time Save",
    "Total Possible Time Save", "Personal Best"};

std::int32_t At(const std::vector<std::int32_t>& times, std::size_t i) {
    return i < times.size() ? times[i] : 0;
}

// The last split before i that the run made with a time, or npos: where the time in split i
// is counted from.
std::size_t LastTimedBefore(const std::vector<std::int32_t>& run, std::size_t i) {
    while (i > 0) {
        --i;
        if (At(run, i) != 0) {
            return i;
        }
    }
    return std::string::npos;
}

// A row of the list before scrolling: one split, the heading of an opened group, or a
// closed group shown as its last split.
struct Entry {
    enum Kind : std::uint8_t { kSplit, kMember, kHeading, kClosedGroup } kind;
    std::size_t group;
    std::size_t split;
};

class Builder {
  public:
    explicit Builder(const LookInput& input)
        : in_(input),
          run_(input.run),
          comparison_(input.comparison.times),
          rows_(input.run.Rows()),
          next_(std::min<std::size_t>(input.run.next, input.run.Rows())),
          started_(input.run.running || input.run.clock != 0 || input.run.finished) {}

    SplitsLook Build() {
        SplitsLook look;
        look.hasRoute = run_.hasRoute;
        look.description = run_.description;
        look.attempts = std::to_string(run_.attempts);
        look.comparison = in_.comparison.title;
        if (!in_.comparison.available) {
            look.comparison += " (no times)";
        }
        const std::int32_t final = rows_ > 0 ? At(run_.current, rows_ - 1) : 0;
        const std::int32_t keptFinal =
            run_.Kept() != nullptr && rows_ > 0 ? At(run_.Kept()->times, rows_ - 1) : 0;
        // With no kept run, or one without a final time, any finish is one: the engine keeps
        // it.
        look.newPersonalBest = run_.finished && final != 0 && (keptFinal == 0 || final < keptFinal);
        Rows(look);
        Clock(look, final);
        Summary(look, look.newPersonalBest ? final : keptFinal);
        return look;
    }

  private:
    void Rows(SplitsLook& look) {
        std::vector<Entry> entries;
        entries.reserve(in_.groups.size() + 8);
        std::size_t current = std::string::npos;
        for (std::size_t g = 0; g < in_.groups.size(); ++g) {
            const SplitGroup& group = in_.groups[g];
            const bool inside = next_ >= group.first && next_ <= group.last;
            if (!group.IsGroup()) {
                entries.push_back({Entry::kSplit, g, group.last});
            } else if (!inside) {
                entries.push_back({Entry::kClosedGroup, g, group.last});
            } else {
                entries.push_back({Entry::kHeading, g, group.first});
                for (std::size_t i = group.first; i <= group.last; ++i) {
                    entries.push_back({Entry::kMember, g, i});
                }
            }
            if (inside) {
                current = entries.size() - 1 - (group.last - next_);
            }
        }
        if (current == std::string::npos) {
            current = entries.size();
        }
        const std::vector<std::size_t> view =
            RowsInView(entries.size(), current, in_.options.visibleRows);
        look.rows.reserve(view.size());
        for (std::size_t k = 0; k < view.size(); ++k) {
            RowLook row = Row(entries[view[k]]);
            row.current = view[k] == current;
            row.afterGap = k > 0 && view[k] != view[k - 1] + 1;
            look.rows.push_back(std::move(row));
        }
    }

    RowLook Row(const Entry& entry) const {
        const SplitGroup& group = in_.groups[entry.group];
        RowLook row;
        switch (entry.kind) {
            case Entry::kHeading:
                row.name = group.title;
                row.heading = true;
                return row;
            case Entry::kMember:
                row.name = ShownName(run_.names[entry.split]);
                row.indented = true;
                break;
            case Entry::kSplit:
            case Entry::kClosedGroup:
                row.name = group.title;
                break;
        }
        const std::size_t i = entry.split;
        row.picture = run_.pictures[i];
        const bool made = i < next_;
        const std::int32_t shown = made ? At(run_.current, i) : At(comparison_, i);
        row.time = shown != 0 ? TimeText(shown, 2) : kNoValue;
        if (made) {
            row.delta = entry.kind == Entry::kClosedGroup ? GroupDelta(group) : Delta(i);
        } else if (i == next_ && started_) {
            row.delta = LiveDelta();
        }
        return row;
    }

    DeltaLook Delta(std::size_t i) const {
        return SplitDelta({{At(comparison_, i), SegmentAt(comparison_, i)},
                           {At(run_.current, i), SegmentAt(run_.current, i)},
                           At(run_.bestSegments, i),
                           run_.minBestSegment});
    }

    // A closed group against the comparison over the whole group; gold when the group was
    // run faster than its best segments added up.
    DeltaLook GroupDelta(const SplitGroup& group) const {
        const std::size_t last = group.last;
        const std::int32_t runTime = At(run_.current, last);
        const std::int32_t comparisonTime = At(comparison_, last);
        if (runTime == 0 || comparisonTime == 0) {
            return {};
        }
        const auto span = [&](const std::vector<std::int32_t>& times) -> std::int64_t {
            const std::int32_t before = group.first > 0 ? At(times, group.first - 1) : 0;
            return group.first > 0 && before == 0 ? 0 : std::int64_t{At(times, last)} - before;
        };
        std::int64_t best = 0;
        for (std::size_t i = group.first; i <= last && best >= 0; ++i) {
            best = At(run_.bestSegments, i) != 0 ? best + At(run_.bestSegments, i) : -1;
        }
        const std::int64_t runSpan = span(run_.current);
        const std::int64_t comparisonSpan = span(comparison_);
        const std::int64_t delta = std::int64_t{runTime} - comparisonTime;
        if (best > 0 && runSpan > run_.minBestSegment && runSpan < best) {
            return {DeltaText(delta), ColourRole::kBestSegment};
        }
        const bool known = runSpan != 0 && comparisonSpan != 0;
        return {DeltaText(delta), DeltaRole(delta, runSpan - comparisonSpan, known)};
    }

    // The split being timed, once the clock is past the comparison's time for it.
    DeltaLook LiveDelta() const {
        const std::int32_t comparisonTime = At(comparison_, next_);
        if (comparisonTime == 0 || run_.clock <= comparisonTime) {
            return {};
        }
        const std::int64_t delta = std::int64_t{run_.clock} - comparisonTime;
        return {DeltaText(delta), LiveRole(delta)};
    }

    // The colour of a live difference: by the change since the last split both have a time.
    ColourRole LiveRole(std::int64_t delta) const {
        const std::size_t last = LastTimedBefore(run_.current, next_);
        if (last == std::string::npos) {
            return DeltaRole(delta, delta, /*segmentKnown=*/true);
        }
        const std::int32_t comparisonLast = At(comparison_, last);
        const bool known = comparisonLast != 0;
        return DeltaRole(delta, delta - (std::int64_t{At(run_.current, last)} - comparisonLast),
                         known);
    }

    void Clock(SplitsLook& look, std::int32_t final) const {
        ClockLook& clock = look.clock;
        const int decimals = std::clamp(in_.options.clockDecimals, 0, 2);
        if (run_.finished) {
            clock.time = TimeText(final != 0 ? final : run_.clock, decimals);
            if (look.newPersonalBest) {
                clock.role = ColourRole::kPersonalBest;
                clock.caption = "New personal best";
                clock.captionRole = ColourRole::kPersonalBest;
            } else {
                clock.role = Delta(rows_ - 1).role;
            }
            return;
        }
        clock.time = TimeText(run_.clock, decimals);
        if (!run_.hasRoute || rows_ == 0) {
            return;
        }
        clock.comparisonTitle = in_.comparison.segmentTitle;
        const std::size_t last = LastTimedBefore(run_.current, next_);
        const std::int32_t from = last == std::string::npos ? 0 : At(run_.current, last);
        const std::int32_t comparisonFrom = last == std::string::npos ? 0 : At(comparison_, last);
        const std::int32_t comparisonTo = At(comparison_, next_);
        clock.comparisonSegment =
            comparisonTo != 0 && (last == std::string::npos || comparisonFrom != 0)
                ? TimeText(WrapSub(comparisonTo, comparisonFrom), 2)
                : kNoValue;
        if (!started_ || run_.clock < 0) {
            return;
        }
        if (comparisonTo != 0) {
            clock.role = LiveRole(std::int64_t{run_.clock} - comparisonTo);
        }
        clock.caption =
            run_.running ? "Segment " + TimeText(WrapSub(run_.clock, from), decimals) : "Paused";
    }

    void Summary(SplitsLook& look, std::int32_t personalBest) const {
        const auto& best = run_.bestSegments;
        for (std::size_t k = 0; k < kSummaryLineCount; ++k) {
            if (!in_.options.shownLines[k]) {
                continue;
            }
            SummaryLook line{static_cast<SummaryLine>(k), kSummaryTitles[k], kNoValue,
                             ColourRole::kText};
            std::optional<std::int32_t> value;
            switch (line.line) {
                case SummaryLine::kPreviousSegment:
                    PreviousSegment(line);
                    break;
                case SummaryLine::kSumOfBest:
                    value = ::SumOfBest(BestWithTheRun(), in_.historySumOfBest);
                    break;
                case SummaryLine::kBestPossibleTime:
                    value = BestPossibleTime(best, run_.current, next_, run_.clock);
                    break;
                case SummaryLine::kPossibleTimeSave:
                    value = PossibleTimeSave(comparison_, best, next_);
                    break;
                case SummaryLine::kTotalPossibleTimeSave:
                    value = TotalPossibleTimeSave(comparison_, best);
                    break;
                case SummaryLine::kPersonalBest:
                    value = personalBest != 0 ? std::optional(personalBest) : std::nullopt;
                    break;
            }
            if (value) {
                line.value = TimeText(*value, 2);
            }
            look.summary.push_back(std::move(line));
        }
    }

    // The best segments with the run's own where it beat them: a segment just run is a
    // segment the route has been run in, so the sum of best is never slower than a finished
    // run (also one held on screen after the engine kept it, whose best segments are the old).
    std::vector<std::int32_t> BestWithTheRun() const {
        std::vector<std::int32_t> best = run_.bestSegments;
        for (std::size_t i = 0; i < best.size() && i < next_; ++i) {
            const std::int32_t segment = SegmentAt(run_.current, i);
            if (segment > 0 && (best[i] == 0 || segment < best[i])) {
                best[i] = segment;
            }
        }
        return best;
    }

    // The last split's segment against the comparison's, gold on a best segment.
    void PreviousSegment(SummaryLook& line) const {
        if (next_ == 0) {
            return;
        }
        const std::size_t i = next_ - 1;
        const std::int32_t runSegment = SegmentAt(run_.current, i);
        const std::int32_t comparisonSegment = SegmentAt(comparison_, i);
        if (runSegment == 0 || comparisonSegment == 0) {
            return;
        }
        line.value = DeltaText(std::int64_t{runSegment} - comparisonSegment);
        line.role = Delta(i).role;
    }

    const LookInput& in_;
    const RunSnapshot& run_;
    const std::vector<std::int32_t>& comparison_;
    const std::size_t rows_;
    const std::size_t next_;
    const bool started_;  // a run is under way, paused or finished
};

}  // namespace

const char* SummaryTitle(SummaryLine line) {
    return kSummaryTitles[static_cast<std::size_t>(line)];
}

SplitsLook ComputeSplitsLook(const LookInput& input) {
    return Builder(input).Build();
}
