#include "ReplaceCheck.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "ConvertReport.h"
#include "LssUpdate.h"
#include "PathParts.h"
#include "QuorvelSplitFile.h"
#include "RouteFiles.h"
#include "SplitFileCheck.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Attempts(std::int32_t count) {
    return GroupedNumber(count) + (count == 1 ? " attempt" : " attempts");
}

bool SameRoute(const RouteData& a, const RouteData& b) {
    if (a.Description != b.Description || a.RunTitles != b.RunTitles ||
        a.Splits.size() != b.Splits.size()) {
        return false;
    }
    for (std::size_t s = 0; s < a.Splits.size(); ++s) {
        if (a.Splits[s].Name != b.Splits[s].Name) {
            return false;
        }
    }
    return true;
}

// Every note of old stands in the same cell of route (both the same shape).
bool KeepsNotes(const RouteData& old, const RouteData& route) {
    for (std::size_t s = 0; s < old.Splits.size(); ++s) {
        const auto& notes = old.Splits[s].Notes;
        for (std::size_t n = 0; n < notes.size(); ++n) {
            const auto& kept = route.Splits[s].Notes;
            if (!notes[n].empty() && (n >= kept.size() || kept[n] != notes[n])) {
                return false;
            }
        }
    }
    return true;
}

ReplaceVerdict Loses(std::string sentence) {
    return {ReplaceVerdict::WouldLose, std::move(sentence), /*Updatable=*/false};
}

// Another timer's split file: what it holds, by its own reader.
ReplaceVerdict ForeignFile(const std::string& name, std::string_view text, SplitFormat format) {
    const std::string timer = format == SplitFormat::Lss ? "LiveSplit" : "LibreSplit";
    RouteData route;
    try {
        ConvertReport ignored;
        route = ReadRouteText(text, format, TimingMethod::Automatic, &ignored);
    } catch (const FormatError&) {
        return Loses(name + " looks like a " + timer + " file; replacing it loses its contents.");
    }
    ReplaceVerdict verdict =
        route.AttemptCount > 0
            ? Loses(name + " is a " + timer + " file with " + Attempts(route.AttemptCount) +
                    "; replacing it loses " + (route.AttemptCount == 1 ? "it." : "them."))
            : Loses(name + " is a " + timer + " file with " + std::to_string(route.Splits.size()) +
                    " splits; replacing it loses them.");
    verdict.Updatable = format == SplitFormat::Lss && VersionRefusal(text).empty();
    return verdict;
}

ReplaceVerdict OurFile(const std::string& name, std::string_view text, const RouteData& writing) {
    RouteData old;
    try {
        old = ReadQuorvelSplitText(text);
    } catch (const FormatError&) {
        return Loses(name + " is not a split file; replacing it loses its contents.");
    }
    NormaliseRoute(&old);
    const bool same = SameRoute(old, writing);
    if (same && old.AttemptCount <= writing.AttemptCount && KeepsNotes(old, writing)) {
        return {ReplaceVerdict::OlderCopyOfSameRoute, "", /*Updatable=*/false};
    }
    if (same && old.AttemptCount > writing.AttemptCount) {
        return Loses(name + " is a Quorvel split file of this route with " +
                     Attempts(old.AttemptCount) + ", more than the " +
                     GroupedNumber(writing.AttemptCount) +
                     " written now; replacing it loses them.");
    }
    if (same) {
        return Loses(name + " is a Quorvel split file of this route with notes the new one " +
                     "does not have; replacing it loses them.");
    }
    const bool notes = NoteCount(old) > 0;
    if (old.AttemptCount == 0 && !notes) {
        return Loses(name + " is a Quorvel split file of another route; replacing it loses it.");
    }
    return Loses(name + " is a Quorvel split file with " +
                 (old.AttemptCount > 0 ? Attempts(old.AttemptCount) : std::string()) +
                 (old.AttemptCount > 0 && notes ? " and " : "") + (notes ? "notes" : "") +
                 "; replacing it loses them.");
}

}  // namespace

ReplaceVerdict CheckReplace(const std::string& outPath, const std::string& inPath,
                            const RouteData& writing) {
    const std::string name(NamePart(outPath, kPathSeparator));
    struct stat out {};
    if (::lstat(outPath.c_str(), &out) != 0) {
        if (errno == ENOENT) {
            return {};
        }
        return Loses(name + " cannot be looked at (" + std::strerror(errno) +
                     "); replacing it may lose it.");
    }
    struct stat target {};
    struct stat in {};
    const bool hasTarget = ::stat(outPath.c_str(), &target) == 0;
    if (hasTarget && !inPath.empty() && ::stat(inPath.c_str(), &in) == 0 &&
        in.st_dev == target.st_dev && in.st_ino == target.st_ino) {
        return {ReplaceVerdict::SameFile, name + " is the file being written from.",
                /*Updatable=*/false};
    }
    if (!hasTarget) {
        return Loses(name + " is a symbolic link to a missing file; replacing it loses the link.");
    }
    if (S_ISDIR(target.st_mode)) {
        return Loses(name + " is a folder; it cannot be replaced by a file.");
    }
    if (!S_ISREG(target.st_mode)) {
        return Loses(name + " is a device or a FIFO; it cannot be replaced by a file.");
    }
    std::string text;
    try {
        text = ReadSplitFileBytes(outPath);
    } catch (const FormatError& error) {
        return Loses(name + " cannot be read as a split file (" + error.what() +
                     "); replacing it loses its contents.");
    }
    if (std::string_view(text).starts_with(kByteOrderMark)) {
        text.erase(0, kByteOrderMark.size());
    }
    switch (CheckSplitFileText(text).Kind) {
        case SplitFileKind::LiveSplitXml:
            return ForeignFile(name, text, SplitFormat::Lss);
        case SplitFileKind::LibreSplitJson:
            return ForeignFile(name, text, SplitFormat::UrnJson);
        case SplitFileKind::SplitState:
            return Loses(name + " is a run in progress saved to a file (a split state); " +
                         "replacing it loses the run.");
        case SplitFileKind::Ok:
        case SplitFileKind::RowWithoutTab:
        case SplitFileKind::NotesLineMissing:
        case SplitFileKind::NotATime:
        case SplitFileKind::TooManyTimes:
            break;
        default:
            return Loses(name + " is not a split file; replacing it loses its contents.");
    }
    return OurFile(name, text, writing);
}
