#pragma once
// Number conversion and small string functions with the class library's behaviour.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The conversion error of the platform's string functions ("'abc' is not a valid integer value").
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Leading blanks (bytes <= ' '), an optional '+' or '-', then one or more decimal digits and
// nothing else; the value must fit in 32 bits. Anything else throws EConvertError.
int StrToInt(std::string_view s);
// As StrToInt, returning false (and leaving `value` alone) instead of throwing.
bool TryStrToInt(std::string_view s, int& value);
int StrToIntDef(std::string_view s, int def);
std::string IntToStr(int64_t v);

// Trim removes bytes <= ' ' at both ends (the class library's rule); TrimLeft/TrimRight one end.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// ASCII-only case mapping; other bytes (double-byte characters included) are unchanged.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Byte-wise comparison after ASCII upper-casing: <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);
inline bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }
