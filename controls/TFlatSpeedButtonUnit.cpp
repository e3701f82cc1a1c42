#include "controls/TFlatSpeedButtonUnit.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <algorithm>
#include <memory>

#include "platform/gui/ImageList.h"

namespace {

// Shared by every flat speed button: the hot button, the hover timer and the live count. The
// first button makes the timer; the last one to go frees it.
TFlatSpeedButton* hotButton = nullptr;
std::unique_ptr<TTimer> hoverTimer;
int buttonCount = 0;

TMouseButton MouseButtonOf(Qt::MouseButton b)
{
    return b == Qt::RightButton ? mbRight : b == Qt::MiddleButton ? mbMiddle : mbLeft;
}

} // namespace

TFlatSpeedButton* TFlatSpeedButton::HotButton() { return hotButton; }
TTimer* TFlatSpeedButton::SharedTimer() { return hoverTimer.get(); }

TFlatSpeedButton::TFlatSpeedButton(QWidget* parent, TComponent* owner)
    : TGraphicControl(parent, owner), accel_(this, [this](char key) { DialogChar(key); })
{
    if (!hoverTimer) {
        hoverTimer = std::make_unique<TTimer>(nullptr);
        hoverTimer->SetEnabled(false);
        hoverTimer->SetInterval(100);
    }
    ++buttonCount;
    SetBounds(Left(), Top(), 25, 25);
    SetAcceptDoubleClicks(true);
    // Only tmNone fills the whole button; the other modes let the parent show through.
    SetOpaque(true);
    glyph_.OnChange = [this](TObject*) { GlyphChanged(); };
    SetColor(0xE1EAEB);
    SetParentFont(true);
    SetParentColor(true);
}

TFlatSpeedButton::~TFlatSpeedButton()
{
    glyph_.OnChange = nullptr;
    StopBeingHot();
    if (--buttonCount == 0)
        hoverTimer.reset();
}

// ---- properties ----

void TFlatSpeedButton::SetTransparentMode(Flatutilitys::TTransparentMode v)
{
    transparentMode_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetAllowAllUp(bool v)
{
    if (v == allowAllUp_)
        return;
    allowAllUp_ = v;
    UpdateExclusive();
}

void TFlatSpeedButton::SetColors(int index, TColor c)
{
    if (index < 0 || index > 4)
        return;
    colors_[index] = c;
    Invalidate();
}

void TFlatSpeedButton::SetAdvColors(int index, TAdvColors v)
{
    if (index < 0 || index > 2)
        return;
    advColors_[index] = std::clamp(v, 0, 100);
    CalcAdvColors();
    Invalidate();
}

void TFlatSpeedButton::SetUseAdvColors(bool v)
{
    if (v == useAdvColors_)
        return;
    useAdvColors_ = v;
    SetParentColor(v);
    CalcAdvColors();
    Invalidate();
}

void TFlatSpeedButton::CalcAdvColors()
{
    if (!useAdvColors_)
        return;
    colors_[0] = CalcAdvancedColor(Color(), colors_[0], advColors_[0], lighten);
    colors_[1] = CalcAdvancedColor(Color(), colors_[1], advColors_[1], darken);
    colors_[2] = CalcAdvancedColor(Color(), colors_[2], advColors_[2], darken);
}

void TFlatSpeedButton::ColorChanged()
{
    TGraphicControl::ColorChanged();
    CalcAdvColors();
    Invalidate();
}

void TFlatSpeedButton::FontChanged()
{
    TGraphicControl::FontChanged();
    Invalidate();
}

void TFlatSpeedButton::TextChanged()
{
    TGraphicControl::TextChanged();
    accel_.Update(Caption());
    Invalidate();
}

void TFlatSpeedButton::SetGroupIndex(int v)
{
    if (v == groupIndex_)
        return;
    groupIndex_ = v;
    UpdateExclusive();
}

void TFlatSpeedButton::SetDown(bool v)
{
    if (groupIndex_ == 0)
        v = false;
    if (v == down_)
        return;
    if (down_ && !allowAllUp_)
        return;
    down_ = v;
    if (v) {
        if (state_ == bsUp)
            Invalidate();
        state_ = bsExclusive;
    } else {
        state_ = bsUp;
        Repaint();
    }
    if (v)
        UpdateExclusive();
}

void TFlatSpeedButton::SetGlyph(const TBitmap& bitmap)
{
    if (&bitmap == &glyph_)
        return;
    glyph_.Assign(bitmap);
}

void TFlatSpeedButton::GlyphChanged()
{
    const int w = glyph_.Width();
    const int h = glyph_.Height();
    if (!glyph_.Empty() && w % h == 0) {
        const int n = w / h;
        numGlyphs_ = n > 4 ? 1 : n;
    }
    Invalidate();
}

void TFlatSpeedButton::SetLayout(TButtonLayout v)
{
    if (v == layout_)
        return;
    layout_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetMargin(int v)
{
    if (v == margin_ || v < -1)
        return;
    margin_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetNumGlyphs(int v)
{
    v = std::clamp(v, 1, 4);
    if (v == numGlyphs_)
        return;
    numGlyphs_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetSpacing(int v)
{
    if (v == spacing_)
        return;
    spacing_ = v;
    Invalidate();
}

// ---- groups ----

void TFlatSpeedButton::UpdateExclusive()
{
    QWidget* parent = parentWidget();
    if (groupIndex_ == 0 || parent == nullptr)
        return;
    const QList<TFlatSpeedButton*> siblings = parent->findChildren<TFlatSpeedButton*>(Qt::FindDirectChildrenOnly);
    for (TFlatSpeedButton* b : siblings)
        b->ButtonPressed(groupIndex_, this);
}

void TFlatSpeedButton::ButtonPressed(int group, TFlatSpeedButton* sender)
{
    if (group != groupIndex_)
        return;
    if (sender != this && sender->down_ && down_) {
        down_ = false;
        state_ = bsUp;
        Invalidate();
    }
    allowAllUp_ = sender->allowAllUp_;
}

// ---- painting ----

void TFlatSpeedButton::Paint()
{
    TCanvas* c = Canvas();
    const TColor transparent = glyph_.Empty() ? clNone : glyph_.Pixel(0, glyph_.Height() - 1);
    TRect r = ClientRect();
    c->Font->Assign(*Font());

    const TPoint offset = (state_ == bsDown || state_ == bsExclusive) ? Point(1, 1) : Point(0, 0);
    CalcButtonLayout(c, r, offset, layout_, spacing_, margin_, &glyph_, numGlyphs_, Caption(), textBounds_,
                     glyphPos_);

    if (!Enabled()) {
        state_ = bsDisabled;
        dragging_ = false;
    } else if (state_ == bsDisabled) {
        state_ = (down_ && groupIndex_ != 0) ? bsExclusive : bsUp;
    }

    switch (state_) {
    case bsUp: c->Brush->Color = mouseInControl_ ? colors_[0] : Color(); break;
    case bsDisabled: c->Brush->Color = Color(); break;
    case bsDown: c->Brush->Color = colors_[1]; break;
    case bsExclusive: c->Brush->Color = mouseInControl_ ? colors_[0] : colors_[1]; break;
    }
    c->Brush->Style = bsSolid;
    if (transparentMode_ == tmNone || (transparentMode_ == tmNotFocused && mouseInControl_))
        c->FillRect(r);

    switch (state_) {
    case bsUp:
        if (mouseInControl_)
            Frame3D(c, r, colors_[3], colors_[4], 1);
        else
            Frame3D(c, r, colors_[2], colors_[2], 1);
        break;
    case bsDisabled: Frame3D(c, r, colors_[2], colors_[2], 1); break;
    case bsDown:
    case bsExclusive: Frame3D(c, r, colors_[4], colors_[3], 1); break;
    }

    if (!glyph_.Empty()) {
        const int gw = glyph_.Width();
        const int gh = glyph_.Height();
        const int cw = gw / numGlyphs_;
        int from = 0;
        int to = gw;
        switch (numGlyphs_) {
        case 2:
            if (state_ == bsDisabled) { from = cw; to = gw; } else { from = 0; to = cw; }
            break;
        case 3:
            switch (state_) {
            case bsUp: from = 0; to = cw; break;
            case bsDisabled: from = cw; to = 2 * cw; break;
            default: from = 2 * cw; to = gw; break;
            }
            break;
        case 4:
            switch (state_) {
            case bsUp: from = 0; to = cw; break;
            case bsDisabled: from = cw; to = 2 * cw; break;
            case bsDown: from = 2 * cw; to = 3 * cw; break;
            case bsExclusive: from = 3 * cw; to = gw; break;
            }
            break;
        default: break;
        }
        if (cw > 0) {
            auto work = std::make_unique<TBitmap>(cw, gh);
            work->Canvas()->CopyRect(Rect(0, 0, to - from, gh), glyph_, Rect(from, 0, to, gh));
            work->Canvas()->Flush();
            TColor key = transparent;
            if (numGlyphs_ == 1 && state_ == bsDisabled) {
                work = CreateDisabledBitmap(*work, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
                key = work->Pixel(0, work->Height() - 1);
            }
            TImageList list(nullptr, cw, gh);
            list.AddMasked(*work, key);
            list.Draw(c, glyphPos_.X, glyphPos_.Y, 0, true);
        }
    }

    c->Brush->Style = bsClear;
    const unsigned flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (state_ != bsDisabled) {
        TRect t = textBounds_;
        c->DrawText(Caption(), t, flags);
    } else {
        TRect t = textBounds_;
        OffsetRect(t, 1, 1);
        c->Font->SetColor(clBtnHighlight);
        c->DrawText(Caption(), t, flags);
        t = textBounds_;
        c->Font->SetColor(clBtnShadow);
        c->DrawText(Caption(), t, flags);
    }
}

// ---- mouse ----

bool TFlatSpeedButton::Inside(int x, int y) const
{
    // The bottom edge row counts as inside.
    return x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight();
}

void TFlatSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled())
        return;
    if (!down_) {
        state_ = bsDown;
        Invalidate();
    }
    dragging_ = true;
}

void TFlatSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    TrackHot();
    if (!dragging_)
        return;
    TButtonState next;
    if (down_)
        next = bsExclusive;
    else
        next = Inside(x, y) ? bsDown : bsUp;
    if (next != state_) {
        state_ = next;
        Invalidate();
    }
}

void TFlatSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!dragging_)
        return;
    dragging_ = false;
    const bool click = Inside(x, y);
    if (groupIndex_ == 0) {
        state_ = bsUp;
        mouseInControl_ = false;
        if (click)
            Invalidate();
    } else if (click) {
        SetDown(!down_);
        if (down_)
            Repaint();
    } else {
        if (down_)
            state_ = bsExclusive;
        Repaint();
    }
    if (click)
        Click();
    else
        HotLeave();
    UpdateTracking();
}

// Clicks come only from the mouse-up rule above, not from the control base's release handling.
void TFlatSpeedButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (MouseCapture())
        SetMouseCapture(false);
    const QPoint pos = e->position().toPoint();
    MouseUp(MouseButtonOf(e->button()), ShiftStateFromQt(e->modifiers(), e->buttons()), pos.x(), pos.y());
    e->accept();
}

void TFlatSpeedButton::Click()
{
    if (parentWidget() != nullptr) {
        if (TForm* form = ParentForm())
            form->SetModalResult(modalResult_);
    }
    TGraphicControl::Click();
}

void TFlatSpeedButton::DblClick()
{
    if (down_)
        TGraphicControl::DblClick();
}

bool TFlatSpeedButton::DialogChar(char key)
{
    if (!Enabled() || !IsAccel(key, Caption()))
        return false;
    Click();
    return true;
}

// ---- hot tracking ----

bool TFlatSpeedButton::CursorOverThis() const
{
    return QApplication::widgetAt(QCursor::pos()) == this;
}

void TFlatSpeedButton::TrackHot()
{
    if (hotButton == this || !CursorOverThis())
        return;
    if (hotButton != nullptr)
        hotButton->HotLeave();
    if (QApplication::activeWindow() == nullptr)
        return;
    hoverTimer->SetEnabled(false);
    hotButton = this;
    hoverTimer->OnTimer = [this](TObject*) { TimerTick(); };
    hoverTimer->SetEnabled(true);
    HotEnter();
}

void TFlatSpeedButton::TimerTick()
{
    if (!CursorOverThis())
        HotLeave();
}

void TFlatSpeedButton::HotEnter()
{
    if (!Enabled() || mouseInControl_)
        return;
    mouseInControl_ = true;
    Repaint();
}

void TFlatSpeedButton::HotLeave()
{
    if (!Enabled() || !mouseInControl_ || dragging_)
        return;
    mouseInControl_ = false;
    StopBeingHot();
    Invalidate();
}

void TFlatSpeedButton::StopBeingHot()
{
    if (hotButton != this)
        return;
    hotButton = nullptr;
    if (hoverTimer) {
        hoverTimer->SetEnabled(false);
        hoverTimer->OnTimer = nullptr;
    }
}

void TFlatSpeedButton::UpdateTracking()
{
    if (!Enabled())
        return;
    const bool over = CursorOverThis();
    mouseInControl_ = !over;
    if (over)
        HotEnter();
    else
        HotLeave();
}

void TFlatSpeedButton::MouseEnter()
{
    TGraphicControl::MouseEnter();
    TrackHot();
}

void TFlatSpeedButton::MouseLeave()
{
    TGraphicControl::MouseLeave();
    HotLeave();
}

void TFlatSpeedButton::EnabledChanged()
{
    TGraphicControl::EnabledChanged();
    if (!Enabled()) {
        mouseInControl_ = false;
        state_ = bsDisabled;
        StopBeingHot();
    }
    UpdateTracking();
    Invalidate();
}
