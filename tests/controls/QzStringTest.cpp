#include <gtest/gtest.h>

#include "controls/common/QzString.h"
#include "platform/core/Cp949.h"
#include "platform/core/StringList.h"

namespace {

const TCharSet kComma{','};
const TCharSet kBlank{' '};

TEST(QzStringWords, GetWordCountsEmptyWordsAndTrims) {
    EXPECT_EQ(GetWord("a,,b", 3, kComma), "b");
    EXPECT_EQ(GetWord("a,,b", 2, kComma), "");
    EXPECT_EQ(GetWord("  x  ", 1, kComma), "x");
    EXPECT_EQ(GetWord("a,b", 5, kComma), "");
    EXPECT_EQ(GetWord("", 1, kComma), "");
    EXPECT_EQ(GetWord("qzcUndo , Ctrl+Z ", 2, kComma), "Ctrl+Z");
    EXPECT_EQ(GetWord("a,b,", 3, kComma), "");
    EXPECT_EQ(GetWord("a,b", 0, kComma), "");
}

TEST(QzStringWords, WordCountAndSplit) {
    EXPECT_EQ(GetWordCount("", kComma), 0);
    EXPECT_EQ(GetWordCount("abc", kComma), 1);
    EXPECT_EQ(GetWordCount("a,,b,", kComma), 4);

    TStringList lines;
    lines.Add("keep");
    SplitWord("  one two   three ", kBlank, lines);
    ASSERT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines[0], "keep");
    EXPECT_EQ(lines[1], "one");
    EXPECT_EQ(lines[3], "three");
}

TEST(QzStringSearch, PosFromAndReplace) {
    EXPECT_EQ(PosFrom("abcabc", "bc", 1), 2);
    EXPECT_EQ(PosFrom("abcabc", "bc", 3), 5);
    EXPECT_EQ(PosFrom("abcabc", "bc", 6), 0);
    EXPECT_EQ(PosFrom("abcabc", "", 1), 0);
    EXPECT_EQ(PosFrom("abcabc", "ab", -4), 1);

    EXPECT_EQ(StringReplace("aXbXc", "X", "--", 0), "a--bXc");
    EXPECT_EQ(StringReplace("aXbXc", "X", "--", rfReplaceAll), "a--b--c");
    EXPECT_EQ(StringReplace("aXbxc", "x", "y", rfReplaceAll | rfIgnoreCase), "aybyc");
    // Replaced text is not searched again.
    EXPECT_EQ(StringReplace("aa", "a", "aa", rfReplaceAll), "aaaa");
    EXPECT_EQ(StringReplace("abc", "", "z", rfReplaceAll), "abc");
}

TEST(QzStringSearch, ReplaceNeverTakesACharacterApart) {
    // "\x81\x41" is a syllable whose trail byte is "A"; "\xB0\xA1\xB0\xA1" holds "\xA1\xB0" across
    // two characters.
    struct Case {
        std::string text, oldText, newText;
        TReplaceFlags flags;
        std::string expected;
    };
    const Case cases[] = {
        {"\x81\x41" "A", "A", "B", rfReplaceAll, "\x81\x41" "B"},
        {"\x81\x41" "A", "a", "B", rfReplaceAll | rfIgnoreCase, "\x81\x41" "B"},
        {"\x81\x41" "A", "A", "B", 0, "\x81\x41" "B"},
        {"\xB0\xA1\xB0\xA1", "\xA1\xB0", "x", rfReplaceAll, "\xB0\xA1\xB0\xA1"},
        {"\xB0\xA1\xB0\xA1", "\xB0\xA1", "x", rfReplaceAll, "xx"},
        {"a\xB0\xA1" "b", "\xB0", "x", rfReplaceAll, "a\xB0\xA1" "b"},
        {"a\xB0", "\xB0", "x", rfReplaceAll, "ax"},
        {"A\x81\x41" "A\x81", "A", "-", rfReplaceAll, "-\x81\x41-\x81"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringReplace(c.text, c.oldText, c.newText, c.flags), c.expected) << c.text;
}

TEST(QzStringEdit, OverWriteReplacesAndExtends) {
    std::string s = "abcd";
    OverWrite(s, "XY", 3);
    EXPECT_EQ(s, "abXY");
    s = "abcd";
    OverWrite(s, "XY", 4);
    EXPECT_EQ(s, "abcXY");
    s = "abcd";
    OverWrite(s, "XY", 9);
    EXPECT_EQ(s, "abcdXY");
    s = "abcd";
    OverWrite(s, "XY", 0);
    EXPECT_EQ(s, "XYcd");
}

TEST(QzStringClassify, CountsAndTests) {
    EXPECT_EQ(CountChar("a,b,,c", ','), 3);
    EXPECT_TRUE(IsNum(""));
    EXPECT_TRUE(IsNum("0123"));
    EXPECT_FALSE(IsNum("12a"));
    EXPECT_TRUE(IsHex("09AF"));
    EXPECT_FALSE(IsHex("09af"));
    EXPECT_EQ(ReplaceChar("a\tb\t", '\t', "  "), "a  b  ");
    EXPECT_EQ(ReplaceChar("abc", 'x', "y"), "abc");
}

TEST(QzStringCase, CapitalizeAndInvert) {
    EXPECT_EQ(Capitalize(" hello wORLD"), " Hello World");
    EXPECT_EQ(Capitalize("abc\tdef"), "Abc\tDef");
    EXPECT_EQ(InvertCase("aBc1"), "AbC1");
    // Double-byte characters are left whole: the trail byte 'a' of this character stays.
    const std::string hangul = Cp949("각");
    ASSERT_EQ(hangul.size(), 2u);
    EXPECT_EQ(InvertCase(hangul + "x"), hangul + "X");
    EXPECT_EQ(AsciiUpperCase("ab" + hangul), "AB" + hangul);
}

TEST(QzStringCase, LocaleCaseConvertsDoubleByteLetters) {
    EXPECT_EQ(LocaleUpperCase(Cp949("ａｂｃ αβ жё")), Cp949("ＡＢＣ ΑΒ ЖЁ"));
    EXPECT_EQ(LocaleLowerCase(Cp949("ＡＢＣ ΑΒ ЖЁ Ⅳ")), Cp949("ａｂｃ αβ жё ⅳ"));
    // Hangul has no case, and a trail byte that looks like a letter is never changed.
    const std::string text = Cp949("가각간") + "abc";
    EXPECT_EQ(LocaleUpperCase(text), Cp949("가각간") + "ABC");
    EXPECT_EQ(Capitalize(Cp949("가a b")), Cp949("가a B"));
    // A lead byte at the very end is kept as it is.
    EXPECT_EQ(LocaleUpperCase("a\xB0"), "A\xB0");
}

TEST(QzStringScan, PositionScanners) {
    const TCharSet delims{' ', ','};
    const std::string text = "ab, cd";
    int i = 1;
    EXPECT_EQ(GetPosUntil(text, delims, i), 3);
    EXPECT_EQ(i, 3);
    EXPECT_EQ(GetPosWhile(text, delims, i), 5);
    i = 6;
    EXPECT_EQ(GetPosUntilR(text, delims, i), 4);
    EXPECT_EQ(GetPosWhileR(text, delims, i), 2);

    i = 1;
    EXPECT_EQ(GetPosUntil("abc", delims, i), 4);
    i = 3;
    EXPECT_EQ(GetPosUntilR("abc", delims, i), 0);
    // Out of range: returned unchanged.
    i = 0;
    EXPECT_EQ(GetPosUntil("abc", delims, i), 0);
    i = 7;
    EXPECT_EQ(GetPosWhileR("abc", delims, i), 7);
}

TEST(QzStringScan, StringScanners) {
    const TCharSet delims{'<', '>', ' '};
    int i = 1;
    EXPECT_EQ(GetStringUntil("abc<d", delims, i), "abc");
    EXPECT_EQ(i, 4);
    // At a delimiter: empty, index stays on it.
    EXPECT_EQ(GetStringUntil("abc<d", delims, i), "");
    EXPECT_EQ(i, 4);
    EXPECT_EQ(GetStringWhile("abc<> d", delims, i), "<> ");
    EXPECT_EQ(i, 7);
    EXPECT_EQ(GetStringUntil("abc<> d", delims, i), "d");
    EXPECT_EQ(i, 8);
    i = 8;
    EXPECT_EQ(GetStringUntil("abc<> d", delims, i), "");
    EXPECT_EQ(i, 8);
    i = 1;
    EXPECT_EQ(GetStringWhile("abc", delims, i), "");
    EXPECT_EQ(i, 1);
}

TEST(QzStringNumbers, StrToFloatDef) {
    EXPECT_DOUBLE_EQ(StrToFloatDef("1.5", -1), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloatDef(" -2.25e2 ", 0), -225.0);
    EXPECT_DOUBLE_EQ(StrToFloatDef("+.5", 0), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloatDef("", 7), 7);
    EXPECT_DOUBLE_EQ(StrToFloatDef("1,5", 7), 7);
    EXPECT_DOUBLE_EQ(StrToFloatDef("0x10", 7), 7);
    EXPECT_DOUBLE_EQ(StrToFloatDef("inf", 7), 7);
    EXPECT_DOUBLE_EQ(StrToFloatDef("1e", 7), 7);
}

TEST(QzStringCharSet, MembershipAndRanges) {
    TCharSet s("ab");
    EXPECT_TRUE(s.Contains('a'));
    EXPECT_FALSE(s.Contains('c'));
    s.Include(static_cast<unsigned char>(0xFF));
    EXPECT_TRUE(s.Contains(static_cast<unsigned char>(0xFF)));
    s.Exclude('a');
    EXPECT_FALSE(s.Contains('a'));
    TCharSet digits = TCharSet::Range('0', '9');
    EXPECT_TRUE(digits.Contains('5'));
    EXPECT_FALSE(digits.Contains('a'));
    EXPECT_TRUE((digits + s).Contains('b'));
    EXPECT_FALSE((digits - TCharSet("5")).Contains('5'));
    EXPECT_TRUE(TCharSet().Empty());
}

}  // namespace
