// Everything the Splits view shows, worked out as plain text and colour roles from a run
// snapshot, the comparison's times and the runner's options. The widget only draws it.
//
//   Bell Tower drill                                         41     header: description,
//   Stairs                              −0.10       2.20              attempts (never cut)
//   Rope                                +0.25       4.95          rows: name, difference
//   Bells                                           6.70  <- being timed (highlight); its
//   ...                                                       time is the comparison's
//   Descent                                        19.60  <- the last split, always shown
//                                                 5.34       clock, coloured
//   Segment 0.39                         PB segment 1.75      this split, the comparison's
//   Previous Segment                                +0.25     summary lines, each can be
//   Sum of Best                                     18.44     hidden
//   Best Possible Time                              18.93
//   Possible Time Save                               0.05
//   Total Possible Time Save                         1.16
//   Personal Best                                   19.60
//   Compare Against                         Personal Best     a click asks for another
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ColourRole.h"
#include "Comparisons.h"
#include "DeltaRules.h"
#include "RowsInView.h"
#include "RunSnapshot.h"
#include "Subsplits.h"

enum class SummaryLine : std::uint8_t {
    kPreviousSegment,
    kSumOfBest,
    kBestPossibleTime,
    kPossibleTimeSave,
    kTotalPossibleTimeSave,
    kPersonalBest,
};
inline constexpr std::size_t kSummaryLineCount = 6;

// "Previous Segment", "Sum of Best", ... as shown.
const char* SummaryTitle(SummaryLine line);

// What the runner chose: how many rows, the clock's decimals, the summary lines shown.
struct SplitsOptions {
    int visibleRows = kDefaultVisibleRows;
    int clockDecimals = 2;  // 0, 1 or 2; stored times keep their hundredths
    std::array<bool, kSummaryLineCount> shownLines = {true, true, true, true, true, true};
    bool operator==(const SplitsOptions&) const = default;
};

struct RowLook {
    std::string name;
    std::string picture;  // the split's picture file, "" for none
    DeltaLook delta;
    std::string time;
    bool current = false;   // the split being timed: on the highlight
    bool heading = false;   // the name of a group the run is inside: no times
    bool indented = false;  // a split inside that group
    bool afterGap = false;  // the last row, with rows left out above it
    bool operator==(const RowLook&) const = default;
};

struct ClockLook {
    std::string time;
    ColourRole role = ColourRole::kText;
    // Left under the clock: the time in the split being timed ("Segment 12.3"), "Paused",
    // or "New personal best".
    std::string caption;
    ColourRole captionRole = ColourRole::kText;
    // Right under the clock: the comparison's time for that split ("PB segment", "20.62").
    std::string comparisonTitle;
    std::string comparisonSegment;
    bool operator==(const ClockLook&) const = default;
};

struct SummaryLook {
    SummaryLine line = SummaryLine::kPreviousSegment;
    std::string title;
    std::string value;
    ColourRole role = ColourRole::kText;
    bool operator==(const SummaryLook&) const = default;
};

struct SplitsLook {
    bool hasRoute = false;
    std::string description;
    std::string attempts;
    std::vector<RowLook> rows;  // the rows in view, top to bottom
    ClockLook clock;
    std::vector<SummaryLook> summary;  // the lines shown, in their order
    std::string comparison;            // the comparison's title
    bool newPersonalBest = false;
    bool operator==(const SplitsLook&) const = default;
};

// What the look is made of. groups is GroupSplits(run.names); comparison the
// ResolveComparison of the choice; both are worked out again only when the route or the
// choice changes, so a tick costs little more than the rows in view.
struct LookInput {
    const RunSnapshot& run;
    const ComparisonTimes& comparison;
    const std::vector<SplitGroup>& groups;
    const SplitsOptions& options;
    std::int32_t historySumOfBest = 0;
};

SplitsLook ComputeSplitsLook(const LookInput& input);

// Shown for a value that cannot be known.
inline constexpr const char* kNoValue = "\u2014";
