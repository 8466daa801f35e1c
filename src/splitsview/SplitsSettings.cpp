#include "SplitsSettings.h"

#include <algorithm>

#include "NumberText.h"

namespace {

constexpr std::array<const char*, kSummaryLineCount> kShowKeys = {
    "ShowPreviousSegment",       "ShowSumOfBest",   "ShowBestPossibleTime", "ShowPossibleTimeSave",
    "ShowTotalPossibleTimeSave", "ShowPersonalBest"};

// A whole number within [low, high], or nullopt: "12" -> 12, "1" -> 1 (held by the caller).
std::optional<int> Number(const std::string& text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return ClampedAtoi(text);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> SplitsSettingsToText(const SplitsSettings& s) {
    std::vector<std::pair<std::string, std::string>> text = {
        {"VisibleRows", std::to_string(s.options.visibleRows)},
        {"ClockDecimals", std::to_string(s.options.clockDecimals)},
        {"CompareAgainst", ComparisonToText(s.comparison)},
    };
    for (std::size_t i = 0; i < kSummaryLineCount; ++i) {
        text.emplace_back(kShowKeys[i], s.options.shownLines[i] ? "Y" : "N");
    }
    return text;
}

SplitsSettings SplitsSettingsFromText(
    const std::function<std::optional<std::string>(const std::string& key)>& lookup) {
    SplitsSettings s;
    if (const auto text = lookup("VisibleRows")) {
        if (const auto rows = Number(*text)) {
            s.options.visibleRows = std::clamp(*rows, kMinVisibleRows, kMaxVisibleRows);
        }
    }
    if (const auto text = lookup("ClockDecimals")) {
        if (const auto decimals = Number(*text); decimals && *decimals <= 2) {
            s.options.clockDecimals = *decimals;
        }
    }
    if (const auto text = lookup("CompareAgainst")) {
        s.comparison = ComparisonFromText(*text);
    }
    for (std::size_t i = 0; i < kSummaryLineCount; ++i) {
        if (const auto text = lookup(kShowKeys[i])) {
            s.options.shownLines[i] = *text != "N";
        }
    }
    return s;
}
