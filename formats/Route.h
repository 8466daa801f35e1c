// The route as the converters see it: what a split file of any of the three formats holds
// that the others can hold too. Readers fill it, writers read it; none of them sees another
// format. Times are hundredths of a second, as in the split grid; 0 is a missing time.
//
//   Route{Description: "Tunic - Any%", AttemptCount: 57, Offset: -150,
//         Splits: [{Name: "-Forest", BestSegment: 4010}, {Name: "{Hub} Boss", ...}],
//         Comparisons: [{Name: "Best Times", Times: [...]}, {Name: "Personal Best", ...}]}
//
// The last comparison is the kept run, the run a new attempt races.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture of one split: either bytes that came inside the file (an embedded icon, written
// out beside the converted file) or the name of a picture file that already exists.
struct RouteIcon {
    std::string Extension;  // "png", "jpg" or "gif" for bytes; "" for a named file
    std::string Bytes;      // the image, when it came inside the file
    std::string FileName;   // relative to the split file's folder: "level1.png"
};

struct RouteSplit {
    std::string Name;              // as the runner wrote it: "-Forest", "{Hub} Boss"
    std::int32_t BestSegment = 0;  // best segment time ever run; 0 when none
    RouteIcon Icon;
};

// A stored run: the running time at the end of each split, one per split, 0 where the run
// has no time (a skipped split).
struct RouteComparison {
    std::string Name;
    std::vector<std::int32_t> Times;
};

struct Route {
    std::string Description;
    std::int32_t AttemptCount = 0;
    std::int32_t Offset = 0;  // the time a run starts at; negative: a lead-in
    std::vector<RouteSplit> Splits;
    std::vector<RouteComparison> Comparisons;  // the last one is the kept run
};
