#include <gtest/gtest.h>

#include "app/model/MainController.h"
#include "platform/core/Cp949.h"
#include "tests/app/FakeMainView.h"

namespace {

class ListEditing : public ::testing::Test {
protected:
    TFakeMainView view;
    TFakeMovie movie;
    TMainController main{view};

    void SetUp() override { main.SetMovie(&movie); }

    void AddAt(const std::string& sync, const std::string& text) {
        view.Sync = sync;
        view.Entry = text;
        main.AddCommand();
    }
    std::vector<std::pair<int, std::string>> RowsNow() const {
        std::vector<std::pair<int, std::string>> r;
        for (int i = 0; i < main.Rows().Count(); ++i) r.emplace_back(main.Rows().Sync(i), main.Rows()[i].Text);
        return r;
    }
};

using RowList = std::vector<std::pair<int, std::string>>;

}  // namespace

TEST_F(ListEditing, AddStoresAtOneForSyncsAtOrBelowZeroAndEncodesLineBreaks) {
    ASSERT_EQ(main.Rows().Count(), 1);
    AddAt("0", "first\nline  ");
    EXPECT_EQ(view.Sync, "1");
    AddAt("-5", "again");
    EXPECT_EQ(main.Rows().Count(), 2);  // the second add at 1 overwrote after the question
    EXPECT_EQ(view.Questions.size(), 1u);
    AddAt("2500abc", "third");  // the number at the start of the field; no conversion error
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {1, "again"}, {2500, "third"}}), RowsNow());
    EXPECT_EQ(main.CurrentCaption.Modified, 1);
    EXPECT_EQ(main.Caption().Get(2500), "third");
}

TEST_F(ListEditing, AddAtAnExistingSyncAsksAndOkReplacesTheRowsText) {
    AddAt("1000", "a");
    view.Answers = {mrCancel};
    AddAt("1000", "b");
    EXPECT_EQ(main.Rows()[1].Text, "a");
    EXPECT_EQ(view.Questions.back(), Cp949("같은 싱크가 존재합니다.\n덮어쓰겠습니까?"));
    view.Answers = {mrOk};
    AddAt("1000", "b");
    EXPECT_EQ(main.Rows().Count(), 2);
    EXPECT_EQ(main.Rows()[1].Text, "b");
    EXPECT_EQ(main.Caption().Get(1000), "b");
}

TEST_F(ListEditing, SelectFillsTheFieldsAndTheBannerClearsThem) {
    AddAt("1000", "A<br>B");
    main.SelectRow(1);
    EXPECT_EQ(view.Sync, "1000");
    EXPECT_EQ(view.Entry, "A\nB");
    EXPECT_EQ(main.LabelCode(), "1");
    main.SelectRow(0);
    EXPECT_EQ(view.Sync, "0");
    EXPECT_EQ(view.Entry, "");
    EXPECT_EQ(main.LabelCode(), "0");
    main.EditCommand();  // the banner row is never edited
    EXPECT_EQ(main.Rows()[0].Key, TQzCaption::GetSyncWidth(0));
}

TEST_F(ListEditing, EditMovesTheRowAndAsksBeforeTakingAnotherRowsSync) {
    AddAt("1000", "a");
    AddAt("2000", "b");
    main.SortCommand();
    main.SelectRow(1);
    view.Sync = "1500";
    view.Entry = "a2";
    main.EditCommand();
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {1500, "a2"}, {2000, "b"}}), RowsNow());

    main.SelectRow(1);
    view.Sync = "2000";
    view.Answers = {mrCancel};
    main.EditCommand();
    EXPECT_EQ(main.Rows().Count(), 3);
    main.SelectRow(1);
    view.Sync = "2000";
    view.Answers = {mrOk};
    main.EditCommand();
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {2000, "a2"}}), RowsNow());
    EXPECT_EQ(main.Caption().List().Count(), 1);

    main.SelectRow(1);
    view.Sync = "-3";
    main.EditCommand();
    EXPECT_EQ(main.Rows().Sync(1), 1);
}

TEST_F(ListEditing, DeleteSelectsTheNextRowOrTheBanner) {
    AddAt("1000", "a");
    AddAt("2000", "b");
    main.SortCommand();
    main.SelectRow(2);
    main.DeleteCommand();
    EXPECT_EQ(main.Rows().Count(), 2);
    EXPECT_EQ(main.SelectedRow(), 1);
    EXPECT_EQ(view.Sync, "1000");
    main.DeleteCommand();
    EXPECT_EQ(main.Rows().Count(), 1);
    EXPECT_EQ(view.Sync, "0");
    EXPECT_EQ(main.LabelCode(), "0");
    EXPECT_EQ(main.Caption().List().Count(), 0);
    view.Answers = {mrCancel};
    main.DeleteCommand();  // nothing chosen: no question
    EXPECT_EQ(view.Answers.size(), 1u);
}

TEST_F(ListEditing, ShiftMovesRowsWarnsBeforeZeroAndNeverMergesTwoCaptions) {
    AddAt("1000", "a");
    AddAt("2000", "b");
    main.SortCommand();
    main.ShiftSync(100);
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {1100, "a"}, {2100, "b"}}), RowsNow());
    EXPECT_EQ(main.Caption().Get(2100), "b");

    view.Answers = {mrCancel};
    main.ShiftSync(-1500);
    EXPECT_EQ(main.Rows().Sync(1), 1100);
    view.Answers = {mrOk};
    main.ShiftSync(-2050);  // both land at or below 0
    EXPECT_EQ(main.Rows().Sync(1), 1);
    EXPECT_EQ(main.Rows().Sync(2), 50);
    main.ShiftSync(-100);
    EXPECT_EQ(main.Rows().Sync(1), 1);
    EXPECT_EQ(main.Rows().Sync(2), 2);
    EXPECT_EQ(main.Caption().List().Count(), 2);

    view.ShiftOptionValue = 1;
    main.SelectRow(2);
    view.Shift = "1000";
    main.ShiftRight();
    EXPECT_EQ(main.Rows().Sync(1), 1);
    EXPECT_EQ(main.Rows().Sync(2), 1002);
}

TEST_F(ListEditing, StripPairsRowsWithEntriesBySync) {
    AddAt("2000", "<font color=red>b</font>");
    main.SortCommand();
    AddAt("1000", "<b>a</b><BR>x");  // stays at the end until the next sort
    main.StripTags();
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {2000, "b"}, {1000, "a<BR>x"}}), RowsNow());
}

TEST_F(ListEditing, ARefusedEditLeavesTheSelectionWhereTheUserSeesIt) {
    AddAt("1000", "a");
    AddAt("2000", "b");
    main.SortCommand();
    main.SelectRow(1);
    AddAt("3000", "c");  // the new row is the one being edited; the selection stays on row 1
    ASSERT_EQ(main.LabelCode(), "3");
    view.Sync = "2000";
    view.Answers = {mrCancel};
    main.EditCommand();
    EXPECT_EQ(main.SelectedRow(), 1);
    EXPECT_EQ(view.Selection, 1);
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {1000, "a"}, {2000, "b"}, {3000, "c"}}), RowsNow());

    view.Sync = "2500";
    view.Entry = "c2";
    main.EditCommand();  // the row being edited changes, and becomes the selection
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {1000, "a"}, {2000, "b"}, {2500, "c2"}}), RowsNow());
    EXPECT_EQ(main.SelectedRow(), 3);
    EXPECT_EQ(view.Selection, 3);
}

TEST_F(ListEditing, BeforeTheFirstSortEditsAndShiftsKeepTheRowsInTimeOrder) {
    AddAt("1000", "a");
    AddAt("2000", "b");
    AddAt("3000", "c");
    main.SelectRow(1);
    view.Sync = "2500";
    main.EditCommand();
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {2000, "b"}, {2500, "a"}, {3000, "c"}}), RowsNow());
    EXPECT_EQ(main.LabelCode(), "2");
    EXPECT_EQ(main.SelectedRow(), 2);

    // From row 2 on, two captions fall to or below 0 and take 1 and 2, before row 1.
    view.ShiftOptionValue = 1;
    main.SelectRow(2);
    view.Answers = {mrOk};
    main.ShiftSync(-3000);
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {1, "a"}, {2, "c"}, {2000, "b"}}), RowsNow());
}

TEST_F(ListEditing, AShiftOntoAnEarlierCaptionsTimeKeepsBothCaptions) {
    AddAt("1000", "a");
    AddAt("2000", "b");
    AddAt("3000", "c");
    AddAt("3001", "d");
    main.SortCommand();
    view.ShiftOptionValue = 1;
    main.SelectRow(3);
    view.Answers = {mrOk};
    main.ShiftSync(-1000);  // 3000 lands on 2000, 3001 on 2001
    EXPECT_EQ(view.Questions.size(), 1u);
    EXPECT_EQ((RowList{{0, main.Rows()[0].Text}, {1000, "a"}, {2000, "b"}, {2001, "c"}, {2002, "d"}}), RowsNow());
    EXPECT_EQ(main.Caption().List().Count(), 4);
}

TEST_F(ListEditing, AnAddBeforeTheFirstSortKeepsTheSelectionOnItsCaption) {
    AddAt("1000", "a");
    AddAt("2000", "b");
    main.SelectRow(2);
    AddAt("500", "c");  // sorted in front of the selected row
    EXPECT_EQ(main.Rows().Sync(3), 2000);
    EXPECT_EQ(main.SelectedRow(), 3);
    EXPECT_EQ(view.Selection, 3);
    EXPECT_EQ(main.LabelCode(), "1");
}

TEST_F(ListEditing, TheListShowsTheSelectionAfterEveryCommandThatChangesRows) {
    AddAt("1000", "<b>a</b>");
    AddAt("2000", "b");
    main.SortCommand();
    main.SelectRow(2);
    main.StripTags();
    EXPECT_EQ(view.Selection, 2);
    AddAt("3000", "c");
    EXPECT_EQ(view.Selection, 2);
    view.ShiftOptionValue = 1;
    main.ShiftSync(10);
    EXPECT_EQ(view.Selection, 2);
    EXPECT_EQ(main.Rows().Sync(2), 2010);
}
