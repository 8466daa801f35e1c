#include "Comparisons.h"

#include <array>

#include "WrapTime.h"

namespace {

constexpr std::string_view kRunPrefix = "Run:";

struct OwnComparison {
    ComparisonKind kind;
    const char* title;
    const char* segmentTitle;
    std::vector<std::int32_t> HistoryComparisons::*times;  // null: from the grid
};

const std::array<OwnComparison, 6> kOwn = {{
    {ComparisonKind::kPersonalBest, "Personal Best", "PB segment", nullptr},
    {ComparisonKind::kBestSegments, "Best Segments", "Best segment",
     &HistoryComparisons::bestSegments},
    {ComparisonKind::kBestSplitTimes, "Best Split Times", "Best-split segment",
     &HistoryComparisons::bestSplitTimes},
    {ComparisonKind::kAverageSegments, "Average Segments", "Average segment",
     &HistoryComparisons::averageSegments},
    {ComparisonKind::kMedianSegments, "Median Segments", "Median segment",
     &HistoryComparisons::medianSegments},
    {ComparisonKind::kLatestRun, "Latest Run", "Latest segment", &HistoryComparisons::latestRun},
}};

bool AnyTime(const std::vector<std::int32_t>& times) {
    for (const std::int32_t t : times) {
        if (t != 0) {
            return true;
        }
    }
    return false;
}

ComparisonTimes Made(std::string title, std::string segmentTitle, std::vector<std::int32_t> times) {
    const bool available = AnyTime(times);
    return {std::move(title), std::move(segmentTitle), std::move(times), available};
}

}  // namespace

std::string ComparisonToText(const ComparisonId& id) {
    if (id.kind == ComparisonKind::kStoredRun) {
        return std::string(kRunPrefix) + id.title;
    }
    for (const OwnComparison& own : kOwn) {
        if (own.kind == id.kind) {
            return own.title;
        }
    }
    return kOwn[0].title;
}

ComparisonId ComparisonFromText(std::string_view text) {
    if (text.starts_with(kRunPrefix)) {
        return {ComparisonKind::kStoredRun, std::string(text.substr(kRunPrefix.size()))};
    }
    for (const OwnComparison& own : kOwn) {
        if (text == own.title) {
            return {own.kind, ""};
        }
    }
    return {};
}

std::vector<std::int32_t> BestSegmentTimes(const std::vector<std::int32_t>& bestSegments) {
    std::vector<std::int32_t> times(bestSegments.size(), 0);
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < bestSegments.size() && bestSegments[i] != 0; ++i) {
        sum = WrapAdd(sum, bestSegments[i]);
        times[i] = sum;
    }
    return times;
}

std::int32_t SegmentAt(const std::vector<std::int32_t>& times, std::size_t i) {
    if (i >= times.size() || times[i] == 0) {
        return 0;
    }
    if (i == 0) {
        return times[0];
    }
    return times[i - 1] == 0 ? 0 : WrapSub(times[i], times[i - 1]);
}

std::vector<ComparisonChoice> ComparisonChoices(const RunSnapshot& run,
                                                const HistoryComparisons& history) {
    std::vector<ComparisonChoice> choices(kOwn.size());
    for (std::size_t i = 0; i < kOwn.size(); ++i) {
        choices[i].id.kind = kOwn[i].kind;
        choices[i].title = kOwn[i].title;
        choices[i].available = ResolveComparison(run, choices[i].id, history).available;
    }
    for (std::size_t i = 0; i + 1 < run.storedRuns.size(); ++i) {
        ComparisonChoice& choice = choices.emplace_back();
        choice.id = {ComparisonKind::kStoredRun, run.storedRuns[i].title};
        choice.title = run.storedRuns[i].title;
        choice.available = AnyTime(run.storedRuns[i].times);
    }
    return choices;
}

ComparisonTimes ResolveComparison(const RunSnapshot& run, const ComparisonId& id,
                                  const HistoryComparisons& history) {
    const std::size_t rows = run.Rows();
    if (id.kind == ComparisonKind::kStoredRun) {
        for (std::size_t i = 0; i + 1 < run.storedRuns.size(); ++i) {
            if (run.storedRuns[i].title == id.title) {
                return Made(id.title, id.title + " segment", run.storedRuns[i].times);
            }
        }
        return ResolveComparison(run, {}, history);
    }
    const OwnComparison* own = &kOwn[0];
    for (const OwnComparison& candidate : kOwn) {
        if (candidate.kind == id.kind) {
            own = &candidate;
        }
    }
    if (own->times != nullptr && (history.*(own->times)).size() == rows) {
        return Made(own->title, own->segmentTitle, history.*(own->times));
    }
    switch (own->kind) {
        case ComparisonKind::kPersonalBest:
            return Made(
                own->title, own->segmentTitle,
                run.Kept() != nullptr ? run.Kept()->times : std::vector<std::int32_t>(rows, 0));
        case ComparisonKind::kBestSegments:
            return Made(own->title, own->segmentTitle, BestSegmentTimes(run.bestSegments));
        default:
            return Made(own->title, own->segmentTitle, std::vector<std::int32_t>(rows, 0));
    }
}
