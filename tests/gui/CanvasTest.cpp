#include <gtest/gtest.h>

#include "platform/core/Cp949.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/QtText.h"

namespace {

// A white bitmap of the given size.
struct Surface {
    TBitmap bmp;
    Surface(int w, int h) : bmp(w, h) {}
    TCanvas* c() { return bmp.Canvas(); }
    TColor at(int x, int y) { return bmp.Pixel(x, y); }
};

int CountColor(TBitmap& b, TColor c, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1)
{
    if (x1 < 0) x1 = b.Width();
    if (y1 < 0) y1 = b.Height();
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += b.Pixel(x, y) == c;
    return n;
}

}  // namespace

TEST(Color, SystemColoursResolveThroughTheFixedTable)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), clWhite);
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(128, 128, 128));
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(0x80000000u + 200), 0u);  // outside the table
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(FromQColor(QColor(1, 2, 3)), RGB(1, 2, 3));
}

TEST(QtText, Cp949RoundTripAndBadBytes)
{
    const std::string han = Cp949("한글 ABC");
    EXPECT_EQ(Cp949ToQString(han), QString::fromUtf8("한글 ABC"));
    EXPECT_EQ(QStringToCp949(QString::fromUtf8("메시지")), Cp949("메시지"));
    // A lead byte at the end and an invalid pair become U+FFFD without losing the rest.
    EXPECT_EQ(Cp949ToQString(std::string("A\xB0", 2)), QString::fromUtf8("A\xEF\xBF\xBD"));
    EXPECT_EQ(Cp949ToQString(std::string("\x81\x20" "B", 3)), QString::fromUtf8("\xEF\xBF\xBD B"));
    EXPECT_EQ(Cp949CharLength(han, 0), 2);
    EXPECT_EQ(Cp949CharLength(std::string("\xB0"), 0), 1);
}

TEST(Canvas, LinesLeaveOutTheirEndPixel)
{
    Surface s(20, 20);
    s.c()->Pen->Color = clBlack;
    s.c()->MoveTo(2, 5);
    s.c()->LineTo(10, 5);
    EXPECT_EQ(s.at(2, 5), clBlack);
    EXPECT_EQ(s.at(9, 5), clBlack);
    EXPECT_EQ(s.at(10, 5), clWhite);
    EXPECT_EQ(s.c()->PenPos(), Point(10, 5));
    s.c()->LineTo(10, 12);  // vertical, from the pen position
    EXPECT_EQ(s.at(10, 5), clBlack);
    EXPECT_EQ(s.at(10, 11), clBlack);
    EXPECT_EQ(s.at(10, 12), clWhite);
    // A diagonal covers one pixel per step, its end excluded.
    s.c()->MoveTo(0, 0);
    s.c()->LineTo(4, 4);
    EXPECT_EQ(s.at(3, 3), clBlack);
    EXPECT_EQ(s.at(4, 4), clWhite);
}

TEST(Canvas, RectanglesCoverLeftTopButNotRightBottom)
{
    Surface s(20, 20);
    TCanvas* c = s.c();
    c->Brush->Color = clRed;
    c->FillRect(Rect(2, 2, 6, 5));
    EXPECT_EQ(CountColor(s.bmp, clRed), 4 * 3);
    EXPECT_EQ(s.at(5, 4), clRed);
    EXPECT_EQ(s.at(6, 4), clWhite);

    c->Brush->Color = clBlue;
    c->FrameRect(Rect(10, 10, 15, 14));
    EXPECT_EQ(s.at(10, 10), clBlue);
    EXPECT_EQ(s.at(14, 13), clBlue);
    EXPECT_EQ(s.at(12, 12), clWhite);  // inside untouched
    EXPECT_EQ(s.at(15, 13), clWhite);

    Surface t(10, 10);
    t.c()->Pen->Color = clBlack;
    t.c()->Brush->Color = clLime;
    t.c()->Rectangle(1, 1, 6, 6);
    EXPECT_EQ(t.at(1, 1), clBlack);
    EXPECT_EQ(t.at(5, 5), clBlack);
    EXPECT_EQ(t.at(6, 5), clWhite);
    EXPECT_EQ(t.at(3, 3), clLime);
    EXPECT_EQ(CountColor(t.bmp, clLime), 3 * 3);
    // Without a pen the fill is one pixel smaller on the right and bottom.
    Surface u(10, 10);
    u.c()->Pen->Style = psClear;
    u.c()->Brush->Color = clLime;
    u.c()->Rectangle(0, 0, 5, 5);
    EXPECT_EQ(CountColor(u.bmp, clLime), 4 * 4);
}

TEST(Canvas, Frame3DDrawsNestedFramesAndShrinksTheRectangle)
{
    Surface s(10, 8);
    TRect r = Rect(0, 0, 10, 8);
    Frame3D(s.c(), r, clRed, clBlue, 2);
    EXPECT_EQ(r, Rect(2, 2, 8, 6));
    EXPECT_EQ(s.at(0, 0), clRed);
    EXPECT_EQ(s.at(9, 0), clBlue);   // top-right corner belongs to the bottom-right colour
    EXPECT_EQ(s.at(0, 7), clBlue);   // bottom-left too
    EXPECT_EQ(s.at(1, 1), clRed);
    EXPECT_EQ(s.at(8, 6), clBlue);
    EXPECT_EQ(s.at(2, 2), clWhite);
}

TEST(Canvas, TextOutPutsTheTopOfTheCellAtY)
{
    Surface s(120, 40);
    TCanvas* c = s.c();
    c->Font->SetHeight(-12);
    c->Font->SetColor(clRed);
    c->Brush->Style = bsClear;
    c->TextOut(5, 10, "HWH");
    int top = -1, bottom = -1;
    for (int y = 0; y < 40; ++y)
        if (CountColor(s.bmp, clRed, 0, y, 120, y + 1) > 0) {
            if (top < 0) top = y;
            bottom = y;
        }
    ASSERT_GE(top, 10);
    EXPECT_LT(bottom, 10 + c->TextHeight("H"));
    EXPECT_EQ(c->PenPos().X, 5 + c->TextWidth("HWH"));
    // Only pure red: no antialiased edge colours.
    int other = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            other += s.at(x, y) != clRed && s.at(x, y) != clWhite;
    EXPECT_EQ(other, 0);
    // A solid brush fills the text cell.
    Surface o(120, 40);
    o.c()->Brush->Color = clBlue;
    o.c()->TextOut(0, 0, "A");
    EXPECT_EQ(o.at(0, 0), clBlue);
}

TEST(Canvas, TextOutAdvancesPlacesEachByteCell)
{
    Surface s(200, 30);
    TCanvas* c = s.c();
    c->Font->SetHeight(-12);
    c->Font->SetColor(clBlack);
    c->Brush->Style = bsClear;
    const std::string text = Cp949("가") + "i";
    std::vector<int> adv(text.size(), 20);
    c->TextOutAdvances(0, 0, 0, nullptr, text, adv.data());
    // The double-byte character takes two cells (0..39); "i" starts at 40.
    EXPECT_EQ(CountColor(s.bmp, clBlack, 40, 0, 200, 30) > 0, true);
    EXPECT_EQ(CountColor(s.bmp, clBlack, 0, 0, 40, 30) > 0, true);
    EXPECT_EQ(CountColor(s.bmp, clBlack, 60, 0, 200, 30), 0);
    EXPECT_EQ(c->PenPos().X, 60);
    // Opaque fills the rectangle with the brush colour; clipping keeps the text inside it.
    Surface o(100, 30);
    o.c()->Brush->Color = clYellow;
    TRect r = Rect(0, 0, 30, 20);
    o.c()->TextOutAdvances(0, 0, ETO_OPAQUE | ETO_CLIPPED, &r, "WWWWWW", nullptr);
    EXPECT_EQ(o.at(29, 19), clYellow);
    EXPECT_EQ(CountColor(o.bmp, clBlack, 30, 0, 100, 30), 0);
}

TEST(Canvas, InvertAndRasterOperations)
{
    Surface s(4, 1);
    s.bmp.SetPixel(0, 0, RGB(0x10, 0x20, 0x30));
    s.c()->InvertRect(Rect(0, 0, 2, 1));
    EXPECT_EQ(s.at(0, 0), RGB(0xEF, 0xDF, 0xCF));
    EXPECT_EQ(s.at(1, 0), clBlack);
    EXPECT_EQ(s.at(2, 0), clWhite);

    // SRCAND: destination AND source.
    TBitmap src(2, 1);
    src.SetPixel(0, 0, RGB(0x0F, 0xF0, 0xFF));
    src.SetPixel(1, 0, clBlack);
    Surface d(2, 1);
    d.bmp.SetPixel(0, 0, RGB(0x3C, 0x3C, 0x3C));
    d.c()->BitBlt(0, 0, 2, 1, src, 0, 0, SRCAND);
    EXPECT_EQ(d.at(0, 0), RGB(0x0C, 0x30, 0x3C));
    EXPECT_EQ(d.at(1, 0), clBlack);

    // 0x00E20746: the brush where the source is white, the destination where it is black.
    TBitmap mask(3, 1);
    mask.SetPixel(0, 0, clWhite);
    mask.SetPixel(1, 0, clBlack);
    mask.SetPixel(2, 0, clWhite);
    Surface e(3, 1);
    e.c()->Brush->Color = clRed;
    e.bmp.SetPixel(1, 0, clBlue);
    e.c()->BitBlt(0, 0, 3, 1, mask, 0, 0, ROP_DSPDxax);
    EXPECT_EQ(e.at(0, 0), clRed);
    EXPECT_EQ(e.at(1, 0), clBlue);
    EXPECT_EQ(e.at(2, 0), clRed);

    // FillMasked paints where the mask is black.
    Surface f(3, 1);
    f.c()->FillMasked(0, 0, 3, 1, mask, 0, 0, clGreen);
    EXPECT_EQ(f.at(0, 0), clWhite);
    EXPECT_EQ(f.at(1, 0), clGreen);
}

TEST(Bitmap, TransparentDrawMonochromeAndResize)
{
    TBitmap glyph(3, 2);
    glyph.Canvas()->Brush->Color = clFuchsia;
    glyph.Canvas()->FillRect(Rect(0, 0, 3, 2));
    glyph.SetPixel(1, 0, clRed);
    glyph.Transparent = true;  // tmAuto: the bottom-left pixel's colour
    EXPECT_EQ(glyph.TransparentColor(), clFuchsia);
    Surface s(5, 5);
    s.c()->Brush->Color = clBlue;
    s.c()->FillRect(Rect(0, 0, 5, 5));
    s.c()->Draw(1, 1, glyph);
    EXPECT_EQ(s.at(2, 1), clRed);
    EXPECT_EQ(s.at(1, 1), clBlue);  // transparent pixel keeps the destination

    glyph.Canvas()->Brush->Color = clFuchsia;
    glyph.SetMonochrome(true);
    EXPECT_EQ(glyph.Pixel(0, 0), clWhite);
    EXPECT_EQ(glyph.Pixel(1, 0), clBlack);

    int changes = 0;
    TBitmap b;
    b.OnChange = [&](TObject*) { ++changes; };
    b.SetSize(4, 4);
    b.Canvas()->Brush->Color = clRed;
    b.Canvas()->FillRect(Rect(0, 0, 4, 4));
    b.SetSize(6, 6);  // old pixels stay, new ones are white
    EXPECT_EQ(b.Pixel(3, 3), clRed);
    EXPECT_EQ(b.Pixel(5, 5), clWhite);
    EXPECT_EQ(changes, 2);
}

TEST(ImageList, StripsMasksAndDisabledDrawing)
{
    TBitmap strip(8, 4);
    strip.Canvas()->Brush->Color = clFuchsia;
    strip.Canvas()->FillRect(Rect(0, 0, 8, 4));
    strip.Canvas()->Brush->Color = clBlack;
    strip.Canvas()->FillRect(Rect(1, 1, 3, 3));   // image 0
    strip.Canvas()->Brush->Color = clRed;
    strip.Canvas()->FillRect(Rect(4, 0, 8, 4));   // image 1, all red
    TImageList list(nullptr, 4, 4);
    EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    Surface s(10, 10);
    s.c()->Brush->Color = clBlue;
    s.c()->FillRect(Rect(0, 0, 10, 10));
    list.Draw(s.c(), 0, 0, 0);
    EXPECT_EQ(s.at(0, 0), clBlue);    // masked
    EXPECT_EQ(s.at(1, 1), clBlack);
    list.Draw(s.c(), 5, 5, 0, false);  // embossed: shadow in place, highlight offset
    EXPECT_EQ(s.at(6, 6), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.at(8, 8), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(s.at(5, 5), clBlue);
    list.Draw(s.c(), 0, 0, 7);  // a bad index draws nothing
    TBitmap out;
    EXPECT_TRUE(list.GetBitmap(1, out));
    EXPECT_EQ(out.Pixel(0, 0), clRed);
    EXPECT_FALSE(list.GetBitmap(2, out));
}

TEST(Canvas, ClippingAndOrigin)
{
    Surface s(10, 10);
    TCanvas* c = s.c();
    c->Brush->Color = clRed;
    c->SaveState();
    c->IntersectClipRect(Rect(2, 2, 5, 5));
    c->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(CountColor(s.bmp, clRed), 9);
    c->RestoreState();
    c->ExcludeClipRect(Rect(0, 0, 10, 9));
    c->Brush->Color = clBlue;
    c->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(CountColor(s.bmp, clBlue), 10);
    c->ResetClip();
    c->SetOrigin(3, 0);
    c->SetPixel(0, 0, clLime);
    EXPECT_EQ(s.at(3, 0), clLime);
    EXPECT_EQ(c->Pixel(0, 0), clLime);
}

TEST(Font, SizeHeightAndSubstitutes)
{
    TFont f;
    f.SetSize(9);
    EXPECT_EQ(f.Height(), -12);
    EXPECT_EQ(f.Size(), 9);
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetColor(clRed);
    f.SetColor(clRed);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(TFont::SubstituteFace(Cp949("굴림체"), fpDefault), QStringLiteral("NanumGothicCoding"));
    EXPECT_EQ(TFont::SubstituteFace("Courier New", fpDefault), QStringLiteral("NanumGothicCoding"));
    EXPECT_EQ(TFont::SubstituteFace(Cp949("굴림"), fpDefault), QStringLiteral("NanumGothic"));
    EXPECT_EQ(TFont::SubstituteFace("Tahoma", fpFixed), QStringLiteral("NanumGothicCoding"));
    EXPECT_EQ(f.ToQFont().pixelSize(), 12);
}

TEST(Canvas, DrawTextMeasuresAlignsAndClips)
{
    Surface s(100, 30);
    TCanvas* c = s.c();
    c->Font->SetHeight(-12);
    c->Font->SetColor(clBlack);
    c->Brush->Style = bsClear;
    TRect calc = Rect(5, 5, 5, 5);
    const int h = c->DrawText("Hello", calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.Width(), c->TextWidth("Hello"));
    EXPECT_EQ(h, c->TextHeight("Hello"));
    EXPECT_EQ(CountColor(s.bmp, clBlack), 0);  // measuring draws nothing

    TRect r = Rect(0, 0, 100, 30);
    c->DrawText("ii", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const int w = c->TextWidth("ii");
    EXPECT_EQ(CountColor(s.bmp, clBlack, 0, 0, (100 - w) / 2 - 1, 30), 0);
    EXPECT_EQ(CountColor(s.bmp, clBlack, (100 + w) / 2 + 1, 0, 100, 30), 0);
    EXPECT_GT(CountColor(s.bmp, clBlack), 0);

    Surface t(100, 30);
    TRect small = Rect(0, 0, 10, 30);
    t.c()->Font->SetColor(clBlack);
    t.c()->Brush->Style = bsClear;
    t.c()->DrawText("WWWWWWWW", small, DT_SINGLELINE);
    EXPECT_EQ(CountColor(t.bmp, clBlack, 10, 0, 100, 30), 0);
}

TEST(Canvas, RaisedEdgeColoursAndAdjust)
{
    Surface s(10, 10);
    TRect r = Rect(0, 0, 10, 10);
    DrawEdge(s.c(), r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, Rect(2, 2, 8, 8));
    EXPECT_EQ(s.at(0, 5), ColorToRGB(cl3DLight));
    EXPECT_EQ(s.at(9, 5), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(s.at(1, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(s.at(8, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.at(5, 5), clWhite);
    TRect top = Rect(0, 0, 10, 10);
    Surface t(10, 10);
    DrawEdge(t.c(), top, EDGE_SUNKEN, BF_TOP);
    EXPECT_EQ(t.at(5, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(t.at(0, 5), clWhite);
    EXPECT_EQ(top, Rect(0, 0, 10, 10));  // no BF_ADJUST
}
