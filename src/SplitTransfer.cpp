#include "SplitTransfer.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "Converter.h"
#include "PathParts.h"
#include "Prompts.h"

namespace SplitTransfer {

namespace {

namespace fs = std::filesystem;

// Asks message with the buttons; Cancel when closed.
Answer AskAbout(const std::string& message, const std::string& details,
                std::vector<Answer> buttons) {
    Question question;
    question.Text = message;
    question.Informative = details;
    question.Default = buttons.front();
    question.Buttons = std::move(buttons);
    return Ask(question);
}

void Tell(const std::string& message, const std::string& details) {
    Ask(Notice(message, details));
}

std::string FileName(const std::string& path) {
    return std::string(NamePart(path, kPathSeparator));
}

bool Mentions(const ConvertReport& report, const std::string& what) {
    return std::find(report.Dropped.begin(), report.Dropped.end(), what) != report.Dropped.end();
}

}  // namespace

bool IsOtherTimersSplitFile(const std::string& path) {
    const SplitFormat format = SplitFormatOfPath(path);
    return format == SplitFormat::Lss || format == SplitFormat::UrnJson;
}

std::string ChooseAndImport(const std::string& folder) {
    const std::optional<std::string> source = ChooseFile(
        FileChoice::Existing("Import", folder, "Split files of other timers (*.lss *.json)"));
    return source ? ImportFile(*source) : "";
}

std::string ImportFile(const std::string& source) {
    const std::string target = fs::path(source).replace_extension(".txt").string();
    std::error_code error;
    if (fs::exists(target, error) &&
        AskAbout(FileName(target) + " already exists. Replace it with the imported splits?",
                 "The splits in it will be lost.",
                 {Answer::Cancel, Answer::Replace}) != Answer::Replace) {
        return "";
    }
    ConvertReport report;
    ConvertResult result = ConvertSplitFile(source, target, TimingMethod::Automatic, &report);
    // Real time was read and the file has game times too: the runner picks.
    if (result.Outcome == ConvertResult::Ok && Mentions(report, "game times") &&
        AskAbout(FileName(source) + " holds real times and game times.",
                 "Which times should the splits use?",
                 {Answer::RealTime, Answer::GameTime}) == Answer::GameTime) {
        report = ConvertReport{};
        result = ConvertSplitFile(source, target, TimingMethod::GameTime, &report);
    }
    if (result.Outcome != ConvertResult::Ok) {
        Tell(FileName(source) + " cannot be imported.", result.Message);
        return "";
    }
    if (!report.Text().empty()) {
        Tell("Imported " + FileName(source) + " as " + FileName(target) + ".", report.Text());
    }
    return target;
}

std::string OfferImport(const std::string& source) {
    if (AskAbout(FileName(source) + " is a split file of another timer.",
                 "Import it into a split file of this timer beside it?",
                 {Answer::Import, Answer::Cancel}) != Answer::Import) {
        return "";
    }
    return ImportFile(source);
}

void ChooseAndExport(const std::string& splitFile) {
    if (splitFile.empty()) {
        Tell("No split file is open.", "Open the split file to export first.");
        return;
    }
    const fs::path path(splitFile);
    const std::optional<std::string> target = ChooseFile(
        FileChoice::ToWrite("Export", path.parent_path().string(), path.stem().string() + ".lss",
                            "XML split file (*.lss);;JSON split file (*.json)"));
    if (!target) {
        return;
    }
    ConvertReport report;
    const ConvertResult result =
        ConvertSplitFile(splitFile, *target, TimingMethod::Automatic, &report);
    if (result.Outcome != ConvertResult::Ok) {
        Tell(FileName(splitFile) + " cannot be exported.",
             result.Outcome == ConvertResult::BadUsage
                 ? "Give the exported file the extension .lss or .json."
                 : result.Message);
        return;
    }
    if (!report.Text().empty()) {
        Tell("Exported " + FileName(*target) + ".", report.Text());
    }
}

}  // namespace SplitTransfer
