#include "Converter.h"

#include <filesystem>
#include <system_error>

#include "FileIO.h"
#include "FormatLimits.h"
#include "IconImage.h"
#include "LssReader.h"
#include "LssWriter.h"
#include "QuorvelSplitFile.h"
#include "UrnJsonReader.h"
#include "UrnJsonWriter.h"

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return text;
}

bool WriteText(const std::string& path, const std::string& text) {
    return WriteFileAtomically(path, [&](std::FILE* file) {
        return text.empty() || std::fwrite(text.data(), 1, text.size(), file) == text.size();
    });
}

Route ReadRoute(const std::string& path, SplitFormat format, TimingMethod timing,
                ConvertReport* report) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        throw FormatError(0, "cannot be read: no such file");
    }
    const auto size = fs::file_size(path, error);
    if (!error) {
        CheckInputSize(static_cast<std::size_t>(size));
    }
    if (format == SplitFormat::Quorvel) {
        return ReadQuorvelSplitFile(path, report);
    }
    std::string text;
    if (!ReadWholeFile(path, &text)) {
        throw FormatError(0, "cannot be read");
    }
    return format == SplitFormat::Lss ? ReadLss(text, timing, report) : ReadUrnJson(text, report);
}

// Icons named by file are read from the input's folder when the output must carry them
// (the XML format embeds them) or lives in another folder.
void LoadNamedIcons(Route* route, const fs::path& inFolder, const fs::path& outFolder,
                    SplitFormat outFormat, ConvertReport* report) {
    const bool sameFolder = fs::weakly_canonical(inFolder) == fs::weakly_canonical(outFolder);
    for (RouteSplit& split : route->Splits) {
        RouteIcon& icon = split.Icon;
        if (icon.FileName.empty() || (sameFolder && outFormat != SplitFormat::Lss)) {
            continue;
        }
        std::string bytes;
        if (ReadWholeFile((inFolder / icon.FileName).string(), &bytes) &&
            bytes.size() <= kMaxInputBytes) {
            icon.Bytes = std::move(bytes);
            icon.Extension = ImageExtensionOf(icon.FileName);
            icon.FileName.clear();
        } else {
            report->Warn("the picture \"" + icon.FileName + "\" of \"" + split.Name +
                         "\" cannot be read; left out");
            icon = RouteIcon{};
        }
    }
}

}  // namespace

SplitFormat SplitFormatOfPath(const std::string& path) {
    const std::string extension = Lower(fs::path(path).extension().string());
    if (extension == ".txt") {
        return SplitFormat::Quorvel;
    }
    if (extension == ".lss") {
        return SplitFormat::Lss;
    }
    if (extension == ".json") {
        return SplitFormat::UrnJson;
    }
    return SplitFormat::Unknown;
}

ConvertResult ConvertSplitFile(const std::string& inPath, const std::string& outPath,
                               TimingMethod timing, ConvertReport* report) {
    const SplitFormat inFormat = SplitFormatOfPath(inPath);
    const SplitFormat outFormat = SplitFormatOfPath(outPath);
    if (inFormat == SplitFormat::Unknown || outFormat == SplitFormat::Unknown) {
        return {ConvertResult::BadUsage, (inFormat == SplitFormat::Unknown ? inPath : outPath) +
                                             ": not a .txt, .lss or .json file"};
    }
    Route route;
    try {
        route = ReadRoute(inPath, inFormat, timing, report);
    } catch (const FormatError& error) {
        return {ConvertResult::BadInput,
                inPath + ": " +
                    (error.Line > 0 ? "line " + std::to_string(error.Line) + ": " : "") +
                    error.what()};
    }

    const fs::path outFolder = fs::absolute(outPath).parent_path();
    LoadNamedIcons(&route, fs::absolute(inPath).parent_path(), outFolder, outFormat, report);

    std::vector<std::string> written;
    if (outFormat != SplitFormat::Lss) {
        const std::string stem = fs::path(outPath).stem().string();
        for (std::size_t s = 0; s < route.Splits.size(); ++s) {
            RouteIcon& icon = route.Splits[s].Icon;
            if (icon.Bytes.empty()) {
                continue;
            }
            const std::string name = stem + "-" + std::to_string(s + 1) + "." +
                                     (icon.Extension.empty() ? "png" : icon.Extension);
            const std::string path = (outFolder / name).string();
            if (!WriteText(path, icon.Bytes)) {
                report->Warn("the icon of \"" + route.Splits[s].Name + "\" cannot be written to " +
                             path + "; left out");
                icon = RouteIcon{};
                continue;
            }
            written.push_back(path);
            icon.FileName = name;
        }
    }

    bool ok = false;
    switch (outFormat) {
        case SplitFormat::Quorvel:
            ok = WriteQuorvelSplitFile(route, outPath);
            break;
        case SplitFormat::Lss:
            ok = WriteText(outPath, WriteLss(route, timing, report));
            break;
        case SplitFormat::UrnJson:
            ok = WriteText(outPath, WriteUrnJson(route, report));
            break;
        case SplitFormat::Unknown:
            break;
    }
    if (!ok) {
        for (const std::string& path : written) {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
        return {ConvertResult::WriteFailed, outPath + ": cannot be written"};
    }
    return {};
}
