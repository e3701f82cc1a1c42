// The transparent button painted on a green host and driven by synthetic mouse events.
#include <gtest/gtest.h>

#include "ButtonTestSupport.h"
#include "controls/TransBtn.h"

namespace {

constexpr TColor kHost = 0x00FF00;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

class TransBtnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureButtonTestApp();
        host = new TButtonHost(kHost);
        btn = new TTransparentButton(host);
        btn->SetBounds(10, 10, 40, 40);
    }
    void TearDown() override { delete host; }

    // Host pixel at button coordinates (x, y).
    TColor At(int x, int y) { return PixelAt(host->PaintToImage(), 10 + x, 10 + y); }
    // The glyph centred in the 40 x 40 button starts at (12, 12); its square at (16, 16).
    TColor GlyphSquare() { return At(18, 18); }

    TButtonHost* host = nullptr;
    TTransparentButton* btn = nullptr;
};

TEST_F(TransBtnTest, GlyphStripSetsNumGlyphs)
{
    TBitmap g;
    MakeGlyph(g, {kRed, kBlue, kRed, kBlue});
    btn->SetGlyph(g);
    EXPECT_EQ(btn->NumGlyphs(), 4);
    EXPECT_EQ(btn->Images().Count(), 6); // four images, the grey one and the disabled one
    EXPECT_EQ(btn->Images().Width(), 16);

    MakeGlyph(g, {kRed, kRed, kRed, kRed, kRed}); // five squares: one image
    btn->SetGlyph(g);
    EXPECT_EQ(btn->NumGlyphs(), 1);
    EXPECT_EQ(btn->Images().Count(), 3);
    EXPECT_EQ(btn->Images().Width(), 80);

    btn->SetNumGlyphs(2);
    TBitmap odd;
    odd.SetSize(50, 16); // not a whole multiple of its height: the count stays
    btn->SetGlyph(odd);
    EXPECT_EQ(btn->NumGlyphs(), 2);
    EXPECT_EQ(btn->Images().Width(), 25);
}

TEST_F(TransBtnTest, ExplorerStyleShowsGreyGlyphAndNoFrameUntilHot)
{
    TBitmap g;
    MakeGlyph(g, {kRed});
    btn->SetGlyph(g);
    const int grey = 11 * 255 / 100;
    EXPECT_EQ(GlyphSquare(), RGB(grey, grey, grey));
    EXPECT_EQ(At(0, 0), kHost);
    EXPECT_EQ(At(2, 2), kHost); // the glyph's key colour is transparent

    Enter(btn);
    EXPECT_TRUE(btn->Hot());
    EXPECT_EQ(GlyphSquare(), kRed);
    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(39, 39), ColorToRGB(clBtnShadow));

    Press(btn, 20, 20);
    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(19, 19), kRed); // the glyph moved by (1, 1)
    EXPECT_EQ(At(12 + 4, 12 + 4), kHost);
    Release(btn, 20, 20);

    Leave(btn);
    EXPECT_FALSE(btn->Hot());
    EXPECT_EQ(GlyphSquare(), RGB(grey, grey, grey));
    EXPECT_EQ(At(0, 0), kHost);

    btn->SetAutoGray(false);
    EXPECT_EQ(GlyphSquare(), kRed);
}

TEST_F(TransBtnTest, DisabledGlyphIsEmbossedOrTheSecondImage)
{
    TBitmap g;
    MakeGlyph(g, {kRed});
    btn->SetGlyph(g);
    btn->SetEnabled(false);
    EXPECT_EQ(GlyphSquare(), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(12 + 12, 12 + 12), ColorToRGB(clBtnHighlight)); // the highlight one pixel down-right
    EXPECT_EQ(At(12 + 2, 12 + 2), kHost);

    MakeGlyph(g, {kRed, kBlue});
    btn->SetGlyph(g);
    btn->SetFrameStyle(fsLight);
    EXPECT_EQ(btn->NumGlyphs(), 2);
    EXPECT_EQ(GlyphSquare(), kBlue);
    btn->SetEnabled(true);
    EXPECT_EQ(GlyphSquare(), kRed);
}

TEST_F(TransBtnTest, PressCycleFiresEachEventOnce)
{
    btn->SetFrameStyle(fsLight);
    int downs = 0, moves = 0, ups = 0, clicks = 0;
    btn->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    btn->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
    btn->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    btn->OnClick = [&](TObject*) { ++clicks; };

    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnHighlight)); // fsLight: raised frame always
    Press(btn, 5, 5);
    EXPECT_TRUE(btn->DrawnPressed());
    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnShadow));
    Move(btn, 60, 5);
    EXPECT_FALSE(btn->DrawnPressed());
    Move(btn, 6, 6);
    EXPECT_TRUE(btn->DrawnPressed());
    Release(btn, 6, 6);
    EXPECT_FALSE(btn->DrawnPressed());
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(clicks, 1);

    // Released outside: up again, no click.
    Press(btn, 5, 5);
    Move(btn, 60, 5);
    Release(btn, 60, 5);
    EXPECT_FALSE(btn->DrawnPressed());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ups, 2);

    // A second press while one is in progress is ignored.
    Press(btn, 5, 5);
    Press(btn, 5, 5);
    EXPECT_EQ(downs, 4 - 1);
    Release(btn, 5, 5);
}

TEST_F(TransBtnTest, DownButtonStaysDrawnPressed)
{
    btn->SetFrameStyle(fsLight);
    int ups = 0;
    btn->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    btn->SetDown(true);
    EXPECT_TRUE(btn->DrawnPressed());
    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnShadow));

    Press(btn, 5, 5);
    Release(btn, 5, 5);
    EXPECT_TRUE(btn->DrawnPressed());
    EXPECT_EQ(ups, 0);

    // Dragged off and released: still drawn down.
    Press(btn, 5, 5);
    Move(btn, 80, 80);
    EXPECT_FALSE(btn->DrawnPressed());
    Release(btn, 80, 80);
    EXPECT_TRUE(btn->DrawnPressed());
    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnShadow));

    btn->SetDown(false);
    EXPECT_FALSE(btn->DrawnPressed());
    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnHighlight));
}

TEST_F(TransBtnTest, NoneStyleNeverDrawsAFrame)
{
    btn->SetFrameStyle(fsNone);
    Enter(btn);
    EXPECT_EQ(At(0, 0), kHost);
    EXPECT_EQ(At(39, 39), kHost);
    Press(btn, 5, 5);
    EXPECT_EQ(At(0, 0), kHost);
    EXPECT_EQ(At(39, 39), kHost);
    Release(btn, 5, 5);
}

TEST_F(TransBtnTest, RegularAndIndentFrames)
{
    btn->SetFrameStyle(fsRegular);
    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(39, 39), ColorToRGB(clBlack));
    EXPECT_EQ(At(38, 38), ColorToRGB(clBtnShadow));
    Press(btn, 5, 5);
    EXPECT_EQ(At(0, 0), ColorToRGB(clBlack));
    EXPECT_EQ(At(1, 1), ColorToRGB(clBtnShadow));
    Release(btn, 5, 5);

    btn->SetFrameStyle(fsIndent);
    EXPECT_EQ(At(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(39, 39), ColorToRGB(clBtnHighlight));
}

TEST_F(TransBtnTest, OpaqueButtonFillsWithItsFace)
{
    btn->SetColor(0x00FFFF);
    btn->SetTransparent(false);
    EXPECT_EQ(At(5, 5), 0x00FFFFu);
    btn->SetTransparent(true);
    EXPECT_EQ(At(5, 5), kHost);
}

TEST_F(TransBtnTest, TextStandsWhereTextAlignSays)
{
    btn->SetBounds(10, 10, 100, 40);
    btn->Font()->SetColor(clBlack);
    btn->Font()->SetHeight(-14);
    btn->SetCaption("WW");
    auto darkIn = [&](int x0, int x1) {
        const QImage img = host->PaintToImage();
        for (int y = 10; y < 50; ++y)
            for (int x = 10 + x0; x < 10 + x1; ++x)
                if (PixelAt(img, x, y) == clBlack)
                    return true;
        return false;
    };
    btn->SetFrameStyle(fsNone);
    btn->SetTextAlign(ttaLeft);
    EXPECT_TRUE(darkIn(0, 40));
    EXPECT_FALSE(darkIn(60, 100));
    btn->SetTextAlign(ttaRight);
    EXPECT_FALSE(darkIn(0, 40));
    EXPECT_TRUE(darkIn(60, 100));
}

TEST_F(TransBtnTest, AcceleratorWorksOnlyWhileEnabled)
{
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    btn->SetCaption("&Save");
    EXPECT_TRUE(btn->DialogChar('s'));
    EXPECT_FALSE(btn->DialogChar('a'));
    btn->SetEnabled(false);
    EXPECT_FALSE(btn->DialogChar('S'));
    EXPECT_EQ(clicks, 1);
}

TEST_F(TransBtnTest, DisablingEndsAPressAndTheHotLook)
{
    Enter(btn);
    Press(btn, 5, 5);
    btn->SetEnabled(false);
    EXPECT_FALSE(btn->DrawnPressed());
    EXPECT_FALSE(btn->Hot());
    btn->SetEnabled(true);
    int ups = 0;
    btn->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    Release(btn, 5, 5); // the press was cancelled
    EXPECT_EQ(ups, 0);
}

TEST_F(TransBtnTest, MovableButtonFollowsTheDrag)
{
    btn->SetMovable(true);
    Press(btn, 5, 5);
    Move(btn, 15, 25);
    EXPECT_EQ(btn->Left(), 20);
    EXPECT_EQ(btn->Top(), 30);
    EXPECT_TRUE(btn->DrawnPressed());
    Release(btn, 5, 5);
    EXPECT_EQ(btn->Left(), 20);
}

} // namespace

#include <QMenu>
#include <QTimer>

namespace {

TEST_F(TransBtnTest, PopupMenuOpensOnPressAndTheButtonComesUpAfterIt)
{
    auto* menu = new QMenu();
    menu->addAction(QStringLiteral("item"));
    btn->SetPopUpMenu(menu);
    int ups = 0;
    bool shown = false;
    btn->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    QTimer::singleShot(0, menu, [&] {
        shown = menu->isVisible();
        menu->close();
    });
    Press(btn, 5, 5);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(btn->DrawnPressed());
    EXPECT_EQ(ups, 1);
    Release(btn, 5, 5); // the real release after the menu: no second up
    EXPECT_EQ(ups, 1);

    delete menu;
    EXPECT_EQ(btn->PopUpMenu(), nullptr);
}

} // namespace
