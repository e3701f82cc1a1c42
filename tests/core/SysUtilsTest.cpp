#include <gtest/gtest.h>

#include "platform/core/SysUtils.h"

TEST(StrToInt, AcceptsBlanksSignAndDigitsOnly) {
    EXPECT_EQ(StrToInt("  -1500"), -1500);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_THROW(StrToInt("2147483648"), EConvertError);
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_THROW(StrToInt("-"), EConvertError);
    EXPECT_THROW(StrToInt("12 "), EConvertError);
    EXPECT_THROW(StrToInt("1a"), EConvertError);
    EXPECT_EQ(StrToIntDef("x", 5), 5);
}

TEST(Text, TrimAndCaseFoldOnlyAscii) {
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(UpperCase("ab\xB0\xA1z"), "AB\xB0\xA1Z");
    EXPECT_TRUE(SameText("Preview", "PREVIEW"));
    EXPECT_LT(CompareText("a", "B"), 0);
}
