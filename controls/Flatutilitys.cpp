#include "controls/Flatutilitys.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "controls/Hslutils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"

TColor CalcAdvancedColor(TColor color, TColor defaultColor, TAdvColors percent, TColorCalcType calcType)
{
    if (percent == 0)
        return defaultColor;
    int h, s, l;
    RGBtoHSLRange(ColorToRGB(color), h, s, l);
    l += 10;
    // Lightening is capped at the top of the scale: capping it lower would turn a light base
    // colour darker instead of lighter.
    if (calcType == darken)
        l = std::max(0, l - percent);
    else
        l = std::min(HSLRange, l + percent);
    return HSLRangeToRGB(h, s, l);
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(const TBitmap& source, TColor outlineColor, TColor backColor,
                                              TColor highlightColor, TColor shadowColor, bool drawHighlight)
{
    const int w = source.Width();
    const int h = source.Height();

    TBitmap mono;
    mono.Assign(source);
    if (mono.Monochrome()) {
        mono.Canvas()->Font->SetColor(clWhite);
        mono.Canvas()->Brush->Color = clWhite;
        mono.SetMonochrome(false);
    }
    // Pixels of the outline colour become white in the mask, all others black.
    mono.Canvas()->Brush->Color = outlineColor;
    mono.SetMonochrome(true);

    auto result = std::make_unique<TBitmap>(w, h);
    TCanvas* c = result->Canvas();
    c->Brush->Color = backColor;
    c->Brush->Style = bsSolid;
    c->FillRect(Rect(0, 0, w, h));
    if (drawHighlight) {
        c->Brush->Color = highlightColor;
        c->BitBlt(1, 1, w, h, mono, 0, 0, ROP_DSPDxax);
    }
    c->Brush->Color = shadowColor;
    c->BitBlt(0, 0, w, h, mono, 0, 0, ROP_DSPDxax);
    c->Flush();
    return result;
}

void CalcButtonLayoutExtent(const TRect& client, const TPoint& offset, TButtonLayout layout, int spacing,
                            int margin, int gw, int gh, int tw, int th, TRect& textBounds, TPoint& glyphPos)
{
    const int cw = client.Width();
    const int ch = client.Height();
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    TPoint glyph;
    TPoint text;
    if (horizontal) {
        glyph.Y = (ch - gh + 1) / 2;
        text.Y = (ch - th + 1) / 2;
    } else {
        glyph.X = (cw - gw + 1) / 2;
        text.X = (cw - tw + 1) / 2;
    }
    if (tw == 0 || gw == 0)
        spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = horizontal ? (cw - (gw + tw)) / 3 : (ch - (gh + th)) / 3;
            spacing = margin;
        } else {
            margin = horizontal ? (cw - (gw + spacing + tw) + 1) / 2 : (ch - (gh + spacing + th) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = horizontal ? ((cw - (margin + gw)) - tw) / 2 : ((ch - (margin + gh)) - th) / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        glyph.X = margin;
        text.X = glyph.X + gw + spacing;
        break;
    case blGlyphRight:
        glyph.X = cw - margin - gw;
        text.X = glyph.X - spacing - tw;
        break;
    case blGlyphTop:
        glyph.Y = margin;
        text.Y = glyph.Y + gh + spacing;
        break;
    case blGlyphBottom:
        glyph.Y = ch - margin - gh;
        text.Y = glyph.Y - spacing - th;
        break;
    }
    glyphPos = Point(glyph.X + client.Left + offset.X, glyph.Y + client.Top + offset.Y);
    textBounds = Bounds(text.X + client.Left + offset.X, text.Y + client.Top + offset.Y, tw, th);
}

void CalcButtonLayout(TCanvas* canvas, const TRect& client, const TPoint& offset, TButtonLayout layout,
                      int spacing, int margin, const TBitmap* glyph, int numGlyphs, const std::string& caption,
                      TRect& textBounds, TPoint& glyphPos)
{
    int gw = 0, gh = 0;
    if (glyph != nullptr && !glyph->Empty()) {
        gw = glyph->Width() / std::max(1, numGlyphs);
        gh = glyph->Height();
    }
    int tw = 0, th = 0;
    if (!caption.empty()) {
        TRect r = Rect(0, 0, client.Width(), 0);
        canvas->DrawText(caption, r, DT_CALCRECT | DT_SINGLELINE);
        tw = r.Width();
        th = r.Height();
    }
    CalcButtonLayoutExtent(client, offset, layout, spacing, margin, gw, gh, tw, th, textBounds, glyphPos);
}

void GetFontMetrics(const TFont& font, TTextMetric& metrics)
{
    TCanvas measure;
    measure.Font->Assign(font);
    metrics.tmAscent = measure.FontAscent();
    metrics.tmDescent = measure.FontDescent();
    metrics.tmHeight = metrics.tmAscent + metrics.tmDescent;
    metrics.tmInternalLeading = measure.InternalLeading();
    metrics.tmAveCharWidth = measure.AverageCharWidth();
    metrics.tmMaxCharWidth = measure.MaxCharWidth();
}

int GetFontHeight(const TFont& font)
{
    TTextMetric tm;
    GetFontMetrics(font, tm);
    return static_cast<int>(std::nearbyint(tm.tmHeight + tm.tmHeight / 8.0));
}

bool RectInRect(const TRect& r1, const TRect& r2)
{
    TRect overlap;
    return IntersectRect(overlap, r1, r2);
}

Word Min(Word a, Word b) { return a < b ? a : b; }

void DrawParentImage(TControl* control, TCanvas* canvas)
{
    QWidget* parent = control->parentWidget();
    if (parent == nullptr)
        return;
    QPainter* painter = canvas->Painter();
    if (painter == nullptr)
        return;
    painter->save();
    painter->translate(-control->x(), -control->y());
    painter->setClipRect(parent->rect(), Qt::IntersectClip);
    parent->render(painter, QPoint(), QRegion(parent->rect()), QWidget::DrawWindowBackground);
    painter->restore();
}
