// Time text: reading any text must be safe, and every time must read back from its text
// in all four forms.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzFiles.h"
#include "QuorvelEngine.h"

namespace {

void CheckRoundTrip(std::int32_t time) {
    for (const bool showPlus : {false, true}) {
        for (const bool shortForm : {false, true}) {
            const std::string text = LongToTimeString(time, showPlus, shortForm);
            fuzz::Check(TimeStringToLong(text) == time, "time text reads back to its time");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckRoundTrip(TimeStringToLong(text));

    if (size >= sizeof(std::int32_t)) {
        std::int32_t time = 0;
        std::memcpy(&time, data, sizeof time);
        CheckRoundTrip(time);
    }
    return 0;
}
