// Quorvel's split engine: time values and their text, the split grid, the split file,
// the run clock and its commands, best splits and comparisons, cell editing and the
// split-state file. Standard library and POSIX only; it knows nothing of windows.
#pragma once

#include <sys/time.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FileIO.h"

struct RouteData;

// ---- Time values and time text -------------------------------------------------------
//
// Every time is a signed 32-bit count of hundredths of a second: 100 is one second, 6000
// one minute, 360000 one hour. Differences are the current run minus the comparison, so a
// negative difference means ahead. In the split grid a time of 0 marks a missing time.

// The line terminator the split-file and split-state writers put after every line: "\n".
extern std::string returnstring;

// Rounds halves up for positive numbers and truncates negative ones toward zero:
// 2.5 -> 3, 2.49 -> 2, -2.5 -> -2, -2.7 -> -2.
std::int32_t RoundToInt(double x);

// A clock reading in hundredths: seconds * 100 + rounded hundredths, wrapping modulo 2^32
// and read back as signed. Only the difference of two readings means anything; it is exact
// while the readings lie less than 2^31 hundredths (about 248 days) apart.
// {10, 500000} -> 1050; {11, 995000} -> 1200 (the rounding carries into the next second).
std::int32_t timevalToLong(timeval tv);

// Decimal text of n, as "%ld" writes it: 12 -> "12", -5 -> "-5".
std::string IntToString(std::int32_t n);

// The text of a time. ShortForm drops the hours field while it is 0; exactly one leading
// '0' is removed; ShowPlus puts "+" before a positive time (never before 0).
//   (0, false, true) -> "0.00"         (-1, true, true)       -> "-0.01"
//   (523, false, true) -> "5.23"       (1234, true, true)     -> "+12.34"
//   (6523, false, true) -> "1:05.23"   (-523, true, true)     -> "-5.23"
//   (360000, false, true) -> "1:00:00.00"   (36000000, false, true) -> "100:00:00.00"
//   (523, false, false) -> "0:00:05.23"
// The most negative value is printed like any other: "-5965:13:56.48".
std::string LongToTimeString(std::int32_t time, bool ShowPlus, bool ShortForm);

// Reads time text back: "[-][[h:]m:]s[.hh]". Every text LongToTimeString writes reads back
// to its value; shortened forms read as whole units.
//   "" -> 0, "0.00" -> 0, "-5.23" -> -523, "1:05.23" -> 6523, "1:00:00.00" -> 360000,
//   "90" -> 9000, "1:2" -> 6200, "1.5" -> 105 (one digit counts as hundredths),
//   "1.567" -> 156, "abc" -> 0, "1x:30" -> 9000.
// Fields are read like atoi and every field and the sum are held to the 32-bit range with
// their sign, never wrapped: "99999999999" -> 2147483647, "21474836.48" -> 2147483647,
// "-99999999999" -> -2147483648, "600000:00:00.00" -> 2147483647.
std::int32_t TimeStringToLong(std::string text);

// ---- The clock seam ------------------------------------------------------------------
//
// Every "now" of the engine is timevalToLong(source()). The default source is a monotonic
// clock that keeps counting while the machine sleeps (CLOCK_BOOTTIME on Linux), so neither
// a step of the time of day nor a suspend changes or drops a run's time. Tests install a
// fake source and move it by exact hundredths; SetClockSource(nullptr) restores the default.
using ClockSource = timeval (*)();
void SetClockSource(ClockSource source);

// The engine's current clock reading, through the installed source.
std::int32_t ClockNow();

// ---- The split grid ------------------------------------------------------------------

// One cell of the grid.
class SplitDataClass {
  public:
    std::int32_t Timer = 0;        // running time at the end of this split; 0 = no time
    std::int32_t TimerDiff = 0;    // difference of running times
    std::int32_t Elapsed = 0;      // segment time; 0 when it cannot be worked out
    std::int32_t ElapsedDiff = 0;  // difference of segment times
    std::string Notes;             // escaped: "|t" for a TAB, "|r" for a line break

    // Copies Timer, TimerDiff, Elapsed, ElapsedDiff and Notes.
    void CopySplitData(const SplitDataClass* source);

    // Loading a split file makes one cell per row and column (120,000 for 10,000 rows of
    // 12 columns) and the next load frees them all, so cells come from a pool of fixed-size
    // blocks instead of the general heap: a freed block goes on a free list and is handed
    // out again, and the pool's memory stays with the process for the next file.
    // The pool takes no locks: cells are made and freed on the main thread only.
    // Builds with AddressSanitizer use the plain heap, so a freed cell is still caught.
    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size) noexcept;
};

// The file description, a column header or a row header.
class HeaderInfoClass {
  public:
    std::string Text;
    std::string PictureFile;  // row headers: full path of the split's picture, or ""

    // One row header per split: pooled like SplitDataClass, on the same terms (main thread
    // only; the plain heap under AddressSanitizer).
    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size) noexcept;
};

// The split engine. Column 0 is the best splits ("Best Splits"), the last column the run in
// progress ("Current"), the one before it the kept run the current run races. With no split
// file loaded the grid has no columns (timer mode).
class QuorvelClass {
  public:
    explicit QuorvelClass(std::string folder);
    ~QuorvelClass();
    QuorvelClass(const QuorvelClass&) = delete;
    QuorvelClass& operator=(const QuorvelClass&) = delete;

    // -- State. The shell sets StartOffset, BestSplitMinElapsed and the two autosave flags
    //    directly; everything else changes through the operations.
    std::int32_t StartClock = 0;       // clock reading at the last start or resume
    std::int32_t AccumulatedTime = 0;  // run time banked at the last stop
    bool TimerRunning = false;
    std::uint32_t NextSplit = 0;  // row being timed; the row count once the run is finished
    std::int32_t TotalAttemptCount = 0;
    std::int32_t SessionAttemptCount = 0;
    std::string DefaultFolder;       // folder of the timer-mode split-state file
    std::string SplitFileName;       // full path of the loaded split file, "" when none
    std::string SplitStateFileName;  // split-state file last loaded, "" when none
    bool HasPictures = false;
    std::unique_ptr<HeaderInfoClass> FileDesc;
    std::vector<std::unique_ptr<HeaderInfoClass>> ColumnHeaders;
    std::vector<std::unique_ptr<HeaderInfoClass>> RowHeaders;
    std::vector<std::vector<std::unique_ptr<SplitDataClass>>> SplitCells;  // [row][column]
    std::int32_t FirstPlaceTime = 0;       // time of the last split made in timer mode
    std::int32_t BestSplitMinElapsed = 0;  // a best segment must be longer than this
    bool AutosaveBestSplits = false;       // take over best segments when a run is reset
    bool AutosaveBestRun = false;          // keep a finished run that beats the kept run
    std::int32_t StartOffset = 0;          // the time a run starts at; negative: a lead-in
    bool LastSaveFailed = false;           // the last write of the split file failed; the next
                                           // successful write clears it
    std::string LastSaveError;             // why it failed: "the file is write-protected"
    bool LastStateSaveFailed = false;      // the last write of the split-state file failed
    std::string LastStateSaveError;        // why: "No space left on device"
    // Another instance has the split file open: nothing is written at all, neither the split
    // file nor the split-state file. Set by the shell before loading; loads keep it.
    bool ReadOnly = false;
    // The split file as it was at load or after our last write of it. A write finding the
    // file on disk changed since (another identity, or other bytes: an edit that kept the
    // size and the modification time) does not happen: it sets SplitFileChangedOnDisk (and
    // LastSaveFailed, "the file changed on disk") until the shell reloads or accepts it.
    FileIdentity SplitFileIdentity;
    std::size_t SplitFileContentHash = 0;  // ContentHash of its bytes, read or written
    bool SplitFileChangedOnDisk = false;
    // Why the last LoadSplitData or LoadSplitStateData left the grid empty, "" after one that
    // loaded: "Line 2 names 20,001 columns; split files of up to 200 columns are read."
    std::string LastLoadError;

    // -- Construction and reset
    void ClearSplitData();                     // empties the grid, resets the file state
    void ClearSplitsForRow(unsigned int row);  // empties the current cell, zeroes differences

    // -- Shape and headers. Out-of-range arguments give "" or nullptr.
    unsigned int GetRowCount() const;
    unsigned int GetColumnCount() const;
    std::string GetFullFileDesc() const;
    std::string GetFullColumnHeader(unsigned int column) const;
    std::string GetFullRowHeader(unsigned int row) const;
    HeaderInfoClass* GetFileDescClass() const;
    HeaderInfoClass* GetColumnHeaderClass(unsigned int column) const;
    HeaderInfoClass* GetRowHeaderClass(unsigned int row) const;
    bool HasSplitPictures() const;

    // -- Cells, by (row, column). Out of range: 0, "" or nullptr.
    std::int32_t GetDataCellTimer(unsigned int row, unsigned int column) const;
    std::int32_t GetDataCellTimerDiff(unsigned int row, unsigned int column) const;
    std::int32_t GetDataCellElapsed(unsigned int row, unsigned int column) const;
    std::int32_t GetDataCellElapsedDiff(unsigned int row, unsigned int column) const;
    std::string GetDataCellNotes(unsigned int row, unsigned int column) const;  // unescaped

    // -- The split file: TAB-separated text. Line 0 holds the attempt count and the start
    //    offset, line 1 the description and the titles of the stored runs, then each split
    //    has a row line (name, best segment, the stored runs' running times) and a notes
    //    line (picture file, then the escaped notes of each cell).
    //
    //    Loads a split file; afterwards GetColumnCount() is 0 when it could not be loaded,
    //    and LastLoadError says why. A UTF-8 byte-order mark at the start of the file is
    //    skipped (and not written back). A file past the limits of SplitFileLimits.h (200
    //    columns, 10,000 splits, 2 million cells, 64 MB) is refused before any of it is
    //    built.
    void LoadSplitData(std::string path);
    // Rewrites the split file atomically; sets or clears LastSaveFailed. Nothing happens
    // with no split file loaded, or ReadOnly; nothing is written over an outside change.
    void SaveSplitData();
    // Takes the split file as it now is on disk (identity and bytes) as ours, so the next
    // save overwrites it.
    void AcceptSplitFileOnDisk();
    // Cuts text into lines at every CR LF, LF or lone CR; blank lines stay where they stand,
    // a text ending in a line break gives a final empty line, except that a text whose first
    // run of line breaks ends the text gives one line. "A\r\nB\r\n" -> {"A", "B", ""}.
    void ParseLines(std::string text, std::vector<std::string>* lines);
    // Cuts one line at every TAB: "a\tb" -> {"a", "b"}, "a\t" -> {"a", ""}, "" -> {}.
    void ParseColumns(std::string line, std::vector<std::string>* cells);
    // "|t" -> TAB, "|r" -> CR LF, in one pass: "a|tb|rc" -> "a\tb\r\nc", "||t" -> "|\t".
    std::string RemoveSpecialCodes(std::string text);
    // TAB -> "|t"; CR LF, LF CR, CR and LF -> "|r": "a\r\n\r\nb" -> "a|r|rb".
    std::string MakeSpecialCodes(std::string text);
    // Writes text up to its first NUL; adds no line end.
    void write_line_to_file(FILE* file, std::string text);

    // -- The run clock and split control
    void StartTimer();   // counts an attempt and rewrites the split file
    void StopTimer();    // pauses, banking the time
    void ResumeTimer();  // continues from the banked time
    void ClearTimer();   // resets the run (taking over best segments when so set)
    // Splits the row being timed. The last split stops the clock and puts the run's results
    // on disk at once: with AutosaveBestRun, a run faster than the kept run (or any run when
    // there is no kept run) is kept; otherwise, with AutosaveBestSplits, its best segments
    // are taken over.
    void DoSplit();
    void SkipSplit();
    void UndoSplit();
    std::int32_t GetCurrentTime() const;
    bool IsTimerRunning() const;
    std::uint32_t GetNextSplitNumber() const;
    std::int32_t GetCurrentTimeDiffFromNextSplit() const;  // now against the kept run
    std::int32_t GetTimeToNextSplit() const;  // this segment against the kept run's segment
    std::int32_t GetTotalAttemptCount() const;
    std::int32_t GetSessionAttemptCount() const;
    std::int32_t GetTimerModeFirstPlaceTime() const;

    // -- Best splits and comparisons
    void UpdateBestSplits();
    // Saves the finished run into the KeptColumn, takes its best segments and empties the
    // current run. A route with no stored run ("Best Splits" and "Current" only) gets a
    // "Personal Best" column for it first. Refused while the timer runs or with no time in
    // the run.
    void KeepCurrentSplits();
    void RefreshBestSplitTimers();
    void UpdateTimerDiffs();
    void UpdateBestSplitElapsed(unsigned int row, std::int32_t time);
    void UpdateBestSplitTimer(unsigned int row, std::int32_t time);

    // -- Cell editing
    void UpdateDataCellTimer(unsigned int row, unsigned int column, std::int32_t time);
    void UpdateDataCellElapsed(unsigned int row, unsigned int column, std::int32_t time);
    void UpdateDataCellNotes(unsigned int row, unsigned int column, std::string text);

    // -- The split-state file: a snapshot of an unfinished run (run time, done splits and
    //    their times, and the plain name of the split file, which must lie beside it).
    //
    //    The split file's name is written with TAB, CR, LF and "|" as "|t", "|r", "|n", "||".
    //    Writes the snapshot atomically to SplitStatePath(); the run goes on untouched. Sets
    //    or clears LastStateSaveFailed; writes nothing when ReadOnly.
    void SaveSplitStateData();
    // Loads the split file named in the snapshot and restores the run, paused. A file that
    // is not a snapshot, or names its split file with a folder ("../x.txt", "a/b", "C:x",
    // ".", ".."), leaves the grid empty and SplitStateFileName "", LastLoadError saying why.
    // A byte-order mark at its start is skipped; the split file's limits hold for it too.
    void LoadSplitStateData(std::string path);
    // The path SaveSplitStateData writes to: SplitStateFileName, or the name derived from
    // the split file ("/runs/any.txt" -> "/runs/any-SplitState.txt", "/runs.v1/any" ->
    // "/runs.v1/any-SplitState.txt"), or DefaultFolder + "Timer-SplitState.txt".
    std::string SplitStatePath() const;

    // -- Route editing: the route itself changed (names, rows, stored runs, description,
    //    start offset), for the split editor. Each operation is refused, changing nothing,
    //    while the timer runs or a run is in progress (RouteEditable() false) and for a row
    //    or column out of range. Otherwise it changes the grid, keeps running and segment
    //    times consistent (a stored run's segment time is its running time minus the one
    //    above), recomputes the best running totals and the differences, and saves the
    //    split file once. Columns are the grid's: a stored run lies between the
    //    BestColumn 0 and the CurrentColumn, and the last stored run is the KeptColumn.
    //
    //    True unless the timer runs, a split of the current run was made, or the current
    //    run holds a time (a finished run not yet reset).
    bool RouteEditable() const;
    // The route the grid holds, without the run in progress; notes as typed.
    RouteData GetRoute() const;
    // Replaces the grid by route (the current run empty, NextSplit 0) and saves it once.
    // Text for headers loses its TABs and line breaks. With SplitFileName "" nothing is
    // written; set it first to write a new split file.
    void SetRoute(const RouteData& route);
    void RenameRow(unsigned int row, std::string name);
    // A row with no times before row; row = GetRowCount() appends one.
    void InsertRow(unsigned int row, std::string name);
    // The next row's segment times take over the removed one's; later running times stay.
    void RemoveRow(unsigned int row);
    // The row carries its segment times; running times between the two places are summed
    // again.
    void MoveRow(unsigned int from, unsigned int to);
    // A stored run with no times inserted at column (1 .. GetColumnCount() - 1: the last
    // place makes it the KeptColumn).
    void AddRunColumn(unsigned int column, std::string title);
    void RenameRunColumn(unsigned int column, std::string title);
    void RemoveRunColumn(unsigned int column);
    void MoveRunColumn(unsigned int from, unsigned int to);
    void SetDescription(std::string text);
    void SetStartOffset(std::int32_t offset);
};

// ---- Split-state file header ---------------------------------------------------------

// The first two lines of a split-state file, read without loading anything: enough to ask
// whether an unfinished run should be taken up again.
//   "QVLSplitState\tany.txt\n1:50.00\t2\n40.10\n1:36.20\n" -> {"any.txt", 11000, 2}
//   "QVLSplitState\t\n65.23\t\n0.00\n" (timer mode) -> {"", 6523, 0}
struct SplitStateHeader {
    std::string SplitFileName;   // the plain name of the split file; "" in timer mode
    std::int32_t RunTime = 0;    // run time when the state was saved
    std::int32_t NextSplit = 0;  // done splits, as written (not clamped to any row count)
};

// Reads the header of the split-state file at path into *header. False, with *header
// untouched, when the file cannot be read, is not a split-state file or has fewer than two
// lines.
bool ReadSplitStateHeader(const std::string& path, SplitStateHeader* header);
