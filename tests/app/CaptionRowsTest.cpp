#include <gtest/gtest.h>

#include "app/model/CaptionRows.h"
#include "document/QzCaption.h"

TEST(CaptionRows, ReadSyncTakesTheLeadingNumber) {
    EXPECT_EQ(TCaptionRows::ReadSync("     1000"), 1000);
    EXPECT_EQ(TCaptionRows::ReadSync("  -5x"), -5);
    EXPECT_EQ(TCaptionRows::ReadSync("12abc"), 12);
    EXPECT_EQ(TCaptionRows::ReadSync("abc"), 0);
    EXPECT_EQ(TCaptionRows::ReadSync(""), 0);
    EXPECT_EQ(TCaptionRows::ReadSync("99999999999"), 2147483647);
}

TEST(CaptionRows, AutoSortUntilTheFirstSortThenRowsStayWhereAdded) {
    TCaptionRows rows;
    rows.AddBannerRow();
    rows.AddBannerRow();
    ASSERT_EQ(rows.Count(), 1);
    rows.Append(TQzCaption::GetSyncWidth(2000), "b");
    rows.Append(TQzCaption::GetSyncWidth(1000), "a");
    EXPECT_EQ(rows.Sync(1), 1000);
    rows.Sort();
    rows.Append(TQzCaption::GetSyncWidth(500), "c");
    EXPECT_EQ(rows.Sync(3), 500);
    EXPECT_EQ(rows.FindRowBySync("500"), 3);
    rows.Sort();
    EXPECT_EQ(rows.Sync(1), 500);
    EXPECT_EQ(rows.Sync(0), 0);
}

TEST(CaptionRows, CopiesIntoTheDocumentWithoutTheBannerAndGrowsTheTable) {
    TCaptionRows rows;
    rows.AddBannerRow();
    rows.Sort();
    for (int i = 1; i <= TQzCaption::InitialCapacity + 50; ++i) rows.Append(TQzCaption::GetSyncWidth(i * 10), "x");
    rows.Append(TQzCaption::GetSyncWidth(10), "later");
    TQzCaption doc;
    rows.CopyToCaption(doc);
    EXPECT_EQ(doc.List().Count(), TQzCaption::InitialCapacity + 50);
    EXPECT_EQ(doc.Get(10), "later");
    EXPECT_EQ(doc.IndexOf(0), -1);

    TCaptionRows back;
    back.CopyFromCaption(doc);
    EXPECT_EQ(back.Count(), doc.List().Count() + 1);
    EXPECT_EQ(back[1].Text, "later");
}
