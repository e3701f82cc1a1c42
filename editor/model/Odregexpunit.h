#pragma once
// A small byte-wise pattern matcher for the editor's search.
//
// A search text is compiled once, as a regular expression (MakePattern) or as a literal text
// (MakePatternNoRegEx), and the compiled pattern is then matched against lines (Find).
//
// The expression language: "." any byte; "^" as the first byte anchors to the start of the searched
// text and "$" as the last byte to its end (elsewhere both are literal); "[...]" a byte set with
// ASCII letter/digit ranges ("a-z"), "[^...]" its negation; "*" after an element repeats it zero or
// more times, greedily ("*" as the first byte is literal); a backslash takes the next byte literally
// ("\t" is the tab). There are no groups, alternation or other repetition operators.
//
// Matching contract:
// - Positions are 1-based byte positions. The result is the first match by start position; at one
//   start, stars are greedy and give back one byte at a time from the right, as a backtracking
//   matcher would. The matcher computes that same match bottom-up in time linear in the text times
//   the pattern's element count, with no recursion, so no pattern can make it slow.
// - Case-insensitive matching folds the ASCII letters only; a trail byte of a double-byte
//   character (in the text or in a literal of the pattern) is always compared exactly, so one
//   Hangul character never matches another.
// - A match never starts on the trail byte of a double-byte character and never ends right after a
//   lead byte: no match covers half a character at either end. Lead and trail bytes are told apart
//   by reading the text from its first byte.
// - A text that does not compile (a star with nothing to repeat, "**", "^*") gives an invalid
//   pattern that matches nothing. A set without "]" is dropped with the rest of the text: what
//   stands before it is the pattern ("ab[c" is "ab"), and when nothing does ("[abc") the pattern
//   is invalid. An empty valid pattern matches the empty text.

#include <bitset>
#include <string_view>
#include <vector>

namespace odregexp {

enum TRegElementKind : unsigned char {
    rekByte,       // one byte (case folding applies)
    rekAny,        // any byte
    rekSet,        // one byte of the set
    rekNotSet,     // one byte outside the set
    rekTextStart,  // width 0, at the first position of the searched text
    rekTextEnd,    // width 0, past the last byte of the searched text
};

struct TRegElement {
    TRegElementKind Kind = rekByte;
    bool Starred = false;
    // A literal that is the trail byte of a double-byte character written in the pattern: it is
    // compared without case folding.
    bool Exact = false;
    // rekByte: the one byte; rekSet and rekNotSet: the members as written (before negation).
    std::bitset<256> Bytes;
    // The bytes the element accepts, compared exactly and with ASCII case folding (filled in by
    // the compilers; empty for the anchors).
    std::bitset<256> AcceptExact;
    std::bitset<256> AcceptFolded;
    // Their union: a byte outside it is refused in every case (used to skip hopeless starts).
    std::bitset<256> AcceptEither;
};

struct TCompiledPattern {
    std::vector<TRegElement> Elements;
    bool Valid = true;
    bool HasStar = false;

    void Clear() {
        Elements.clear();
        Valid = true;
        HasStar = false;
    }
};

// Compiles Text from the 1-based position Start as a regular expression into Compiled (cleared
// first). A Start below 1 counts as 1.
void MakePattern(std::string_view Text, int Start, TCompiledPattern& Compiled);
// Compiles Text from Start as a literal text: every byte matches itself.
void MakePatternNoRegEx(std::string_view Text, int Start, TCompiledPattern& Compiled);

// The 1-based position of the first match in S at or after Start (below 1 counts as 1), or 0;
// Len receives the match length (0 when there is no match). Only positions inside S are tried, so
// an empty S never matches; "^" and "$" anchor to the ends of S.
int Find(std::string_view S, int Start, const TCompiledPattern& Compiled, int& Len, bool CaseSensitive);

// Repeated searches of one pattern within one window of a text. The window S[First..Last]
// (1-based, inclusive) is the searched text: "^" matches at First and "$" after Last, and no match
// reaches past Last. Lead and trail bytes are read from the start of S, so a window may begin or
// end inside a line. The text and the pattern must outlive the object.
class TPatternSearch {
public:
    TPatternSearch(std::string_view S, int First, int Last, const TCompiledPattern& Compiled,
                   bool CaseSensitive);

    // The first match starting in From..Last (From below First counts as First); 0 when none.
    // Len receives its length. Calls may come in any order; the work done for one window is kept.
    int Next(int From, int& Len);
    // For a pattern whose last element is "$": the match that Next(First) finds in the shorter
    // window S[First..End - 1], which is the first start whose match ends exactly at End; 0 when
    // none (also for End outside First + 1 .. Last + 1). The first call answers every End at once,
    // in time linear in the window times the pattern's element count.
    int StartOfMatchEndingAt(int End);

private:
    bool Matches(size_t element, int p) const {
        const TRegElement& e = elements_[element];
        const unsigned char c = static_cast<unsigned char>(s_[static_cast<size_t>(p - 1)]);
        return caseSensitive_ || trail_[static_cast<size_t>(p)] ? e.AcceptExact[c] : e.AcceptFolded[c];
    }
    bool IsBoundary(int p) const { return p > size_ || !trail_[static_cast<size_t>(p)]; }
    void ParseCharacters();
    bool CanMatchFrom(int from) const;
    int MatchAt(int p) const;
    void BuildEnds(int from);
    void BuildEndStarts();

    std::string_view s_;
    int size_;
    int first_;
    int last_;
    bool caseSensitive_;
    const TCompiledPattern& compiled_;
    const std::vector<TRegElement>& elements_;
    // trail_[p] for p in 1..size_: the byte at p is the trail byte of a double-byte character.
    // Filled on first need (a line without a candidate start is never parsed).
    std::vector<unsigned char> trail_;
    bool parsed_ = false;
    // No match starts at or after this position (a cheap necessary test failed there).
    int hopelessFrom_ = 0;
    // For patterns with stars: ends_[p - endsFrom_] is the end position (one past the match) of the
    // match starting at p, 0 for none; valid for p >= endsFrom_.
    std::vector<int> ends_;
    int endsFrom_ = 0;
    // For StartOfMatchEndingAt: endStarts_[e - first_] is the first start whose match of every
    // element but the final "$" ends at e, 0 for none.
    std::vector<int> endStarts_;
};

}  // namespace odregexp
