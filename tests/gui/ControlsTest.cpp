#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/gui/Controls.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/Services.h"

namespace {

// Records the class library's handlers in order.
class Probe : public TControl {
public:
    using TControl::TControl;
    std::vector<std::string> Log;
    int Paints = 0;
    void Paint() override
    {
        ++Paints;
        Canvas()->Brush->Color = clRed;
        Canvas()->FillRect(Rect(0, 0, 5, 5));
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override
    {
        Log.push_back("down " + std::to_string(x) + "," + std::to_string(y) + (s.Contains(ssDouble) ? " double" : ""));
        TControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override
    {
        Log.push_back("up");
        TControl::MouseUp(b, s, x, y);
    }
    void Click() override { Log.push_back("click"); TControl::Click(); }
    void DblClick() override { Log.push_back("dblclick"); TControl::DblClick(); }
    void KeyDown(Word& key, TShiftState s) override
    {
        Log.push_back("key " + std::to_string(key) + (s.Contains(ssCtrl) ? " ctrl" : ""));
        TControl::KeyDown(key, s);
    }
    void KeyPress(char& key) override { Log.push_back(std::string("press ") + key); }
    void MouseEnter() override { Log.push_back("enter"); }
    void MouseLeave() override { Log.push_back("leave"); }
};

}  // namespace

TEST(Control, PaintsThroughTheCanvasOverItsColour)
{
    TForm form;
    Probe p(&form);
    p.SetBounds(0, 0, 20, 10);
    p.SetColor(clBlue);
    const QImage img = p.PaintToImage();
    EXPECT_EQ(img.pixel(2, 2) & 0xFFFFFF, 0xFF0000u);   // red from Paint
    EXPECT_EQ(img.pixel(10, 5) & 0xFFFFFF, 0x0000FFu);  // the control's Color erased first
    EXPECT_GE(p.Paints, 1);
}

TEST(Control, MouseClickOrderAndDoubleClicks)
{
    TForm form;
    form.SetBounds(0, 0, 100, 100);
    Probe p(&form);
    p.SetBounds(10, 10, 50, 50);
    int clicks = 0;
    p.OnClick = [&](TObject* s) { EXPECT_EQ(s, &p); ++clicks; };
    form.Show();
    QTest::mouseClick(&p, Qt::LeftButton, Qt::NoModifier, QPoint(3, 4));
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(p.Log.size(), 3u);
    EXPECT_EQ(p.Log[0], "down 3,4");
    EXPECT_EQ(p.Log[1], "click");   // the platform clicks before the button-up handler
    EXPECT_EQ(p.Log[2], "up");
    p.Log.clear();
    QTest::mouseDClick(&p, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    EXPECT_NE(std::find(p.Log.begin(), p.Log.end(), "dblclick"), p.Log.end());
    EXPECT_NE(std::find(p.Log.begin(), p.Log.end(), "down 1,1 double"), p.Log.end());
    // A release outside the control is no click.
    p.Log.clear();
    const int before = clicks;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), p.mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&p, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(80, 5), p.mapToGlobal(QPointF(80, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&p, &release);
    EXPECT_EQ(clicks, before);
    EXPECT_EQ(p.Log.back(), "up");
}

TEST(Control, KeysArriveAsVirtualKeysAndBytes)
{
    TForm form;
    Probe p(&form);
    p.setFocusPolicy(Qt::StrongFocus);
    form.Show();
    p.setFocus();
    QTest::keyClick(&p, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&p, Qt::Key_X);
    QTest::keyClick(&p, Qt::Key_Left);
    EXPECT_NE(std::find(p.Log.begin(), p.Log.end(), "key 65 ctrl"), p.Log.end());
    EXPECT_NE(std::find(p.Log.begin(), p.Log.end(), "press x"), p.Log.end());
    EXPECT_NE(std::find(p.Log.begin(), p.Log.end(), "key 37"), p.Log.end());
    // A form with KeyPreview sees the key first and may swallow it.
    p.Log.clear();
    form.KeyPreview = true;
    form.OnKeyDown = [](TObject*, Word& key, TShiftState) { if (key == VK_F1) key = 0; };
    QTest::keyClick(&p, Qt::Key_F1);
    QTest::keyClick(&p, Qt::Key_F2);
    EXPECT_EQ(std::find(p.Log.begin(), p.Log.end(), "key 112"), p.Log.end());
    EXPECT_NE(std::find(p.Log.begin(), p.Log.end(), "key 113"), p.Log.end());
}

TEST(Control, MouseEnterAndLeave)
{
    TForm form;
    Probe p(&form);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&p, &enter);
    EXPECT_TRUE(p.MouseInControl());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&p, &leave);
    EXPECT_FALSE(p.MouseInControl());
    EXPECT_EQ(p.Log, (std::vector<std::string>{"enter", "leave"}));
}

TEST(Control, AlignLaysOutChildrenInsidePanelBorders)
{
    TForm form;
    TPanel outer(&form);
    outer.SetBounds(0, 0, 200, 100);
    outer.SetBevelOuter(bvNone);
    outer.SetBorderWidth(2);
    TPanel top(&outer), bottom(&outer), left(&outer), client(&outer);
    top.SetHeight(18);
    bottom.SetHeight(10);
    left.SetWidth(30);
    top.SetAlign(alTop);
    bottom.SetAlign(alBottom);
    left.SetAlign(alLeft);
    client.SetAlign(alClient);
    EXPECT_EQ(top.BoundsRect(), Rect(2, 2, 198, 20));
    EXPECT_EQ(bottom.BoundsRect(), Rect(2, 88, 198, 98));
    EXPECT_EQ(left.BoundsRect(), Rect(2, 20, 32, 88));
    EXPECT_EQ(client.BoundsRect(), Rect(32, 20, 198, 88));
    outer.SetWidth(300);
    EXPECT_EQ(client.BoundsRect(), Rect(32, 20, 298, 88));
    top.SetVisible(false);
    EXPECT_EQ(left.BoundsRect(), Rect(2, 2, 32, 88));
}

TEST(Control, NestedAlignedPanelsFollowAResizeOfAShownWindow)
{
    TForm form;
    form.SetBounds(0, 0, 200, 100);
    TPanel outer(&form);
    outer.SetBevelOuter(bvNone);
    outer.SetAlign(alClient);
    TPanel inner(&outer);
    inner.SetBevelOuter(bvNone);
    inner.SetAlign(alClient);
    TPanel bar(&inner);
    bar.SetHeight(20);
    bar.SetAlign(alBottom);
    form.Show();
    form.SetBounds(0, 0, 300, 150);
    EXPECT_EQ(inner.BoundsRect(), Rect(0, 0, 300, 150));
    EXPECT_EQ(bar.BoundsRect(), Rect(0, 130, 300, 150));
}

TEST(Control, ParentFontAndColourFollowUntilSet)
{
    TForm form;
    TPanel parent(&form);
    TPanel child(&parent);
    child.SetParentColor(true);
    parent.Font()->SetColor(clRed);
    parent.SetColor(clYellow);
    EXPECT_EQ(child.Font()->Color(), clRed);
    EXPECT_EQ(child.Color(), clYellow);
    child.Font()->SetHeight(-20);
    EXPECT_FALSE(child.ParentFont());
    parent.Font()->SetColor(clBlue);
    EXPECT_EQ(child.Font()->Color(), clRed);
}

TEST(Panel, PaintsRaisedBevelAndCaption)
{
    TPanel panel;
    panel.SetBounds(0, 0, 60, 30);
    panel.SetColor(clBtnFace);
    const QImage img = panel.PaintToImage();
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);                    // highlight top-left
    EXPECT_EQ(img.pixel(59, 29) & 0xFFFFFF, 0x808080u);                  // shadow bottom-right
    EXPECT_EQ(img.pixel(30, 2) & 0xFFFFFF, QColor(212, 208, 200).rgb() & 0xFFFFFF);
}

TEST(Form, CloseAsksQueryThenActionAndModalResult)
{
    TForm form;
    bool allow = false;
    int closes = 0;
    form.OnCloseQuery = [&](TObject*, bool& can) { can = allow; };
    form.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    form.Show();
    form.Close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(closes, 0);
    allow = true;
    form.Close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(closes, 1);

    TForm dialog;
    QTimer::singleShot(50, [&]() { dialog.SetModalResult(mrOk); });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(PageControl, TabsSwitchPagesAndAskFirst)
{
    TForm form;
    TPageControl pc(&form);
    pc.SetBounds(0, 0, 200, 120);
    TTabSheet* a = pc.AddPage("One");
    TTabSheet* b = pc.AddPage("Two");
    EXPECT_EQ(pc.ActivePage(), a);
    bool allow = false;
    int changes = 0;
    pc.OnChanging = [&](TObject*, bool& ok) { ok = allow; };
    pc.OnChange = [&](TObject*) { ++changes; };
    const TRect tab = pc.TabRect(1);
    pc.MouseDown(mbLeft, TShiftState(), tab.Left + 2, tab.Top + 2);
    EXPECT_EQ(pc.ActivePage(), a);
    allow = true;
    pc.MouseDown(mbLeft, TShiftState(), tab.Left + 2, tab.Top + 2);
    EXPECT_EQ(pc.ActivePage(), b);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(b->Visible());
    EXPECT_FALSE(a->Visible());
    pc.SetTabPosition(tpBottom);
    EXPECT_GT(pc.TabRect(0).Top, 90);
}

TEST(Timer, TicksOnTheEventLoopWhileEnabled)
{
    TTimer t;
    int ticks = 0;
    t.SetInterval(10);
    t.OnTimer = [&](TObject*) { ++ticks; };
    QTest::qWait(200);
    EXPECT_GT(ticks, 0);
    t.SetEnabled(false);
    const int seen = ticks;
    QTest::qWait(100);
    EXPECT_EQ(ticks, seen);
}

TEST(Control, AnExceptionFromAHandlerIsReportedNotPropagated)
{
    auto rec = std::make_shared<TRecordingServices>();
    auto previous = InstallServices(rec);
    TForm form;
    Probe p(&form);
    p.SetBounds(0, 0, 20, 20);
    p.OnClick = [](TObject*) { throw std::runtime_error("boom"); };
    form.Show();
    QTest::mouseClick(&p, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    ASSERT_EQ(rec->Messages.size(), 1u);
    EXPECT_EQ(rec->Messages[0].Text, "boom");
    // The control keeps working.
    p.OnClick = nullptr;
    p.Log.clear();
    QTest::mouseClick(&p, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    InstallServices(previous);
    EXPECT_EQ(p.Log, (std::vector<std::string>{"down 3,3", "click", "up"}));
}

TEST(Form, AWindowWithAParentStaysHiddenUntilShown)
{
    TForm main;
    main.Show();
    int shows = 0;
    TForm dialog(&main);
    dialog.OnShow = [&](TObject*) { ++shows; };
    EXPECT_TRUE(dialog.isWindow());
    EXPECT_FALSE(dialog.Visible());
    EXPECT_FALSE(dialog.isVisible());
    dialog.Show();
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(shows, 1);
    dialog.hide();
    EXPECT_FALSE(dialog.Visible());
}
