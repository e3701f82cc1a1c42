#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "document/QzCaption.h"
#include "platform/core/Cp949.h"
#include "platform/core/SysUtils.h"

namespace {

std::vector<std::pair<int, std::string>> Entries(const TQzCaption& doc) {
    std::vector<std::pair<int, std::string>> out;
    for (int i = 0; i < doc.List().Count(); ++i) out.emplace_back(StrToInt(doc.List().Key(i)), doc.List().Value(i));
    return out;
}

using E = std::vector<std::pair<int, std::string>>;

}  // namespace

TEST(QzCaption, ConstructionDefaults) {
    TQzCaption doc;
    EXPECT_EQ(doc.CaptionHead().Text(), "<SAMI>\r\n<BODY>\r\n");
    EXPECT_EQ(doc.CaptionBody().Text(), "<SYNC START=($sync)><P CLASS=KALO_KRCC>($text)\r\n");
    EXPECT_EQ(doc.CaptionTail().Text(), "</BODY>\r\n</SAMI>\r\n");
    EXPECT_EQ(doc.AddStep(), 1000);
    EXPECT_EQ(doc.CaptionType(), qctCaption);
    EXPECT_EQ(doc.FileName, "");
    EXPECT_FALSE(doc.Quiet);
    EXPECT_EQ(doc.List().Capacity(), TQzCaption::InitialCapacity);
    EXPECT_EQ(TQzCaption::GetSyncWidth(5), "        5");
    EXPECT_EQ(TQzCaption::GetSyncWidth(" 0100"), "      100");
    EXPECT_EQ(TQzCaption::GetSyncWidth(1234567890), "1234567890");
}

TEST(QzCaption, AddNormalisesTimesAndAsksBeforeOverwriting) {
    TQzCaption doc;
    EXPECT_TRUE(doc.Add(100, "A"));
    EXPECT_TRUE(doc.Add("0100", "B"));
    EXPECT_EQ(Entries(doc), (E{{100, "B"}}));
    EXPECT_TRUE(doc.Add(-5, "neg"));  // stored as it is
    EXPECT_EQ(doc.Get(-5), "neg");

    std::vector<std::string> messages;
    doc.OnAdd = [&](TQzCaption* sender, const std::string& msg, std::string& sync, std::string& caption,
                    bool& canChange) {
        EXPECT_EQ(sender, &doc);
        messages.push_back(msg);
        if (caption == "refuse") canChange = false;
        if (caption == "move") sync = "700";
        if (caption == "upper") caption = "UPPER";
    };
    EXPECT_FALSE(doc.Add(100, "refuse"));
    EXPECT_EQ(doc.Get(100), "B");
    EXPECT_TRUE(doc.Add(200, "move"));
    EXPECT_EQ(doc.Get(700), "move");
    EXPECT_EQ(doc.IndexOf(200), -1);
    EXPECT_TRUE(doc.Add(300, "upper"));
    EXPECT_EQ(doc.Get("300"), "UPPER");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], Cp949("같은 싱크가 존재합니다.\n덮어쓰겠습니까?"));
    EXPECT_EQ(messages[1], "");

    // Quiet: no event, and an existing time is not overwritten.
    messages.clear();
    doc.Quiet = true;
    EXPECT_FALSE(doc.Add(100, "C"));
    EXPECT_EQ(doc.Get(100), "B");
    EXPECT_TRUE(doc.Add(900, "D"));
    EXPECT_TRUE(messages.empty());
}

TEST(QzCaption, AddGrowsAFullTableInsteadOfDroppingEntries) {
    TQzCaption doc;
    const int n = TQzCaption::InitialCapacity + 500;
    for (int i = 1; i <= n; ++i) ASSERT_TRUE(doc.Add(i, "t" + std::to_string(i)));
    EXPECT_EQ(doc.List().Count(), n);
    EXPECT_EQ(doc.Get(n), "t" + std::to_string(n));
    EXPECT_EQ(doc.Get(1), "t1");
    // Edit in a table that is exactly full.
    doc.ReserveEntries(0);
    TQzCaption full;
    full.List().Clear();
    for (int i = 1; i <= TQzCaption::InitialCapacity; ++i) full.List().Add(TQzCaption::GetSyncWidth(i), "x");
    ASSERT_EQ(full.List().Count(), full.List().Capacity());
    EXPECT_TRUE(full.Edit(1, 99999, "moved"));
    EXPECT_TRUE(full.Add(100000, "extra"));
    EXPECT_EQ(full.Get(99999), "moved");
    EXPECT_EQ(full.Get(100000), "extra");
    EXPECT_EQ(full.List().Count(), TQzCaption::InitialCapacity + 1);

    // TagStrip in a table that is exactly full: the changed texts stay under their own keys.
    TQzCaption strip;
    for (int i = 1; i <= TQzCaption::InitialCapacity; ++i) strip.List().Add(TQzCaption::GetSyncWidth(i), "<b>" + std::to_string(i) + "</b>");
    ASSERT_EQ(strip.List().Count(), strip.List().Capacity());
    strip.TagStrip();
    ASSERT_EQ(strip.List().Count(), TQzCaption::InitialCapacity);
    EXPECT_EQ(strip.Get(1), "1");
    EXPECT_EQ(strip.Get(TQzCaption::InitialCapacity), std::to_string(TQzCaption::InitialCapacity));
}

TEST(QzCaption, EditMovesReplacesAndFallsBackToAdd) {
    TQzCaption doc;
    doc.Add(100, "a");
    doc.Add(300, "old");
    EXPECT_TRUE(doc.Edit(100, 300, "new"));
    EXPECT_EQ(Entries(doc), (E{{300, "new"}}));
    EXPECT_TRUE(doc.Edit(555, 600, "added"));
    EXPECT_EQ(doc.Get(600), "added");

    int edits = 0;
    doc.OnEdit = [&](TQzCaption*, const std::string& msg, std::string& oldSync, std::string& newSync,
                     std::string& caption, bool& canChange) {
        ++edits;
        EXPECT_EQ(msg, "");
        EXPECT_EQ(oldSync, "300");
        if (caption == "no") canChange = false;
        if (caption == "redirect") newSync = "50";
    };
    doc.Quiet = true;  // OnEdit fires while Quiet too
    EXPECT_FALSE(doc.Edit("0300", "400", "no"));
    EXPECT_EQ(doc.Get(300), "new");
    EXPECT_TRUE(doc.Edit(300, 400, "redirect"));
    EXPECT_EQ(doc.Get(50), "redirect");
    EXPECT_EQ(doc.IndexOf(300), -1);
    EXPECT_EQ(edits, 2);
}

TEST(QzCaption, ConversionErrorsChangeNothing) {
    TQzCaption doc;
    doc.Add(5000, "x");
    EXPECT_THROW(doc.Add("", "y"), EConvertError);
    EXPECT_THROW(doc.Add("12a", "y"), EConvertError);
    EXPECT_THROW(doc.Edit("5000", "", "y"), EConvertError);
    EXPECT_THROW(doc.Delete(""), EConvertError);
    EXPECT_THROW(doc.IndexOf(""), EConvertError);
    EXPECT_THROW(doc.Get("x"), EConvertError);
    EXPECT_THROW(doc.Add("99999999999", "y"), EConvertError);
    EXPECT_EQ(Entries(doc), (E{{5000, "x"}}));
    EXPECT_EQ(doc.Get(5000), doc.Get("5000"));
    EXPECT_TRUE(doc.Delete(1234));
    EXPECT_TRUE(doc.Delete("5000"));
    EXPECT_EQ(doc.List().Count(), 0);
}

TEST(QzCaption, EncodeDecodeAndTagStrip) {
    EXPECT_EQ(TQzCaption::EncodeCaption("A\r\nB\r\n"), "A<BR>B");
    EXPECT_EQ(TQzCaption::EncodeCaption("A\n\nB \t\n"), "A<BR><BR>B");
    EXPECT_EQ(TQzCaption::DecodeCaption("a<br>b<P>c\r\n"), "a\nb\nc");

    TQzCaption doc;
    doc.Add(1, "<FONT COLOR=red>A</FONT><BR>B");
    doc.Add(2, "A<BR>B");
    doc.Add(3, "<b>x</b><br>y< z");
    int edits = 0;
    doc.OnEdit = [&](TQzCaption*, const std::string&, std::string&, std::string&, std::string&, bool&) { ++edits; };
    doc.TagStrip();
    EXPECT_EQ(Entries(doc), (E{{1, "A<BR>B"}, {2, "A<BR>B"}, {3, "x<BR>y< z"}}));
    EXPECT_EQ(edits, 0);
}

TEST(QzCaption, AppendList) {
    TQzCaption src;
    src.Add(1000, "a");
    src.Add(2000, "b");

    TQzCaption empty;
    EXPECT_TRUE(empty.AppendList(src));
    EXPECT_EQ(Entries(empty), (E{{1000, "a"}, {2000, "b"}}));

    TQzCaption doc;
    doc.Add(5000, "last");
    EXPECT_TRUE(doc.AppendList(src));
    EXPECT_EQ(Entries(doc), (E{{5000, "last"}, {6000, "a"}, {7000, "b"}}));

    TQzCaption zero;
    zero.Add(0, "z");
    zero.Add(500, "y");
    TQzCaption doc2;
    doc2.Add(5000, "last");
    EXPECT_TRUE(doc2.AppendList(zero));
    EXPECT_EQ(Entries(doc2), (E{{1000, "z"}, {1500, "y"}, {5000, "last"}}));

    TQzCaption blank;
    blank.Add(10, "");
    EXPECT_FALSE(doc.AppendList(blank));
    EXPECT_FALSE(doc.AppendList(TQzCaption()));

    // A document appended to itself doubles once.
    TQzCaption self;
    self.Add(100, "s");
    self.Add(200, "t");
    EXPECT_TRUE(self.AppendList(self));
    EXPECT_EQ(Entries(self), (E{{100, "s"}, {200, "t"}, {300, "s"}, {400, "t"}}));
}

TEST(QzCaption, ASourceOfOneCaptionOrWithABlankFirstCaptionIsAddedWhole) {
    const std::pair<E, bool> sources[] = {
        {{{100, "one"}}, true},
        {{{100, ""}, {200, "x"}}, true},
        {{{100, ""}}, false},  // nothing but one blank caption
    };
    for (const auto& [entries, added] : sources) {
        SCOPED_TRACE(entries.size());
        TQzCaption src;
        for (const auto& [t, text] : entries) src.Add(t, text);
        TQzCaption append;
        append.Add(1000, "a");
        EXPECT_EQ(append.AppendList(src), added);
        EXPECT_EQ(append.List().Count(), 1 + (added ? static_cast<int>(entries.size()) : 0));
        // Behind the middle caption: the block comes between it and the next, which moves on.
        TQzCaption insert;
        insert.Add(1000, "a");
        insert.Add(2000, "b");
        insert.Add(3000, "c");
        EXPECT_EQ(insert.InsertList(2000, src), added);
        ASSERT_EQ(insert.List().Count(), 3 + (added ? static_cast<int>(entries.size()) : 0));
        if (!added) continue;
        EXPECT_EQ(Entries(append)[1], std::make_pair(1100, entries[0].second));
        EXPECT_EQ(Entries(insert)[2], std::make_pair(3000, entries[0].second));
        EXPECT_EQ(Entries(insert).back().second, "c");
    }
}

TEST(QzCaption, InsertListShiftsTheBlockAndPushesLaterEntries) {
    TQzCaption doc;
    doc.Add(1000, "a");
    doc.Add(5000, "b");
    doc.Add(9000, "c");

    // A source after t goes 10 ms behind its own times; b and c are pushed behind the block.
    TQzCaption after;
    after.Add(2000, "x");
    after.Add(6000, "y");
    int edits = 0;
    doc.OnEdit = [&](TQzCaption*, const std::string&, std::string&, std::string&, std::string&, bool&) { ++edits; };
    EXPECT_TRUE(doc.InsertList(1000, after));
    // block 2010, 6010; next entry 5000: d2 = 1010, shift2 = 2010.
    EXPECT_EQ(Entries(doc), (E{{1000, "a"}, {2010, "x"}, {6010, "y"}, {7010, "b"}, {11010, "c"}}));
    EXPECT_EQ(edits, 2);

    // A source that starts before t starts at t + 1000; later entries not reached stay.
    TQzCaption doc2;
    doc2.Add(5000, "a");
    doc2.Add(20000, "b");
    TQzCaption before;
    before.Add(100, "x");
    before.Add(200, "y");
    EXPECT_TRUE(doc2.InsertList("5000", before));
    EXPECT_EQ(Entries(doc2), (E{{5000, "a"}, {6000, "x"}, {6100, "y"}, {20000, "b"}}));

    // An absent non-negative time appends.
    TQzCaption doc3;
    doc3.Add(1000, "a");
    doc3.Add(2000, "b");
    EXPECT_TRUE(doc3.InsertList(1500, before));
    EXPECT_EQ(Entries(doc3), (E{{1000, "a"}, {2000, "b"}, {2100, "x"}, {2200, "y"}}));

    // A negative absent time keeps the source's times and pushes the whole document back.
    TQzCaption doc4;
    doc4.Add(50, "a");
    doc4.Add(150, "b");
    EXPECT_TRUE(doc4.InsertList(-1, before));
    EXPECT_EQ(Entries(doc4), (E{{100, "x"}, {200, "y"}, {1200, "a"}, {1300, "b"}}));

    EXPECT_FALSE(doc4.InsertList(50, TQzCaption()));
}
