#include "controls/TransBtn.h"

#include <algorithm>

#include "controls/Flatutilitys.h"

TTransparentButton::TTransparentButton(QWidget* parent, TComponent* owner)
    : TGraphicControl(parent, owner),
      images_(std::make_unique<TImageList>(nullptr, 40, 40)),
      accel_(this, [this](char key) { DialogChar(key); })
{
    SetBounds(Left(), Top(), 40, 40);
    // The button paints only what its style asks for, so the parent shows through the rest.
    SetOpaque(true);
    SetParentColor(true);
    // A double click arrives as a second press and click.
    SetAcceptDoubleClicks(false);
    glyph_.OnChange = [this](TObject*) { GlyphChanged(); };
}

TTransparentButton::~TTransparentButton()
{
    glyph_.OnChange = nullptr;
}

void TTransparentButton::SetBorderWidth(unsigned v)
{
    if (v == borderWidth_)
        return;
    borderWidth_ = v;
    Invalidate();
}

void TTransparentButton::SetDown(bool v)
{
    if (v == down_)
        return;
    down_ = v;
    tracking_ = v;
    pressedLook_ = v ? 1 : 0;
    Repaint();
}

void TTransparentButton::SetFrameStyle(TFrameStyle v)
{
    if (v == frameStyle_)
        return;
    frameStyle_ = v;
    Invalidate();
}

void TTransparentButton::SetGlyph(const TBitmap& bitmap)
{
    glyph_.Assign(bitmap);
    Invalidate();
}

void TTransparentButton::SetNumGlyphs(int v)
{
    v = std::clamp(v, 1, 4);
    if (v == numGlyphs_)
        return;
    numGlyphs_ = v;
    // The image cells depend on the count, so the images are cut again.
    BuildImages();
    Invalidate();
}

void TTransparentButton::SetSpacing(int v)
{
    if (v == spacing_)
        return;
    spacing_ = v;
    Invalidate();
}

void TTransparentButton::SetTextAlign(TTextAlign v)
{
    if (v == textAlign_)
        return;
    textAlign_ = v;
    Invalidate();
}

void TTransparentButton::SetTransparent(bool v)
{
    if (v == transparent_)
        return;
    transparent_ = v;
    Invalidate();
}

void TTransparentButton::SetWordWrap(bool v)
{
    if (v == wordWrap_)
        return;
    wordWrap_ = v;
    Invalidate();
}

void TTransparentButton::TextChanged()
{
    TGraphicControl::TextChanged();
    accel_.Update(Caption());
    Invalidate();
}

// ---- images ----

void TTransparentButton::GlyphChanged()
{
    Invalidate();
    const int w = glyph_.Width();
    const int h = glyph_.Height();
    if (h > 0 && w % h == 0) {
        int n = w / h;
        if (n > 4)
            n = 1;
        numGlyphs_ = std::max(1, n);
    }
    BuildImages();
}

namespace {

// Every pixel becomes the grey (11 * lowest byte + 59 * middle + 30 * third byte) div 100.
void MakeGrey(TBitmap& bmp)
{
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            const TColor c = bmp.Pixel(x, y);
            const int g = (11 * GetRValue(c) + 59 * GetGValue(c) + 30 * GetBValue(c)) / 100;
            bmp.SetPixel(x, y, RGB(g, g, g));
        }
}

// The embossed disabled image: the pixels that are neither white nor the corner colour form the
// shape that is engraved in the button highlight and shadow colours on the button face.
std::unique_ptr<TBitmap> MakeDisabled(const TBitmap& cell)
{
    TBitmap shape;
    shape.Assign(cell);
    const TColor k = shape.Pixel(0, 0);
    for (int y = 0; y < shape.Height(); ++y)
        for (int x = 0; x < shape.Width(); ++x) {
            const TColor c = shape.Pixel(x, y);
            shape.SetPixel(x, y, c != clWhite && c != k ? clBlack : k);
        }
    return CreateDisabledBitmap(shape, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

} // namespace

void TTransparentButton::BuildImages()
{
    if (glyph_.Empty())
        return;
    const int cellW = glyph_.Width() / numGlyphs_;
    const int cellH = glyph_.Height();
    if (cellW < 1)
        return;
    images_->SetSize(cellW, cellH);
    TBitmap grey;
    std::unique_ptr<TBitmap> disabled;
    for (int i = 0; i < numGlyphs_; ++i) {
        TBitmap work(cellW, cellH);
        work.Canvas()->CopyRect(Rect(0, 0, cellW, cellH), glyph_, Rect(i * cellW, 0, (i + 1) * cellW, cellH));
        work.Canvas()->Flush();
        if (i == 0) {
            grey.Assign(work);
            MakeGrey(grey);
            disabled = MakeDisabled(work);
        }
        images_->AddMasked(work, work.TransparentColor());
    }
    images_->AddMasked(grey, grey.TransparentColor());
    images_->AddMasked(*disabled, disabled->TransparentColor());
}

// ---- painting ----

void TTransparentButton::Paint()
{
    TCanvas* c = Canvas();
    faceColor_ = c->Brush->Color;
    c->Brush->Color = faceColor_;
    c->Pen->Color = clBlack;
    c->Pen->Width = static_cast<int>(borderWidth_);
    PaintFrame();
    PaintContent();
}

void TTransparentButton::PaintFrame()
{
    TCanvas* c = Canvas();
    const int w = Width();
    const int h = Height();
    const int bw = static_cast<int>(borderWidth_);
    TRect r = Rect(0, 0, w, h);
    switch (frameStyle_) {
    case fsRegular:
        c->Pen->Color = clBlack;
        if (transparent_) {
            r = Rect(1, 1, w, h);
            Frame3D(c, r, clBlack, clBlack, bw);
        } else {
            c->Rectangle(1, 1, w, h);
        }
        break;
    case fsIndent:
        c->Pen->Color = clBtnShadow;
        if (transparent_) {
            r = Rect(0, 0, w - 1, h - 1);
            Frame3D(c, r, clBtnShadow, clBtnShadow, bw);
        } else {
            c->Rectangle(0, 0, w - 1, h - 1);
        }
        r = Rect(1, 1, w, h);
        Frame3D(c, r, clBtnHighlight, clBtnHighlight, bw);
        break;
    default:
        if (!transparent_)
            c->FillRect(ClientRect());
        break;
    }

    r = Rect(1, 1, w - 1, h - 1);
    InflateRect(r, 1, 1);
    if (pressedLook_ == 1 && frameStyle_ != fsNone) {
        switch (frameStyle_) {
        case fsRegular:
        case fsIndent:
            if (showPressed_) {
                Frame3D(c, r, clBlack, clBtnHighlight, bw);
                Frame3D(c, r, clBtnShadow, faceColor_, bw);
            }
            break;
        case fsExplorer:
            if (hot_ || down_) {
                if (showPressed_)
                    Frame3D(c, r, clBtnShadow, clBtnHighlight, bw);
                else
                    Frame3D(c, r, clBtnHighlight, clBtnShadow, bw);
            }
            break;
        case fsLight:
            if (showPressed_)
                Frame3D(c, r, clBtnShadow, clBtnHighlight, 1);
            break;
        case fsDark:
            if (showPressed_)
                Frame3D(c, r, cl3DDkShadow, faceColor_, 1);
            break;
        case fsMono:
            if (showPressed_)
                Frame3D(c, r, cl3DDkShadow, clBtnHighlight, 1);
            break;
        default:
            break;
        }
    } else if (pressedLook_ == 0) {
        switch (frameStyle_) {
        case fsRegular:
            Frame3D(c, r, clBtnHighlight, clBlack, bw);
            Frame3D(c, r, faceColor_, clBtnShadow, bw);
            break;
        case fsIndent:
            Frame3D(c, r, clBtnShadow, clBtnHighlight, bw);
            break;
        case fsExplorer:
            if (hot_)
                Frame3D(c, r, clBtnHighlight, clBtnShadow, bw);
            break;
        case fsLight:
            Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
            break;
        case fsDark:
            Frame3D(c, r, faceColor_, cl3DDkShadow, 1);
            break;
        case fsMono:
            Frame3D(c, r, clBtnHighlight, cl3DDkShadow, 1);
            break;
        case fsNone:
            break;
        }
    }
}

void TTransparentButton::PaintContent()
{
    const int w = Width();
    const int h = Height();
    int gw = glyph_.Width() / numGlyphs_;
    if (gw < 1)
        gw = glyph_.Width();
    const int gh = glyph_.Height();
    int top;
    switch (textAlign_) {
    case ttaBottomRight:
    case ttaBottom:
    case ttaBottomLeft:
        top = spacing_;
        break;
    case ttaTopLeft:
    case ttaTop:
    case ttaTopRight:
        top = h - gh - spacing_;
        break;
    default:
        top = (h - gh) / 2;
        break;
    }
    int left;
    switch (textAlign_) {
    case ttaLeft:
        left = w - gw - spacing_;
        break;
    case ttaRight:
        left = spacing_;
        break;
    default:
        left = (w - gw) / 2;
        break;
    }
    const TRect g = Rect(left, top, left + gw, top + gh);
    if (!glyph_.Empty())
        DrawImage(g);
    if (!Caption().empty())
        DrawCaption(g);
}

void TTransparentButton::DrawImage(const TRect& g)
{
    if (glyph_.Empty())
        return;
    const bool enabled = Enabled();
    int index = 0;
    if (numGlyphs_ == 2)
        index = enabled ? 0 : 1;
    else if (numGlyphs_ >= 3)
        index = !enabled ? 1 : (pressedLook_ == 1 ? 2 : 0);
    int x = g.Left;
    int y = g.Top;
    if (pressedLook_ == 1 && showPressed_) {
        ++x;
        ++y;
    }
    const int count = images_->Count();
    if (frameStyle_ == fsExplorer && autoGray_ && !hot_)
        index = count - 2;
    if (!enabled && numGlyphs_ == 1)
        index = count - 1;
    if (transparent_)
        images_->DrawEx(Canvas(), x, y, index, clNone, clNone, dsTransparent);
    else
        images_->DrawEx(Canvas(), x, y, index, ColorToRGB(faceColor_), clDefault, dsNormal);
}

void TTransparentButton::DrawCaption(const TRect& g)
{
    TCanvas* c = Canvas();
    if (!transparent_)
        c->Brush->Color = faceColor_;
    c->Font->Assign(*Font());
    const unsigned wrap = wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
    TRect t = Rect(0, 0, Width(), Height());
    c->DrawText(Caption(), t, wrap | DT_CALCRECT);
    const int th = t.Height();
    const int tw = t.Width();
    const int w = Width();
    const int h = Height();
    const int s = spacing_;
    int dx = 0, dy = 0;
    switch (textAlign_) {
    case ttaTopLeft: dx = s; dy = g.Top - th - s; break;
    case ttaTop: dx = w / 2 - tw / 2; dy = g.Top - th - s; break;
    case ttaTopRight: dx = w - tw - s; dy = g.Top - th - s; break;
    case ttaRight: dx = w - tw - s; dy = h / 2 - th / 2; break;
    case ttaBottomRight: dx = w - tw - s; dy = g.Bottom + s; break;
    case ttaBottom: dx = w / 2 - tw / 2; dy = g.Bottom + s; break;
    case ttaBottomLeft: dx = s; dy = g.Bottom + s; break;
    case ttaLeft: dx = s; dy = h / 2 - th / 2; break;
    case ttaCenter: dx = w / 2 - tw / 2; dy = h / 2 - th / 2; break;
    }
    OffsetRect(t, dx, dy);
    const unsigned flags = DT_CENTER | DT_NOCLIP | wrap;
    if (pressedLook_ == 1 && showPressed_)
        OffsetRect(t, 1, 1);
    const TBrushStyle oldStyle = c->Brush->Style;
    c->Brush->Style = bsClear;
    if (Enabled()) {
        c->DrawText(Caption(), t, flags);
    } else {
        TRect shifted = t;
        OffsetRect(shifted, 1, 1);
        c->Font->SetColor(clBtnHighlight);
        c->DrawText(Caption(), shifted, flags);
        c->Font->SetColor(clBtnShadow);
        c->DrawText(Caption(), t, flags);
        c->Font->SetColor(Font()->Color());
    }
    c->Brush->Style = oldStyle;
}

// ---- mouse and keyboard ----

void TTransparentButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!Enabled() || mouseDown_)
        return;
    mouseDown_ = true;
    TGraphicControl::MouseDown(button, shift, x, y);
    if (movable_) {
        grabX_ = x;
        grabY_ = y;
    }
    if (PtInRect(ClientRect(), Point(x, y))) {
        tracking_ = true;
        pressedLook_ = 1;
        Repaint();
    }
    if (popUpMenu_) {
        const TPoint at = ClientToScreen(Point(0, Height()));
        popUpMenu_->exec(QPoint(at.X, at.Y));
        // The release that closed the menu went to the menu: bring the button up here. A later
        // release finds no press in progress and is ignored.
        MouseUp(button, shift, x, y);
    }
}

void TTransparentButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (!tracking_)
        return;
    if (movable_ && mouseDown_) {
        SetBounds(Left() + x - grabX_, Top() + y - grabY_, Width(), Height());
        x = grabX_;
        y = grabY_;
    }
    const bool inside = PtInRect(ClientRect(), Point(x, y));
    if (!inside && pressedLook_ == 1) {
        pressedLook_ = 0;
        Repaint();
    } else if (inside && pressedLook_ == 0) {
        pressedLook_ = 1;
        Repaint();
    }
}

void TTransparentButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!Enabled() || !mouseDown_)
        return;
    mouseDown_ = false;
    if (down_) {
        // A Down button stays down, also when the press was dragged off it.
        tracking_ = true;
        if (pressedLook_ != 1) {
            pressedLook_ = 1;
            Repaint();
        }
        return;
    }
    TGraphicControl::MouseUp(button, shift, x, y);
    tracking_ = false;
    pressedLook_ = 0;
    Repaint();
}

bool TTransparentButton::DialogChar(char key)
{
    if (!Enabled() || !IsAccel(key, Caption()))
        return false;
    Click();
    return true;
}

void TTransparentButton::MouseEnter()
{
    if (!Enabled())
        return;
    hot_ = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
    if (frameStyle_ == fsExplorer)
        Repaint();
}

void TTransparentButton::MouseLeave()
{
    if (!Enabled())
        return;
    hot_ = false;
    if (OnMouseExit)
        OnMouseExit(this);
    if (frameStyle_ == fsExplorer)
        Repaint();
}

void TTransparentButton::EnabledChanged()
{
    TGraphicControl::EnabledChanged();
    if (!Enabled()) {
        pressedLook_ = 0;
        tracking_ = false;
        mouseDown_ = false;
        hot_ = false;
    }
    Repaint();
}
