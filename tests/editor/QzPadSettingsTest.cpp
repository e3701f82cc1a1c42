#include "editor/model/QzPadSettings.h"

#include "controls/common/Qzcommon.h"
#include "editor/model/QzCodeTemplates.h"
#include "editor/model/QzPadModel.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/IniFile.h"

#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void TearDown() override { DeleteFile(path); }
    std::string path = ::testing::TempDir() + "/qzpad_settings.ini";
};

TQzFontDesc MakeFont(const std::string& name, int size, TColor color, bool fixed)
{
    TQzFontDesc f;
    f.Name = name;
    f.Size = size;
    f.Color = color;
    f.FixedPitch = fixed;
    return f;
}

}  // namespace

TEST_F(SettingsTest, SaveAndLoadGiveTheSameValues)
{
    TQzPadModel a;
    TQzCodeTemplates ta;
    a.SetColor(0x123456);
    a.SetGutterColor(clBtnFace);  // a system colour is written as a negative integer
    a.SetLineNoColor(0x00AA00);
    a.SetBookmarkColor(0x0000FF);
    a.SetColumnCount(72);
    a.SetGutterWidth(40);
    a.SetTabSize(4);
    a.SetIndentSize(3);
    a.SetLineSpace(5);
    a.SetNewLineMarkColor(0x010203);
    a.SetNewLineMark(Cp949("¶"));
    a.SetCurrentLineColor(0xEEEEEE);
    a.SetOptions(TQzPadOptions().With(qzoShowLineNo).With(qzoReadOnly).With(qzoScrollPastEOL));
    a.SetFont(MakeFont(Cp949("나눔고딕코딩"), 12, 0x445566, true));
    a.PrintOptions().PrintLineNo = true;
    a.PrintOptions().PrintSeperator = false;
    a.PrintOptions().WordWrap = true;
    a.PrintOptions().MarginLeft = 1;
    a.PrintOptions().MarginTop = 2;
    a.PrintOptions().MarginRight = 3;
    a.PrintOptions().MarginBottom = 4;
    a.PrintOptions().PagesPerSheet = ppps4;
    a.PrintOptions().Font = MakeFont("DejaVu Sans Mono", 8, clRed, true);
    a.PrintHeader().Visible = false;
    a.PrintHeader().TextLeft = "left";
    a.PrintHeader().TextCenter = Cp949("가운데");
    a.PrintHeader().TextRight = "right";
    a.PrintHeader().Font = MakeFont("Header", 11, clBlue, false);
    a.PrintFooter().TextRight = "page";
    a.PrintFooter().Font = MakeFont("Footer", 7, clGreen, false);
    ta.Width = 321;
    ta.Height = 123;
    ta.Font = MakeFont("List", 13, clPurple, false);
    ASSERT_TRUE(SaveSettingToINI(a, &ta, path));

    TQzPadModel b;
    TQzCodeTemplates tb;
    LoadSettingFromINI(b, &tb, path);
    EXPECT_EQ(b.Color(), 0x123456u);
    EXPECT_EQ(b.GutterColor(), clBtnFace);
    EXPECT_EQ(b.LineNoColor(), 0x00AA00u);
    EXPECT_EQ(b.BookmarkColor(), 0x0000FFu);
    EXPECT_EQ(b.ColumnCount(), 72);
    EXPECT_EQ(b.GutterWidth(), 40);
    EXPECT_EQ(b.TabSize(), 4);
    EXPECT_EQ(b.IndentSize(), 3);
    EXPECT_EQ(b.LineSpace(), 5);
    EXPECT_EQ(b.NewLineMarkColor(), 0x010203u);
    EXPECT_EQ(b.NewLineMark(), Cp949("¶"));
    EXPECT_EQ(b.CurrentLineColor(), 0xEEEEEEu);
    EXPECT_EQ(b.Options(), a.Options());
    EXPECT_EQ(b.Font(), a.Font());
    EXPECT_TRUE(b.PrintOptions().PrintLineNo);
    EXPECT_FALSE(b.PrintOptions().PrintSeperator);
    EXPECT_TRUE(b.PrintOptions().WordWrap);
    EXPECT_EQ(b.PrintOptions().MarginLeft, 1);
    EXPECT_EQ(b.PrintOptions().MarginTop, 2);
    EXPECT_EQ(b.PrintOptions().MarginRight, 3);
    EXPECT_EQ(b.PrintOptions().MarginBottom, 4);
    EXPECT_EQ(b.PrintOptions().PagesPerSheet, ppps4);
    EXPECT_EQ(b.PrintOptions().Font, a.PrintOptions().Font);
    EXPECT_FALSE(b.PrintHeader().Visible);
    EXPECT_EQ(b.PrintHeader().TextLeft, "left");
    EXPECT_EQ(b.PrintHeader().TextCenter, Cp949("가운데"));
    EXPECT_EQ(b.PrintHeader().TextRight, "right");
    EXPECT_EQ(b.PrintHeader().Font, a.PrintHeader().Font);
    EXPECT_TRUE(b.PrintFooter().Visible);
    EXPECT_EQ(b.PrintFooter().TextRight, "page");
    EXPECT_EQ(b.PrintFooter().Font, a.PrintFooter().Font);
    EXPECT_EQ(tb.Width, 321);
    EXPECT_EQ(tb.Height, 123);
    EXPECT_EQ(tb.Font, ta.Font);
    EXPECT_EQ(b.UpdateCount(), 0);

    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Editor Settings", "Options", ""), "[qzoReadOnly,qzoShowLineNo,qzoScrollPastEOL]");
    EXPECT_EQ(ini.ReadString("Editor Settings", "GutterColor", ""), "-2147483633");
    EXPECT_EQ(ini.ReadString("Print Settings", "PrintHeader", ""), "False");
    EXPECT_EQ(ini.ReadString("Print Settings", "PagesPerSheet", ""), "2");
}

TEST_F(SettingsTest, MissingFileGivesTheDefaults)
{
    TQzPadModel pad;
    TQzCodeTemplates t;
    t.Width = 1;
    const TQzFontDesc font = pad.Font();
    pad.PrintOptions().PrintSeperator = false;
    pad.PrintHeader().Visible = false;
    LoadSettingFromINI(pad, &t, ::testing::TempDir() + "/qzpad_no_such.ini");
    EXPECT_EQ(pad.Color(), 16777215u);
    EXPECT_EQ(pad.GutterColor(), 12566463u);
    EXPECT_EQ(pad.LineNoColor(), 12566463u);
    EXPECT_EQ(pad.BookmarkColor(), 65535u);
    EXPECT_EQ(pad.ColumnCount(), 80);
    EXPECT_EQ(pad.GutterWidth(), 30);
    EXPECT_EQ(pad.TabSize(), 2);
    EXPECT_EQ(pad.LineSpace(), 2);
    EXPECT_EQ(pad.NewLineMarkColor(), 8355584u);
    EXPECT_EQ(pad.NewLineMark(), Cp949("↓"));
    EXPECT_EQ(pad.Options(), TQzPadOptions());  // no options
    EXPECT_EQ(pad.Font(), font);                // an empty font text changes nothing
    EXPECT_TRUE(pad.PrintOptions().PrintSeperator);
    EXPECT_FALSE(pad.PrintOptions().PrintLineNo);
    EXPECT_EQ(pad.PrintOptions().MarginBottom, 15);
    EXPECT_TRUE(pad.PrintHeader().Visible);
    EXPECT_EQ(t.Width, 400);
    EXPECT_EQ(t.Height, 100);
}

TEST_F(SettingsTest, OddValues)
{
    ASSERT_TRUE(WriteFileAtomic(path, "[Editor Settings]\r\nOptions=[nothing]\r\nTabSize=abc\r\n"
                                      "ColumnCount= 64 \r\nFont=129|255|-16|Mono|fpFixed|12|[]\r\n"
                                      "[Print Settings]\r\nPrintHeader=true\r\nPrintFooter=yes\r\n"
                                      "PrintLineNo=FALSE\r\nPagesPerSheet=9\r\n"));
    TQzPadModel pad;
    pad.SetOptions(TQzPadOptions().With(qzoAutoIndent));
    LoadSettingFromINI(pad, nullptr, path);
    EXPECT_EQ(pad.Options(), TQzPadOptions());
    EXPECT_EQ(pad.TabSize(), 2);
    EXPECT_EQ(pad.ColumnCount(), 64);
    EXPECT_EQ(pad.Font().Name, "Mono");
    EXPECT_EQ(pad.Font().Size, 12);
    EXPECT_EQ(pad.Font().Color, 255u);
    EXPECT_TRUE(pad.Font().FixedPitch);
    EXPECT_TRUE(pad.PrintHeader().Visible);
    EXPECT_TRUE(pad.PrintFooter().Visible);  // any text but "False" counts as true
    EXPECT_FALSE(pad.PrintOptions().PrintLineNo);
    EXPECT_EQ(pad.PrintOptions().PagesPerSheet, ppps1);  // out of range: the first layout
}

TEST_F(SettingsTest, KeepsOtherSectionsAndReportsAFailedWrite)
{
    ASSERT_TRUE(WriteFileAtomic(path, "[Window]\r\nLeft=10\r\n"));
    TQzPadModel pad;
    ASSERT_TRUE(SaveSettingToINI(pad, nullptr, path));
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Window", "Left", 0), 10);
    EXPECT_EQ(ini.ReadInteger("Editor Settings", "CodeTemplatesWidth", 0), 400);
    EXPECT_FALSE(SaveSettingToINI(pad, nullptr, "/nonexistent-dir/x.ini"));
}

TEST_F(SettingsTest, TextsKeepTheirBlanksAndQuotesAndWriteNoLinesOfTheirOwn)
{
    // Each text as the header's left text, the footer's right text and the newline mark.
    struct Case {
        std::string text, readBack;
    };
    const Case cases[] = {
        {" left", " left"},       {"right ", "right "},        {"\"quoted\"", "\"quoted\""},
        {"\"", "\""},             {" ", " "},                  {"", ""},
        {"a\"b", "a\"b"},         {"\tx", "\tx"},              {"line1\nMarginLeft=99", "line1 MarginLeft=99"},
        {"a\r\n[Editor Settings]\r\nTabSize=9", "a  [Editor Settings]  TabSize=9"},
    };
    for (const Case& c : cases) {
        TQzPadModel a;
        a.PrintHeader().TextLeft = c.text;
        a.PrintFooter().TextRight = c.text;
        a.SetNewLineMark(c.text);
        a.PrintOptions().MarginLeft = 7;
        ASSERT_TRUE(SaveSettingToINI(a, nullptr, path));
        TQzPadModel b;
        LoadSettingFromINI(b, nullptr, path);
        EXPECT_EQ(b.PrintHeader().TextLeft, c.readBack) << c.text;
        EXPECT_EQ(b.PrintFooter().TextRight, c.readBack) << c.text;
        EXPECT_EQ(b.NewLineMark(), c.readBack) << c.text;
        EXPECT_EQ(b.PrintOptions().MarginLeft, 7) << c.text;
        EXPECT_EQ(b.TabSize(), 2) << c.text;
        DeleteFile(path);
    }
}

TEST_F(SettingsTest, NumbersAreClampedToWhatTheControlCanLayOut)
{
    ASSERT_TRUE(WriteFileAtomic(path, "[Editor Settings]\r\nTabSize=748421376\r\nIndentSize=0\r\n"
                                      "ColumnCount=-5\r\nGutterWidth=99999\r\nLineSpace=-1\r\n"
                                      "CodeTemplatesWidth=2000000000\r\nCodeTemplatesHeight=1\r\n"
                                      "Font=129|255|-16|Mono|fpFixed|900000|[]\r\n"
                                      "[Print Settings]\r\nMarginLeft=-3\r\nMarginTop=100000\r\n"
                                      "MarginRight=20\r\nPrintFont=129|0|-16|Mono|fpFixed|0|[]\r\n"));
    TQzPadModel pad;
    TQzCodeTemplates t;
    LoadSettingFromINI(pad, &t, path);
    EXPECT_EQ(pad.TabSize(), kQzTabSizeRange.Max);
    EXPECT_EQ(pad.IndentSize(), kQzIndentSizeRange.Min);
    EXPECT_EQ(pad.ColumnCount(), kQzColumnCountRange.Min);
    EXPECT_EQ(pad.GutterWidth(), kQzGutterWidthRange.Max);
    EXPECT_EQ(pad.LineSpace(), kQzLineSpaceRange.Min);
    EXPECT_EQ(t.Width, kQzTemplatesSizeRange.Max);
    EXPECT_EQ(t.Height, kQzTemplatesSizeRange.Min);
    EXPECT_EQ(pad.Font().Size, kQzFontSizeRange.Max);
    EXPECT_EQ(pad.PrintOptions().Font.Size, kQzFontSizeRange.Min);
    EXPECT_EQ(pad.PrintOptions().MarginLeft, kQzMarginRange.Min);
    EXPECT_EQ(pad.PrintOptions().MarginTop, kQzMarginRange.Max);
    EXPECT_EQ(pad.PrintOptions().MarginRight, 20);
}
