#include "UrnJsonWriter.h"

#include <nlohmann/json.hpp>

#include "ClockText.h"

std::string WriteUrnJson(const Route& route, ConvertReport* report) {
    using nlohmann::ordered_json;
    ordered_json root;
    root["title"] = route.Description;
    root["attempt_count"] = route.AttemptCount;
    if (route.Offset < 0) {
        root["start_delay"] = ShortClockText(-route.Offset);
    } else if (route.Offset > 0) {
        report->LeftBehind("the start offset of " + ShortClockText(route.Offset));
    }

    const RouteComparison* kept = route.Comparisons.empty() ? nullptr : &route.Comparisons.back();
    const RouteComparison* bestTimes = nullptr;
    std::int64_t otherRuns = 0;
    for (std::size_t i = 0; i + 1 < route.Comparisons.size(); ++i) {
        if (route.Comparisons[i].Name == "Best Times" && bestTimes == nullptr) {
            bestTimes = &route.Comparisons[i];
        } else {
            ++otherRuns;
        }
    }
    report->LeftBehind(otherRuns, "stored run", "stored runs");

    ordered_json splits = ordered_json::array();
    for (std::size_t s = 0; s < route.Splits.size(); ++s) {
        const RouteSplit& split = route.Splits[s];
        ordered_json item;
        item["title"] = split.Name;
        if (!split.Icon.FileName.empty()) {
            item["icon"] = split.Icon.FileName;
        }
        const auto put = [&](const char* key, std::int32_t time) {
            if (time != 0) {
                item[key] = ShortClockText(time);
            }
        };
        if (kept != nullptr && s < kept->Times.size()) {
            put("time", kept->Times[s]);
        }
        if (bestTimes != nullptr && s < bestTimes->Times.size()) {
            put("best_time", bestTimes->Times[s]);
        }
        put("best_segment", split.BestSegment);
        splits.push_back(std::move(item));
    }
    root["splits"] = std::move(splits);
    return root.dump(4, ' ', /*ensure_ascii=*/false, nlohmann::json::error_handler_t::replace) +
           "\n";
}
