#include "UrnJsonReader.h"

#include <nlohmann/json.hpp>

#include "ClockText.h"
#include "FormatLimits.h"

namespace {

using nlohmann::json;

std::string Where(std::size_t split) {
    return "split " + std::to_string(split + 1) + ": ";
}

// The time under key, 0 when the key is absent or null.
std::int32_t TimeOf(const json& object, const char* key, const std::string& where,
                    bool allowNegative) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        return 0;
    }
    if (!found->is_string()) {
        throw FormatError(0, where + "\"" + key + "\" is not time text");
    }
    std::int32_t value = 0;
    std::string fault;
    if (!ReadClockText(found->get_ref<const std::string&>(), &value, &fault)) {
        throw FormatError(0, where + "\"" + key + "\": " + fault);
    }
    if (value < 0 && !allowNegative) {
        throw FormatError(0, where + "\"" + key + "\" is negative");
    }
    return value;
}

std::string TextOf(const json& object, const char* key, const std::string& where) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        return "";
    }
    if (!found->is_string()) {
        throw FormatError(0, where + "\"" + key + "\" is not text");
    }
    return found->get<std::string>();
}

}  // namespace

RouteData ReadUrnJson(std::string_view text, ConvertReport* report) {
    CheckInputSize(text.size());
    // The parser keeps its own stack, but the finished value is freed recursively: nesting
    // is stopped here, while it is read.
    // Values are counted as they are read, so a file of many small values is stopped before
    // they take the memory.
    std::size_t values = 0;
    const json::parser_callback_t limitNesting = [&](int depth, json::parse_event_t event,
                                                     json&) -> bool {
        if (depth > kMaxNesting) {
            throw FormatError(0, "values nested deeper than " + std::to_string(kMaxNesting));
        }
        if (event == json::parse_event_t::value || event == json::parse_event_t::object_start ||
            event == json::parse_event_t::array_start) {
            CheckElementCount(++values, 0);
        }
        return true;
    };
    json root;
    try {
        root = json::parse(text.begin(), text.end(), limitNesting);
    } catch (const json::parse_error& error) {
        std::string what = error.what();
        const std::size_t bracket = what.find("] ");
        if (bracket != std::string::npos) {
            what.erase(0, bracket + 2);
        }
        throw FormatError(LineAt(text, error.byte == 0 ? 0 : error.byte - 1),
                          "malformed JSON: " + what);
    } catch (const json::exception& error) {
        // A number beyond what a double holds ("1e999999") is reported as out of range.
        std::string what = error.what();
        const std::size_t bracket = what.find("] ");
        throw FormatError(
            0, "malformed JSON: " + what.substr(bracket == std::string::npos ? 0 : bracket + 2));
    }
    if (!root.is_object()) {
        throw FormatError(0, "the file is not a JSON object");
    }
    const auto splits = root.find("splits");
    if (splits == root.end() || !splits->is_array()) {
        throw FormatError(0, "no \"splits\" list: not a JSON split file");
    }
    CheckSplitCount(splits->size(), 0);

    RouteData route;
    route.Description = TextOf(root, "title", "");
    if (const auto attempts = root.find("attempt_count"); attempts != root.end()) {
        if (!attempts->is_number_integer() && !attempts->is_number_unsigned()) {
            throw FormatError(0, "\"attempt_count\" is not a whole number");
        }
        const std::int64_t count = attempts->is_number_unsigned()
                                       ? static_cast<std::int64_t>(std::min<std::uint64_t>(
                                             attempts->get<std::uint64_t>(), 2147483647))
                                       : attempts->get<std::int64_t>();
        if (count < 0) {
            throw FormatError(0, "\"attempt_count\" is negative");
        }
        route.AttemptCount = static_cast<std::int32_t>(std::min<std::int64_t>(count, 2147483647));
    }
    const std::int32_t delay = TimeOf(root, "start_delay", "", /*allowNegative=*/true);
    route.StartOffset = delay == std::numeric_limits<std::int32_t>::min()
                            ? std::numeric_limits<std::int32_t>::max()
                            : -delay;

    std::vector<std::int32_t> bestTimes;
    std::vector<std::int32_t> personalBest;
    bool anyBestTime = false;
    bool anyTime = false;
    for (std::size_t i = 0; i < splits->size(); ++i) {
        const json& item = (*splits)[i];
        if (!item.is_object()) {
            throw FormatError(0, Where(i) + "not an object");
        }
        RouteRow split;
        split.Name = TextOf(item, "title", Where(i));
        split.BestSegment = TimeOf(item, "best_segment", Where(i), /*allowNegative=*/false);
        split.Picture.FileName = TextOf(item, "icon", Where(i));
        bestTimes.push_back(TimeOf(item, "best_time", Where(i), /*allowNegative=*/false));
        personalBest.push_back(TimeOf(item, "time", Where(i), /*allowNegative=*/false));
        anyBestTime = anyBestTime || bestTimes.back() != 0;
        anyTime = anyTime || personalBest.back() != 0;
        route.Splits.push_back(std::move(split));
    }
    if (anyBestTime) {
        route.RunTitles.emplace_back("Best Times");
    }
    if (anyTime || anyBestTime) {
        route.RunTitles.emplace_back("Personal Best");
    }
    for (std::size_t s = 0; s < route.Splits.size(); ++s) {
        if (anyBestTime) {
            route.Splits[s].RunTimes.push_back(bestTimes[s]);
        }
        if (anyTime || anyBestTime) {
            route.Splits[s].RunTimes.push_back(personalBest[s]);
        }
    }
    NormaliseRoute(&route);

    for (const auto& [key, value] : root.items()) {
        if (key != "title" && key != "attempt_count" && key != "start_delay" && key != "splits") {
            report->LeftBehind("\"" + key + "\"");
        }
    }
    return route;
}
