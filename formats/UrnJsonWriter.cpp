#include "UrnJsonWriter.h"

#include <nlohmann/json.hpp>

#include "ClockText.h"

std::string WriteUrnJson(const RouteData& route, ConvertReport* report) {
    using nlohmann::ordered_json;
    ordered_json root;
    root["title"] = route.Description;
    root["attempt_count"] = route.AttemptCount;
    if (route.StartOffset < 0) {
        root["start_delay"] = ShortClockText(-route.StartOffset);
    } else if (route.StartOffset > 0) {
        report->LeftBehind("the start offset of " + ShortClockText(route.StartOffset));
    }

    // Run indexes; the run count where there is none.
    const std::size_t none = route.RunTitles.size();
    const std::size_t kept = route.RunTitles.empty() ? none : none - 1;
    std::size_t bestTimes = none;
    std::int64_t otherRuns = 0;
    for (std::size_t i = 0; i + 1 < route.RunTitles.size(); ++i) {
        if (route.RunTitles[i] == "Best Times" && bestTimes == none) {
            bestTimes = i;
        } else {
            ++otherRuns;
        }
    }
    report->LeftBehind(otherRuns, "stored run", "stored runs");
    report->LeftBehind(static_cast<std::int64_t>(NoteCount(route)), "cell note", "cell notes");

    ordered_json splits = ordered_json::array();
    for (std::size_t s = 0; s < route.Splits.size(); ++s) {
        const RouteRow& split = route.Splits[s];
        ordered_json item;
        item["title"] = split.Name;
        if (!split.Picture.FileName.empty()) {
            item["icon"] = split.Picture.FileName;
        }
        const auto put = [&](const char* key, std::int32_t time) {
            if (time != 0) {
                item[key] = ShortClockText(time);
            }
        };
        if (kept < split.RunTimes.size()) {
            put("time", split.RunTimes[kept]);
        }
        if (bestTimes < split.RunTimes.size()) {
            put("best_time", split.RunTimes[bestTimes]);
        }
        put("best_segment", split.BestSegment);
        splits.push_back(std::move(item));
    }
    root["splits"] = std::move(splits);
    return root.dump(4, ' ', /*ensure_ascii=*/false, nlohmann::json::error_handler_t::replace) +
           "\n";
}
