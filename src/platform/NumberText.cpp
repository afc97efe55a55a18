#include "platform/NumberText.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

// Conversions must not depend on the user's LC_NUMERIC: the texts always use a point.
locale_t ClassicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// sign? digits* ("." digits*)? with at least one digit, then (e|E sign? digits+)?
bool IsRealSyntax(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return i == s.size();
}

bool IsIntegerSyntax(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    if (i == s.size()) {
        return false;
    }
    for (; i < s.size(); ++i) {
        if (!IsDigit(s[i])) {
            return false;
        }
    }
    return true;
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += text;
    quoted += '\'';
    return quoted;
}

}  // namespace

long double StrToFloat(std::string_view text) {
    const std::string_view number = TrimSpaces(text);
    if (!IsRealSyntax(number)) {
        throw ConversionError(Quoted(text) + " is not a valid floating point value");
    }
    const std::string copy(number);
    errno = 0;
    char* end = nullptr;
    const long double value = strtold_l(copy.c_str(), &end, ClassicLocale());
    // ERANGE with a finite result is an underflow: the nearest extended real (0 or a subnormal)
    // is the honest answer. An infinite result means the number is beyond the range.
    if (end != copy.c_str() + copy.size() || std::isinf(value)) {
        throw ConversionError(Quoted(text) + " is not a valid floating point value");
    }
    return value;
}

std::int32_t StrToInt(std::string_view text) {
    const std::string_view number = TrimSpaces(text);
    if (!IsIntegerSyntax(number)) {
        throw ConversionError(Quoted(text) + " is not a valid integer value");
    }
    const std::string copy(number);
    errno = 0;
    char* end = nullptr;
    const long long value = strtoll_l(copy.c_str(), &end, 10, ClassicLocale());
    if (errno == ERANGE || end != copy.c_str() + copy.size() ||
        value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        throw ConversionError(Quoted(text) + " is not a valid integer value");
    }
    return static_cast<std::int32_t>(value);
}

std::string FloatToStr(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0) {
        return "0";
    }
    // "%.14e" rounds correctly to 15 significant digits: d.dddddddddddddde[+-]x
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    std::string digits;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            digits += *p;
        }
    }
    const int exponent = std::atoi(p + 1) + 1;  // value = 0.d1d2... x 10^exponent
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const int k = static_cast<int>(digits.size());

    std::string text = value < 0 ? "-" : "";
    if (exponent >= -3 && exponent <= 15) {
        if (exponent >= 1) {
            if (k <= exponent) {
                text += digits;
                text.append(static_cast<std::size_t>(exponent - k), '0');
            } else {
                text.append(digits, 0, static_cast<std::size_t>(exponent));
                text += '.';
                text.append(digits, static_cast<std::size_t>(exponent));
            }
        } else {
            text += "0.";
            text.append(static_cast<std::size_t>(-exponent), '0');
            text += digits;
        }
    } else {
        text += digits[0];
        if (k > 1) {
            text += '.';
            text.append(digits, 1);
        }
        text += 'E';
        text += std::to_string(exponent - 1);
    }
    return text;
}

std::string StreamReal(double value) {
    // snprintf honours LC_NUMERIC; the classic locale's "%g" is what std::ostream writes.
    const locale_t previous = uselocale(ClassicLocale());
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    uselocale(previous);
    return buffer;
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
    std::size_t stem = path.size();
    for (std::size_t i = path.size(); i > 0; --i) {
        const char c = path[i - 1];
        if (c == '/') {
            break;
        }
        if (c == '.') {
            stem = i - 1;
            break;
        }
    }
    std::string changed(path.substr(0, stem));
    changed += extension;
    return changed;
}

std::string WithFullStop(std::string_view message) {
    std::string text(message);
    if (!text.empty() &&
        static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    return text;
}
