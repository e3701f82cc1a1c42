// The flat look of tool bars: each tool button painted by TXPMenu::ToolBarDrawButton (hot and
// checked fills, frame, drop-down arrow, icon, caption), the bar's divider lines, and the band
// painter of control bars with its grip.
#include <QAction>
#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QPointer>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

#include "controls/XPMenu.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/QtText.h"

namespace {

const char* const kHookProperty = "morvane.toolBarHook";
const char* const kImagesProperty = "morvane.toolBarImages";

struct TToolBarImages : QObject {
    TImageList* Images = nullptr;
    TImageList* Hot = nullptr;
    TImageList* Disabled = nullptr;
};

TToolBarImages* ImagesOf(const QToolBar* bar)
{
    return bar ? static_cast<TToolBarImages*>(bar->property(kImagesProperty).value<void*>()) : nullptr;
}

int IntProperty(const QObject* obj, const char* name, int fallback)
{
    const QVariant v = obj ? obj->property(name) : QVariant();
    return v.isValid() ? v.toInt() : fallback;
}

TColor BarColor(const QToolBar* bar)
{
    return FromQColor(bar->palette().color(QPalette::Window));
}

bool IsDropDown(const QToolButton* button)
{
    return button->menu() != nullptr || button->popupMode() == QToolButton::MenuButtonPopup;
}

// Paints the buttons of one tool bar and its dividers in place of the toolkit.
class TToolBarHook : public QObject {
public:
    TToolBarHook(TXPMenu* owner, QToolBar* bar) : owner_(owner), bar_(bar)
    {
        bar->installEventFilter(this);
        for (QWidget* w : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            Attach(w);
    }
    ~TToolBarHook() override
    {
        if (bar_) {
            bar_->removeEventFilter(this);
            for (QWidget* w : bar_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                w->removeEventFilter(this);
        }
    }
    const TXPMenu* Owner() const { return owner_; }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == bar_ && e->type() == QEvent::ChildAdded) {
            QObject* child = static_cast<QChildEvent*>(e)->child();
            if (child != nullptr && child->isWidgetType())
                Attach(static_cast<QWidget*>(child));
            return false;
        }
        if (e->type() != QEvent::Paint || !owner_->Active())
            return false;
        if (auto* b = qobject_cast<QToolButton*>(watched)) {
            QPainter p(b);
            TCanvas canvas;
            canvas.BindPainter(&p);
            owner_->ToolBarDrawButton(bar_, b, &canvas, ToolButtonState(b));
            canvas.Unbind();
            return true;
        }
        if (auto* w = qobject_cast<QWidget*>(watched); w != nullptr && w != bar_.data())
            return PaintSeparator(w);
        return false;
    }

private:
    // Buttons are painted flat; separators are watched for their divider line. Other widgets on
    // the bar keep their own look.
    void Attach(QWidget* w)
    {
        if (auto* b = qobject_cast<QToolButton*>(w))
            b->setAutoRaise(true);
        w->removeEventFilter(this);
        w->installEventFilter(this);
    }

    // A separator in front of a button is filled with the bar colour and shows a divider line down
    // its middle when its Tag is above 0. A widget that is no separator paints itself.
    bool PaintSeparator(QWidget* w)
    {
        const QList<QAction*> actions = bar_->actions();
        int index = -1;
        for (int i = 0; i < actions.size(); ++i)
            if (actions[i]->isSeparator() && bar_->widgetForAction(actions[i]) == w)
                index = i;
        if (index < 0)
            return false;
        if (index + 1 >= actions.size() || qobject_cast<QToolButton*>(bar_->widgetForAction(actions[index + 1])) == nullptr)
            return false;
        QPainter p(w);
        TCanvas canvas;
        canvas.BindPainter(&p);
        const TRect r = Rect(0, 0, w->width(), w->height());
        if (IntProperty(bar_, "Transparent", 0) == 0) {
            canvas.Brush->Style = bsSolid;
            canvas.Brush->Color = owner_->UseShades() ? NewColor(&canvas, BarColor(bar_), 16) : BarColor(bar_);
            canvas.FillRect(r);
        }
        if (IntProperty(actions[index], "Tag", 0) > 0) {
            canvas.Pen->Color = GetShadeColor(&canvas, BarColor(bar_), 30);
            const int x = (r.Left + r.Right) / 2;
            canvas.MoveTo(x, r.Top + 2);
            canvas.LineTo(x, r.Bottom - 1);
        }
        canvas.Unbind();
        return true;
    }

    TXPMenu* owner_;
    QPointer<QToolBar> bar_;
};

TToolBarHook* HookOf(const QToolBar* bar)
{
    return bar ? static_cast<TToolBarHook*>(bar->property(kHookProperty).value<void*>()) : nullptr;
}

}  // namespace

void SetToolBarImages(QToolBar* bar, TImageList* images, TImageList* hotImages, TImageList* disabledImages)
{
    if (bar == nullptr)
        return;
    TToolBarImages* d = ImagesOf(bar);
    if (d == nullptr) {
        d = new TToolBarImages;
        d->setParent(bar);
        bar->setProperty(kImagesProperty, QVariant::fromValue<void*>(d));
    }
    d->Images = images;
    d->Hot = hotImages;
    d->Disabled = disabledImages;
}

unsigned ToolButtonState(QToolButton* button)
{
    unsigned state = 0;
    if (button->isDown())
        state |= cdsSelected;
    if (!button->isEnabled())
        state |= cdsDisabled;
    if (button->isCheckable() && button->isChecked())
        state |= cdsChecked;
    if (button->isEnabled() && button->underMouse())
        state |= cdsHot;
    return state;
}

void TXPMenu::InitToolBar(QToolBar* bar, bool enable, bool update)
{
    if (!(xpControls_ & XPBit(xcToolbar)) || DesignTime())
        return;
    for (QToolButton* b : bar->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
        b->setAutoRaise(true);
    TToolBarHook* hook = HookOf(bar);
    if (enable) {
        // The bar's own overflow button does not count: only buttons of its actions do.
        bool hasButton = false;
        for (QAction* a : bar->actions())
            hasButton = hasButton || qobject_cast<QToolButton*>(bar->widgetForAction(a)) != nullptr;
        if (hasButton && (hook == nullptr || overrideOwnerDraw_) && (hook == nullptr || hook->Owner() != this)) {
            delete hook;
            hook = new TToolBarHook(this, bar);
            hook->setParent(bar);
            bar->setProperty(kHookProperty, QVariant::fromValue<void*>(hook));
        }
    } else if (hook != nullptr && hook->Owner() == this) {
        bar->setProperty(kHookProperty, QVariant());
        delete hook;
    }
    if (update)
        bar->update();
}

void TXPMenu::ToolBarDrawButton(QToolBar* bar, QToolButton* button, TCanvas* c, unsigned state)
{
    TToolBarImages* lists = ImagesOf(bar);
    const int index = IntProperty(button, "ImageIndex", -1);
    auto usable = [index](TImageList* l) { return l != nullptr && index != -1 && index <= l->Count() - 1; };
    const bool hot = (state & cdsHot) != 0, selected = (state & cdsSelected) != 0;
    const bool checked = (state & cdsChecked) != 0, disabled = (state & cdsDisabled) != 0;
    const bool enabled = button->isEnabled();
    const bool dropDown = IsDropDown(button);
    const bool transparent = IntProperty(bar, "Transparent", 0) != 0;
    const bool list = bar->toolButtonStyle() == Qt::ToolButtonTextBesideIcon;
    const bool showCaptions = button->toolButtonStyle() != Qt::ToolButtonIconOnly;
    const TColor barColor = BarColor(bar);

    SetGlobalColor(c);
    const TColor sel = useShades_ && !useSystemColors_ ? NewColor(c, selectColor_, 68) : WorkSelectColor;
    const TRect bounds = Rect(0, 0, button->width(), button->height());
    TRect r = bounds;
    c->Brush->Style = bsSolid;
    c->Brush->Color = useShades_ ? NewColor(c, barColor, 16) : barColor;
    if (!transparent)
        c->FillRect(r);

    bool frame = false, fill = false;
    if (hot) {
        c->Brush->Color = (checked || button->isDown() || selected) ? WorkCheckedAreaSelectColor : sel;
        frame = fill = true;
    } else if (checked) {
        c->Brush->Color = WorkCheckedAreaColor;
        frame = fill = true;
    } else if (state & cdsIndeterminate) {
        c->Brush->Color = sel;
        fill = true;
    }
    r.Top += 1;
    if (fill)
        c->FillRect(r);
    if (frame) {
        c->Pen->Color = WorkSelectBorderColor;
        c->Pen->Style = psSolid;
        auto outline = [c](int l, int t, int rr, int b) {
            c->Polyline({{l, t}, {rr, t}, {rr, b}, {l, b}, {l, t}});
        };
        if (dropDown) {
            outline(r.Left, r.Top + 1, r.Right - 14, r.Bottom - 1);
            outline(r.Right - 14, r.Top + 1, r.Right - 1, r.Bottom - 1);
        } else {
            outline(r.Left, r.Top + 1, r.Right - 1, r.Bottom - 1);
        }
    }
    if (dropDown && selected)
        DrawTopMenuItem(c, r, barColor, false, false);

    r = bounds;
    if (dropDown) {
        c->Pen->Color = clBlack;
        DrawArrow(c, r.Right - 10, r.Top + (r.Bottom - r.Top - 3) / 2 + 1);
    }

    // The picture: the first usable list of hot, disabled and normal images, else the icon.
    TBitmap picture;
    TImageList* source = nullptr;
    if (lists != nullptr) {
        if (hot && usable(lists->Hot))
            source = lists->Hot;
        else if (disabled && usable(lists->Disabled))
            source = lists->Disabled;
        else if (usable(lists->Images))
            source = lists->Images;
    }
    const TColor back = c->Brush->Color;
    if (source != nullptr) {
        picture.SetSize(source->Width(), source->Height());
        picture.Canvas()->Brush->Color = back;
        picture.Canvas()->FillRect(Rect(0, 0, picture.Width(), picture.Height()));
        source->DrawEx(picture.Canvas(), 0, 0, index, clNone, clNone, dsTransparent);
        picture.Canvas()->Flush();
    } else if (!button->icon().isNull()) {
        const QSize size = button->iconSize();
        const QPixmap pm = button->icon().pixmap(size, enabled ? QIcon::Normal : QIcon::Disabled);
        QImage img(pm.width(), pm.height(), QImage::Format_RGB32);
        img.fill(ToQColor(back));
        {
            QPainter p(&img);
            p.drawPixmap(0, 0, pm);
        }
        picture.SetImage(img);
    }
    const int iconWidth = picture.Width();
    if (!picture.Empty()) {
        TRect ir = r;
        if (dropDown)
            ir.Right -= 12;
        if (list)
            ir.Left += 3;
        else
            ir.Left = static_cast<int>(std::nearbyint(ir.Left + (ir.Right - ir.Left - iconWidth) / 2.0));
        ir.Top += 2;
        ir.Bottom = ir.Top + picture.Height() + 6;
        DrawIcon(true, c, &picture, ir, hot, selected, enabled, checked, false, false);
    }

    if (showCaptions) {
        const std::string caption = QStringToCp949(button->text());
        TRect cr = bounds;
        if (dropDown)
            cr.Right -= 12;
        unsigned format;
        c->Font->Assign(*font_);
        if (!list) {
            format = DT_CENTER;
            cr.Top = cr.Bottom - c->TextHeight(caption) - 6;
        } else {
            format = DT_VCENTER;
            if (iconWidth > 0)
                cr.Left += iconWidth + 6;
        }
        if (button->isDown() && !enabled)
            InflateRect(cr, -1, -1);
        if (enabled) {
            DrawTheText(true, caption, std::string(), c, cr, selected, enabled, false, false, false, *font_, format);
        } else {
            cr.Top += (cr.Height() - c->TextHeight("W")) / 2;
            if (cr.Width() > 0 && cr.Height() > 0) {
                TBitmap work(cr.Width(), cr.Height());
                TCanvas* wc = work.Canvas();
                wc->Brush->Color = c->Brush->Color;
                wc->FillRect(Rect(0, 0, cr.Width(), cr.Height()));
                wc->Font->Assign(*font_);
                wc->Font->SetColor(WorkDisabledColor);
                wc->Brush->Style = bsClear;
                TRect wr = Rect(0, 0, cr.Width(), cr.Height());
                wc->DrawText(caption, wr, format | DT_VCENTER);
                wc->Flush();
                c->Draw(cr.Left, cr.Top, work);
            }
        }
    }
}

void TXPMenu::ControlBarPaint(QWidget* bar, TCanvas* c, TRect& rect, unsigned& options)
{
    SetGlobalColor(c);
    options = 0;
    const TColor color = bar ? FromQColor(bar->palette().color(QPalette::Window)) : clBtnFace;
    c->Brush->Style = bsSolid;
    c->Brush->Color = useShades_ ? NewColor(c, color, 6) : color;
    c->FillRect(rect);
    int shade = 30;
    c->Pen->Style = psSolid;
    for (int y = rect.Top + 5; y <= rect.Bottom - 5; ++y) {
        if (y % 2 != 0)
            continue;
        c->Pen->Color = GetShadeColor(c, color, shade);
        c->MoveTo(rect.Left + 3, y);
        c->LineTo(rect.Left + 6, y);
        shade += 7;
    }
}
