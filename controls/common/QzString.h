#pragma once
// Small text functions on code page 949 byte strings. Positions are 1-based, as the editor's
// scanners use them; a position outside the text is handled as each function says, never read.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

class TStringList;

// A set of the 256 byte values, used as delimiter and stop set by the scanners.
class TCharSet {
public:
    constexpr TCharSet() = default;
    // Every byte of `chars` is a member.
    explicit TCharSet(std::string_view chars) { Include(chars); }
    TCharSet(std::initializer_list<unsigned char> bytes) {
        for (unsigned char b : bytes)
            Include(b);
    }
    // The bytes first..last (inclusive).
    static TCharSet Range(unsigned char first, unsigned char last) {
        TCharSet s;
        for (unsigned b = first; b <= last; ++b)
            s.Include(static_cast<unsigned char>(b));
        return s;
    }

    bool Contains(unsigned char b) const { return (bits_[b >> 5] >> (b & 31)) & 1u; }
    bool Contains(char b) const { return Contains(static_cast<unsigned char>(b)); }
    void Include(unsigned char b) { bits_[b >> 5] |= 1u << (b & 31); }
    void Include(std::string_view chars) {
        for (char c : chars)
            Include(static_cast<unsigned char>(c));
    }
    void Exclude(unsigned char b) { bits_[b >> 5] &= ~(1u << (b & 31)); }
    void Clear() {
        for (uint32_t& w : bits_)
            w = 0;
    }
    bool Empty() const {
        for (uint32_t w : bits_)
            if (w)
                return false;
        return true;
    }

    TCharSet operator+(const TCharSet& o) const {
        TCharSet s;
        for (int i = 0; i < 8; ++i)
            s.bits_[i] = bits_[i] | o.bits_[i];
        return s;
    }
    TCharSet operator-(const TCharSet& o) const {
        TCharSet s;
        for (int i = 0; i < 8; ++i)
            s.bits_[i] = bits_[i] & ~o.bits_[i];
        return s;
    }
    bool operator==(const TCharSet& o) const {
        for (int i = 0; i < 8; ++i)
            if (bits_[i] != o.bits_[i])
                return false;
        return true;
    }
    bool operator!=(const TCharSet& o) const { return !(*this == o); }

private:
    uint32_t bits_[8] = {};
};

enum TReplaceFlag : uint8_t { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = uint8_t;  // a combination of TReplaceFlag bits

// The n-th word (1-based) of `text`: every byte in `delims` ends a word, adjacent delimiters make
// empty words. The word is trimmed (bytes <= ' ' at both ends). Empty when there is no such word.
std::string GetWord(std::string_view text, int n, const TCharSet& delims);
// 0 for an empty text, else the number of delimiter bytes + 1.
int GetWordCount(std::string_view text, const TCharSet& delims);
// Appends every non-empty run of non-delimiter bytes to `lines` (which is not cleared).
void SplitWord(std::string_view text, const TCharSet& delims, TStringList& lines);

// Position of the first `sub` in `text` at or after `from` (below 1 counts as 1); 0 when none
// or when `sub` is empty.
int PosFrom(std::string_view text, std::string_view sub, int from);
// Replaces the first (or, with rfReplaceAll, every) occurrence of `oldText`, scanning left to
// right without searching replaced text again. rfIgnoreCase compares through the locale's
// upper-casing. A match begins and ends on character boundaries, so a double-byte character is
// never taken apart. An empty `oldText` replaces nothing.
std::string StringReplace(std::string_view text, std::string_view oldText, std::string_view newText,
                          TReplaceFlags flags);
// Replaces sub.size() bytes at `index` with `sub`, lengthening the text when it runs past the
// end. `index` is clamped to 1..length + 1.
void OverWrite(std::string& text, std::string_view sub, int index);

int CountChar(std::string_view text, char ch);
// Every byte '0'-'9' (true for an empty text).
bool IsNum(std::string_view text);
// Every byte '0'-'9' or 'A'-'F' (upper case only; true for an empty text).
bool IsHex(std::string_view text);
// `text` with every byte `ch` replaced by `rep`.
std::string ReplaceChar(std::string_view text, char ch, std::string_view rep);

// Case conversion through the locale: ASCII letters and the letters of the double-byte set
// (full-width Latin, Greek, Cyrillic, Roman numerals); a double-byte character is converted
// whole and never split, so the text keeps its length.
std::string LocaleUpperCase(std::string_view text);
std::string LocaleLowerCase(std::string_view text);
// The first character upper-cased; each further character upper-cased when the byte before it
// is below 33 (a blank or control character) and lower-cased otherwise, through the locale.
std::string Capitalize(std::string_view text);
// ASCII letters upper-cased; a double-byte character is skipped whole (its trail byte may look
// like a letter).
std::string AsciiUpperCase(std::string_view text);
// ASCII letters swap case; other bytes (double-byte characters too) are unchanged.
std::string InvertCase(std::string_view text);

// Forward from `index` to the first position whose byte is in `delims` (Length + 1 when none);
// `index` is moved there and returned. An index below 1 or beyond the length is returned as is.
int GetPosUntil(std::string_view text, const TCharSet& delims, int& index);
// As GetPosUntil, stopping at the first byte not in `delims`.
int GetPosWhile(std::string_view text, const TCharSet& delims, int& index);
// Backward from `index` to the last position at or before it whose byte is in `delims` (0 when
// none); `index` is moved and returned. An out-of-range index is returned as is.
int GetPosUntilR(std::string_view text, const TCharSet& delims, int& index);
// As GetPosUntilR, stopping at the last byte not in `delims`.
int GetPosWhileR(std::string_view text, const TCharSet& delims, int& index);
// The bytes from `index` up to (not including) the first byte in `delims` or the end; `index`
// ends on that byte or at Length + 1. Empty, index unchanged, when index is out of range.
std::string GetStringUntil(std::string_view text, const TCharSet& delims, int& index);
// The run of bytes from `index` that are in `delims`; `index` ends on the first byte not in
// `delims` or at Length + 1. Empty when index is out of range or text[index] is not in `delims`.
std::string GetStringWhile(std::string_view text, const TCharSet& delims, int& index);

// The value of a decimal float text (blanks around it allowed, '.' as the decimal separator,
// optional exponent); `def` when it does not convert. Never depends on the process locale.
double StrToFloatDef(std::string_view text, double def);
