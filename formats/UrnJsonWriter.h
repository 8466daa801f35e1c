// Writes a route as a JSON split file of the Linux timers: title, attempt_count,
// start_delay (a lead-in, the negative start offset, as a positive delay), and per split
// title, icon, time (the kept run), best_time (the stored run titled "Best Times") and
// best_segment, times as "h:mm:ss.ffffff"; a missing time leaves its key out.
//
//   {"title": "Tunic - Any%", "attempt_count": 57, "start_delay": "0:00:01.500000",
//    "splits": [{"title": "Forest", "time": "0:00:41.000000", "best_segment": ...}]}
//
// Other stored runs, cell notes and a positive start offset have no place in the format and are
// named in the report's left-behind line.
#pragma once

#include <string>

#include "ConvertReport.h"
#include "RouteData.h"

std::string WriteUrnJson(const RouteData& route, ConvertReport* report);
