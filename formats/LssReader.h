// Reads an XML split file (.lss) of any version into a route:
//   - first versions: no version attribute, times as plain text ("00:01:05.23"),
//     a PersonalBestSplitTime per segment, Offset like "-00:00:01.5";
//   - 1.4 to 1.6: SplitTimes of named comparisons, each with RealTime and GameTime;
//   - 1.7 and 1.8: seven-decimal time text, AttemptHistory, SegmentHistory, group markers
//     in names ("-Forest" for a subsplit, "{Hub} Boss" for the last split of a group).
//
// GameName "Tunic", CategoryName "Any%" -> description "Tunic - Any%". Every named comparison
// becomes a stored run in file order, "Personal Best" last so that it is the kept run. A
// comparison without a time for a split (a skipped split) gets 0 there. Embedded icons are
// decoded; one that cannot be is skipped with a warning. Attempt and segment history,
// auto-splitter settings, metadata and the like go into the report's left-behind line.
//
// Bad input throws FormatError with the line: more elements than kMaxElements (counted before
// parsing), malformed XML, a document type declaration
// (entities are never expanded, so an entity bomb is refused whole), no Run or Segments
// element, a time with letters or a negative one, too many splits.
#pragma once

#include <string_view>

#include "ConvertReport.h"
#include "RouteData.h"
#include "TimingMethod.h"

RouteData ReadLss(std::string_view text, TimingMethod timing, ConvertReport* report);
