// The one-argument format function of the editor's numbering operations.

#include "editor/model/QzPadFormat.h"

#include "platform/core/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

struct TFormatArg {
    bool IsInt;
    int64_t Int;
    double Float;
};

[[noreturn]] void Invalid(std::string_view format)
{
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

// Reads decimal digits from `i`; -1 when there are none.
int ReadNumber(std::string_view f, size_t& i)
{
    if (i >= f.size() || f[i] < '0' || f[i] > '9') return -1;
    int n = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') {
        if (n < 100000) n = n * 10 + (f[i] - '0');
        ++i;
    }
    return n;
}

std::string ZeroPad(std::string digits, int precision)
{
    if (precision > 0 && static_cast<int>(digits.size()) < precision)
        digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
    return digits;
}

std::string Printf(const char* spec, int precision, double v)
{
    char buf[512];
    const int n = std::snprintf(buf, sizeof buf, spec, precision, v);
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof buf) return std::string(buf, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), spec, precision, v);
    big.resize(static_cast<size_t>(n));
    return big;
}

// Thousands separators in the integer part of a fixed-point text.
std::string GroupThousands(const std::string& fixed)
{
    size_t start = (!fixed.empty() && fixed[0] == '-') ? 1 : 0;
    size_t end = fixed.find('.');
    if (end == std::string::npos) end = fixed.size();
    std::string out = fixed.substr(0, start);
    for (size_t i = start; i < end; ++i) {
        out += fixed[i];
        const size_t left = end - i - 1;
        if (left > 0 && left % 3 == 0) out += ',';
    }
    out += fixed.substr(end);
    return out;
}

// The exponent written with at least three digits ("1.5E+003").
std::string Scientific(double v, int precision)
{
    std::string s = Printf("%.*E", precision < 1 ? 0 : precision - 1, v);
    const size_t e = s.find('E');
    if (e == std::string::npos || e + 2 > s.size()) return s;
    std::string digits = s.substr(e + 2);
    while (digits.size() < 3) digits.insert(0, "0");
    return s.substr(0, e + 2) + digits;
}

std::string Convert(std::string_view format, char type, int precision, const TFormatArg& arg)
{
    switch (type) {
    case 'd': case 'D':
        if (!arg.IsInt) Invalid(format);
        if (arg.Int < 0) {
            const uint64_t mag = 0 - static_cast<uint64_t>(arg.Int);
            return "-" + ZeroPad(std::to_string(mag), precision);
        }
        return ZeroPad(std::to_string(arg.Int), precision);
    case 'u': case 'U':
        if (!arg.IsInt) Invalid(format);
        return ZeroPad(std::to_string(static_cast<uint64_t>(arg.Int)), precision);
    case 'x': case 'X': {
        if (!arg.IsInt) Invalid(format);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(arg.Int));
        return ZeroPad(buf, precision);
    }
    case 'f': case 'F':
        if (arg.IsInt) Invalid(format);
        return Printf("%.*f", precision < 0 ? 2 : std::min(precision, 18), arg.Float);
    case 'n': case 'N': case 'm': case 'M':
        if (arg.IsInt) Invalid(format);
        if (!std::isfinite(arg.Float)) return Printf("%.*f", 0, arg.Float);
        return GroupThousands(Printf("%.*f", precision < 0 ? 2 : std::min(precision, 18), arg.Float));
    case 'e': case 'E':
        if (arg.IsInt) Invalid(format);
        return Scientific(arg.Float, precision < 0 ? 15 : std::min(precision, 18));
    case 'g': case 'G':
        if (arg.IsInt) Invalid(format);
        return Printf("%.*G", precision < 0 ? 15 : std::clamp(precision, 1, 18), arg.Float);
    default:
        Invalid(format);
    }
}

std::string Format(std::string_view f, const TFormatArg& arg)
{
    std::string out;
    int argIndex = 0;
    size_t i = 0;
    while (i < f.size()) {
        const char c = f[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i >= f.size()) Invalid(f);
        if (f[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        if (f[i] == '*') Invalid(f);
        int number = ReadNumber(f, i);
        if (i < f.size() && f[i] == ':') {
            argIndex = number < 0 ? 0 : number;
            ++i;
            number = -1;
        }
        bool leftAlign = false;
        if (number < 0 && i < f.size() && f[i] == '-') {
            leftAlign = true;
            ++i;
        }
        if (i < f.size() && f[i] == '*') Invalid(f);
        const int width = number >= 0 ? number : ReadNumber(f, i);
        int precision = -1;
        if (i < f.size() && f[i] == '.') {
            ++i;
            if (i < f.size() && f[i] == '*') Invalid(f);
            precision = std::max(ReadNumber(f, i), 0);
        }
        if (i >= f.size()) Invalid(f);
        const char type = f[i++];
        if (argIndex != 0) Invalid(f);
        std::string piece = Convert(f, type, precision, arg);
        ++argIndex;
        if (width > 0 && static_cast<int>(piece.size()) < width) {
            const size_t pad = static_cast<size_t>(width) - piece.size();
            if (leftAlign)
                piece.append(pad, ' ');
            else
                piece.insert(0, pad, ' ');
        }
        out += piece;
    }
    return out;
}

}  // namespace

std::string QzFormatInt(std::string_view format, int64_t value)
{
    return Format(format, TFormatArg{true, value, 0.0});
}

std::string QzFormatFloat(std::string_view format, double value)
{
    return Format(format, TFormatArg{false, 0, value});
}

bool QzFormatHasIntConversion(std::string_view f)
{
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%') continue;
        size_t k = i + 1;
        while (k < f.size() && (f[k] == '.' || (f[k] >= '0' && f[k] <= '9'))) ++k;
        if (k < f.size() && (f[k] == 'd' || f[k] == 'u' || f[k] == 'x')) return true;
    }
    return false;
}

std::string FormatIncNo(std::string_view format, double value)
{
    if (!QzFormatHasIntConversion(format)) return QzFormatFloat(format, value);
    const double t = std::trunc(value);
    // 2^63 is exactly representable; anything at or beyond it (or NaN) has no 64-bit value.
    if (!(t >= -9223372036854775808.0 && t < 9223372036854775808.0))
        throw EConvertError("Invalid floating point operation");
    return QzFormatInt(format, static_cast<int64_t>(t));
}

bool CheckFormat(std::string_view format, double value)
{
    try {
        FormatIncNo(format, value);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}
