#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/model/MainController.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "tests/ChildRun.h"
#include "tests/app/FakeMainView.h"

namespace {

const char* const kTwoCaptions =
    "<SAMI>\r\n<BODY>\r\n<SYNC Start=1000><P Class=KRCC>one\r\n<SYNC Start=2000><P Class=KRCC>two<br>lines\r\n"
    "</BODY>\r\n</SAMI>\r\n";

class Files : public ::testing::Test {
protected:
    TFakeMainView view;
    TFakeMovie movie;
    TMainController main{view};
    std::string dir = MakeTempDir();

    void SetUp() override { main.SetMovie(&movie); }
    std::vector<int> Syncs() const {
        std::vector<int> r;
        for (int i = 0; i < main.Rows().Count(); ++i) r.push_back(main.Rows().Sync(i));
        return r;
    }
};

}  // namespace

TEST_F(Files, OpenEditSaveReopenKeepsEveryCaption) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 1000, 2000}));
    EXPECT_EQ(main.Rows()[2].Text, "two<BR>lines");
    EXPECT_EQ(view.Title, "a.smi - Morvane 1.22 p1");
    EXPECT_TRUE(view.ListEnabled);

    main.SelectRow(1);
    view.Entry = Cp949("하나\n둘");
    main.EditCommand();
    view.Sync = "3000";
    view.Entry = "three";
    main.AddCommand();
    EXPECT_TRUE(main.IsModified());
    ASSERT_TRUE(main.SaveCaption(false));
    EXPECT_FALSE(main.IsModified());

    std::string bytes = ReadFile(dir + "a.smi");
    EXPECT_NE(bytes.find("<SYNC START=1000><P CLASS=KALO_KRCC>\r\n" + Cp949("하나\r\n둘") + "\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("<SYNC START=3000><P CLASS=KALO_KRCC>\r\nthree\r\n"), std::string::npos);

    TFakeMainView view2;
    TMainController again(view2);
    TFakeMovie movie2;
    again.SetMovie(&movie2);
    ASSERT_TRUE(again.OpenCaptionFile(dir + "a.smi"));
    ASSERT_EQ(again.Rows().Count(), 4);
    EXPECT_EQ(again.Rows()[1].Text, Cp949("하나<BR>둘"));
    EXPECT_EQ(again.Rows()[3].Text, "three");
    EXPECT_EQ(again.CurrentCaption.ModifyTime.size(), 16u);  // the header's time came back
}

TEST_F(Files, ReloadReadsTheNamedFileAgain) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    // Times out of order, one of ten digits: the list shows them in time order.
    WriteFile(dir + "a.smi", "<SAMI>\r\n<BODY>\r\n<SYNC Start=1000000000><P Class=KRCC>late\r\n"
                             "<SYNC Start=4000><P Class=KRCC>four\r\n</BODY>\r\n</SAMI>\r\n");
    main.ReloadCommand();
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 4000, 1000000000}));
    EXPECT_EQ(main.CurrentCaption.FileName, dir + "a.smi");
    EXPECT_EQ(view.Title, "a.smi - Morvane 1.22 p1");
}

TEST_F(Files, AReloadThatSavesFirstShowsWhatWasSaved) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    view.Sync = "5000";
    view.Entry = "added";
    main.AddCommand();
    view.Answers = {mrYes};        // save the change to a.smi before it is read again
    view.SaveChoices = {dir + "a.smi"};
    main.ReloadCommand();
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 1000, 2000, 5000}));
    EXPECT_EQ(main.CurrentCaption.Modified, 0);
}

TEST_F(Files, AFailedSaveKeepsTheNameTheFlagAndTheOldFile) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    view.Sync = "5000";
    main.AddCommand();
    // Saved as a file in a folder that does not exist, or over the open file made read-only, by an
    // ordinary user (root may write any file): root saves that row as user 1234.
    const struct {
        const char* name;
        std::string saveAs;  // empty: saved under the open file's name
    } cases[] = {{"b.smi", "/nonexistent-dir/b.smi"}, {"a.smi", ""}};
    const bool root = geteuid() == 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool readOnly = c.saveAs.empty();
        if (readOnly) {
            // In a folder the saver owns, so that only the file's mode stands in the way.
            if (root) {
                ASSERT_EQ(chown(dir.c_str(), 1234, 1234), 0);
                ASSERT_EQ(chown((dir + "a.smi").c_str(), 1234, 1234), 0);
            }
            ASSERT_EQ(chmod((dir + "a.smi").c_str(), 0444), 0);
        }
        EXPECT_TRUE(RunInChild(
            [&] {
                if (readOnly && root) {
                    ASSERT_TRUE(setgroups(0, nullptr) == 0 && setgid(1234) == 0 && setuid(1234) == 0)
                        << "root cannot act as user 1234 here";
                }
                view.Messages.clear();
                view.SaveChoices = {c.saveAs};
                EXPECT_FALSE(main.SaveCaption(!readOnly));
                ASSERT_EQ(view.Messages.size(), 1u);
                EXPECT_EQ(view.Messages[0], c.name + Cp949(" 파일을 저장할 수 없습니다."));
                EXPECT_EQ(main.CurrentCaption.FileName, dir + "a.smi");
                EXPECT_EQ(main.CurrentCaption.Modified, 1);
                EXPECT_EQ(view.Title, "a.smi - Morvane 1.22 p1");
                EXPECT_EQ(ReadFile(dir + "a.smi"), kTwoCaptions);
            },
            10000));
    }
    EXPECT_EQ(ReadFile(dir + "a.smi"), kTwoCaptions);
    ASSERT_EQ(chmod((dir + "a.smi").c_str(), 0644), 0);
    view.SaveChoices.clear();

    // The close that asked for the save stops.
    view.Answers = {mrYes};
    view.SaveChoices = {"/nonexistent-dir/b.smi"};
    EXPECT_FALSE(main.CloseQuery());
}

TEST_F(Files, SavePromptAndDialogs) {
    EXPECT_TRUE(main.QuerySaveModified());
    EXPECT_TRUE(view.Questions.empty());
    view.Sync = "1000";
    main.AddCommand();
    view.Answers = {mrCancel};
    EXPECT_FALSE(main.QuerySaveModified());
    view.Answers = {mrNo};
    EXPECT_TRUE(main.QuerySaveModified());
    view.Answers = {mrYes};
    EXPECT_FALSE(main.QuerySaveModified());  // the save dialog was cancelled
    EXPECT_EQ(main.CurrentCaption.Modified, 1);

    WriteFile(dir + "a.s2k", ";Set.Time.Start=1000\r\nhello\r\n");
    view.Answers = {mrNo};
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.s2k"));
    view.SaveChoices = {dir + "a.smi"};
    EXPECT_TRUE(main.SaveCaption(false));
    EXPECT_EQ(view.SaveProposals.back(), dir + "a.smi");
    EXPECT_TRUE(FileExists(dir + "a.smi"));
}

TEST_F(Files, AMovieOpensTheCaptionFileBesideItFirst) {
    WriteFile(dir + "Movie.SMI", kTwoCaptions);
    WriteFile(dir + "movie.avi", std::string("RIFF\0\0\0\0AVI ", 12));
    main.OpenPath(dir + "movie.avi");
    EXPECT_EQ(main.Rows().Count(), 3);
    EXPECT_EQ(main.CurrentCaption.FileName, dir + "Movie.SMI");
    EXPECT_EQ(movie.Opened, (std::vector<std::string>{dir + "movie.avi"}));
    EXPECT_EQ(movie.Caption, "movie.avi - Preview");
    EXPECT_EQ(main.CurrentCaption.MovieFile, dir + "movie.avi");

    WriteFile(dir + "notes.doc", std::string("x\0y", 3));
    main.DropFiles({dir + "notes.doc", dir + "movie.avi", dir + "other"});
    EXPECT_EQ(movie.Opened.size(), 1u);  // a .doc is not handed to the player
    EXPECT_EQ(main.Rows().Count(), 1);   // notes.smi does not exist: an empty list
    EXPECT_EQ(main.Caption().List().Count(), 0);
    EXPECT_EQ(view.Title, "Morvane 1.22 p1");

    // A caption file on the movie's road, from the main window or dropped on the movie window,
    // read or refused, leaves the player with its movie: the title and the header still name it.
    ASSERT_EQ(mkfifo((dir + "x.smi").c_str(), 0600), 0);
    const struct {
        const char* name;
        bool viaMovieWindow;
    } roads[] = {{"notes.doc", false}, {"Movie.SMI", true}, {"x.smi", true}};
    for (const auto& road : roads) {
        SCOPED_TRACE(road.name);
        view.Messages.clear();
        if (road.viaMovieWindow) main.OpenMovie(dir + road.name);
        else main.DropFiles({dir + road.name});
        EXPECT_EQ(movie.Opened.size(), 1u);
        EXPECT_EQ(movie.File, dir + "movie.avi");
        EXPECT_EQ(movie.Caption, "movie.avi - Preview");
        EXPECT_EQ(main.CurrentCaption.MovieFile, dir + "movie.avi");
        EXPECT_EQ(view.Messages.size(), road.name[0] == 'x' ? 1u : 0u);  // the FIFO is refused
    }
    view.SaveChoices = {dir + "saved.smi"};
    ASSERT_TRUE(main.SaveCaption(true));
    EXPECT_NE(ReadFile(dir + "saved.smi").find(" *     Movie   File : movie.avi 0.00MB(0KB)\r\n"), std::string::npos);
}

TEST_F(Files, ABadSyncTimeKeepsThePreviousCaptionsAndTellsTheUser) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    WriteFile(dir + "bad.smi", "<SAMI><BODY>\r\n<SYNC START=99999999999><P>x\r\n</BODY></SAMI>");
    EXPECT_TRUE(main.OpenCaptionFile(dir + "bad.smi"));
    EXPECT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 1000, 2000}));
    EXPECT_EQ(main.Caption().List().Count(), 2);
    EXPECT_EQ(main.CurrentCaption.FileName, dir + "a.smi");
    EXPECT_TRUE(view.ListEnabled);
}

TEST_F(Files, AdvancedModeEditsCountAndBadTextKeepsTheMode) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    main.ToggleAdvancedMode();
    EXPECT_TRUE(view.Advanced);
    EXPECT_NE(view.Memo.find("<SYNC START=2000><P CLASS=KALO_KRCC>\ntwo\nlines"), std::string::npos);
    EXPECT_TRUE(main.QuerySaveModified());

    view.Memo += "\n<SYNC START=99999999999><P>bad";
    view.MemoDirty = true;
    main.ToggleAdvancedMode();
    EXPECT_TRUE(main.AdvancedMode());
    EXPECT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 1000, 2000}));

    view.Memo = "<SYNC START=500><P CLASS=KALO_KRCC>only";
    view.MemoDirty = true;
    EXPECT_TRUE(main.IsModified());
    main.ToggleAdvancedMode();
    EXPECT_FALSE(main.AdvancedMode());
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 500}));
    EXPECT_EQ(main.CurrentCaption.Modified, 1);
    EXPECT_EQ(main.LabelCode(), "0");
}

TEST_F(Files, CloseAllAsksFirstAndNewEmptiesEverything) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    view.Sync = "3000";
    main.AddCommand();
    view.Answers = {mrCancel};
    main.CloseAllCommand();
    EXPECT_EQ(main.Rows().Count(), 4);
    view.Answers = {mrNo};
    main.CloseAllCommand();
    EXPECT_EQ(main.Rows().Count(), 1);
    EXPECT_EQ(main.CurrentCaption.FileName, "");

    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    main.SelectRow(2);
    main.NewCommand();
    EXPECT_EQ(main.Rows().Count(), 1);
    EXPECT_EQ(main.Caption().List().Count(), 0);
    EXPECT_EQ(main.LabelCode(), "0");
    EXPECT_EQ(view.Entry, "");
}

TEST_F(Files, InsertInFrontMovesTheOldRowsBehindTheInsertedOnes) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    WriteFile(dir + "ins.smi", "<SAMI><BODY>\r\n<SYNC START=3000><P Class=KRCC>x\r\n<SYNC START=5000><P Class=KRCC>y\r\n</BODY></SAMI>");
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    view.OpenChoices = {dir + "ins.smi"};
    view.InsertModes = {1};
    main.InsertCommand();
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 3000, 5000, 6000, 7000}));
    EXPECT_EQ(main.Rows()[3].Text, "one");
    EXPECT_EQ(main.CurrentCaption.Modified, 1);
    EXPECT_EQ(main.Caption().List().Count(), 4);
}

TEST_F(Files, InsertBehindAndAfterTheChosenCaptionFollowTheDocument) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    WriteFile(dir + "ins.smi", "<SAMI><BODY>\r\n<SYNC START=100><P Class=KRCC>x\r\n<SYNC START=200><P Class=KRCC>y\r\n</BODY></SAMI>");
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    view.OpenChoices = {dir + "ins.smi"};
    view.InsertModes = {2};
    main.InsertCommand();
    ASSERT_EQ(main.Rows().Count(), 5);
    EXPECT_GT(main.Rows().Sync(3), 2000);
    EXPECT_EQ(main.Rows()[3].Text, "x");
    for (int i = 2; i < main.Rows().Count(); ++i) EXPECT_LT(main.Rows().Sync(i - 1), main.Rows().Sync(i));

    // After the first caption: the first caption row behaves as "in front".
    view.Answers = {mrNo};
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    main.SelectRow(1);
    view.OpenChoices = {dir + "ins.smi"};
    view.InsertModes = {0};
    main.InsertCommand();
    EXPECT_EQ(main.Rows()[1].Text, "x");
    EXPECT_EQ(main.Rows()[3].Text, "one");
    EXPECT_EQ(main.Caption().List().Count(), 4);
}

TEST_F(Files, OpeningTheOpenFileOrMovieByItsOwnNameWorks) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    WriteFile(dir + "movie.avi", std::string("RIFF\0\0\0\0AVI ", 12));
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    WriteFile(dir + "a.smi", "<SAMI>\r\n<BODY>\r\n<SYNC Start=4000><P Class=KRCC>four\r\n</BODY>\r\n</SAMI>\r\n");
    ASSERT_TRUE(main.OpenCaptionFile(main.CurrentCaption.FileName));
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 4000}));
    EXPECT_EQ(main.CurrentCaption.FileName, dir + "a.smi");

    main.OpenMovie(dir + "movie.avi");
    ASSERT_EQ(main.CurrentCaption.MovieFile, dir + "movie.avi");
    main.OpenMovie(main.CurrentCaption.MovieFile);
    EXPECT_EQ(movie.Opened, (std::vector<std::string>{dir + "movie.avi", dir + "movie.avi"}));
    EXPECT_EQ(main.CurrentCaption.MovieFile, dir + "movie.avi");
    EXPECT_EQ(movie.Caption, "movie.avi - Preview");
}

TEST_F(Files, InsertInFrontOfUnsortedRowsKeepsEveryCaptionAfterTheInsertedOnes) {
    WriteFile(dir + "a.smi", "<SAMI><BODY>\r\n<SYNC START=5000><P Class=KRCC>five\r\n</BODY></SAMI>");
    WriteFile(dir + "ins.smi", "<SAMI><BODY>\r\n<SYNC START=1000><P Class=KRCC>x\r\n<SYNC START=2000><P Class=KRCC>y\r\n</BODY></SAMI>");
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    view.Sync = "1000";
    view.Entry = "one";
    main.AddCommand();  // stands behind the 5000 row until the next sort
    view.OpenChoices = {dir + "ins.smi"};
    view.InsertModes = {1};
    main.InsertCommand();
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 1000, 2000, 3000, 7000}));
    std::vector<std::string> texts;
    for (int i = 1; i < main.Rows().Count(); ++i) texts.push_back(main.Rows()[i].Text);
    EXPECT_EQ(texts, (std::vector<std::string>{"x", "y", "one", "five"}));
    EXPECT_EQ(main.Caption().List().Count(), 4);
    EXPECT_EQ(main.Caption().Get(3000), "one");
}

TEST_F(Files, InsertingABlankCaptionBehindChangesNothing) {
    WriteFile(dir + "a.smi", kTwoCaptions);
    WriteFile(dir + "blank.smi", "<SAMI><BODY>\r\n<SYNC START=100><P Class=KRCC>&nbsp;\r\n</BODY></SAMI>");
    ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    view.OpenChoices = {dir + "blank.smi"};
    view.InsertModes = {2};
    main.InsertCommand();
    EXPECT_EQ(Syncs(), (std::vector<int>{0, 1000, 2000}));
    EXPECT_EQ(main.CurrentCaption.Modified, 0);
    EXPECT_TRUE(view.ListEnabled);
}

TEST_F(Files, TheHeaderNamesKoreanFilesInTheCaptionFilesCodePage) {
    std::string name = dir + "\xEC\x98\x81\xED\x99\x94";  // "영화" in UTF-8
    WriteFile(name + ".avi", std::string("RIFF\0\0\0\0AVI ", 12));
    main.OpenMovie(name + ".avi");
    view.Sync = "1000";
    main.AddCommand();
    view.SaveChoices = {name + ".smi"};
    ASSERT_TRUE(main.SaveCaption(false));
    std::string bytes = ReadFile(name + ".smi");
    EXPECT_NE(bytes.find(" *     Caption File : " + Cp949("영화.smi") + "\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("<TITLE>" + Cp949("영화") + "</TITLE>"), std::string::npos);
    EXPECT_NE(bytes.find(" *     Movie   File : " + Cp949("영화.avi") + " 0.00MB(0KB)"), std::string::npos);
    EXPECT_EQ(view.Title, Cp949ToUtf8(Cp949("영화.smi")) + " - Morvane 1.22 p1");
}
