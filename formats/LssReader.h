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
// decoded; one that cannot be is skipped with a warning. Auto-splitter settings, metadata and
// the like go into the report's left-behind line.
//
// The attempt list (the Attempt elements of AttemptHistory, the Time elements of RunHistory
// before 1.6) and the Time elements of each segment's SegmentHistory go into *history when
// one is given, as plain numbers on the clock the route is read on; elements of other names
// there are no entries:
//   <Attempt id="7" started="09/20/2026 18:03:00" ended="09/20/2026 18:06:11">
//     <RealTime>00:03:10.5000000</RealTime><PauseTime>00:00:02</PauseTime></Attempt>
//   -> {7, started 1789927380, ended 1789927571, time 19050, paused 200}
//   <Time id="7"><RealTime>00:00:41.0500000</RealTime></Time>   -> {7, 4105}
//   <Time id="8" />                                              -> {8, none}: skipped
// A date that cannot be read is left out (the attempt stays); an entry without a readable id
// is left out with a warning. Without *history the attempts and segment times are counted
// in the left-behind line.
//
// When the file holds real and game times and timing is Automatic, choose (when given) is
// asked which to read once the file is parsed; its nothing cancels the reading
// (ConversionCancelled is thrown).
//
// Bad input throws FormatError with the line: more elements than kMaxElements (counted before
// parsing), malformed XML, a document type declaration
// (entities are never expanded, so an entity bomb is refused whole), no Run or Segments
// element, a time with letters or a negative one, too many splits.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "ConvertReport.h"
#include "HistoryImport.h"
#include "RouteData.h"
#include "TimingMethod.h"

using ClockChoice = std::function<std::optional<TimingMethod>()>;

// The id of a history entry as the reader takes it: "7", "-3", "+2"; nothing for any other
// text or a number past 32 bits.
std::optional<std::int32_t> HistoryEntryId(std::string_view text);

RouteData ReadLss(std::string_view text, TimingMethod timing, ConvertReport* report,
                  history::HistoryImport* history = nullptr, const ClockChoice& choose = {});
