// Reads a JSON split file of the Linux timers (LibreSplit and its forerunners) into a route.
//
//   {"title": "Tunic Any%", "attempt_count": 57, "start_delay": "1.500000",
//    "splits": [{"title": "Forest", "icon": "forest.png", "time": "0:00:41.000000",
//                "best_time": "0:00:40.500000", "best_segment": "0:00:40.100000"}, ...]}
//
// -> description "Tunic Any%", 57 attempts, start offset -1.50 (a delay before zero is a
// lead-in); per split its name, best segment and picture file; stored runs "Best Times"
// (from best_time, when any split has one) and "Personal Best" (from time, the kept run).
// Keys the grid has no place for (world_record, theme, ...) are named in the report.
//
// Bad input throws FormatError: malformed JSON (with its line), nesting deeper than 64, no
// "splits" list, a value of the wrong type, time text with letters or a negative time.
#pragma once

#include <string_view>

#include "ConvertReport.h"
#include "RouteData.h"

RouteData ReadUrnJson(std::string_view text, ConvertReport* report);
