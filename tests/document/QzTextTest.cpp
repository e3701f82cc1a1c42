#include <gtest/gtest.h>

#include "document/QzBuf.h"
#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/StringList.h"
#include "tests/document/DocTestUtil.h"

TEST(QzText, ReplaceTextFoldsAsciiCaseAndNeverRescans) {
    EXPECT_EQ(ReplaceText("a<br>b<BR>c", "<BR>", "\n", true), "a\nb\nc");
    EXPECT_EQ(ReplaceText("a<br>b<BR>c", "<BR>", "\n", false), "a\nb<BR>c");
    EXPECT_EQ(ReplaceText("\n\n\n", "\n\n", "\n", true), "\n\n");
    EXPECT_EQ(ReplaceText("abc", "", "x", true), "abc");
    // Korean bytes compare unchanged; only ASCII letters fold.
    std::string ko = Cp949("가나");
    EXPECT_EQ(ReplaceText(ko + "x" + ko, "X", "-", true), ko + "-" + ko);
}

TEST(QzText, ReplaceAllMatchesOnlyAtCharacterBoundaries) {
    // 0x81 0x41 is one extended syllable whose trail byte is 'A'.
    std::string s = std::string("\x81\x41", 2) + "a";
    EXPECT_EQ(ReplaceAll(s, "a", "x"), std::string("\x81\x41", 2) + "x");
    EXPECT_EQ(ReplaceText(s, "a", "x", true), std::string("\x81x", 2) + "x");
    EXPECT_EQ(ReplaceAll("p<br>q<Br>", "<BR>", "\n"), "p\nq\n");
}

TEST(QzText, ReplaceInPlaceAndInBuffer) {
    char text[] = "a<br>b<bR>";
    EXPECT_EQ(ReplaceInPlace(text, "<BR>", "<BR>", true), 1);
    EXPECT_STREQ(text, "a<BR>b<BR>");
    EXPECT_EQ(ReplaceInPlace(text, "<BR>", "<BREAK>", true), 0);
    EXPECT_STREQ(text, "a<BR>b<BR>");
    EXPECT_EQ(ReplaceInPlace(text, "zz", "", true), 0);
    EXPECT_EQ(ReplaceInPlace(text, "<br>", "", false), 1);
    EXPECT_STREQ(text, "ab<BR>");

    TQzBuf buf("one two one");
    EXPECT_EQ(ReplaceInBuffer(buf, "ONE", "three", true), 1);
    EXPECT_STREQ(buf.Text(), "three two three");
    EXPECT_EQ(ReplaceInBuffer(buf, "", "x", true), 0);
    EXPECT_EQ(ReplaceInBuffer(buf, "absent", "x", true), 1);
    EXPECT_STREQ(buf.Text(), "three two three");

    std::string s = "x<p>y<P>z";
    EXPECT_EQ(ReplaceInString(s, "<p>", "[paragraph]", true), 2u);
    EXPECT_EQ(s, "x[paragraph]y[paragraph]z");
}

TEST(QzText, FindText) {
    const char* t = "abc<Sync start=1>";
    EXPECT_EQ(FindText(t, "<SYNC"), t + 3);
    EXPECT_EQ(FindText(t, "<SYNCX", 5), t + 3);
    EXPECT_EQ(FindText(t, "<SYNCX"), nullptr);
    EXPECT_EQ(FindTextPos("aXa", "xA", 0), 1u);
}

TEST(QzText, BytesAndTrimming) {
    char t[] = "a\rb\rc";
    RemoveChar(t, '\r');
    EXPECT_STREQ(t, "abc");
    ReplaceChar(t, 'b', 'B');
    EXPECT_STREQ(t, "aBc");
    EXPECT_EQ(RemoveCharStr("x\ny\n", '\n'), "xy");
    char u[] = "text \t\r\n";
    EXPECT_EQ(TrimRightInPlace(u), 4);
    EXPECT_STREQ(u, "text");
    EXPECT_STREQ(SkipBlanks(" \t\r\nz"), "z");
    EXPECT_STREQ(SkipBlanks("  "), "");
    EXPECT_EQ(KeepDigits("<SYNC START=-1500>"), "-1500");
    EXPECT_EQ(KeepDigits("<SYNC START=100 END=200>"), "100200");
    EXPECT_EQ(StripTrailingBackslash("/a/b/"), "/a/b");
    EXPECT_EQ(StripTrailingBackslash("/a/b"), "/a/b");
}

TEST(QzText, DbcsByteTypeIsBoundedByTheText) {
    std::string ko = Cp949("한a");
    EXPECT_EQ(DbcsByteType(ko, 0), 1);
    EXPECT_EQ(DbcsByteType(ko, 1), 2);
    EXPECT_EQ(DbcsByteType(ko, 2), 0);
    EXPECT_EQ(DbcsByteType(ko, 3), -1);
    EXPECT_EQ(DbcsByteType("", 0), -1);
    // A lone lead byte at the end is a lead byte with no trail byte after it.
    EXPECT_EQ(DbcsByteType("a\xB0", 1), 1);
    // Steps over a lone lead byte at the end stay inside the text.
    EXPECT_EQ(FindLineBreak("abcdef\xB0", 5, false), 0);
    EXPECT_EQ(FindLineBreak("abcdef\xB0", 6, true), 6);
    EXPECT_EQ(ReplaceAll("a\xB0", "\xB0", "x"), "ax");
    EXPECT_EQ(ReplaceAll("\xB0", "a", "x"), "\xB0");
}

TEST(QzText, FindLineBreakSoftHardTagsAndDoubleByte) {
    EXPECT_EQ(FindLineBreak("abc def ghi", 5, false), 4);
    EXPECT_EQ(FindLineBreak("abcdefghij", 5, false), 0);
    EXPECT_EQ(FindLineBreak("abcdefghij", 5, true), 5);
    EXPECT_EQ(FindLineBreak("abcde fghij", 5, false), 5);  // a space exactly at the column
    EXPECT_EQ(FindLineBreak("abc", 5, false), 0);
    EXPECT_EQ(FindLineBreak("abcdef", 0, true), 0);
    // A hard break on the trail byte of a double-byte character moves back one byte.
    std::string ko = "a" + Cp949("가나다");  // a, then three 2-byte characters
    EXPECT_EQ(FindLineBreak(ko, 4, true), 3);
    // A font tag takes no columns.
    std::string tagged = "<FONT COLOR=red>abc def</FONT> ghi";
    EXPECT_EQ(FindLineBreak(tagged, 5, false), 20);
    EXPECT_EQ(TagSkipOffset("<b>ab<i>c", 2), 5);
    EXPECT_EQ(TagSkipOffset("abc", 0), 0);
    EXPECT_EQ(TagSkipOffset("<unclosed", 3), 9);
}

TEST(QzText, BlocksExtractRemoveAndReplace) {
    std::string two = "x<!--one-->y<!--two-->";
    EXPECT_EQ(ExtractBlock(two, "<!--", "-->"), "<!--one-->");
    EXPECT_EQ(ExtractBlock("x<!--open", "<!--", "-->"), "");
    EXPECT_EQ(ExtractBetween("x<!--open", "<!--", "-->"), "<!--open");
    EXPECT_EQ(ExtractBetween("abc", "<!--", "-->"), "");
    EXPECT_EQ(ExtractBetween("a<BODY x>b</body>c", "<body", "</BODY>"), "<BODY x>b</body>");
    EXPECT_EQ(ExtractBetween("a<Bxyz>", "<BODY", ">", 2, -1), "<Bxyz>");

    EXPECT_EQ(ReplaceBlocks("<b>bold</b> <i>it</i>", "<", ">", ""), "bold it");
    EXPECT_EQ(ReplaceBlocks("a<b>c< d", "<", ">", ""), "ac< d");
    // A removal can join a new block; it goes in a later pass.
    EXPECT_EQ(ReplaceBlocks("aabcbc", "ab", "c", ""), "");
    // A replacement that recreates the block ends the loop instead of running for ever.
    EXPECT_EQ(ReplaceBlocks("x<a>y", "<", ">", "<a>"), "x<a>y");
    EXPECT_EQ(ReplaceBlocks("x<a>y", "<", ">", "<<a>>"), "x<<a>>>y");

    TQzBuf buf("<P class=a>one<p CLASS=A>two<P class=b>");
    RemoveBlocks(buf, "<P ", ">", "");
    EXPECT_STREQ(buf.Text(), "onetwo");
}

TEST(QzText, ValueOfName) {
    TStringList l;
    l.Add("Other=1");
    l.Add("morvane=1.22=p1");
    EXPECT_EQ(ValueOfName("Morvane", l), "1.22=p1");
    EXPECT_EQ(ValueOfName("absent", l), "");
    EXPECT_EQ(ValueFromText("MsgUpdateAsk", "Msg=a\r\nMsgUpdateAsk=b\\nc\r\n"), "b\\nc");
}

TEST(QzText, CenterOnMainFormUsesTheHook) {
    TQzPoint p;
    SetMainFormGeometryHook({});
    CenterOnMainForm(p, 100, 50);
    EXPECT_EQ(p.X, 0);
    EXPECT_EQ(p.Y, 0);

    TMainFormGeometry g;
    g.MainVisible = true;
    g.Left = 100, g.Top = 200, g.Width = 401, g.Height = 300;
    g.ScreenWidth = 1024, g.ScreenHeight = 768;
    SetMainFormGeometryHook([&g] { return g; });
    CenterOnMainForm(p, 200, 100);
    EXPECT_EQ(p.X, 100 + 201 / 2);
    EXPECT_EQ(p.Y, 300);
    // Kept within the screen.
    g.Left = -500;
    g.Top = 700;
    CenterOnMainForm(p, 200, 100);
    EXPECT_EQ(p.X, 0);
    EXPECT_EQ(p.Y, 668);
    // Hidden main window: centred on the screen, without limits.
    g.MainVisible = false;
    CenterOnMainForm(p, 2000, 100);
    EXPECT_EQ(p.X, (1024 - 2000) / 2);
    EXPECT_EQ(p.Y, 334);
    SetMainFormGeometryHook({});
}

TEST(QzText, LoadStringListAndFileLength) {
    TempDir dir;
    EXPECT_EQ(LoadStringList(dir.File("missing.txt")), nullptr);
    EXPECT_EQ(LoadStringList(dir.Path()), nullptr);
    WriteBytes(dir.File("a.txt"), std::string("one\r\ntwo\rthree\nfour\0five", 24));
    auto list = LoadStringList(dir.File("a.txt"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Count(), 4);
    EXPECT_EQ((*list)[3], "four");
    EXPECT_EQ(GetFileLength(dir.File("a.txt")), 24);
    EXPECT_EQ(GetFileLength(dir.File("missing.txt")), -1);
}
