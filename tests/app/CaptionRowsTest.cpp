#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

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

// Finding by time searches the ordered runs of the rows; a random run of changes checks it after
// every step against a scan of every row.
TEST(CaptionRows, SearchesByTimeMatchAScanOfEveryRow) {
    auto scanBySync = [](const TCaptionRows& r, int sync) {
        for (int i = 0; i < r.Count(); ++i)
            if (r.Sync(i) == sync) return i;
        return -1;
    };
    auto scanAtTime = [](const TCaptionRows& r, int t) {
        for (int i = 1; i < r.Count(); ++i)
            if (r.Sync(i - 1) <= t && r.Sync(i) > t) return i - 1;
        return r.Sync(r.Count() - 1) <= t ? r.Count() - 1 : -1;
    };
    std::mt19937 rng(1729);
    for (int run = 0; run < 300; ++run) {
        TCaptionRows rows;
        rows.AddBannerRow();
        auto time = [&] { return rng() % 8 == 0 ? -static_cast<int>(rng() % 50) : static_cast<int>(rng() % 60); };
        for (int step = 0; step < 40; ++step) {
            const int n = rows.Count();
            const int at = static_cast<int>(rng() % static_cast<unsigned>(n));
            switch (rng() % 8) {
            case 0: rows.SetSync(at, time()); break;
            case 1: rows.Delete(at); break;
            case 2: rows.InsertBlock(at, {TCaptionRow{TRowKey(time()), "b"}, TCaptionRow{TRowKey(time()), "c"}}); break;
            case 3: rows.SetSyncsFrom(at, std::vector<int>(static_cast<size_t>(n - at), time())); break;
            case 4: if (rng() % 4 == 0) rows.Sort(); break;
            default: rows.Append(time(), "a"); break;
            }
            if (rows.Count() == 0) rows.AddBannerRow();
            bool ordered = true;
            for (int i = 1; i < rows.Count(); ++i) ordered = ordered && rows.Sync(i - 1) <= rows.Sync(i);
            ASSERT_EQ(rows.InTimeOrder(), ordered) << "run " << run << " step " << step;
            for (int t = -55; t <= 65; t += 3) {
                ASSERT_EQ(rows.FindRowBySync(t), scanBySync(rows, t)) << "run " << run << " step " << step << " t " << t;
                if (rows.Count() >= 2) {
                    ASSERT_EQ(rows.FindRowAtTime(t), scanAtTime(rows, t)) << "run " << run << " t " << t;
                }
            }
        }
    }
}

TEST(CaptionRows, KeysSortByTheirNumberAsTheDocumentsTableSortsThem) {
    // Negative syncs first, ten-digit ones after nine-digit ones, in the rows and the table alike.
    const int order[] = {INT_MIN, -100000000, -5, 0, 5, 150000000, 999999999, 1000000000, 2000000000, INT_MAX};
    for (int a : order)
        for (int b : order) {
            EXPECT_EQ(TRowKey::KeyLess(a, b), a < b) << a << " " << b;
            EXPECT_EQ(TTarkiHash::KeyLess(TRowKey(a).Str(), TRowKey(b).Str()), a < b) << a << " " << b;
        }
    TCaptionRows rows;
    for (int i = 9; i >= 0; --i) rows.Append(order[i], std::to_string(i));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(rows.Sync(i), order[i]);
    rows.Sort();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(rows.Text(i), std::to_string(i));
    EXPECT_EQ(TRowKey(-5), TQzCaption::GetSyncWidth(-5));
    EXPECT_TRUE(TRowKey(1000).Is("     1000"));
}

// The texts live in one buffer that is packed again as rows change: a random run against a plain
// list of rows.
TEST(CaptionRows, TextsStayWithTheirRowsAcrossChanges) {
    std::mt19937 rng(99);
    TCaptionRows rows;
    rows.Sort();  // appends go behind the others
    std::vector<std::pair<int, std::string>> model;
    auto text = [&] { return std::string(rng() % 300, static_cast<char>('a' + rng() % 26)); };
    for (int step = 0; step < 4000; ++step) {
        const int n = static_cast<int>(model.size());
        const int at = n > 0 ? static_cast<int>(rng() % static_cast<unsigned>(n)) : 0;
        switch (n == 0 ? 0 : rng() % 6) {
        case 0: {
            std::string t = text();
            rows.Append(static_cast<int>(rng() % 1000), t);
            model.emplace_back(rows.Sync(rows.Count() - 1), t);
            break;
        }
        case 1:
            rows.Delete(at);
            model.erase(model.begin() + at);
            break;
        case 2: {
            std::string t = text();
            rows.SetText(at, t);
            model[static_cast<size_t>(at)].second = t;
            break;
        }
        case 3: {
            // A shorter piece of the row's own text.
            std::string t = model[static_cast<size_t>(at)].second.substr(model[static_cast<size_t>(at)].second.size() / 3);
            rows.SetText(at, rows.Text(at).View().substr(model[static_cast<size_t>(at)].second.size() / 3));
            model[static_cast<size_t>(at)].second = t;
            break;
        }
        case 4: {
            std::vector<TCaptionRow> block = {TCaptionRow{TRowKey(7), text()}, TCaptionRow{TRowKey(8), text()}};
            rows.InsertBlock(at, block);
            model.insert(model.begin() + at, {{7, block[0].Text}, {8, block[1].Text}});
            break;
        }
        default: {
            TCaptionRows::TStore taken = rows.TakeAll();
            ASSERT_EQ(rows.Count(), 0);
            rows.Restore(std::move(taken));
            break;
        }
        }
        ASSERT_EQ(rows.Count(), static_cast<int>(model.size())) << "step " << step;
        for (int i = 0; i < rows.Count(); ++i) {
            ASSERT_EQ(rows.Sync(i), model[static_cast<size_t>(i)].first) << "step " << step;
            ASSERT_EQ(rows[i].Text, model[static_cast<size_t>(i)].second) << "step " << step << " row " << i;
        }
    }
}
