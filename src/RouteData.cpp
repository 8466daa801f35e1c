#include "RouteData.h"

#include <algorithm>
#include <utility>

namespace {

// Times wrap modulo 2^32, as the engine's arithmetic does.
std::int32_t Add(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t Sub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

bool HasCell(const RouteData& route, std::size_t row, std::size_t run) {
    return row < route.Splits.size() && run < route.RunTitles.size() &&
           run < route.Splits[row].RunTimes.size();
}

}  // namespace

RouteData NewRouteData() {
    RouteData route;
    route.RunTitles = {"Personal Best"};
    for (int i = 1; i <= 3; ++i) {
        RouteRow split;
        split.Name = "Split " + std::to_string(i);
        route.Splits.push_back(std::move(split));
    }
    NormaliseRoute(&route);
    return route;
}

std::string HeaderText(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

void NormaliseRoute(RouteData* route) {
    for (RouteRow& split : route->Splits) {
        split.RunTimes.resize(route->RunTitles.size());
        split.Notes.resize(route->RunTitles.size() + 1);
    }
}

std::size_t NoteCount(const RouteData& route) {
    std::size_t count = 0;
    for (const RouteRow& split : route.Splits) {
        count += static_cast<std::size_t>(
            std::count_if(split.Notes.begin(), split.Notes.end(),
                          [](const std::string& note) { return !note.empty(); }));
    }
    return count;
}

std::int32_t BestRunningTime(const RouteData& route, std::size_t row) {
    std::int32_t total = 0;
    for (std::size_t r = 0; r <= row && r < route.Splits.size(); ++r) {
        total = Add(total, route.Splits[r].BestSegment);
    }
    return total;
}

std::int32_t SegmentTime(const RouteData& route, std::size_t row, std::size_t run) {
    if (!HasCell(route, row, run)) {
        return 0;
    }
    const std::int32_t time = route.Splits[row].RunTimes[run];
    if (row == 0) {
        return time;
    }
    const std::int32_t above = route.Splits[row - 1].RunTimes[run];
    return time != 0 && above != 0 ? Sub(time, above) : 0;
}

bool SetRunTime(RouteData* route, std::size_t row, std::size_t run, std::int32_t time) {
    if (!HasCell(*route, row, run)) {
        return false;
    }
    route->Splits[row].RunTimes[run] = time;
    return true;
}

bool SetRunSegment(RouteData* route, std::size_t row, std::size_t run, std::int32_t segment) {
    if (!HasCell(*route, row, run)) {
        return false;
    }
    const std::int32_t above = row == 0 ? 0 : route->Splits[row - 1].RunTimes[run];
    if (row > 0 && above == 0) {
        return false;
    }
    const std::int32_t old = route->Splits[row].RunTimes[run];
    const std::int32_t time = segment == 0 ? 0 : Add(above, segment);
    route->Splits[row].RunTimes[run] = time;
    if (old != 0 && time != 0) {
        for (std::size_t r = row + 1; r < route->Splits.size(); ++r) {
            std::int32_t& later = route->Splits[r].RunTimes[run];
            if (later != 0) {
                later = Add(later, Sub(time, old));
            }
        }
    }
    return true;
}

bool SetBestSegment(RouteData* route, std::size_t row, std::int32_t segment) {
    if (row >= route->Splits.size()) {
        return false;
    }
    route->Splits[row].BestSegment = segment;
    return true;
}

bool SetBestRunningTime(RouteData* route, std::size_t row, std::int32_t time) {
    if (row >= route->Splits.size()) {
        return false;
    }
    std::int32_t& segment = route->Splits[row].BestSegment;
    segment = time == 0 ? 0 : Add(segment, Sub(time, BestRunningTime(*route, row)));
    return true;
}

bool SetNote(RouteData* route, std::size_t row, std::size_t note, std::string text) {
    if (row >= route->Splits.size() || note >= route->Splits[row].Notes.size()) {
        return false;
    }
    route->Splits[row].Notes[note] = std::move(text);
    return true;
}

bool RenameSplit(RouteData* route, std::size_t row, std::string name) {
    if (row >= route->Splits.size()) {
        return false;
    }
    route->Splits[row].Name = HeaderText(std::move(name));
    return true;
}

bool InsertSplit(RouteData* route, std::size_t row, std::string name) {
    NormaliseRoute(route);
    if (row > route->Splits.size()) {
        return false;
    }
    RouteRow split;
    split.Name = HeaderText(std::move(name));
    split.RunTimes.resize(route->RunTitles.size());
    split.Notes.resize(route->RunTitles.size() + 1);
    route->Splits.insert(route->Splits.begin() + static_cast<std::ptrdiff_t>(row),
                         std::move(split));
    return true;
}

bool RemoveSplit(RouteData* route, std::size_t row) {
    if (row >= route->Splits.size()) {
        return false;
    }
    route->Splits.erase(route->Splits.begin() + static_cast<std::ptrdiff_t>(row));
    return true;
}

bool MoveSplit(RouteData* route, std::size_t from, std::size_t to) {
    NormaliseRoute(route);
    const std::size_t count = route->Splits.size();
    if (from >= count || to >= count) {
        return false;
    }
    if (from == to) {
        return true;
    }
    const std::size_t runs = route->RunTitles.size();
    std::vector<std::vector<std::int32_t>> segments(count, std::vector<std::int32_t>(runs));
    for (std::size_t r = 0; r < count; ++r) {
        for (std::size_t k = 0; k < runs; ++k) {
            segments[r][k] = SegmentTime(*route, r, k);
        }
    }
    const auto shift = [&](auto& list) {
        auto first = list.begin();
        if (from < to) {
            std::rotate(first + static_cast<std::ptrdiff_t>(from),
                        first + static_cast<std::ptrdiff_t>(from + 1),
                        first + static_cast<std::ptrdiff_t>(to + 1));
        } else {
            std::rotate(first + static_cast<std::ptrdiff_t>(to),
                        first + static_cast<std::ptrdiff_t>(from),
                        first + static_cast<std::ptrdiff_t>(from + 1));
        }
    };
    shift(route->Splits);
    shift(segments);
    const std::size_t low = std::min(from, to);
    const std::size_t high = std::max(from, to);
    for (std::size_t k = 0; k < runs; ++k) {
        std::int32_t above = low == 0 ? 0 : route->Splits[low - 1].RunTimes[k];
        for (std::size_t r = low; r <= high; ++r) {
            const std::int32_t segment = segments[r][k];
            const bool placeable = segment != 0 && (r == 0 || above != 0);
            route->Splits[r].RunTimes[k] = placeable ? Add(above, segment) : 0;
            above = route->Splits[r].RunTimes[k];
        }
    }
    return true;
}

bool AddRun(RouteData* route, std::size_t at, std::string title) {
    NormaliseRoute(route);
    if (at > route->RunTitles.size()) {
        return false;
    }
    const auto offset = static_cast<std::ptrdiff_t>(at);
    route->RunTitles.insert(route->RunTitles.begin() + offset, HeaderText(std::move(title)));
    for (RouteRow& split : route->Splits) {
        split.RunTimes.insert(split.RunTimes.begin() + offset, 0);
        split.Notes.insert(split.Notes.begin() + offset + 1, std::string());
    }
    return true;
}

bool RenameRun(RouteData* route, std::size_t run, std::string title) {
    if (run >= route->RunTitles.size()) {
        return false;
    }
    route->RunTitles[run] = HeaderText(std::move(title));
    return true;
}

bool RemoveRun(RouteData* route, std::size_t run) {
    NormaliseRoute(route);
    if (run >= route->RunTitles.size()) {
        return false;
    }
    const auto offset = static_cast<std::ptrdiff_t>(run);
    route->RunTitles.erase(route->RunTitles.begin() + offset);
    for (RouteRow& split : route->Splits) {
        split.RunTimes.erase(split.RunTimes.begin() + offset);
        split.Notes.erase(split.Notes.begin() + offset + 1);
    }
    return true;
}

bool MoveRun(RouteData* route, std::size_t from, std::size_t to) {
    NormaliseRoute(route);
    const std::size_t count = route->RunTitles.size();
    if (from >= count || to >= count) {
        return false;
    }
    const auto move = [&](auto& list, std::size_t base) {
        auto value = std::move(list[base + from]);
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(base + from));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(base + to), std::move(value));
    };
    move(route->RunTitles, 0);
    for (RouteRow& split : route->Splits) {
        move(split.RunTimes, 0);
        move(split.Notes, 1);
    }
    return true;
}
