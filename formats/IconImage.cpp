#include "IconImage.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> MakeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& entry : table) {
        entry = -1;
    }
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    }
    return table;
}

constexpr std::array<std::int8_t, 256> kDecode = MakeDecodeTable();

// The length of the PNG image at the start of bytes, found by walking its chunks (length,
// type, data, check sum) to the IEND chunk; all of bytes when the chunks do not add up.
std::size_t PngLength(std::string_view bytes) {
    std::size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const auto byte = [&](std::size_t i) {
            return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + i]));
        };
        const std::size_t length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        if (length > bytes.size() - at - 12) {
            break;
        }
        const std::size_t next = at + 12 + length;
        if (bytes.substr(at + 4, 4) == "IEND") {
            return next;
        }
        at = next;
    }
    return bytes.size();
}

}  // namespace

std::string DecodeBase64(std::string_view text, bool* ok) {
    std::string bytes(text.size() / 4 * 3 + 3, '\0');
    char* out = bytes.data();
    std::size_t i = 0;
    // Four characters at a time while they are all of the alphabet; the rest one by one.
    for (; i + 4 <= text.size(); i += 4) {
        const std::int32_t a = kDecode[static_cast<unsigned char>(text[i])];
        const std::int32_t b = kDecode[static_cast<unsigned char>(text[i + 1])];
        const std::int32_t c = kDecode[static_cast<unsigned char>(text[i + 2])];
        const std::int32_t d = kDecode[static_cast<unsigned char>(text[i + 3])];
        if ((a | b | c | d) < 0) {
            break;
        }
        const std::uint32_t v = static_cast<std::uint32_t>(a << 18 | b << 12 | c << 6 | d);
        *out++ = static_cast<char>(v >> 16);
        *out++ = static_cast<char>(v >> 8 & 0xFF);
        *out++ = static_cast<char>(v & 0xFF);
    }
    std::uint32_t bits = 0;
    int count = 0;
    bool padding = false;
    for (const char c : text.substr(i)) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            continue;
        }
        if (c == '=') {
            padding = true;
            continue;
        }
        const std::int8_t value = kDecode[static_cast<unsigned char>(c)];
        if (value < 0 || padding) {
            *ok = false;
            return "";
        }
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            if (static_cast<std::size_t>(out - bytes.data()) == bytes.size()) {
                const std::size_t used = bytes.size();
                bytes.resize(used * 2 + 3);
                out = bytes.data() + used;
            }
            *out++ = static_cast<char>((bits >> count) & 0xFF);
        }
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    *ok = true;
    return bytes;
}

std::string EncodeBase64(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const std::uint32_t v =
            static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8 |
            static_cast<unsigned char>(bytes[i + 2]);
        text += kAlphabet[v >> 18 & 63];
        text += kAlphabet[v >> 12 & 63];
        text += kAlphabet[v >> 6 & 63];
        text += kAlphabet[v & 63];
    }
    if (i < bytes.size()) {
        std::uint32_t v = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
        if (i + 1 < bytes.size()) {
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        }
        text += kAlphabet[v >> 18 & 63];
        text += kAlphabet[v >> 12 & 63];
        text += i + 1 < bytes.size() ? kAlphabet[v >> 6 & 63] : '=';
        text += '=';
    }
    return text;
}

std::optional<SplitPicture> FindImage(std::string bytes) {
    using namespace std::string_view_literals;
    struct Signature {
        std::string_view Start;
        std::string_view Extension;
    };
    constexpr Signature kSignatures[] = {{"\x89PNG\r\n\x1a\n"sv, "png"sv},
                                         {"\xFF\xD8\xFF"sv, "jpg"sv},
                                         {"GIF87a"sv, "gif"sv},
                                         {"GIF89a"sv, "gif"sv}};
    // A wrapper puts the image after a short header: look there first, then everywhere.
    const std::string_view all = bytes;
    std::size_t best = std::string_view::npos;
    std::string_view extension;
    for (const std::size_t window : {std::size_t{4096}, all.size()}) {
        const std::string_view head = all.substr(0, window);
        for (const Signature& signature : kSignatures) {
            const std::size_t at = head.find(signature.Start);
            if (at < best) {
                best = at;
                extension = signature.Extension;
            }
            if (best == 0) {
                break;
            }
        }
        if (best != std::string_view::npos || window >= all.size()) {
            break;
        }
    }
    if (best == std::string_view::npos) {
        return std::nullopt;
    }
    bytes.erase(0, best);
    if (extension == "png") {
        bytes.resize(PngLength(bytes));
    }
    SplitPicture icon;
    icon.Extension = std::string(extension);
    icon.Bytes = std::move(bytes);
    return icon;
}

std::string ImageExtensionOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) {
        return "";
    }
    std::string extension;
    for (const char c : fileName.substr(dot + 1)) {
        extension += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (extension == "jpeg") {
        return "jpg";
    }
    return extension == "png" || extension == "jpg" || extension == "gif" ? extension : "";
}
