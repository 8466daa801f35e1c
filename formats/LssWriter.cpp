#include "LssWriter.h"

#include <pugixml.hpp>

#include "ClockText.h"
#include "LssElements.h"

namespace {

class StringWriter : public pugi::xml_writer {
  public:
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
    std::string text;
};

}  // namespace

std::string WriteLss(const RouteData& route, TimingMethod timing, ConvertReport* report,
                     const history::History* history) {
    const char* clock = ClockElement(ClockOf(timing));
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
    pugi::xml_node attempts = run.append_child("AttemptHistory");
    std::vector<std::int32_t> ids;
    if (history != nullptr) {
        ids = ExportIds(*history);
        for (const auto& [id, attempt] : ListedAttempts(*history, ids)) {
            AppendAttempt(attempts, id, history->Attempts[attempt]);
        }
    }

    const std::vector<WrittenComparison> comparisons = ComparisonNames(route, report);
    pugi::xml_node segments = run.append_child("Segments");
    for (std::size_t s = 0; s < route.Splits.size(); ++s) {
        AppendSegment(segments, route, s, comparisons, clock, history, ids);
    }
    run.append_child("AutoSplitterSettings");
    report->LeftBehind(static_cast<std::int64_t>(NoteCount(route)), "cell note", "cell notes");

    StringWriter writer;
    document.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
    return std::move(writer.text);
}
