#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "editor/model/QzFileError.h"
#include "editor/model/QzSyntax.h"
#include "platform/core/FileUtils.h"
#include "tests/editor/SyntaxDump.h"

namespace {

TStringList List(std::initializer_list<const char*> words) {
    TStringList l;
    for (const char* w : words)
        l.Add(w);
    return l;
}

TEST(QzSyntaxHelpers, FindAndString) {
    EXPECT_EQ(FindAndString("&amp;", ";", 2, true, 10), 6);
    EXPECT_EQ(FindAndString("&abcdefghijkl;", ";", 2, true, 10), 0);
    EXPECT_EQ(FindAndString("&abcdefghi;", ";", 2, true, 10), 12);
    EXPECT_EQ(FindAndString("&\xB0\xA1;", ";", 2, true, 10), 0);
    EXPECT_EQ(FindAndString("&\xB0\xA1;", ";", 2, false, 10), 5);
    EXPECT_EQ(FindAndString("abc", ";", 1, false, 0), 0);
    EXPECT_EQ(FindAndString("ab c>", "", 1, false, 0), 4);
    EXPECT_EQ(FindAndString("abc", "bc", 1, false, 0), 0);  // only one character can match
    EXPECT_EQ(FindAndString("abc", ";", 9, false, 0), 0);
    EXPECT_EQ(StrPos("a=b", "=", 1), 3);
}

TEST(QzSyntaxHelpers, FindCaseAndLocaleOrder) {
    EXPECT_LT(CompareStrLocale("a", "A"), 0);
    EXPECT_LT(CompareStrLocale("A", "b"), 0);
    EXPECT_EQ(CompareStrLocale("Ab", "Ab"), 0);
    const std::vector<std::string> list = {"apple", "Apple", "banana", "cherry"};
    int index = -1;
    EXPECT_TRUE(FindCase(list, "Apple", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(FindCase(list, "BANANA", index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(FindCase(list, "zebra", index));
    EXPECT_EQ(index, 4);
}

TEST(QzSyntaxWords, FirstListWins) {
    TQzSyntax s;
    s.OperatorColor = 0x111111;
    s.KeywordColor1 = 0x222222;
    s.KeywordColor2 = 0x333333;
    s.SetKeyword(1, List({"BEGIN", "end"}));
    s.SetOperator(List({"begin"}));
    s.SetKeyword(2, List({"End", "loop"}));
    EXPECT_EQ(s.GetColor("Begin"), 0x111111u);
    EXPECT_EQ(s.GetColor("END"), 0x333333u);
    EXPECT_EQ(s.GetColor("loop"), 0x333333u);
    EXPECT_EQ(s.GetColor("other"), clNone);
    // Keyword lists are kept sorted.
    EXPECT_EQ(s.Keyword(1).Strings, (std::vector<std::string>{"BEGIN", "end"}));

    s.CaseSensitive = true;
    EXPECT_EQ(s.GetColor("begin"), 0x111111u);
    EXPECT_EQ(s.GetColor("Begin"), clNone);
}

TEST(QzSyntaxParse, TagTokenizer) {
    TQzSyntax s;
    s.SetKeyword(1, List({"if"}));
    s.ForceUpperCase = true;
    int state = 0;
    s.Parse("<if a=1>", state);
    EXPECT_EQ(Dump(s.ParsedItems()),
              (std::vector<std::string>{"<@1FFFFFFF", "IF@8000", " a=@1FFFFFFF", "1@800080", ">@1FFFFFFF"}));
    // A piece of the same colour as the one before joins it as it stands (not upper-cased).
    s.Parse("<a b=xyz>", state);
    EXPECT_EQ(Dump(s.ParsedItems()), (std::vector<std::string>{"<a b=@1FFFFFFF", "xyz@FFFF00", ">@1FFFFFFF"}));
    // Outside a tag keywords are not coloured.
    s.Parse("if x", state);
    EXPECT_EQ(Dump(s.ParsedItems()), (std::vector<std::string>{"if x@1FFFFFFF"}));
    EXPECT_EQ(state, 0);
}

TEST(QzSyntaxParse, CommentsStringsAndState) {
    TQzSyntax s;
    s.ForceUpperCase = false;
    s.LineComment1 = "//";
    s.BlockCommentStart1 = "/*";
    s.BlockCommentEnd1 = "*/";
    s.StringChar = "\"";
    int state = 0;
    const std::string line = "a \"s t\" /* open";
    s.Parse(line, state);
    EXPECT_EQ(state, 1);
    std::string joined;
    for (const TQzSyntaxItem& i : s.ParsedItems())
        joined += i.Text;
    EXPECT_EQ(joined, line);
    EXPECT_EQ(Dump(s.ParsedItems()),
              (std::vector<std::string>{"a @1FFFFFFF", "\"s t\"@FFFF00", " @1FFFFFFF", "/* open@FF0000"}));
    s.Parse("still */ x // tail", state);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(Dump(s.ParsedItems()),
              (std::vector<std::string>{"still */@FF0000", " x //@1FFFFFFF", " tail@FF0000"}));

    state = 1;
    s.Parse("", state);
    EXPECT_EQ(state, 1);
    EXPECT_TRUE(s.ParsedItems().empty());
}

TEST(QzSyntaxParse, DelimiterSetFollowsText) {
    TQzSyntax s;
    EXPECT_TRUE(s.GetDelimSet().Contains(' '));
    EXPECT_TRUE(s.GetDelimSet().Contains('>'));
    s.SetDelimiter(",");
    EXPECT_TRUE(s.GetDelimSet() == TCharSet(","));
    s.Clear();
    EXPECT_EQ(s.Delimiter(), " '\".,/?:;[](){}|+=-!~@#$%^&*<>");
    EXPECT_TRUE(s.GetDelimSet() == TCharSet(" '\".,/?:;[](){}|+=-!~@#$%^&*<>"));
}

TEST(QzSyntaxFile, PropertyLinesAndLists) {
    TQzSyntax s;
    TStringList lines;
    lines.SetText(
        "; comment\n"
        "ignored before any list\n"
        "#SyntaxName=SAMI\n"
        "#Keyword1=anything\n"
        "#KeywordColor1=FF\n"
        "body\n"
        "  head  \n"
        "#notaproperty\n"
        "#CaseSensitive=True\n"
        "#NumberColor=xyz\n"
        "#Tag=12\n"
        "#Operator=\n"
        "+\n");
    s.LoadFromStrings(lines);
    EXPECT_EQ(s.SyntaxName, "SAMI");
    EXPECT_EQ(s.KeywordColor1, 255u);
    EXPECT_EQ(s.Keyword(1).Strings, (std::vector<std::string>{"body", "head", "#notaproperty"}));
    EXPECT_TRUE(s.CaseSensitive);
    EXPECT_EQ(s.NumberColor, 0u);
    EXPECT_EQ(s.Tag, 12);
    EXPECT_EQ(s.Operator().Strings, (std::vector<std::string>{"+"}));
    // Lists are added to, not replaced.
    s.LoadFromStrings(lines);
    EXPECT_EQ(s.Keyword(1).Count(), 6);
}

TEST(QzSyntaxFile, SaveAndLoadRoundTrip) {
    TQzSyntax s;
    s.SyntaxName = "Test";
    s.CommentColor = 0x123;
    s.SetKeyword(2, List({"zeta", "alpha"}));
    TStringList out;
    s.SaveToStrings(out);
    ASSERT_GT(out.Count(), 10);
    EXPECT_EQ(out[0], "#BlockBegin=");
    EXPECT_NE(out.IndexOf("#CommentColor=000123"), -1);
    EXPECT_NE(out.IndexOf("#OperatorColor=000000"), -1);
    EXPECT_NE(out.IndexOf("#CaseSensitive=False"), -1);
    EXPECT_EQ(out.IndexOf("#Tag=0"), -1);
    const int k2 = out.IndexOf("#Keyword2=");
    ASSERT_GT(k2, 0);
    EXPECT_EQ(out[k2 - 1], "");
    EXPECT_EQ(out[k2 + 1], "alpha");
    EXPECT_EQ(out[k2 + 2], "zeta");

    char tmpl[] = "/tmp/qzsyntaxXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string file = std::string(tmpl) + "/def.txt";
    s.SaveToFile(file);
    TQzSyntax back;
    back.Clear();  // the blank-first delimiter text
    back.LoadFromFile(file);
    EXPECT_EQ(back.SyntaxName, "Test");
    EXPECT_EQ(back.CommentColor, 0x123u);
    // The default delimiter text ends in a blank, which survives the file.
    EXPECT_EQ(back.Delimiter(), s.Delimiter());
    EXPECT_TRUE(back.GetDelimSet().Contains(' '));
    EXPECT_EQ(back.GetColor("ALPHA"), s.KeywordColor2);

    std::stringstream stream;
    s.SaveToStream(stream);
    EXPECT_EQ(stream.str().substr(0, 14), "#BlockBegin=\r\n");
    TQzSyntax fromStream;
    fromStream.LoadFromStream(stream);
    EXPECT_EQ(fromStream.GetColor("zeta"), s.KeywordColor2);

    EXPECT_THROW(back.LoadFromFile(std::string(tmpl) + "/missing.txt"), EFOpenError);
    EXPECT_THROW(back.SaveToFile(std::string(tmpl) + "/no/dir/def.txt"), EFCreateError);
    DeleteFile(file);
    rmdir(tmpl);
}

}  // namespace
