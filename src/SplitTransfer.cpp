#include "SplitTransfer.h"

#include <QApplication>
#include <QFileDialog>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "Converter.h"
#include "Toolkit.h"

namespace SplitTransfer {

namespace {

namespace fs = std::filesystem;

ChooserHook& Hook() {
    static ChooserHook hook;
    return hook;
}

std::optional<std::string> Choose(const FileChoice& choice) {
    if (Hook()) {
        return Hook()(choice);
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return std::nullopt;
    }
    const QString folder = QString::fromStdString(choice.Folder);
    const QString filter = QString::fromStdString(choice.Filter);
    const QString path =
        choice.Saving
            ? QFileDialog::getSaveFileName(QApplication::activeWindow(), "Export",
                                           folder + "/" + QString::fromStdString(choice.Name),
                                           filter)
            : QFileDialog::getOpenFileName(QApplication::activeWindow(), "Import", folder, filter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

int Ask(const std::string& message, const std::string& details,
        std::initializer_list<const char*> buttons) {
    tk::Alert alert;
    alert.SetMessageText(message);
    alert.SetInformativeText(details);
    for (const char* button : buttons) {
        alert.AddButton(button);
    }
    return alert.RunModal();
}

void Tell(const std::string& message, const std::string& details) {
    Ask(message, details, {});
}

std::string FileName(const std::string& path) {
    return fs::path(path).filename().string();
}

bool Mentions(const ConvertReport& report, const std::string& what) {
    return std::find(report.Dropped.begin(), report.Dropped.end(), what) != report.Dropped.end();
}

}  // namespace

void SetChooserHook(ChooserHook hook) {
    Hook() = std::move(hook);
}

bool IsOtherTimersSplitFile(const std::string& path) {
    const SplitFormat format = SplitFormatOfPath(path);
    return format == SplitFormat::Lss || format == SplitFormat::UrnJson;
}

std::string ChooseAndImport(const std::string& folder) {
    const std::optional<std::string> source =
        Choose({false, folder, "", "Split files of other timers (*.lss *.json)"});
    return source ? ImportFile(*source) : "";
}

std::string ImportFile(const std::string& source) {
    const std::string target = fs::path(source).replace_extension(".txt").string();
    std::error_code error;
    if (fs::exists(target, error) &&
        Ask(FileName(target) + " already exists. Replace it with the imported splits?",
            "The splits in it will be lost.", {"Cancel", "Replace"}) != 1) {
        return "";
    }
    ConvertReport report;
    ConvertResult result = ConvertSplitFile(source, target, TimingMethod::Automatic, &report);
    // Real time was read and the file has game times too: the runner picks.
    if (result.Outcome == ConvertResult::Ok && Mentions(report, "game times") &&
        Ask(FileName(source) + " holds real times and game times.",
            "Which times should the splits use?", {"Real Time", "Game Time"}) == 1) {
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
    if (Ask(FileName(source) + " is a split file of another timer.",
            "Import it into a split file of this timer beside it?", {"Import", "Cancel"}) != 0) {
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
        Choose({true, path.parent_path().string(), path.stem().string() + ".lss",
                "XML split file (*.lss);;JSON split file (*.json)"});
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
