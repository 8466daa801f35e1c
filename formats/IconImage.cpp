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

}  // namespace

std::string DecodeBase64(std::string_view text, bool* ok) {
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    std::uint32_t bits = 0;
    int count = 0;
    bool padding = false;
    std::size_t i = 0;
    // Four characters at a time while they are all of the alphabet; the rest one by one.
    for (; i + 4 <= text.size(); i += 4) {
        const std::int8_t a = kDecode[static_cast<unsigned char>(text[i])];
        const std::int8_t b = kDecode[static_cast<unsigned char>(text[i + 1])];
        const std::int8_t c = kDecode[static_cast<unsigned char>(text[i + 2])];
        const std::int8_t d = kDecode[static_cast<unsigned char>(text[i + 3])];
        if ((a | b | c | d) < 0) {
            break;
        }
        const std::uint32_t v = static_cast<std::uint32_t>(a) << 18 |
                                static_cast<std::uint32_t>(b) << 12 |
                                static_cast<std::uint32_t>(c) << 6 | static_cast<std::uint32_t>(d);
        bytes.push_back(static_cast<char>(v >> 16));
        bytes.push_back(static_cast<char>(v >> 8 & 0xFF));
        bytes.push_back(static_cast<char>(v & 0xFF));
    }
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
            bytes.push_back(static_cast<char>((bits >> count) & 0xFF));
        }
    }
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

std::optional<RouteIcon> FindImage(std::string_view bytes) {
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
    std::size_t best = std::string_view::npos;
    std::string_view extension;
    for (const std::size_t window : {std::size_t{4096}, bytes.size()}) {
        const std::string_view head = bytes.substr(0, window);
        for (const Signature& signature : kSignatures) {
            const std::size_t at = head.find(signature.Start);
            if (at < best) {
                best = at;
                extension = signature.Extension;
            }
        }
        if (best != std::string_view::npos || window >= bytes.size()) {
            break;
        }
    }
    if (best == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view image = bytes.substr(best);
    if (extension == "png") {
        // A wrapper may follow the image; a PNG ends 8 bytes after its IEND chunk's name.
        const std::size_t end = image.rfind("IEND");
        if (end != std::string_view::npos && end + 8 <= image.size()) {
            image = image.substr(0, end + 8);
        }
    }
    RouteIcon icon;
    icon.Extension = std::string(extension);
    icon.Bytes = std::string(image);
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
