#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/model/QzSmiSyntax.h"
#include "platform/core/Cp949.h"
#include "tests/editor/SyntaxDump.h"

namespace {

// The colouriser as the main window configures it.
void ConfigureAsMainWindow(TQzSmiSyntax& s) {
    s.CaseSensitive = false;
    s.ForceUpperCase = true;
    s.LineComment1 = "//";
    s.BlockCommentStart1 = "<!--";
    s.BlockCommentEnd1 = "-->";
    s.BlockCommentStart2 = s.BlockCommentEnd2 = "'";
    s.BlockCommentStart3 = s.BlockCommentEnd3 = "\"";
    s.CommentColor = clGray;
    s.SetDelimiter("<>= /\t '\"&");
    s.StringColor = clSilver;
    s.NumberColor = clLime;
    s.KeywordColor1 = clYellow;
    s.KeywordColor2 = clAqua;
    s.KeywordColor3 = clFuchsia;
    s.KeywordColor4 = 0x34DC4E;
    s.KeywordColor5 = 0x80FF80;
    TStringList entities;
    for (const char* e : {"&amp;", "&gt;", "&lt;", "&nbsp;", "&quot;"})
        entities.Add(e);
    s.SetKeyword(6, entities);
    s.KeywordColor6 = clLime;
    s.OperatorColor = clNone;
    s.Loaded();
}

using Items = std::vector<TQzSyntaxItem>;

std::string Joined(const Items& items) {
    std::string s;
    for (const TQzSyntaxItem& i : items)
        s += i.Text;
    return s;
}

class SmiSyntaxTest : public ::testing::Test {
protected:
    void SetUp() override { ConfigureAsMainWindow(syntax); }
    Items Parse(const std::string& line, int& state) {
        syntax.Parse(line, state);
        return syntax.ParsedItems();
    }
    Items Parse(const std::string& line) {
        int state = 0;
        return Parse(line, state);
    }
    TQzSmiSyntax syntax;
};

TEST_F(SmiSyntaxTest, ConstructorValues) {
    TQzSmiSyntax fresh;
    EXPECT_EQ(fresh.TagNameColor, clYellow);
    EXPECT_EQ(fresh.TagKeyColor, clFuchsia);
    EXPECT_EQ(fresh.TagValueColor, clSilver);
    EXPECT_EQ(fresh.TagAndColor, clLime);
    EXPECT_EQ(fresh.Delimiter(), " '\"<>/-=&;");
    EXPECT_TRUE(fresh.ForceUpperCase);
    EXPECT_TRUE(fresh.GetDelimSet() == TCharSet(" '\"<>/-=&;"));
    // The main window's set: nine byte values, no "-" and no ";".
    EXPECT_TRUE(syntax.GetDelimSet() == TCharSet("<>= /\t'\"&"));
}

TEST_F(SmiSyntaxTest, SyncTag) {
    int state = 0;
    Items items = Parse("<SYNC Start=1000>", state);
    EXPECT_EQ(Dump(items), (std::vector<std::string>{"<@FFFF", "SYNC@FFFF", " @1FFFFFFF", "START@FF00FF",
                                                       "=@1FFFFFFF", "1000@FF00", ">@FFFF"}));
    EXPECT_EQ(state, 0);
    // Lower-case tag names are shown upper-cased; the closing slash takes the tag name colour.
    items = Parse("<sync start=5><p class=KRCC></p>");
    EXPECT_EQ(items[1].Text, "SYNC");
    EXPECT_EQ(items[3].Text, "START");
    EXPECT_EQ(items[7].Text, "<");
    EXPECT_EQ(items[8].Text, "P");
    EXPECT_EQ(Dump(Items(items.end() - 4, items.end())),
              (std::vector<std::string>{"<@FFFF", "/@FFFF", "P@FFFF", ">@FFFF"}));
}

TEST_F(SmiSyntaxTest, AttributeValues) {
    Items items = Parse("<P Class=Main>");
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[3].Text, "CLASS");
    EXPECT_EQ(items[3].Color, syntax.TagKeyColor);
    EXPECT_EQ(items[5].Text, "Main");
    EXPECT_EQ(items[5].Color, syntax.TagValueColor);

    items = Parse("<P Class=\"Main\" id='x y'>");
    EXPECT_EQ(Dump(items), (std::vector<std::string>{
                               "<@FFFF", "P@FFFF", " @1FFFFFFF", "CLASS@FF00FF", "=@1FFFFFFF", "\"@C0C0C0",
                               "Main@C0C0C0", "\"@C0C0C0", " @1FFFFFFF", "ID@FF00FF", "=@1FFFFFFF", "'@C0C0C0",
                               "x@C0C0C0", " @C0C0C0", "y@C0C0C0", "'@C0C0C0", ">@FFFF"}));
    // A double quote inside a quote value does not close it.
    items = Parse("<P a='x\"y'>");
    EXPECT_EQ(items.back().Color, syntax.TagNameColor);
    EXPECT_EQ(Joined(items), "<P A='x\"y'>");
}

TEST_F(SmiSyntaxTest, Entities) {
    Items items = Parse("a&nbsp;b &lt;");
    EXPECT_EQ(Dump(items), (std::vector<std::string>{"a@1FFFFFFF", "&nbsp;@FF00", "b@1FFFFFFF", " @1FFFFFFF",
                                                       "&lt;@FF00"}));
    // No ";" within ten characters, or a double-byte character first: a plain "&".
    items = Parse("&abcdefghijk;");
    EXPECT_EQ(items[0].Text, "&");
    EXPECT_EQ(items[0].Color, clNone);
    items = Parse("&" + Cp949("가") + ";");
    EXPECT_EQ(items[0].Text, "&");
    EXPECT_EQ(items[0].Color, clNone);
    EXPECT_EQ(Joined(items), "&" + Cp949("가") + ";");
    // Inside a tag "&" is not an entity.
    items = Parse("<P &amp;>");
    for (const TQzSyntaxItem& i : items)
        EXPECT_NE(i.Color, syntax.TagAndColor) << i.Text;
}

TEST_F(SmiSyntaxTest, CommentsAcrossLines) {
    int state = 0;
    Items items = Parse("text <!-- open", state);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(items[0].Color, clNone);
    for (size_t k = 2; k < items.size(); ++k)
        EXPECT_EQ(items[k].Color, clGray) << items[k].Text;

    items = Parse("<P> still -->after", state);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(Joined(items), "<P> still -->after");
    for (const TQzSyntaxItem& i : items) {
        if (i.Text == "after") {
            EXPECT_EQ(i.Color, clNone);
        } else {
            EXPECT_EQ(i.Color, clGray) << i.Text;
        }
    }

    // A closing token glued to a word is part of the word and leaves the comment open.
    state = 1;
    items = Parse("word--> */", state);
    EXPECT_EQ(state, 0);  // "*/" after the blank closes it
    state = 1;
    items = Parse("word-->", state);
    EXPECT_EQ(state, 1);

    // The common style block: the comment closes on a line of its own.
    state = 0;
    Parse("<!--", state);
    EXPECT_EQ(state, 1);
    Parse("P { margin-left:8pt; }", state);
    EXPECT_EQ(state, 1);
    Parse("-->", state);
    EXPECT_EQ(state, 0);
    items = Parse("</STYLE>", state);
    EXPECT_EQ(items[0].Color, syntax.TagNameColor);

    items = Parse("x // rest <b>");
    EXPECT_EQ(items.back().Text, "// rest <b>");
    EXPECT_EQ(items.back().Color, clGray);
}

TEST_F(SmiSyntaxTest, StringStateAcrossLines) {
    int state = 0;
    Parse("<P Class='open", state);
    EXPECT_EQ(state, 10);
    Items items = Parse("still' id=2>", state);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(items[0].Text, "still");
    EXPECT_EQ(items[0].Color, syntax.StringColor);
    EXPECT_EQ(items.back().Color, syntax.TagNameColor);
    state = 0;
    Parse("<P Class=\"open", state);
    EXPECT_EQ(state, 20);
    state = 21;
    Parse("inside both", state);
    EXPECT_EQ(state, 21);
}

TEST_F(SmiSyntaxTest, EmptyLineAndJoin) {
    int state = 11;
    syntax.Parse("", state);
    EXPECT_EQ(state, 11);
    EXPECT_TRUE(syntax.ParsedItems().empty());

    // Apart from upper-cased tag names the pieces give back the line; Hangul is never altered.
    const std::string line = "<P Class=KRCC>" + Cp949("가나다 <b>굵게</b>") + "&nbsp;";
    Items items = Parse(line);
    EXPECT_EQ(Joined(items), "<P CLASS=KRCC>" + Cp949("가나다 <B>굵게</B>") + "&nbsp;");
    const std::string inTag = "<" + Cp949("각") + "a>";
    items = Parse(inTag);
    EXPECT_EQ(items[1].Text, Cp949("각") + "A");

    syntax.ForceUpperCase = false;
    items = Parse("<sync start=1>");
    EXPECT_EQ(Joined(items), "<sync start=1>");
}

TEST_F(SmiSyntaxTest, ClearResetsStateAndDescription) {
    int state = 0;
    Parse("<P Class='x", state);
    syntax.Clear();
    EXPECT_EQ(syntax.CommentColor, clBlue);
    EXPECT_EQ(syntax.StringColor, clAqua);
    EXPECT_EQ(syntax.TagNameColor, clYellow);
    EXPECT_TRUE(syntax.Keyword(6).Strings.empty());
}

}  // namespace
