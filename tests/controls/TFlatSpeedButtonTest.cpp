// The flat speed button: looks by state, glyph cells, groups, clicks and the shared hover timer.
#include <gtest/gtest.h>

#include <QCursor>
#include <memory>

#include "ButtonTestSupport.h"
#include "controls/TFlatSpeedButtonUnit.h"
#include "platform/gui/Controls.h"

namespace {

constexpr TColor kHost = 0x00FF00;
constexpr TColor kFace = 0xE1EAEB;

class FlatSpeedButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureButtonTestApp();
        form = std::make_unique<TForm>();
        form->SetColor(kHost);
        form->SetBounds(100, 100, 200, 120);
        btn = new TFlatSpeedButton(form.get());
        btn->SetBounds(10, 10, 25, 25);
        btn->SetColor(kFace);
    }
    void TearDown() override { form.reset(); }

    TColor At(TFlatSpeedButton* b, int x, int y)
    {
        return PixelAt(form->PaintToImage(), b->Left() + x, b->Top() + y);
    }
    TColor At(int x, int y) { return At(btn, x, y); }
    void ClickOn(TFlatSpeedButton* b)
    {
        Press(b, 5, 5);
        Release(b, 5, 5);
    }

    std::unique_ptr<TForm> form;
    TFlatSpeedButton* btn = nullptr;
};

TEST_F(FlatSpeedButtonTest, DefaultsAndUpLook)
{
    EXPECT_EQ(btn->ColorFocused(), 0xE1EAEBu);
    EXPECT_EQ(btn->ColorDown(), 0xC5D6D9u);
    EXPECT_EQ(btn->ColorBorder(), 0x8396A0u);
    EXPECT_EQ(btn->Spacing(), 4);
    EXPECT_EQ(btn->Margin(), -1);
    EXPECT_EQ(btn->Layout(), blGlyphTop);
    EXPECT_EQ(btn->TransparentMode(), tmNone);
    EXPECT_EQ(At(5, 5), kFace);
    EXPECT_EQ(At(0, 0), 0x8396A0u);
    EXPECT_EQ(At(24, 24), 0x8396A0u);
}

TEST_F(FlatSpeedButtonTest, PressedLookFollowsThePointer)
{
    Press(btn, 5, 5);
    EXPECT_EQ(btn->State(), bsDown);
    EXPECT_EQ(At(5, 5), 0xC5D6D9u);
    EXPECT_EQ(At(0, 0), 0x000000u);  // ColorShadow top-left
    EXPECT_EQ(At(24, 24), 0xFFFFFFu); // ColorHighLight bottom-right
    Move(btn, 40, 5);
    EXPECT_EQ(btn->State(), bsUp);
    Move(btn, 5, 25); // the bottom edge row counts as inside
    EXPECT_EQ(btn->State(), bsDown);
    Release(btn, 40, 40);
    EXPECT_EQ(btn->State(), bsUp);
}

TEST_F(FlatSpeedButtonTest, ClickComesFromTheReleaseRuleAndSetsModalResult)
{
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    btn->SetModalResult(mrCancel);
    ClickOn(btn);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->ModalResult(), mrCancel);

    // Released on the bottom edge row: still a click. One row further or one column right: not.
    Press(btn, 5, 5);
    Release(btn, 5, 25);
    EXPECT_EQ(clicks, 2);
    Press(btn, 5, 5);
    Release(btn, 5, 26);
    Press(btn, 5, 5);
    Release(btn, 25, 5);
    EXPECT_EQ(clicks, 2);

    // Only the left button presses.
    SendMouse(btn, QEvent::MouseButtonPress, 5, 5, Qt::RightButton);
    SendMouse(btn, QEvent::MouseButtonRelease, 5, 5, Qt::RightButton);
    EXPECT_EQ(clicks, 2);
}

TEST_F(FlatSpeedButtonTest, DoubleClickEventOnlyWhenDown)
{
    int doubles = 0;
    btn->OnDblClick = [&](TObject*) { ++doubles; };
    SendMouse(btn, QEvent::MouseButtonDblClick, 5, 5);
    Release(btn, 5, 5);
    EXPECT_EQ(doubles, 0);
    btn->SetGroupIndex(1);
    btn->SetDown(true);
    SendMouse(btn, QEvent::MouseButtonDblClick, 5, 5);
    EXPECT_EQ(doubles, 1);
    Release(btn, 5, 5);
}

TEST_F(FlatSpeedButtonTest, TransparentModes)
{
    btn->SetTransparentMode(tmAlways);
    EXPECT_EQ(At(5, 5), kHost);
    EXPECT_EQ(At(0, 0), 0x8396A0u); // the frame is still drawn
    btn->SetTransparentMode(tmNotFocused);
    EXPECT_EQ(At(5, 5), kHost);
    btn->SetTransparentMode(tmNone);
    EXPECT_EQ(At(5, 5), kFace);
}

TEST_F(FlatSpeedButtonTest, GroupIsExclusive)
{
    auto* b2 = new TFlatSpeedButton(form.get());
    auto* b3 = new TFlatSpeedButton(form.get());
    auto* other = std::make_unique<TForm>().release();
    auto* elsewhere = new TFlatSpeedButton(other);
    b2->SetBounds(40, 10, 25, 25);
    b3->SetBounds(70, 10, 25, 25);
    for (TFlatSpeedButton* b : {btn, b2, b3, elsewhere})
        b->SetGroupIndex(1);
    elsewhere->SetDown(true);

    ClickOn(btn);
    EXPECT_TRUE(btn->Down());
    EXPECT_EQ(btn->State(), bsExclusive);
    EXPECT_EQ(At(btn, 5, 5), btn->ColorDown());
    ClickOn(b2);
    EXPECT_TRUE(b2->Down());
    EXPECT_FALSE(btn->Down());
    EXPECT_EQ(btn->State(), bsUp);
    EXPECT_TRUE(elsewhere->Down()); // another parent is another group

    // Without AllowAllUp the down button cannot be raised by a click.
    ClickOn(b2);
    EXPECT_TRUE(b2->Down());
    b2->SetDown(false);
    EXPECT_TRUE(b2->Down());

    // AllowAllUp set on one button is taken by the whole group.
    b2->SetAllowAllUp(true);
    EXPECT_TRUE(btn->AllowAllUp());
    EXPECT_TRUE(b3->AllowAllUp());
    EXPECT_FALSE(elsewhere->AllowAllUp());
    ClickOn(b2);
    EXPECT_FALSE(b2->Down());
    EXPECT_FALSE(btn->Down() || b3->Down());

    // Setting Down from code raises the others too.
    b3->SetDown(true);
    btn->SetDown(true);
    EXPECT_FALSE(b3->Down());
    delete other;
}

TEST_F(FlatSpeedButtonTest, UngroupedButtonCannotBeDown)
{
    btn->SetDown(true);
    EXPECT_FALSE(btn->Down());
    EXPECT_EQ(btn->State(), bsUp);
}

TEST_F(FlatSpeedButtonTest, GlyphCellsByState)
{
    TBitmap g;
    MakeGlyph(g, {0x0000FF, 0x00FFFF, 0xFF0000, 0x000080});
    btn->SetGlyph(g);
    EXPECT_EQ(btn->NumGlyphs(), 4);
    // blGlyphTop, no caption: the glyph is centred at (5, 5); its square covers 9..16.
    EXPECT_EQ(At(12, 12), 0x0000FFu);
    EXPECT_EQ(At(7, 7), kFace); // the key colour is transparent
    Press(btn, 5, 5);
    EXPECT_EQ(At(13, 13), 0xFF0000u); // down: third cell, moved by (1, 1)
    EXPECT_EQ(At(9, 9), 0xC5D6D9u);
    Release(btn, 5, 5);
    btn->SetGroupIndex(2);
    btn->SetDown(true);
    EXPECT_EQ(At(13, 13), 0x000080u); // exclusive: fourth cell
    btn->SetEnabled(false);
    EXPECT_EQ(At(12, 12), 0x00FFFFu); // disabled: second cell

    MakeGlyph(g, {0x0000FF, 0x00FFFF, 0xFF0000});
    btn->SetGlyph(g);
    EXPECT_EQ(btn->NumGlyphs(), 3);
    btn->SetEnabled(true);
    EXPECT_EQ(At(13, 13), 0xFF0000u); // exclusive with three cells: the third

    MakeGlyph(g, {0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF});
    btn->SetGlyph(g);
    EXPECT_EQ(btn->NumGlyphs(), 1);
}

TEST_F(FlatSpeedButtonTest, DisabledShowsEmbossedGlyphAndEngravedCaption)
{
    TBitmap g;
    g.SetSize(16, 16);
    g.Canvas()->Brush->Color = clWhite;
    g.Canvas()->FillRect(Rect(0, 0, 16, 16));
    g.Canvas()->Brush->Color = clBlack;
    g.Canvas()->FillRect(Rect(4, 4, 12, 12));
    g.Canvas()->Flush();
    btn->SetBounds(10, 10, 60, 40);
    btn->SetLayout(blGlyphLeft);
    btn->SetGlyph(g);
    btn->Font()->SetColor(clBlack);
    btn->SetCaption("W");
    btn->SetEnabled(false);
    const QImage img = form->PaintToImage();
    int shadow = 0, highlight = 0, black = 0;
    for (int y = 11; y < 49; ++y)
        for (int x = 11; x < 69; ++x) {
            const TColor c = PixelAt(img, x, y);
            shadow += c == ColorToRGB(clBtnShadow);
            highlight += c == ColorToRGB(clBtnHighlight);
            black += c == clBlack;
        }
    EXPECT_GT(shadow, 64); // the glyph's square and the caption in the shadow colour
    EXPECT_GT(highlight, 8);
    EXPECT_EQ(black, 0);
}

TEST_F(FlatSpeedButtonTest, AdvancedColoursFollowTheColour)
{
    btn->SetUseAdvColors(true);
    EXPECT_TRUE(btn->ParentColor());
    EXPECT_EQ(btn->Color(), kHost);
    EXPECT_EQ(btn->ColorFocused(), CalcAdvancedColor(kHost, 0, 10, lighten));
    EXPECT_EQ(btn->ColorDown(), CalcAdvancedColor(kHost, 0, 10, darken));
    EXPECT_EQ(btn->ColorBorder(), CalcAdvancedColor(kHost, 0, 50, darken));
    form->SetColor(0x808080);
    EXPECT_EQ(btn->ColorBorder(), CalcAdvancedColor(0x808080, 0, 50, darken));
    btn->SetAdvColorBorder(0);
    EXPECT_EQ(btn->ColorBorder(), CalcAdvancedColor(0x808080, 0, 50, darken)); // 0 keeps the colour
    btn->SetAdvColorDown(150);
    EXPECT_EQ(btn->AdvColorDown(), 100);
}

TEST_F(FlatSpeedButtonTest, AcceleratorOnlyWhileEnabled)
{
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    btn->SetCaption("E&xit");
    EXPECT_TRUE(btn->DialogChar('x'));
    btn->SetEnabled(false);
    EXPECT_FALSE(btn->DialogChar('x'));
    EXPECT_EQ(clicks, 1);
}

TEST_F(FlatSpeedButtonTest, LastButtonFreesTheSharedTimer)
{
    EXPECT_NE(TFlatSpeedButton::SharedTimer(), nullptr);
    form.reset();
    EXPECT_EQ(TFlatSpeedButton::SharedTimer(), nullptr);
    auto again = std::make_unique<TFlatSpeedButton>();
    EXPECT_NE(TFlatSpeedButton::SharedTimer(), nullptr);
    EXPECT_FALSE(TFlatSpeedButton::SharedTimer()->Enabled());
    EXPECT_EQ(TFlatSpeedButton::SharedTimer()->Interval(), 100u);
    again.reset();
    EXPECT_EQ(TFlatSpeedButton::SharedTimer(), nullptr);
}

class FlatSpeedButtonHotTest : public FlatSpeedButtonTest {
protected:
    void SetUp() override
    {
        FlatSpeedButtonTest::SetUp();
        b2 = new TFlatSpeedButton(form.get());
        b2->SetBounds(40, 10, 25, 25);
        b2->SetColor(kFace);
        QCursor::setPos(QPoint(0, 0)); // off the window, so showing it makes nothing hot
        form->Show();
        form->activateWindow();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
    }
    // Puts the cursor over button b (or off both) and delivers the move the platform would.
    void Hover(TFlatSpeedButton* b)
    {
        if (b == nullptr) {
            QCursor::setPos(form->mapToGlobal(QPoint(150, 100)));
            return;
        }
        QCursor::setPos(b->mapToGlobal(QPoint(5, 5)));
        Move(b, 5, 5);
    }
    TFlatSpeedButton* b2 = nullptr;
};

TEST_F(FlatSpeedButtonHotTest, OnlyOneButtonIsHot)
{
    std::vector<std::string> log;
    Hover(btn);
    ASSERT_EQ(TFlatSpeedButton::HotButton(), btn);
    EXPECT_TRUE(btn->MouseInControl());
    EXPECT_TRUE(TFlatSpeedButton::SharedTimer()->Enabled());
    EXPECT_EQ(At(btn, 5, 5), kFace);        // ColorFocused is the face colour by default
    EXPECT_EQ(At(btn, 0, 0), 0xFFFFFFu);    // hot frame: ColorHighLight, ColorShadow
    EXPECT_EQ(At(btn, 24, 24), 0x000000u);

    Hover(b2);
    EXPECT_EQ(TFlatSpeedButton::HotButton(), b2);
    EXPECT_FALSE(btn->MouseInControl());
    EXPECT_TRUE(b2->MouseInControl());
    EXPECT_EQ(At(btn, 0, 0), 0x8396A0u);

    // The timer notices that the cursor has gone.
    Hover(nullptr);
    TFlatSpeedButton::SharedTimer()->OnTimer(TFlatSpeedButton::SharedTimer());
    EXPECT_FALSE(b2->MouseInControl());
    EXPECT_EQ(TFlatSpeedButton::HotButton(), nullptr);
    EXPECT_FALSE(TFlatSpeedButton::SharedTimer()->Enabled());
}

TEST_F(FlatSpeedButtonHotTest, TransparentNotFocusedFillsOnlyWhileHot)
{
    btn->SetTransparentMode(tmNotFocused);
    EXPECT_EQ(At(5, 5), kHost);
    Hover(btn);
    EXPECT_EQ(At(5, 5), btn->ColorFocused());
}

TEST_F(FlatSpeedButtonHotTest, InactiveWindowGivesNoHotButton)
{
    form->hide();
    QApplication::setActiveWindow(nullptr);
    QApplication::processEvents();
    form->Show();
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    ASSERT_EQ(TFlatSpeedButton::HotButton(), nullptr);
    Hover(btn);
    EXPECT_EQ(TFlatSpeedButton::HotButton(), nullptr);
    EXPECT_FALSE(btn->MouseInControl());
}

} // namespace
