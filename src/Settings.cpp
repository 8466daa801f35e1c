#include "Settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "FileIO.h"
#include "NumberText.h"
#include "PathParts.h"

namespace {

// True when text, read into parsed, reads as settings: no NUL byte, a key under a section.
bool LooksLikeSettings(const std::string& text, const IniFileClass& parsed) {
    return text.find('\0') == std::string::npos && !parsed.Sections.empty();
}

}  // namespace

std::vector<DeclaredSetting>& DeclaredSettings() {
    static std::vector<DeclaredSetting> declared;
    return declared;
}

std::string SettingText(bool value) {
    return value ? "Y" : "N";
}

std::string SettingText(std::int32_t value) {
    return std::to_string(value);
}

std::string SettingText(const std::string& value) {
    return value;
}

void ReadSettingText(const std::string& text, bool* value) {
    *value = text == "Y";
}

void ReadSettingText(const std::string& text, std::int32_t* value) {
    *value = ClampedAtoi(text);
}

void ReadSettingText(const std::string& text, std::string* value) {
    *value = text;
}

Settings::Start Settings::Open(const std::string& path) {
    store_ = IniFileClass();
    trouble_.clear();
    const std::string name(NamePart(path, kPathSeparator));

    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        start_ = Start::FirstLaunch;
        std::error_code error;
        std::filesystem::create_directories(std::string(FolderOf(path, kPathSeparator)), error);
    } else {
        std::string text;
        const bool readable = S_ISREG(status.st_mode) &&
                              static_cast<std::size_t>(status.st_size) <= kMaxBytes &&
                              ReadWholeFile(path, &text) && text.size() <= kMaxBytes;
        if (readable) {
            store_.ReadIniFile(path);
            if (LooksLikeSettings(text, store_)) {
                start_ = Start::Read;
                return start_;
            }
        }
        start_ = Start::SetAside;
        store_ = IniFileClass();
    }
    for (const DeclaredSetting& setting : DeclaredSettings()) {
        if (setting.FirstLaunch) {
            store_.WriteString(setting.Section, setting.Key, *setting.FirstLaunch);
        }
    }
    if (start_ == Start::SetAside) {
        if (std::rename(path.c_str(), (path + ".bad").c_str()) != 0) {
            // Left where it is and never written through: the settings last until the quit.
            trouble_ = name + " could not be read as settings, nor be kept aside as " + name +
                       ".bad (" + std::strerror(errno) +
                       "). Changes to the settings last until Quorvel quits.";
            std::fprintf(stderr, "Quorvel: %s\n", trouble_.c_str());
            return start_;
        }
        trouble_ = name + " could not be read as settings; it was kept as " + name + ".bad.";
    }
    store_.IniFileName = path;
    std::string reason;
    if (!store_.SaveIniFile(&reason)) {
        trouble_ += (trouble_.empty() ? "" : " ") + path + " cannot be written (" + reason +
                    "). Changes to the settings last until Quorvel quits.";
        std::fprintf(stderr, "Quorvel: %s\n", trouble_.c_str());
        writeFailed_ = true;
    }
    return start_;
}

bool Settings::PutText(const char* section, const char* key, const std::string& text) {
    auto& keys = store_.Sections[section];
    const auto found = keys.find(key);
    if (found != keys.end() && found->second == text) {
        return false;
    }
    keys[key] = text;
    return true;
}

bool Settings::Write() {
    if (store_.IniFileName.empty()) {
        return false;  // a file that could not be kept aside is never written over
    }
    std::string reason;
    const bool failedBefore = writeFailed_;
    writeFailed_ = !store_.SaveIniFile(&reason);
    if (writeFailed_ && !failedBefore) {
        std::fprintf(stderr, "Quorvel: could not save the settings to %s: %s\n",
                     store_.IniFileName.c_str(), reason.c_str());
        if (onWriteFailure_) {
            onWriteFailure_(reason);
        }
    }
    return !writeFailed_;
}
