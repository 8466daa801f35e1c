// Shared by the fuzz targets of the other timers' readers: a route written and read again must
// come back with the same splits, stored runs, attempt count, offset, best segments and times.
// Each format keeps pictures and offsets its own way, so the caller says what it expects of
// them:
//
//   CheckRoundTrip(first, second, /*expectedOffset=*/first.StartOffset,
//                  [](const SplitPicture& a, const SplitPicture& b) { return a.Bytes == b.Bytes;
//                  });
#pragma once

#include <cstddef>
#include <cstdint>

#include "FuzzFiles.h"
#include "RouteData.h"

namespace fuzz {

template <typename SamePicture>
void CheckRoundTrip(const RouteData& first, const RouteData& second, std::int32_t expectedOffset,
                    SamePicture samePicture) {
    Check(second.Splits.size() == first.Splits.size(), "split count");
    Check(second.RunTitles.size() == first.RunTitles.size(), "stored run count");
    Check(second.AttemptCount == first.AttemptCount, "attempt count");
    Check(second.StartOffset == expectedOffset, "offset");
    for (std::size_t s = 0; s < first.Splits.size(); ++s) {
        Check(second.Splits[s].BestSegment == first.Splits[s].BestSegment, "best segment");
        Check(samePicture(second.Splits[s].Picture, first.Splits[s].Picture), "picture");
        Check(second.Splits[s].RunTimes == first.Splits[s].RunTimes, "times");
    }
}

}  // namespace fuzz
