// The difference of a split against the comparison and its colour, as runners read them.
//
// The difference is the run's running time less the comparison's at that split: "+1.23"
// behind, "−0.45" ahead (a real minus sign, U+2212), "0.00" level; a minute and more as
// "+1:05.23". Its colour says where the run stands and where it went in the last segment:
//
//   run segment is a best segment (longer than the minimum, faster than the stored best,
//   or no best stored yet)                                     -> best segment (gold)
//   ahead (difference <= 0), segment not slower than the comparison's  -> ahead, gaining
//   ahead, segment slower than the comparison's                         -> ahead, losing
//   behind (difference > 0), segment faster than the comparison's       -> behind, gaining
//   behind, segment not faster                                          -> behind, losing
//
// A segment that cannot be worked out (after a skipped split) counts as gaining while ahead
// and losing while behind. Without a run time, or without a comparison time (a first run on
// a new route), there is no difference at all: "" in the text colour.
//
//   {comparison 40.00 / 40.00, run 39.55 / 39.55, best 39.00} -> "−0.45", ahead, gaining
//   {comparison 80.00 / 40.00, run 79.55 / 40.00, best 39.00} -> "−0.45", ahead, gaining
//   {comparison 80.00 / 40.00, run 79.55 / 40.50, best 39.00} -> "−0.45", ahead, losing
//   {comparison 40.00 / 40.00, run 41.23 / 41.23, best 41.50} -> "+1.23", best segment
#pragma once

#include <cstdint>
#include <string>

#include "ColourRole.h"

// A running time and a segment time at one split; 0 for none.
struct SplitTime {
    std::int32_t time = 0;
    std::int32_t segment = 0;
};

struct DeltaInput {
    SplitTime comparison;
    SplitTime run;
    std::int32_t bestSegment = 0;     // the stored best of this split, 0 for none
    std::int32_t minBestSegment = 0;  // a best segment must be longer than this
};

struct DeltaLook {
    std::string text;
    ColourRole role = ColourRole::kText;
    bool operator==(const DeltaLook&) const = default;
};

DeltaLook SplitDelta(const DeltaInput& input);

// Only the colour of a difference already worked out (the live one of the split being timed,
// a group's), never gold: segmentDelta is the run's segment less the comparison's, and
// segmentKnown false when either segment cannot be worked out.
ColourRole DeltaRole(std::int64_t delta, std::int64_t segmentDelta, bool segmentKnown);

// True when segment is a new best segment against best (see above).
bool IsBestSegment(std::int32_t segment, std::int32_t best, std::int32_t minBestSegment);

// "+1.23", "−0.45", "0.00", "+1:05.23"; held to the 32-bit range.
std::string DeltaText(std::int64_t delta);

// A time with 0, 1 or 2 decimals, cut (never rounded up to a time not yet reached):
//   (6523, 2) -> "1:05.23"  (6523, 1) -> "1:05.2"  (6523, 0) -> "1:05"  (-150, 1) -> "−1.5"
std::string TimeText(std::int32_t time, int decimals);
