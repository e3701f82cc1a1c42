#include "platform/gui/Controls.h"
#include "platform/gui/MenuKeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>

#include "platform/gui/EventGuard.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Services.h"

namespace {

TMouseButton ButtonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

Qt::CursorShape QtCursor(TCursor c)
{
    switch (c) {
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    case crNo: return Qt::ForbiddenCursor;
    default: return Qt::ArrowCursor;
    }
}

}  // namespace

Word QtKeyToVirtualKey(int k)
{
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return static_cast<Word>('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return static_cast<Word>('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return static_cast<Word>(VK_F1 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Hangul: return VK_HANGUL;
    case Qt::Key_Hangul_Hanja: return VK_HANJA;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Meta: case Qt::Key_Super_L: return VK_LWIN;
    case Qt::Key_Super_R: return VK_RWIN;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma: case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus: case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period: case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash: case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: return 0;
    }
}

namespace {
Word KeypadKey(int k, Word fallback)
{
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return static_cast<Word>(VK_NUMPAD0 + (k - Qt::Key_0));
    switch (k) {
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Period: return VK_DECIMAL;
    case Qt::Key_Slash: return VK_DIVIDE;
    default: return fallback;
    }
}

// The virtual key of a key event, keypad keys told apart from the main keys.
Word EventVirtualKey(const QKeyEvent& e)
{
    const Word key = QtKeyToVirtualKey(e.key());
    return e.modifiers() & Qt::KeypadModifier ? KeypadKey(e.key(), key) : key;
}
}  // namespace

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    TShiftState s;
    if (mods & Qt::ShiftModifier) s << ssShift;
    if (mods & Qt::ControlModifier) s << ssCtrl;
    if (mods & Qt::AltModifier) s << ssAlt;
    if (buttons & Qt::LeftButton) s << ssLeft;
    if (buttons & Qt::RightButton) s << ssRight;
    if (buttons & Qt::MiddleButton) s << ssMiddle;
    return s;
}

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(QWidget* parent, TComponent* owner)
    : QWidget(parent), TComponent(owner, false), font_(std::make_unique<TFont>())
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
    if (TControl* p = Parent()) {
        fromParent_ = true;
        font_->Assign(*p->Font());
        fromParent_ = false;
    }
    font_->OnChange = [this](TObject*) {
        if (!fromParent_)
            parentFont_ = false;
        canvas_.Font->Assign(*font_);
        FontChanged();
        NotifyChildrenFont();
    };
    canvas_.Font->Assign(*font_);
    if (parent)
        QWidget::setVisible(true);
}

TControl::~TControl() { canvas_.Unbind(); }

void TControl::SetBounds(int left, int top, int width, int height)
{
    const QRect next(left, top, std::max(0, width), std::max(0, height));
    const bool resized = next.size() != size();
    if (isWindow()) {
        move(left, top);
        resize(next.size());
    } else if (geometry() != next) {
        setGeometry(next);
    }
    // A hidden widget gets its resize event only when shown; its children are placed now.
    if (resized)
        Realign();
    if (align_ != alNone && !inRealign_ && !placedByParent_) {
        if (TControl* p = Parent())
            p->Realign();
        else if (parentWidget())
            AlignChildren(parentWidget(), Rect(0, 0, parentWidget()->width(), parentWidget()->height()));
    }
}

TPoint TControl::ClientToScreen(TPoint p) const
{
    const QPoint g = mapToGlobal(QPoint(p.X, p.Y));
    return Point(g.x(), g.y());
}

TPoint TControl::ScreenToClient(TPoint p) const
{
    const QPoint l = mapFromGlobal(QPoint(p.X, p.Y));
    return Point(l.x(), l.y());
}

TControl* TControl::Parent() const { return dynamic_cast<TControl*>(parentWidget()); }

void TControl::SetParent(QWidget* parent)
{
    const bool vis = visibleFlag_;
    setParent(parent);
    if (parent && vis)
        QWidget::setVisible(true);
    if (TControl* p = Parent()) {
        if (parentFont_) ParentFontChanged();
        if (parentColor_) ParentColorChanged();
        p->Realign();
    }
}

TForm* TControl::ParentForm() const
{
    for (const QWidget* w = this; w; w = w->parentWidget())
        if (auto* f = dynamic_cast<TForm*>(const_cast<QWidget*>(w)))
            if (w->isWindow())
                return f;
    return nullptr;
}

void TControl::SetColor(TColor c)
{
    if (!fromParent_)
        parentColor_ = false;
    if (c == color_)
        return;
    color_ = c;
    ColorChanged();
    NotifyChildrenColor();
}

void TControl::SetParentColor(bool v)
{
    parentColor_ = v;
    if (v)
        ParentColorChanged();
}

void TControl::SetParentFont(bool v)
{
    parentFont_ = v;
    if (v)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    TControl* p = Parent();
    if (!p || !parentFont_)
        return;
    fromParent_ = true;
    font_->Assign(*p->Font());
    fromParent_ = false;
}

void TControl::ParentColorChanged()
{
    TControl* p = Parent();
    if (!p || !parentColor_)
        return;
    fromParent_ = true;
    SetColor(p->Color());
    fromParent_ = false;
}

void TControl::NotifyChildrenFont()
{
    for (QObject* o : children())
        if (auto* c = dynamic_cast<TControl*>(o))
            c->ParentFontChanged();
}

void TControl::NotifyChildrenColor()
{
    for (QObject* o : children())
        if (auto* c = dynamic_cast<TControl*>(o))
            c->ParentColorChanged();
}

void TControl::SetAlign(TAlign a)
{
    if (a == align_)
        return;
    align_ = a;
    if (TControl* p = Parent())
        p->Realign();
    else if (parentWidget())
        AlignChildren(parentWidget(), Rect(0, 0, parentWidget()->width(), parentWidget()->height()));
}

void TControl::SetEnabled(bool v)
{
    if (v == isEnabled())
        return;
    setEnabled(v);
}

void TControl::SetVisible(bool v)
{
    const bool changed = v != visibleFlag_;
    visibleFlag_ = v;
    QWidget::setVisible(v);
    if (changed) {
        if (align_ != alNone)
            if (TControl* p = Parent())
                p->Realign();
        VisibleChanged();
    }
}

void TControl::SetCaption(const std::string& text)
{
    if (text == caption_)
        return;
    caption_ = text;
    TextChanged();
}

void TControl::SetCursor(TCursor c)
{
    cursor_ = c;
    if (c == crDefault)
        unsetCursor();
    else
        setCursor(QtCursor(c));
}

void TControl::Invalidate() { update(); }
void TControl::Repaint() { repaint(); }
void TControl::Update() { repaint(); }

QImage TControl::PaintToImage()
{
    QImage img(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    img.fill(Qt::white);
    render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

void TControl::SetMouseCapture(bool v)
{
    if (v == capture_)
        return;
    capture_ = v;
    if (v)
        grabMouse();
    else
        releaseMouse();
}

void TControl::SetFocus() { setFocus(Qt::OtherFocusReason); }

void TControl::SetOpaque(bool v) { opaque_ = v; }

void TControl::PrepareCanvas()
{
    canvas_.Font->Assign(*font_);
    canvas_.Brush->Color = color_;
    canvas_.Brush->Style = bsSolid;
}

void TControl::Paint() {}
void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) { if (OnMouseDown) OnMouseDown(this, b, s, x, y); }
void TControl::MouseMove(TShiftState s, int x, int y) { if (OnMouseMove) OnMouseMove(this, s, x, y); }
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) { if (OnMouseUp) OnMouseUp(this, b, s, x, y); }
void TControl::Click() { if (OnClick) OnClick(this); }
void TControl::DblClick() { if (OnDblClick) OnDblClick(this); }
void TControl::KeyDown(Word& k, TShiftState s) { if (OnKeyDown) OnKeyDown(this, k, s); }
void TControl::KeyUp(Word& k, TShiftState s) { if (OnKeyUp) OnKeyUp(this, k, s); }
void TControl::KeyPress(char& k) { if (OnKeyPress) OnKeyPress(this, k); }
void TControl::MouseEnter() { if (OnMouseEnter) OnMouseEnter(this); }
void TControl::MouseLeave() { if (OnMouseLeave) OnMouseLeave(this); }
void TControl::Resize() { if (OnResize) OnResize(this); }
void TControl::EnabledChanged() { Invalidate(); }
void TControl::VisibleChanged() {}
void TControl::FontChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::TextChanged() { Invalidate(); }
void TControl::DoEnter() { if (OnEnter) OnEnter(this); }
void TControl::DoExit() { if (OnExit) OnExit(this); }

void TControl::Realign()
{
    if (inRealign_)
        return;
    inRealign_ = true;
    AlignChildren(this, AlignClientRect());
    inRealign_ = false;
}

void TControl::AlignChildren(QWidget* parent, const TRect& area)
{
    std::vector<TControl*> kids;
    for (QObject* o : parent->children())
        if (auto* c = dynamic_cast<TControl*>(o))
            if (c->align_ != alNone && c->visibleFlag_ && !c->isWindow())
                kids.push_back(c);
    TRect a = area;
    // While its parent places it, a child must not ask the parent to realign again; its own
    // children are still laid out by the resize that setGeometry delivers.
    auto place = [](TControl* c, int l, int t, int w, int h) {
        c->placedByParent_ = true;
        c->setGeometry(l, t, std::max(0, w), std::max(0, h));
        c->placedByParent_ = false;
    };
    for (TAlign which : {alTop, alBottom, alLeft, alRight, alClient})
        for (TControl* c : kids) {
            if (c->align_ != which)
                continue;
            switch (which) {
            case alTop: place(c, a.Left, a.Top, a.Width(), c->height()); a.Top += c->height(); break;
            case alBottom: place(c, a.Left, a.Bottom - c->height(), a.Width(), c->height()); a.Bottom -= c->height(); break;
            case alLeft: place(c, a.Left, a.Top, c->width(), a.Height()); a.Left += c->width(); break;
            case alRight: place(c, a.Right - c->width(), a.Top, c->width(), a.Height()); a.Right -= c->width(); break;
            default: place(c, a.Left, a.Top, a.Width(), a.Height()); break;
            }
        }
}

void TControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    canvas_.BindPainter(&p);
    PrepareCanvas();
    if (!opaque_)
        p.fillRect(rect(), ToQColor(color_));
    Guarded([&]() { Paint(); });
    canvas_.Unbind();
}

void TControl::mousePressEvent(QMouseEvent* e)
{
    Guarded([&]() {
        const QPoint pos = e->position().toPoint();
        const TMouseButton b = ButtonOf(e->button());
        if (b == mbLeft)
            leftPressed_ = true;
        MouseDown(b, ShiftStateFromQt(e->modifiers(), e->buttons()), pos.x(), pos.y());
        e->accept();
    });
}

void TControl::mouseDoubleClickEvent(QMouseEvent* e)
{
    Guarded([&]() {
        if (!doubleClicks_) {
            mousePressEvent(e);
            return;
        }
        const QPoint pos = e->position().toPoint();
        const TMouseButton b = ButtonOf(e->button());
        leftPressed_ = false;
        if (b == mbLeft)
            DblClick();
        MouseDown(b, ShiftStateFromQt(e->modifiers(), e->buttons()) | ssDouble, pos.x(), pos.y());
        e->accept();
    });
}

void TControl::mouseReleaseEvent(QMouseEvent* e)
{
    Guarded([&]() {
        const QPoint pos = e->position().toPoint();
        const TMouseButton b = ButtonOf(e->button());
        if (capture_) {
            capture_ = false;
            releaseMouse();
        }
        const QPointer<TControl> self(this);
        if (b == mbLeft && leftPressed_) {
            leftPressed_ = false;
            if (rect().contains(pos))
                Click();
        }
        if (self)
            MouseUp(b, ShiftStateFromQt(e->modifiers(), e->buttons()), pos.x(), pos.y());
        e->accept();
    });
}

void TControl::mouseMoveEvent(QMouseEvent* e)
{
    Guarded([&]() {
        const QPoint pos = e->position().toPoint();
        MouseMove(ShiftStateFromQt(e->modifiers(), e->buttons()), pos.x(), pos.y());
        e->accept();
    });
}

void TControl::enterEvent(QEnterEvent*)
{
    Guarded([&]() {
        mouseInside_ = true;
        MouseEnter();
    });
}

void TControl::leaveEvent(QEvent*)
{
    Guarded([&]() {
        mouseInside_ = false;
        MouseLeave();
    });
}

bool TControl::DialogKey(Word, const QWidget*) { return false; }

// A key that a focused child left alone passes on to the window without firing this control's
// handlers: a panel holding the control is not the control.
bool TControl::FromFocusedChild() const
{
    const QWidget* focus = window()->focusWidget();
    return focus && focus != this && isAncestorOf(focus);
}

void TControl::keyPressEvent(QKeyEvent* e)
{
    if (FromFocusedChild()) {
        e->ignore();
        return;
    }
    Guarded([&]() {
        Word key = EventVirtualKey(*e);
        const TShiftState shift = ShiftStateFromQt(e->modifiers());
        TForm* form = ParentForm();
        const bool preview = form && form != this && form->KeyPreview;
        if (preview && key)
            form->KeyDown(key, shift);
        if (key)
            KeyDown(key, shift);
        const std::string text = QStringToCp949(e->text());
        for (char c : text) {
            if (preview)
                form->KeyPress(c);
            if (c)
                KeyPress(c);
        }
        e->accept();
    });
}

void TControl::keyReleaseEvent(QKeyEvent* e)
{
    if (FromFocusedChild()) {
        e->ignore();
        return;
    }
    Guarded([&]() {
        Word key = EventVirtualKey(*e);
        const TShiftState shift = ShiftStateFromQt(e->modifiers());
        TForm* form = ParentForm();
        if (form && form != this && form->KeyPreview && key)
            form->KeyUp(key, shift);
        if (key)
            KeyUp(key, shift);
        e->accept();
    });
}

void TControl::resizeEvent(QResizeEvent*)
{
    Guarded([&]() {
        Realign();
        Resize();
    });
}

void TControl::moveEvent(QMoveEvent*) {}

void TControl::focusInEvent(QFocusEvent* e)
{
    Guarded([&]() {
        QWidget::focusInEvent(e);
        DoEnter();
    });
}

void TControl::focusOutEvent(QFocusEvent* e)
{
    Guarded([&]() {
        QWidget::focusOutEvent(e);
        DoExit();
    });
}

void TControl::changeEvent(QEvent* e)
{
    Guarded([&]() {
        if (e->type() == QEvent::EnabledChange)
            EnabledChanged();
        QWidget::changeEvent(e);
    });
}

// ---------------------------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(QWidget* parent, TComponent* owner) : TControl(parent, owner)
{
    SetOpaque(true);
    resize(185, 41);
}

void TCustomPanel::SetBevelInner(TBevelCut v) { if (v != bevelInner_) { bevelInner_ = v; Realign(); Invalidate(); } }
void TCustomPanel::SetBevelOuter(TBevelCut v) { if (v != bevelOuter_) { bevelOuter_ = v; Realign(); Invalidate(); } }
void TCustomPanel::SetBevelWidth(int v) { if (v != bevelWidth_) { bevelWidth_ = std::max(0, v); Realign(); Invalidate(); } }
void TCustomPanel::SetBorderWidth(int v) { if (v != borderWidth_) { borderWidth_ = std::max(0, v); Realign(); Invalidate(); } }
void TCustomPanel::SetBorderStyle(TBorderStyle v) { if (v != borderStyle_) { borderStyle_ = v; Realign(); Invalidate(); } }
void TCustomPanel::SetAlignment(TAlignment v) { if (v != alignment_) { alignment_ = v; Invalidate(); } }

TRect TCustomPanel::AlignClientRect() const
{
    TRect r = ClientRect();
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    if (borderStyle_ == bsSingle) inset += 1;
    InflateRect(r, -inset, -inset);
    return r;
}

void TCustomPanel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    auto colours = [](TBevelCut cut, TColor& top, TColor& bottom) {
        top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    };
    TColor top, bottom;
    if (BorderStyle() == bsSingle)
        Frame3D(c, r, clWindowFrame, clWindowFrame, 1);
    if (bevelOuter_ != bvNone) {
        colours(bevelOuter_, top, bottom);
        Frame3D(c, r, top, bottom, bevelWidth_);
    }
    Frame3D(c, r, Color(), Color(), borderWidth_);
    if (bevelInner_ != bvNone) {
        colours(bevelInner_, top, bottom);
        Frame3D(c, r, top, bottom, bevelWidth_);
    }
    c->Brush->Color = Color();
    c->Brush->Style = bsSolid;
    c->FillRect(r);
    c->Brush->Style = bsClear;
    c->Font->Assign(*Font());
    const int fh = c->TextHeight("W");
    r.Top = (r.Bottom + r.Top - fh) / 2;
    r.Bottom = r.Top + fh;
    const unsigned align = alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER;
    if (!Caption().empty())
        c->DrawText(Caption(), r, DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | align);
}

// ---------------------------------------------------------------------------------------------
// TForm

// A window is created parentless and then given its parent as a window, so that it is never
// shown as a child in between.
TForm::TForm(QWidget* parent, TComponent* owner) : TControl(nullptr, owner)
{
    InstallMenuKeys();
    visibleFlag_ = false;
    if (parent)
        QWidget::setParent(parent, Qt::Window);
    SetOpaque(false);
    ApplyWindowFlags();
}

TForm::~TForm()
{
    if (Application()->MainForm == this)
        Application()->MainForm = nullptr;
}

void TForm::ApplyWindowFlags()
{
    Qt::WindowFlags f = Qt::Window;
    switch (borderStyle_) {
    case bsFormNone: f |= Qt::FramelessWindowHint; break;
    case bsFormDialog: f = Qt::Dialog; break;
    case bsFormToolWindow:
    case bsFormSizeToolWin: f = Qt::Tool; break;
    default: break;
    }
    if (formStyle_ == fsStayOnTop)
        f |= Qt::WindowStaysOnTopHint;
    const bool vis = visibleFlag_ && isVisible();
    setWindowFlags(f);
    if (vis)
        QWidget::setVisible(true);
}

void TForm::SetBorderStyle(TFormBorderStyle v)
{
    if (v == borderStyle_)
        return;
    borderStyle_ = v;
    ApplyWindowFlags();
}

void TForm::SetFormStyle(TFormStyle s)
{
    if (s == formStyle_)
        return;
    formStyle_ = s;
    ApplyWindowFlags();
}

TWindowState TForm::WindowState() const
{
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized) return wsMinimized;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return wsMaximized;
    return wsNormal;
}

void TForm::SetWindowState(TWindowState s)
{
    Qt::WindowStates next = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (s == wsMinimized) next |= Qt::WindowMinimized;
    if (s == wsMaximized) next |= Qt::WindowMaximized;
    setWindowState(next);
}

void TForm::SetClientSize(int w, int h) { resize(std::max(0, w), std::max(0, h)); }

void TForm::SetBounds(int left, int top, int width, int height)
{
    const QSize next(std::max(0, width), std::max(0, height));
    const bool resized = next != size();
    move(left, top);
    resize(next);
    if (resized)
        Realign();
}

void TForm::TextChanged() { setWindowTitle(Cp949ToQString(Caption())); }

int TForm::ShowModal()
{
    modalResult_ = mrNone;
    modal_ = true;
    setWindowModality(Qt::ApplicationModal);
    SetVisible(true);
    QEventLoop loop;
    const QPointer<TForm> self(this);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&]() {
        if (!self || !self->isVisible() || self->modalResult_ != mrNone)
            loop.quit();
    });
    poll.start(10);
    loop.exec();
    if (!self)
        return mrCancel;
    modal_ = false;
    setWindowModality(Qt::NonModal);
    if (isVisible())
        SetVisible(false);
    return modalResult_ == mrNone ? mrCancel : modalResult_;
}

void TForm::SetModalResult(int r)
{
    modalResult_ = r;
    if (modal_ && r != mrNone)
        Close();
}

void TForm::Close()
{
    if (closing_)
        return;
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    if (!canClose) {
        if (modal_)
            modalResult_ = mrNone;
        return;
    }
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == caNone) {
        if (modal_)
            modalResult_ = mrNone;
        return;
    }
    if (modal_ && modalResult_ == mrNone)
        modalResult_ = mrCancel;
    closing_ = true;
    if (action == caMinimize) {
        showMinimized();
    } else {
        SetVisible(false);
        if (action == caFree)
            deleteLater();
    }
    closing_ = false;
    if (Application()->MainForm == this && action != caMinimize)
        Application()->Terminate();
}

void TForm::closeEvent(QCloseEvent* e)
{
    e->ignore();
    Guarded([&]() { Close(); });
}

void TForm::showEvent(QShowEvent* e)
{
    visibleFlag_ = true;
    QWidget::showEvent(e);
    if (OnShow)
        OnShow(this);
}

void TForm::hideEvent(QHideEvent* e)
{
    if (!e->spontaneous())
        visibleFlag_ = false;
    QWidget::hideEvent(e);
    if (OnHide)
        OnHide(this);
}

bool TForm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && OnActivate)
        OnActivate(this);
    if (e->type() == QEvent::WindowDeactivate && OnDeactivate)
        OnDeactivate(this);
    return TControl::event(e);
}

// ---------------------------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* owner) : TComponent(owner), timer_(std::make_unique<QTimer>())
{
    QObject::connect(timer_.get(), &QTimer::timeout, [this]() {
        Guarded([&]() {
            if (OnTimer)
                OnTimer(this);
        });
    });
    Update();
}

TTimer::~TTimer() { timer_->stop(); }

void TTimer::SetEnabled(bool v)
{
    if (v == enabled_)
        return;
    enabled_ = v;
    Update();
}

void TTimer::SetInterval(unsigned ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    Update();
}

void TTimer::Update()
{
    timer_->stop();
    if (enabled_ && interval_ > 0)
        timer_->start(static_cast<int>(interval_));
}

// ---------------------------------------------------------------------------------------------
// TApplication

TApplication::TApplication() : TComponent(nullptr) {}

void TApplication::ProcessMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::Terminate()
{
    terminated_ = true;
    if (QCoreApplication::instance())
        QCoreApplication::quit();
}

TApplication* Application()
{
    static TApplication app;
    return &app;
}
