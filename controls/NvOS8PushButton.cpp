#include "controls/NvOS8PushButton.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "controls/Nvos8routines.h"

TNvOS8PushButton::TNvOS8PushButton(QWidget* parent, TComponent* owner)
    : TControl(parent, owner), accel_(this, [this](char key) { DialogChar(key); })
{
    SetBounds(Left(), Top(), 64, 26);
    Font()->SetStyle(Font()->Style() | fsBold);
    setFocusPolicy(Qt::StrongFocus);
    SetAcceptDoubleClicks(false);
    // The corners outside the face show the parent.
    SetOpaque(true);
    LoadShades(baseColor_, shades_);
}

TNvOS8PushButton::~TNvOS8PushButton() = default;

void TNvOS8PushButton::SetBaseColor(TColor c)
{
    if (c == baseColor_)
        return;
    baseColor_ = c;
    LoadShades(c, shades_);
    Repaint();
}

void TNvOS8PushButton::SetDefault(bool v)
{
    if (v == default_)
        return;
    default_ = v;
    Invalidate();
}

void TNvOS8PushButton::SetTabStop(bool v)
{
    tabStop_ = v;
    setFocusPolicy(v ? Qt::StrongFocus : Qt::ClickFocus);
}

void TNvOS8PushButton::SetButtonStyle(bool isDefault)
{
    if (isDefault == active_)
        return;
    active_ = isDefault;
    Invalidate();
}

void TNvOS8PushButton::EnabledChanged()
{
    TControl::EnabledChanged();
    if (!Enabled()) {
        mouseHeld_ = false;
        spaceHeld_ = false;
        pressed_ = false;
    }
    Invalidate();
}

void TNvOS8PushButton::FontChanged()
{
    TControl::FontChanged();
    Invalidate();
}

void TNvOS8PushButton::TextChanged()
{
    TControl::TextChanged();
    accel_.Update(Caption());
    Invalidate();
}

void TNvOS8PushButton::DoEnter()
{
    TControl::DoEnter();
    SetButtonStyle(true);
}

void TNvOS8PushButton::DoExit()
{
    TControl::DoExit();
    SetButtonStyle(false);
    if (spaceHeld_) {
        spaceHeld_ = false;
        SetPressed(false);
    }
}

// ---- painting ----

void TNvOS8PushButton::Paint()
{
    TCanvas* c = Canvas();
    const TColor* s = shades_;
    const bool enabled = Enabled();
    const bool pressed = pressed_;
    TRect r = ClientRect();
    c->Font->Assign(*Font());

    TColor frame, face, text;
    TColor c1 = 0, c2 = 0, c3 = 0, c4 = 0;
    if (enabled) {
        frame = s[0];
        if (pressed) {
            c1 = s[4]; c2 = s[5]; c3 = s[7]; c4 = s[8];
            face = s[6];
            text = s[15];
        } else {
            c1 = s[13]; c2 = s[15]; c3 = s[10]; c4 = s[7];
            face = s[13];
            text = Font()->Color();
        }
    } else {
        frame = s[8];
        text = s[8];
        face = s[13];
    }
    c->Brush->Style = bsSolid;
    c->Pen->Style = psSolid;
    c->Pen->Width = 1;
    c->Pen->Mode = pmCopy;

    auto line = [c](TColor colour, std::initializer_list<TPoint> points) {
        c->Pen->Color = colour;
        auto p = points.begin();
        c->MoveTo(p->X, p->Y);
        for (++p; p != points.end(); ++p)
            c->LineTo(p->X, p->Y);
    };
    auto pixels = [c](TColor colour, std::initializer_list<TPoint> points) {
        for (const TPoint& p : points)
            c->SetPixel(p.X, p.Y, colour);
    };

    int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    if (default_) {
        line(frame, {{L + 3, T}, {R - 4, T}, {R - 1, T + 3}, {R - 1, B - 4}, {R - 4, B - 1}, {L + 3, B - 1},
                     {L, B - 4}, {L, T + 3}, {L + 3, T}});
        if (enabled) {
            line(s[13], {{L + 1, B - 5}, {L + 1, T + 3}, {L + 3, T + 1}, {R - 4, T + 1}});
            line(s[13], {{L + 2, T + 3}, {L + 4, T + 2}});
            line(s[10], {{L + 4, T + 2}, {R - 4, T + 2}, {R - 4, T + 3}, {R - 3, T + 3}, {R - 3, B - 5},
                         {R - 5, B - 3}, {L + 3, B - 3}, {L + 3, B - 4}, {L + 2, B - 4}, {L + 2, T + 4},
                         {L + 4, T + 2}});
            line(s[7], {{L + 4, B - 2}, {R - 4, B - 2}, {R - 2, B - 4}, {R - 2, T + 3}});
            pixels(s[7], {{L + 4, T + 3}, {L + 3, T + 4}, {R - 5, T + 3}, {R - 4, T + 4}, {R - 5, B - 4},
                          {R - 4, B - 5}, {L + 4, B - 4}, {L + 3, B - 5}});
            pixels(s[12], {{L + 1, B - 4}, {R - 4, T + 1}});
            pixels(s[11], {{L + 2, B - 3}, {R - 3, T + 2}});
            pixels(s[8], {{L + 3, B - 2}, {R - 2, T + 3}, {R - 3, B - 4}, {R - 4, B - 3}});
        }
    }

    InflateRect(r, -3, -3);
    c->Brush->Color = face;
    c->Pen->Color = frame;
    c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 5, 5);

    L = r.Left; T = r.Top; R = r.Right; B = r.Bottom;
    if (enabled) {
        line(c1, {{L + 1, B - 3}, {L + 1, T + 1}});
        line(c1, {{L + 2, T + 1}, {R - 2, T + 1}});
        line(c2, {{L + 2, B - 4}, {L + 2, T + 2}, {R - 3, T + 2}});
        line(c3, {{L + 3, B - 3}, {R - 3, B - 3}, {R - 3, T + 2}});
        line(c4, {{L + 3, B - 2}, {R - 2, B - 2}});
        line(c4, {{R - 2, B - 3}, {R - 2, T + 2}});
        if (pressed) {
            pixels(c1, {{L + 2, T + 2}});
            pixels(c2, {{L + 3, T + 3}});
            pixels(c3, {{L + 2, B - 2}, {R - 2, T + 2}});
            pixels(c4, {{R - 3, B - 3}});
            pixels(c3, {{R - 4, B - 4}});
        } else {
            pixels(s[11], {{L + 1, T + 2}, {L + 2, T + 1}, {L + 1, B - 3}, {L + 2, B - 2}, {R - 3, T + 1},
                           {R - 2, T + 2}});
            pixels(c2, {{L + 3, T + 3}});
            pixels(c3, {{R - 4, B - 4}});
            pixels(c4, {{R - 3, B - 3}});
        }
    }

    // The caption is centred on a rectangle 8 pixels in from the face's sides and 4 from its top
    // and bottom, moved up by 1: 12 to 14 pixels high on a button 25 to 27 high, no more than a
    // 12-pixel font's box (14 with its descent), and the accelerator's underline lies below that
    // box. The caption keeps the rectangle's centre and width but may use the face's height (3
    // more pixels above and below), so no glyph or underline is cut off. The face under it is
    // already in the face colour: the text box is not filled again, which would cover the bevel
    // where the box reaches it.
    InflateRect(r, -8, -4);
    r.Top -= 1;
    InflateRect(r, 0, 3);
    c->Font->SetColor(text);
    c->Brush->Style = bsClear;
    c->DrawText(Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// ---- input ----

void TNvOS8PushButton::SetPressed(bool v)
{
    if (v == pressed_)
        return;
    pressed_ = v;
    Repaint();
}

void TNvOS8PushButton::Click()
{
    if (TForm* form = ParentForm())
        form->SetModalResult(modalResult_);
    TControl::Click();
}

bool TNvOS8PushButton::DialogChar(char key)
{
    if (!Enabled() || !Visible() || !IsAccel(key, Caption()))
        return false;
    Click();
    return true;
}

void TNvOS8PushButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled())
        return;
    SetFocus();
    mouseHeld_ = true;
    SetPressed(true);
}

void TNvOS8PushButton::MouseMove(TShiftState shift, int x, int y)
{
    TControl::MouseMove(shift, x, y);
    if (mouseHeld_)
        SetPressed(PtInRect(ClientRect(), Point(x, y)));
}

// The face comes up before the click runs, so a dialog opened by OnClick shows the button up.
void TNvOS8PushButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (MouseCapture())
        SetMouseCapture(false);
    const QPoint pos = e->position().toPoint();
    const TMouseButton b = e->button() == Qt::RightButton ? mbRight : e->button() == Qt::MiddleButton ? mbMiddle : mbLeft;
    MouseUp(b, ShiftStateFromQt(e->modifiers(), e->buttons()), pos.x(), pos.y());
    e->accept();
}

void TNvOS8PushButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !mouseHeld_)
        return;
    mouseHeld_ = false;
    const bool click = pressed_ && PtInRect(ClientRect(), Point(x, y));
    SetPressed(spaceHeld_);
    if (click)
        Click();
}

void TNvOS8PushButton::KeyDown(Word& key, TShiftState shift)
{
    TControl::KeyDown(key, shift);
    if (key == VK_SPACE && Enabled()) {
        spaceHeld_ = true;
        SetPressed(true);
    } else if (key == VK_RETURN && Enabled()) {
        Click();
    }
}

void TNvOS8PushButton::KeyUp(Word& key, TShiftState shift)
{
    TControl::KeyUp(key, shift);
    if (key == VK_SPACE && spaceHeld_) {
        spaceHeld_ = false;
        SetPressed(mouseHeld_);
        if (Enabled())
            Click();
    }
}

// Escape is not the button's own key: it is left to the window; the releases of an auto-repeated Space are not clicks.
void TNvOS8PushButton::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        e->ignore();
        return;
    }
    TControl::keyPressEvent(e);
}

void TNvOS8PushButton::keyReleaseEvent(QKeyEvent* e)
{
    if (e->isAutoRepeat()) {
        e->accept();
        return;
    }
    TControl::keyReleaseEvent(e);
}

// Return clicks the focused button, or the Default button while no other button has the focus;
// Escape clicks the Cancel button.
bool TNvOS8PushButton::DialogKey(Word key, const QWidget* focus)
{
    const bool otherButton = focus != this && dynamic_cast<const TNvOS8PushButton*>(focus) != nullptr;
    const bool active = focus == this || (default_ && !otherButton);
    if ((key == VK_RETURN && active) || (key == VK_ESCAPE && cancel_)) {
        Click();
        return true;
    }
    return false;
}
