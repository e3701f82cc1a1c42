// The shaded push button: its shade ramp, the face in each state, the default ring and the ways
// it is clicked (mouse, Space, Return, Escape, accelerator).
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <memory>

#include "ButtonTestSupport.h"
#include "controls/NvOS8PushButton.h"

namespace {

constexpr TColor kHost = 0x00FF00;

void SendKey(QWidget* w, QEvent::Type type, int key)
{
    QKeyEvent e(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QApplication::sendEvent(w, &e);
}

class NvOS8PushButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureButtonTestApp();
        form = std::make_unique<TForm>();
        form->SetColor(kHost);
        form->SetBounds(100, 100, 200, 100);
        btn = new TNvOS8PushButton(form.get());
        btn->SetBounds(10, 10, 64, 26);
        btn->SetCaption("OK");
    }
    void TearDown() override { form.reset(); }

    TColor At(int x, int y) { return PixelAt(form->PaintToImage(), 10 + x, 10 + y); }

    std::unique_ptr<TForm> form;
    TNvOS8PushButton* btn = nullptr;
};

TEST_F(NvOS8PushButtonTest, DefaultsAndShades)
{
    EXPECT_EQ(btn->Width(), 64);
    EXPECT_EQ(btn->Height(), 26);
    EXPECT_TRUE(btn->Font()->HasStyle(fsBold));
    EXPECT_EQ(btn->BaseColor(), 0x777777u);
    EXPECT_EQ(btn->Shade(0), 0x000000u);
    EXPECT_EQ(btn->Shade(15), 0xFFFFFFu);
    btn->SetBaseColor(0xD2D2D2);
    EXPECT_EQ(btn->Shade(0), 0x5B5B5Bu);
    EXPECT_EQ(btn->Shade(9), 0xF4F4F4u);
    EXPECT_EQ(btn->Shade(10), 0xFFFFFFu);
}

// With the base 0x777777, shade i is 0x111111 * i. The face spans (3, 3)-(61, 23).
TEST_F(NvOS8PushButtonTest, RaisedFace)
{
    EXPECT_EQ(At(3, 12), 0x000000u);  // frame s[0]
    EXPECT_EQ(At(4, 12), 0xDDDDDDu);  // c1 = s[13]
    EXPECT_EQ(At(5, 12), 0xFFFFFFu);  // c2 = s[15]
    EXPECT_EQ(At(30, 20), 0xAAAAAAu); // c3 = s[10]
    EXPECT_EQ(At(30, 21), 0x777777u); // c4 = s[7]
    EXPECT_EQ(At(59, 12), 0x777777u);
    EXPECT_EQ(At(10, 8), 0xDDDDDDu);  // face s[13]
    EXPECT_EQ(At(0, 0), kHost);       // outside the face the parent shows
    EXPECT_EQ(At(1, 12), kHost);      // no ring on a button that is not Default
}

TEST_F(NvOS8PushButtonTest, HeldFaceTurnsInward)
{
    Press(btn, 20, 10);
    EXPECT_TRUE(btn->Pressed());
    EXPECT_EQ(At(4, 12), 0x444444u);  // c1 = s[4]
    EXPECT_EQ(At(5, 12), 0x555555u);  // c2 = s[5]
    EXPECT_EQ(At(30, 20), 0x777777u); // c3 = s[7]
    EXPECT_EQ(At(30, 21), 0x888888u); // c4 = s[8]
    EXPECT_EQ(At(10, 8), 0x666666u);  // face s[6]
    Move(btn, 100, 10);
    EXPECT_FALSE(btn->Pressed());
    EXPECT_EQ(At(10, 8), 0xDDDDDDu);
    Release(btn, 100, 10);
}

TEST_F(NvOS8PushButtonTest, DisabledDrawsFrameFaceAndCaptionOnly)
{
    btn->Font()->SetColor(clBlack);
    btn->SetEnabled(false);
    EXPECT_EQ(At(3, 12), 0x888888u); // frame s[8]
    EXPECT_EQ(At(4, 12), 0xDDDDDDu); // no bevel: face s[13]
    EXPECT_EQ(At(30, 21), 0xDDDDDDu);
    const QImage img = form->PaintToImage();
    int caption = 0, black = 0;
    for (int y = 14; y < 30; ++y)
        for (int x = 20; x < 64; ++x) {
            caption += PixelAt(img, x, y) == 0x888888u;
            black += PixelAt(img, x, y) == clBlack;
        }
    EXPECT_GT(caption, 5);
    EXPECT_EQ(black, 0);
}

TEST_F(NvOS8PushButtonTest, RingFollowsDefaultNotFocus)
{
    btn->SetButtonStyle(true);
    EXPECT_TRUE(btn->Active());
    EXPECT_EQ(At(3, 0), kHost);
    btn->SetDefault(true);
    EXPECT_EQ(At(3, 0), 0x000000u);   // the octagon's top edge in the frame colour
    EXPECT_EQ(At(0, 0), kHost);       // its cut corner
    EXPECT_EQ(At(0, 12), 0x000000u);
    EXPECT_EQ(At(1, 12), 0xDDDDDDu);  // shaded inside: s[13]
    EXPECT_EQ(At(2, 12), 0xAAAAAAu);  // s[10]
    EXPECT_EQ(At(62, 12), 0x777777u); // s[7]
    btn->SetButtonStyle(false);
    EXPECT_EQ(At(3, 0), 0x000000u);
    btn->SetEnabled(false);
    EXPECT_EQ(At(3, 0), 0x888888u);   // disabled: ring in s[8], not shaded
    EXPECT_EQ(At(1, 12), kHost);
}

TEST_F(NvOS8PushButtonTest, MouseClickRunsAfterTheFaceComesUp)
{
    int clicks = 0;
    bool pressedDuringClick = true;
    btn->OnClick = [&](TObject*) {
        ++clicks;
        pressedDuringClick = btn->Pressed();
    };
    btn->SetModalResult(mrOk);
    Press(btn, 20, 10);
    Release(btn, 20, 10);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(pressedDuringClick);
    EXPECT_EQ(form->ModalResult(), mrOk);

    Press(btn, 20, 10);
    Move(btn, 100, 10);
    Release(btn, 100, 10);
    EXPECT_EQ(clicks, 1);
}

TEST_F(NvOS8PushButtonTest, SpaceAndReturnClickTheFocusedButton)
{
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    SendKey(btn, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(btn->Pressed());
    EXPECT_EQ(clicks, 0);
    SendKey(btn, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_FALSE(btn->Pressed());
    EXPECT_EQ(clicks, 1);
    SendKey(btn, QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);

    // Holding Space repeats press and release events; only the last release clicks.
    SendKey(btn, QEvent::KeyPress, Qt::Key_Space);
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(btn, &repeatUp);
    QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(btn, &repeatDown);
    EXPECT_TRUE(btn->Pressed());
    EXPECT_EQ(clicks, 2);
    SendKey(btn, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks, 3);
}

TEST_F(NvOS8PushButtonTest, ReturnAndEscapeReachDefaultAndCancel)
{
    auto* cancel = new TNvOS8PushButton(form.get());
    cancel->SetBounds(80, 10, 64, 26);
    cancel->SetCancel(true);
    btn->SetDefault(true);
    auto* edit = new QLineEdit(form.get());
    int ok = 0, cancelled = 0;
    btn->OnClick = [&](TObject*) { ++ok; };
    cancel->OnClick = [&](TObject*) { ++cancelled; };

    // The line edit leaves Return and Escape alone, so they travel up to the window.
    SendKey(edit, QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(ok, 1);
    SendKey(edit, QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_EQ(cancelled, 1);
    SendKey(edit, QEvent::KeyPress, Qt::Key_A);
    EXPECT_EQ(ok + cancelled, 2);
    // Escape on the focused OK button still cancels.
    SendKey(btn, QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_EQ(cancelled, 2);
    EXPECT_EQ(ok, 1);

    // A control that asks for every key keeps Return for itself; one that does not leaves it to
    // the default button.
    auto* grabber = new TButtonHost();
    grabber->setParent(form.get());
    grabber->WantAllKeys = true;
    SendKey(grabber, QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(ok, 1);
    grabber->WantAllKeys = false;
    SendKey(grabber, QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(ok, 2);

    // A disabled default button is not clicked.
    btn->SetEnabled(false);
    SendKey(edit, QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(ok, 2);
}

TEST_F(NvOS8PushButtonTest, Accelerator)
{
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    btn->SetCaption("&Cancel");
    EXPECT_TRUE(btn->DialogChar('c'));
    EXPECT_FALSE(btn->DialogChar('a'));
    btn->SetCaption("A&&B");
    EXPECT_FALSE(btn->DialogChar('b'));
    btn->SetCaption("&Cancel");
    btn->SetEnabled(false);
    EXPECT_FALSE(btn->DialogChar('c'));
    EXPECT_EQ(clicks, 1);
}

} // namespace
