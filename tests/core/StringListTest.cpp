#include <gtest/gtest.h>

#include "platform/core/StringList.h"

TEST(StringList, SplitsAtEveryLineEndAndStopsAtNul) {
    TStringList l;
    l.SetText(std::string("a\r\nb\nc\rd\r\n\r\ne", 14));
    ASSERT_EQ(l.Count(), 6);
    EXPECT_EQ(l[3], "d");
    EXPECT_EQ(l[4], "");
    l.SetText(std::string("one\ntwo\0three\n", 14));
    ASSERT_EQ(l.Count(), 2);
    EXPECT_EQ(l[1], "two");
    l.SetText("x\n");
    EXPECT_EQ(l.Count(), 1);
    EXPECT_EQ(l.Text(), "x\r\n");
}

TEST(StringList, NamesAndValuesIgnoreAsciiCase) {
    TStringList l;
    l.SetText("Morvane=1.23\nmsg=a=b\n");
    EXPECT_EQ(l.IndexOfName("MORVANE"), 0);
    EXPECT_EQ(l.Values("Msg"), "a=b");
    EXPECT_EQ(l.Values("none"), "");
    EXPECT_EQ(l.IndexOfName("msg=a"), -1);
}
