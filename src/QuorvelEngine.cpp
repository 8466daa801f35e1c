#include "QuorvelEngine.h"

#include <time.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

#include "FileIO.h"

std::string returnstring = "\n";

namespace {

// ---- Number reading helpers ----

bool IsAtoiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads text like atoi (leading white space, optional sign, digits up to the first
// non-digit, 0 without digits), but clamps the value to the 32-bit range.
std::int32_t SaturatingAtoi(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsAtoiSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= kLimit) {
            value = value * 10 + (text[i] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

// The substring [begin, end) of text, clipped to its size.
std::string_view Slice(std::string_view text, std::size_t begin, std::size_t end) {
    if (begin >= text.size() || end <= begin) {
        return {};
    }
    return text.substr(begin, end - begin);
}

std::int32_t TimeViewToLong(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    bool negative = false;
    if (text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    constexpr auto npos = std::string_view::npos;
    // p1 and p2: the first two colons; p3: the first point after p2, or the first point
    // anywhere when there is no second colon.
    std::size_t p1 = npos;
    std::size_t p2 = npos;
    std::size_t firstPoint = npos;
    std::size_t pointAfterP2 = npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ':') {
            if (p1 == npos) {
                p1 = i;
            } else if (p2 == npos) {
                p2 = i;
            }
        } else if (text[i] == '.') {
            if (firstPoint == npos) {
                firstPoint = i;
            }
            if (p2 != npos && pointAfterP2 == npos) {
                pointAfterP2 = i;
            }
        }
    }
    const std::size_t p3 = p2 == npos ? firstPoint : pointAfterP2;
    // Without a point the text reads as if ".0" followed it: the seconds field runs to the
    // end and there are no hundredths.
    const bool hasPoint = p3 != npos;
    const std::size_t secondsEnd = hasPoint ? p3 : text.size();

    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
    if (p1 == npos) {
        seconds = SaturatingAtoi(Slice(text, 0, secondsEnd));
    } else if (p2 == npos) {
        minutes = SaturatingAtoi(Slice(text, 0, p1));
        // A point before the only colon: the seconds run to the end of the text.
        const std::size_t end = p1 + 1 > secondsEnd ? text.size() : secondsEnd;
        seconds = SaturatingAtoi(Slice(text, p1 + 1, end));
    } else {
        hours = SaturatingAtoi(Slice(text, 0, p1));
        minutes = SaturatingAtoi(Slice(text, p1 + 1, p2));
        seconds = SaturatingAtoi(Slice(text, p2 + 1, secondsEnd));
    }
    const std::int32_t hundredths = hasPoint ? SaturatingAtoi(Slice(text, p3 + 1, p3 + 3)) : 0;

    std::uint32_t sum =
        static_cast<std::uint32_t>(hours) * 360000u + static_cast<std::uint32_t>(minutes) * 6000u +
        static_cast<std::uint32_t>(seconds) * 100u + static_cast<std::uint32_t>(hundredths);
    if (negative) {
        sum = 0u - sum;
    }
    return static_cast<std::int32_t>(sum);
}

// Appends n with at least two digits: 5 -> "05", 123 -> "123".
void AppendTwoDigits(std::string* out, std::uint32_t n) {
    if (n < 10) {
        out->push_back('0');
    }
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    while (count > 0) {
        out->push_back(digits[--count]);
    }
}

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

// ---- Text splitting ----

// Cuts text into lines: every CR LF, LF or lone CR is one break. A text whose first run of
// breaks reaches its end is one line; otherwise a final break gives a final empty line.
void CutLines(std::string_view text, std::vector<std::string_view>* lines) {
    lines->clear();
    if (text.empty()) {
        return;
    }
    const std::size_t first = text.find_first_of("\r\n");
    if (first == std::string_view::npos) {
        lines->push_back(text);
        return;
    }
    const std::size_t afterRun = text.find_first_not_of("\r\n", first);
    if (afterRun == std::string_view::npos) {
        lines->push_back(text.substr(0, first));
        return;
    }
    std::size_t start = 0;
    const char* data = text.data();
    const std::size_t size = text.size();
    for (std::size_t i = first; i < size; ++i) {
        const char c = data[i];
        if (c != '\n' && c != '\r') {
            continue;
        }
        lines->push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    lines->push_back(text.substr(start));
}

// Cuts one line at every TAB; an empty line gives no cells.
void CutCells(std::string_view line, std::vector<std::string_view>* cells) {
    cells->clear();
    if (line.empty()) {
        return;
    }
    // Cells are short: a plain scan beats a library search call per cell.
    const char* data = line.data();
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (data[i] == '\t') {
            cells->push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    cells->push_back(line.substr(start));
}

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

// The folder part of a split file's path, up to and including its last '/', '\' or ':':
// "/x/y.txt" -> "/x/", "C:\x\y.txt" -> "C:\x\", "y.txt" -> "".
std::string_view FolderOf(std::string_view path) {
    const std::size_t last = path.find_last_of("/\\:");
    return last == std::string_view::npos ? std::string_view{} : path.substr(0, last + 1);
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
    const bool negative = time < 0;
    std::uint32_t m = static_cast<std::uint32_t>(time);
    if (negative) {
        m = 0u - m;
    }
    const std::uint32_t hours = m / 360000u;
    std::uint32_t r = m % 360000u;
    const std::uint32_t minutes = r / 6000u;
    r %= 6000u;
    const std::uint32_t seconds = r / 100u;
    const std::uint32_t hundredths = r % 100u;

    std::string text;
    text.reserve(16);
    if (hours != 0 || !ShortForm) {
        AppendTwoDigits(&text, hours);
        text.push_back(':');
    }
    if (hours != 0 || !ShortForm || minutes != 0) {
        AppendTwoDigits(&text, minutes);
        text.push_back(':');
    }
    AppendTwoDigits(&text, seconds);
    text.push_back('.');
    AppendTwoDigits(&text, hundredths);
    if (text.front() == '0') {
        text.erase(0, 1);
    }
    if (negative) {
        text.insert(0, 1, '-');
    } else if (ShowPlus && time > 0) {
        text.insert(0, 1, '+');
    }
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
    FileDesc->LabelList.clear();
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

// The cell at (row, column), or nullptr when the grid has no such cell.
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

std::vector<void*>* QuorvelClass::GetDataCellLabelList(unsigned int row, unsigned int column) {
    SplitDataClass* cell = CellAt(*this, row, column);
    return cell != nullptr ? &cell->LabelList : nullptr;
}

// ---- Split file reader ----

void QuorvelClass::LoadSplitData(std::string path) {
    ClearSplitData();
    LastSaveFailed = false;  // the failure belonged to the file that was discarded

    std::string text;
    if (!ReadWholeFile(path, &text)) {
        return;
    }
    KeepPiecesUpToNul(&text);
    if (std::string_view(text).starts_with(kSplitStateMark)) {
        return;
    }
    std::vector<std::string_view> lines;
    CutLines(text, &lines);
    if (lines.size() < 4) {
        return;
    }

    ClearSplitData();
    SplitFileName = path;

    std::vector<std::string_view> cells;
    CutCells(lines[0], &cells);
    if (!cells.empty()) {
        TotalAttemptCount = SaturatingAtoi(cells[0]);
    }
    if (cells.size() > 1) {
        StartOffset = TimeViewToLong(cells[1]);
    }

    const std::string_view folder = FolderOf(path);

    CutCells(lines[1], &cells);
    if (cells.empty()) {
        cells.emplace_back();
    }
    FileDesc->Text = std::string(cells[0]);
    ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
    ColumnHeaders.back()->Text = "Best Splits";
    for (std::size_t c = 2; c < cells.size(); ++c) {
        ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
        ColumnHeaders.back()->Text = std::string(cells[c]);
    }
    ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
    ColumnHeaders.back()->Text = "Current";
    const std::size_t columnCount = ColumnHeaders.size();

    HasPictures = false;
    std::uint32_t bestTotal = 0;
    std::vector<std::string_view> notes;
    for (std::size_t i = 2; i < lines.size(); i += 2) {
        if (lines[i].empty()) {
            continue;
        }
        // The last row read; a blank pair of lines between rows does not break the chain.
        const auto* previous = SplitCells.empty() ? nullptr : &SplitCells.back();
        CutCells(lines[i], &cells);
        if (i + 1 < lines.size()) {
            CutCells(lines[i + 1], &notes);
        } else {
            notes.clear();
        }
        if (cells.size() < columnCount) {
            cells.resize(columnCount);
        }
        if (notes.size() < columnCount) {
            notes.resize(columnCount);
        }

        auto header = std::make_unique<HeaderInfoClass>();
        header->Text = std::string(cells[0]);
        const std::string_view picture = notes[0] == "|" ? std::string_view{} : notes[0];
        if (!picture.empty()) {
            header->PictureFile.reserve(folder.size() + picture.size());
            header->PictureFile.append(folder).append(picture);
            HasPictures = true;
        }
        RowHeaders.push_back(std::move(header));

        std::vector<std::unique_ptr<SplitDataClass>> row;
        row.reserve(std::max(columnCount, cells.size() - 1));
        auto best = std::make_unique<SplitDataClass>();
        best->Elapsed = TimeViewToLong(cells[1]);
        bestTotal += static_cast<std::uint32_t>(best->Elapsed);
        best->Timer = static_cast<std::int32_t>(bestTotal);
        best->Notes = std::string(notes[1]);
        row.push_back(std::move(best));

        for (std::size_t j = 2; j < cells.size(); ++j) {
            auto cell = std::make_unique<SplitDataClass>();
            cell->Timer = TimeViewToLong(cells[j]);
            if (j < notes.size()) {
                cell->Notes = std::string(notes[j]);
            }
            if (i == 2) {
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
            text.append("\t").append(LongToTimeString(c == 0 ? cell.Elapsed : cell.Timer,
                                                      /*ShowPlus=*/false, /*ShortForm=*/true));
            notesLine.append("\t").append(cell.Notes);
        }
        text.append(returnstring).append(notesLine).append(returnstring);
    }

    // A NUL would end the written text early and cut the file short; it cannot be read
    // back anyway, so it is left out.
    if (text.find('\0') != std::string::npos) {
        std::erase(text, '\0');
    }
    const bool written = WriteFileAtomically(SplitFileName, [&](std::FILE* file) {
        write_line_to_file(file, text);
        return std::ferror(file) == 0;
    });
    LastSaveFailed = !written;
}
