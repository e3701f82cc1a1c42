#include <gtest/gtest.h>

#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"
#include "tests/TempFolder.h"

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

TEST(StringList, EditingSearchingAndFiles) {
    using Lines = std::vector<std::string>;
    TStringList l;
    EXPECT_EQ(l.Add("b"), 0);
    l.Insert(0, "a");
    l.Insert(99, "d");  // past the end: appended
    l.Insert(-5, "first");
    l.Insert(3, "c");
    EXPECT_EQ(l.Strings, (Lines{"first", "a", "b", "c", "d"}));
    l.Delete(0);
    l.Delete(-1);
    l.Delete(4);
    EXPECT_EQ(l.Strings, (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(l.IndexOf("C"), 2);
    EXPECT_EQ(l.IndexOf("e"), -1);
    EXPECT_EQ(l.Add("Key=v=w"), 4);
    EXPECT_EQ(l.Names(4), "Key");
    EXPECT_EQ(l.Names(0), "a");
    EXPECT_EQ(l.Names(9), "");

    TTempFolder dir;
    ASSERT_TRUE(l.SaveToFile(dir + "l.txt"));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(dir + "l.txt", bytes));
    EXPECT_EQ(bytes, "a\r\nb\r\nc\r\nd\r\nKey=v=w\r\n");
    TStringList back;
    ASSERT_TRUE(back.LoadFromFile(dir + "l.txt"));
    EXPECT_EQ(back.Strings, l.Strings);
    TStringList copy;
    copy.Assign(l);
    l.Clear();
    EXPECT_EQ(copy.Count(), 5);
    EXPECT_EQ(l.Count(), 0);
    EXPECT_FALSE(back.LoadFromFile(dir + "missing.txt"));
    EXPECT_EQ(back.Count(), 0);
    EXPECT_FALSE(copy.SaveToFile(dir + "no/such/folder/l.txt"));
}
