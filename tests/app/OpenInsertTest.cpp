// Inserting another caption file into the list, and the times of a caption file that is opened.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"
#include "tests/app/ControllerFixture.h"

namespace {

using RowList = TRowList;

class Insert : public TControllerTest {
protected:
    void SetUp() override {
        TControllerTest::SetUp();
        WriteFile(dir + "a.smi", "<SAMI><BODY>\r\n<SYNC Start=1000><P Class=K>one\r\n<SYNC Start=2000><P Class=K>two\r\n"
                                 "<SYNC Start=3000><P Class=K>three\r\n</BODY></SAMI>\r\n");
        WriteFile(dir + "ins.smi", "<SAMI><BODY>\r\n<SYNC Start=100><P Class=K>x\r\n<SYNC Start=200><P Class=K>y\r\n"
                                   "</BODY></SAMI>\r\n");
        ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    }
    void InsertFile(const std::string& name, int mode) {
        view.OpenChoices = {dir + name};
        view.InsertModes = {mode};
        main.InsertCommand();
    }
    // The document holds exactly what the list shows.
    void ExpectDocumentFollowsTheRows() {
        RowList doc;
        for (int i = 0; i < main.Caption().List().Count(); ++i)
            doc.emplace_back(StrToInt(main.Caption().List().Key(i)), main.Caption().List().Value(i));
        EXPECT_EQ(doc, Rows());
    }
};

const std::string kWhere = Cp949("추가할 자막위치를 선택하지 않았습니다.\n현재 자막의 뒷부분에 자막을 추가하겠습니까?\n\n"
                                 "'예'를 선택하면 뒷부분에, '아니오'를 선택하면\n앞부분에 추가됩니다.");

}  // namespace

TEST_F(Insert, BehindACaptionInTheMiddleTheLaterCaptionsMoveOn) {
    main.SelectRow(2);
    InsertFile("ins.smi", 0);
    // The file starts before 2000: its first caption comes to 3000; "three" moves 1000 behind it.
    EXPECT_EQ(Rows(), (RowList{{1000, "one"}, {2000, "two"}, {3000, "x"}, {3100, "y"}, {4100, "three"}}));
    ExpectDocumentFollowsTheRows();
    EXPECT_EQ(main.CurrentCaption.Modified, 1);
    EXPECT_TRUE(view.Questions.empty());
}

TEST_F(Insert, WithNoCaptionChosenTheQuestionDecides) {
    const struct {
        int answer;
        RowList rows;
    } cases[] = {
        {mrYes, {{1000, "one"}, {2000, "two"}, {3000, "three"}, {3100, "x"}, {3200, "y"}}},  // behind
        {mrNo, {{100, "x"}, {200, "y"}, {1200, "one"}, {2200, "two"}, {3200, "three"}}},      // in front
        {mrCancel, {{1000, "one"}, {2000, "two"}, {3000, "three"}}},                          // nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        main.CurrentCaption.Modified = 0;
        ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
        ASSERT_EQ(main.SelectedRow(), -1);
        view.Questions.clear();
        view.Answers = {c.answer};
        InsertFile("ins.smi", 0);
        EXPECT_EQ(view.Questions, std::vector<std::string>{kWhere});
        EXPECT_EQ(Rows(), c.rows);
        ExpectDocumentFollowsTheRows();
        EXPECT_EQ(main.CurrentCaption.Modified, c.answer == mrCancel ? 0 : 1);
    }
}

TEST_F(Insert, AFileOfOneCaptionOrWithABlankFirstCaptionGoesInWhole) {
    WriteFile(dir + "one.smi", "<SAMI><BODY>\r\n<SYNC Start=100><P Class=K>solo\r\n</BODY></SAMI>\r\n");
    WriteFile(dir + "blank.smi", "<SAMI><BODY>\r\n<SYNC Start=100><P Class=K>&nbsp;\r\n<SYNC Start=300><P Class=K>z\r\n"
                                 "</BODY></SAMI>\r\n");
    InsertFile("one.smi", 2);
    EXPECT_EQ(Rows().back(), std::make_pair(3100, std::string("solo")));
    main.SelectRow(1);
    InsertFile("blank.smi", 0);  // behind the first caption: in front, as the first caption is chosen
    EXPECT_EQ(Rows(), (RowList{{100, ""}, {300, "z"}, {1300, "one"}, {2300, "two"}, {3300, "three"}, {3400, "solo"}}));
    ExpectDocumentFollowsTheRows();
}

TEST(CaptionFileTimes, AMissingFileTakesTheCurrentTimeAndCreationNeverFollowsModification) {
    TFakeMainView view;
    TFakeMovie movie;
    TMainController main{view};
    main.SetMovie(&movie);
    TTempFolder dir;
    WriteFile(dir + "movie.avi", std::string("\0\0junk", 6));
    const std::string before = FormatNow();
    main.OpenPath(dir + "movie.avi");  // no movie.smi beside it
    const std::string after = FormatNow();
    EXPECT_EQ(main.CurrentCaption.FileName, "");
    EXPECT_LE(before, main.CurrentCaption.ModifyTime);
    EXPECT_LE(main.CurrentCaption.ModifyTime, after);
    EXPECT_EQ(main.CurrentCaption.CreateTime, main.CurrentCaption.ModifyTime);

    // A file last changed in 2001 was not made after that, whatever its birth time says.
    WriteFile(dir + "old.smi", "<SAMI><BODY>\r\n<SYNC Start=1><P Class=K>x\r\n</BODY></SAMI>\r\n");
    const long long when = 1000000000;  // 2001-09-09
    struct timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir + "old.smi").c_str(), times, 0), 0);
    ASSERT_TRUE(main.OpenCaptionFile(dir + "old.smi"));
    EXPECT_EQ(main.CurrentCaption.ModifyTime, FormatTime(when));
    EXPECT_EQ(main.CurrentCaption.CreateTime, FormatTime(when));
}
