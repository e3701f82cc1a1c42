#include "editor/model/QzPadScan.h"

#include "tests/editor/MatchHit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Hit ScanHit(const std::string& line, const std::string& pattern, int start, TQzFindOptions options) {
    int len = -1;
    const int pos = Scan(line, pattern, start, DefaultDelimSet(), len, options);
    return {pos, len};
}

constexpr Hit None{0, 0};

}  // namespace

TEST(QzPadScan, DefaultDelimiters) {
    const TCharSet d = DefaultDelimSet();
    int count = 0;
    for (int b = 0; b < 256; ++b)
        count += d.Contains(static_cast<unsigned char>(b));
    EXPECT_EQ(count, 33);
    for (char c : std::string(" !/:@[`{~_,("))
        EXPECT_TRUE(d.Contains(c)) << c;
    for (char c : std::string("\tazAZ09\x7F"))
        EXPECT_FALSE(d.Contains(c)) << int(c);
    EXPECT_FALSE(d.Contains(static_cast<unsigned char>(0xB0)));
}

TEST(QzPadScan, OptionsAreOneByte) {
    TQzFindOptions o{qzfoMatchCase, qzfoEntire, qzfoRegular};
    EXPECT_EQ(o.Byte(), 1 + 8 + 16);
    EXPECT_EQ(o.Without(qzfoEntire).Byte(), 17);
    EXPECT_TRUE(TQzFindOptions::FromByte(6).Contains(qzfoBackward));
}

TEST(QzPadScan, EmptyLinesAndPatternsNeverMatch) {
    EXPECT_EQ(ScanHit("", "x*", 1, {qzfoRegular}), None);
    EXPECT_EQ(ScanHit("", "a", 1, {}), None);
    EXPECT_EQ(ScanHit("abc", "", 1, {}), None);
    // A start past the line, or backward from the line's first column.
    EXPECT_EQ(ScanHit("abc", "c", 4, {}), None);
    EXPECT_EQ(ScanHit("abc", "a", 1, {qzfoBackward}), None);
    EXPECT_EQ(ScanHit("abc", "a", -5, {}), (Hit{1, 1}));
}

TEST(QzPadScan, ForwardFromStartAndCase) {
    EXPECT_EQ(ScanHit("abcabc", "bc", 1, {}), (Hit{2, 2}));
    EXPECT_EQ(ScanHit("abcabc", "bc", 3, {}), (Hit{5, 2}));
    EXPECT_EQ(ScanHit("abcABC", "BC", 1, {}), (Hit{2, 2}));
    EXPECT_EQ(ScanHit("abcABC", "BC", 1, {qzfoMatchCase}), (Hit{5, 2}));
    // "^" anchors at Start, not at the line's first byte.
    EXPECT_EQ(ScanHit("abab", "^ab", 3, {qzfoRegular}), (Hit{3, 2}));
    EXPECT_EQ(ScanHit("abab", "^ab", 2, {qzfoRegular}), None);
}

TEST(QzPadScan, BackwardTakesTheLastMatchBeforeStart) {
    EXPECT_EQ(ScanHit("abcabcabc", "abc", 10, {qzfoBackward}), (Hit{7, 3}));
    // The whole match lies before Start.
    EXPECT_EQ(ScanHit("abcabcabc", "abc", 9, {qzfoBackward}), (Hit{4, 3}));
    // Non-overlapping matches of a left-to-right scan: in "aaaa" they are 1 and 3.
    EXPECT_EQ(ScanHit("aaaa", "aa", 5, {qzfoBackward}), (Hit{3, 2}));
    EXPECT_EQ(ScanHit("aaa", "aa", 4, {qzfoBackward}), (Hit{1, 2}));
    // "$" anchors right before Start.
    EXPECT_EQ(ScanHit("abab", "ab$", 3, {qzfoBackward, qzfoRegular}), (Hit{1, 2}));
    // Empty matches move the scan on; the last one lies at the last position before Start.
    EXPECT_EQ(ScanHit("abc", "x*", 4, {qzfoBackward, qzfoRegular}), (Hit{3, 0}));
    // Searching backward again from a found match's start finds the one before it.
    const std::string line = "cat cat cat";
    Hit h = ScanHit(line, "cat", 12, {qzfoBackward});
    EXPECT_EQ(h, (Hit{9, 3}));
    h = ScanHit(line, "cat", h.Pos, {qzfoBackward});
    EXPECT_EQ(h, (Hit{5, 3}));
}

TEST(QzPadScan, WholeWords) {
    const TQzFindOptions ww{qzfoWholeWord};
    EXPECT_EQ(ScanHit("cat, dog", "cat", 1, ww), (Hit{1, 3}));
    EXPECT_EQ(ScanHit("(cat)", "cat", 1, ww), (Hit{2, 3}));
    EXPECT_EQ(ScanHit("cat_x", "cat", 1, ww), (Hit{1, 3}));
    EXPECT_EQ(ScanHit("cats concat", "cat", 1, ww), None);
    EXPECT_EQ(ScanHit("cats cat", "cat", 1, ww), (Hit{6, 3}));
    // A blank from an expanded tab is a delimiter; a double-byte character is not.
    EXPECT_EQ(ScanHit("  cat", "cat", 1, ww), (Hit{3, 3}));
    EXPECT_EQ(ScanHit("\xB0\xA1" "cat", "cat", 1, ww), None);
    EXPECT_EQ(ScanHit("cat\xB0\xA1", "cat", 1, ww), None);
    // The tab itself is not a delimiter.
    EXPECT_EQ(ScanHit("\tcat", "cat", 1, ww), None);
    // Forward, a rejected match is skipped and the search goes on after it.
    EXPECT_EQ(ScanHit("catcat cat", "cat", 1, ww), (Hit{8, 3}));
    // Backward, a rejected last match makes the search go on before it.
    EXPECT_EQ(ScanHit("cat concat", "cat", 11, {qzfoWholeWord, qzfoBackward}), (Hit{1, 3}));
    // The end of the line is a boundary even when the search stopped before it.
    EXPECT_EQ(ScanHit("a cat", "cat", 4, {qzfoWholeWord}), None);
    EXPECT_EQ(ScanHit("a cat", "cat", 3, {qzfoWholeWord}), (Hit{3, 3}));
    // Empty regular-expression matches are rejected without looping forever.
    EXPECT_EQ(ScanHit("abc", "x*", 1, {qzfoWholeWord, qzfoRegular}), None);
    EXPECT_EQ(ScanHit("abc", "x*", 4, {qzfoWholeWord, qzfoRegular, qzfoBackward}), None);
}

TEST(QzPadScan, BadRegularExpressionsMatchNothing) {
    EXPECT_EQ(ScanHit("a**b", "a**", 1, {qzfoRegular}), None);
    EXPECT_EQ(ScanHit("a**b", "a**", 1, {}), (Hit{1, 3}));
    EXPECT_EQ(ScanHit("[ab", "[ab", 4, {qzfoRegular, qzfoBackward}), None);
}

TEST(QzPadScan, NeverSplitsADoubleByteCharacter) {
    // "\xB0\xA1\xB0\xA1": a trail byte followed by a lead byte spells the pattern at position 2.
    const std::string two = "\xB0\xA1\xB0\xA1";
    EXPECT_EQ(ScanHit(two, "\xA1\xB0", 1, {}), None);
    EXPECT_EQ(ScanHit(two, "\xA1\xB0", 5, {qzfoBackward}), None);
    EXPECT_EQ(ScanHit(two, "\xB0\xA1", 2, {}), (Hit{3, 2}));
    EXPECT_EQ(ScanHit("a" + two, ".", 5, {qzfoBackward, qzfoRegular}), (Hit{1, 1}));
    EXPECT_EQ(ScanHit("a" + two, "..", 6, {qzfoBackward, qzfoRegular}), (Hit{4, 2}));
}

namespace {

// Backward Scan exactly as described: the last match of a left-to-right scan of the head before
// Start; when it is not a whole word, the same again on the text before it.
int ReferenceBackward(const std::string& line, const std::string& pattern, int start, TQzFindOptions options,
                      int& len) {
    odregexp::TCompiledPattern compiled;
    CompileSearchText(pattern, options, compiled);
    const TCharSet delims = DefaultDelimSet();
    len = 0;
    if (!compiled.Valid)
        return 0;
    int last = std::min(start - 1, static_cast<int>(line.size()));
    while (last >= 1) {
        // The head is searched in place, so that characters are read from the line's start.
        odregexp::TPatternSearch head(line, 1, last, compiled, options.Contains(qzfoMatchCase));
        int found = 0;
        int foundLen = 0;
        for (int from = 1; from <= last;) {
            int l = 0;
            const int p = head.Next(from, l);
            if (p == 0)
                break;
            found = p;
            foundLen = l;
            from = p + std::max(l, 1);
        }
        if (found == 0)
            return 0;
        const bool before = found == 1 || delims.Contains(line[static_cast<size_t>(found - 2)]);
        const bool after = found + foundLen > static_cast<int>(line.size()) ||
                           delims.Contains(line[static_cast<size_t>(found + foundLen - 1)]);
        if (!options.Contains(qzfoWholeWord) || (before && after)) {
            len = foundLen;
            return found;
        }
        last = found - 1;
    }
    return 0;
}

}  // namespace

TEST(QzPadScan, BackwardAgreesWithTheDescribedRescan) {
    const char* patternPieces[] = {"a", "b", " ", "a*", ".", "$", "[ab]", "^", ".*", "[^a]*"};
    const char* linePieces[] = {"a", "b", " ", "ab", "\xB0\xA1", "-"};
    unsigned seed = 777;
    auto rnd = [&](unsigned m) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % m;
    };
    for (int round = 0; round < 20000; ++round) {
        std::string pattern, line;
        for (unsigned i = 0, n = 1 + rnd(3); i < n; ++i)
            pattern += patternPieces[rnd(10)];
        for (unsigned i = 0, n = rnd(10); i < n; ++i)
            line += linePieces[rnd(6)];
        TQzFindOptions options{qzfoBackward};
        if (rnd(2))
            options.Include(qzfoWholeWord);
        if (rnd(2))
            options.Include(qzfoRegular);
        const int start = 1 + static_cast<int>(rnd(static_cast<unsigned>(line.size()) + 2));
        int refLen = 0;
        const int ref = ReferenceBackward(line, pattern, start, options, refLen);
        int len = -1;
        const int pos = Scan(line, pattern, start, DefaultDelimSet(), len, options);
        ASSERT_EQ(pos, ref) << "pattern '" << pattern << "' line '" << line << "' start " << start << " options "
                            << int(options.Byte());
        ASSERT_EQ(len, refLen) << "pattern '" << pattern << "' line '" << line << "'";
    }
}
