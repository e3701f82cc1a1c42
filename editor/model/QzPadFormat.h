#pragma once
// Number formatting for the numbered-sequence and block-fill operations of the editor: the
// class library's format function with exactly one numeric argument.
//
// A format text holds literal bytes and conversions "%" [index ":"] ["-"] [width] ["." prec]
// type, and "%%" for a percent sign. With an integer argument the types d, u and x apply (x in
// upper-case hexadecimal; the precision is the minimum number of digits); with a floating
// argument e, f, g, n and m (the precision is the number of decimals for f, n and m, default 2,
// and the number of significant digits for e and g, default 15). Any other type, a type that does
// not suit the argument, a second conversion (there is only one argument), a '*' width or an
// unterminated conversion throws EConvertError.

#include <cstdint>
#include <string>
#include <string_view>

std::string QzFormatInt(std::string_view format, int64_t value);
std::string QzFormatFloat(std::string_view format, double value);

// True when the format holds an integer conversion: "%" followed by any of ".0123456789" and
// then d, u or x (case-sensitive).
bool QzFormatHasIntConversion(std::string_view format);

// The value formatted: truncated toward zero and formatted as an integer when the format holds an
// integer conversion, else formatted as a floating value. Throws EConvertError for a bad format
// and for a value that does not fit in 64 bits where an integer is needed.
std::string FormatIncNo(std::string_view format, double value);
// True when FormatIncNo succeeds for the value.
bool CheckFormat(std::string_view format, double value);
