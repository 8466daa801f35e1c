#include "QuorvelEngine.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>
#include <utility>

#include "FileIO.h"
#include "NumberText.h"
#include "PathParts.h"
#include "RecordPool.h"
#include "SplitFileLimits.h"
#include "TextCutting.h"
#include "TimeTextCodec.h"
#include "WrapTime.h"

std::string returnstring = "\n";

using quorvel_detail::AppendTimeText;
using quorvel_detail::CutCells;
using quorvel_detail::CutLines;
using quorvel_detail::CutRowLine;
using quorvel_detail::LineCutter;
using quorvel_detail::TimeViewToLong;

namespace {

// ---- Clock source ----

timeval DefaultClock() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    timeval result{};
    result.tv_sec = now.tv_sec;
    result.tv_usec = static_cast<suseconds_t>(now.tv_nsec / 1000);
    return result;
}

ClockSource g_clockSource = nullptr;

// ---- Split file reader helpers ----

// Leaves the text as a 1024-byte fgets loop sees it: pieces of at most 1023 bytes, each
// ending after an LF or at that length, each kept only up to its first NUL byte.
void KeepPiecesUpToNul(std::string* text) {
    char* data = text->data();
    const std::size_t size = text->size();
    if (std::memchr(data, '\0', size) == nullptr) {
        return;
    }
    constexpr std::size_t kPiece = 1023;
    std::size_t kept = 0;  // the kept bytes are moved down in place
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t end = std::min(size, pos + kPiece);
        if (const void* lf = std::memchr(data + pos, '\n', end - pos); lf != nullptr) {
            end = static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1;
        }
        const void* nul = std::memchr(data + pos, '\0', end - pos);
        const std::size_t keepEnd =
            nul == nullptr ? end : static_cast<std::size_t>(static_cast<const char*>(nul) - data);
        std::memmove(data + kept, data + pos, keepEnd - pos);
        kept += keepEnd - pos;
        pos = end;
    }
    text->resize(kept);
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Reads a split file or a split-state file as a 1024-byte fgets loop would, without a UTF-8
// byte-order mark at its start; *bytesHash (when given) is the ContentHash of the bytes as
// they are on disk. False, with *error saying why, when the path cannot be read as a file or
// holds more than kMaxSplitFileBytes.
bool ReadSplitText(const std::string& path, std::string* text, std::string* error,
                   std::size_t* bytesHash = nullptr) {
    if (!ReadWholeFile(path, text, kMaxSplitFileBytes)) {
        const int why = errno;
        struct stat info {};
        if (why == EFBIG && ::stat(path.c_str(), &info) == 0) {
            *error = TooManyBytesMessage(static_cast<std::size_t>(info.st_size));
        } else {
            *error = std::string("The file could not be read: ") + std::strerror(why) + ".";
        }
        return false;
    }
    if (bytesHash != nullptr) {
        *bytesHash = ContentHash(*text);
    }
    KeepPiecesUpToNul(text);
    if (std::string_view(*text).starts_with(kByteOrderMark)) {
        text->erase(0, kByteOrderMark.size());
    }
    return true;
}

// The ContentHash of the file's bytes as they are now; a file that cannot be read gives a
// hash of nothing, which no file read earlier had (an empty file is no split file).
std::size_t HashOnDisk(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, &bytes, kMaxSplitFileBytes);
    return ContentHash(bytes);
}

constexpr std::string_view kSplitStateMark = "QVLSplitState\t";

// "|t" -> TAB and "|r" -> CR LF in one pass. Neither replacement can form a new code, so
// this equals replacing the first code again and again.
std::string RemoveCodes(const std::string& text) {
    if (text.find('|') == std::string::npos) {
        return text;
    }
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (c == '|' && i + 1 < size && text[i + 1] == 't') {
            out.push_back('\t');
            ++i;
        } else if (c == '|' && i + 1 < size && text[i + 1] == 'r') {
            out.append("\r\n");
            ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

// ---- Time values and time text ----

std::int32_t RoundToInt(double x) {
    if (!(x == x)) {
        return 0;  // NaN
    }
    if (x >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (x <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    const auto t = static_cast<std::int32_t>(x);
    return x - t >= 0.5 ? t + 1 : t;
}

std::int32_t timevalToLong(timeval tv) {
    const auto seconds = static_cast<std::uint32_t>(static_cast<std::uint64_t>(tv.tv_sec));
    const auto hundredths =
        static_cast<std::uint32_t>(RoundToInt(static_cast<double>(tv.tv_usec) / 10000.0));
    return static_cast<std::int32_t>(seconds * 100u + hundredths);
}

std::string IntToString(std::int32_t n) {
    return std::to_string(n);
}

std::string LongToTimeString(std::int32_t time, bool ShowPlus, bool ShortForm) {
    std::string text;
    AppendTimeText(&text, time, ShowPlus, ShortForm);
    return text;
}

std::int32_t TimeStringToLong(std::string text) {
    return TimeViewToLong(text);
}

// ---- Clock seam ----

void SetClockSource(ClockSource source) {
    g_clockSource = source;
}

std::int32_t ClockNow() {
    return timevalToLong(g_clockSource != nullptr ? g_clockSource() : DefaultClock());
}

// ---- Split grid ----

void* SplitDataClass::operator new(std::size_t size) {
    return PooledNew<SplitDataClass>(size);
}

void SplitDataClass::operator delete(void* block, std::size_t size) noexcept {
    PooledDelete<SplitDataClass>(block, size);
}

void* HeaderInfoClass::operator new(std::size_t size) {
    return PooledNew<HeaderInfoClass>(size);
}

void HeaderInfoClass::operator delete(void* block, std::size_t size) noexcept {
    PooledDelete<HeaderInfoClass>(block, size);
}

void SplitDataClass::CopySplitData(const SplitDataClass* source) {
    if (source == nullptr || source == this) {
        return;
    }
    Timer = source->Timer;
    TimerDiff = source->TimerDiff;
    Elapsed = source->Elapsed;
    ElapsedDiff = source->ElapsedDiff;
    Notes = source->Notes;
}

QuorvelClass::QuorvelClass(std::string folder)
    : DefaultFolder(std::move(folder)), FileDesc(std::make_unique<HeaderInfoClass>()) {
    ClearSplitData();
    BestSplitMinElapsed = 0;
    AutosaveBestSplits = false;
    AutosaveBestRun = false;
}

QuorvelClass::~QuorvelClass() {
    ClearSplitData();
}

void QuorvelClass::ClearSplitData() {
    StartClock = 0;
    AccumulatedTime = 0;
    TimerRunning = false;
    NextSplit = 0;
    SplitFileName.clear();
    SplitStateFileName.clear();
    StartOffset = 0;
    TotalAttemptCount = 0;
    SessionAttemptCount = 0;
    FileDesc->Text.clear();
    ColumnHeaders.clear();
    RowHeaders.clear();
    SplitCells.clear();
}

void QuorvelClass::ClearSplitsForRow(unsigned int row) {
    if (row >= GetRowCount()) {
        return;
    }
    auto& cells = SplitCells[row];
    if (cells.empty()) {
        return;
    }
    for (std::size_t c = 0; c + 1 < cells.size(); ++c) {
        cells[c]->TimerDiff = 0;
        cells[c]->ElapsedDiff = 0;
    }
    SplitDataClass& current = *cells.back();
    current.Timer = 0;
    current.TimerDiff = 0;
    current.Elapsed = 0;
    current.ElapsedDiff = 0;
    current.Notes.clear();
}

unsigned int QuorvelClass::GetRowCount() const {
    return static_cast<unsigned int>(SplitCells.size());
}

unsigned int QuorvelClass::GetColumnCount() const {
    return static_cast<unsigned int>(ColumnHeaders.size());
}

std::string QuorvelClass::GetFullFileDesc() const {
    return FileDesc->Text;
}

std::string QuorvelClass::GetFullColumnHeader(unsigned int column) const {
    const HeaderInfoClass* header = GetColumnHeaderClass(column);
    return header != nullptr ? header->Text : std::string();
}

std::string QuorvelClass::GetFullRowHeader(unsigned int row) const {
    const HeaderInfoClass* header = GetRowHeaderClass(row);
    return header != nullptr ? header->Text : std::string();
}

HeaderInfoClass* QuorvelClass::GetFileDescClass() const {
    return FileDesc.get();
}

HeaderInfoClass* QuorvelClass::GetColumnHeaderClass(unsigned int column) const {
    return column < ColumnHeaders.size() ? ColumnHeaders[column].get() : nullptr;
}

HeaderInfoClass* QuorvelClass::GetRowHeaderClass(unsigned int row) const {
    return row < RowHeaders.size() ? RowHeaders[row].get() : nullptr;
}

bool QuorvelClass::HasSplitPictures() const {
    return HasPictures;
}

namespace {

// The cell at (row, column), or nullptr when the grid has no such cell: outside the headers
// or outside its row. Both the readers and the updaters go through it.
SplitDataClass* CellAt(const QuorvelClass& engine, unsigned int row, unsigned int column) {
    if (row >= engine.RowHeaders.size() || column >= engine.ColumnHeaders.size() ||
        row >= engine.SplitCells.size() || column >= engine.SplitCells[row].size()) {
        return nullptr;
    }
    return engine.SplitCells[row][column].get();
}

}  // namespace

std::int32_t QuorvelClass::GetDataCellTimer(unsigned int row, unsigned int column) const {
    const SplitDataClass* cell = CellAt(*this, row, column);
    return cell != nullptr ? cell->Timer : 0;
}

std::int32_t QuorvelClass::GetDataCellTimerDiff(unsigned int row, unsigned int column) const {
    const SplitDataClass* cell = CellAt(*this, row, column);
    return cell != nullptr ? cell->TimerDiff : 0;
}

std::int32_t QuorvelClass::GetDataCellElapsed(unsigned int row, unsigned int column) const {
    const SplitDataClass* cell = CellAt(*this, row, column);
    return cell != nullptr ? cell->Elapsed : 0;
}

std::int32_t QuorvelClass::GetDataCellElapsedDiff(unsigned int row, unsigned int column) const {
    const SplitDataClass* cell = CellAt(*this, row, column);
    return cell != nullptr ? cell->ElapsedDiff : 0;
}

std::string QuorvelClass::GetDataCellNotes(unsigned int row, unsigned int column) const {
    const SplitDataClass* cell = CellAt(*this, row, column);
    return cell != nullptr ? RemoveCodes(cell->Notes) : std::string();
}

// ---- Split file reader ----

void QuorvelClass::LoadSplitData(std::string path) {
    ClearSplitData();
    LastSaveFailed = false;  // the failure belonged to the file that was discarded
    LastSaveError.clear();
    LastLoadError.clear();
    SplitFileChangedOnDisk = false;

    // Taken before the text: a change made while reading then shows as a change.
    FileIdentity identity;
    ReadFileIdentity(path, &identity);
    std::string text;
    std::size_t bytesHash = 0;
    if (!ReadSplitText(path, &text, &LastLoadError, &bytesHash)) {
        return;
    }
    if (std::string_view(text).starts_with(kSplitStateMark)) {
        LastLoadError = "This is a split-state file, not a split file.";
        return;
    }
    // The whole text is measured against the limits before a single record is made.
    if (const SplitFileLimitPassed passed = FindPassedLimit(text); passed.Passed()) {
        LastLoadError = passed.Message;
        return;
    }
    // The lines are taken one at a time, so a large file is never held as a list of lines;
    // the first four are read ahead, as a file of fewer lines is not loaded.
    LineCutter cutter(text);
    std::string_view head[4];
    for (std::size_t read = 0; read < 4; ++read) {
        if (!cutter.Next(&head[read])) {
            LastLoadError = read == 0 ? "The file is empty."
                                      : "The file ends at line " + std::to_string(read) +
                                            ", before its first split.";
            return;
        }
    }
    std::size_t headUsed = 2;  // lines 2 and 3 are the first pair of a row
    const auto nextLine = [&](std::string_view* line) {
        if (headUsed < 4) {
            *line = head[headUsed++];
            return true;
        }
        return cutter.Next(line);
    };

    ClearSplitData();
    SplitFileName = path;
    SplitFileIdentity = identity;
    SplitFileContentHash = bytesHash;

    std::vector<std::string_view> cells;
    CutCells(head[0], &cells);
    if (!cells.empty()) {
        TotalAttemptCount = ClampedAtoi(cells[0]);
    }
    if (cells.size() > 1) {
        StartOffset = TimeViewToLong(cells[1]);
    }

    const std::string_view folder = FolderOf(path);

    CutCells(head[1], &cells);
    if (cells.empty()) {
        cells.emplace_back();
    }
    FileDesc->Text.assign(cells[0]);
    ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
    ColumnHeaders.back()->Text = "Best Splits";
    for (std::size_t c = 2; c < cells.size(); ++c) {
        ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
        ColumnHeaders.back()->Text.assign(cells[c]);
    }
    ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
    ColumnHeaders.back()->Text = "Current";
    const std::size_t columnCount = ColumnHeaders.size();

    HasPictures = false;
    std::uint32_t bestTotal = 0;
    std::vector<std::string_view> notes;
    std::vector<std::int32_t> times;
    std::string_view rowLine;
    std::string_view notesLine;
    // Each pass takes a row line and the notes line after it (lines 2 and 3, 4 and 5, ...).
    for (bool firstPair = true; nextLine(&rowLine); firstPair = false) {
        const bool hasNotesLine = nextLine(&notesLine);
        if (rowLine.empty()) {
            continue;
        }
        // The last row read; a blank pair of lines between rows does not break the chain.
        const auto* previous = SplitCells.empty() ? nullptr : &SplitCells.back();
        // times[k] is the time in cell k + 1 of the row line; missing cells read as 0.
        std::string_view name;
        CutRowLine(rowLine, &name, &times);
        if (times.size() < columnCount - 1) {
            times.resize(columnCount - 1);
        }
        if (hasNotesLine) {  // only the cells the row keeps: the picture and one per cell
            CutCells(notesLine, &notes, times.size() + 1);
        } else {
            notes.clear();
        }
        if (notes.size() < columnCount) {
            notes.resize(columnCount);
        }

        auto header = std::make_unique<HeaderInfoClass>();
        header->Text.assign(name);
        const std::string_view picture = notes[0] == "|" ? std::string_view{} : notes[0];
        if (!picture.empty()) {
            header->PictureFile.reserve(folder.size() + picture.size());
            header->PictureFile.append(folder).append(picture);
            HasPictures = true;
        }
        RowHeaders.push_back(std::move(header));

        std::vector<std::unique_ptr<SplitDataClass>> row;
        row.reserve(std::max(columnCount, times.size()));
        auto best = std::make_unique<SplitDataClass>();
        best->Elapsed = times[0];
        bestTotal += static_cast<std::uint32_t>(best->Elapsed);
        best->Timer = static_cast<std::int32_t>(bestTotal);
        if (!notes[1].empty()) {
            best->Notes.assign(notes[1]);
        }
        row.push_back(std::move(best));

        for (std::size_t j = 2; j <= times.size(); ++j) {
            auto cell = std::make_unique<SplitDataClass>();
            cell->Timer = times[j - 1];
            if (j < notes.size() && !notes[j].empty()) {
                cell->Notes.assign(notes[j]);
            }
            if (firstPair) {
                cell->Elapsed = cell->Timer;
            } else if (cell->Timer != 0 && previous != nullptr && j - 1 < previous->size() &&
                       (*previous)[j - 1]->Timer != 0) {
                cell->Elapsed = static_cast<std::int32_t>(
                    static_cast<std::uint32_t>(cell->Timer) -
                    static_cast<std::uint32_t>((*previous)[j - 1]->Timer));
            }
            row.push_back(std::move(cell));
        }
        while (row.size() < columnCount) {
            row.push_back(std::make_unique<SplitDataClass>());
        }
        SplitCells.push_back(std::move(row));
    }
}

void QuorvelClass::ParseLines(std::string text, std::vector<std::string>* lines) {
    std::vector<std::string_view> views;
    CutLines(text, &views);
    lines->assign(views.begin(), views.end());
}

void QuorvelClass::ParseColumns(std::string line, std::vector<std::string>* cells) {
    std::vector<std::string_view> views;
    CutCells(line, &views);
    cells->assign(views.begin(), views.end());
}

std::string QuorvelClass::RemoveSpecialCodes(std::string text) {
    return RemoveCodes(text);
}

// ---- Split file writer ----

std::string QuorvelClass::MakeSpecialCodes(std::string text) {
    if (text.find_first_of("\t\r\n") == std::string::npos) {
        return text;
    }
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    const std::size_t size = text.size();
    const auto at = [&](std::size_t i) { return i < size ? text[i] : '\0'; };
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (c == '\t') {
            out.append("|t");
        } else if (c == '\r') {
            // CR LF is one break; so is any other CR.
            if (at(i + 1) == '\n') {
                ++i;
            }
            out.append("|r");
        } else if (c == '\n') {
            // LF CR is one break unless that CR starts a CR LF, which takes precedence.
            if (at(i + 1) == '\r' && at(i + 2) != '\n') {
                ++i;
            }
            out.append("|r");
        } else {
            out.push_back(c);
        }
    }
    return out;
}

void QuorvelClass::write_line_to_file(FILE* file, std::string text) {
    if (file != nullptr) {
        std::fputs(text.c_str(), file);
    }
}

void QuorvelClass::SaveSplitData() {
    if (SplitFileName.empty()) {
        return;
    }
    const std::string_view folder = FolderOf(SplitFileName);
    const std::size_t columnCount = ColumnHeaders.size();
    std::string text;
    text.reserve(64 + SplitCells.size() * (columnCount + 1) * 16);

    text.append(IntToString(TotalAttemptCount))
        .append("\t")
        .append(LongToTimeString(StartOffset, /*ShowPlus=*/false, /*ShortForm=*/true))
        .append(returnstring);

    text.append(FileDesc->Text);
    for (std::size_t c = 0; c + 1 < columnCount; ++c) {
        text.append("\t").append(ColumnHeaders[c]->Text);
    }
    text.append(returnstring);

    std::string notesLine;
    for (std::size_t r = 0; r < SplitCells.size(); ++r) {
        const auto& row = SplitCells[r];
        const HeaderInfoClass* header = r < RowHeaders.size() ? RowHeaders[r].get() : nullptr;
        notesLine.clear();
        if (header != nullptr) {
            text.append(header->Text);
            std::string_view picture = header->PictureFile;
            if (picture.starts_with(folder)) {
                picture.remove_prefix(folder.size());
            }
            notesLine.append(picture);
        }
        for (std::size_t c = 0; c + 1 < row.size(); ++c) {
            const SplitDataClass& cell = *row[c];
            text.push_back('\t');
            AppendTimeText(&text, c == 0 ? cell.Elapsed : cell.Timer, /*ShowPlus=*/false,
                           /*ShortForm=*/true);
            notesLine.append("\t").append(cell.Notes);
        }
        text.append(returnstring).append(notesLine).append(returnstring);
    }
    // A file needs 4 lines to load; a route without splits gets a blank line in place of its
    // first row, so it can be opened again.
    if (SplitCells.empty()) {
        text.append(returnstring);
    }

    // A NUL would end the written text early and cut the file short; it cannot be read
    // back anyway, so it is left out.
    if (text.find('\0') != std::string::npos) {
        std::erase(text, '\0');
    }
    if (ReadOnly) {
        return;
    }
    // Only a file we loaded or wrote ourselves is compared; a folder or device in its place
    // is left to the write, which refuses it with its own reason. The same identity is not
    // enough: an edit can keep the size and the modification time, so the bytes are compared
    // too, through their hash.
    FileIdentity onDisk;
    if (SplitFileIdentity.Path == SplitFileName && ReadFileIdentity(SplitFileName, &onDisk) &&
        onDisk.Regular &&
        (!(onDisk == SplitFileIdentity) || HashOnDisk(SplitFileName) != SplitFileContentHash)) {
        SplitFileChangedOnDisk = true;
        LastSaveFailed = true;
        LastSaveError = "the file changed on disk";
        return;
    }
    const bool written = WriteFileAtomically(
        SplitFileName,
        [&](std::FILE* file) {
            write_line_to_file(file, text);
            return std::ferror(file) == 0;
        },
        &LastSaveError);
    LastSaveFailed = !written;
    if (written) {
        LastSaveError.clear();
        ReadFileIdentity(SplitFileName, &SplitFileIdentity);
        SplitFileContentHash = ContentHash(text);
    }
}

void QuorvelClass::AcceptSplitFileOnDisk() {
    ReadFileIdentity(SplitFileName, &SplitFileIdentity);
    SplitFileContentHash = HashOnDisk(SplitFileName);
    SplitFileChangedOnDisk = false;
}

namespace {

// ---- Cells of a row ----

using Row = std::vector<std::unique_ptr<SplitDataClass>>;

SplitDataClass* CurrentCellOf(Row& row) {
    return row.empty() ? nullptr : row.back().get();
}

SplitDataClass* KeptCellOf(Row& row) {
    return row.size() < 2 ? nullptr : row[row.size() - 2].get();
}

SplitDataClass* GridCell(QuorvelClass& engine, unsigned int row, unsigned int column) {
    if (row >= engine.SplitCells.size() || column >= engine.SplitCells[row].size()) {
        return nullptr;
    }
    return engine.SplitCells[row][column].get();
}

// Re-derives the segment time of the cell below (row, column) from the two running times.
void RederiveNextElapsed(QuorvelClass& engine, unsigned int row, unsigned int column) {
    const SplitDataClass* cell = GridCell(engine, row, column);
    SplitDataClass* next = GridCell(engine, row + 1, column);
    if (cell == nullptr || next == nullptr) {
        return;
    }
    next->Elapsed = (cell->Timer != 0 && next->Timer != 0) ? WrapSub(next->Timer, cell->Timer) : 0;
}

// Sets a running time and the segment times of that cell and the one below; no differences
// are recomputed and nothing is saved. False when there is no such cell.
bool SetRunningTime(QuorvelClass& engine, unsigned int row, unsigned int column,
                    std::int32_t time) {
    SplitDataClass* cell = CellAt(engine, row, column);
    if (cell == nullptr) {
        return false;
    }
    cell->Timer = time;
    cell->Elapsed = time;
    if (row > 0) {
        const SplitDataClass* previous = GridCell(engine, row - 1, column);
        cell->Elapsed = (previous != nullptr && previous->Timer != 0 && time != 0)
                            ? WrapSub(time, previous->Timer)
                            : 0;
    }
    RederiveNextElapsed(engine, row, column);
    return true;
}

// A stored run with no times, made the kept run: a column before "Current", and in every
// row a cell before the row's current cell.
void AddKeptColumn(QuorvelClass& engine, std::string title) {
    auto header = std::make_unique<HeaderInfoClass>();
    header->Text = std::move(title);
    engine.ColumnHeaders.insert(engine.ColumnHeaders.end() - 1, std::move(header));
    for (Row& row : engine.SplitCells) {
        row.insert(row.empty() ? row.end() : row.end() - 1, std::make_unique<SplitDataClass>());
    }
}

// ---- Text of the split-state file ----

// A split file's name as the split-state file holds it, one cell on one line: TAB -> "|t",
// LF -> "|n", CR -> "|r", "|" -> "||". "a\tb|c.txt" -> "a|tb||c.txt".
std::string EscapeFileName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        switch (c) {
            case '\t':
                out += "|t";
                break;
            case '\n':
                out += "|n";
                break;
            case '\r':
                out += "|r";
                break;
            case '|':
                out += "||";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

// The reverse of EscapeFileName; a "|" before any other character is itself, so names
// written before the codes existed read as they were: "a|b.txt" -> "a|b.txt".
std::string UnescapeFileName(std::string_view cell) {
    std::string out;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const char next = i + 1 < cell.size() ? cell[i + 1] : '\0';
        if (cell[i] == '|' && (next == 't' || next == 'n' || next == 'r' || next == '|')) {
            out.push_back(next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : '|');
            ++i;
        } else {
            out.push_back(cell[i]);
        }
    }
    return out;
}

// A split file named by a split-state file must lie beside it.
bool IsPlainFileName(const std::string& name) {
    if (name == "." || name == "..") {
        return false;
    }
    return FolderOf(name).empty();
}

std::string TimeText(std::int32_t time) {
    return LongToTimeString(time, /*ShowPlus=*/false, /*ShortForm=*/true);
}

std::int32_t IncrementCount(std::int32_t count) {
    return count == std::numeric_limits<std::int32_t>::max() ? count : count + 1;
}

}  // namespace

// ---- Run clock ----

std::int32_t QuorvelClass::GetCurrentTime() const {
    if (!TimerRunning) {
        return AccumulatedTime;
    }
    return WrapAdd(AccumulatedTime, WrapSub(ClockNow(), StartClock));
}

void QuorvelClass::StartTimer() {
    if (TimerRunning) {
        return;
    }
    ClearTimer();
    StartClock = ClockNow();
    AccumulatedTime = StartOffset;
    TotalAttemptCount = IncrementCount(TotalAttemptCount);
    SessionAttemptCount = IncrementCount(SessionAttemptCount);
    NextSplit = 0;
    TimerRunning = true;
    if (GetColumnCount() > 0) {
        SaveSplitData();
    }
}

void QuorvelClass::StopTimer() {
    if (!TimerRunning) {
        return;
    }
    AccumulatedTime = GetCurrentTime();
    TimerRunning = false;
}

void QuorvelClass::ResumeTimer() {
    if (TimerRunning) {
        return;
    }
    StartClock = ClockNow();
    TimerRunning = true;
}

void QuorvelClass::ClearTimer() {
    const bool loaded = GetColumnCount() > 0;
    if (loaded && AutosaveBestSplits) {
        UpdateBestSplits();
    }
    StartClock = 0;
    AccumulatedTime = 0;
    TimerRunning = false;
    NextSplit = 0;
    FirstPlaceTime = 0;
    if (loaded) {
        for (unsigned int row = 0; row < GetRowCount(); ++row) {
            ClearSplitsForRow(row);
        }
    }
}

// ---- Split control ----

void QuorvelClass::DoSplit() {
    if (!TimerRunning) {
        return;
    }
    const std::int32_t now = GetCurrentTime();
    if (now < 0) {
        return;
    }
    if (GetColumnCount() == 0) {
        FirstPlaceTime = now;
        return;
    }
    if (NextSplit >= GetRowCount()) {
        StopTimer();
        return;
    }
    Row& row = SplitCells[NextSplit];
    SplitDataClass* current = CurrentCellOf(row);
    if (current != nullptr) {
        current->Timer = now;
        current->Elapsed = now;
        const SplitDataClass* previous =
            NextSplit > 0 ? CurrentCellOf(SplitCells[NextSplit - 1]) : nullptr;
        if (NextSplit > 0) {
            current->Elapsed =
                (previous != nullptr && previous->Timer != 0) ? WrapSub(now, previous->Timer) : 0;
        }
        for (std::size_t c = 0; c + 1 < row.size(); ++c) {
            SplitDataClass& other = *row[c];
            if (other.Timer != 0) {
                other.TimerDiff = WrapSub(current->Timer, other.Timer);
                other.ElapsedDiff = WrapSub(current->Elapsed, other.Elapsed);
            }
        }
        const SplitDataClass* kept = KeptCellOf(row);
        if (kept != nullptr && kept->Timer != 0) {
            current->TimerDiff = kept->TimerDiff;
            current->ElapsedDiff = kept->ElapsedDiff;
            if (NextSplit > 0 && (previous == nullptr || previous->Timer == 0)) {
                current->TimerDiff = 0;
                current->ElapsedDiff = 0;
            }
        }
    }
    ++NextSplit;
    if (NextSplit < GetRowCount()) {
        return;
    }
    StopTimer();
    // The results of the finished run go to disk now, not at the next start or reset: a kill
    // or a logout before then would lose them.
    Row& last = SplitCells.back();
    const SplitDataClass* finalCell = CurrentCellOf(last);
    const SplitDataClass* keptFinal = KeptCellOf(last);
    // With only "Best Splits" and "Current" there is no kept run to beat.
    const bool noKeptRun = GetColumnCount() < 3;
    if (AutosaveBestRun && keptFinal != nullptr &&
        (noKeptRun || keptFinal->Timer == 0 || finalCell->Timer < keptFinal->Timer)) {
        KeepCurrentSplits();  // takes the best segments too
    } else if (AutosaveBestSplits) {
        UpdateBestSplits();
    }
}

void QuorvelClass::SkipSplit() {
    if (TimerRunning && GetCurrentTime() >= 0 &&
        static_cast<std::uint64_t>(NextSplit) + 1 < GetRowCount()) {
        ++NextSplit;
    }
}

void QuorvelClass::UndoSplit() {
    if (!TimerRunning || GetCurrentTime() < 0) {
        return;
    }
    if (GetColumnCount() == 0) {
        FirstPlaceTime = 0;
    } else if (NextSplit > 0) {
        --NextSplit;
        ClearSplitsForRow(NextSplit);
    }
}

// ---- Run queries ----

bool QuorvelClass::IsTimerRunning() const {
    return TimerRunning;
}

std::uint32_t QuorvelClass::GetNextSplitNumber() const {
    return NextSplit;
}

std::int32_t QuorvelClass::GetCurrentTimeDiffFromNextSplit() const {
    if (GetColumnCount() < 2) {
        return 0;
    }
    const std::int32_t kept = GetDataCellTimer(NextSplit, GetColumnCount() - 2);
    return kept == 0 ? 0 : WrapSub(GetCurrentTime(), kept);
}

std::int32_t QuorvelClass::GetTimeToNextSplit() const {
    if (GetColumnCount() < 2 || GetDataCellTimer(NextSplit, GetColumnCount() - 2) == 0) {
        return 0;
    }
    std::int32_t difference = GetCurrentTimeDiffFromNextSplit();
    if (NextSplit > 0) {
        difference = WrapSub(difference, GetDataCellTimerDiff(NextSplit - 1, GetColumnCount() - 2));
    }
    return difference;
}

std::int32_t QuorvelClass::GetTotalAttemptCount() const {
    return TotalAttemptCount;
}

std::int32_t QuorvelClass::GetSessionAttemptCount() const {
    return SessionAttemptCount;
}

std::int32_t QuorvelClass::GetTimerModeFirstPlaceTime() const {
    return FirstPlaceTime;
}

// ---- Best splits and comparisons ----

void QuorvelClass::UpdateBestSplits() {
    for (Row& row : SplitCells) {
        if (row.empty()) {
            continue;
        }
        const SplitDataClass& current = *row.back();
        SplitDataClass& best = *row.front();
        if (current.Elapsed > 0 && current.Elapsed > BestSplitMinElapsed &&
            (best.Elapsed == 0 || current.Elapsed < best.Elapsed)) {
            best.Elapsed = current.Elapsed;
        }
    }
    RefreshBestSplitTimers();
    UpdateTimerDiffs();
    SaveSplitData();
}

void QuorvelClass::KeepCurrentSplits() {
    const bool runHasATime = std::any_of(SplitCells.begin(), SplitCells.end(), [](const Row& row) {
        return !row.empty() && row.back()->Timer != 0;
    });
    if (TimerRunning || GetColumnCount() < 2 || !runHasATime) {
        return;
    }
    if (GetColumnCount() == 2) {
        AddKeptColumn(*this, "Personal Best");
    }
    for (Row& row : SplitCells) {
        SplitDataClass* kept = KeptCellOf(row);
        if (kept != nullptr) {
            kept->CopySplitData(CurrentCellOf(row));
        }
    }
    UpdateBestSplits();
    NextSplit = 0;
    TimerRunning = false;
    for (unsigned int row = 0; row < GetRowCount(); ++row) {
        ClearSplitsForRow(row);
    }
}

void QuorvelClass::RefreshBestSplitTimers() {
    std::int32_t total = 0;
    for (Row& row : SplitCells) {
        if (row.empty()) {
            continue;
        }
        SplitDataClass& best = *row.front();
        total = WrapAdd(total, best.Elapsed);
        best.Timer = total;
        best.TimerDiff = 0;
        best.ElapsedDiff = 0;
    }
}

void QuorvelClass::UpdateTimerDiffs() {
    for (std::size_t r = 0; r < SplitCells.size(); ++r) {
        Row& row = SplitCells[r];
        if (row.empty()) {
            continue;
        }
        if (r > NextSplit) {
            for (auto& cell : row) {
                cell->TimerDiff = 0;
                cell->ElapsedDiff = 0;
            }
            continue;
        }
        SplitDataClass& current = *row.back();
        current.TimerDiff = 0;
        current.ElapsedDiff = 0;
        for (std::size_t c = 0; c + 1 < row.size(); ++c) {
            SplitDataClass& other = *row[c];
            const bool hasTime = other.Timer != 0;
            other.TimerDiff = hasTime ? WrapSub(current.Timer, other.Timer) : 0;
            other.ElapsedDiff = hasTime ? WrapSub(current.Elapsed, other.Elapsed) : 0;
        }
        const SplitDataClass* kept = KeptCellOf(row);
        if (kept == nullptr || kept->Timer == 0) {
            continue;
        }
        current.TimerDiff = kept->TimerDiff;
        current.ElapsedDiff = kept->ElapsedDiff;
        if (r > 0) {
            Row& above = SplitCells[r - 1];
            const SplitDataClass* aboveCurrent = CurrentCellOf(above);
            const SplitDataClass* aboveKept = KeptCellOf(above);
            if (aboveCurrent == nullptr || aboveKept == nullptr || aboveCurrent->Timer == 0 ||
                aboveKept->Timer == 0) {
                current.TimerDiff = 0;
                current.ElapsedDiff = 0;
            }
        }
    }
}

void QuorvelClass::UpdateBestSplitElapsed(unsigned int row, std::int32_t time) {
    SplitDataClass* best = row < RowHeaders.size() ? GridCell(*this, row, 0) : nullptr;
    if (best == nullptr) {
        return;
    }
    best->Elapsed = time;
    RefreshBestSplitTimers();
    UpdateTimerDiffs();
    SaveSplitData();
}

void QuorvelClass::UpdateBestSplitTimer(unsigned int row, std::int32_t time) {
    SplitDataClass* best = row < RowHeaders.size() ? GridCell(*this, row, 0) : nullptr;
    if (best == nullptr) {
        return;
    }
    best->Elapsed = time != 0 ? WrapAdd(best->Elapsed, WrapSub(time, best->Timer)) : 0;
    RefreshBestSplitTimers();
    UpdateTimerDiffs();
    SaveSplitData();
}

// ---- Cell editing ----

void QuorvelClass::UpdateDataCellTimer(unsigned int row, unsigned int column, std::int32_t time) {
    if (CellAt(*this, row, column) == nullptr) {
        return;
    }
    SetRunningTime(*this, row, column, time);
    UpdateTimerDiffs();
    if (column + 1 != GetColumnCount()) {
        SaveSplitData();
    }
}

void QuorvelClass::UpdateDataCellElapsed(unsigned int row, unsigned int column, std::int32_t time) {
    SplitDataClass* cell = CellAt(*this, row, column);
    if (cell == nullptr) {
        return;
    }
    if (row == 0) {
        cell->Timer = time;
    } else {
        const SplitDataClass* previous = GridCell(*this, row - 1, column);
        if (previous == nullptr || previous->Timer == 0) {
            return;
        }
        cell->Timer = time != 0 ? WrapAdd(previous->Timer, time) : 0;
    }
    cell->Elapsed = time;
    RederiveNextElapsed(*this, row, column);
    UpdateTimerDiffs();
    if (column + 1 != GetColumnCount()) {
        SaveSplitData();
    }
}

void QuorvelClass::UpdateDataCellNotes(unsigned int row, unsigned int column, std::string text) {
    SplitDataClass* cell = CellAt(*this, row, column);
    if (cell == nullptr) {
        return;
    }
    cell->Notes = MakeSpecialCodes(std::move(text));
    SaveSplitData();
}

// ---- Split-state file ----

std::string QuorvelClass::SplitStatePath() const {
    if (SplitFileName.empty()) {
        return DefaultFolder + "Timer-SplitState.txt";
    }
    if (!SplitStateFileName.empty()) {
        return SplitStateFileName;
    }
    const std::size_t dot = SplitFileName.find_last_of('.');
    if (dot == std::string::npos || dot < NameStart(SplitFileName)) {
        return SplitFileName + "-SplitState.txt";
    }
    return SplitFileName.substr(0, dot) + "-SplitState" + SplitFileName.substr(dot);
}

void QuorvelClass::SaveSplitStateData() {
    std::string text(kSplitStateMark);
    if (SplitFileName.empty()) {
        text += returnstring;
        text += TimeText(GetCurrentTime()) + "\t" + returnstring;
        text += TimeText(FirstPlaceTime) + returnstring;
    } else {
        text += EscapeFileName(std::string(NamePart(SplitFileName))) + returnstring;
        text += TimeText(GetCurrentTime()) + "\t" +
                IntToString(static_cast<std::int32_t>(NextSplit)) + returnstring;
        const unsigned int done = std::min<std::uint32_t>(NextSplit, GetRowCount());
        for (unsigned int row = 0; row < done; ++row) {
            text += TimeText(GetDataCellTimer(row, GetColumnCount() - 1)) + returnstring;
        }
    }
    const std::string path = SplitStatePath();
    if (ReadOnly) {
        return;
    }
    LastStateSaveFailed = !WriteFileAtomically(
        path,
        [&](std::FILE* file) {
            write_line_to_file(file, text);
            return std::ferror(file) == 0;
        },
        &LastStateSaveError);
    if (!LastStateSaveFailed) {
        LastStateSaveError.clear();
    }
}

void QuorvelClass::LoadSplitStateData(std::string path) {
    ClearSplitData();
    SplitStateFileName = "";
    LastLoadError.clear();
    std::string text;
    if (!ReadSplitText(path, &text, &LastLoadError)) {
        return;
    }
    if (!std::string_view(text).starts_with(kSplitStateMark)) {
        LastLoadError = "This is not a split-state file.";
        return;
    }
    // Lines are taken one at a time: the file is never held as a list of lines.
    LineCutter cutter(text);
    std::string_view first;
    std::string_view second;
    if (!cutter.Next(&first) || !cutter.Next(&second)) {
        LastLoadError = "The split-state file ends at line 1.";
        return;
    }
    std::vector<std::string_view> cells;
    CutCells(first, &cells, 2);
    if (cells.size() > 1 && !cells[1].empty()) {
        const std::string name = UnescapeFileName(cells[1]);
        if (!IsPlainFileName(name)) {
            LastLoadError = "The split-state file names its split file with a folder.";
            return;
        }
        LoadSplitData(std::string(FolderOf(path)) + name);
        if (GetColumnCount() == 0) {
            return;
        }
        SplitStateFileName = path;
    }

    CutCells(second, &cells, 2);
    if (!cells.empty()) {
        AccumulatedTime = TimeViewToLong(cells[0]);
    }
    if (cells.size() > 1) {
        NextSplit = static_cast<std::uint32_t>(ClampedAtoi(cells[1]));
        const std::uint32_t lastRow = static_cast<std::uint32_t>(GetRowCount()) - 1u;
        if (NextSplit > lastRow) {
            NextSplit = lastRow;
        }
    }
    std::string_view line;
    if (cells.size() > 1 && !cells[1].empty()) {
        // The times of the done splits, one a line, as far as the file has them.
        const unsigned int column = GetColumnCount() - 1;
        bool restored = false;
        for (std::uint32_t row = 0; row < NextSplit && cutter.Next(&line); ++row) {
            restored = SetRunningTime(*this, row, column, TimeViewToLong(line)) || restored;
        }
        if (restored) {
            UpdateTimerDiffs();
        }
    } else if (cutter.Next(&line)) {
        FirstPlaceTime = TimeViewToLong(line);
    }
}

// ---- Split-state file header ----

bool ReadSplitStateHeader(const std::string& path, SplitStateHeader* header) {
    std::string text;
    std::string error;
    if (!ReadSplitText(path, &text, &error) ||
        !std::string_view(text).starts_with(kSplitStateMark)) {
        return false;
    }
    LineCutter cutter(text);
    std::string_view first;
    std::string_view second;
    if (!cutter.Next(&first) || !cutter.Next(&second)) {
        return false;
    }
    std::vector<std::string_view> cells;
    CutCells(first, &cells, 2);
    SplitStateHeader read;
    read.SplitFileName = cells.size() > 1 ? UnescapeFileName(cells[1]) : std::string();
    CutCells(second, &cells, 2);
    if (!cells.empty()) {
        read.RunTime = TimeStringToLong(std::string(cells[0]));
    }
    if (cells.size() > 1) {
        read.NextSplit = ClampedAtoi(cells[1]);
    }
    *header = std::move(read);
    return true;
}
