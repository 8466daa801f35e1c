#include "LssWriter.h"

#include <pugixml.hpp>

#include <algorithm>

#include "ClockText.h"
#include "IconImage.h"

namespace {

class StringWriter : public pugi::xml_writer {
  public:
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
    std::string text;
};

void AddTime(pugi::xml_node parent, const char* clock, std::int32_t time) {
    parent.append_child(clock).text().set(LongClockText(time).c_str());
}

}  // namespace

std::string WriteLss(const RouteData& route, TimingMethod timing, ConvertReport* report) {
    const char* clock = timing == TimingMethod::GameTime ? "GameTime" : "RealTime";
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";

    pugi::xml_node run = document.append_child("Run");
    run.append_attribute("version") = "1.8.0";
    run.append_child("GameIcon");
    const std::size_t cut = route.Description.find(" - ");
    run.append_child("GameName").text().set(route.Description.substr(0, cut).c_str());
    run.append_child("CategoryName")
        .text()
        .set(cut == std::string::npos ? "" : route.Description.substr(cut + 3).c_str());
    run.append_child("LayoutPath");
    pugi::xml_node metadata = run.append_child("Metadata");
    metadata.append_child("Run").append_attribute("id") = "";
    metadata.append_child("Platform").append_attribute("usesEmulator") = "False";
    metadata.append_child("Region");
    metadata.append_child("Variables");
    run.append_child("Offset").text().set(LongClockText(route.StartOffset).c_str());
    run.append_child("AttemptCount").text().set(route.AttemptCount);
    run.append_child("AttemptHistory");

    // The kept run first, under its fixed name; the others after it in grid order.
    const std::vector<std::string>& titles = route.RunTitles;
    std::vector<std::size_t> order;
    if (!titles.empty()) {
        order.push_back(titles.size() - 1);
        for (std::size_t i = 0; i + 1 < titles.size(); ++i) {
            order.push_back(i);
        }
        if (titles.back() != "Personal Best") {
            report->Warn("the kept run \"" + titles.back() + "\" is written as \"Personal Best\"");
        }
    }

    // Comparisons are told apart by name: a repeated name gets a number.
    std::vector<std::string> names;
    for (std::size_t c = 0; c < order.size(); ++c) {
        const std::string& title = titles[order[c]];
        std::string name = c == 0 ? "Personal Best" : title;
        for (int n = 2; std::find(names.begin(), names.end(), name) != names.end(); ++n) {
            name = title + " (" + std::to_string(n) + ")";
        }
        if (c > 0 && name != title) {
            report->Warn("the stored run \"" + title + "\" is written as \"" + name + "\"");
        }
        names.push_back(std::move(name));
    }

    pugi::xml_node segments = run.append_child("Segments");
    for (std::size_t s = 0; s < route.Splits.size(); ++s) {
        const RouteRow& split = route.Splits[s];
        pugi::xml_node segment = segments.append_child("Segment");
        segment.append_child("Name").text().set(split.Name.c_str());
        pugi::xml_node icon = segment.append_child("Icon");
        if (!split.Picture.Bytes.empty()) {
            icon.text().set(EncodeBase64(split.Picture.Bytes).c_str());
        }
        pugi::xml_node splitTimes = segment.append_child("SplitTimes");
        for (std::size_t c = 0; c < order.size(); ++c) {
            pugi::xml_node splitTime = splitTimes.append_child("SplitTime");
            splitTime.append_attribute("name") = names[c].c_str();
            const std::int32_t time =
                order[c] < split.RunTimes.size() ? split.RunTimes[order[c]] : 0;
            if (time != 0) {
                AddTime(splitTime, clock, time);
            }
        }
        pugi::xml_node best = segment.append_child("BestSegmentTime");
        if (split.BestSegment != 0) {
            AddTime(best, clock, split.BestSegment);
        }
        segment.append_child("SegmentHistory");
    }
    run.append_child("AutoSplitterSettings");
    report->LeftBehind(static_cast<std::int64_t>(NoteCount(route)), "cell note", "cell notes");

    StringWriter writer;
    document.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
    return std::move(writer.text);
}
