// The document's table follows the caption rows one entry at a time (add, edit, delete) and by
// block moves (shift, insert in front, insert after). A random run of commands checks after every
// step that the table equals the one built from the rows afresh, and that the rows after an
// insert equal the document's entries.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/model/MainController.h"
#include "platform/core/SysUtils.h"
#include "tests/app/FakeMainView.h"

namespace {

std::vector<std::string> TableOf(const TQzCaption& doc) {
    std::vector<std::string> out;
    for (int i = 0; i < doc.List().Count(); ++i) out.push_back(doc.List().Key(i) + "=" + doc.List().Value(i));
    return out;
}

std::vector<std::string> RebuiltTable(const TCaptionRows& rows) {
    TQzCaption fresh;
    rows.CopyToCaption(fresh);
    return TableOf(fresh);
}

std::vector<std::string> RowsOf(const TCaptionRows& rows) {
    std::vector<std::string> out;
    for (int i = 0; i < rows.Count(); ++i) out.push_back(rows[i].Key.Str() + "=" + std::string(rows[i].Text.View()));
    return out;
}

TCaptionRows RebuiltRows(const TQzCaption& doc) {
    TCaptionRows rows;
    rows.CopyFromCaption(doc);
    return rows;
}

// The rows' searches by time (kept per ordered run) against a scan of every row.
void ExpectSearchesMatchAScan(const TCaptionRows& rows, const std::string& where) {
    bool ordered = true;
    for (int i = 1; i < rows.Count(); ++i) ordered = ordered && rows.Sync(i - 1) <= rows.Sync(i);
    ASSERT_EQ(rows.InTimeOrder(), ordered) << where;
    for (int i = 0; i < rows.Count(); ++i) {
        int first = 0;
        while (rows.Sync(first) != rows.Sync(i)) ++first;
        ASSERT_EQ(rows.FindRowBySync(rows.Sync(i)), first) << where;
        if (rows.Count() < 2) continue;
        const int t = rows.Sync(i);
        int at = -1;
        for (int j = 1; j < rows.Count() && at < 0; ++j)
            if (rows.Sync(j - 1) <= t && rows.Sync(j) > t) at = j - 1;
        if (at < 0 && rows.Sync(rows.Count() - 1) <= t) at = rows.Count() - 1;
        ASSERT_EQ(rows.FindRowAtTime(t), at) << where;
    }
}

std::string SamiOf(const std::vector<int>& times, const std::string& word) {
    std::string s = "<SAMI><BODY>\r\n";
    for (size_t i = 0; i < times.size(); ++i)
        s += "<SYNC Start=" + std::to_string(times[i]) + "><P Class=KRCC>" + word + std::to_string(i) + "\r\n";
    return s + "</BODY></SAMI>\r\n";
}

}  // namespace

TEST(CaptionTableStep, RandomCommandsKeepTheTableEqualToTheRows) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        TFakeMainView view;
        TFakeMovie movie;
        TMainController main(view);
        main.SetMovie(&movie);
        const std::string dir = MakeTempDir();
        std::vector<int> times;
        for (int t = 1000; times.size() < 40; t += 100 + static_cast<int>(rng() % 900)) times.push_back(t);
        WriteFile(dir + "a.smi", SamiOf(times, "cap"));
        WriteFile(dir + "small.smi", SamiOf({500, 700, 1500}, "ins"));
        ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
        auto randomRow = [&] { return 1 + static_cast<int>(rng() % static_cast<unsigned>(std::max(1, main.Rows().Count() - 1))); };
        // Times of nine and ten digits, which sort by their number in the rows and the table alike.
        auto longTime = [&] { return 999998000 + static_cast<int>(rng() % 4000); };
        auto randomSync = [&] {
            // Often a time that a row already has, so the overwrite paths run too.
            if (rng() % 3 == 0 && main.Rows().Count() > 1) return IntToStr(main.Rows().Sync(randomRow()));
            if (rng() % 6 == 0) return IntToStr(longTime());
            return IntToStr(static_cast<int>(rng() % 60000) - 100);
        };
        for (int step = 0; step < 250; ++step) {
            int command = static_cast<int>(rng() % 11);
            view.Answers.push_back(rng() % 4 == 0 ? mrCancel : mrOk);
            switch (command) {
            case 0:
            case 1:
                main.SelectRow(randomRow());
                view.Sync = randomSync();
                view.Entry = "edit" + std::to_string(step);
                main.EditCommand();
                break;
            case 2:
            case 3:
                view.Sync = randomSync();
                view.Entry = "add" + std::to_string(step);
                main.AddCommand();
                break;
            case 4:
                main.SelectRow(randomRow());
                main.DeleteCommand();
                break;
            case 5:
                view.Shift = IntToStr(static_cast<int>(rng() % 3000));
                view.ShiftOptionValue = static_cast<int>(rng() % 2);
                main.SelectRow(randomRow());
                if (rng() % 2) main.ShiftLeft();
                else main.ShiftRight();
                break;
            case 6:
            case 7:
                main.SelectRow(randomRow());
                view.OpenChoices.push_back(dir + "small.smi");
                view.InsertModes.push_back(static_cast<int>(rng() % 3));
                main.InsertCommand();
                for (int i = 1; i < main.Rows().Count() && main.Rows().Count() - 1 == main.Caption().List().Count(); ++i)
                    ASSERT_EQ(main.Rows()[i].Key, main.Caption().List().Key(i - 1)) << "seed " << seed << " step " << step;
                // The rows that followed the insert are the rows rebuilt from the document.
                ASSERT_EQ(RowsOf(main.Rows()), RowsOf(RebuiltRows(main.Caption()))) << "seed " << seed << " step " << step;
                break;
            case 8:
                main.SortCommand();
                break;
            case 9: {
                // A file whose times come in any order, with repeats.
                std::vector<int> any;
                for (int i = 0, n = static_cast<int>(rng() % 40); i < n; ++i)
                    any.push_back(rng() % 4 == 0 ? longTime() : static_cast<int>(rng() % 50) * 100);
                WriteFile(dir + "any.smi", SamiOf(any, "any"));
                view.Answers.assign(1, mrNo);  // not saved first
                main.OpenCaptionFile(dir + "any.smi");
                break;
            }
            default:
                main.StripTags();
                break;
            }
            view.Answers.clear();
            ASSERT_EQ(TableOf(main.Caption()), RebuiltTable(main.Rows())) << "seed " << seed << " step " << step
                                                                           << " command " << command;
            ExpectSearchesMatchAScan(main.Rows(), "seed " + std::to_string(seed) + " step " + std::to_string(step));
        }
    }
}
