#include "Converter.h"

#include <sys/stat.h>

#include "ConversionOutput.h"
#include "FormatLimits.h"
#include "IconImage.h"
#include "LssWriter.h"
#include "PathParts.h"
#include "PictureFiles.h"
#include "QuorvelSplitFile.h"
#include "ReplaceCheck.h"
#include "UrnJsonWriter.h"

namespace {

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
               ConvertReport* report)
        : outPath_(outPath),
          inFolder_(FolderPath(inPath)),
          outFormat_(SplitFormatOfPath(outPath)),
          options_(options),
          report_(report),
          output_(outPath, options.Replace) {}

    ConvertResult Run(RouteData route) {
        route_ = std::move(route);
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
        std::string reason;
        if (!output_.StageMain(Text(), &reason)) {
            return {ConvertResult::WriteFailed, outPath_ + ": cannot be written: " + reason};
        }
        if (!Tick(++done, total)) {
            return Cancelled();
        }
        std::vector<std::string> lost;
        if (!output_.Commit(&reason, &lost)) {
            return {ConvertResult::WriteFailed, outPath_ + ": cannot be written: " + reason};
        }
        for (const std::string& name : lost) {
            report_->Warn("the picture " + name + " could not be written beside " + outPath_);
        }
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

    std::string Text() {
        switch (outFormat_) {
            case SplitFormat::Lss:
                return WriteLss(route_, options_.Timing, report_);
            case SplitFormat::UrnJson:
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
    RouteData route_;
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
    RouteData route;
    try {
        route = ReadRouteFile(inPath, inFormat, options.Timing, report);
    } catch (const FormatError& error) {
        return {ConvertResult::BadInput,
                inPath + ": " +
                    (error.Line > 0 ? "line " + std::to_string(error.Line) + ": " : "") +
                    error.what()};
    }
    struct stat out {};
    if (!options.Replace && ::lstat(outPath.c_str(), &out) == 0) {
        const ReplaceVerdict verdict = CheckReplace(outPath, inPath, route);
        return {ConvertResult::OutputExists,
                outPath + ": already exists" +
                    (verdict.Loss.empty() ? std::string(" (an older copy of this route).")
                                          : ": " + verdict.Loss)};
    }
    return Conversion(inPath, outPath, options, report).Run(std::move(route));
}

ConvertResult ConvertSplitFile(const std::string& inPath, const std::string& outPath,
                               TimingMethod timing, ConvertReport* report) {
    ConvertOptions options;
    options.Timing = timing;
    options.Replace = true;
    return ConvertSplitFile(inPath, outPath, options, report);
}
