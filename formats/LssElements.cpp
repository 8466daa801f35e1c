#include "LssElements.h"

#include <algorithm>
#include <unordered_set>

#include "ClockText.h"
#include "DateText.h"
#include "IconImage.h"

namespace {

class StringWriter : public pugi::xml_writer {
  public:
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
    std::string text;
};

}  // namespace

const char* ClockElement(history::TimeClock clock) {
    return clock == history::TimeClock::Game ? "GameTime" : "RealTime";
}

history::TimeClock ClockOf(TimingMethod timing) {
    return timing == TimingMethod::GameTime ? history::TimeClock::Game : history::TimeClock::Real;
}

void AddTime(pugi::xml_node parent, const char* clock, std::int32_t time) {
    parent.append_child(clock).text().set(LongClockText(time).c_str());
}

std::vector<WrittenComparison> ComparisonNames(const RouteData& route, ConvertReport* report) {
    const std::vector<std::string>& titles = route.RunTitles;
    std::vector<WrittenComparison> names;
    if (titles.empty()) {
        return names;
    }
    std::vector<std::size_t> order{titles.size() - 1};
    for (std::size_t i = 0; i + 1 < titles.size(); ++i) {
        order.push_back(i);
    }
    if (titles.back() != "Personal Best") {
        report->Warn("the kept run \"" + titles.back() + "\" is written as \"Personal Best\"");
    }
    const auto taken = [&](const std::string& name) {
        return std::any_of(names.begin(), names.end(),
                           [&](const WrittenComparison& c) { return c.Name == name; });
    };
    for (std::size_t c = 0; c < order.size(); ++c) {
        const std::string& title = titles[order[c]];
        std::string name = c == 0 ? "Personal Best" : title;
        for (int n = 2; taken(name); ++n) {
            name = title + " (" + std::to_string(n) + ")";
        }
        if (c > 0 && name != title) {
            report->Warn("the stored run \"" + title + "\" is written as \"" + name + "\"");
        }
        names.push_back({order[c], std::move(name)});
    }
    return names;
}

std::vector<std::int32_t> ExportIds(const history::History& history) {
    std::int64_t next = 0;
    for (const history::Attempt& attempt : history.Attempts) {
        next = std::max<std::int64_t>(next, attempt.Number);
    }
    std::vector<std::int32_t> ids;
    ids.reserve(history.Attempts.size());
    std::unordered_set<std::int32_t> used;
    for (const history::Attempt& attempt : history.Attempts) {
        std::int32_t id = attempt.Number;
        if (used.contains(id)) {
            // Past the top of the id range there is no free number above: below every id.
            id = next < INT32_MAX ? static_cast<std::int32_t>(++next) : INT32_MIN;
            while (used.contains(id)) {
                ++id;
            }
        }
        used.insert(id);
        ids.push_back(id);
    }
    return ids;
}

std::vector<std::pair<std::int32_t, std::size_t>> EntriesOfSplit(
    const history::History& history, const std::vector<std::int32_t>& ids, std::size_t split) {
    std::vector<std::pair<std::int32_t, std::size_t>> entries;
    for (std::size_t a = 0; a < history.Attempts.size(); ++a) {
        if (history::EntryAt(history.Attempts[a], split).Kind != history::EntryKind::NotReached) {
            entries.emplace_back(ids[a], a);
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::vector<std::pair<std::int32_t, std::size_t>> ListedAttempts(
    const history::History& history, const std::vector<std::int32_t>& ids) {
    std::vector<std::pair<std::int32_t, std::size_t>> listed;
    for (std::size_t a = 0; a < history.Attempts.size(); ++a) {
        if (history::IsListed(history.Attempts[a])) {
            listed.emplace_back(ids[a], a);
        }
    }
    std::sort(listed.begin(), listed.end());
    return listed;
}

void AppendAttempt(pugi::xml_node list, std::int32_t id, const history::Attempt& attempt) {
    pugi::xml_node element = list.append_child("Attempt");
    element.append_attribute("id") = id;
    if (attempt.StartedUtc) {
        element.append_attribute("started") = UtcDateText(*attempt.StartedUtc).c_str();
        element.append_attribute("isStartedSynced") = "True";
    }
    if (attempt.EndedUtc) {
        element.append_attribute("ended") = UtcDateText(*attempt.EndedUtc).c_str();
        element.append_attribute("isEndedSynced") = "True";
    }
    if (attempt.End == history::Ending::Finished && attempt.FinalTime) {
        AddTime(element, ClockElement(attempt.Clock), *attempt.FinalTime);
    }
    if (attempt.PauseTime) {
        AddTime(element, "PauseTime", *attempt.PauseTime);
    }
}

void AppendSegmentTime(pugi::xml_node list, std::int32_t id, const history::Attempt& attempt,
                       std::size_t split) {
    pugi::xml_node element = list.append_child("Time");
    element.append_attribute("id") = id;
    const history::SplitEntry entry = history::EntryAt(attempt, split);
    if (entry.Kind == history::EntryKind::Timed) {
        AddTime(element, ClockElement(attempt.Clock), entry.Segment);
    }
}

void AppendSegment(pugi::xml_node segments, const RouteData& route, std::size_t split,
                   const std::vector<WrittenComparison>& comparisons, const char* clock,
                   const history::History* history, const std::vector<std::int32_t>& ids) {
    const RouteRow& row = route.Splits[split];
    pugi::xml_node segment = segments.append_child("Segment");
    segment.append_child("Name").text().set(row.Name.c_str());
    pugi::xml_node icon = segment.append_child("Icon");
    if (!row.Picture.Bytes.empty()) {
        icon.text().set(EncodeBase64(row.Picture.Bytes).c_str());
    }
    pugi::xml_node splitTimes = segment.append_child("SplitTimes");
    for (const WrittenComparison& comparison : comparisons) {
        pugi::xml_node splitTime = splitTimes.append_child("SplitTime");
        splitTime.append_attribute("name") = comparison.Name.c_str();
        const std::int32_t time =
            comparison.Run < row.RunTimes.size() ? row.RunTimes[comparison.Run] : 0;
        if (time != 0) {
            AddTime(splitTime, clock, time);
        }
    }
    pugi::xml_node best = segment.append_child("BestSegmentTime");
    if (row.BestSegment != 0) {
        AddTime(best, clock, row.BestSegment);
    }
    pugi::xml_node times = segment.append_child("SegmentHistory");
    if (history != nullptr) {
        for (const auto& [id, attempt] : EntriesOfSplit(*history, ids, split)) {
            AppendSegmentTime(times, id, history->Attempts[attempt], split);
        }
    }
}

std::string ElementText(const pugi::xml_node& node, int depth, const std::string& indent) {
    StringWriter writer;
    node.print(writer, indent.c_str(), pugi::format_default, pugi::encoding_utf8,
               static_cast<unsigned int>(std::max(depth, 0)));
    std::string& text = writer.text;
    text.erase(0, text.find_first_not_of(" \t"));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return std::move(text);
}
