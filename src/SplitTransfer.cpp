#include "SplitTransfer.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "Converter.h"
#include "PathParts.h"
#include "Prompts.h"
#include "SafetyQuestions.h"

namespace SplitTransfer {

namespace {

namespace fs = std::filesystem;

void Tell(const std::string& message, const std::string& details) {
    Ask(Notice(message, details));
}

std::string FileName(const std::string& path) {
    return std::string(NamePart(path, kPathSeparator));
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// What becomes of a file that is there: written over without a word when nothing is lost,
// else as the runner answers; an updatable file is offered the update instead.
ExistingOutput Decide(const ReplaceVerdict& verdict, const std::string& path, bool offerUpdate) {
    switch (verdict.Outcome) {
        case ReplaceVerdict::Free:
        case ReplaceVerdict::OlderCopyOfSameRoute:
            return ExistingOutput::Replace;
        case ReplaceVerdict::SameFile:
            Tell(verdict.Loss, "Choose another name.");
            return ExistingOutput::Keep;
        case ReplaceVerdict::WouldLose:
            break;
    }
    if (offerUpdate && verdict.Updatable) {
        return Ask(UpdateFileQuestion(path)) == Answer::Update ? ExistingOutput::Update
                                                               : ExistingOutput::Keep;
    }
    return Ask(ReplaceFileQuestion(verdict.Loss)) == Answer::Replace ? ExistingOutput::Replace
                                                                     : ExistingOutput::Keep;
}

// The conversion with its progress shown while it runs (and gone before the report is).
ConvertResult ConvertShowingProgress(const std::string& text, const std::string& in,
                                     const std::string& out, ConvertOptions options,
                                     ConvertReport* report) {
    TaskProgress progress(text);
    options.Progress = [&](std::size_t done, std::size_t total) {
        return progress.Step(done, total);
    };
    return ConvertSplitFile(in, out, options, report);
}

// A name for the exported file that no file has: "route.lss", else "route-2.lss", ...
std::string FreeExportName(const fs::path& splitFile) {
    const std::string stem = splitFile.stem().string();
    const fs::path folder = splitFile.parent_path();
    std::string name = stem + ".lss";
    for (int n = 2; n < 1000 && Exists((folder / name).string()); ++n) {
        name = stem + "-" + std::to_string(n) + ".lss";
    }
    return name;
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
    ConvertOptions options;
    // Asked once the file is read, before anything is converted.
    options.ChooseClock = [&]() -> std::optional<TimingMethod> {
        Question question;
        question.Text = FileName(source) + " holds real times and game times.";
        question.Informative = "Which times should the splits use?";
        question.Buttons = {Answer::RealTime, Answer::GameTime};
        question.Default = Answer::RealTime;
        switch (Ask(question)) {
            case Answer::RealTime:
                return TimingMethod::RealTime;
            case Answer::GameTime:
                return TimingMethod::GameTime;
            default:
                return std::nullopt;
        }
    };
    options.DecideExisting = [&](const ReplaceVerdict& verdict) {
        return Decide(verdict, target, /*offerUpdate=*/false);
    };
    ConvertReport report;
    const ConvertResult result = ConvertShowingProgress("Importing " + FileName(source) + "...",
                                                        source, target, options, &report);
    if (result.Outcome == ConvertResult::Cancelled) {
        return "";
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
    Question question;
    question.Text = FileName(source) + " is a split file of another timer.";
    question.Informative = "Import it into a split file of this timer beside it?";
    question.Buttons = {Answer::Import, Answer::Cancel};
    question.Default = Answer::Import;
    if (Ask(question) != Answer::Import) {
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
    const std::optional<std::string> target =
        ChooseFile(FileChoice::ToWrite("Export", path.parent_path().string(), FreeExportName(path),
                                       "XML split file (*.lss);;JSON split file (*.json)"));
    if (!target) {
        return;
    }
    ConvertOptions options;
    options.DecideExisting = [&](const ReplaceVerdict& verdict) {
        return Decide(verdict, *target, /*offerUpdate=*/true);
    };
    ConvertReport report;
    const ConvertResult result = ConvertShowingProgress("Exporting " + FileName(splitFile) + "...",
                                                        splitFile, *target, options, &report);
    switch (result.Outcome) {
        case ConvertResult::Ok:
            if (!report.Text().empty()) {
                Tell("Exported " + FileName(*target) + ".", report.Text());
            }
            return;
        case ConvertResult::Cancelled:
            return;
        case ConvertResult::SameFile:
            Tell(FileName(*target) + " is the open split file: it is never exported onto itself.",
                 "Choose another name for the exported file.");
            return;
        case ConvertResult::BadUsage:
            Tell(FileName(splitFile) + " cannot be exported.",
                 "Give the exported file the extension .lss or .json.");
            return;
        default:
            Tell(FileName(splitFile) + " cannot be exported.", result.Message);
            return;
    }
}

bool MayWriteNewRoute(const std::string& path, const std::string& openSplitFile) {
    const ReplaceVerdict verdict = CheckReplace(path, openSplitFile, NewRouteData());
    if (verdict.Outcome == ReplaceVerdict::SameFile) {
        Tell(FileName(path) + " is the open split file.",
             "A new route is written to a file of its own: choose another name.");
        return false;
    }
    return Decide(verdict, path, /*offerUpdate=*/false) == ExistingOutput::Replace;
}

}  // namespace SplitTransfer
