#include "DeltaRules.h"

#include <cstdlib>

#include "NumberText.h"
#include "QuorvelEngine.h"

namespace {

constexpr const char* kMinus = "\u2212";

}  // namespace

bool IsBestSegment(std::int32_t segment, std::int32_t best, std::int32_t minBestSegment) {
    return segment != 0 && segment > minBestSegment && (best == 0 || segment < best);
}

ColourRole DeltaRole(std::int64_t delta, std::int64_t segmentDelta, bool segmentKnown) {
    if (delta <= 0) {
        return segmentKnown && segmentDelta > 0 ? ColourRole::kAheadLosing
                                                : ColourRole::kAheadGaining;
    }
    return segmentKnown && segmentDelta < 0 ? ColourRole::kBehindGaining
                                            : ColourRole::kBehindLosing;
}

DeltaLook SplitDelta(const DeltaInput& input) {
    if (input.run.time == 0 || input.comparison.time == 0) {
        return {};
    }
    const std::int64_t delta = std::int64_t{input.run.time} - input.comparison.time;
    if (IsBestSegment(input.run.segment, input.bestSegment, input.minBestSegment)) {
        return {DeltaText(delta), ColourRole::kBestSegment};
    }
    const bool known = input.run.segment != 0 && input.comparison.segment != 0;
    const std::int64_t segmentDelta = std::int64_t{input.run.segment} - input.comparison.segment;
    return {DeltaText(delta), DeltaRole(delta, segmentDelta, known)};
}

std::string DeltaText(std::int64_t delta) {
    const std::int32_t magnitude = SaturateToInt32(delta < 0 ? -delta : delta);
    const std::string text = LongToTimeString(magnitude, /*ShowPlus=*/false, /*ShortForm=*/true);
    if (delta == 0) {
        return text;
    }
    return (delta < 0 ? kMinus : "+") + text;
}

std::string TimeText(std::int32_t time, int decimals) {
    const std::int32_t magnitude = SaturateToInt32(std::llabs(std::int64_t{time}));
    std::string text = LongToTimeString(magnitude, /*ShowPlus=*/false, /*ShortForm=*/true);
    if (decimals <= 0) {
        text.resize(text.size() - 3);  // ".23"
    } else if (decimals == 1) {
        text.pop_back();
    }
    return time < 0 ? kMinus + text : text;
}
