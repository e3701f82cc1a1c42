#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "controls/TarkiForm.h"
#include "controls/TarkiPageControl.h"
#include "controls/TarkiPanel.h"

class TarkiFrameTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureFrameTestApp(); }
};

TEST_F(TarkiFrameTest, PanelDrawsFourColouredEdges)
{
    TTarkiPanel panel;
    panel.SetBounds(0, 0, 20, 10);
    panel.SetBevelWidth(0);
    panel.SetLineTop(clRed);
    panel.SetLineBottom(clBlue);
    panel.SetLineLeft(clLime);
    panel.SetLineRight(clYellow);
    const QImage img = panel.PaintToImage();
    EXPECT_EQ(PixelAt(img, 0, 5), clLime);
    EXPECT_EQ(PixelAt(img, 19, 5), clYellow);
    EXPECT_EQ(PixelAt(img, 10, 0), clRed);
    EXPECT_EQ(PixelAt(img, 10, 9), clBlue);
    // Corners: each edge leaves out its end pixel, so the later edge owns the corner.
    EXPECT_EQ(PixelAt(img, 0, 0), clRed);
    EXPECT_EQ(PixelAt(img, 19, 0), clYellow);
    EXPECT_EQ(PixelAt(img, 0, 9), clBlue);
    EXPECT_EQ(PixelAt(img, 19, 9), clBlue);
    EXPECT_EQ(PixelAt(img, 1, 5), ColorToRGB(clBtnFace));  // bevel width 0: no bevel of its own
}

TEST_F(TarkiFrameTest, BevelWidthThreeDrawsThreeNestedFrames)
{
    TTarkiPanel panel;
    panel.SetBounds(0, 0, 30, 20);
    panel.SetBevelOuter(bvNone);
    panel.SetColor(clWhite);
    panel.SetBevelWidth(3);
    panel.SetLineLeft(clRed);
    panel.SetLineTop(clRed);
    panel.SetLineRight(clRed);
    panel.SetLineBottom(clRed);
    const QImage img = panel.PaintToImage();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PixelAt(img, i, 10), clRed) << i;
        EXPECT_EQ(PixelAt(img, 29 - i, 10), clRed) << i;
        EXPECT_EQ(PixelAt(img, 15, i), clRed) << i;
        EXPECT_EQ(PixelAt(img, 15, 19 - i), clRed) << i;
    }
    EXPECT_EQ(PixelAt(img, 3, 10), clWhite);
    EXPECT_EQ(PixelAt(img, 15, 16), clWhite);
}

namespace {

// A 300 x 200 window at (100, 100) filled by a frame of border width 2 and bevel width 0.
struct FrameWindow {
    TForm form;
    TTarkiForm* frame;
    FrameWindow()
    {
        form.SetBorderStyle(bsFormNone);
        form.SetBounds(100, 100, 300, 200);
        frame = new TTarkiForm(&form, &form);
        frame->SetBevelOuter(bvNone);
        frame->SetBevelWidth(0);
        frame->SetBorderWidth(2);
        frame->SetAlign(alClient);
        frame->SetCaptionMove(true);
        frame->SetFormResize(true);
    }
    QPoint Global(QPoint local) const { return QPoint(form.x(), form.y()) + local; }
    void Press(QPoint local) { SendMouseAt(frame, QEvent::MouseButtonPress, local, Global(local)); }
    // Moves the mouse by `delta` from where it was pressed (`pressed`, local at the press).
    void DragBy(QPoint pressed, QPoint delta, QPoint pressWindow)
    {
        const QPoint global = pressWindow + pressed + delta;
        SendMouseAt(frame, QEvent::MouseMove, global - QPoint(form.x(), form.y()), global);
    }
    void Release(QPoint local) { SendMouseAt(frame, QEvent::MouseButtonRelease, local, Global(local)); }
};

}  // namespace

TEST_F(TarkiFrameTest, ZonesUnderTheMouse)
{
    FrameWindow w;
    ASSERT_EQ(w.frame->Margin(), 2);
    ASSERT_EQ(w.frame->Width(), 300);
    struct Case { int x, y, zone; TCursor cursor; };
    const Case cases[] = {{1, 1, 1, crSizeNWSE}, {150, 1, 2, crSizeNS}, {299, 0, 3, crSizeNESW},
                          {0, 100, 4, crSizeWE}, {298, 100, 5, crSizeWE}, {1, 199, 6, crSizeNESW},
                          {150, 198, 7, crSizeNS}, {299, 199, 8, crSizeNWSE}, {10, 10, 0, crDefault},
                          {150, 100, 0, crDefault}};
    for (const Case& c : cases) {
        SendMouseAt(w.frame, QEvent::MouseMove, QPoint(c.x, c.y), w.Global(QPoint(c.x, c.y)), Qt::NoButton);
        EXPECT_EQ(w.frame->Zone(), c.zone) << c.x << "," << c.y;
        EXPECT_EQ(w.frame->Cursor(), c.cursor) << c.x << "," << c.y;
    }
    w.frame->SetFormResize(false);
    EXPECT_EQ(w.frame->Zone(), 0);
    EXPECT_EQ(w.frame->Cursor(), crDefault);
}

TEST_F(TarkiFrameTest, PressOnTheLeftEdgeResizesFromThatEdgeAskingTheWidthEvent)
{
    FrameWindow w;
    int asked = 0;
    w.frame->OnResizeWidth = [&](TObject* s, int& nw, int& nh) {
        EXPECT_EQ(s, w.frame);
        ++asked;
        EXPECT_EQ(nh, 200);
        return true;
    };
    // No move happened before the press: the zone comes from the press itself.
    const QPoint start(100, 100);
    w.Press(QPoint(1, 100));
    EXPECT_EQ(w.frame->ResizeZone(), 4);
    w.DragBy(QPoint(1, 100), QPoint(-10, 0), start);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(w.form.geometry(), QRect(90, 100, 310, 200));
    w.Release(QPoint(1, 100));
    EXPECT_EQ(w.frame->ResizeZone(), 0);
    int a = 10, b = 10;
    EXPECT_TRUE(w.frame->CanResize(a, b));  // no resize in progress
    EXPECT_EQ(asked, 1);
}

TEST_F(TarkiFrameTest, ResizeEventsCanRefuseOrAdjustTheNewSize)
{
    FrameWindow w;
    w.frame->OnResizeHeight = [](TObject*, int&, int&) { return false; };
    w.frame->OnResizeBoth = [](TObject*, int& nw, int& nh) {
        nh = nw * 2 / 3;  // keep 3:2
        return true;
    };
    w.Press(QPoint(150, 199));
    EXPECT_EQ(w.frame->ResizeZone(), 7);
    w.DragBy(QPoint(150, 199), QPoint(0, 40), QPoint(100, 100));
    EXPECT_EQ(w.form.geometry(), QRect(100, 100, 300, 200));
    w.Release(QPoint(150, 199));

    w.Press(QPoint(299, 199));
    EXPECT_EQ(w.frame->ResizeZone(), 8);
    w.DragBy(QPoint(299, 199), QPoint(60, 5), QPoint(100, 100));
    EXPECT_EQ(w.form.geometry(), QRect(100, 100, 360, 240));
    w.Release(QPoint(299, 199));
}

TEST_F(TarkiFrameTest, PressInsideTheInnerAreaMovesTheWindow)
{
    FrameWindow w;
    // (10, 10) lies in the 20-pixel corner band but inside the inner area: a move, not a resize.
    for (QPoint at : {QPoint(10, 10), QPoint(150, 100)}) {
        const QPoint before(w.form.x(), w.form.y());
        w.Press(at);
        EXPECT_EQ(w.frame->ResizeZone(), 0);
        EXPECT_TRUE(w.frame->Moving());
        w.DragBy(at, QPoint(15, 5), before);
        EXPECT_EQ(QPoint(w.form.x(), w.form.y()), before + QPoint(15, 5));
        EXPECT_EQ(w.form.width(), 300);
        w.Release(at);
        EXPECT_FALSE(w.frame->Moving());
    }
    // Without CaptionMove nothing moves.
    w.frame->SetCaptionMove(false);
    const QPoint before(w.form.x(), w.form.y());
    w.Press(QPoint(150, 100));
    w.DragBy(QPoint(150, 100), QPoint(30, 30), before);
    w.Release(QPoint(150, 100));
    EXPECT_EQ(QPoint(w.form.x(), w.form.y()), before);
}

TEST_F(TarkiFrameTest, AMaximizedMainWindowDisablesResizing)
{
    FrameWindow w;
    TForm main;
    main.SetWindowState(wsMaximized);
    TForm* previous = Application()->MainForm;
    Application()->MainForm = &main;
    int moves = 0;
    w.frame->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
    SendMouseAt(w.frame, QEvent::MouseMove, QPoint(1, 100), w.Global(QPoint(1, 100)), Qt::NoButton);
    EXPECT_EQ(w.frame->Zone(), 0);
    EXPECT_EQ(w.frame->Cursor(), crDefault);
    EXPECT_EQ(moves, 0);
    w.Press(QPoint(1, 100));
    EXPECT_EQ(w.frame->ResizeZone(), 0);
    w.Release(QPoint(1, 100));
    Application()->MainForm = previous;
    SendMouseAt(w.frame, QEvent::MouseMove, QPoint(1, 100), w.Global(QPoint(1, 100)), Qt::NoButton);
    EXPECT_EQ(w.frame->Zone(), 4);
    EXPECT_EQ(moves, 1);
}

TEST_F(TarkiFrameTest, DoubleClickTogglesMaximizedAndHoverEvents)
{
    FrameWindow w;
    int dbl = 0;
    w.frame->OnDblClick = [&](TObject*) { ++dbl; };
    w.frame->DblClick();
    EXPECT_EQ(w.form.WindowState(), wsNormal);  // FormMaximize off
    w.frame->SetFormMaximize(true);
    w.frame->DblClick();
    EXPECT_EQ(w.form.WindowState(), wsMaximized);
    w.frame->DblClick();
    EXPECT_EQ(w.form.WindowState(), wsNormal);
    EXPECT_EQ(dbl, 3);

    int enters = 0, exits = 0;
    w.frame->OnMouseEnter = [&](TObject*) { ++enters; };
    w.frame->OnMouseExit = [&](TObject*) { ++exits; };
    w.frame->MouseEnter();
    EXPECT_TRUE(w.frame->Hovered());
    w.frame->MouseLeave();
    EXPECT_FALSE(w.frame->Hovered());
    w.frame->SetEnabled(false);
    w.frame->MouseEnter();
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);
}

TEST_F(TarkiFrameTest, PageControlActivationAndTabDrawing)
{
    TForm form;
    TTarkiPageControl pc(&form);
    pc.SetBounds(0, 0, 200, 100);
    pc.SetColor(clBtnFace);
    pc.Font()->SetColor(clBlack);
    pc.Font()->SetHeight(-12);
    TTabSheet* a = pc.AddPage("T");
    TTabSheet* b = pc.AddPage("T");
    int changes = 0;
    pc.OnChange = [&](TObject*) { ++changes; };
    pc.SetActivePage(a);
    EXPECT_EQ(changes, 0);
    pc.SetActivePage(b);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pc.ActivePage(), b);
    // After the user switched back by clicking, code can activate the other page again.
    const TRect tabA = pc.TabRect(0);
    pc.MouseDown(mbLeft, TShiftState(), tabA.Left + 2, tabA.Top + 2);
    EXPECT_EQ(pc.ActivePage(), a);
    EXPECT_EQ(changes, 2);
    pc.SetActivePage(b);
    EXPECT_EQ(pc.ActivePage(), b);
    EXPECT_EQ(changes, 3);

    // The active tab's content sits 3 pixels right of the other's; with the tabs at the bottom
    // also 3 pixels lower. Every tab, the active one with its fill too, keeps its raised frame.
    auto firstDark = [](const QImage& img, const TRect& r, bool column) {
        const int n = column ? r.Width() : r.Height();
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < (column ? r.Height() : r.Width()); ++j) {
                const int x = column ? r.Left + i : r.Left + j, y = column ? r.Top + j : r.Top + i;
                if (PixelAt(img, x, y) == clBlack)
                    return i;
            }
        return -1;
    };
    for (TTabPosition pos : {tpTop, tpBottom}) {
        pc.SetTabPosition(pos);
        const QImage img = pc.PaintToImage();
        const TRect ra = pc.TabRect(0), rb = pc.TabRect(1);
        EXPECT_EQ(firstDark(img, rb, true) - firstDark(img, ra, true), 3);
        EXPECT_EQ(firstDark(img, rb, false) - firstDark(img, ra, false), pos == tpBottom ? 3 : 0);
        for (const TRect& r : {ra, rb}) {
            EXPECT_EQ(PixelAt(img, r.Left, r.Top + 1), ColorToRGB(clBtnHighlight));
            EXPECT_EQ(PixelAt(img, r.Left + 1, r.Top), ColorToRGB(clBtnHighlight));
            EXPECT_EQ(PixelAt(img, r.Right - 1, r.Top + 1), ColorToRGB(cl3DDkShadow));
            EXPECT_EQ(PixelAt(img, r.Left + 1, r.Bottom - 1), ColorToRGB(cl3DDkShadow));
        }
    }
}
