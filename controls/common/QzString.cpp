#include "controls/common/QzString.h"

#include <charconv>
#include <unordered_map>

#include "platform/core/Cp949.h"
#include "platform/core/StringList.h"
#include "platform/core/SysUtils.h"

namespace {

int Len(std::string_view s) { return static_cast<int>(s.size()); }

unsigned char At(std::string_view s, int pos) { return static_cast<unsigned char>(s[static_cast<size_t>(pos - 1)]); }

// ---- the locale's case mapping of double-byte letters -------------------------------------

uint32_t DecodeUtf8(std::string_view s) {
    if (s.empty())
        return 0;
    unsigned char c = static_cast<unsigned char>(s[0]);
    if (c < 0x80)
        return c;
    int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    uint32_t cp = c & (0x3F >> n);
    for (int i = 1; i <= n && i < static_cast<int>(s.size()); ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(s[static_cast<size_t>(i)]) & 0x3F);
    return cp;
}

std::string EncodeUtf8(uint32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// Upper case of the lower-case letters that the double-byte set holds.
uint32_t UpperCodePoint(uint32_t cp) {
    if (cp >= 0xFF41 && cp <= 0xFF5A) return cp - 0x20;       // full-width Latin
    if (cp >= 0x03B1 && cp <= 0x03C9 && cp != 0x03C2) return cp - 0x20;  // Greek
    if (cp >= 0x0430 && cp <= 0x044F) return cp - 0x20;       // Cyrillic
    if (cp == 0x0451) return 0x0401;
    if (cp >= 0x2170 && cp <= 0x217F) return cp - 0x10;       // Roman numerals
    switch (cp) {
    case 0x00E6: return 0x00C6;
    case 0x00F0: return 0x00D0;
    case 0x00F8: return 0x00D8;
    case 0x00FE: return 0x00DE;
    case 0x0111: return 0x0110;
    case 0x0127: return 0x0126;
    case 0x0133: return 0x0132;
    case 0x0140: return 0x013F;
    case 0x0142: return 0x0141;
    case 0x014B: return 0x014A;
    case 0x0153: return 0x0152;
    case 0x0167: return 0x0166;
    default: return cp;
    }
}

struct DbcsCaseTables {
    std::unordered_map<uint16_t, uint16_t> upper;
    std::unordered_map<uint16_t, uint16_t> lower;

    DbcsCaseTables() {
        // The rows of the double-byte set that hold letters with two cases.
        for (unsigned lead : {0xA3u, 0xA5u, 0xA8u, 0xA9u, 0xACu}) {
            for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
                std::string ch{static_cast<char>(lead), static_cast<char>(trail)};
                std::string utf8 = Cp949ToUtf8(ch);
                uint32_t cp = DecodeUtf8(utf8);
                uint32_t up = UpperCodePoint(cp);
                if (cp == 0xFFFD || up == cp)
                    continue;
                std::string back = Cp949FromUtf8(EncodeUtf8(up));
                if (back.size() != 2 || !IsDbcsLeadByte(static_cast<unsigned char>(back[0])))
                    continue;
                uint16_t from = static_cast<uint16_t>(lead << 8 | trail);
                uint16_t to = static_cast<uint16_t>(static_cast<unsigned char>(back[0]) << 8 |
                                                    static_cast<unsigned char>(back[1]));
                upper[from] = to;
                lower[to] = from;
            }
        }
    }
};

const DbcsCaseTables& CaseTables() {
    static const DbcsCaseTables tables;
    return tables;
}

// Converts the character starting at byte i (0-based) of `s` in place; returns its length.
size_t ConvertCharAt(std::string& s, size_t i, bool upper) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (IsDbcsLeadByte(c) && i + 1 < s.size()) {
        unsigned char t = static_cast<unsigned char>(s[i + 1]);
        const auto& table = upper ? CaseTables().upper : CaseTables().lower;
        auto it = table.find(static_cast<uint16_t>(c << 8 | t));
        if (it != table.end()) {
            s[i] = static_cast<char>(it->second >> 8);
            s[i + 1] = static_cast<char>(it->second & 0xFF);
        }
        return 2;
    }
    if (upper && c >= 'a' && c <= 'z')
        s[i] = static_cast<char>(c - 32);
    else if (!upper && c >= 'A' && c <= 'Z')
        s[i] = static_cast<char>(c + 32);
    return 1;
}

std::string ConvertCase(std::string_view text, bool upper) {
    std::string s(text);
    for (size_t i = 0; i < s.size();)
        i += ConvertCharAt(s, i, upper);
    return s;
}

}  // namespace

std::string GetWord(std::string_view text, int n, const TCharSet& delims) {
    if (text.empty() || n < 1)
        return std::string();
    int word = 1;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || delims.Contains(text[i])) {
            if (word == n)
                return Trim(text.substr(start, i - start));
            ++word;
            start = i + 1;
        }
    }
    return std::string();
}

int GetWordCount(std::string_view text, const TCharSet& delims) {
    if (text.empty())
        return 0;
    int count = 1;
    for (char c : text)
        if (delims.Contains(c))
            ++count;
    return count;
}

void SplitWord(std::string_view text, const TCharSet& delims, TStringList& lines) {
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || delims.Contains(text[i])) {
            if (i > start)
                lines.Add(std::string(text.substr(start, i - start)));
            start = i + 1;
        }
    }
}

int PosFrom(std::string_view text, std::string_view sub, int from) {
    if (sub.empty())
        return 0;
    if (from < 1)
        from = 1;
    if (from > Len(text))
        return 0;
    size_t p = text.find(sub, static_cast<size_t>(from - 1));
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string StringReplace(std::string_view text, std::string_view oldText, std::string_view newText,
                          TReplaceFlags flags) {
    if (oldText.empty())
        return std::string(text);
    std::string searchText, pattern;
    std::string_view hay = text, needle = oldText;
    if (flags & rfIgnoreCase) {
        searchText = LocaleUpperCase(text);
        pattern = LocaleUpperCase(oldText);
        hay = searchText;
        needle = pattern;
    }
    // A text that ends in a lone lead byte would take only the first byte of a character.
    size_t k = 0;
    while (k + 1 < oldText.size())
        k += IsDbcsLeadByte(static_cast<unsigned char>(oldText[k])) ? 2 : 1;
    const bool endsInLead = k + 1 == oldText.size() && IsDbcsLeadByte(static_cast<unsigned char>(oldText[k]));
    std::string result;
    size_t pos = 0;        // the text before pos is done
    size_t from = 0;       // where the next search begins
    size_t character = 0;  // a character start at or before the next hit, found by walking from 0
    while (from <= text.size()) {
        const size_t hit = hay.find(needle, from);
        if (hit == std::string_view::npos)
            break;
        while (character < hit)
            character += IsDbcsLeadByte(static_cast<unsigned char>(text[character])) ? 2 : 1;
        if (character != hit || (endsInLead && hit + oldText.size() < text.size())) {
            // Inside a character, or ending inside one: go on at the next character start.
            from = character != hit ? character : hit + (IsDbcsLeadByte(static_cast<unsigned char>(text[hit])) ? 2 : 1);
            continue;
        }
        result.append(text.substr(pos, hit - pos));
        result.append(newText);
        pos = hit + oldText.size();
        from = character = pos;
        if (!(flags & rfReplaceAll))
            break;
    }
    if (pos < text.size())
        result.append(text.substr(pos));
    return result;
}

void OverWrite(std::string& text, std::string_view sub, int index) {
    if (index < 1)
        index = 1;
    if (index > Len(text) + 1)
        index = Len(text) + 1;
    size_t at = static_cast<size_t>(index - 1);
    text.replace(at, std::min(sub.size(), text.size() - at), sub);
}

int CountChar(std::string_view text, char ch) {
    int n = 0;
    for (char c : text)
        if (c == ch)
            ++n;
    return n;
}

bool IsNum(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool IsHex(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

std::string ReplaceChar(std::string_view text, char ch, std::string_view rep) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c == ch)
            result.append(rep);
        else
            result += c;
    }
    return result;
}

std::string LocaleUpperCase(std::string_view text) { return ConvertCase(text, true); }

std::string LocaleLowerCase(std::string_view text) { return ConvertCase(text, false); }

std::string Capitalize(std::string_view text) {
    std::string s(text);
    for (size_t i = 0; i < s.size();) {
        bool upper = i == 0 || static_cast<unsigned char>(s[i - 1]) < 33;
        i += ConvertCharAt(s, i, upper);
    }
    return s;
}

std::string AsciiUpperCase(std::string_view text) {
    std::string s(text);
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (IsDbcsLeadByte(c))
            ++i;
        else if (c >= 'a' && c <= 'z')
            s[i] = static_cast<char>(c - 32);
    }
    return s;
}

std::string InvertCase(std::string_view text) {
    std::string s(text);
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (IsDbcsLeadByte(c)) {
            ++i;  // the trail byte belongs to the double-byte character
        } else if (c >= 'a' && c <= 'z') {
            s[i] = static_cast<char>(c - 32);
        } else if (c >= 'A' && c <= 'Z') {
            s[i] = static_cast<char>(c + 32);
        }
    }
    return s;
}

int GetPosUntil(std::string_view text, const TCharSet& delims, int& index) {
    if (index < 1 || index > Len(text))
        return index;
    while (index <= Len(text) && !delims.Contains(At(text, index)))
        ++index;
    return index;
}

int GetPosWhile(std::string_view text, const TCharSet& delims, int& index) {
    if (index < 1 || index > Len(text))
        return index;
    while (index <= Len(text) && delims.Contains(At(text, index)))
        ++index;
    return index;
}

int GetPosUntilR(std::string_view text, const TCharSet& delims, int& index) {
    if (index < 1 || index > Len(text))
        return index;
    while (index >= 1 && !delims.Contains(At(text, index)))
        --index;
    return index;
}

int GetPosWhileR(std::string_view text, const TCharSet& delims, int& index) {
    if (index < 1 || index > Len(text))
        return index;
    while (index >= 1 && delims.Contains(At(text, index)))
        --index;
    return index;
}

std::string GetStringUntil(std::string_view text, const TCharSet& delims, int& index) {
    if (index < 1 || index > Len(text))
        return std::string();
    int start = index;
    GetPosUntil(text, delims, index);
    return std::string(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(index - start)));
}

std::string GetStringWhile(std::string_view text, const TCharSet& delims, int& index) {
    if (index < 1 || index > Len(text) || !delims.Contains(At(text, index)))
        return std::string();
    int start = index;
    GetPosWhile(text, delims, index);
    return std::string(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(index - start)));
}

double StrToFloatDef(std::string_view text, double def) {
    std::string t = Trim(text);
    std::string_view s = t;
    // Accept only [sign] digits [. digits] [e [sign] digits] with at least one mantissa digit:
    // no hexadecimal forms, no "inf" or "nan".
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++digits; }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++digits; }
    }
    if (digits == 0)
        return def;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t exp = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++exp; }
        if (exp == 0)
            return def;
    }
    if (i != s.size())
        return def;
    if (s[0] == '+')
        s.remove_prefix(1);
    double value = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size())
        return def;
    return value;
}
