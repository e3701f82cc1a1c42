#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "controls/TarkiAutoPos.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Screens.h"

namespace {

// A 1024 x 768 screen with a 30-pixel task bar at the bottom, a main window at (100, 50) sized
// 800 x 600 and a 300 x 200 window to place.
class TarkiAutoPosTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureFrameTestApp();
        SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1024, 768)}, true,
                                                                 Rect(0, 738, 1024, 768)));
        previousMain = Application()->MainForm;
        main.SetBounds(100, 50, 800, 600);
        Application()->MainForm = &main;
        movie.SetBounds(10, 20, 300, 200);
        pos = new TTarkiAutoPos(&movie);
        pos->SetRepeat(false);
    }
    void TearDown() override
    {
        Application()->MainForm = previousMain;
        SetScreenProvider(nullptr);
    }
    QPoint At() const { return QPoint(movie.x(), movie.y()); }

    TForm main;
    TForm movie;
    TTarkiAutoPos* pos = nullptr;
    TForm* previousMain = nullptr;
};

}  // namespace

TEST_F(TarkiAutoPosTest, PlacesBesideTheMainWindowAndClampsToTheWorkArea)
{
    EXPECT_EQ(pos->Position(), ptMainFormCenter);
    EXPECT_EQ(pos->RefreshTime(), 10);
    EXPECT_EQ(pos->Timer()->Interval(), 1000u);  // the constructor does not pass RefreshTime on
    pos->SetPosition(ptMainFormRightTop);
    EXPECT_EQ(At(), QPoint(724, 50));  // 900 does not fit on the 1024-wide monitor
    main.SetBounds(100, 50, 400, 600);
    pos->SetPosition(ptMainFormRightTop);
    EXPECT_EQ(At(), QPoint(500, 50));
    pos->SetPosition(ptMainFormRightBottom);
    EXPECT_EQ(At(), QPoint(499, 450));
    pos->SetPosition(ptMainFormCenter);
    EXPECT_EQ(At(), QPoint(150, 250));
    pos->SetPosition(ptMainFormTopLeft);  // above the work area: moved to its top
    EXPECT_EQ(At(), QPoint(100, 0));
    pos->SetPosition(ptMainFormLeftTop);
    EXPECT_EQ(At(), QPoint(0, 50));
    pos->SetPosition(ptMainFormBottomRight);  // below: kept above the task bar
    EXPECT_EQ(At(), QPoint(200, 538));
}

TEST_F(TarkiAutoPosTest, ScreenCornersUseTheWorkAreaWithoutTheTaskBar)
{
    pos->SetPosition(ptScreenBottomRight);
    EXPECT_EQ(At(), QPoint(724, 538));
    pos->SetPosition(ptScreenTopRight);
    EXPECT_EQ(At(), QPoint(723, 0));
    pos->SetPosition(ptScreenBottomLeft);
    EXPECT_EQ(At(), QPoint(0, 538));
    pos->SetPosition(ptScreenTopLeft);
    EXPECT_EQ(At(), QPoint(0, 0));
    movie.SetBounds(40, 40, 300, 200);
    pos->SetPosition(ptScreen);
    EXPECT_EQ(At(), QPoint(40, 40));
    // Larger than the work area: the top-left edge wins.
    movie.SetBounds(0, 0, 1200, 900);
    pos->SetPosition(ptScreenBottomRight);
    EXPECT_EQ(At(), QPoint(0, 0));
}

TEST_F(TarkiAutoPosTest, RepeatAndTheTimer)
{
    pos->SetPosition(ptScreenTopLeft);
    movie.SetBounds(300, 300, 300, 200);
    pos->Tick();  // Repeat off: the tick places nothing
    EXPECT_EQ(At(), QPoint(300, 300));
    int ticks = 0;
    pos->OnTimer = [&](TObject*) { ++ticks; };
    pos->SetRepeat(true);  // places at once
    EXPECT_EQ(At(), QPoint(0, 0));
    EXPECT_TRUE(pos->Timer()->Enabled());
    movie.SetBounds(300, 300, 300, 200);
    pos->Tick();
    EXPECT_EQ(At(), QPoint(0, 0));
    EXPECT_EQ(ticks, 1);
    pos->SetRefreshTime(50);
    EXPECT_EQ(pos->Timer()->Interval(), 50u);
    pos->SetPosition(ptDesigned);
    movie.SetBounds(300, 300, 300, 200);
    pos->Tick();
    EXPECT_EQ(At(), QPoint(300, 300));
    EXPECT_EQ(ticks, 1);
    pos->SetRepeat(false);
    EXPECT_FALSE(pos->Timer()->Enabled());
}

TEST_F(TarkiAutoPosTest, NothingHappensWithoutAMainWindow)
{
    Application()->MainForm = nullptr;
    const QPoint before = At();
    pos->SetPosition(ptScreenBottomRight);
    EXPECT_EQ(At(), before);
}

TEST_F(TarkiAutoPosTest, TwoMonitorsAndTheDesktopPosition)
{
    SetScreenProvider(std::make_shared<TFixedScreenProvider>(
        std::vector<TRect>{Rect(0, 0, 1024, 768), Rect(1024, 0, 2304, 1024)}, true, Rect(0, 738, 1024, 768)));
    int index = 99;
    EXPECT_EQ(TTarkiAutoPos::MonitorWorkArea(1100, 10, &index), Rect(1024, 0, 2304, 1024));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(TTarkiAutoPos::MonitorWorkArea(5000, 10, &index), Rect(0, 0, 1024, 738));
    EXPECT_EQ(index, -1);
    main.SetBounds(1200, 100, 400, 300);
    pos->SetPosition(ptScreenTopLeft);
    EXPECT_EQ(At(), QPoint(1024, 0));
    pos->SetPosition(ptScreenBottomRight);
    EXPECT_EQ(At(), QPoint(2004, 824));
    // On a monitor: the desktop position leaves the window where it is.
    movie.SetBounds(10, 10, 300, 200);
    pos->SetPosition(ptDeskTop);
    EXPECT_EQ(At(), QPoint(10, 10));
    // Off every monitor: brought into monitor 0's work area.
    movie.SetBounds(5000, 5000, 300, 200);
    pos->SetPosition(ptDeskTop);
    EXPECT_EQ(At(), QPoint(724, 538));
}

TEST_F(TarkiAutoPosTest, TaskBarOnTheSideOrTop)
{
    SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1024, 768)}, true,
                                                             Rect(0, 0, 60, 768)));
    EXPECT_EQ(TTarkiAutoPos::MonitorWorkArea(0, 0), Rect(60, 0, 1024, 768));
    SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1024, 768)}, true,
                                                             Rect(964, 0, 1024, 768)));
    EXPECT_EQ(TTarkiAutoPos::MonitorWorkArea(0, 0), Rect(0, 0, 964, 768));
    SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1024, 768)}, true,
                                                             Rect(0, 0, 1024, 28)));
    EXPECT_EQ(TTarkiAutoPos::MonitorWorkArea(0, 0), Rect(0, 28, 1024, 768));
    SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1024, 768)}));
    EXPECT_EQ(TTarkiAutoPos::MonitorWorkArea(0, 0), Rect(0, 0, 1024, 768));
}

TEST_F(TarkiAutoPosTest, CentreForAnOwnerThatIsNotAForm)
{
    // A top-level panel: the centre point goes through the panel's screen-to-client conversion
    // and becomes its left and top as it is, without clamping.
    TCustomPanel panel;
    panel.SetBounds(10, 20, 300, 200);
    TTarkiAutoPos* panelPos = new TTarkiAutoPos(&panel);
    panelPos->SetRepeat(false);
    EXPECT_EQ(QPoint(panel.x(), panel.y()), QPoint(340, 230));  // (350, 250) less (10, 20)
    // A form is clamped into the work area instead.
    main.SetBounds(700, 600, 400, 300);
    pos->SetPosition(ptMainFormCenter);
    EXPECT_EQ(At(), QPoint(724, 538));
}
