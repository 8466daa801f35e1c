#include "ClockText.h"

#include <cstdio>
#include <limits>

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits of one field, at most up to a value that already saturates.
bool ReadField(std::string_view digits, std::int64_t* value) {
    if (digits.empty()) {
        return false;
    }
    std::int64_t v = 0;
    for (const char c : digits) {
        if (!IsDigit(c)) {
            return false;
        }
        if (v <= kMax * 1000) {
            v = v * 10 + (c - '0');
        }
    }
    *value = v;
    return true;
}

std::string Fault(std::string_view text, const char* what) {
    return "time text \"" + std::string(text.substr(0, 40)) + "\" " + what;
}

}  // namespace

bool ReadClockText(std::string_view text, std::int32_t* hundredths, std::string* fault) {
    const std::string_view original = text;
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        *fault = "time text is empty";
        return false;
    }
    for (const char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            *fault = Fault(original, "has a letter");
            return false;
        }
    }
    const bool negative = text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }

    // Cut into colon-separated fields; the last one may carry the decimals.
    std::string_view fields[3];
    std::size_t fieldCount = 0;
    for (std::size_t start = 0;;) {
        const std::size_t colon = text.find(':', start);
        if (fieldCount == 3) {
            *fault = Fault(original, "has more than two colons");
            return false;
        }
        fields[fieldCount++] = text.substr(start, colon - start);
        if (colon == std::string_view::npos) {
            break;
        }
        start = colon + 1;
    }
    std::string_view& last = fields[fieldCount - 1];
    std::string_view fraction;
    const std::size_t point = last.find('.');
    if (point != std::string_view::npos) {
        fraction = last.substr(point + 1);
        last = last.substr(0, point);
        if (fraction.empty()) {
            *fault = Fault(original, "has no digits after its point");
            return false;
        }
    }
    std::int64_t days = 0;
    if (fieldCount == 3) {
        const std::size_t dayPoint = fields[0].find('.');
        if (dayPoint != std::string_view::npos) {
            if (!ReadField(fields[0].substr(0, dayPoint), &days)) {
                *fault = Fault(original, "is not a time");
                return false;
            }
            fields[0] = fields[0].substr(dayPoint + 1);
        }
    }
    std::int64_t parts[3] = {0, 0, 0};  // hours, minutes, seconds
    const std::size_t first = 3 - fieldCount;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        if (!ReadField(fields[i], &parts[first + i])) {
            *fault = Fault(original, "is not a time");
            return false;
        }
        if (i > 0 && parts[first + i] > 59) {
            *fault =
                Fault(original, first + i == 1 ? "has minutes over 59" : "has seconds over 59");
            return false;
        }
    }
    std::int64_t fractionHundredths = 0;
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        if (!IsDigit(fraction[i])) {
            *fault = Fault(original, "is not a time");
            return false;
        }
        if (i < 2) {
            fractionHundredths = fractionHundredths * 10 + (fraction[i] - '0');
        } else if (i == 2 && fraction[i] >= '5') {
            ++fractionHundredths;
        }
    }
    if (fraction.size() == 1) {
        fractionHundredths *= 10;
    }
    // Each part is below kMax * 10000, so the sum cannot overflow 64 bits before the clamp;
    // the days are held before they are multiplied.
    std::int64_t total = days > kMax / 8640000 ? kMax : days * 8640000;
    total += parts[0] * 360000 + parts[1] * 6000 + parts[2] * 100 + fractionHundredths;
    if (total > kMax) {
        total = kMax;
    }
    *hundredths = static_cast<std::int32_t>(negative ? -total : total);
    return true;
}

namespace {

std::string ClockText(std::int32_t hundredths, bool longForm) {
    const bool negative = hundredths < 0;
    std::int64_t m = hundredths;
    if (negative) {
        m = -m;
    }
    const std::int64_t fraction = m % 100;
    const std::int64_t seconds = m / 100 % 60;
    const std::int64_t minutes = m / 6000 % 60;
    std::int64_t hours = m / 360000;
    char text[64];
    if (longForm) {
        const std::int64_t days = hours / 24;
        hours %= 24;
        if (days > 0) {
            std::snprintf(text, sizeof text, "%s%lld.%02lld:%02lld:%02lld.%02lld00000",
                          negative ? "-" : "", static_cast<long long>(days),
                          static_cast<long long>(hours), static_cast<long long>(minutes),
                          static_cast<long long>(seconds), static_cast<long long>(fraction));
        } else {
            std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld.%02lld00000",
                          negative ? "-" : "", static_cast<long long>(hours),
                          static_cast<long long>(minutes), static_cast<long long>(seconds),
                          static_cast<long long>(fraction));
        }
    } else {
        std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld.%02lld0000", negative ? "-" : "",
                      static_cast<long long>(hours), static_cast<long long>(minutes),
                      static_cast<long long>(seconds), static_cast<long long>(fraction));
    }
    return text;
}

}  // namespace

std::string LongClockText(std::int32_t hundredths) {
    return ClockText(hundredths, true);
}

std::string ShortClockText(std::int32_t hundredths) {
    return ClockText(hundredths, false);
}
