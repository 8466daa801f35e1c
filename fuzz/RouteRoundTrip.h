// Shared by the fuzz targets of the other timers' readers: a route written and read again must
// come back with the same splits, comparisons, attempt count, offset, best segments and times.
// Each format keeps icons and offsets its own way, so the caller says what it expects of them:
//
//   CheckRoundTrip(first, second, /*expectedOffset=*/first.Offset,
//                  [](const RouteIcon& a, const RouteIcon& b) { return a.Bytes == b.Bytes; });
#pragma once

#include <cstddef>
#include <cstdint>

#include "FuzzFiles.h"
#include "Route.h"

namespace fuzz {

template <typename SameIcon>
void CheckRoundTrip(const Route& first, const Route& second, std::int32_t expectedOffset,
                    SameIcon sameIcon) {
    Check(second.Splits.size() == first.Splits.size(), "split count");
    Check(second.Comparisons.size() == first.Comparisons.size(), "comparison count");
    Check(second.AttemptCount == first.AttemptCount, "attempt count");
    Check(second.Offset == expectedOffset, "offset");
    for (std::size_t s = 0; s < first.Splits.size(); ++s) {
        Check(second.Splits[s].BestSegment == first.Splits[s].BestSegment, "best segment");
        Check(sameIcon(second.Splits[s].Icon, first.Splits[s].Icon), "icon");
        for (std::size_t c = 0; c < first.Comparisons.size(); ++c) {
            Check(second.Comparisons[c].Times[s] == first.Comparisons[c].Times[s], "time");
        }
    }
}

}  // namespace fuzz
