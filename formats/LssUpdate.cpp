#include "LssUpdate.h"

#include <pugixml.hpp>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "ClockText.h"
#include "DateText.h"
#include "IconImage.h"
#include "LssElements.h"
#include "LssReader.h"
#include "RouteAlignment.h"
#include "XmlRanges.h"

namespace {

using history::Attempt;
using history::EntryKind;
using history::SplitEntry;

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// "1.8.0" -> {1, 8}; nothing without a version.
std::optional<std::pair<int, int>> VersionOf(std::string_view text) {
    int parts[2] = {0, 0};
    std::size_t at = 0;
    for (int& part : parts) {
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 6) {
            part = part * 10 + (text[at++] - '0');
        }
        if (at == start) {
            return std::nullopt;
        }
        if (at < text.size() && text[at] == '.') {
            ++at;
        }
    }
    return std::pair{parts[0], parts[1]};
}

// A time read from an element's text; nothing for none, and an impossible value for text
// that is not a time, so that it never equals one.
constexpr std::int64_t kUnreadable = INT64_MIN;

std::optional<std::int64_t> TimeText(const pugi::xml_node& element) {
    if (!element) {
        return std::nullopt;
    }
    const std::string_view text = element.text().get();
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    std::string fault;
    return ReadClockText(text, &value, &fault) ? std::int64_t{value} : kUnreadable;
}

std::optional<std::int64_t> Widened(std::optional<std::int32_t> value) {
    return value ? std::optional<std::int64_t>(*value) : std::nullopt;
}

// A route time, 0 meaning none.
std::optional<std::int64_t> RouteTime(std::int32_t time) {
    return time != 0 ? std::optional<std::int64_t>(time) : std::nullopt;
}

std::optional<std::int32_t> IdOf(const pugi::xml_node& element) {
    return HistoryEntryId(element.attribute("id").value());
}

// An element's time on a clock as the reader takes it: its RealTime or GameTime child, or,
// in an element with neither, its own text as real time.
std::optional<std::int64_t> ClockValue(const pugi::xml_node& element, const char* clock) {
    if (element.child("RealTime") || element.child("GameTime")) {
        return TimeText(element.child(clock));
    }
    return std::string_view(clock) == "RealTime" ? TimeText(element) : std::nullopt;
}

// A route time, where none is 0.
std::int64_t RouteValue(const pugi::xml_node& element, const char* clock) {
    return ClockValue(element, clock).value_or(0);
}

// A count as the reader takes it: digits between blanks, held to 32 bits; -1 for another text.
std::int64_t CountValue(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \r\n");
    if (first == std::string_view::npos) {
        return 0;
    }
    text = text.substr(first, text.find_last_not_of(" \r\n") + 1 - first);
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = std::min<std::int64_t>(value * 10 + (c - '0'), INT32_MAX);
    }
    return value;
}

// Where a child of a time-holding element goes when it is added: the clocks first, then
// the paused time, then whatever else.
int Rank(std::string_view name) {
    if (name == "RealTime") {
        return 0;
    }
    if (name == "GameTime") {
        return 1;
    }
    return name == "PauseTime" ? 2 : 3;
}

constexpr const char* kBest = "Personal Best";

// A child of an element in the new text: a child of the base (its text as it was, or new
// text in its place) or a new one.
struct Piece {
    const XmlElement* Base = nullptr;  // the text before it in the base comes along with it
    std::optional<std::string> Text;   // nothing: the base child as it was
};

class Updater {
  public:
    Updater(std::string_view base, const RouteData& route, TimingMethod timing,
            const history::History* history, const std::vector<bool>& keepIcon,
            ConvertReport* report)
        : base_(base),
          ranges_(base),
          route_(route),
          clock_(ClockElement(ClockOf(timing))),
          history_(history),
          keepIcon_(keepIcon),
          report_(report) {
        const pugi::xml_parse_result parsed = document_.load_buffer(
            base.data(), base.size(), pugi::parse_default | pugi::parse_doctype);
        if (!parsed || ranges_.Empty()) {
            throw FormatError(0, "the file cannot be read as XML");
        }
        // Each parsed element is found by where its name begins.
        std::unordered_map<std::size_t, std::size_t> byOffset;
        for (std::size_t i = 0; i < ranges_.Elements().size(); ++i) {
            byOffset.emplace(ranges_.At(i).Begin + 1, i);
        }
        nodes_.resize(ranges_.Elements().size());
        std::vector<pugi::xml_node> pending{document_.document_element()};
        while (!pending.empty()) {
            const pugi::xml_node node = pending.back();
            pending.pop_back();
            const auto found = byOffset.find(static_cast<std::size_t>(node.offset_debug()));
            if (found == byOffset.end() || ranges_.At(found->second).Name != node.name()) {
                throw FormatError(0, "the file's elements cannot be told apart");
            }
            nodes_[found->second] = node;
            for (const pugi::xml_node& child : node.children()) {
                if (child.type() == pugi::node_element) {
                    pending.push_back(child);
                }
            }
        }
        newline_ = base.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
        const XmlElement& run = ranges_.At(0);
        if (!run.Children.empty() && !ranges_.Indent(ranges_.At(run.Children[0])).empty()) {
            unit_ = std::string(ranges_.Indent(ranges_.At(run.Children[0])));
        }
    }

    std::string Run() {
        const XmlElement& run = ranges_.At(0);
        if (history_ != nullptr) {
            PlanIds();
        }
        std::vector<Piece> pieces;
        const XmlElement* segments = ranges_.Child(run, "Segments");
        // What the file lacks and the route holds goes before the segments.
        const auto addMissing = [&] {
            if (!ranges_.Child(run, "Offset") && route_.StartOffset != 0) {
                pieces.push_back(
                    {nullptr, NewElement("Offset", LongClockText(route_.StartOffset))});
            }
            if (!ranges_.Child(run, "AttemptCount") && route_.AttemptCount != 0) {
                pieces.push_back(
                    {nullptr, NewElement("AttemptCount", std::to_string(route_.AttemptCount))});
            }
            if (!ranges_.Child(run, "AttemptHistory") && history_ != nullptr &&
                !ListedAttempts(*history_, ids_).empty()) {
                pieces.push_back({nullptr, NewAttemptHistory(run)});
            }
        };
        const auto [game, category] = DescriptionParts();
        for (const std::size_t index : run.Children) {
            const XmlElement& child = ranges_.At(index);
            const pugi::xml_node node = nodes_[index];
            const bool first = ranges_.Child(run, child.Name) == &child;  // the one read
            Piece piece{&child, std::nullopt};
            if (!first) {
            } else if (child.Name == "GameName" && game) {
                piece.Text = WithText(child, *game);
            } else if (child.Name == "CategoryName" && category) {
                piece.Text = WithText(child, *category);
            } else if (child.Name == "Offset") {
                if (TimeText(node).value_or(0) != route_.StartOffset) {
                    piece.Text = WithText(child, LongClockText(route_.StartOffset));
                }
            } else if (child.Name == "AttemptCount") {
                if (CountValue(node.text().get()) != route_.AttemptCount) {
                    piece.Text = WithText(child, std::to_string(route_.AttemptCount));
                }
            } else if (child.Name == "AttemptHistory" && history_ != nullptr) {
                piece.Text = Attempts(child);
            } else if (&child == segments) {
                addMissing();
                piece.Text = Segments(child);
            }
            if (piece.Text == ranges_.Whole(child)) {
                piece.Text.reset();
            }
            pieces.push_back(std::move(piece));
        }
        std::string text(base_.substr(0, run.Begin));
        text += Rebuilt(run, pieces);
        text += base_.substr(run.End);
        report_->LeftBehind(static_cast<std::int64_t>(NoteCount(route_)), "cell note",
                            "cell notes");
        return text;
    }

  private:
    // ---- Text ----

    // "\n" as the base writes its line breaks.
    std::string Lines(std::string text) const {
        if (newline_ == "\n") {
            return text;
        }
        std::string out;
        for (const char c : text) {
            out += c == '\n' ? newline_ : std::string(1, c);
        }
        return out;
    }

    int Depth(const XmlElement& element) const {
        int depth = 0;
        for (const XmlElement* at = &element; &ranges_.At(at->Parent) != at;
             at = &ranges_.At(at->Parent)) {
            ++depth;
        }
        return depth;
    }

    // A new element printed at depth, in the base's own indentation and line breaks.
    std::string Printed(const pugi::xml_node& node, int depth) const {
        return Lines(ElementText(node, depth, unit_));
    }

    std::string NewElement(const char* name, const std::string& text) {
        pugi::xml_document scratch;
        scratch.append_child(name).text().set(text.c_str());
        return Printed(scratch.first_child(), 1);
    }

    // The opening tag written as one that has content: "<Icon />" -> "<Icon>".
    std::string Opened(const XmlElement& element) const {
        std::string tag(ranges_.OpeningTag(element));
        if (element.SelfClosing) {
            tag.erase(tag.size() - 2);
            while (!tag.empty() && (tag.back() == ' ' || tag.back() == '\t' || tag.back() == '\n' ||
                                    tag.back() == '\r')) {
                tag.pop_back();
            }
            tag += '>';
        }
        return tag;
    }

    std::string Closing(const XmlElement& element) const {
        return element.SelfClosing ? "</" + std::string(element.Name) + ">"
                                   : std::string(base_.substr(element.CloseBegin,
                                                              element.End - element.CloseBegin));
    }

    // The element with no content: "<Icon>iVBOR...</Icon>" -> "<Icon />".
    std::string Emptied(const XmlElement& element) const {
        std::string tag = Opened(element);
        tag.pop_back();
        return tag + " />";
    }

    // The element with text as its only content, its attributes kept.
    std::string WithText(const XmlElement& element, const std::string& text) const {
        return Opened(element) + Escaped(text) + Closing(element);
    }

    // The text a new child is put after: as the element's first child has it, or a line
    // break and one more level than the element.
    std::string LeadOfNewChild(const XmlElement& element) const {
        if (!element.Children.empty()) {
            const std::string_view before = ranges_.Before(ranges_.At(element.Children[0]));
            if (before.find_first_not_of(" \t\r\n") == std::string_view::npos) {
                return std::string(before);
            }
            return "";
        }
        if (ranges_.Indent(element).empty() && element.Begin > 0 &&
            base_[element.Begin - 1] != '\n') {
            return "";
        }
        return newline_ + std::string(ranges_.Indent(element)) + unit_;
    }

    // The element with its children replaced by pieces, everything else of it as it was.
    std::string Rebuilt(const XmlElement& element, const std::vector<Piece>& pieces) const {
        bool same = pieces.size() == element.Children.size();
        for (std::size_t i = 0; same && i < pieces.size(); ++i) {
            same = !pieces[i].Text && pieces[i].Base == &ranges_.At(element.Children[i]);
        }
        if (same) {
            return std::string(ranges_.Whole(element));
        }
        const std::string lead = LeadOfNewChild(element);
        std::string content;
        for (const Piece& piece : pieces) {
            content += piece.Base != nullptr ? std::string(ranges_.Before(*piece.Base)) : lead;
            content += piece.Text ? *piece.Text : std::string(ranges_.Whole(*piece.Base));
        }
        std::string trailing;
        if (!element.Children.empty()) {
            const std::size_t last = ranges_.At(element.Children.back()).End;
            trailing = base_.substr(last, element.CloseBegin - last);
        } else if (!lead.empty()) {
            trailing = newline_ + std::string(ranges_.Indent(element));
        }
        if (pieces.empty() && trailing.find_first_not_of(" \t\r\n") == std::string::npos) {
            return Emptied(element);
        }
        return Opened(element) + content + trailing + Closing(element);
    }

    // One child of a time-holding element set: the clock's name and its time, or nothing
    // for no such child.
    struct TimeSet {
        const char* Child;
        std::optional<std::int64_t> Time;
    };

    // The element with the first child of each set's name holding its time (or removed for
    // none), and one added where there is none; its other children as they were.
    std::string WithTimes(const XmlElement& element, const std::vector<TimeSet>& sets) const {
        std::vector<Piece> pieces;
        std::vector<bool> done(sets.size(), false);
        for (const std::size_t index : element.Children) {
            const XmlElement& child = ranges_.At(index);
            std::size_t set = 0;
            while (set < sets.size() && (done[set] || child.Name != sets[set].Child)) {
                ++set;
            }
            if (set == sets.size()) {
                pieces.push_back({&child, std::nullopt});
            } else if (done[set] = true; sets[set].Time) {
                pieces.push_back(
                    {&child,
                     WithText(child, LongClockText(static_cast<std::int32_t>(*sets[set].Time)))});
            }
        }
        for (std::size_t set = 0; set < sets.size(); ++set) {
            if (done[set] || !sets[set].Time) {
                continue;
            }
            const int rank = Rank(sets[set].Child);
            auto at = std::find_if(pieces.begin(), pieces.end(), [&](const Piece& piece) {
                return piece.Base != nullptr && Rank(piece.Base->Name) > rank;
            });
            pieces.insert(at, {nullptr, TimeElement(sets[set].Child, *sets[set].Time)});
        }
        return Rebuilt(element, pieces);
    }

    std::string TimeElement(const char* clock, std::int64_t time) const {
        return std::string("<") + clock + ">" + LongClockText(static_cast<std::int32_t>(time)) +
               "</" + clock + ">";
    }

    // ---- The description ----

    std::pair<std::optional<std::string>, std::optional<std::string>> DescriptionParts() const {
        const pugi::xml_node run = nodes_[0];
        const std::string game = run.child("GameName").text().get();
        const std::string category = run.child("CategoryName").text().get();
        const std::string now =
            game.empty() || category.empty() ? game + category : game + " - " + category;
        if (now == route_.Description) {
            return {};
        }
        const std::size_t cut = route_.Description.find(" - ");
        return {route_.Description.substr(0, cut),
                cut == std::string::npos ? std::string() : route_.Description.substr(cut + 3)};
    }

    // ---- The history ----

    // The ids Quorvel's attempts are written under: an attempt the file holds under the same
    // id with another start or end date is another attempt, and gets a new id.
    void PlanIds() {
        ids_ = ExportIds(*history_);
        std::int64_t top = 0;
        using Dates = std::pair<std::optional<std::int64_t>, std::optional<std::int64_t>>;
        std::unordered_map<std::int32_t, Dates> dates;
        const auto note = [&](const pugi::xml_node& list, const char* child) {
            for (const pugi::xml_node& entry : list.children(child)) {
                if (const auto id = IdOf(entry)) {
                    top = std::max<std::int64_t>(top, *id);
                    if (std::string_view(child) == "Attempt") {
                        dates.emplace(*id,
                                      Dates{ReadUtcDateText(entry.attribute("started").value()),
                                            ReadUtcDateText(entry.attribute("ended").value())});
                    }
                }
            }
        };
        note(nodes_[0].child("AttemptHistory"), "Attempt");
        for (const pugi::xml_node& segment : nodes_[0].child("Segments").children("Segment")) {
            note(segment.child("SegmentHistory"), "Time");
        }
        for (const std::int32_t id : ids_) {
            top = std::max<std::int64_t>(top, id);
        }
        for (std::size_t a = 0; a < history_->Attempts.size(); ++a) {
            const Attempt& attempt = history_->Attempts[a];
            const auto theirs = dates.find(ids_[a]);
            const auto differ = [](const std::optional<std::int64_t>& theirDate,
                                   const std::optional<std::int64_t>& ourDate) {
                return theirDate && ourDate && *theirDate != *ourDate;
            };
            if (history::IsListed(attempt) && theirs != dates.end() &&
                (differ(theirs->second.first, attempt.StartedUtc) ||
                 differ(theirs->second.second, attempt.EndedUtc)) &&
                top < INT32_MAX) {
                ids_[a] = static_cast<std::int32_t>(++top);
            }
        }
        for (std::size_t a = 0; a < ids_.size(); ++a) {
            ours_.emplace(ids_[a], a);
        }
    }

    std::string NewAttemptHistory(const XmlElement& run) {
        pugi::xml_document scratch;
        pugi::xml_node list = scratch.append_child("AttemptHistory");
        for (const auto& [id, attempt] : ListedAttempts(*history_, ids_)) {
            AppendAttempt(list, id, history_->Attempts[attempt]);
        }
        return Printed(list, Depth(run) + 1);
    }

    std::string NewAttempt(std::int32_t id, const Attempt& attempt, int depth) const {
        pugi::xml_document scratch;
        pugi::xml_node list = scratch.append_child("AttemptHistory");
        AppendAttempt(list, id, attempt);
        return Printed(list.first_child(), depth);
    }

    std::string NewSegmentTime(std::int32_t id, const Attempt& attempt, std::size_t split,
                               int depth) const {
        pugi::xml_document scratch;
        pugi::xml_node list = scratch.append_child("SegmentHistory");
        AppendSegmentTime(list, id, attempt, split);
        return Printed(list.first_child(), depth);
    }

    // A base attempt brought to what Quorvel holds of it: its times. Its dates are the same
    // (PlanIds gives an attempt with other dates a new id), or ones Quorvel could not read.
    std::string UpdatedAttempt(const XmlElement& element, const Attempt& attempt) const {
        const pugi::xml_node node = NodeOf(element);
        const char* clock = ClockElement(attempt.Clock);
        const std::optional<std::int64_t> time =
            attempt.End == history::Ending::Finished ? Widened(attempt.FinalTime) : std::nullopt;
        std::vector<TimeSet> sets;
        if (ClockValue(node, clock) != time) {
            sets.push_back({clock, time});
        }
        if (TimeText(node.child("PauseTime")) != Widened(attempt.PauseTime)) {
            sets.push_back({"PauseTime", Widened(attempt.PauseTime)});
        }
        return sets.empty() ? std::string(ranges_.Whole(element)) : WithTimes(element, sets);
    }

    std::string Attempts(const XmlElement& list) {
        std::vector<Piece> pieces;
        // Attempts the older list (RunHistory) holds stay there.
        std::unordered_set<std::int32_t> placed;
        for (const pugi::xml_node& entry : nodes_[0].child("RunHistory").children("Time")) {
            if (const auto id = IdOf(entry)) {
                placed.insert(*id);
            }
        }
        const int depth = Depth(list) + 1;
        for (const std::size_t index : list.Children) {
            const XmlElement& child = ranges_.At(index);
            const std::optional<std::int32_t> id =
                child.Name == "Attempt" ? IdOf(nodes_[index]) : std::nullopt;
            const auto found = id ? ours_.find(*id) : ours_.end();
            if (found == ours_.end() || !history::IsListed(history_->Attempts[found->second]) ||
                !placed.insert(*id).second) {
                pieces.push_back({&child, std::nullopt});  // not an attempt Quorvel holds
                continue;
            }
            std::string text = UpdatedAttempt(child, history_->Attempts[found->second]);
            pieces.push_back({&child, text == ranges_.Whole(child)
                                          ? std::nullopt
                                          : std::optional(std::move(text))});
        }
        for (const auto& [id, attempt] : ListedAttempts(*history_, ids_)) {
            if (!placed.contains(id)) {
                pieces.push_back({nullptr, NewAttempt(id, history_->Attempts[attempt], depth)});
            }
        }
        return Rebuilt(list, pieces);
    }

    std::string SegmentTimes(const XmlElement& list, std::size_t split) {
        std::vector<Piece> pieces;
        std::unordered_set<std::int32_t> placed;
        const int depth = Depth(list) + 1;
        for (const std::size_t index : list.Children) {
            const XmlElement& child = ranges_.At(index);
            const std::optional<std::int32_t> id =
                child.Name == "Time" ? IdOf(nodes_[index]) : std::nullopt;
            const auto found = id ? ours_.find(*id) : ours_.end();
            if (found == ours_.end() || !placed.insert(*id).second) {
                pieces.push_back({&child, std::nullopt});  // not a time Quorvel holds
                continue;
            }
            const Attempt& attempt = history_->Attempts[found->second];
            const SplitEntry entry = history::EntryAt(attempt, split);
            if (entry.Kind == EntryKind::NotReached) {
                continue;  // Quorvel's attempt has no time here: the route was edited
            }
            const char* clock = ClockElement(attempt.Clock);
            const std::optional<std::int64_t> time =
                entry.Kind == EntryKind::Timed ? std::optional<std::int64_t>(entry.Segment)
                                               : std::nullopt;
            if (ClockValue(nodes_[index], clock) == time) {
                pieces.push_back({&child, std::nullopt});
            } else {
                pieces.push_back({&child, WithTimes(child, {{clock, time}})});
            }
        }
        for (const auto& [id, attempt] : EntriesOfSplit(*history_, ids_, split)) {
            if (!placed.contains(id)) {
                pieces.push_back(
                    {nullptr, NewSegmentTime(id, history_->Attempts[attempt], split, depth)});
            }
        }
        return Rebuilt(list, pieces);
    }

    // ---- Segments ----

    std::string Segments(const XmlElement& list) {
        std::vector<const XmlElement*> base = ranges_.Children(list, "Segment");
        std::vector<std::string> baseNames, names;
        for (const XmlElement* segment : base) {
            baseNames.push_back(NodeOf(*segment).child("Name").text().get());
        }
        for (const RouteRow& row : route_.Splits) {
            names.push_back(row.Name);
        }
        const history::Realignment alignment = history::AlignByNames(baseNames, {}, names);
        comparisons_ = ComparisonNames(route_, report_);
        std::vector<bool> used(base.size(), false);
        std::vector<Piece> pieces;
        for (std::size_t k = 0; k < route_.Splits.size(); ++k) {
            const auto& source = alignment.Source[k];
            if (source && *source < base.size()) {
                used[*source] = true;
                std::string text = Segment(*base[*source], k);
                pieces.push_back({base[*source], text == ranges_.Whole(*base[*source])
                                                     ? std::nullopt
                                                     : std::optional(std::move(text))});
            } else {
                pieces.push_back({nullptr, NewSegment(k, Depth(list) + 1)});
            }
        }
        // Whatever else the list holds stays where it was, after the segments.
        for (const std::size_t index : list.Children) {
            const XmlElement& child = ranges_.At(index);
            if (child.Name != "Segment") {
                pieces.push_back({&child, std::nullopt});
            }
        }
        for (std::size_t i = 0; i < base.size(); ++i) {
            if (!used[i]) {
                report_->Warn("the segment \"" + baseNames[i] +
                              "\" is left out: the route no longer has it");
            }
        }
        return Rebuilt(list, pieces);
    }

    std::string NewSegment(std::size_t split, int depth) {
        pugi::xml_document scratch;
        pugi::xml_node list = scratch.append_child("Segments");
        AppendSegment(list, route_, split, comparisons_, clock_, history_, ids_);
        return Printed(list.first_child(), depth);
    }

    const pugi::xml_node& NodeOf(const XmlElement& element) const {
        return nodes_[static_cast<std::size_t>(&element - &ranges_.At(0))];
    }

    std::string Segment(const XmlElement& segment, std::size_t split) {
        const RouteRow& row = route_.Splits[split];
        // The personal best of the first versions stands in for a SplitTime of that name.
        const XmlElement* times = ranges_.Child(segment, "SplitTimes");
        bool bestInList = false;
        if (times != nullptr) {
            for (const XmlElement* time : ranges_.Children(*times, "SplitTime")) {
                bestInList |= NodeOf(*time).attribute("name").value() == std::string_view(kBest);
            }
        }
        const auto best = std::find_if(comparisons_.begin(), comparisons_.end(),
                                       [](const WrittenComparison& c) { return c.Name == kBest; });
        bestElsewhere_ = !bestInList && ranges_.Child(segment, "PersonalBestSplitTime") != nullptr;
        std::vector<Piece> pieces;
        for (const std::size_t index : segment.Children) {
            const XmlElement& child = ranges_.At(index);
            const pugi::xml_node node = nodes_[index];
            Piece piece{&child, std::nullopt};
            if (ranges_.Child(segment, child.Name) != &child) {
                // a second one of a name: the reader takes the first
            } else if (child.Name == "Name" && node.text().get() != row.Name) {
                piece.Text = WithText(child, row.Name);
            } else if (child.Name == "Icon") {
                piece.Text = Icon(child, split);
            } else if (child.Name == "SplitTimes") {
                piece.Text = SplitTimes(child, row);
            } else if (child.Name == "PersonalBestSplitTime" && !bestInList &&
                       best != comparisons_.end()) {
                const std::int32_t time =
                    best->Run < row.RunTimes.size() ? row.RunTimes[best->Run] : 0;
                if (RouteValue(node, clock_) != time) {
                    piece.Text = WithTimes(child, {{clock_, RouteTime(time)}});
                }
            } else if (child.Name == "BestSegmentTime") {
                if (RouteValue(node, clock_) != row.BestSegment) {
                    piece.Text = WithTimes(child, {{clock_, RouteTime(row.BestSegment)}});
                }
            } else if (child.Name == "SegmentHistory" && history_ != nullptr) {
                piece.Text = SegmentTimes(child, split);
            }
            if (piece.Text == ranges_.Whole(child)) {
                piece.Text.reset();
            }
            pieces.push_back(std::move(piece));
        }
        // What the segment lacks and the route holds is added at its end.
        bool anyRunTime = false;
        for (const WrittenComparison& c : comparisons_) {
            anyRunTime |= c.Run < row.RunTimes.size() && row.RunTimes[c.Run] != 0 &&
                          !(bestElsewhere_ && c.Name == kBest);
        }
        const bool addTimes = times == nullptr && anyRunTime;
        const bool addBest = !ranges_.Child(segment, "BestSegmentTime") && row.BestSegment != 0;
        const bool addHistory = !ranges_.Child(segment, "SegmentHistory") && history_ != nullptr &&
                                !EntriesOfSplit(*history_, ids_, split).empty();
        if (!addTimes && !addBest && !addHistory) {
            return Rebuilt(segment, pieces);
        }
        pugi::xml_document scratch;
        pugi::xml_node made = scratch.append_child("Segments");
        AppendSegment(made, route_, split, comparisons_, clock_, history_, ids_);
        const int depth = Depth(segment) + 1;
        const pugi::xml_node whole = made.first_child();
        if (addTimes) {
            pugi::xml_node list = whole.child("SplitTimes");
            if (bestElsewhere_) {
                list.remove_child(list.find_child_by_attribute("SplitTime", "name", kBest));
            }
            pieces.push_back({nullptr, Printed(list, depth)});
        }
        if (addBest) {
            pieces.push_back({nullptr, Printed(whole.child("BestSegmentTime"), depth)});
        }
        if (addHistory) {
            pieces.push_back({nullptr, Printed(whole.child("SegmentHistory"), depth)});
        }
        return Rebuilt(segment, pieces);
    }

    std::optional<std::string> Icon(const XmlElement& icon, std::size_t split) const {
        const std::string& ours = route_.Splits[split].Picture.Bytes;
        const std::string_view text = NodeOf(icon).text().get();
        std::optional<std::string> theirs = std::string();
        if (text.find_first_not_of(" \t\r\n") != std::string_view::npos) {
            bool ok = false;
            std::optional<SplitPicture> image = FindImage(DecodeBase64(text, &ok));
            theirs = ok && image ? std::optional(std::move(image->Bytes)) : std::nullopt;
        }
        // An icon Quorvel could not read, or whose picture it could not take along, stays.
        if (ours == theirs ||
            (ours.empty() && (!theirs || (split < keepIcon_.size() && keepIcon_[split])))) {
            return std::nullopt;
        }
        if (ours.empty()) {
            return Emptied(icon);
        }
        return Opened(icon) + EncodeBase64(ours) + Closing(icon);
    }

    // The stored runs' times of one split. Of two SplitTimes of one name the reader takes
    // the last; a comparison the list lacks is added when it has a time here.
    std::string SplitTimes(const XmlElement& list, const RouteRow& row) {
        const auto timeOf = [&](const WrittenComparison& c) {
            return c.Run < row.RunTimes.size() ? row.RunTimes[c.Run] : 0;
        };
        std::unordered_map<std::string, std::size_t> last;  // name -> index of its last one
        for (const XmlElement* time : ranges_.Children(list, "SplitTime")) {
            last[NodeOf(*time).attribute("name").value()] =
                static_cast<std::size_t>(time - &ranges_.At(0));
        }
        std::vector<Piece> pieces;
        for (const std::size_t index : list.Children) {
            const XmlElement& child = ranges_.At(index);
            const std::string name = nodes_[index].attribute("name").value();
            const auto found =
                std::find_if(comparisons_.begin(), comparisons_.end(),
                             [&](const WrittenComparison& c) { return c.Name == name; });
            if (child.Name != "SplitTime" || found == comparisons_.end() || last[name] != index ||
                RouteValue(nodes_[index], clock_) == timeOf(*found)) {
                pieces.push_back({&child, std::nullopt});  // as it is, or not Quorvel's
            } else {
                pieces.push_back({&child, WithTimes(child, {{clock_, RouteTime(timeOf(*found))}})});
            }
        }
        const int depth = Depth(list) + 1;
        for (const WrittenComparison& comparison : comparisons_) {
            if (!last.contains(comparison.Name) && timeOf(comparison) != 0 &&
                !(bestElsewhere_ && comparison.Name == kBest)) {
                pugi::xml_document scratch;
                pugi::xml_node time = scratch.append_child("SplitTime");
                time.append_attribute("name") = comparison.Name.c_str();
                AddTime(time, clock_, timeOf(comparison));
                pieces.push_back({nullptr, Printed(time, depth)});
            }
        }
        return Rebuilt(list, pieces);
    }

    std::string_view base_;
    XmlRanges ranges_;
    pugi::xml_document document_;
    std::vector<pugi::xml_node> nodes_;
    const RouteData& route_;
    const char* clock_;
    const history::History* history_;
    const std::vector<bool>& keepIcon_;
    ConvertReport* report_;
    std::string newline_ = "\n";
    std::string unit_ = "  ";
    std::vector<std::int32_t> ids_;
    std::unordered_map<std::int32_t, std::size_t> ours_;  // export id -> attempt index
    std::vector<WrittenComparison> comparisons_;
    bool bestElsewhere_ = false;  // the segment's personal best is a PersonalBestSplitTime
};

}  // namespace

std::string VersionRefusal(std::string_view base) {
    // The version attribute of the first Run tag.
    std::string_view version;
    std::size_t at = base.find("<Run");
    while (at != std::string_view::npos && at + 4 < base.size() && base[at + 4] != ' ' &&
           base[at + 4] != '>' && base[at + 4] != '\t' && base[at + 4] != '\r' &&
           base[at + 4] != '\n') {
        at = base.find("<Run", at + 4);
    }
    if (at != std::string_view::npos) {
        const std::string_view tag = base.substr(at, base.find('>', at) - at);
        for (const char* quoted : {"version=\"", "version='"}) {
            if (const std::size_t found = tag.find(quoted); found != std::string_view::npos) {
                const std::size_t start = found + 9;
                version = tag.substr(start, tag.find(quoted[8], start) - start);
            }
        }
    }
    const auto parts = VersionOf(version);
    if (!parts || *parts < std::pair{1, 6}) {
        return "it is of version " +
               (version.empty() ? std::string("1.3 or older")
                                : std::string(version.substr(0, 12))) +
               "; only files of version 1.6 and later are updated";
    }
    return "";
}

std::string UpdateRefusal(std::string_view base) {
    try {
        ConvertReport ignored;
        ReadLss(base, TimingMethod::RealTime, &ignored);
        // The parser stops at a NUL byte; the update must follow every byte to keep them.
        const XmlRanges whole(base);
    } catch (const FormatError& error) {
        return (error.Line > 0 ? "line " + std::to_string(error.Line) + ": " : std::string()) +
               error.what();
    }
    return VersionRefusal(base);
}

std::string UpdateLss(std::string_view base, const RouteData& route, TimingMethod timing,
                      const history::History* history, const std::vector<bool>& keepIcon,
                      ConvertReport* report) {
    if (const std::string refusal = UpdateRefusal(base); !refusal.empty()) {
        throw FormatError(0, refusal);
    }
    return Updater(base, route, timing, history, keepIcon, report).Run();
}
