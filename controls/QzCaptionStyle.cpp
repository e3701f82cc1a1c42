#include "controls/QzCaptionStyle.h"

#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
}

void TQzCaptionStyle::Changed()
{
    if (OnChanged)
        OnChanged(this);
}

void TQzCaptionStyle::SetAngle(int v)
{
    if (v <= 0 || v > 359) {
        angle_ = 0;
    } else if (allowRotation_) {
        if (!orthogonalRotation_)
            angle_ = v;
        else if (v <= 45)
            angle_ = 0;
        else if (v <= 135)
            angle_ = 90;
        else if (v <= 225)
            angle_ = 180;
        else if (v <= 315)
            angle_ = 270;
        else
            angle_ = 0;
    }
    Changed();
}

void TQzCaptionStyle::SetTextStyle(TQzTextStyle v)
{
    if (v == textStyle_)
        return;
    textStyle_ = v;
    Changed();
}

void TQzCaptionStyle::SetShadowColor(TColor v)
{
    if (v == shadowColor_)
        return;
    shadowColor_ = v;
    Changed();
}

void TQzCaptionStyle::SetShadowDepth(int v)
{
    if (v == shadowDepth_)
        return;
    shadowDepth_ = v;
    Changed();
}

void TQzCaptionStyle::SetShadowDirection(TQzShadowDirection v)
{
    if (v == shadowDirection_)
        return;
    shadowDirection_ = v;
    Changed();
}

void TQzCaptionStyle::SetAllowRotation(bool v)
{
    if (v == allowRotation_)
        return;
    allowRotation_ = v;
    if (!v && angle_ != 0)
        SetAngle(0);
}

void TQzCaptionStyle::SetOrthogonalRotation(bool v)
{
    if (v == orthogonalRotation_)
        return;
    orthogonalRotation_ = v;
    if (v)
        SetAngle(angle_);
}

void TQzCaptionStyle::Assign(const TQzCaptionStyle& source)
{
    if (&source != this) {
        angle_ = source.angle_;
        textStyle_ = source.textStyle_;
        shadowColor_ = source.shadowColor_;
        shadowDepth_ = source.shadowDepth_;
        shadowDirection_ = source.shadowDirection_;
        allowRotation_ = source.allowRotation_;
        orthogonalRotation_ = source.orthogonalRotation_;
    }
    Changed();
}

int TQzCaptionStyle::Passes(Pass (&p)[2]) const
{
    switch (textStyle_) {
    case ptsNormal:
        return 0;
    case ptsRaised:
        p[0] = {-1, -1, clBtnHighlight};
        return 1;
    case ptsRaisedHeavy:
        p[0] = {-1, -1, clBtnHighlight};
        p[1] = {1, 1, shadowColor_};
        return 2;
    case ptsSunken:
        p[0] = {1, 1, clBtnHighlight};
        return 1;
    case ptsSunkenHeavy:
        p[0] = {-1, -1, shadowColor_};
        p[1] = {1, 1, clBtnHighlight};
        return 2;
    case ptsShadow: {
        const int d = shadowDepth_;
        switch (shadowDirection_) {
        case psdTopLeft: p[0] = {-d, -d, shadowColor_}; break;
        case psdTopRight: p[0] = {d, -d, shadowColor_}; break;
        case psdBottomLeft: p[0] = {-d, d, shadowColor_}; break;
        case psdBottomRight: p[0] = {d, d, shadowColor_}; break;
        }
        return 1;
    }
    }
    return 0;
}

TSize TQzCaptionStyle::Draw(TCanvas* canvas, const std::string& text, const TFont& font, const TRect& rect,
                            TAlignment alignment, TTextLayout layout, unsigned flags)
{
    if (angle_ != 0 && allowRotation_) {
        Draw3DAngleText(canvas, text, font, rect, alignment, layout);
        return TextExtent(canvas, text, font, rect);
    }
    return Draw3DText(canvas, text, font, rect, alignment, layout, flags);
}

TSize TQzCaptionStyle::TextExtent(TCanvas* canvas, const std::string& text, const TFont& font, const TRect& rect)
{
    return Draw3DText(canvas, text, font, rect, taLeftJustify, tlTop, DT_CALCRECT);
}

TSize TQzCaptionStyle::Draw3DText(TCanvas* canvas, const std::string& text, const TFont& font, const TRect& rect,
                                  TAlignment alignment, TTextLayout layout, unsigned flags)
{
    canvas->Font->Assign(font);
    canvas->Brush->Style = bsClear;
    switch (alignment) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    }
    TRect measured = rect;
    canvas->DrawText(text, measured, flags | DT_CALCRECT);
    TSize size{measured.Width(), measured.Height()};

    TRect d = rect;
    if (layout == tlCenter)
        d.Top += (rect.Height() - size.cy) / 2;
    else if (layout == tlBottom)
        d.Top = rect.Bottom - size.cy;

    Pass passes[2] = {};
    const int count = Passes(passes);
    int extra = 0;
    switch (textStyle_) {
    case ptsNormal: extra = 0; break;
    case ptsRaised: case ptsSunken: extra = 1; break;
    case ptsRaisedHeavy: case ptsSunkenHeavy: extra = 2; break;
    case ptsShadow: extra = shadowDepth_; break;
    }
    if (!(flags & DT_CALCRECT)) {
        for (int i = 0; i < count; ++i) {
            TRect r = d;
            OffsetRect(r, passes[i].dx, passes[i].dy);
            canvas->Font->SetColor(passes[i].color);
            canvas->DrawText(text, r, flags);
        }
        canvas->Font->SetColor(font.Color());
        TRect r = d;
        canvas->DrawText(text, r, flags);
    }
    size.cx += extra;
    size.cy += extra;
    canvas->Brush->Style = bsSolid;
    return size;
}

void TQzCaptionStyle::Draw3DAngleText(TCanvas* canvas, const std::string& text, const TFont& font,
                                      const TRect& rect, TAlignment alignment, TTextLayout layout)
{
    canvas->Font->Assign(font);
    canvas->Font->SetOrientation(0);
    canvas->Brush->Style = bsClear;
    const int a = angle_;
    const double u = std::cos(a * kDegToRad);
    const double v = std::sin(a * kDegToRad);
    const double w = canvas->TextWidth(text);
    const double h = canvas->TextHeight(text);
    auto t = [](double x) { return static_cast<int>(std::trunc(x)); };

    int x = 0;
    switch (alignment) {
    case taLeftJustify:
        x = rect.Left;
        if (a >= 91 && a <= 180)
            x -= t(w * u);
        else if (a >= 181 && a <= 270)
            x = x - t(w * u) - t(h * v);
        else if (a >= 271 && a <= 359)
            x -= t(h * v);
        if (x > rect.Right)
            x = rect.Right;
        break;
    case taRightJustify:
        x = rect.Right;
        if (a <= 90)
            x = x - t(w * u) - t(h * v);
        else if (a <= 180)
            x -= t(h * v);
        else if (a >= 271)
            x -= t(w * u);
        if (x < rect.Left)
            x = rect.Left;
        break;
    case taCenter:
        x = rect.Right / 2 - t(w / 2 * u) - t(h / 2 * v);
        break;
    }
    int y = 0;
    switch (layout) {
    case tlTop:
        y = rect.Top;
        if (a <= 90)
            y += t(w * v);
        else if (a <= 180)
            y = y + t(w * v) - t(h * u);
        else if (a <= 270)
            y -= t(h * u);
        if (y > rect.Bottom)
            y = rect.Bottom;
        break;
    case tlCenter:
        y = rect.Bottom / 2 + t(w / 2 * v) - t(h / 2 * u);
        break;
    case tlBottom:
        y = rect.Bottom;
        if (a <= 90)
            y -= t(h * u);
        else if (a >= 181 && a <= 270)
            y += t(w * v);
        else if (a >= 271)
            y = y + t(w * v) - t(h * u);
        if (y < rect.Top)
            y = rect.Top;
        break;
    }

    Pass passes[2] = {};
    const int count = Passes(passes);
    // Each pass selects a rotated copy of the font for its one output.
    const TFont keep = *canvas->Font;
    auto out = [&](int dx, int dy, TColor color) {
        TFont rotated = keep;
        rotated.SetOrientation(a * 10);
        rotated.SetColor(color);
        canvas->Font->Assign(rotated);
        canvas->TextOut(x + dx, y + dy, text);
        canvas->Font->Assign(keep);
    };
    for (int i = 0; i < count; ++i)
        out(passes[i].dx, passes[i].dy, passes[i].color);
    out(0, 0, font.Color());
    canvas->Brush->Style = bsSolid;
}
