#include "editor/model/Odregexpunit.h"

#include "platform/core/Cp949.h"
#include "tests/editor/MatchHit.h"

#include <gtest/gtest.h>

#include <string>

using namespace odregexp;

namespace {

Hit Re(const std::string& pattern, const std::string& text, int start = 1, bool caseSensitive = true) {
    TCompiledPattern p;
    MakePattern(pattern, 1, p);
    int len = -1;
    const int pos = Find(text, start, p, len, caseSensitive);
    return {pos, len};
}

Hit Lit(const std::string& pattern, const std::string& text, int start = 1, bool caseSensitive = true) {
    TCompiledPattern p;
    MakePatternNoRegEx(pattern, 1, p);
    int len = -1;
    const int pos = Find(text, start, p, len, caseSensitive);
    return {pos, len};
}

constexpr Hit None{0, 0};

}  // namespace

TEST(Odregexp, AnyByteAndCaseFolding) {
    EXPECT_EQ(Re("a.c", "abc"), (Hit{1, 3}));
    EXPECT_EQ(Re("a.c", "xa c"), (Hit{2, 3}));
    EXPECT_EQ(Re("A", "xa", 1, false), (Hit{2, 1}));
    EXPECT_EQ(Re("A", "xa", 1, true), None);
    EXPECT_EQ(Re("[A-C]", "xyb", 1, false), (Hit{3, 1}));
    // Without case folding a negated set rejects both cases of its letters.
    EXPECT_EQ(Re("[^a]", "Aab", 1, false), (Hit{3, 1}));
    // A Hangul character is found only as itself, never through a folded trail byte.
    const std::string ga = "\xB0\xA1";          // a Hangul syllable
    const std::string upperTrail = "\x81\x41";  // two characters whose trail bytes are 'A' and 'a'
    const std::string lowerTrail = "\x81\x61";
    EXPECT_EQ(Lit(ga, "x" + ga, 1, false), (Hit{2, 2}));
    EXPECT_EQ(Lit(lowerTrail, upperTrail + lowerTrail, 1, false), (Hit{3, 2}));
    EXPECT_EQ(Re(lowerTrail, upperTrail, 1, false), None);
    EXPECT_EQ(Re("\x81.", upperTrail, 1, false), (Hit{1, 2}));
}

TEST(Odregexp, AnchorsBindToTheSearchedText) {
    EXPECT_EQ(Re("^ab", "abab"), (Hit{1, 2}));
    EXPECT_EQ(Re("^ab", "xab"), None);
    EXPECT_EQ(Re("^ab", "abab", 2), None);
    EXPECT_EQ(Re("ab$", "abab"), (Hit{3, 2}));
    EXPECT_EQ(Re("ab$", "abx"), None);
    // Only a leading "^" and a trailing "$" are anchors.
    EXPECT_EQ(Re("a^b", "xa^b"), (Hit{2, 3}));
    EXPECT_EQ(Re("a$b", "a$b"), (Hit{1, 3}));
    EXPECT_EQ(Re("\\$", "a$"), (Hit{2, 1}));
    // "$" alone never matches: positions past the end are not tried.
    EXPECT_EQ(Re("$", "abc"), None);
}

TEST(Odregexp, SetsRangesAndNegation) {
    for (const char* t : {"a", "b", "c"})
        EXPECT_EQ(Re("[a-c]", t), (Hit{1, 1})) << t;
    EXPECT_EQ(Re("[a-c]", "d"), None);
    EXPECT_EQ(Re("[^a-c]", "abd"), (Hit{3, 1}));
    // The last byte of a line is a byte like any other.
    EXPECT_EQ(Re("[^a-c]", "ab\xB0"), (Hit{3, 1}));
    // A reversed range is three plain bytes; a trailing "-" is plain.
    EXPECT_EQ(Re("[c-a]", "x-"), (Hit{2, 1}));
    EXPECT_EQ(Re("[c-a]", "b"), None);
    EXPECT_EQ(Re("[a-]", "-"), (Hit{1, 1}));
    EXPECT_EQ(Re("[-a]", "-"), (Hit{1, 1}));
    EXPECT_EQ(Re("[0-9][0-9]*", "ab 1234x"), (Hit{4, 4}));
    EXPECT_EQ(Re("[\\]]", "a]"), (Hit{2, 1}));
    EXPECT_EQ(Re("[\\t]", "a\tb"), (Hit{2, 1}));
    // An unterminated set is dropped together with the rest of the expression.
    for (const char* cut : {"ab[", "ab[cd", "ab[c", "ab[c*x"})
        EXPECT_EQ(Re(cut, "xxab"), (Hit{3, 2})) << cut;
    // A set too big for a one-byte count still holds every member.
    EXPECT_EQ(Re("[^\\x]", "x"), None);
    std::string all = "[";
    for (int i = 0; i < 300; ++i)
        all += static_cast<char>('a' + i % 26);
    all += "A-Z0-9]*";
    EXPECT_EQ(Re(all, "Az09az!"), (Hit{1, 6}));
}

TEST(Odregexp, StarIsGreedyAndBacktracksLikeTheDescription) {
    EXPECT_EQ(Re("x*y", "xxxy"), (Hit{1, 4}));
    EXPECT_EQ(Re("x*", "abc"), (Hit{1, 0}));
    EXPECT_EQ(Re("a.*b", "a1b2b3"), (Hit{1, 5}));
    EXPECT_EQ(Re("a.*b.*c", "ab c bb"), (Hit{1, 4}));
    EXPECT_EQ(Re("a*a*b", "aaab"), (Hit{1, 4}));
    EXPECT_EQ(Re(".*$", "abc"), (Hit{1, 3}));
    EXPECT_EQ(Re("^.*", "abc", 2), None);
    EXPECT_EQ(Re("b*", "abc", 2), (Hit{2, 1}));
    // The first start wins over a longer match further right.
    EXPECT_EQ(Re("a*b", "xbaab"), (Hit{2, 1}));
    // A star on a literal after an escaped star.
    EXPECT_EQ(Re("a\\**b", "xa***b"), (Hit{2, 5}));
}

TEST(Odregexp, EscapesAndLiteralStars) {
    EXPECT_EQ(Re("\\t", "a\tb"), (Hit{2, 1}));
    EXPECT_EQ(Re("\\*", "a*"), (Hit{2, 1}));
    EXPECT_EQ(Re("*a", "a*a"), (Hit{2, 2}));
    EXPECT_EQ(Re("\\.", "ab.c"), (Hit{3, 1}));
    EXPECT_EQ(Re("\\\\", "a\\b"), (Hit{2, 1}));
    EXPECT_EQ(Re("a\\", "xa\\"), (Hit{2, 2}));
    EXPECT_EQ(Lit("a.b", "axb a.b"), (Hit{5, 3}));
    EXPECT_EQ(Lit("*[", "a*[", 1), (Hit{2, 2}));
}

TEST(Odregexp, BadPatternsMatchNothing) {
    // A set without "]" is dropped with the rest; with nothing before it nothing is left to match.
    for (const char* bad : {"a**", "^*", "[abc", "[", "[^", "x**"}) {
        TCompiledPattern p;
        MakePattern(bad, 1, p);
        int len = -1;
        EXPECT_FALSE(p.Valid) << bad;
        EXPECT_EQ(Find("a*abc[$", 1, p, len, true), 0) << bad;
        EXPECT_EQ(len, 0) << bad;
    }
    // An empty pattern is valid and matches the empty text wherever it is tried.
    TCompiledPattern empty;
    MakePattern("", 1, empty);
    EXPECT_TRUE(empty.Valid);
    int len = -1;
    EXPECT_EQ(Find("abc", 2, empty, len, true), 2);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(Find("", 1, empty, len, true), 0);
}

TEST(Odregexp, CompilingFromALaterStart) {
    // The part before Start is ignored; "^" and "*" are special relative to Start.
    TCompiledPattern p;
    MakePattern("zz^b", 3, p);
    int len = 0;
    EXPECT_EQ(Find("abab", 1, p, len, true), 0);
    EXPECT_EQ(Find("bab", 1, p, len, true), 1);
    EXPECT_EQ(len, 1);
    MakePattern("zz*b", 3, p);
    EXPECT_EQ(Find("a*b", 1, p, len, true), 2);
    EXPECT_EQ(len, 2);
}

TEST(Odregexp, MatchesNeverSplitADoubleByteCharacter) {
    const std::string ga = "\xB0\xA1";
    const std::string na = "\xB3\xAA";
    // A byte pattern equal to a trail byte is not found at the trail.
    EXPECT_EQ(Lit("\xA1", ga), None);
    EXPECT_EQ(Lit("\xA1\xB3", ga + na), None);
    // "." matches single bytes, but a match may not end inside a character.
    EXPECT_EQ(Re("a.", "a" + ga), None);
    EXPECT_EQ(Re("a..", "a" + ga), (Hit{1, 3}));
    // A star gives back a byte rather than end on a lead byte.
    EXPECT_EQ(Re("a.*", "a" + ga + "b" + na), (Hit{1, 6}));
    TCompiledPattern p;
    MakePattern("a.*", 1, p);
    const std::string text = "a" + ga + na;  // the search keeps a view of it
    TPatternSearch window(text, 1, 4, p, true);
    int len = 0;
    EXPECT_EQ(window.Next(1, len), 1);
    EXPECT_EQ(len, 3);
    // A search from the middle of a character begins at the next character.
    EXPECT_EQ(Re(".", ga + "x", 2), (Hit{3, 1}));
}

TEST(Odregexp, WindowAnchorsAndRepeatedSearches) {
    TCompiledPattern p;
    MakePattern("^b.*$", 1, p);
    const std::string s = "abcdbe";
    TPatternSearch w(s, 2, 4, p, true);
    int len = 0;
    EXPECT_EQ(w.Next(1, len), 2);
    EXPECT_EQ(len, 3);
    MakePattern("b*", 1, p);
    TPatternSearch all(s, 1, 6, p, true);
    EXPECT_EQ(all.Next(5, len), 5);
    EXPECT_EQ(len, 1);
    EXPECT_EQ(all.Next(1, len), 1);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(all.Next(2, len), 2);
    EXPECT_EQ(len, 1);
    EXPECT_EQ(all.Next(7, len), 0);
}

TEST(Odregexp, ManyStarsStayLinear) {
    // Ten ".*" and an "x" over a long line without an x: a backtracking walk would never end.
    std::string pattern;
    for (int i = 0; i < 10; ++i)
        pattern += ".*";
    pattern += "x";
    const std::string line(5000, 'a');
    EXPECT_EQ(Re(pattern, line), None);
    EXPECT_EQ(Re(pattern, line + "x"), (Hit{1, 5001}));
}

namespace {

// The matcher as a plain backtracking walk over the compiled elements, for small inputs only.
struct Reference {
    const std::string& s;
    const std::vector<TRegElement>& el;
    bool cs;
    std::vector<bool> trail;

    bool ElementAt(const TRegElement& e, int p) const {
        const int n = static_cast<int>(s.size());
        if (e.Kind == rekTextEnd)
            return p == n + 1;
        if (p > n)
            return false;
        if (e.Kind == rekTextStart)
            return p == 1;
        const unsigned char c = static_cast<unsigned char>(s[p - 1]);
        auto in = [&](unsigned char b) {
            if (e.Bytes[b])
                return true;
            if (cs || e.Exact || trail[p])
                return false;
            if (b >= 'a' && b <= 'z')
                return static_cast<bool>(e.Bytes[b - 32]);
            if (b >= 'A' && b <= 'Z')
                return static_cast<bool>(e.Bytes[b + 32]);
            return false;
        };
        switch (e.Kind) {
        case rekAny:
            return true;
        case rekNotSet:
            return !in(c);
        default:
            return in(c);
        }
    }

    int Walk(size_t j, int p) const {
        if (j == el.size())
            return p > static_cast<int>(s.size()) || !trail[p] ? p : 0;
        const TRegElement& e = el[j];
        if (e.Starred) {
            int q = p;
            while (q <= static_cast<int>(s.size()) && ElementAt(e, q))
                ++q;
            for (; q >= p; --q)
                if (int end = Walk(j + 1, q))
                    return end;
            return 0;
        }
        if (!ElementAt(e, p))
            return 0;
        const int w = e.Kind == rekTextStart || e.Kind == rekTextEnd ? 0 : 1;
        return Walk(j + 1, p + w);
    }

    int FindFirst(int& len) {
        trail.assign(s.size() + 2, false);
        for (size_t p = 1; p <= s.size();) {
            if (static_cast<unsigned char>(s[p - 1]) >= 0x80 && p < s.size()) {
                trail[p + 1] = true;
                p += 2;
            } else {
                ++p;
            }
        }
        len = 0;
        for (int p = 1; p <= static_cast<int>(s.size()); ++p) {
            if (trail[p])
                continue;
            if (int end = Walk(0, p)) {
                len = end - p;
                return p;
            }
        }
        return 0;
    }
};

}  // namespace

TEST(Odregexp, AgreesWithABacktrackingWalk) {
    // Random small patterns and texts over a tiny alphabet, with double-byte characters in both.
    const char* pieces[] = {"a", "b", "A", ".", "*", "^", "$", "[ab]", "[^a]", "\\*", "\xB0\xA1", "\x81" "a"};
    const char* textPieces[] = {"a", "b", "A", "*", "\xB0\xA1", "\x81" "a", "\x81" "A"};
    unsigned seed = 12345;
    auto rnd = [&](unsigned m) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % m;
    };
    int compared = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string pattern, text;
        for (unsigned i = 0, n = 1 + rnd(6); i < n; ++i)
            pattern += pieces[rnd(sizeof pieces / sizeof *pieces)];
        for (unsigned i = 0, n = rnd(9); i < n; ++i)
            text += textPieces[rnd(sizeof textPieces / sizeof *textPieces)];
        const bool cs = rnd(2) == 0;
        TCompiledPattern p;
        MakePattern(pattern, 1, p);
        if (!p.Valid)
            continue;
        Reference ref{text, p.Elements, cs, {}};
        int refLen = 0;
        const int refPos = ref.FindFirst(refLen);
        int len = -1;
        const int pos = Find(text, 1, p, len, cs);
        ASSERT_EQ(pos, refPos) << "pattern " << pattern << " text " << text << " cs " << cs;
        ASSERT_EQ(len, refLen) << "pattern " << pattern << " text " << text << " cs " << cs;
        ++compared;
    }
    EXPECT_GT(compared, 10000);
}
