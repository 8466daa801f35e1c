#include "TimeTextCodec.h"

#include "NumberText.h"

namespace {

// The substring [begin, end) of text, clipped to its size.
std::string_view Slice(std::string_view text, std::size_t begin, std::size_t end) {
    if (begin >= text.size() || end <= begin) {
        return {};
    }
    return text.substr(begin, end - begin);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Writes n with at least two digits at *out and moves *out past them: 5 -> "05",
// 123 -> "123".
void PutTwoDigits(char** out, std::uint32_t n) {
    if (n < 100) {  // every field but a large hours field
        *(*out)++ = static_cast<char>('0' + n / 10);
        *(*out)++ = static_cast<char>('0' + n % 10);
        return;
    }
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    while (count > 0) {
        *(*out)++ = digits[--count];
    }
}

}  // namespace

namespace quorvel_detail {

const char* ReadPlainTime(const char* p, const char* end, std::int32_t* time) {
    const bool negative = p != end && *p == '-';
    if (negative) {
        ++p;
    }
    // Nine-digit fields keep (h * 60 + m) * 60 + s, times 100, far inside 64 bits.
    std::int64_t sum = 0;
    for (int colons = 0;; ++colons) {
        const char* const fieldStart = p;
        std::int64_t value = 0;
        while (p != end && IsDigit(*p)) {
            if (p - fieldStart < 9) {  // a longer field is refused below
                value = value * 10 + (*p - '0');
            }
            ++p;
        }
        if (p == fieldStart || p - fieldStart > 9) {
            return nullptr;  // an empty field, or one that could reach the clamp
        }
        sum = sum * 60 + value;
        if (colons == 2 || p == end || *p != ':') {
            break;
        }
        ++p;
    }
    sum *= 100;
    if (p != end && *p == '.') {
        ++p;
        if (p == end || !IsDigit(*p)) {
            return nullptr;
        }
        std::int64_t hundredths = *p++ - '0';
        if (p != end && IsDigit(*p)) {
            hundredths = hundredths * 10 + (*p++ - '0');
        }
        sum += hundredths;
    }
    *time = SaturateToInt32(negative ? -sum : sum);
    return p;
}

std::int32_t TimeViewToLong(std::string_view text) {
    const char* const end = text.data() + text.size();
    if (std::int32_t time = 0; ReadPlainTime(text.data(), end, &time) == end) {
        return time;
    }
    return ReadAnyTime(text);
}

std::int32_t ReadAnyTime(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    bool negative = false;
    if (text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    constexpr auto npos = std::string_view::npos;
    // p1 and p2: the first two colons; p3: the first point after p2, or the first point
    // anywhere when there is no second colon.
    std::size_t p1 = npos;
    std::size_t p2 = npos;
    std::size_t firstPoint = npos;
    std::size_t pointAfterP2 = npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ':') {
            if (p1 == npos) {
                p1 = i;
            } else if (p2 == npos) {
                p2 = i;
            }
        } else if (text[i] == '.') {
            if (firstPoint == npos) {
                firstPoint = i;
            }
            if (p2 != npos && pointAfterP2 == npos) {
                pointAfterP2 = i;
            }
        }
    }
    const std::size_t p3 = p2 == npos ? firstPoint : pointAfterP2;
    // Without a point the text reads as if ".0" followed it: the seconds field runs to the
    // end and there are no hundredths.
    const bool hasPoint = p3 != npos;
    const std::size_t secondsEnd = hasPoint ? p3 : text.size();

    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
    if (p1 == npos) {
        seconds = ClampedAtoi(Slice(text, 0, secondsEnd));
    } else if (p2 == npos) {
        minutes = ClampedAtoi(Slice(text, 0, p1));
        // A point before the only colon: the seconds run to the end of the text.
        const std::size_t end = p1 + 1 > secondsEnd ? text.size() : secondsEnd;
        seconds = ClampedAtoi(Slice(text, p1 + 1, end));
    } else {
        hours = ClampedAtoi(Slice(text, 0, p1));
        minutes = ClampedAtoi(Slice(text, p1 + 1, p2));
        seconds = ClampedAtoi(Slice(text, p2 + 1, secondsEnd));
    }
    const std::int32_t hundredths = hasPoint ? ClampedAtoi(Slice(text, p3 + 1, p3 + 3)) : 0;

    // Each field is held to 32 bits, so the sum cannot leave 64 bits; the sum is then held
    // to 32 bits too, with the sign kept: "99999999999" -> 2147483647, never a wrapped value.
    const std::int64_t sum = std::int64_t{hours} * 360000 + std::int64_t{minutes} * 6000 +
                             std::int64_t{seconds} * 100 + std::int64_t{hundredths};
    return SaturateToInt32(negative ? -sum : sum);
}

void AppendTimeText(std::string* out, std::int32_t time, bool ShowPlus, bool ShortForm) {
    const bool negative = time < 0;
    std::uint32_t m = static_cast<std::uint32_t>(time);
    if (negative) {
        m = 0u - m;
    }
    const std::uint32_t hours = m / 360000u;
    std::uint32_t r = m % 360000u;
    const std::uint32_t minutes = r / 6000u;
    r %= 6000u;
    const std::uint32_t seconds = r / 100u;
    const std::uint32_t hundredths = r % 100u;

    // At most "-5965:13:56.48"; the first byte is kept free for the sign.
    char buffer[24];
    char* end = buffer + 1;
    if (hours != 0 || !ShortForm) {
        PutTwoDigits(&end, hours);
        *end++ = ':';
    }
    if (hours != 0 || !ShortForm || minutes != 0) {
        PutTwoDigits(&end, minutes);
        *end++ = ':';
    }
    PutTwoDigits(&end, seconds);
    *end++ = '.';
    PutTwoDigits(&end, hundredths);
    char* begin = buffer + 1;
    if (*begin == '0') {
        ++begin;
    }
    if (negative) {
        *--begin = '-';
    } else if (ShowPlus && time > 0) {
        *--begin = '+';
    }
    out->append(begin, end);
}

}  // namespace quorvel_detail
