#pragma once
// The line-level search of the editor: the find options, the default word delimiters and Scan,
// which finds a literal text or a regular expression in one line, forward or backward.
//
// Lines are searched in their tab-expanded form, so a 1-based position p found in a line is the
// caret column p - 1. A match never begins or ends inside a double-byte character.

#include "controls/common/QzString.h"
#include "editor/model/Odregexpunit.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

enum TQzFindOption : uint8_t { qzfoMatchCase, qzfoWholeWord, qzfoBackward, qzfoEntire, qzfoRegular };

// The set of find options, one byte: bit n = option n (qzfoMatchCase 1 ... qzfoRegular 16).
class TQzFindOptions {
public:
    constexpr TQzFindOptions() = default;
    constexpr TQzFindOptions(std::initializer_list<TQzFindOption> options) {
        for (TQzFindOption o : options)
            bits_ = static_cast<uint8_t>(bits_ | (1u << o));
    }
    static constexpr TQzFindOptions FromByte(uint8_t b) {
        TQzFindOptions o;
        o.bits_ = b & 0x1F;
        return o;
    }
    constexpr uint8_t Byte() const { return bits_; }
    constexpr bool Contains(TQzFindOption o) const { return (bits_ >> o) & 1u; }
    TQzFindOptions& Include(TQzFindOption o) {
        bits_ = static_cast<uint8_t>(bits_ | (1u << o));
        return *this;
    }
    TQzFindOptions& Exclude(TQzFindOption o) {
        bits_ = static_cast<uint8_t>(bits_ & ~(1u << o));
        return *this;
    }
    TQzFindOptions Without(TQzFindOption o) const {
        TQzFindOptions r = *this;
        r.Exclude(o);
        return r;
    }
    constexpr bool operator==(TQzFindOptions o) const { return bits_ == o.bits_; }
    constexpr bool operator!=(TQzFindOptions o) const { return bits_ != o.bits_; }

private:
    uint8_t bits_ = 0;
};

// The blank and every printable ASCII byte that is neither a letter nor a digit (33 bytes); the
// tab is not in it. Find and replace always test whole words against this set.
TCharSet DefaultDelimSet();

// Compiles a search text as the options say: a regular expression with qzfoRegular, else a
// literal text.
void CompileSearchText(std::string_view pattern, TQzFindOptions options, odregexp::TCompiledPattern& compiled);

// The 1-based position of a match of Pattern in Line, 0 when none; Len receives its length.
// Forward, the searched text is Line from Start (below 1 counts as 1) to its end and the first
// match is taken. With qzfoBackward it is the first Start - 1 bytes, and the result is the last of
// the matches that a left-to-right scan finds without overlap (after an empty match the scan moves
// on by one character), so the whole match lies before Start. "^" and "$" anchor to the ends of the
// searched text. With qzfoWholeWord the bytes on both sides of a match must be a line end or in
// Delims; a rejected match does not end the search (forward it goes on after the match, backward in
// the text before it). qzfoMatchCase compares case-sensitively. An empty Line or Pattern, or a
// regular expression that does not compile, never matches.
int Scan(std::string_view Line, std::string_view Pattern, int Start, const TCharSet& Delims, int& Len,
         TQzFindOptions Options);
// Scan with a pattern compiled by CompileSearchText.
int ScanCompiled(std::string_view Line, const odregexp::TCompiledPattern& Compiled, int Start, const TCharSet& Delims,
                 int& Len, TQzFindOptions Options);
// The first match of a forward search that starts in From..Last, within the searched text
// Line[First..Last] ("^" matches only at First, "$" only after Last), with the whole-word test of
// Scan (qzfoBackward is not read). 0 when none.
int ScanRange(std::string_view Line, const odregexp::TCompiledPattern& Compiled, int First, int Last, int From,
              const TCharSet& Delims, int& Len, TQzFindOptions Options);
