#include "controls/XPMenuPainters.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include "platform/core/SysUtils.h"
#include "platform/gui/QtText.h"

namespace {

// The size of a check box, a radio box and a combo box's drop button (the platform's thumb size).
constexpr int kBoxSize = 16;

int TagOf(const QObject* obj)
{
    if (auto* c = dynamic_cast<const TComponent*>(obj))
        return c->Tag;
    const QVariant v = obj ? obj->property("Tag") : QVariant();
    return v.isValid() ? v.toInt() : 0;
}

TColor WidgetColor(const QWidget* w)
{
    if (w == nullptr)
        return clBtnFace;
    if (auto* c = dynamic_cast<const TControl*>(w))
        return c->Color();
    return FromQColor(w->palette().color(w->backgroundRole()));
}

TRect ClientOf(const QWidget* w) { return Rect(0, 0, w->width(), w->height()); }

void FillWith(TCanvas* c, const TRect& r, TColor color)
{
    c->Brush->Style = bsSolid;
    c->Brush->Color = color;
    c->FillRect(r);
}

void FrameWith(TCanvas* c, const TRect& r, TColor color)
{
    c->Brush->Style = bsSolid;
    c->Brush->Color = color;
    c->FrameRect(r);
}

}  // namespace

TXPControl ControlKind(const QWidget* w, bool* matched)
{
    *matched = true;
    if (qobject_cast<const QComboBox*>(w)) return xcCombo;
    if (qobject_cast<const QLineEdit*>(w)) return xcEdit;
    if (qobject_cast<const QPlainTextEdit*>(w)) return xcMemo;
    if (qobject_cast<const QTextEdit*>(w)) return xcRichEdit;
    if (qobject_cast<const QCheckBox*>(w)) return xcCheckBox;
    if (qobject_cast<const QRadioButton*>(w)) return xcRadioButton;
    if (auto* b = qobject_cast<const QPushButton*>(w)) return b->icon().isNull() ? xcButton : xcBitBtn;
    // The buttons of a tool bar are the tool bar painter's.
    if (qobject_cast<const QToolButton*>(w) && !qobject_cast<const QToolBar*>(w->parentWidget())) return xcSpeedButton;
    if (dynamic_cast<const TCustomPanel*>(w)) return xcPanel;
    if (qobject_cast<const QGroupBox*>(w)) return xcGroupBox;
    *matched = false;
    return xcMainMenu;
}

bool ContainerKind(const QWidget* parent, TXPContainer& kind)
{
    if (parent == nullptr)
        return false;
    const QWidget* grand = parent->parentWidget();
    if (qobject_cast<const QToolBar*>(parent)) { kind = xccToolbar; return true; }
    if (dynamic_cast<const TCustomPanel*>(parent)) { kind = xccPanel; return true; }
    if (grand != nullptr && grand->parentWidget() != nullptr && qobject_cast<const QScrollArea*>(grand->parentWidget())) {
        kind = xccScrollBox;
        return true;
    }
    if (qobject_cast<const QGroupBox*>(parent)) { kind = xccGroupBox; return true; }
    if (qobject_cast<const QStackedWidget*>(grand) && qobject_cast<const QTabWidget*>(grand->parentWidget())) {
        kind = xccTabSheet;
        return true;
    }
    if (parent->isWindow() || dynamic_cast<const TForm*>(parent)) { kind = xccForm; return true; }
    return false;
}

void TXPMenu::InitControl(QWidget* control, bool enable, bool update)
{
    if (DesignTime() || !enable)
        return;
    bool matched = false;
    const TXPControl kind = ControlKind(control, &matched);
    TXPContainer container = xccForm;
    if (!matched || !(xpControls_ & XPBit(kind)) || !ContainerKind(control->parentWidget(), container) ||
        !(xpContainers_ & XPBit(container)))
        return;
    if (TagOf(control) == 999 || TagOf(control->parentWidget()) == 999)
        return;
    // A control keeps the first painter it got.
    for (const QPointer<QObject>& s : subclasses_)
        if (auto* sub = static_cast<TControlSubClass*>(s.data()); sub != nullptr && sub->Control() == control)
            return;
    auto* sub = new TControlSubClass(this, control);
    subclasses_.emplace_back(sub);
    if (update)
        control->update();
}

// ---- TControlSubClass ---------------------------------------------------------------------------

TControlSubClass::TControlSubClass(TXPMenu* owner, QWidget* control) : owner_(owner), control_(control)
{
    setParent(control);
    control->installEventFilter(this);
}

TControlSubClass::~TControlSubClass()
{
    if (control_)
        control_->removeEventFilter(this);
}

void TControlSubClass::Release()
{
    if (control_) {
        control_->removeEventFilter(this);
        control_->update();
    }
    deleteLater();
}

bool TControlSubClass::TakesParentColor() const { return TagOf(control_) == 1000; }
TColor TControlSubClass::ParentColor() const { return WidgetColor(control_ ? control_->parentWidget() : nullptr); }
TColor TControlSubClass::ControlColor() const { return WidgetColor(control_); }

bool TControlSubClass::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != control_)
        return false;
    if (!owner_->Active()) {
        Release();
        return false;
    }
    QWidget* w = control_;
    const bool graphic = qobject_cast<QToolButton*>(w) != nullptr;
    switch (e->type()) {
    case QEvent::Paint: {
        if (!graphic)
            static_cast<QObject*>(w)->event(e);
        QPainter p(w);
        TCanvas canvas;
        canvas.BindPainter(&p);
        PaintControlXP(&canvas);
        canvas.Unbind();
        return true;
    }
    case QEvent::Enter:
        if (w->isEnabled()) {
            hot_ = true;
            w->update();
        }
        break;
    case QEvent::Leave:
        if (w->isEnabled()) {
            hot_ = false;
            w->update();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A double click counts as a second press, as the toolkit's buttons treat it.
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            mouseDown_ = true;
            w->update();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            mouseDown_ = false;
            w->update();
        }
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Space) {
            spaceDown_ = true;
            // Held down, the key repeats; only the first press repaints.
            if (!spaceRepeat_)
                w->update();
            spaceRepeat_ = true;
        }
        break;
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Space && !k->isAutoRepeat()) {
            spaceDown_ = false;
            spaceRepeat_ = false;
            w->update();
        }
        break;
    }
    case QEvent::FocusIn:
        hot_ = true;
        w->update();
        break;
    case QEvent::FocusOut:
        hot_ = false;
        w->update();
        break;
    case QEvent::EnabledChange:
        if (!w->isEnabled())
            hot_ = false;
        w->update();
        break;
    default:
        break;
    }
    return false;
}

void TControlSubClass::PaintControlXP(TCanvas* c)
{
    QWidget* w = control_;
    if (w == nullptr)
        return;
    focused_ = w->hasFocus();
    owner_->SetGlobalColor(c);
    bool matched = false;
    switch (ControlKind(w, &matched)) {
    case xcCombo: PaintCombo(c); break;
    case xcEdit: case xcMemo: PaintEdit(c, false); break;
    case xcRichEdit: PaintEdit(c, true); break;
    case xcCheckBox: PaintCheckBox(c, false); break;
    case xcRadioButton: PaintCheckBox(c, true); break;
    case xcButton: PaintButton(c, false); break;
    case xcBitBtn: PaintButton(c, true); break;
    case xcSpeedButton: if (w->isVisible()) PaintSpeedButton(c); break;
    case xcPanel: PaintPanel(c); break;
    case xcGroupBox: PaintGroupBox(c); break;
    default: break;
    }
}

void TControlSubClass::PaintCombo(TCanvas* c)
{
    auto* combo = static_cast<QComboBox*>(control_.data());
    TXPMenu& m = *owner_;
    const TColor P = ParentColor(), K = ControlColor();
    const bool hot = hot_, focused = focused_;
    const bool dropped = combo->view() != nullptr && combo->view()->isVisible();
    TColor border = hot ? m.WorkSelectBorderColor : K;
    TColor button = hot ? m.WorkSelectColor : (TakesParentColor() ? NewColor(c, P, m.ParentLight) : clBtnFace);
    if (!hot && focused) {
        border = NewColor(c, m.WorkSelectBorderColor, 60);
        button = m.WorkCheckedAreaColor;
    }
    TColor arrow = combo->isEnabled() ? clBlack : clWhite;
    if (dropped) {
        border = m.WorkSelectBorderColor;
        button = m.WorkCheckedAreaSelectColor;
        arrow = clWhite;
    }
    const TRect r = ClientOf(combo);
    FrameWith(c, r, P);
    c->Pen->Color = P;
    c->MoveTo(r.Left, r.Top);
    c->LineTo(r.Right, r.Top);
    TRect inner = r;
    inner.Top += 1;
    inner.Bottom -= 1;
    if (hot || focused)
        InflateRect(inner, 1, 1);
    FrameWith(c, inner, K);
    TRect outline = inner;
    outline.Bottom += 1;
    FrameWith(c, outline, border);

    const bool rtl = combo->isRightToLeft();
    TRect b = rtl ? Rect(inner.Left + 1, inner.Top + 1, inner.Left + 1 + kBoxSize + 1, inner.Bottom - 1)
                  : Rect(inner.Right - 1 - (kBoxSize + 1), inner.Top + 1, inner.Right - 1, inner.Bottom - 1);
    if (hot || focused) {
        if (rtl)
            b.Right += 2;
        else
            b.Left -= 1;
    }
    FillWith(c, b, button);
    const TRect strip = rtl ? Rect(b.Right, b.Top, b.Right + 5, b.Bottom) : Rect(b.Left - 5, b.Top, b.Left, b.Bottom);
    FillWith(c, strip, K);
    c->Pen->Color = border;
    const int lineX = rtl ? b.Right : b.Left;
    c->MoveTo(lineX, b.Top);
    c->LineTo(lineX, b.Bottom);
    c->Pen->Color = arrow;
    const int ax = rtl ? r.Left + 5 : r.Right - 10;
    DrawArrow(c, ax, r.Top + (r.Height() - 3) / 2);
}

void TControlSubClass::PaintEdit(TCanvas* c, bool richEdit)
{
    QWidget* w = control_;
    TXPMenu& m = *owner_;
    bool single = true;
    if (auto* e = qobject_cast<QLineEdit*>(w))
        single = e->hasFrame();
    else if (auto* f = qobject_cast<QFrame*>(w))
        single = f->frameShape() != QFrame::NoFrame;
    const TColor P = ParentColor();
    TColor color;
    if (hot_ || focused_)
        color = NewColor(c, m.WorkSelectBorderColor, (single || richEdit) ? 60 : 80);
    else
        color = single ? GetShadeColor(c, P, 60) : P;
    c->Brush->Style = bsClear;
    c->Pen->Style = psSolid;
    c->Pen->Color = color;
    c->Rectangle(ClientOf(w));
    c->Brush->Style = bsSolid;
}

void TControlSubClass::PaintCheckBox(TCanvas* c, bool radio)
{
    auto* button = static_cast<QAbstractButton*>(control_.data());
    TXPMenu& m = *owner_;
    const TColor K = ControlColor();
    TRect r = ClientOf(button);
    const int inset = radio ? 4 : 3;
    r.Top += inset;
    r.Bottom -= inset;
    const int bw = radio ? kBoxSize - 1 : kBoxSize;
    const int bh = radio ? kBoxSize - 1 : kBoxSize;
    const int top = r.Top + (r.Height() - bh) / 2;
    TRect box = button->isRightToLeft() ? Rect(r.Right - bw, top, r.Right, top + bh) : Rect(r.Left, top, r.Left + bw, top + bh);
    FillWith(c, box, K);
    InflateRect(box, -2, -2);

    auto* check = qobject_cast<QCheckBox*>(button);
    const bool grayed = check != nullptr && check->checkState() == Qt::PartiallyChecked;
    const bool checked = button->isChecked() && !grayed;
    TColor fill = hot_ ? m.WorkSelectColor : clWindow;
    TColor pen = hot_ ? m.WorkSelectBorderColor : clBtnShadow;
    if (focused_) {
        fill = m.WorkSelectColor;
        if (!radio)
            pen = m.WorkSelectBorderColor;
    }
    if (!radio && (mouseDown_ || spaceDown_))
        fill = m.WorkCheckedAreaSelectColor;
    if (!radio && grayed)
        fill = 0xC0C0C0;
    c->Brush->Style = bsSolid;
    c->Brush->Color = fill;
    c->Pen->Style = psSolid;
    c->Pen->Color = pen;
    if (radio) {
        c->Ellipse(box.Left, box.Top, box.Right, box.Bottom);
        if (checked) {
            TRect dot = box;
            InflateRect(dot, -2, -2);
            const TColor color = button->isEnabled() ? clHighlight : m.WorkDisabledColor;
            c->Brush->Color = color;
            c->Pen->Color = color;
            c->Ellipse(dot.Left, dot.Top, dot.Right, dot.Bottom);
        }
        return;
    }
    c->Rectangle(box);
    if (checked || grayed) {
        TColor mark = clHighlight;
        if (!button->isEnabled())
            mark = m.WorkDisabledColor;
        else if (mouseDown_ || spaceDown_)
            mark = clWindow;
        else if (grayed)
            mark = 0x808080;
        c->Pen->Color = mark;
        DrawCheckMark(c, box.Left, box.Bottom);
    }
}

void TControlSubClass::PaintButton(TCanvas* c, bool withGlyph)
{
    auto* button = static_cast<QPushButton*>(control_.data());
    TXPMenu& m = *owner_;
    const TColor P = ParentColor();
    const bool parentBased = TakesParentColor();
    const bool hot = hot_ || (withGlyph && spaceDown_);
    const TRect r = ClientOf(button);
    FillWith(c, r, P);
    TColor fill = hot ? NewColor(c, parentBased ? P : clBtnFace, parentBased ? m.ParentLighter : 40)
                      : (parentBased ? NewColor(c, P, m.ParentLight) : m.WorkIconBackColor);
    TColor border = hot ? NewColor(c, m.WorkSelectBorderColor, 60) : clBtnShadow;
    if (focused_)
        border = NewColor(c, m.WorkSelectBorderColor, 60);
    c->Brush->Style = bsSolid;
    c->Brush->Color = fill;
    c->Pen->Style = psSolid;
    c->Pen->Color = NewColor(c, border, 30);
    c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 4, 4);
    if (button->isEnabled()) {
        c->Pen->Color = GetShadeColor(c, border, 50);
        const bool pressed = spaceDown_ || (mouseDown_ && hot_);
        if (pressed) {
            c->MoveTo(r.Left + 1, r.Bottom - 2);
            c->LineTo(r.Left + 1, r.Top + 1);
            c->LineTo(r.Right - 1, r.Top + 1);
        } else {
            c->MoveTo(r.Left + 1, r.Bottom - 2);
            c->LineTo(r.Right - 2, r.Bottom - 2);
            c->LineTo(r.Right - 2, r.Top);
        }
    }
    if (withGlyph) {
        DrawGlyphAndCaption(c, r, hot, false, false);
        return;
    }
    TFont font;
    font.SetName(QStringToCp949(button->font().family()));
    if (button->font().pixelSize() > 0)
        font.SetHeight(-button->font().pixelSize());
    font.SetColor(FromQColor(button->palette().color(QPalette::ButtonText)));
    unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (button->isRightToLeft())
        format |= DT_RTLREADING;
    m.DrawTheText(false, QStringToCp949(button->text()), std::string(), c, r, false, button->isEnabled(),
                  button->isDefault(), false, button->isRightToLeft(), font, format);
}

void TControlSubClass::DrawGlyphAndCaption(TCanvas* c, const TRect& client, bool hot, bool checked, bool speedButton)
{
    auto* button = static_cast<QAbstractButton*>(control_.data());
    TXPMenu& m = *owner_;
    TBitmap glyph;
    if (!button->icon().isNull()) {
        const QSize size = button->iconSize();
        QImage img(size, QImage::Format_RGB32);
        img.fill(ToQColor(MenuBitmapKey));
        {
            QPainter p(&img);
            p.drawPixmap(0, 0, button->icon().pixmap(size, button->isEnabled() ? QIcon::Normal : QIcon::Disabled));
        }
        glyph.SetImage(img);
    }
    TFont font;
    font.SetName(QStringToCp949(button->font().family()));
    if (button->font().pixelSize() > 0)
        font.SetHeight(-button->font().pixelSize());
    font.SetColor(FromQColor(button->palette().color(QPalette::ButtonText)));
    c->Font->Assign(font);
    const std::string caption = QStringToCp949(button->text());
    TRect measured = Rect(0, 0, 0, 0);
    if (!caption.empty())
        c->DrawText(caption, measured, DT_CALCRECT | DT_SINGLELINE);
    const int gw = glyph.Width(), gh = glyph.Height();
    const int tw = caption.empty() ? 0 : measured.Width(), th = caption.empty() ? 0 : measured.Height();
    const int sp = Trim(caption).empty() ? 0 : 4;
    const int W = client.Width(), H = client.Height();
    bool glyphTop = false;
    if (auto* tool = qobject_cast<QToolButton*>(button))
        glyphTop = tool->toolButtonStyle() == Qt::ToolButtonTextUnderIcon;
    int gx, gy, tx, ty;
    if (glyphTop) {
        gy = (H - (gh + sp + th)) / 2;
        ty = gy + gh + sp;
        gx = (W - gw) / 2;
        tx = (W - tw) / 2;
    } else {
        gx = (W - (sp + gw + tw)) / 2;
        tx = gx + gw + sp;
        gy = (H - gh) / 2 - (speedButton ? 1 : 0);
        ty = (H - th) / 2;
        if (speedButton && button->isRightToLeft()) {
            const int right = (sp + gw + tw + W) / 2;
            gx = right - gw;
            tx = gx - sp - tw;
            gy = (H - gh) / 2;
        }
    }
    if (!glyph.Empty())
        m.DrawIcon(true, c, &glyph, Bounds(gx, gy, gw, gh), hot, focused_, button->isEnabled(), checked, false,
                   button->isRightToLeft());
    if (!caption.empty()) {
        auto* push = qobject_cast<QPushButton*>(button);
        m.DrawTheText(false, caption, std::string(), c, Bounds(tx, ty, tw, th), false, button->isEnabled(),
                      !speedButton && push != nullptr && push->isDefault(), false, button->isRightToLeft(), font,
                      DT_CENTER | (button->isRightToLeft() ? DT_RTLREADING : 0u));
    }
}

void TControlSubClass::PaintSpeedButton(TCanvas* c)
{
    auto* button = static_cast<QToolButton*>(control_.data());
    TXPMenu& m = *owner_;
    const TColor P = ParentColor();
    const bool parentBased = TakesParentColor();
    const bool flat = button->autoRaise();
    const bool down = button->isCheckable() && button->isChecked();
    const bool hot = hot_;
    TColor fill;
    if (hot)
        fill = flat ? m.WorkSelectColor : NewColor(c, parentBased ? P : clBtnFace, parentBased ? m.ParentLighter : 40);
    else
        fill = flat ? P : (parentBased ? NewColor(c, P, m.ParentLight) : m.WorkIconBackColor);
    if (down)
        fill = hot ? m.WorkCheckedAreaSelectColor : m.WorkCheckedAreaColor;
    TColor border = clBtnShadow;
    if (button->isEnabled()) {
        if (hot)
            border = NewColor(c, m.WorkSelectBorderColor, 60);
        else if (down)
            border = m.WorkSelectBorderColor;
    }
    const TRect r = ClientOf(button);
    FillWith(c, r, fill);
    c->Brush->Style = bsClear;
    c->Pen->Style = psSolid;
    c->Pen->Color = (flat && !down && !hot) ? fill : NewColor(c, border, 30);
    c->Rectangle(r);
    if (button->isEnabled() && (down || mouseDown_)) {
        c->Pen->Color = GetShadeColor(c, border, 50);
        c->MoveTo(r.Left + 1, r.Bottom - 2);
        c->LineTo(r.Left + 1, r.Top + 1);
        c->LineTo(r.Right - 1, r.Top + 1);
    }
    c->Brush->Style = bsSolid;
    DrawGlyphAndCaption(c, r, hot, down || mouseDown_, true);
}

void TControlSubClass::PaintPanel(TCanvas* c)
{
    auto* panel = dynamic_cast<TCustomPanel*>(control_.data());
    if (panel == nullptr)
        return;
    const TColor K = panel->Color();
    TRect r = ClientOf(panel);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        if (cut == bvLowered)
            Frame3D(c, r, GetShadeColor(c, K, 60), NewColor(c, K, 60), panel->BevelWidth());
        else
            Frame3D(c, r, NewColor(c, K, 60), GetShadeColor(c, K, 60), panel->BevelWidth());
    };
    bevel(panel->BevelOuter());
    InflateRect(r, -panel->BorderWidth(), -panel->BorderWidth());
    bevel(panel->BevelInner());
}

void TControlSubClass::PaintGroupBox(TCanvas* c)
{
    auto* box = static_cast<QGroupBox*>(control_.data());
    const TColor K = ControlColor(), P = ParentColor();
    const bool ctl3d = box->isFlat() == false;
    TFont font;
    font.SetName(QStringToCp949(box->font().family()));
    if (box->font().pixelSize() > 0)
        font.SetHeight(-box->font().pixelSize());
    font.SetColor(FromQColor(box->palette().color(QPalette::WindowText)));
    c->Font->Assign(font);
    const std::string caption = QStringToCp949(box->title());
    const int h = c->TextHeight(caption.empty() ? std::string(" ") : caption);
    const int w = caption.empty() ? 0 : c->TextWidth(caption);
    const TRect client = ClientOf(box);

    TRect erase = client;
    InflateRect(erase, -1, -1);
    erase.Top += h - 1;
    c->Brush->Style = bsClear;
    c->Pen->Style = psSolid;
    c->Pen->Color = K;
    c->Rectangle(erase);

    TRect f = client;
    f.Top = h / 2 - 1;
    c->MoveTo(f.Left + 1, f.Top);
    c->LineTo(f.Left + 1, f.Bottom);
    TRect frame = f;
    if (ctl3d)
        Frame3D(c, frame, NewColor(c, K, 60), GetShadeColor(c, K, 60), 1);
    else
        Frame3D(c, frame, GetShadeColor(c, K, 60), GetShadeColor(c, K, 60), 1);

    FillWith(c, Rect(client.Left, client.Top, client.Right, h / 2 + 1), P);
    const bool rtl = box->isRightToLeft();
    const TRect cap = rtl ? Rect(client.Right - 9 - w, client.Top, client.Right - 9, client.Top + h)
                          : Rect(client.Left + 9, client.Top, client.Left + 9 + w, client.Top + h);
    FillWith(c, Rect(cap.Left, h / 2, cap.Right, 2 * (h / 2) + 1), K);
    c->Pen->Color = K;
    c->MoveTo(client.Right - 2, h / 2);
    c->LineTo(client.Right - 2, h);
    c->Brush->Style = bsClear;
    TRect tr = cap;
    c->DrawText(caption, tr, DT_SINGLELINE | (rtl ? DT_RTLREADING : 0u));
    c->Brush->Style = bsSolid;
    c->Pen->Color = ctl3d ? NewColor(c, K, 60) : GetShadeColor(c, K, 60);
    const int y = h / 2 + 1;
    c->MoveTo(client.Left, y);
    c->LineTo(cap.Left, y);
    c->MoveTo(cap.Right, y);
    c->LineTo(client.Right - 1, y);
}
