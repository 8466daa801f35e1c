#include "LssReader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "ClockText.h"
#include "DateText.h"
#include "FormatLimits.h"
#include "IconImage.h"

namespace {

constexpr const char* kPersonalBest = "Personal Best";

class LssParser {
  public:
    explicit LssParser(std::string_view text) : text_(text) {}

    int Line(const pugi::xml_node& node) const {
        return LineAt(text_,
                      static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, node.offset_debug())));
    }

    [[noreturn]] void Fail(const pugi::xml_node& node, const std::string& what) const {
        throw FormatError(Line(node), what);
    }

    std::int32_t Time(const pugi::xml_node& node, bool allowNegative) const {
        std::int32_t value = 0;
        std::string fault;
        if (!ReadClockText(node.text().get(), &value, &fault)) {
            Fail(node, std::string(node.name()) + ": " + fault);
        }
        if (value < 0 && !allowNegative) {
            Fail(node, std::string(node.name()) + ": time text \"" + node.text().get() +
                           "\" is negative");
        }
        return value;
    }

    // The time of an element in the chosen clock: a RealTime/GameTime child in files from
    // 1.4 on, the element's own text (always real time) in older ones. 0 when it has none.
    std::int32_t ClockTime(const pugi::xml_node& element, bool gameTime) const {
        const pugi::xml_node real = element.child("RealTime");
        const pugi::xml_node game = element.child("GameTime");
        if (real || game) {
            const pugi::xml_node chosen = gameTime ? game : real;
            return chosen && *chosen.text().get() != '\0' ? Time(chosen, false) : 0;
        }
        if (gameTime || *element.text().get() == '\0') {
            return 0;
        }
        return Time(element, false);
    }

    // A history entry's time on the chosen clock, or nothing: as ClockTime, but a time of 0
    // is a time, and negative ones are read.
    std::optional<std::int32_t> EntryTime(const pugi::xml_node& element, bool gameTime) const {
        const pugi::xml_node real = element.child("RealTime");
        const pugi::xml_node game = element.child("GameTime");
        if (real || game) {
            const pugi::xml_node chosen = gameTime ? game : real;
            if (!chosen || IsBlankText(chosen.text().get())) {
                return std::nullopt;
            }
            return Time(chosen, /*allowNegative=*/true);
        }
        if (gameTime || IsBlankText(element.text().get())) {
            return std::nullopt;
        }
        return Time(element, /*allowNegative=*/true);
    }

  private:
    static bool IsBlankText(std::string_view text) {
        return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
    }

    std::string_view text_;
};

std::optional<std::int32_t> EntryId(const pugi::xml_node& entry) {
    return HistoryEntryId(entry.attribute("id").value());
}

std::optional<std::int64_t> DateAttribute(const pugi::xml_node& entry, const char* name) {
    const pugi::xml_attribute attribute = entry.attribute(name);
    return attribute ? ReadUtcDateText(attribute.value()) : std::nullopt;
}

// The attempt lists and their entries: Attempt elements of AttemptHistory from 1.6 on, Time
// elements of RunHistory (times only) before. Elements of other names are not entries, here
// as in the update in place (LssUpdate.h), which keeps them as they are.
constexpr std::pair<const char*, const char*> kAttemptLists[] = {{"AttemptHistory", "Attempt"},
                                                                 {"RunHistory", "Time"}};

// The attempt list: AttemptHistory from 1.6 on, RunHistory (times only) before.
void ReadAttempts(const LssParser& parser, const pugi::xml_node& run, bool gameTime,
                  history::HistoryImport* history, std::size_t* unreadable) {
    for (const auto& [list, name] : kAttemptLists) {
        for (const pugi::xml_node& entry : run.child(list).children(name)) {
            const std::optional<std::int32_t> id = EntryId(entry);
            if (!id) {
                ++*unreadable;
                continue;
            }
            history::ImportedAttempt attempt;
            attempt.Id = *id;
            attempt.StartedUtc = DateAttribute(entry, "started");
            attempt.EndedUtc = DateAttribute(entry, "ended");
            attempt.Time = parser.EntryTime(entry, gameTime);
            if (const pugi::xml_node pause = entry.child("PauseTime");
                pause && *pause.text().get() != '\0') {
                attempt.PauseTime = parser.Time(pause, /*allowNegative=*/true);
            }
            history->Attempts.push_back(attempt);
        }
    }
}

bool HasText(const pugi::xml_node& node, const char* child) {
    const pugi::xml_node found = node.child(child);
    return found && *found.text().get() != '\0';
}

// Whether any segment has a time of the clock named: "RealTime", or "GameTime".
bool SegmentsHaveClock(const pugi::xml_node& segments, const char* clock) {
    for (const pugi::xml_node& segment : segments.children("Segment")) {
        if (HasText(segment.child("BestSegmentTime"), clock)) {
            return true;
        }
        for (const pugi::xml_node& split : segment.child("SplitTimes").children("SplitTime")) {
            if (HasText(split, clock)) {
                return true;
            }
        }
    }
    return false;
}

// A time written as the element's own text, as the first versions wrote every time.
bool IsPlainTime(const pugi::xml_node& element) {
    return element && !element.child("RealTime") && !element.child("GameTime") &&
           *element.text().get() != '\0';
}

bool SegmentsHavePlainTimes(const pugi::xml_node& segments) {
    for (const pugi::xml_node& segment : segments.children("Segment")) {
        if (IsPlainTime(segment.child("PersonalBestSplitTime")) ||
            IsPlainTime(segment.child("BestSegmentTime"))) {
            return true;
        }
        for (const pugi::xml_node& split : segment.child("SplitTimes").children("SplitTime")) {
            if (IsPlainTime(split)) {
                return true;
            }
        }
    }
    return false;
}

// Whether an element holds anything worth naming in the report: text, a set attribute or
// such an element below it. Deep below it counts as something, so a hostile nesting costs
// no stack.
bool IsEmptyElement(const pugi::xml_node& node, int depth = 0) {
    if (!node) {
        return true;
    }
    if (depth > 16) {
        return false;
    }
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() == pugi::node_element && !IsEmptyElement(child, depth + 1)) {
            return false;
        }
        if ((child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) &&
            *child.value() != '\0') {
            return false;
        }
    }
    for (const pugi::xml_attribute& attribute : node.attributes()) {
        if (*attribute.value() != '\0' && std::string_view(attribute.value()) != "False") {
            return false;
        }
    }
    return true;
}

std::int32_t ReadCount(const LssParser& parser, const pugi::xml_node& node) {
    std::string_view text = node.text().get();
    while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\r')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return 0;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            parser.Fail(node, std::string(node.name()) + ": \"" + std::string(text.substr(0, 40)) +
                                  "\" is not a count");
        }
        value = std::min<std::int64_t>(value * 10 + (c - '0'), 2147483647);
    }
    return static_cast<std::int32_t>(value);
}

void DecodeIcon(const pugi::xml_node& icon, std::size_t split, RouteRow* target,
                ConvertReport* report) {
    const std::string_view text = icon.text().get();
    if (text.find_first_not_of(" \r\n\t") == std::string_view::npos) {
        return;
    }
    const std::string where = "split " + std::to_string(split + 1) + " \"" + target->Name + "\"";
    bool ok = false;
    std::string bytes = DecodeBase64(text, &ok);
    if (!ok) {
        report->Warn(where + ": its icon is not base64 text; skipped");
        return;
    }
    std::optional<SplitPicture> image = FindImage(std::move(bytes));
    if (!image) {
        report->Warn(where + ": its icon holds no PNG, JPEG or GIF image; skipped");
        return;
    }
    target->Picture = std::move(*image);
}

// Stops at the first element deeper than the limit; no split file nests more than a few.
class DepthCheck : public pugi::xml_tree_walker {
  public:
    bool for_each(pugi::xml_node& node) override {
        if (depth() > kMaxNesting) {
            tooDeep = node;
            return false;
        }
        return true;
    }
    pugi::xml_node tooDeep;
};

}  // namespace

std::optional<std::int32_t> HistoryEntryId(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) {
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 12) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    value = negative ? -value : value;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

RouteData ReadLss(std::string_view text, TimingMethod timing, ConvertReport* report,
                  history::HistoryImport* history, const ClockChoice& choose) {
    CheckInputSize(text.size());
    // Every element or attribute is a node of the parsed document: counted before parsing,
    // by the characters that open them.
    const std::size_t marks = static_cast<std::size_t>(std::count(text.begin(), text.end(), '<') +
                                                       std::count(text.begin(), text.end(), '='));
    CheckElementCount(marks, 0);
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype);
    if (!result) {
        throw FormatError(LineAt(text, static_cast<std::size_t>(result.offset)),
                          std::string("malformed XML: ") + result.description());
    }
    const LssParser parser(text);
    for (const pugi::xml_node& node : document.children()) {
        if (node.type() == pugi::node_doctype) {
            parser.Fail(node, "a document type declaration is not accepted in a split file");
        }
    }
    DepthCheck depth;
    if (!document.traverse(depth)) {
        parser.Fail(depth.tooDeep, "elements nested deeper than " + std::to_string(kMaxNesting));
    }
    const pugi::xml_node run = document.child("Run");
    if (!run) {
        throw FormatError(1, "no Run element: not an XML split file");
    }
    const pugi::xml_node segments = run.child("Segments");
    if (!segments) {
        parser.Fail(run, "the Run has no Segments element");
    }
    const std::size_t segmentCount = static_cast<std::size_t>(
        std::distance(segments.children("Segment").begin(), segments.children("Segment").end()));
    if (segmentCount > kMaxSplits) {
        CheckSplitCount(segmentCount, parser.Line(segments));
    }

    const bool hasReal =
        SegmentsHaveClock(segments, "RealTime") || SegmentsHavePlainTimes(segments);
    const bool hasGame = SegmentsHaveClock(segments, "GameTime");
    if (timing == TimingMethod::Automatic && hasReal && hasGame && choose) {
        const std::optional<TimingMethod> chosen = choose();
        if (!chosen) {
            throw ConversionCancelled();
        }
        timing = *chosen;
    }
    const bool gameTime = timing == TimingMethod::GameTime ||
                          (timing == TimingMethod::Automatic && hasGame && !hasReal);
    if (gameTime ? !hasGame && hasReal : !hasReal && hasGame) {
        report->Warn(std::string("the file holds no ") + (gameTime ? "game" : "real") +
                     " times: every time is missing");
    }
    if (gameTime ? hasReal : hasGame) {
        report->LeftBehind(gameTime ? "real times" : "game times");
    }

    RouteData route;
    const std::string game = run.child("GameName").text().get();
    const std::string category = run.child("CategoryName").text().get();
    route.Description =
        game.empty() || category.empty() ? game + category : game + " - " + category;
    if (const pugi::xml_node offset = run.child("Offset"); offset && *offset.text().get() != '\0') {
        route.StartOffset = parser.Time(offset, /*allowNegative=*/true);
    }
    if (const pugi::xml_node attempts = run.child("AttemptCount")) {
        route.AttemptCount = ReadCount(parser, attempts);
    }

    // Comparisons in the order they first appear. They come in the same order in every
    // segment, so the search starts after the one found last.
    struct Comparison {
        std::string Name;
        std::vector<std::int32_t> Times;  // one per split
    };
    std::vector<Comparison> comparisons;
    std::size_t hint = 0;
    auto timesOf = [&](std::string_view name,
                       const pugi::xml_node& at) -> std::vector<std::int32_t>& {
        for (std::size_t n = 0; n < comparisons.size(); ++n) {
            const std::size_t i = (hint + n) % comparisons.size();
            if (comparisons[i].Name == name) {
                hint = i + 1;
                return comparisons[i].Times;
            }
        }
        if (comparisons.size() >= kMaxStoredRuns) {
            CheckStoredRunCount(comparisons.size() + 1, parser.Line(at));
        }
        comparisons.push_back({std::string(name), std::vector<std::int32_t>(segmentCount, 0)});
        hint = comparisons.size();
        return comparisons.back().Times;
    };

    std::int64_t historyTimes = 0;
    std::size_t unreadable = 0;
    if (history != nullptr) {
        *history = history::HistoryImport{};
        history->Clock = gameTime ? history::TimeClock::Game : history::TimeClock::Real;
        history->SegmentHistory.resize(segmentCount);
    }
    route.Splits.reserve(segmentCount);
    std::size_t index = 0;
    for (const pugi::xml_node& segment : segments.children("Segment")) {
        RouteRow split;
        split.Name = segment.child("Name").text().get();
        if (const pugi::xml_node best = segment.child("BestSegmentTime")) {
            split.BestSegment = parser.ClockTime(best, gameTime);
        }
        DecodeIcon(segment.child("Icon"), index, &split, report);
        if (const pugi::xml_node personalBest = segment.child("PersonalBestSplitTime")) {
            timesOf(kPersonalBest, personalBest)[index] = parser.ClockTime(personalBest, gameTime);
        }
        for (const pugi::xml_node& splitTime : segment.child("SplitTimes").children("SplitTime")) {
            timesOf(splitTime.attribute("name").value(), splitTime)[index] =
                parser.ClockTime(splitTime, gameTime);
        }
        for (const pugi::xml_node& time : segment.child("SegmentHistory").children("Time")) {
            ++historyTimes;
            if (history == nullptr) {
                continue;
            }
            if (const std::optional<std::int32_t> id = EntryId(time)) {
                history->SegmentHistory[index].push_back({*id, parser.EntryTime(time, gameTime)});
            } else {
                ++unreadable;
            }
        }
        if (history != nullptr) {
            history->SplitNames.push_back(split.Name);
        }
        route.Splits.push_back(std::move(split));
        ++index;
    }

    // Personal Best last: it becomes the kept run.
    std::stable_partition(comparisons.begin(), comparisons.end(),
                          [](const Comparison& c) { return c.Name != kPersonalBest; });
    for (const Comparison& comparison : comparisons) {
        route.RunTitles.push_back(comparison.Name);
    }
    for (std::size_t s = 0; s < route.Splits.size(); ++s) {
        for (const Comparison& comparison : comparisons) {
            route.Splits[s].RunTimes.push_back(comparison.Times[s]);
        }
    }
    NormaliseRoute(&route);

    if (history != nullptr) {
        ReadAttempts(parser, run, gameTime, history, &unreadable);
        if (unreadable > 0) {
            report->Warn(GroupedNumber(static_cast<std::int64_t>(unreadable)) +
                         (unreadable == 1 ? " entry" : " entries") +
                         " of the history without a readable id left out");
        }
    } else {
        std::int64_t attempts = 0;
        for (const auto& [list, name] : kAttemptLists) {
            for ([[maybe_unused]] const pugi::xml_node& attempt : run.child(list).children(name)) {
                ++attempts;
            }
        }
        report->LeftBehind(attempts, "attempt of history", "attempts of history");
        report->LeftBehind(historyTimes, "segment time of history", "segment times of history");
    }
    if (!IsEmptyElement(run.child("GameIcon"))) {
        report->LeftBehind("the game icon");
    }
    if (!IsEmptyElement(run.child("Metadata"))) {
        report->LeftBehind("metadata");
    }
    if (!IsEmptyElement(run.child("LayoutPath"))) {
        report->LeftBehind("the layout path");
    }
    if (!IsEmptyElement(run.child("AutoSplitterSettings"))) {
        report->LeftBehind("auto-splitter settings");
    }
    return route;
}
