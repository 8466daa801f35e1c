// Settings file: any file must read safely, every value must convert safely, and a store
// read from a file must save and read back to the same sections, keys and values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzFiles.h"
#include "IniFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::ScratchFolder() + "Quorvel.ini";
    fuzz::WriteInput(path, data, size);

    IniFileClass first;
    first.ReadIniFile(path);
    fuzz::Check(first.IniFileName == path, "a readable file keeps its name");
    for (const auto& [section, keys] : first.Sections) {
        fuzz::Check(!section.empty(), "no key is filed under an empty section name");
        fuzz::Check(!keys.empty(), "no section is stored without keys");
        for (const auto& [key, value] : keys) {
            fuzz::Check(key.find('=') == std::string::npos, "a key never holds '='");
            fuzz::Check(first.ReadString(section, key, "\x01") == value, "ReadString");
            first.ReadInteger(section, key, 0);
            first.ReadFloat(section, key, 0.0);
        }
    }

    fuzz::Check(first.SaveIniFile(), "a store read from a file saves back to it");
    IniFileClass second;
    second.ReadIniFile(path);
    fuzz::Check(second.Sections == first.Sections, "read, save and read gives the same store");
    return 0;
}
