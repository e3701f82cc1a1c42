// The line store: splitting bytes into lines, line ends, attributes and bulk splices.

#include "editor/model/QzPadStrings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {
std::vector<std::string> All(const TQzPadStrings& s)
{
    std::vector<std::string> v;
    for (int i = 0; i < s.Count(); ++i) v.push_back(s[i]);
    return v;
}
}  // namespace

TEST(QzPadStrings, SetStrDetectsLineEnds)
{
    TQzPadStrings s;
    s.SetStr(std::string("one\r\ntwo\nthree"));
    EXPECT_EQ(All(s), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(s.SaveFormat, qzsfUnix);

    s.SetStr(std::string("one\rtwo"));
    EXPECT_EQ(All(s), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(s.SaveFormat, qzsfMac);
    EXPECT_EQ(s.FormattedText(), "one\rtwo\r");

    s.SetStr(std::string("\r\n"));
    EXPECT_EQ(All(s), (std::vector<std::string>{""}));
    EXPECT_EQ(s.SaveFormat, qzsfDos);

    s.SetStr(std::string("a\r\rb\n\rc"));
    EXPECT_EQ(All(s), (std::vector<std::string>{"a", "", "b", "", "c"}));

    s.SetStr(std::string());
    EXPECT_EQ(s.Count(), 0);
}

TEST(QzPadStrings, NulBytesBecomeBlanksWithOneNotice)
{
    TQzPadStrings s;
    int notices = 0;
    s.OnConfirmConvert = [&] { ++notices; };
    s.SetStr(std::string("a\0b\r\n\0", 6));
    EXPECT_EQ(All(s), (std::vector<std::string>{"a b", " "}));
    EXPECT_EQ(notices, 1);
    s.ConvertNullToSpace = false;
    s.SetStr(std::string("x\0", 2));
    EXPECT_EQ(s[0], std::string("x\0", 2));
}

TEST(QzPadStrings, FileRoundTripAndMissingFile)
{
    const std::string path = ::testing::TempDir() + "/qzpad_strings.txt";
    TQzPadStrings s;
    s.SetStr(std::string("l1\nl2\n"));
    ASSERT_TRUE(s.SaveToFile(path));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "l1\nl2\n");
    TQzPadStrings t;
    ASSERT_TRUE(t.LoadFromFile(path));
    EXPECT_EQ(All(t), (std::vector<std::string>{"l1", "l2"}));
    EXPECT_FALSE(t.LoadFromFile(path + ".missing"));
    EXPECT_EQ(t.Count(), 2);
    EXPECT_FALSE(t.SaveToFile("/nonexistent-dir/x.txt"));
    std::remove(path.c_str());
}

TEST(QzPadStrings, EventsAndAttributesFollowSplices)
{
    TQzPadStrings s;
    s.Assign(std::vector<std::string>{"a", "b", "c"});
    std::vector<std::string> log;
    s.OnInserted = [&](TQzPadStrings&, int i, int n) { log.push_back("ins " + std::to_string(i) + " " + std::to_string(n)); };
    s.OnDeleted = [&](TQzPadStrings&, int i, int n) { log.push_back("del " + std::to_string(i) + " " + std::to_string(n)); };
    int changes = 0;
    s.OnChange = [&](TQzPadStrings&) { ++changes; };

    s.EnsureAttribute(1, 3, false);
    s.InsertLines(1, {"x", "y"});
    EXPECT_EQ(All(s), (std::vector<std::string>{"a", "x", "y", "b", "c"}));
    EXPECT_EQ(s.Attribute(3)->Bookmark, 3);
    s.DeleteLines(3, 10);
    EXPECT_EQ(All(s), (std::vector<std::string>{"a", "x", "y"}));
    EXPECT_EQ(log, (std::vector<std::string>{"ins 1 2", "del 3 2"}));
    EXPECT_EQ(changes, 2);

    s.BeginUpdate();
    s.Put(0, "A");
    s.Add("z");
    EXPECT_EQ(changes, 2);
    s.EndUpdate();
    EXPECT_EQ(changes, 3);
    s.BeginUpdate();
    s.EndUpdate();
    EXPECT_EQ(changes, 4);

    s.Put(99, "ignored");
    s.Delete(-1);
    EXPECT_EQ(s.Count(), 4);
    EXPECT_EQ(s.Get(99), "");
}

TEST(QzPadStrings, SortKeepsAttributesWithTheirLines)
{
    TQzPadStrings s;
    s.Assign(std::vector<std::string>{"c", "B", "a", "b"});
    s.EnsureAttribute(0, 7, false);
    s.SortBy(0, 3, true);
    EXPECT_EQ(s[0], "a");
    EXPECT_EQ(s[3], "c");
    EXPECT_EQ(s.Attribute(3)->Bookmark, 7);
    s.SortBy(-5, 50, false);
    EXPECT_EQ(s[0], "c");
    TQzPadStrings one;
    one.Add("z");
    one.SortBy(0, 0, true);
    EXPECT_EQ(one[0], "z");
}
