#include "editor/model/QzPadExport.h"

#include "editor/model/QzFileError.h"
#include "editor/model/QzPadModel.h"
#include "editor/model/QzSmiSyntax.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"

#include <gtest/gtest.h>

namespace {

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TQzFontDesc font;
        font.Name = "Courier New";
        font.Size = 10;
        font.Color = clBlack;
        pad.SetFont(font);
        pad.SetColor(clWhite);
        pad.SetTabSize(2);
        syntax.CommentColor = clGreen;
        syntax.DirectiveColor = clNavy;
        syntax.KeywordColor1 = clMaroon;
        syntax.KeywordColor2 = clOlive;
        syntax.KeywordColor3 = clTeal;
        syntax.KeywordColor4 = clGray;
        syntax.KeywordColor5 = clSilver;
        syntax.KeywordColor6 = clRed;
        syntax.NumberColor = clLime;  // the entity colour of the colouriser: found in the table
        syntax.OperatorColor = clBlue;
        syntax.StringColor = clAqua;
    }

    void Colour()
    {
        pad.SetSyntax(&syntax);
        pad.SetOptions(pad.Options().With(qzoHighlightSyntax));
    }

    TQzPadModel pad;
    TQzSmiSyntax syntax;
};

const char* const kColorTable =
    "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red0\\green128\\blue0;"
    "\\red0\\green0\\blue128;\\red128\\green0\\blue0;\\red128\\green128\\blue0;\\red0\\green128\\blue128;"
    "\\red128\\green128\\blue128;\\red192\\green192\\blue192;\\red255\\green0\\blue0;\\red0\\green255\\blue0;"
    "\\red0\\green0\\blue255;\\red0\\green255\\blue255;}";

}  // namespace

TEST_F(ExportTest, PlainHtmlEscapesMarkupAndAmpersands)
{
    pad.SetFileName("movie.smi");
    pad.SetText("a<b & \"c\">\n\tx&nbsp;");
    TStringList out;
    ExportToHTML(pad, out, 0, 1);
    const std::vector<std::string> expected = {
        "<HTML><HEAD>", "<META NAME=\"Generator\" CONTENT=\"Pendrix\">", "<TITLE>movie.smi</TITLE>",
        "</HEAD>", "<BODY>", "<PRE>", "a&lt;b &amp; &quot;c&quot;&gt;", "  x&amp;nbsp;", "</PRE>", "</BODY>", "</HTML>"};
    EXPECT_EQ(out.Strings, expected);
}

TEST_F(ExportTest, ColouredSamiLineAsHtml)
{
    Colour();
    pad.SetText("<B>" + Cp949("가") + "&amp;");
    TStringList out;
    ExportToHTML(pad, out, 0, 0);
    ASSERT_EQ(out.Count(), 10);
    EXPECT_EQ(out[6], "<FONT COLOR=\"#ffff00\">&lt;</FONT><FONT COLOR=\"#ffff00\">B</FONT>"
                      "<FONT COLOR=\"#ffff00\">&gt;</FONT>" + Cp949("가") +
                      "<FONT COLOR=\"#00ff00\">&amp;amp;</FONT>");
}

TEST_F(ExportTest, PlainRtfDocument)
{
    pad.SetText(Cp949("가") + "\n{a}\\'b");
    TStringList out;
    ExportToRTF(pad, out, 0, 1);
    ASSERT_EQ(out.Count(), 7);
    EXPECT_EQ(out[0], "{\\rtf1\\ansi\\deff0{\\fonttbl {\\f0\\fnil Courier New;}"
                      "{\\f1\\fnil\\fcharset129 \\'b1\\'bc\\'b8\\'b2;}}");
    // Without a colouriser every colouriser entry is the font colour.
    EXPECT_EQ(out[1], "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;"
                      "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;"
                      "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;"
                      "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;}");
    EXPECT_EQ(out[2], "{\\fs20\\cf0\\cb1 ");
    EXPECT_EQ(out[3], "\\cf0 \\f1 \\'b0\\'a1\\line ");
    EXPECT_EQ(out[4], "\\cf0 \\f0 \\{a\\}\\\\\\'27b\\line ");
    EXPECT_EQ(out[5], "}");
    EXPECT_EQ(out[6], "}");
}

TEST_F(ExportTest, ColouredSamiLineAsRtf)
{
    Colour();
    pad.SetText("<B>" + Cp949("가") + "&amp;");
    TStringList out;
    ExportToRTF(pad, out, 0, 0);
    ASSERT_EQ(out.Count(), 6);
    EXPECT_EQ(out[1], kColorTable);
    // The tag colour is not in the table (cf0); the entity colour is entry 10.
    EXPECT_EQ(out[3], "\\cf0 \\f0 <\\cf0 \\f0 B\\cf0 \\f0 >\\cf0 \\f1 \\'b0\\'a1\\cf10 \\f0 &amp;\\line ");
}

TEST_F(ExportTest, ColouringStartsFromTheStoredStateOfThePreviousLine)
{
    Colour();
    pad.SetText("<!-- a\nb -->");
    TStringList plain;
    ExportToHTML(pad, plain, 1, 1);
    EXPECT_EQ(plain[6].rfind("b ", 0), 0u) << plain[6];  // outside a comment: "b" uncoloured

    pad.Lines().EnsureAttribute(0, -2, false)->SyntaxState = 1;  // inside a comment
    TStringList inComment;
    ExportToHTML(pad, inComment, 1, 1);
    EXPECT_EQ(inComment[6].rfind("<FONT COLOR=\"#008000\">b", 0), 0u) << inComment[6];
    EXPECT_EQ(pad.Lines().Attribute(1), nullptr);  // nothing is stored back
}

TEST_F(ExportTest, RangeIsCutToTheLines)
{
    pad.SetText("one\ntwo");
    TStringList out;
    ExportToHTML(pad, out, -5, 99);
    ASSERT_EQ(out.Count(), 11);
    EXPECT_EQ(out[6], "one");
    EXPECT_EQ(out[7], "two");
    TStringList none;
    ExportToRTF(pad, none, 5, 9);
    EXPECT_EQ(none.Count(), 5);  // header strings and the two closing braces only
}

TEST(ExportEscapes, RtfBytes)
{
    EXPECT_EQ(RtfEscape(std::string("a\tb\x0c" "c\rd", 8)), "a\\tab b\\page c\\line d");
    EXPECT_EQ(RtfEscape(std::string("x\0y", 3)), "xy");
    EXPECT_EQ(RtfEscape("\xB0"), "\\'b0");  // a lone lead byte at the end
    EXPECT_EQ(RtfFontRuns("ab" + Cp949("가나") + "c"), "\\f0 ab\\f1 \\'b0\\'a1\\'b3\\'aa\\f0 c");
    EXPECT_EQ(RtfFontRuns(""), "");
}

TEST_F(ExportTest, SaveAsWritesCrLfLinesAndReportsFailures)
{
    pad.SetText("x");
    const std::string path = ::testing::TempDir() + "/qzpad_export.html";
    SaveAsHTML(pad, path);
    std::string data;
    ASSERT_TRUE(ReadFileBytes(path, data));
    EXPECT_EQ(data.rfind("<HTML><HEAD>\r\n", 0), 0u);
    EXPECT_NE(data.find("\r\n<PRE>\r\nx\r\n</PRE>\r\n"), std::string::npos);
    EXPECT_EQ(data.substr(data.size() - 9), "</HTML>\r\n");
    DeleteFile(path);

    EXPECT_THROW(SaveAsRTF(pad, "/nonexistent-dir/out.rtf"), EFCreateError);
}
