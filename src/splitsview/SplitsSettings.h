// The Splits view's choices as settings text, one key each, for the [Splits] section:
//   VisibleRows=12                 rows in the list, 3 to 100
//   ClockDecimals=2                0, 1 or 2
//   CompareAgainst=Personal Best   ComparisonToText: "Median Segments", "Run:Last Week"
//   ShowPreviousSegment=Y          one for each summary line; "N" hides it
//   ShowSumOfBest=Y  ShowBestPossibleTime=Y  ShowPossibleTimeSave=Y
//   ShowTotalPossibleTimeSave=Y  ShowPersonalBest=Y
// A missing or unreadable value keeps its default ("VisibleRows=abc" -> 12, "VisibleRows=1"
// -> 3).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Comparisons.h"
#include "SplitsLook.h"

struct SplitsSettings {
    SplitsOptions options;
    ComparisonId comparison;
    bool operator==(const SplitsSettings&) const = default;
};

std::vector<std::pair<std::string, std::string>> SplitsSettingsToText(const SplitsSettings& s);
SplitsSettings SplitsSettingsFromText(
    const std::function<std::optional<std::string>(const std::string& key)>& lookup);
