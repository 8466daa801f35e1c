// Writes a route as an XML split file of version 1.8: the kept run (the last stored run) as
// "Personal Best", every other stored run as a named comparison in grid order, best splits
// as best segment times, icons embedded as base64 image bytes. The description is cut at
// its first " - " into game and category ("Tunic - Any%" -> "Tunic", "Any%").
//
//   <Run version="1.8.0"> ... <Segment><Name>Forest</Name><Icon />
//     <SplitTimes><SplitTime name="Personal Best"><RealTime>00:00:40.1000000</RealTime>
//     ...
//
// Times go under RealTime, or under GameTime when game time is asked for. With a history,
// every attempt goes into AttemptHistory and every segment time into its segment's
// SegmentHistory (LssElements.h), each on the clock its attempt was on, under the ids of
// ExportIds. Cell notes have no place in the format and are counted in the report's
// left-behind line.
#pragma once

#include <string>

#include "ConvertReport.h"
#include "HistoryTypes.h"
#include "RouteData.h"
#include "TimingMethod.h"

std::string WriteLss(const RouteData& route, TimingMethod timing, ConvertReport* report,
                     const history::History* history = nullptr);
