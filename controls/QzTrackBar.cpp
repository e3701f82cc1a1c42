#include "controls/QzTrackBar.h"

#include <cmath>
#include <string>

TQzTrackBar::TQzTrackBar(QWidget* parent, TComponent* owner) : TCustomControl(parent, owner)
{
    SetOpaque(true);
    SetBounds(Left(), Top(), 150, 24);
    backBitmap_.OnChange = [this](TObject*) { Invalidate(); };
    tumbBitmap_.OnChange = [this](TObject*) { Invalidate(); };
    CalcTravel();
    CalcTrackRect();
    PositionFromValue();
}

TQzTrackBar::~TQzTrackBar()
{
    backBitmap_.OnChange = nullptr;
    tumbBitmap_.OnChange = nullptr;
}

void TQzTrackBar::Changed() { Invalidate(); }

void TQzTrackBar::CalcTravel()
{
    if (orientation_ == vxrHorizontal) {
        thumbMin_ = tumbWidth_ / 2 + 5;
        thumbMax_ = Width() - thumbMin_;
    } else {
        thumbMin_ = tumbHeight_ / 2 + 5;
        thumbMax_ = Height() - thumbMin_;
    }
}

void TQzTrackBar::CalcTrackRect()
{
    const int w = Width(), h = Height();
    if (orientation_ == vxrHorizontal) {
        const int d = (h - trackHeight_) / 2;
        trackRect_ = Rect(thumbMin_, d, thumbMax_, h - d);
        const int grow = (tumbHeight_ - trackHeight_) / 2;
        trackArea_ = Rect(trackRect_.Left, trackRect_.Top - grow, trackRect_.Right, trackRect_.Bottom + grow);
    } else {
        const int d = (w - trackHeight_) / 2;
        trackRect_ = Rect(d, thumbMin_, w - d, thumbMax_);
        const int grow = (tumbWidth_ - trackHeight_) / 2;
        trackArea_ = Rect(trackRect_.Left - grow, trackRect_.Top, trackRect_.Right + grow, trackRect_.Bottom);
    }
}

void TQzTrackBar::CalcThumbRect()
{
    const int w = Width(), h = Height(), p = thumbPos_;
    if (orientation_ == vxrHorizontal)
        thumbRect_ = Rect(p - tumbWidth_ / 2, (h - tumbHeight_) / 2, p + tumbWidth_ / 2, h - (h - tumbHeight_) / 2);
    else
        thumbRect_ = Rect((w - tumbWidth_) / 2, p - tumbHeight_ / 2, w - (w - tumbWidth_) / 2, p + tumbHeight_ / 2);
}

// Rounding is to the nearest integer with halves to the even neighbour (the default mode).
void TQzTrackBar::ValueFromPosition()
{
    const int travel = thumbMax_ - thumbMin_;
    // A control too short to have any travel cannot map a position; it stays at Min.
    if (travel <= 0) {
        value_ = min_;
        return;
    }
    const double v = static_cast<double>(thumbPos_ - thumbMin_) / travel * (static_cast<double>(max_) - min_) + min_;
    value_ = static_cast<int>(std::nearbyint(v));
    if (value_ < min_)
        value_ = min_;
    if (value_ > max_)
        value_ = max_;
}

void TQzTrackBar::PositionFromValue()
{
    const double f = (static_cast<double>(value_) - min_) / (static_cast<double>(max_) - min_);
    thumbPos_ = static_cast<int>(std::nearbyint(f * (thumbMax_ - thumbMin_))) + thumbMin_;
    CalcThumbRect();
    Invalidate();
}

void TQzTrackBar::SetValue(int v)
{
    if (v < min_ || v > max_)
        return;
    value_ = v;
    PositionFromValue();
}

void TQzTrackBar::SetMin(int v)
{
    if (v >= max_)
        return;
    min_ = v;
    if (value_ < min_)
        value_ = min_;
    PositionFromValue();
}

void TQzTrackBar::SetMax(int v)
{
    if (v <= min_)
        return;
    max_ = v;
    if (value_ > max_)
        value_ = max_;
    PositionFromValue();
}

void TQzTrackBar::SetTumbWidth(int v)
{
    tumbWidth_ = v;
    CalcTravel();
    CalcThumbRect();
    CalcTrackRect();
    Changed();
}

void TQzTrackBar::SetTumbHeight(int v)
{
    if (v >= Height())
        return;
    tumbHeight_ = v;
    CalcTravel();
    CalcThumbRect();
    CalcTrackRect();
    Changed();
}

void TQzTrackBar::SetTrackHeight(int v)
{
    if (v >= (orientation_ == vxrHorizontal ? Height() : Width()))
        return;
    trackHeight_ = v;
    CalcTrackRect();
    Changed();
}

void TQzTrackBar::SetOrientation(TvxrOrientation v)
{
    orientation_ = v;
    if (DesignTime()) {
        SetBounds(Left(), Top(), Height(), Width());
        std::swap(tumbWidth_, tumbHeight_);
    }
    Changed();
}

void TQzTrackBar::RecolorThumb()
{
    if (tumbBitmap_.Empty())
        return;
    const TColor key = tumbBitmap_.Pixel(0, 0);
    for (int y = 0; y < tumbBitmap_.Height(); ++y)
        for (int x = 0; x < tumbBitmap_.Width(); ++x)
            if (tumbBitmap_.Pixel(x, y) == key)
                tumbBitmap_.SetPixel(x, y, ColorToRGB(tumbColor_));
}

void TQzTrackBar::SetTumbColor(TColor v)
{
    tumbColor_ = v;
    RecolorThumb();
    Changed();
}

void TQzTrackBar::SetTumbBitmap(const TBitmap& bitmap)
{
    tumbBitmap_.Assign(bitmap);
    RecolorThumb();
    Changed();
}

void TQzTrackBar::SetBackBitmap(const TBitmap& bitmap)
{
    backBitmap_.Assign(bitmap);
    Changed();
}

void TQzTrackBar::SetTrackColor(TColor v) { trackColor_ = v; Changed(); }
void TQzTrackBar::SetBackColor(TColor v) { backColor_ = v; Changed(); }
void TQzTrackBar::SetCaptionColor(TColor v) { captionColor_ = v; Changed(); }
void TQzTrackBar::SetShowCaption(bool v) { showCaption_ = v; Changed(); }
void TQzTrackBar::SetBackBorder(bool v) { backBorder_ = v; Changed(); }
void TQzTrackBar::SetTrackBorder(bool v) { trackBorder_ = v; Changed(); }
void TQzTrackBar::SetTumbBorder(bool v) { tumbBorder_ = v; Changed(); }
void TQzTrackBar::SetCaptionBold(bool v) { captionBold_ = v; Changed(); }

void TQzTrackBar::Resize()
{
    TCustomControl::Resize();
    CalcTravel();
    CalcTrackRect();
    PositionFromValue();
}

void TQzTrackBar::SetBounds(int left, int top, int width, int height)
{
    TCustomControl::SetBounds(left, top, width, height);
    CalcTravel();
    CalcTrackRect();
    PositionFromValue();
}

void TQzTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        MouseMove(shift | TShiftState(ssLeft), x, y);
}

void TQzTrackBar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (!shift.Contains(ssLeft))
        return;
    int p = orientation_ == vxrHorizontal ? x : y;
    const int lo = orientation_ == vxrHorizontal ? trackArea_.Left : trackArea_.Top;
    const int hi = orientation_ == vxrHorizontal ? trackArea_.Right : trackArea_.Bottom;
    if (p > hi)
        p = hi;
    if (p < lo)
        p = lo;
    thumbPos_ = p;
    ValueFromPosition();
    CalcThumbRect();
    Invalidate();
    if (OnChangedValue)
        OnChangedValue(this, value_);
}

void TQzTrackBar::Paint()
{
    TCanvas* c = Canvas();
    const int w = Width(), h = Height();
    CalcTravel();
    CalcThumbRect();
    CalcTrackRect();

    if (!backBitmap_.Empty()) {
        const int bw = backBitmap_.Width(), bh = backBitmap_.Height();
        for (int r = 0; r <= h / bh; ++r)
            for (int k = 0; k <= w / bw; ++k)
                c->Draw(k * bw, r * bh, backBitmap_);
    } else {
        c->Pen->Style = backBorder_ ? psSolid : psClear;
        c->Pen->Color = clBlack;
        c->Brush->Style = bsSolid;
        c->Brush->Color = backColor_;
        if (backBorder_) {
            c->Rectangle(0, 0, w, h);
        } else {
            c->FillRect(Rect(0, 0, w, h));
        }
        c->Pen->Style = psSolid;
    }

    TRect track = trackRect_;
    track.Left = 5;
    track.Right = w - 5;
    c->Brush->Style = bsSolid;
    c->Brush->Color = trackColor_;
    c->FillRect(track);
    if (trackBorder_)
        Frame3D(c, track, clBlack, clBtnHighlight, 1);

    TRect thumb = thumbRect_;
    c->Brush->Color = tumbColor_;
    c->FillRect(thumb);
    Frame3D(c, thumb, clBtnHighlight, clBlack, 1);

    if (!tumbBitmap_.Empty()) {
        const int x = thumbRect_.Left + (thumbRect_.Width() - tumbBitmap_.Width()) / 2;
        const int y = thumbRect_.Top + (thumbRect_.Height() - tumbBitmap_.Height()) / 2;
        c->Draw(x, y, tumbBitmap_);
    }

    if (showCaption_) {
        c->Font->Assign(*Font());
        c->Font->SetColor(captionColor_);
        c->Font->SetStyle(captionBold_ ? (c->Font->Style() | fsBold) : (c->Font->Style() & ~fsBold));
        c->Brush->Style = bsClear;
        TRect r = thumbRect_;
        c->DrawText(std::to_string(value_), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        c->Brush->Style = bsSolid;
    }
}
