#include <gtest/gtest.h>

#include <string>

#include "document/QzBuf.h"
#include "document/TarkiHash.h"

TEST(TarkiHash, KeepsKeyOrderAndReplacesValues) {
    TTarkiHash t(10);
    EXPECT_EQ(t.Add("b", "1"), 1);
    EXPECT_EQ(t.Add("a", "2"), 2);
    EXPECT_EQ(t.Add("c", "3"), 3);
    EXPECT_EQ(t.Add("b", "4"), 3);
    ASSERT_EQ(t.Count(), 3);
    EXPECT_EQ(t.Key(0), "a");
    EXPECT_EQ(t.Key(1), "b");
    EXPECT_EQ(t.Key(2), "c");
    EXPECT_EQ(t.Get("b"), "4");

    TTarkiHash order(12);
    order.Add("a", "");
    order.Add("B", "");
    order.Add("\xB0\xA1", "");  // a lead byte sorts after every ASCII byte
    order.Add("ab", "");
    order.Add("        5", "");
    order.Add("       10", "");
    // Number keys sort by their number (negative first, ten digits after nine) before the others;
    // of one number in two spellings the byte-wise smaller first.
    order.Add("1000000000", "");
    order.Add(" 150000000", "");
    order.Add("-100", "");
    order.Add("       -5", "");
    order.Add("5", "");
    order.Add("-", "");
    const char* const expected[] = {"-100", "       -5", "        5", "5", "       10", " 150000000", "1000000000",
                                    "-", "B", "a", "ab", "\xB0\xA1"};
    ASSERT_EQ(order.Count(), 12);
    for (int i = 0; i < order.Count(); ++i) {
        EXPECT_EQ(order.Key(i), expected[i]);
        EXPECT_EQ(order.IndexOf(order.Key(i)), i);
    }
}

TEST(TarkiHash, FullTableRefusesEvenChangesAndEmptyKeys) {
    TTarkiHash t(3);
    t.Add("1", "a");
    t.Add("2", "b");
    t.Add("3", "c");
    EXPECT_EQ(t.Set("4", "d"), 0);
    EXPECT_EQ(t.Set("2", "new"), 0);
    EXPECT_EQ(t.Get("2"), "b");
    EXPECT_EQ(t.Count(), 3);

    TTarkiHash e(3);
    EXPECT_EQ(e.Set("", "x"), 0);
    EXPECT_EQ(e.Count(), 0);
}

TEST(TarkiHash, GetDeleteAndClear) {
    TTarkiHash t(5);
    t.Add("k", "v");
    EXPECT_EQ(t.Get("absent"), "");
    EXPECT_EQ(t.Get(""), "");
    EXPECT_EQ(t.IndexOf("absent"), -1);
    t.Delete("absent");
    t.DeleteAt(7);
    t.DeleteAt(-1);
    EXPECT_EQ(t.Count(), 1);
    t.Add("j", "w");
    t.Delete("j");
    EXPECT_EQ(t.Count(), 1);
    EXPECT_EQ(t.Key(0), "k");
    t.Clear();
    EXPECT_EQ(t.Count(), 0);
    EXPECT_EQ(t.IndexOf("k"), -1);
    EXPECT_EQ(t.Add("z", "1"), 1);
}

TEST(QzBuf, InlineUpToTheLimitThenHeap) {
    TQzBuf buf;
    EXPECT_EQ(buf.Text(), nullptr);
    std::string small(TQzBuf::InlineSize - 1, 'a');
    buf.Assign(small);
    EXPECT_TRUE(buf.IsInline());
    EXPECT_EQ(buf.HeapSize(), 0u);
    EXPECT_EQ(buf.Length(), TQzBuf::InlineSize - 1);
    EXPECT_EQ(std::string(buf.Text()), small);

    std::string big(TQzBuf::InlineSize, 'b');
    buf.Assign(big);
    EXPECT_FALSE(buf.IsInline());
    EXPECT_EQ(buf.HeapSize(), static_cast<size_t>(TQzBuf::InlineSize + 10));
    EXPECT_EQ(std::string(buf.Text()), big);

    buf.Assign("abc", -1);
    EXPECT_TRUE(buf.IsInline());
    EXPECT_EQ(buf.HeapSize(), 0u);
    EXPECT_STREQ(buf.Text(), "abc");
    buf.Assign("abcdef", 2);
    EXPECT_STREQ(buf.Text(), "ab");
    buf.Release();
    EXPECT_EQ(buf.Text(), nullptr);
    EXPECT_EQ(buf.Length(), 0);
}
