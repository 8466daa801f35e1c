// The colours of the Splits view by what they mean, as runners read them: a difference is
// green while ahead and red while behind, light when the last split lost time against the
// one before (ahead but losing) or won some back (behind but gaining), gold on a best
// segment, blue on a new personal best. The rules name a role; the appearance gives each
// role its colour (Appearance.h).
#pragma once

#include <cstddef>
#include <cstdint>

enum class ColourRole : std::uint8_t {
    kAheadGaining,   // ahead, and gained time in the last segment
    kAheadLosing,    // ahead, but lost time in the last segment
    kBehindGaining,  // behind, but gained time in the last segment
    kBehindLosing,   // behind, and lost time in the last segment
    kBestSegment,    // a segment faster than every one before it: gold
    kPersonalBest,   // a finished run faster than the personal best
    kText,           // names, times, labels
    kBackground,     // behind everything
    kHighlight,      // the band behind the split being timed
};

inline constexpr std::size_t kColourRoleCount = 9;

inline constexpr std::size_t RoleIndex(ColourRole role) {
    return static_cast<std::size_t>(role);
}
