#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Raised when a text is not a number; the message is the one the user reads.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Text to real. Spaces before and after are ignored; the number is an optional sign, digits with
// at most one decimal point, and an optional exponent ("E" or "e", optional sign, digits). The
// point is the separator whatever the user's locale. Anything else, and a number beyond the range
// of an extended real, raises ConversionError "'<text>' is not a valid floating point value".
// Numbers too small to represent become 0 or a subnormal, as the nearest extended real.
long double StrToFloat(std::string_view text);

// Text to 32-bit integer: spaces around, optional sign, decimal digits. Anything else, and a
// number outside the 32-bit range, raises ConversionError "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// The general real format used for labels and file headers: 15 significant digits, trailing zeros
// dropped, fixed notation for 0.0001 <= |value| < 1e15, otherwise "d.dddE-n" with a capital E and
// no plus sign or leading zeros in the exponent.
std::string FloatToStr(double value);

// The stream real format of the file's data rows: what a default-configured C++ output stream in
// the classic locale writes (six significant digits, "%g").
std::string StreamReal(double value);

// Replaces the extension of a path (the last "." after the last "/") or appends one.
std::string ChangeFileExt(std::string_view path, std::string_view extension);

// How the top-level error report shows a message: a full stop is appended unless the message
// already ends in a full stop or in a character that sorts below it (a space, a comma, ...).
std::string WithFullStop(std::string_view message);
