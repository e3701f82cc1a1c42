#include "controls/QzcommonDraw.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/gui/Screens.h"
#include "platform/gui/Services.h"

namespace {

// a * b / c rounded to the nearest integer, halves away from zero; 0 when c is 0.
int MulDiv(int a, int b, int c) {
    if (c == 0)
        return 0;
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

// A copy of `bitmap` with its transparent pixels replaced by `backColor`.
std::unique_ptr<TBitmap> OverBackColor(const TBitmap& bitmap, TColor backColor, TColor transparentColor,
                                       bool useCornerColor) {
    auto out = std::make_unique<TBitmap>(bitmap.Width(), bitmap.Height());
    if (bitmap.Empty())
        return out;
    const TColor key = ColorToRGB(useCornerColor ? bitmap.Pixel(0, 0) : transparentColor);
    const TColor back = ColorToRGB(backColor);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.Pixel(x, y);
            out->SetPixel(x, y, c == key ? back : c);
        }
    }
    return out;
}

TColor Blend(TColor from, TColor to, int i, int steps) {
    from = ColorToRGB(from);
    to = ColorToRGB(to);
    if (steps <= 1)
        return from;
    auto channel = [&](int shift) {
        const int a = static_cast<int>((from >> shift) & 0xFF);
        const int b = static_cast<int>((to >> shift) & 0xFF);
        return static_cast<TColor>(a + MulDiv(b - a, i, steps - 1)) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

}  // namespace

int RectWidth(const TRect& r) { return r.Right - r.Left; }

int RectHeight(const TRect& r) { return r.Bottom - r.Top; }

void DrawTransparentBitmap(TCanvas* canvas, const TBitmap& bitmap, int x, int y, TColor backColor,
                           TColor transparentColor, bool useCornerColor) {
    if (!canvas || bitmap.Empty())
        return;
    canvas->Draw(x, y, *OverBackColor(bitmap, backColor, transparentColor, useCornerColor));
}

void DrawTransparentBitmapRect(TCanvas* canvas, const TBitmap& bitmap, const TRect& r, TColor backColor,
                               TColor transparentColor, bool useCornerColor) {
    if (!canvas || bitmap.Empty())
        return;
    canvas->StretchDraw(r, *OverBackColor(bitmap, backColor, transparentColor, useCornerColor));
}

std::unique_ptr<TBitmap> CreateTwoColorPatternBitmap(int width, int height, TColor color1, TColor color2) {
    auto bmp = std::make_unique<TBitmap>(std::max(width, 0), std::max(height, 0));
    const TColor c1 = ColorToRGB(color1);
    const TColor c2 = ColorToRGB(color2);
    for (int y = 0; y < bmp->Height(); ++y)
        for (int x = 0; x < bmp->Width(); ++x)
            bmp->SetPixel(x, y, (x % 2) == (y % 2) ? c2 : c1);
    return bmp;
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(const TBitmap& bitmap, TColor transparentColor) {
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    auto out = std::make_unique<TBitmap>(w, h);
    if (bitmap.Empty())
        return out;
    out->Canvas()->Brush->Color = clBtnFace;
    out->Canvas()->Brush->Style = bsSolid;
    out->Canvas()->FillRect(Rect(0, 0, w, h));
    // The mask: black where the glyph is, white elsewhere.
    TBitmap mask(w, h);
    const TColor key = ColorToRGB(transparentColor);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask.SetPixel(x, y, bitmap.Pixel(x, y) == key ? clWhite : clBlack);
    out->Canvas()->FillMasked(1, 1, w - 1, h - 1, mask, 0, 0, clBtnHighlight);
    out->Canvas()->FillMasked(0, 0, w, h, mask, 0, 0, clBtnShadow);
    out->Canvas()->Flush();
    return out;
}

std::unique_ptr<TBitmap> CreateTransparentBitmap(const TBitmap& bitmap, TColor backColor, TColor transparentColor,
                                                 bool useCornerColor) {
    return OverBackColor(bitmap, backColor, transparentColor, useCornerColor);
}

std::unique_ptr<TBitmap> CreateGradientBitmap(int width, int height, int steps, TColor colorFrom, TColor colorTo,
                                              TQzGradientStyle style) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    steps = std::max(steps, 1);
    auto bmp = std::make_unique<TBitmap>(width, height);
    TCanvas* c = bmp->Canvas();
    c->Brush->Style = bsSolid;
    for (int i = 0; i < steps; ++i) {
        TRect band;
        TColor color = Blend(colorFrom, colorTo, i, steps);
        switch (style) {
        case tgsLeftRight:
            band = Rect(MulDiv(i, width, steps), 0, MulDiv(i + 1, width, steps), height);
            break;
        case tgsRightLeft:
            band = Rect(width - MulDiv(i + 1, width, steps), 0, width - MulDiv(i, width, steps), height);
            break;
        case tgsTopBottom:
            band = Rect(0, MulDiv(i, height, steps), width, MulDiv(i + 1, height, steps));
            break;
        case tgsBottomTop:
            band = Rect(0, height - MulDiv(i + 1, height, steps), width, height - MulDiv(i, height, steps));
            break;
        case tgsOuterInner:
        case tgsInnerOuter: {
            // Concentric rectangles from the border inwards; each one covers the next band.
            const int dx = MulDiv(i, width / 2, steps);
            const int dy = MulDiv(i, height / 2, steps);
            band = Rect(dx, dy, width - dx, height - dy);
            if (style == tgsInnerOuter)
                color = Blend(colorFrom, colorTo, steps - 1 - i, steps);
            break;
        }
        }
        c->Brush->Color = color;
        c->FillRect(band);
    }
    c->Flush();
    return bmp;
}

std::unique_ptr<TBitmap> CreateGradientBitmapD(int width, int height, int steps, TColor colorFrom, TColor colorTo,
                                               TQzGradientStyle style) {
    return CreateGradientBitmap(width, height, steps, colorFrom, colorTo, style);
}

std::unique_ptr<TBitmap> CreateTiledBitmap(int width, int height, const TBitmap& tile) {
    auto bmp = std::make_unique<TBitmap>(std::max(width, 0), std::max(height, 0));
    if (tile.Empty())
        return bmp;
    for (int y = 0; y < bmp->Height(); y += tile.Height())
        for (int x = 0; x < bmp->Width(); x += tile.Width())
            bmp->Canvas()->Draw(x, y, tile);
    bmp->Canvas()->Flush();
    return bmp;
}

int Confirm(const std::string& caption, const std::string& text) {
    return Services().MessageBox(MessageParent(), text, caption, MB_ICONQUESTION | MB_YESNO);
}

void Warning(const std::string& caption, const std::string& text) {
    Services().MessageBox(MessageParent(), text, caption, MB_ICONEXCLAMATION);
}

void Inform(const std::string& caption, const std::string& text) {
    Services().MessageBox(MessageParent(), text, caption, MB_ICONINFORMATION);
}

void Delay(int milliseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
    do {
        Application()->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < until);
}

void CenterForm(TForm* form, TControl* parent) {
    if (!form)
        return;
    int left, top;
    if (parent) {
        const TPoint origin = parent->ClientToScreen(Point(0, 0));
        left = origin.X + (parent->Width() - form->Width()) / 2;
        top = origin.Y + (parent->Height() - form->Height()) / 2;
    } else {
        left = (ScreenWidth() - form->Width()) / 2;
        top = (ScreenHeight() - form->Height()) / 2;
    }
    form->SetBounds(left, top, form->Width(), form->Height());
}

void Draw3DText(TCanvas* canvas, int x, int y, int depth, const std::string& text, TColor textColor, TColor color2,
                TColor color3, TQzTextStyle style) {
    if (!canvas)
        return;
    const TBrushStyle oldBrush = canvas->Brush->Style;
    const TColor oldColor = canvas->Font->Color();
    const TPoint oldPen = canvas->PenPos();
    canvas->Brush->Style = bsClear;
    auto draw = [&](int dx, int dy, TColor color) {
        canvas->Font->SetColor(color);
        canvas->TextOut(x + dx, y + dy, text);
    };
    if (style == ptsRaised) {
        draw(-depth, -depth, color3);
        draw(depth, depth, color2);
    } else if (style == ptsSunken) {
        draw(-depth, -depth, color2);
        draw(depth, depth, color3);
    }
    draw(0, 0, textColor);
    canvas->Font->SetColor(oldColor);
    canvas->Brush->Style = oldBrush;
    canvas->SetPenPos(oldPen);
}

void Draw3DTextAlign(TCanvas* canvas, const TRect& r, int depth, const std::string& text, TColor textColor,
                     TColor color2, TColor color3, TQzTextStyle style, TAlignment alignment) {
    if (!canvas)
        return;
    const TSize extent = canvas->TextExtent(text);
    int x = r.Left;
    if (alignment == taRightJustify)
        x = r.Right - extent.cx;
    else if (alignment == taCenter)
        x = r.Left + (RectWidth(r) - extent.cx) / 2;
    const int y = r.Top + (RectHeight(r) - extent.cy) / 2;
    Draw3DText(canvas, x, y, depth, text, textColor, color2, color3, style);
}

void Draw3DRect(TCanvas* canvas, const TRect& r, TQzRectStyle style, bool fill) {
    if (!canvas)
        return;
    if (fill)
        canvas->FillRect(r);
    TRect box = r;
    switch (style) {
    case trsFlat:
        Frame3D(canvas, box, clBtnShadow, clBtnShadow, 1);
        break;
    case trsBump:
        DrawEdge(canvas, box, EDGE_BUMP, BF_RECT);
        break;
    case trsEtched:
        DrawEdge(canvas, box, EDGE_ETCHED, BF_RECT);
        break;
    case trsRaised:
        Frame3D(canvas, box, clBtnHighlight, clBtnShadow, 1);
        break;
    case trsSunken:
        Frame3D(canvas, box, clBtnShadow, clBtnHighlight, 1);
        break;
    case trsRaisedHeavy:
        DrawEdge(canvas, box, EDGE_RAISED, BF_RECT);
        break;
    case trsSunkenHeavy:
        DrawEdge(canvas, box, EDGE_SUNKEN, BF_RECT);
        break;
    }
}

namespace {

// The published properties of a platform font, in the values' own terms.
class FontProps : public TPublishedObject {
public:
    explicit FontProps(TFont& font) : font_(font) {}
    std::vector<TPublishedProp> PublishedProperties() override {
        // The names, kinds and types of a font's properties, with accessors of this font.
        TFontValues layout;
        std::vector<TPublishedProp> props = layout.PublishedProperties();
        props[0].GetOrd = [this] { return font_.CharSet; };
        props[0].SetOrd = [this](int64_t v) { font_.CharSet = static_cast<int>(v & 0xFF); };
        props[1].GetOrd = [this] { return static_cast<int32_t>(font_.Color()); };
        props[1].SetOrd = [this](int64_t v) { font_.SetColor(static_cast<TColor>(v)); };
        props[2].GetOrd = [this] { return font_.Height(); };
        props[2].SetOrd = [this](int64_t v) { font_.SetHeight(static_cast<int>(v)); };
        props[3].GetStr = [this] { return font_.Name(); };
        props[3].SetStr = [this](const std::string& v) { font_.SetName(v); };
        props[4].GetOrd = [this] { return static_cast<int>(font_.Pitch()); };
        // A pitch name that is not known gives the default pitch, never an invalid value.
        props[4].SetOrd = [this](int64_t v) {
            font_.SetPitch(v >= fpDefault && v <= fpFixed ? static_cast<TFontPitch>(v) : fpDefault);
        };
        props[5].GetOrd = [this] { return font_.Size(); };
        props[5].SetOrd = [this](int64_t v) { font_.SetSize(static_cast<int>(v)); };
        props[6].GetOrd = [this] { return font_.Style(); };
        props[6].SetOrd = [this](int64_t v) { font_.SetStyle(static_cast<TFontStyles>(v & 0x0F)); };
        return props;
    }

private:
    TFont& font_;
};

class StringsProps : public TPublishedObject {
public:
    bool IsStrings() const override { return true; }
    std::vector<TPublishedProp> PublishedProperties() override { return {}; }
};

}  // namespace

std::string GetClassProp(TFont& font) {
    FontProps props(font);
    return GetClassProp(static_cast<TPublishedObject&>(props));
}

void SetClassProp(TFont& font, const std::string& text) {
    FontProps props(font);
    SetClassProp(static_cast<TPublishedObject&>(props), text);
}

std::string GetClassProp(TStringList&) {
    StringsProps props;
    return GetClassProp(static_cast<TPublishedObject&>(props));
}

void SetClassProp(TStringList&, const std::string& text) {
    StringsProps props;
    SetClassProp(static_cast<TPublishedObject&>(props), text);
}
