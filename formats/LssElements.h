// The elements of an XML split file that Quorvel writes, built one at a time: by the writer
// for a whole new file, and by the updater for the elements it adds to or rewrites in a file
// that is there already (LssUpdate.h). pugixml, inside the formats library only.
//
//   AppendAttempt(list, 7, attempt)
//     -> <Attempt id="7" started="09/20/2026 18:03:00" isStartedSynced="True"
//          ended="09/20/2026 18:06:11" isEndedSynced="True">
//          <RealTime>00:03:10.5000000</RealTime><PauseTime>00:00:02.0000000</PauseTime>
//        </Attempt>                (a time only for a finished attempt, on its own clock)
//   AppendSegmentTime(list, 7, attempt, 0) -> <Time id="7"><RealTime>00:00:41.0500000
//                                             </RealTime></Time>      (<Time id="7" /> skipped)
//   ElementText(node, 3) -> the element as text at the fourth level of a file indented by two
//                           spaces a level, without the blanks before its first line
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ConvertReport.h"
#include "HistoryTypes.h"
#include "RouteData.h"
#include "TimingMethod.h"

// "RealTime" or "GameTime".
const char* ClockElement(history::TimeClock clock);
history::TimeClock ClockOf(TimingMethod timing);  // Automatic is real time

void AddTime(pugi::xml_node parent, const char* clock, std::int32_t time);

// The name each stored run is written under: the kept run (the last) "Personal Best" first,
// the others after it in the route's order under their titles, a repeated title numbered
// ("Rival (2)"). Each name that differs from its title is a warning in the report.
struct WrittenComparison {
    std::size_t Run = 0;
    std::string Name;
};
std::vector<WrittenComparison> ComparisonNames(const RouteData& route, ConvertReport* report);

// The id each attempt of a history is written under: its number, or, when an attempt before
// it in the list has that number already, the next number above every number of the list.
std::vector<std::int32_t> ExportIds(const history::History& history);

// The history's entries of one split, as (id, attempt index) in order of id.
std::vector<std::pair<std::int32_t, std::size_t>> EntriesOfSplit(
    const history::History& history, const std::vector<std::int32_t>& ids, std::size_t split);
// The attempts of the attempt list, as (id, attempt index) in order of id.
std::vector<std::pair<std::int32_t, std::size_t>> ListedAttempts(
    const history::History& history, const std::vector<std::int32_t>& ids);

void AppendAttempt(pugi::xml_node list, std::int32_t id, const history::Attempt& attempt);
void AppendSegmentTime(pugi::xml_node list, std::int32_t id, const history::Attempt& attempt,
                       std::size_t split);

// One split as a Segment element: its name, its icon, the stored runs' running times under
// clock, its best segment and, with a history, its segment times.
void AppendSegment(pugi::xml_node segments, const RouteData& route, std::size_t split,
                   const std::vector<WrittenComparison>& comparisons, const char* clock,
                   const history::History* history, const std::vector<std::int32_t>& ids);

// The node as the writer prints it at depth (0: the root) with indent a level, without the
// indent of its first line and the line break after its last.
std::string ElementText(const pugi::xml_node& node, int depth, const std::string& indent = "  ");
