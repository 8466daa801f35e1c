// The shell's check of a file before it is loaded as a split file. The engine's reader is
// lenient: it loads any text, and the first start of a run then rewrites the file in the
// split file layout. A file that is something else (another timer's split file, a README,
// a picture) or a split file that would not read back as written (more times in a row than
// the title line names columns, a lost notes line) must never get that far: this check
// says what the file looks like and where it first goes wrong, so the window can refuse it
// with a clear message and leave its bytes untouched. Standard library and POSIX only.
//
//   CheckSplitFileText("12\t-0.50\nAny%\tBest Splits\tPB\nLevel 1\t40.10\t41.00\n\t\t\n")
//     -> {Ok, 0, ""}
//   CheckSplitFileText("<?xml version=\"1.0\"?>\n<Run>...")
//     -> {LiveSplitXml, 1, "This looks like a LiveSplit split file (XML)."}
//   CheckSplitFileText("{\"title\": \"Any%\", ...")
//     -> {LibreSplitJson, 1, "This looks like a LibreSplit or urn split file (JSON)."}
//   CheckSplitFileText("# My notes\nSome text\n")
//     -> {NotASplitFile, 1, "Line 1 does not begin with an attempt count, so this is not a
//         split file."}
//   CheckSplitFileText("0\t0\nD\tBest Splits\tPB\nA\t1.00\t2.00\t3.00\n\t\t\n")
//     -> {TooManyTimes, 3, "Line 3 holds more times than the title line (line 2) names
//         columns."}
//   CheckSplitFileText("0\t0\nD" + 20,000 TABs + ...)
//     -> {TooLarge, 2, "Line 2 names 20,001 columns; split files of up to 200 columns are
//         read."}
//
// Who uses the kind: the open command refuses every kind but Ok; the import command offers
// itself for LiveSplitXml and LibreSplitJson; the route editor offers to open a file with
// RowWithoutTab, NotesLineMissing, NotATime or TooManyTimes, which are split files that a
// runner can mend.
#pragma once

#include <string>
#include <string_view>

enum class SplitFileKind {
    Ok,                // loads as a split file and reads back as written
    Unreadable,        // missing, a folder, a FIFO or device, or no permission to read
    Binary,            // holds a NUL byte
    LiveSplitXml,      // the first non-blank character is '<'
    LibreSplitJson,    // the first non-blank character is '{' or '['
    SplitState,        // a split-state file ("QVLSplitState" and a TAB)
    NotASplitFile,     // line 1 is not an attempt count, optionally a TAB and a time; or
                       // the file ends before its title line
    RowWithoutTab,     // a row line with no TAB (spaces typed instead of TABs)
    NotesLineMissing,  // a row line stands where the notes line of the row above belongs
    NotATime,          // a time cell that is not time text ("4m00s", "3:7a")
    TooManyTimes,      // a row line holds more times than the title line names columns
    TooLarge,          // passes a limit of SplitFileLimits.h (columns, splits, cells, bytes)
};

struct SplitFileCheckResult {
    SplitFileKind Kind = SplitFileKind::Ok;
    int Line = 0;         // the first bad line, counted from 1; 0 with Ok, Unreadable or a
                          // file of too many bytes
    std::string Message;  // one or two sentences for the window; "" with Ok

    bool IsOk() const { return Kind == SplitFileKind::Ok; }
    // True for the kinds another timer writes, which File ▸ Import… can bring in.
    bool IsForeignSplitFile() const {
        return Kind == SplitFileKind::LiveSplitXml || Kind == SplitFileKind::LibreSplitJson;
    }
    // True for a split file with mistakes a runner can mend in the route editor.
    bool IsMendable() const {
        return Kind == SplitFileKind::RowWithoutTab || Kind == SplitFileKind::NotesLineMissing ||
               Kind == SplitFileKind::NotATime || Kind == SplitFileKind::TooManyTimes;
    }
};

// Checks a file's whole text, cut into lines as the reader cuts it: line ends may be LF,
// CR LF or CR, and a UTF-8 byte-order mark at the start is read past. The limits of
// SplitFileLimits.h are checked first, so a hostile file costs no more than its own bytes.
SplitFileCheckResult CheckSplitFileText(std::string_view text);

// Reads the file at path and checks it; a file that cannot be read gives Unreadable with
// the reason: "The file could not be opened: No such file or directory."
SplitFileCheckResult CheckSplitFile(const std::string& path);

// True for time text as the split file holds it: "[-][[h:]m:]s[.d[d]]", digits only in
// each field. "1:05.23", "-0.50", "90", "3:00.5" -> true; "", "4m00s", "1:", "1.567" -> false.
bool IsTimeText(std::string_view text);
