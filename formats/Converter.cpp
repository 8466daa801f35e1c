#include "Converter.h"

#include <sys/stat.h>

#include <algorithm>

#include "ConversionOutput.h"
#include "FormatLimits.h"
#include "HistoryDatabase.h"
#include "HistoryFile.h"
#include "HistoryImport.h"
#include "IconImage.h"
#include "LssUpdate.h"
#include "LssWriter.h"
#include "PathParts.h"
#include "PictureFiles.h"
#include "QuorvelSplitFile.h"
#include "ReplaceCheck.h"
#include "UrnJsonWriter.h"

namespace {

using history::History;

// The history a conversion carries from IN to OUT.
struct CarriedHistory {
    std::optional<History> Attempts;  // none: IN holds none, or it could not be read
    history::TimeClock Clock = history::TimeClock::Real;  // the clock IN's times are on
    std::string KeptLine;  // what writing it beside a split file keeps, for the report
};

std::size_t ListedCount(const History& history) {
    return static_cast<std::size_t>(
        std::count_if(history.Attempts.begin(), history.Attempts.end(), history::IsListed));
}

std::size_t EntryCount(const History& history) {
    std::size_t entries = 0;
    for (const history::Attempt& attempt : history.Attempts) {
        for (const history::SplitEntry& entry : attempt.Splits) {
            entries += entry.Kind != history::EntryKind::NotReached ? 1 : 0;
        }
    }
    return entries;
}

std::vector<std::string> SplitNames(const RouteData& route) {
    std::vector<std::string> names;
    for (const RouteRow& row : route.Splits) {
        names.push_back(row.Name);
    }
    return names;
}

// The history of a split file read from the database beside it; a file that cannot be read
// is a warning, and the conversion goes on without it.
void ReadHistoryBeside(const std::string& splitFile, const RouteData& route, ConvertReport* report,
                       CarriedHistory* carried) {
    history::HistoryDatabase db;
    const history::OpenResult opened =
        db.Open(splitFile, history::Access::ReadOnly, SplitNames(route));
    if (opened.What == history::OpenResult::Status::Refused) {
        report->Warn("the history was not read: " + opened.Message);
        return;
    }
    History loaded;
    std::string problem;
    if (!db.Load(&loaded, &problem)) {
        report->Warn("the history was not read: " + problem);
        return;
    }
    carried->Clock = db.RouteClock();
    if (!loaded.Attempts.empty()) {
        history::ImportSummary summary;
        summary.Attempts = ListedCount(loaded);
        summary.SegmentTimes = EntryCount(loaded);
        carried->KeptLine = summary.Text();
        carried->Attempts = std::move(loaded);
    }
}

RouteData ReadInput(const std::string& inPath, SplitFormat format, const ConvertOptions& options,
                    ConvertReport* report, CarriedHistory* carried) {
    if (format == SplitFormat::Lss) {
        history::HistoryImport imported;
        RouteData route = ReadLss(ReadSplitFileBytes(inPath), options.Timing, report, &imported,
                                  options.ChooseClock);
        carried->Clock = imported.Clock;
        history::ImportSummary summary;
        History built = history::BuildImportedHistory(imported, &summary);
        if (!built.Attempts.empty()) {
            carried->KeptLine = summary.Text();
            carried->Attempts = std::move(built);
        }
        return route;
    }
    RouteData route = ReadRouteFile(inPath, format, options.Timing, report);
    if (format == SplitFormat::Quorvel) {
        ReadHistoryBeside(inPath, route, report, carried);
    } else if (format == SplitFormat::UrnJson) {
        report->Keep("No history: a JSON split file keeps only the attempt count");
    }
    return route;
}

// The attempts of the history beside a split file that is to be written; 0 when there is
// none or it cannot be read (it is then never written over).
std::size_t AttemptsBeside(const std::string& splitFile, const RouteData& route) {
    history::HistoryDatabase db;
    if (db.Open(splitFile, history::Access::ReadOnly, SplitNames(route)).What !=
        history::OpenResult::Status::Opened) {
        return 0;
    }
    History loaded;
    std::string problem;
    return db.Load(&loaded, &problem) ? ListedCount(loaded) : 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string FolderPath(const std::string& path) {
    const std::string_view folder = FolderOf(path, kPathSeparator);
    return folder.empty() ? std::string("./") : std::string(folder);
}

// One picture a conversion reads (to embed it, or to copy it along) or writes out.
struct PictureStep {
    std::size_t Split;
    bool ReadFile;  // the picture names a file of the input's folder
};

class Conversion {
  public:
    Conversion(const std::string& inPath, const std::string& outPath, const ConvertOptions& options,
               ConvertReport* report, bool replace, CarriedHistory carried, TimingMethod timing)
        : outPath_(outPath),
          inFolder_(FolderPath(inPath)),
          outFormat_(SplitFormatOfPath(outPath)),
          options_(options),
          report_(report),
          output_(outPath, replace),
          carried_(std::move(carried)),
          timing_(timing) {}

    // OUT updated in place from base, its bytes when the conversion began.
    void UpdateFrom(std::string base) {
        update_ = true;
        base_ = std::move(base);
    }

    ConvertResult Run(RouteData route) {
        route_ = std::move(route);
        keepIcon_.assign(route_.Splits.size(), false);
        PlanPictures();
        const std::size_t total = steps_.size() + 1;
        std::size_t done = 0;
        if (!Tick(done, total)) {
            return Cancelled();
        }
        for (const PictureStep& step : steps_) {
            if (outFormat_ == SplitFormat::Lss) {
                Embed(step.Split);
            } else {
                WriteBeside(step);
            }
            if (!Tick(++done, total)) {
                return Cancelled();
            }
        }
        std::string text;
        try {
            text = Text();
        } catch (const FormatError& error) {
            return {ConvertResult::NotUpdatable,
                    outPath_ + ": cannot be updated: " + error.what() + "."};
        }
        if (update_ && text == base_) {
            return Tick(++done, total) ? ConvertResult{} : Cancelled();  // nothing to change
        }
        std::string reason;
        if (!output_.StageMain(text, &reason)) {
            return {ConvertResult::WriteFailed, outPath_ + ": cannot be written: " + reason};
        }
        if (!Tick(++done, total)) {
            return Cancelled();
        }
        // An update is of the file as it was read: one changed since is not written over.
        if (update_) {
            std::string now;
            try {
                now = ReadSplitFileBytes(outPath_);
            } catch (const FormatError& error) {
                now = error.what();
            }
            if (now != base_) {
                return {ConvertResult::WriteFailed,
                        outPath_ + ": changed while it was being updated; nothing written"};
            }
        }
        std::vector<std::string> lost;
        if (!output_.Commit(&reason, &lost)) {
            return {ConvertResult::WriteFailed, outPath_ + ": cannot be written: " + reason};
        }
        for (const std::string& name : lost) {
            report_->Warn("the picture " + name + " could not be written beside " + outPath_);
        }
        WriteHistoryBeside();
        return {};
    }

  private:
    bool Tick(std::size_t done, std::size_t total) const {
        return !options_.Progress || options_.Progress(done, total);
    }

    ConvertResult Cancelled() const {
        return {ConvertResult::Cancelled, outPath_ + ": not written: the conversion was cancelled"};
    }

    void LeaveBehind(std::size_t split, const std::string& why) {
        const RouteRow& row = route_.Splits[split];
        report_->LeftBehind("the picture \"" + row.Picture.FileName + "\" of \"" + row.Name +
                            "\" (" + why + ")");
        route_.Splits[split].Picture = SplitPicture{};
        keepIcon_[split] = true;
    }

    // Which pictures need a step; names that are no plain names inside the input's folder
    // are left behind at once. A named picture stays a name when OUT lies in the same folder
    // and can name it; otherwise it is read.
    void PlanPictures() {
        struct stat in {};
        struct stat out {};
        const bool sameFolder = ::stat(inFolder_.c_str(), &in) == 0 &&
                                ::stat(FolderPath(outPath_).c_str(), &out) == 0 &&
                                in.st_dev == out.st_dev && in.st_ino == out.st_ino;
        for (std::size_t s = 0; s < route_.Splits.size(); ++s) {
            const SplitPicture& picture = route_.Splits[s].Picture;
            if (!picture.FileName.empty()) {
                if (const std::string fault = PictureNameFault(picture.FileName); !fault.empty()) {
                    LeaveBehind(s, fault);
                } else if (outFormat_ == SplitFormat::Lss || !sameFolder) {
                    steps_.push_back({s, /*ReadFile=*/true});
                }
            } else if (!picture.Bytes.empty() && outFormat_ != SplitFormat::Lss) {
                steps_.push_back({s, /*ReadFile=*/false});
            }
        }
    }

    // The bytes of the picture file split names, within the limits; false when it is left
    // behind.
    bool ReadPicture(std::size_t split, std::string* bytes) {
        if (const std::string fault =
                ReadPictureFile(inFolder_, route_.Splits[split].Picture.FileName, bytes);
            !fault.empty()) {
            LeaveBehind(split, fault);
            return false;
        }
        if (bytes->size() > kMaxPictureBytesInAll - pictureBytes_) {
            LeaveBehind(split, "past " + MegabyteText(kMaxPictureBytesInAll) + " of pictures");
            return false;
        }
        pictureBytes_ += bytes->size();
        return true;
    }

    void Embed(std::size_t split) {
        SplitPicture& picture = route_.Splits[split].Picture;
        std::string bytes;
        if (ReadPicture(split, &bytes)) {
            picture.Extension = ImageExtensionOf(picture.FileName);
            picture.Bytes = std::move(bytes);
            picture.FileName.clear();
        }
    }

    // A picture goes beside OUT as "<OUT's name>-<split>.<ext>", or under another name when
    // that one is taken.
    void WriteBeside(const PictureStep& step) {
        SplitPicture& picture = route_.Splits[step.Split].Picture;
        std::string bytes;
        if (!step.ReadFile) {
            bytes = std::move(picture.Bytes);
        } else if (ReadPicture(step.Split, &bytes)) {
            picture.Extension = ImageExtensionOf(picture.FileName);
        } else {
            return;
        }
        const std::string_view outName = NamePart(outPath_, kPathSeparator);
        const std::string name =
            output_.ReservePicture(std::string(outName.substr(0, outName.rfind('.'))) + "-" +
                                       std::to_string(step.Split + 1) + "." +
                                       (picture.Extension.empty() ? "png" : picture.Extension),
                                   std::move(bytes));
        if (name.empty()) {
            report_->Warn("the picture of \"" + route_.Splits[step.Split].Name +
                          "\" cannot be written beside " + outPath_ + "; left out");
            picture = SplitPicture{};
            return;
        }
        picture = SplitPicture{name, "", ""};
    }

    // The history beside a split file OUT, in one transaction, with the route's clock. A
    // route that brings no history and is on real time leaves a history there as it is.
    void WriteHistoryBeside() {
        if (outFormat_ != SplitFormat::Quorvel ||
            (!carried_.Attempts && carried_.Clock == history::TimeClock::Real)) {
            return;
        }
        history::HistoryDatabase db;
        const history::OpenResult opened =
            db.Open(outPath_, history::Access::Writable, SplitNames(route_));
        if (opened.What == history::OpenResult::Status::Refused) {
            report_->Warn("the history was not kept: " + opened.Message);
            return;
        }
        if (!db.EnsureCreated() || !db.Begin() ||
            (carried_.Attempts && !db.ReplaceAll(*carried_.Attempts)) ||
            !db.SetRouteClock(carried_.Clock) || !db.Commit()) {
            db.Rollback();
            report_->Warn("the history was not kept in " +
                          history::HistoryFileName(history::HistoryPathFor(outPath_)) + ": " +
                          db.LastError());
            return;
        }
        if (!carried_.KeptLine.empty()) {
            report_->Keep(carried_.KeptLine);
        }
    }

    std::string Text() {
        const History* attempts = carried_.Attempts ? &*carried_.Attempts : nullptr;
        switch (outFormat_) {
            case SplitFormat::Lss:
                return update_ ? UpdateLss(base_, route_, timing_, attempts, keepIcon_, report_)
                               : WriteLss(route_, timing_, report_, attempts);
            case SplitFormat::UrnJson:
                if (attempts != nullptr) {
                    report_->LeftBehind(static_cast<std::int64_t>(ListedCount(*attempts)),
                                        "attempt of history", "attempts of history");
                    report_->LeftBehind(static_cast<std::int64_t>(EntryCount(*attempts)),
                                        "segment time of history", "segment times of history");
                }
                return WriteUrnJson(route_, report_);
            case SplitFormat::Quorvel:
            case SplitFormat::Unknown:
                break;
        }
        return QuorvelSplitText(route_);
    }

    const std::string& outPath_;
    const std::string inFolder_;
    const SplitFormat outFormat_;
    const ConvertOptions& options_;
    ConvertReport* report_;
    ConversionOutput output_;
    CarriedHistory carried_;
    const TimingMethod timing_;  // the clock OUT's route times go under
    bool update_ = false;
    std::string base_;
    RouteData route_;
    std::vector<bool> keepIcon_;  // per split: its picture was left behind
    std::vector<PictureStep> steps_;
    std::size_t pictureBytes_ = 0;
};

}  // namespace

ConvertResult ConvertSplitFile(const std::string& inPath, const std::string& outPath,
                               const ConvertOptions& options, ConvertReport* report) {
    const SplitFormat inFormat = SplitFormatOfPath(inPath);
    const SplitFormat outFormat = SplitFormatOfPath(outPath);
    if (inFormat == SplitFormat::Unknown || outFormat == SplitFormat::Unknown) {
        return {ConvertResult::BadUsage, (inFormat == SplitFormat::Unknown ? inPath : outPath) +
                                             ": not a .txt, .lss or .json file"};
    }
    if (SameFile(inPath, outPath)) {
        return {ConvertResult::SameFile,
                outPath + ": is the file being converted; a file is never converted onto itself"};
    }
    const ConvertResult cancelled{ConvertResult::Cancelled,
                                  outPath + ": not written: the conversion was cancelled"};
    RouteData route;
    CarriedHistory carried;
    try {
        route = ReadInput(inPath, inFormat, options, report, &carried);
    } catch (const FormatError& error) {
        return {ConvertResult::BadInput,
                inPath + ": " +
                    (error.Line > 0 ? "line " + std::to_string(error.Line) + ": " : "") +
                    error.what()};
    } catch (const ConversionCancelled&) {
        return cancelled;
    }
    // The clock OUT's route times go under: the one IN was read on, or the one asked for.
    TimingMethod timing =
        carried.Clock == history::TimeClock::Game ? TimingMethod::GameTime : TimingMethod::RealTime;
    if (inFormat != SplitFormat::Lss && options.Timing != TimingMethod::Automatic) {
        timing = options.Timing;
    }

    struct stat out {};
    const bool there = ::lstat(outPath.c_str(), &out) == 0;
    bool exists = there;
    ReplaceVerdict verdict = exists ? CheckReplace(outPath, inPath, route) : ReplaceVerdict{};
    // A history beside a split file OUT that holds more attempts than the one written.
    if (outFormat == SplitFormat::Quorvel && carried.Attempts) {
        const std::size_t beside = AttemptsBeside(outPath, route);
        const std::size_t written = ListedCount(*carried.Attempts);
        if (beside > written) {
            exists = true;
            verdict.Outcome = ReplaceVerdict::WouldLose;
            verdict.Loss +=
                std::string(verdict.Loss.empty() ? "" : " ") +
                history::HistoryFileName(history::HistoryPathFor(outPath)) +
                " holds the history of " + GroupedNumber(static_cast<std::int64_t>(beside)) +
                " attempts, more than the " + GroupedNumber(static_cast<std::int64_t>(written)) +
                " written now; replacing it loses them.";
        }
    }
    ExistingOutput how = ExistingOutput::Replace;
    if (exists) {
        if (options.DecideExisting) {
            how = options.DecideExisting(verdict);
            if (how == ExistingOutput::Keep) {
                return cancelled;
            }
        } else if (options.Update && outFormat == SplitFormat::Lss) {
            how = ExistingOutput::Update;
        } else if (!options.Replace) {
            return {ConvertResult::OutputExists,
                    outPath + ": already exists" +
                        (verdict.Loss.empty() ? std::string(" (an older copy of this route).")
                                              : ": " + verdict.Loss)};
        }
    }
    Conversion conversion(inPath, outPath, options, report, /*replace=*/there, std::move(carried),
                          timing);
    if (how == ExistingOutput::Update) {
        std::string base;
        std::string refusal;
        try {
            base = ReadSplitFileBytes(outPath);
            refusal = outFormat == SplitFormat::Lss ? UpdateRefusal(base)
                                                    : "only an XML split file (.lss) is updated";
        } catch (const FormatError& error) {
            refusal = error.what();
        }
        if (!refusal.empty()) {
            return {ConvertResult::NotUpdatable, outPath + ": cannot be updated: " + refusal + "."};
        }
        conversion.UpdateFrom(std::move(base));
    }
    return conversion.Run(std::move(route));
}

ConvertResult ConvertSplitFile(const std::string& inPath, const std::string& outPath,
                               TimingMethod timing, ConvertReport* report) {
    ConvertOptions options;
    options.Timing = timing;
    options.Replace = true;
    return ConvertSplitFile(inPath, outPath, options, report);
}
