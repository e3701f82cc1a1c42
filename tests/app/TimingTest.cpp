#include <gtest/gtest.h>

#include "app/model/MainController.h"
#include "tests/app/FakeMainView.h"

namespace {
class Timing : public ::testing::Test {
protected:
    TFakeMainView view;
    TFakeMovie movie;
    TMainController main{view};

    void SetUp() override {
        main.SetMovie(&movie);
        for (const char* s : {"1000", "2000"}) {
            view.Sync = s;
            view.Entry = std::string("caption ") + s;
            main.AddCommand();
        }
        main.SortCommand();
        movie.File = "/tmp/movie.mp4";
    }
};
}  // namespace

TEST_F(Timing, PositionsTruncateToMilliseconds) {
    EXPECT_EQ(main.GetMoviePos(0.9995), 999);
    EXPECT_EQ(main.GetMoviePos(1.0), 1000);
    movie.Position = -3;
    EXPECT_EQ(main.GetMoviePos(-1), 0);
    main.SetMoviePos(-20);
    EXPECT_EQ(movie.Position, 0.0);
    movie.Position = 1.5;
    int seeks = movie.Seeks;
    main.SetMoviePos(1500);
    EXPECT_EQ(movie.Seeks, seeks);
}

TEST_F(Timing, TheRowAtAPositionIsTheLastRowStartedByThen) {
    auto at = [&](double s) {
        movie.Position = s;
        return main.FindRowAtMoviePos();
    };
    EXPECT_EQ(at(0.5), 0);
    EXPECT_EQ(at(1.0), 1);
    EXPECT_EQ(at(1.999), 1);
    EXPECT_EQ(at(2.5), 2);
}

TEST_F(Timing, TicksShowAChangedCaptionAndSelectItsRowOnce) {
    movie.Position = 1.2;
    main.TimerTick();
    EXPECT_EQ(movie.Label, "caption 1000");
    EXPECT_EQ(main.SelectedRow(), 1);
    EXPECT_EQ(movie.PositionText, "1200");
    EXPECT_EQ(view.Scrolled, 1);
    view.Sync = "unchanged";
    main.TimerTick();  // the same caption: the row is not selected again
    EXPECT_EQ(view.Sync, "unchanged");
    movie.Position = 0.3;
    main.TimerTick();
    EXPECT_EQ(movie.Label, main.Rows()[0].Text);
}

TEST_F(Timing, DoubleClickPausesAndSeeksIntoTheRow) {
    view.TimerOn = true;
    main.ListMouseDown(1);
    EXPECT_FALSE(view.TimerOn);
    main.ListDoubleClick(1);
    EXPECT_DOUBLE_EQ(movie.Position, 1.001);
    EXPECT_EQ(main.SelectedRow(), 1);
    EXPECT_EQ(movie.Label, "caption 1000");
    EXPECT_GE(movie.Pauses, 2);
}

TEST_F(Timing, PreviewTextAndStampingTheSyncField) {
    EXPECT_EQ(TMainController::PreviewText("A<BR>B & E&nbsp;F"), "A\nB & E F");
    movie.Position = 12.3456;
    main.ApplyCurrentSync();
    EXPECT_EQ(view.Sync, "12345");
}

TEST(TimingWithoutCaptions, OnlyTheBannerShowsNothing) {
    TFakeMainView view;
    TFakeMovie movie;
    TMainController main(view);
    main.SetMovie(&movie);
    movie.Position = 5;
    main.ShowCurrentCaption();
    EXPECT_EQ(movie.Label, "");
}
