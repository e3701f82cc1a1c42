#include "editor/model/QzPadSearch.h"

#include "editor/model/QzPadModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Pad {
    TQzPadModel model;
    TQzPadSearch search{model};

    explicit Pad(const std::vector<std::string>& lines) { model.SetLines(lines); }

    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < model.Lines().Count(); ++i)
            out.push_back(model.Lines().Get(i));
        return out;
    }
    void Select(TPoint anchor, TPoint end) {
        model.SetCaretPosition(end);
        model.SetSelStart(anchor);
        model.SetSelEnd(end);
    }
};

using Lines = std::vector<std::string>;

}  // namespace

TEST(QzPadSearch, ForwardFindSelectsAndLeavesTheCaretAfterTheMatch) {
    Pad pad({"one cat", "two cats", "no dog"});
    ASSERT_TRUE(pad.search.Find("cat", {}));
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(4, 0));
    EXPECT_EQ(pad.model.GetSelEnd(), TPoint(7, 0));
    EXPECT_EQ(pad.model.CaretPos(), TPoint(7, 0));
    ASSERT_TRUE(pad.search.FindContinue());
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(4, 1));
    EXPECT_EQ(pad.model.CaretPos(), TPoint(7, 1));
    // After the last match: false, the caret stays, the selection collapses on it.
    EXPECT_FALSE(pad.search.FindContinue());
    EXPECT_EQ(pad.model.CaretPos(), TPoint(7, 1));
    EXPECT_FALSE(pad.model.GetSelectAvail());
    // The search remembers its text and options.
    EXPECT_EQ(pad.search.SearchText(), "cat");
}

TEST(QzPadSearch, EntireStartsOverAndIsNotRemembered) {
    Pad pad({"cat", "cat"});
    pad.model.SetCaretPosition(TPoint(3, 1));
    ASSERT_TRUE(pad.search.Find("cat", {qzfoEntire}));
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(0, 0));
    EXPECT_EQ(pad.search.SearchOptions(), TQzFindOptions());
    ASSERT_TRUE(pad.search.FindContinue());
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(0, 1));
    // Backward over the entire text starts at the end of the last line.
    pad.model.SetCaretPosition(TPoint(0, 0));
    ASSERT_TRUE(pad.search.Find("cat", {qzfoEntire, qzfoBackward}));
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(0, 1));
    EXPECT_EQ(pad.model.CaretPos(), TPoint(0, 1));
    EXPECT_EQ(pad.search.SearchOptions(), TQzFindOptions({qzfoBackward}));
}

TEST(QzPadSearch, BackwardFindsEarlierMatchesOneByOne) {
    Pad pad({"cat x cat", "xx cat"});
    pad.model.SetCaretPosition(TPoint(6, 1));
    ASSERT_TRUE(pad.search.Find("cat", {qzfoBackward}));
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(3, 1));
    EXPECT_EQ(pad.model.GetSelEnd(), TPoint(6, 1));
    EXPECT_EQ(pad.model.CaretPos(), TPoint(3, 1));
    ASSERT_TRUE(pad.search.Find("cat", {qzfoBackward}));
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(6, 0));
    EXPECT_EQ(pad.model.CaretPos(), TPoint(6, 0));
    ASSERT_TRUE(pad.search.Find("cat", {qzfoBackward}));
    EXPECT_EQ(pad.model.CaretPos(), TPoint(0, 0));
    EXPECT_FALSE(pad.search.Find("cat", {qzfoBackward}));
    EXPECT_EQ(pad.model.CaretPos(), TPoint(0, 0));
}

TEST(QzPadSearch, EmptyControlAndEmptyText) {
    Pad pad({});
    EXPECT_FALSE(pad.search.Find("a", {qzfoEntire, qzfoBackward}));
    EXPECT_EQ(pad.model.CaretPos(), TPoint(0, 0));
    EXPECT_FALSE(pad.search.FindContinue());  // remembered "a" finds nothing
    Pad other({"abc"});
    EXPECT_FALSE(other.search.FindContinue());  // nothing remembered yet
    EXPECT_FALSE(other.search.Find("", {}));
    EXPECT_FALSE(other.search.ReplaceAll("", "x", {}));
    EXPECT_EQ(other.Lines(), Lines({"abc"}));
}

TEST(QzPadSearch, SearchesTheExpandedLineAndWholeWords) {
    Pad pad({"\tcat concat", "(cat)"});
    pad.model.SetTabSize(4);
    ASSERT_TRUE(pad.search.Find("cat", {qzfoWholeWord}));
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(4, 0));
    ASSERT_TRUE(pad.search.FindContinue());
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(1, 1));
    EXPECT_FALSE(pad.search.FindContinue());
}

TEST(QzPadSearch, BadPatternChangesNothing) {
    Pad pad({"a**b", "abc"});
    pad.Select(TPoint(1, 1), TPoint(2, 1));
    EXPECT_FALSE(pad.search.Find("a**", {qzfoRegular}));
    EXPECT_EQ(pad.model.GetSelStart(), TPoint(1, 1));
    EXPECT_EQ(pad.model.GetSelEnd(), TPoint(2, 1));
    EXPECT_FALSE(pad.search.ReplaceAll("[ab", "x", {qzfoRegular, qzfoEntire}));
    EXPECT_EQ(pad.Lines(), Lines({"a**b", "abc"}));
    // As a literal the same text is found.
    pad.model.SetCaretPosition(TPoint(0, 0));
    EXPECT_TRUE(pad.search.Find("a**", {}));
}

TEST(QzPadSearch, RepeatedEmptyMatchesMoveOn) {
    Pad pad({"ab", "c"});
    ASSERT_TRUE(pad.search.Find("x*", {qzfoRegular}));
    EXPECT_EQ(pad.model.CaretPos(), TPoint(0, 0));
    ASSERT_TRUE(pad.search.FindContinue());
    EXPECT_EQ(pad.model.CaretPos(), TPoint(1, 0));
    ASSERT_TRUE(pad.search.FindContinue());
    EXPECT_EQ(pad.model.CaretPos(), TPoint(0, 1));
    EXPECT_FALSE(pad.search.FindContinue());
}

TEST(QzPadSearch, ReplaceAllFromTheCaret) {
    Pad pad({"aaa", "xa", "b"});
    EXPECT_TRUE(pad.search.ReplaceAll("a", "aa", {}));
    EXPECT_EQ(pad.Lines(), Lines({"aaaaaa", "xaa", "b"}));
    // From the caret: the part before it stays.
    Pad from({"cat cat", "cat"});
    from.model.SetCaretPosition(TPoint(1, 0));
    EXPECT_TRUE(from.search.ReplaceAll("cat", "dog", {}));
    EXPECT_EQ(from.Lines(), Lines({"cat dog", "dog"}));
    EXPECT_EQ(from.model.CaretPos(), TPoint(1, 0));
    EXPECT_FALSE(from.model.GetSelectAvail());
    EXPECT_FALSE(from.search.ReplaceAll("cow", "dog", {}));
    EXPECT_EQ(from.search.SearchText(), "cow");
}

TEST(QzPadSearch, ReplaceAllWithPatterns) {
    // "^" matches at the line's start only, not where the scan resumes.
    Pad anchored({"aaa", "ba"});
    EXPECT_TRUE(anchored.search.ReplaceAll("^a", "b", {qzfoRegular}));
    EXPECT_EQ(anchored.Lines(), Lines({"baa", "ba"}));
    // Empty matches insert once per character and end.
    Pad empty({"abc"});
    EXPECT_TRUE(empty.search.ReplaceAll("x*", "-", {qzfoRegular}));
    EXPECT_EQ(empty.Lines(), Lines({"-a-b-c"}));
    // Whole words and case.
    Pad words({"Cat cats cat"});
    EXPECT_TRUE(words.search.ReplaceAll("cat", "dog", {qzfoWholeWord}));
    EXPECT_EQ(words.Lines(), Lines({"dog cats dog"}));
    // Right after a replacement, the replaced text is the byte before the next match.
    Pad adjacent({"--", "- -"});
    EXPECT_TRUE(adjacent.search.ReplaceAll("-", "a", {qzfoWholeWord}));
    EXPECT_EQ(adjacent.Lines(), Lines({"a-", "a a"}));
    Pad cased({"Cat cat"});
    EXPECT_TRUE(cased.search.ReplaceAll("cat", "dog", {qzfoMatchCase}));
    EXPECT_EQ(cased.Lines(), Lines({"Cat dog"}));
    // Backward is not read: every match is replaced.
    Pad back({"a a"});
    EXPECT_TRUE(back.search.ReplaceAll("a", "b", {qzfoBackward}));
    EXPECT_EQ(back.Lines(), Lines({"b b"}));
}

TEST(QzPadSearch, ReplaceAllAnchorsAtTheSearchedPartAndTheLineEnd) {
    // "^" matches where the searched part of a line starts, once; "$" only at the line's end.
    struct Case {
        Lines text;
        TPoint anchor, end;  // equal: no selection, the caret there
        bool column;
        const char* find;
        const char* rep;
        Lines expected;
    };
    const Case cases[] = {
        {{"abcd"}, {0, 0}, {2, 0}, false, "b$", "X", {"abcd"}},
        {{"abcd"}, {0, 0}, {4, 0}, false, "d$", "X", {"abcX"}},
        {{"ab", "ab", "ab"}, {0, 0}, {1, 2}, false, "b$", "X", {"aX", "aX", "ab"}},
        {{"ab ab"}, {0, 0}, {0, 0}, false, "ab$", "X", {"ab X"}},
        {{"abab"}, {2, 0}, {2, 0}, false, "^ab", "X", {"abX"}},
        {{"xxab", "ab"}, {2, 0}, {2, 1}, false, "^a", "Y", {"xxYb", "Yb"}},
        {{"ab", "cd"}, {1, 0}, {1, 0}, false, "^", "> ", {"a> b", "> cd"}},
        {{"aaa"}, {0, 0}, {0, 0}, false, "^a*", "b", {"b"}},
        {{"abab", "abab"}, {2, 0}, {4, 1}, true, "^a", "X", {"abXb", "abXb"}},
        {{"abab", "abab"}, {1, 0}, {3, 1}, true, "b$", "X", {"abab", "abab"}},
        {{"abab", "abab"}, {2, 0}, {4, 1}, true, "b$", "X", {"abaX", "abaX"}},
    };
    for (const Case& c : cases) {
        Pad pad(c.text);
        if (c.column)
            pad.model.SetBlockMode(qzbmColumn);
        if (c.anchor == c.end)
            pad.model.SetCaretPosition(c.anchor);
        else
            pad.Select(c.anchor, c.end);
        EXPECT_EQ(pad.search.ReplaceAll(c.find, c.rep, {qzfoRegular}), c.expected != c.text) << c.find;
        EXPECT_EQ(pad.Lines(), c.expected) << c.find << " in " << c.text[0];
    }
}

TEST(QzPadSearch, ReplaceAllInAStreamSelection) {
    Pad pad({"cat cat cat", "cat cat", "cat"});
    pad.Select(TPoint(4, 0), TPoint(5, 1));
    EXPECT_TRUE(pad.search.ReplaceAll("cat", "a", {}));
    // Line 1's second cat reaches past the selection's end and stays.
    EXPECT_EQ(pad.Lines(), Lines({"cat a a", "a cat", "cat"}));
    EXPECT_EQ(pad.model.SelAnchor(), TPoint(4, 0));
    EXPECT_EQ(pad.model.SelMovingEnd(), TPoint(5, 1));
    // Tabs of a changed line become blanks; unchanged lines keep theirs.
    Pad tabs({"\tx", "\ty"});
    tabs.model.SetTabSize(2);
    EXPECT_TRUE(tabs.search.ReplaceAll("x", "z", {}));
    EXPECT_EQ(tabs.Lines(), Lines({"  z", "\ty"}));
}

TEST(QzPadSearch, ReplaceAllInAColumnBlock) {
    Pad pad({"aaaa", "aaaa", "aa"});
    pad.model.SetBlockMode(qzbmColumn);
    pad.Select(TPoint(1, 0), TPoint(3, 2));
    EXPECT_TRUE(pad.search.ReplaceAll("a", "b", {}));
    EXPECT_EQ(pad.Lines(), Lines({"abba", "abba", "ab"}));
    // A double-byte character across the block's left edge is outside, across the right inside.
    const std::string ga = "\xB0\xA1";
    Pad dbcs({"a" + ga + ga + "a"});
    dbcs.model.SetBlockMode(qzbmColumn);
    dbcs.Select(TPoint(2, 0), TPoint(4, 0));
    EXPECT_TRUE(dbcs.search.ReplaceAll(ga, "x", {}));
    EXPECT_EQ(dbcs.Lines(), Lines({"a" + ga + "xa"}));
}

TEST(QzPadSearch, ReplaceNeverSplitsADoubleByteCharacter) {
    // The trail byte of the first syllable and the lead byte of the second spell the search text.
    const std::string text = "\xB0\xA1\xB0\xA1";
    Pad pad({text});
    EXPECT_FALSE(pad.search.ReplaceAll("\xA1\xB0", "x", {}));
    EXPECT_EQ(pad.Lines(), Lines({text}));
    // A case-insensitive search for one syllable never takes another whose trail byte differs in case.
    Pad hangul({"\x81\x41 \x81\x61"});
    EXPECT_TRUE(hangul.search.ReplaceAll("\x81\x61", "x", {}));
    EXPECT_EQ(hangul.Lines(), Lines({"\x81\x41 x"}));
}

TEST(QzPadSearch, ReplaceAllWithWordWrapKeepsEachLineWhole) {
    Pad pad({"aaaa bbbb cccc dddd", "x", "eeee ffff gggg"});
    pad.model.SetColumnCount(10);
    pad.model.SetWordWrap(qzwwUser);
    const std::string before = pad.model.LogicalText();
    ASSERT_GT(pad.model.Lines().Count(), 3);
    // The caret sits in the first line: replacements further down must not pull its pieces along.
    pad.model.SetCaretPosition(TPoint(0, 0));
    EXPECT_TRUE(pad.search.ReplaceAll("gggg", "GGGGGGGGGGGG", {qzfoMatchCase}));
    EXPECT_TRUE(pad.search.ReplaceAll("b", "", {}));
    EXPECT_EQ(pad.model.LogicalText(), "aaaa  cccc dddd\r\nx\r\neeee ffff GGGGGGGGGGGG\r\n");
    EXPECT_EQ(pad.model.CaretPos(), TPoint(0, 0));
    EXPECT_NE(before, pad.model.LogicalText());
}

namespace {

// Replace all in one line as described: scan from `from`, replace in place, resume after the
// inserted text (one character further after an empty match), "^" only at `from` and only before
// the first replacement.
std::string ReferenceReplace(std::string line, int from, const std::string& find, const std::string& rep,
                             TQzFindOptions options) {
    odregexp::TCompiledPattern compiled;
    CompileSearchText(find, options, compiled);
    const bool anchored = !compiled.Elements.empty() && compiled.Elements[0].Kind == odregexp::rekTextStart;
    int last = static_cast<int>(line.size());
    int pos = from;
    for (bool replaced = false; pos <= last && !(anchored && replaced); replaced = true) {
        int len = 0;
        const int m = ScanRange(line, compiled, from, last, pos, DefaultDelimSet(), len, options);
        if (m == 0)
            break;
        line.replace(static_cast<size_t>(m - 1), static_cast<size_t>(len), rep);
        last += static_cast<int>(rep.size()) - len;
        pos = m + static_cast<int>(rep.size());
        if (len == 0)
            pos += pos <= static_cast<int>(line.size()) && static_cast<unsigned char>(line[pos - 1]) >= 0x80 ? 2 : 1;
    }
    return line;
}

}  // namespace

TEST(QzPadSearch, ReplaceAllAgreesWithReplacingInPlace) {
    const char* findPieces[] = {"a", "b", "-", "a*", ".", "^", "[ab]", "$"};
    const char* linePieces[] = {"a", "b", " ", "ab", "\xB0\xA1", "-"};
    const char* replacements[] = {"", "x", "a", "--", "ab-"};
    unsigned seed = 4242;
    auto rnd = [&](unsigned m) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % m;
    };
    for (int round = 0; round < 5000; ++round) {
        std::string find, line;
        for (unsigned i = 0, n = 1 + rnd(3); i < n; ++i)
            find += findPieces[rnd(8)];
        for (unsigned i = 0, n = 1 + rnd(10); i < n; ++i)
            line += linePieces[rnd(6)];
        const std::string rep = replacements[rnd(5)];
        TQzFindOptions options;
        if (rnd(2))
            options.Include(qzfoWholeWord);
        if (rnd(2))
            options.Include(qzfoRegular);
        odregexp::TCompiledPattern compiled;
        CompileSearchText(find, options, compiled);
        if (!compiled.Valid)
            continue;
        // The caret on a character start.
        int from = 1;
        for (unsigned steps = rnd(4); steps > 0 && from <= static_cast<int>(line.size()); --steps)
            from += static_cast<unsigned char>(line[static_cast<size_t>(from - 1)]) >= 0x80 ? 2 : 1;
        Pad pad({line});
        pad.model.SetCaretPosition(TPoint(from - 1, 0));
        pad.search.ReplaceAll(find, rep, options);
        ASSERT_EQ(pad.Lines(), Lines({ReferenceReplace(line, from, find, rep, options)}))
            << "find '" << find << "' in '" << line << "' from " << from << " by '" << rep << "' options "
            << int(options.Byte());
    }
}
