#include <gtest/gtest.h>

#include "app/model/MakerInfo.h"
#include "app/model/SymbolTables.h"
#include "platform/core/Cp949.h"

TEST(SpecialChars, TablesHoldTwoByteCharactersOnly)
{
    const int counts[kSpecTabCount] = {76, 122, 161, 217, 161, 138, 237};
    for (int tab = 0; tab < kSpecTabCount; ++tab) {
        const std::string& chars = SpecTabChars(tab);
        ASSERT_EQ(chars.size() % 2, 0u) << tab;
        for (size_t i = 0; i < chars.size(); i += 2)
            ASSERT_GE(static_cast<unsigned char>(chars[i]), 0xA1) << tab << ' ' << i;  // no '?'
        EXPECT_EQ(SpecCharCount(tab), counts[tab]) << tab;
    }
    EXPECT_EQ(SpecTabCaption(0), Cp949("①약물"));
    EXPECT_EQ(SpecTabCaption(6), Cp949("⑦외국어"));
    EXPECT_EQ(SpecTabCaption(7), "");
    EXPECT_EQ(SpecCharCount(-1), 0);
}

TEST(SpecialChars, GridCells)
{
    EXPECT_EQ(SpecRowCount(0), 6);
    EXPECT_EQ(SpecCellText(0, 0, 0), Cp949("·"));
    EXPECT_EQ(SpecCellText(0, 5, 0), Cp949("⅛"));  // the 76th character stands alone
    for (int col = 1; col < kSpecColCount; ++col)
        EXPECT_EQ(SpecCellText(0, 5, col), "") << col;
    EXPECT_EQ(SpecCellText(0, 6, 0), "");
    EXPECT_EQ(SpecCellText(0, 0, 15), "");
    EXPECT_EQ(SpecCellText(0, -1, 0), "");
    EXPECT_EQ(SpecRowCount(6), 16);
    EXPECT_EQ(SpecCellText(6, 15, 11), Cp949("я"));
    EXPECT_EQ(SpecCellText(3, 1, 0), Cp949("０"));
}

TEST(SpecialChars, KeysAndRememberedPlace)
{
    EXPECT_EQ(SpecTabForKey('1'), 0);
    EXPECT_EQ(SpecTabForKey('7'), 6);
    EXPECT_EQ(SpecTabForKey('8'), -1);
    EXPECT_EQ(SpecTabForKey('0'), -1);
    EXPECT_EQ(SpecStepTab(0, -1), 6);
    EXPECT_EQ(SpecStepTab(6, 1), 0);
    EXPECT_EQ(SpecStepTab(3, 1), 4);

    TSpecPlace place{3, 3 * kSpecColCount + 2};
    EXPECT_EQ(place.Row(), 3);
    EXPECT_EQ(place.Col(), 2);
    place = TSpecPlace{0, 14 * kSpecColCount + 4};  // a cell of a longer tab
    EXPECT_EQ(place.Row(), 5);
    EXPECT_EQ(place.Col(), 4);
}

TEST(MakerInfo, CopiesOnlyTheMakerFields)
{
    TCaptionInfo info;
    info.FileName = "/x/a.smi";
    info.Modified = 0;
    ApplyMakerInfo(info, TMakerInfo{" name ", "m@x", "", Cp949("가\r\n나")});
    EXPECT_EQ(info.MakerName, " name ");  // kept as typed
    EXPECT_EQ(info.MakerMail, "m@x");
    EXPECT_EQ(info.Notice, Cp949("가\r\n나"));
    EXPECT_EQ(info.Modified, 0);
    EXPECT_EQ(info.FileName, "/x/a.smi");
    const TMakerInfo back = MakerInfoOf(info);
    EXPECT_EQ(back.Name, " name ");
    EXPECT_EQ(back.Notice, Cp949("가\r\n나"));

    EXPECT_EQ(NoticeFromLines("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(NoticeFromLines(""), "");
    EXPECT_EQ(CaptionLineCountText(13), Cp949("12 줄"));
    EXPECT_EQ(CaptionLineCountText(1), Cp949("0 줄"));
    EXPECT_EQ(CaptionLineCountText(0), Cp949("0 줄"));
}
