// A route as a plain value: what a split file stores, with nothing of a run in progress.
// One type for everything that handles a whole route: the split editor edits a copy of one
// and hands it back whole; the engine's route-editing operations are built on the same
// edits, so the editor and the engine change a route by one set of rules; the converters
// read other timers' files into one and write one out. Standard library only.
//
//   Description "Any%", StartOffset -33, AttemptCount 12, RunTitles {"Run 1"}
//   Splits {{"Level 1", best 40.10, run times {41.00}, picture "level1.png"},
//           {"Level 2", best 55.00, run times {1:36.20}}}
//
// Times are hundredths (0 = no time). A stored run holds running times: the time at the end
// of each split. Its segment time (SegmentTime) is worked out: the running time minus the
// one above, 0 when either is missing; the first split's segment is its running time. The
// best splits are held the other way round: segment times, with running totals worked out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The picture of a split: a file named relative to the split file's folder, as the split
// file's picture cell holds it ("level1.png", "icons/boss.png"), or an image that came
// inside another timer's file (Bytes), which the converters write out beside the file they
// write, or embed. The engine holds only the name.
struct SplitPicture {
    std::string FileName;   // "" for none
    std::string Bytes;      // the image itself, when it came inside a file; "" otherwise
    std::string Extension;  // the kind of Bytes: "png", "jpg" or "gif"

    bool operator==(const SplitPicture&) const = default;
};

struct RouteRow {
    std::string Name;  // as the runner wrote it: "-Forest", "{Hub} Boss"
    SplitPicture Picture;
    std::int32_t BestSegment = 0;
    std::vector<std::int32_t> RunTimes;  // one running time per stored run
    // Notes as typed (real TABs and line breaks): [0] the best-splits cell, [k] stored run k.
    std::vector<std::string> Notes;

    bool operator==(const RouteRow&) const = default;
};

struct RouteData {
    std::int32_t AttemptCount = 0;
    std::int32_t StartOffset = 0;  // negative: a lead-in
    std::string Description;
    std::vector<std::string> RunTitles;  // the last one is the kept run, the run raced
    std::vector<RouteRow> Splits;

    bool operator==(const RouteData&) const = default;
};

// The route a new split file starts from: one stored run "Personal Best" and the rows
// "Split 1" to "Split 3", no times.
RouteData NewRouteData();

// A header text holds no TAB or line break (the file's cells could not hold it): each of
// them becomes a space. "a\tb\r\nc" -> "a b  c".
std::string HeaderText(std::string text);

// Makes every split hold one running time and one note per column; call after building a
// route by hand. Missing entries are 0 and "".
void NormaliseRoute(RouteData* route);

// How many cells of the route hold a note.
std::size_t NoteCount(const RouteData& route);

// ---- Times ----

// The running total of the best segments down to row: {40.10, 0, 55.00} -> 40.10, 40.10,
// 1:35.10.
std::int32_t BestRunningTime(const RouteData& route, std::size_t row);
// A stored run's segment time at row: running times {1:00.00, 0, 3:00.00} give 1:00.00, 0, 0.
std::int32_t SegmentTime(const RouteData& route, std::size_t row, std::size_t run);

// Each setter answers false, changing nothing, for a row or run out of range.
// A stored run's running time; the segments below re-derive from it.
bool SetRunTime(RouteData* route, std::size_t row, std::size_t run, std::int32_t time);
// A stored run's segment time: the running time becomes the one above plus the segment (0
// for 0). When the split had a running time and keeps one, every later running time moves by
// the same amount, so the later segments stay as they were. False when the split above has
// no running time: there is nothing to add the segment to.
bool SetRunSegment(RouteData* route, std::size_t row, std::size_t run, std::int32_t segment);
// A best segment.
bool SetBestSegment(RouteData* route, std::size_t row, std::int32_t segment);
// A best running total: the row's best segment takes up the change, so every later total
// moves by the same amount; 0 clears the row's best segment.
bool SetBestRunningTime(RouteData* route, std::size_t row, std::int32_t time);
// note index 0 is the best-splits cell, k the stored run k.
bool SetNote(RouteData* route, std::size_t row, std::size_t note, std::string text);

// ---- Rows ----

bool RenameSplit(RouteData* route, std::size_t row, std::string name);
// A split with no times inserted before row (row = the split count appends); the split
// that follows it loses its segment times, since the new one has no running time.
bool InsertSplit(RouteData* route, std::size_t row, std::string name);
// The split's running times go; the split that follows takes over its segment (its running
// time stays), so the route's later running times are unchanged.
bool RemoveSplit(RouteData* route, std::size_t row);
// The split moves to position `to` carrying its segment times; the running times of the
// splits between the two positions are summed again from the split above them. A split
// there with no segment time, or below one with no running time, has no running time.
bool MoveSplit(RouteData* route, std::size_t from, std::size_t to);

// ---- Stored runs ----

// A stored run with no times inserted before run `at` (at = the run count appends it, so it
// becomes the kept run).
bool AddRun(RouteData* route, std::size_t at, std::string title);
bool RenameRun(RouteData* route, std::size_t run, std::string title);
bool RemoveRun(RouteData* route, std::size_t run);
bool MoveRun(RouteData* route, std::size_t from, std::size_t to);
