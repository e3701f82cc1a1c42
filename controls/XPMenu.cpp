#include "controls/XPMenu.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "platform/core/SysUtils.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/QtText.h"

namespace {

int Clamp255(int v) { return std::max(0, std::min(255, v)); }

// Rounding to the nearest integer with halves to the even neighbour.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

int TagOf(const QObject* obj)
{
    if (auto* c = dynamic_cast<const TComponent*>(obj))
        return c->Tag;
    const QVariant v = obj ? obj->property("Tag") : QVariant();
    return v.isValid() ? v.toInt() : 0;
}

bool IsPopupMenu(const QObject* obj)
{
    auto* menu = qobject_cast<const QMenu*>(obj);
    if (menu == nullptr)
        return false;
    const QWidget* parent = menu->parentWidget();
    return qobject_cast<const QMenu*>(parent) == nullptr && qobject_cast<const QMenuBar*>(parent) == nullptr;
}

// Hands components added to the form to TXPMenu::Notification.
class TFormWatch : public QObject {
public:
    explicit TFormWatch(TXPMenu* owner) : owner_(owner) {}
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // Polished, not merely added: a child is announced as added before it is fully made.
        if (e->type() == QEvent::ChildPolished) {
            QObject* child = static_cast<QChildEvent*>(e)->child();
            if (child != nullptr && child != watched)
                owner_->Notification(child);
        }
        return false;
    }

private:
    TXPMenu* owner_;
};

}  // namespace

// ---- colour and bitmap helpers ------------------------------------------------------------------

TColor GetShadeColor(TCanvas*, TColor color, int value)
{
    const TColor k = ColorToRGB(color);
    return RGB(Clamp255(GetRValue(k) - value), Clamp255(GetGValue(k) - value + 2), Clamp255(GetBValue(k) - value));
}

TColor NewColor(TCanvas*, TColor color, int value)
{
    if (value > 100)
        value = 100;
    const TColor k = ColorToRGB(color);
    auto channel = [value](int x) { return Clamp255(x + RoundEven((255 - x) * (value / 100.0))); };
    // The devices here hold every 24-bit colour, so the nearest colour is the colour itself.
    return RGB(channel(GetRValue(k)), channel(GetGValue(k)), channel(GetBValue(k)));
}

TColor GrayColor(TCanvas*, TColor color, int value)
{
    const TColor k = ColorToRGB(color);
    int g = (GetRValue(k) + GetGValue(k) + GetBValue(k)) / 3 + value;
    g = std::min(240, Clamp255(g));
    return RGB(g, g, g);
}

namespace {
template <class F>
void MapPixels(TBitmap& bitmap, F convert)
{
    bool cached = false;
    TColor lastIn = 0, lastOut = 0;
    for (int x = 0; x < bitmap.Width(); ++x)
        for (int y = 0; y < bitmap.Height(); ++y) {
            const TColor c = bitmap.Pixel(x, y);
            if (!cached || c != lastIn) {
                lastIn = c;
                lastOut = convert(c);
                cached = true;
            }
            bitmap.SetPixel(x, y, lastOut);
        }
}
}  // namespace

void DimBitmap(TBitmap& bitmap, int value)
{
    if (value > 100)
        value = 100;
    MapPixels(bitmap, [value](TColor c) { return NewColor(nullptr, c, value); });
}

void GrayBitmap(TBitmap& bitmap, int value)
{
    MapPixels(bitmap, [value](TColor c) { return GrayColor(nullptr, c, value); });
}

void DrawBitmapShadow(const TBitmap& bitmap, TCanvas* canvas, int x, int y, TColor shadow)
{
    if (bitmap.Empty() || canvas == nullptr)
        return;
    const TColor key = bitmap.Pixel(0, bitmap.Height() - 1);
    for (int by = 0; by < bitmap.Height(); ++by)
        for (int bx = 0; bx < bitmap.Width(); ++bx)
            if (bitmap.Pixel(bx, by) != key)
                canvas->SetPixel(x + bx, y + by, shadow);
}

void DrawArrow(TCanvas* canvas, int x, int y)
{
    canvas->MoveTo(x, y);
    canvas->LineTo(x + 5, y);
    canvas->MoveTo(x + 1, y + 1);
    canvas->LineTo(x + 4, y + 1);
    canvas->MoveTo(x + 2, y + 2);
    canvas->LineTo(x + 3, y + 2);
}

void DrawCheckMark(TCanvas* canvas, int x, int y)
{
    for (int k = 0; k < 3; ++k) {
        canvas->MoveTo(x + 2, y - 5 - k);
        canvas->LineTo(x + 4, y - 3 - k);
        canvas->LineTo(x + 9, y - 8 - k);
    }
}

void GetSystemMenuFont(TFont& font)
{
    if (QCoreApplication::instance() != nullptr) {
        const QFont f = QApplication::font("QMenu");
        font.SetName(QStringToCp949(f.family()));
        if (f.pixelSize() > 0)
            font.SetHeight(-f.pixelSize());
        else if (f.pointSizeF() > 0)
            font.SetHeight(-RoundEven(f.pointSizeF() * PixelsPerInch / 72.0));
    }
    font.SetColor(clMenuText);
}

int CanvasBitsPerPixel(TCanvas* canvas)
{
    if (canvas == nullptr)
        return 32;
    if (QImage* img = canvas->TargetImage())
        return img->depth();
    if (QPainter* p = canvas->IsBound() ? canvas->Painter() : nullptr)
        if (p->device() != nullptr)
            return p->device()->depth();
    return 32;
}

// ---- the component ------------------------------------------------------------------------------

TXPMenu::TXPMenu(TControl* form) : TComponent(form), font_(std::make_unique<TFont>())
{
    GetSystemMenuFont(*font_);
    selectFontColor_ = font_->Color();
    form_ = form;
    formWidget_ = form;
    SetXPContainers(xccAllContainers);
    SetXPControls(xcAllControls);
    if (form != nullptr) {
        formWatch_ = std::make_unique<TFormWatch>(this);
        form->installEventFilter(formWatch_.get());
    }
}

TXPMenu::~TXPMenu()
{
    if (formWidget_) {
        InitItems(formWidget_.data(), false, false);
        if (formWatch_)
            formWidget_->removeEventFilter(formWatch_.get());
    }
    for (QPointer<QObject>& s : subclasses_)
        delete s.data();
}

void TXPMenu::SetFont(const TFont& font)
{
    font_->Assign(font);
    RedrawMenuBar();
}

void TXPMenu::SetDrawMenuBar(bool v)
{
    drawMenuBar_ = v;
    RedrawMenuBar();
}

void TXPMenu::SetMenuBarColor(TColor v)
{
    menuBarColor_ = v;
    RedrawMenuBar();
}

void TXPMenu::SetUseSystemColors(bool v)
{
    useSystemColors_ = v;
    RedrawMenuBar();
}

void TXPMenu::SetFlatMenu(bool v)
{
    if (v == flatMenu_)
        return;
    flatMenu_ = v;
    if (active_ && formWidget_)
        InitItems(formWidget_.data(), true, true);
}

void TXPMenu::SetXPContainers(TXPContainers v)
{
    if (v != xpContainers_ && active_) {
        active_ = false;
        InitItems(formWidget_.data(), false, true);
        active_ = true;
        xpContainers_ = v;
        InitItems(formWidget_.data(), true, true);
    }
    xpContainers_ = v;
}

void TXPMenu::SetXPControls(TXPControls v)
{
    if (v != xpControls_ && active_) {
        active_ = false;
        InitItems(formWidget_.data(), false, true);
        active_ = true;
        xpControls_ = v;
        InitItems(formWidget_.data(), true, true);
    }
    xpControls_ = v;
}

void TXPMenu::SetActive(bool v)
{
    if (v == active_)
        return;
    active_ = v;
    if (formWidget_)
        InitItems(formWidget_.data(), v, true);
    RedrawMenuBar();
}

void TXPMenu::SetForm(TControl* form)
{
    if (form == form_)
        return;
    const bool wasActive = active_;
    SetActive(false);
    if (formWidget_ && formWatch_)
        formWidget_->removeEventFilter(formWatch_.get());
    form_ = form;
    formWidget_ = form;
    if (form != nullptr) {
        if (!formWatch_)
            formWatch_ = std::make_unique<TFormWatch>(this);
        form->installEventFilter(formWatch_.get());
    }
    if (wasActive)
        SetActive(true);
}

void TXPMenu::Loaded()
{
    if (active_ && formWidget_)
        InitItems(formWidget_.data(), true, false);
}

void TXPMenu::Notification(QObject* component)
{
    if (!active_ || !autoDetect_ || DesignTime() || component == nullptr)
        return;
    if (qobject_cast<QToolBar*>(component) != nullptr || component->inherits("QToolButton"))
        InitItem(component, true, true);
}

void TXPMenu::RedrawMenuBar()
{
    if (!formWidget_)
        return;
    for (QMenuBar* bar : formWidget_->findChildren<QMenuBar*>()) {
        const bool hooked = active_ && MenuOwnerDraw(bar);
        SetMenuBarFillColor(bar, hooked && drawMenuBar_ ? (useSystemColors_ ? clBtnFace : menuBarColor_) : clNone);
        bar->update();
    }
}

std::vector<QObject*> TXPMenu::OwnedComponents(QObject* control) const
{
    // Everything placed on the window, depth first in creation order; other windows and the
    // submenus of menus are not the window's own.
    std::vector<QObject*> out;
    std::vector<QObject*> stack;
    const QObjectList& top = control->children();
    for (auto it = top.rbegin(); it != top.rend(); ++it)
        stack.push_back(*it);
    while (!stack.empty()) {
        QObject* obj = stack.back();
        stack.pop_back();
        out.push_back(obj);
        auto* w = qobject_cast<QWidget*>(obj);
        if (w == nullptr || qobject_cast<QMenu*>(w) != nullptr || qobject_cast<QMenuBar*>(w) != nullptr)
            continue;
        if (w->isWindow())
            continue;
        const QObjectList& kids = w->children();
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            stack.push_back(*it);
    }
    return out;
}

void TXPMenu::InitItems(QObject* control, bool enable, bool update)
{
    if (control == nullptr)
        return;
    // Hooking and unhooking may free objects of the list (the painters of tool bars).
    std::vector<QPointer<QObject>> components;
    for (QObject* c : OwnedComponents(control))
        components.emplace_back(c);
    for (const QPointer<QObject>& c : components)
        if (c)
            InitItem(c.data(), enable, update);
}

void TXPMenu::InitComponent(QObject* component)
{
    if (active_)
        InitItem(component, true, true);
}

void TXPMenu::InitItem(QObject* component, bool enable, bool update)
{
    if (component == nullptr)
        return;
    if (auto* bar = qobject_cast<QMenuBar*>(component)) {
        if ((xpControls_ & XPBit(xcMainMenu)) && TagOf(bar) != 999)
            InitMenu(bar, enable);
    } else if (IsPopupMenu(component)) {
        if (xpControls_ & XPBit(xcPopupMenu))
            InitMenu(static_cast<QMenu*>(component), enable);
    } else if (auto* toolBar = qobject_cast<QToolBar*>(component)) {
        InitToolBar(toolBar, enable, update);
    } else if (auto* w = qobject_cast<QWidget*>(component)) {
        InitControl(w, enable, update);
    }
}

void TXPMenu::InitMenu(QWidget* menu, bool enable)
{
    for (const TMenuItem& item : MenuItems(menu)) {
        SetMenuOwnerDraw(menu, enable);
        HookItem(item, enable);
        HookTree(item, enable);
    }
    SetMenuFramePainter(menu, enable && flatMenu_ ? TMenuFrameEvent([this](TCanvas* c, const TRect& w, bool rtl) {
        SetGlobalColor(c);
        DrawWindowBorder(c, w, rtl);
    }) : TMenuFrameEvent());
    if (qobject_cast<QMenuBar*>(menu) != nullptr)
        RedrawMenuBar();
}

void TXPMenu::HookItem(TMenuItem item, bool enable)
{
    if (!item.IsValid())
        return;
    if (!enable) {
        if (item.OnDrawItem().Owner == this)
            item.SetOnDrawItem(nullptr, nullptr);
        if (item.OnMeasureItem().Owner == this)
            item.SetOnMeasureItem(nullptr, nullptr);
        return;
    }
    if (item.Tag() == 999)
        return;
    if (!item.OnDrawItem() || overrideOwnerDraw_)
        item.SetOnDrawItem([this](TMenuItem& s, TCanvas* c, const TRect& r, bool sel) { DrawItem(s, c, r, sel); }, this);
    if (!item.OnMeasureItem() || overrideOwnerDraw_)
        item.SetOnMeasureItem([this](TMenuItem& s, TCanvas* c, int& w, int& h) { MeasureItem(s, c, w, h); }, this);
}

void TXPMenu::HookTree(TMenuItem item, bool enable)
{
    HookItem(item, enable);
    for (int i = 0; i < item.Count(); ++i)
        HookTree(item.Items(i), enable);
}

void TXPMenu::ActivateMenuItem(TMenuItem item)
{
    auto activate = [this](const TMenuItem& i) {
        if (i.IsValid() && i.OnDrawItem().Owner != this)
            HookItem(i, true);
    };
    activate(item);
    for (int i = 0; i < item.Count(); ++i) {
        TMenuItem child = item.Items(i);
        activate(child);
        for (int j = 0; j < child.Count(); ++j)
            ActivateMenuItem(child.Items(j));
    }
}

// ---- working colours ----------------------------------------------------------------------------

void TXPMenu::SetGlobalColor(TCanvas* canvas)
{
    useShades_ = CanvasBitsPerPixel(canvas) >= 16;
    ParentLight = 16;
    ParentLighter = 40;
    WorkColor = color_;
    WorkIconBackColor = iconBackColor_;
    if (useShades_) {
        if (useDimColor_) {
            WorkSelectColor = NewColor(canvas, selectColor_, 68);
            WorkCheckedAreaColor = NewColor(canvas, selectColor_, 80);
            WorkCheckedAreaSelectColor = NewColor(canvas, selectColor_, 50);
        } else {
            WorkSelectColor = WorkCheckedAreaColor = WorkCheckedAreaSelectColor = selectColor_;
        }
        WorkBorderColor = GetShadeColor(canvas, clBtnFace, 90);
        WorkShadowColor = GetShadeColor(canvas, clBtnFace, 76);
    } else {
        WorkSelectColor = selectColor_;
        WorkCheckedAreaColor = 0xFFFFFF;
        WorkCheckedAreaSelectColor = 0xC0C0C0;
        WorkBorderColor = WorkShadowColor = clBtnShadow;
    }
    WorkSelectBorderColor = selectBorderColor_;
    WorkSelectFontColor = selectFontColor_;
    WorkMenuBarColor = menuBarColor_;
    WorkDisabledColor = disabledColor_;
    WorkCheckedColor = checkedColor_;
    WorkSeparatorColor = separatorColor_;
    if (useSystemColors_) {
        WorkSelectFontColor = font_->Color();
        if (!useShades_) {
            WorkColor = 0xFFFFFF;
            WorkIconBackColor = clBtnFace;
            WorkSelectColor = 0xFFFFFF;
            WorkSelectBorderColor = clHighlight;
            WorkMenuBarColor = clBtnFace;
            WorkDisabledColor = clBtnShadow;
            WorkCheckedColor = clHighlight;
            WorkSeparatorColor = clBtnShadow;
            WorkCheckedAreaColor = WorkCheckedAreaSelectColor = 0xFFFFFF;
        } else {
            WorkColor = NewColor(canvas, clBtnFace, 86);
            WorkIconBackColor = NewColor(canvas, clBtnFace, 16);
            WorkSelectColor = NewColor(canvas, clHighlight, 68);
            WorkSelectBorderColor = clHighlight;
            WorkMenuBarColor = clBtnFace;
            WorkDisabledColor = NewColor(canvas, clBtnShadow, 10);
            WorkSeparatorColor = NewColor(canvas, clBtnShadow, 25);
            WorkCheckedColor = clHighlight;
            WorkCheckedAreaColor = NewColor(canvas, clHighlight, 80);
            WorkCheckedAreaSelectColor = NewColor(canvas, clHighlight, 50);
        }
    }
}

TColor TXPMenu::TopMenuFontColor(TCanvas* canvas, TColor color)
{
    const TColor k = ColorToRGB(color);
    if ((GetBValue(k) + GetRValue(k)) / 2 > 150 || GetGValue(k) > 200)
        return font_->Color();
    return NewColor(canvas, k, 90);
}

// ---- measuring ----------------------------------------------------------------------------------

TSize TXPMenu::GetImageExtent(TMenuItem& item)
{
    TSize size{0, 0};
    const bool bar = item.IsBarItem();
    bool hasImage = false;
    if (bar)
        hasImage = item.MenuImages() != nullptr && item.ImageIndex() != -1;
    if (item.SubMenuImages() != nullptr || item.MenuImages() != nullptr)
        hasImage = item.ImageIndex() != -1;
    if (hasImage) {
        const TImageList* list = item.SubMenuImages() ? item.SubMenuImages() : item.MenuImages();
        size = {list->Width(), list->Height()};
    } else {
        TBitmap bmp;
        item.GetBitmap(bmp);
        if (bmp.Width() > 0)
            size = {bmp.Width(), bmp.Height()};
    }
    if (!bar && size.cx < iconWidth_)
        size.cx = iconWidth_;
    return size;
}

void TXPMenu::MeasureItem(TMenuItem& sender, TCanvas* canvas, int& width, int& height)
{
    if (!active_)
        return;
    std::string s = sender.Caption();
    const bool separator = s == "-";
    if (separator)
        s.clear();
    const std::string shortcut = sender.ShortCutText();
    if (!Trim(shortcut).empty())
        s += shortcut + "WWW";
    canvas->Font->Assign(*font_);
    int w = canvas->TextWidth(s) + 5;
    if (s.find('&') != std::string::npos)
        w -= canvas->TextWidth("&");
    const TSize image = GetImageExtent(sender);
    if (image.cx > 0)
        w += image.cx;
    // Bar items of the window's own menu bar get the extra room of the platform's menu bars.
    if (sender.IsBarItem())
        w += 8;
    if (w > width)
        width = w;
    if (separator) {
        height = 4;
        return;
    }
    int h = canvas->TextHeight(s);
    h = h + RoundEven(h * 0.75);
    if (h < image.cy + 6)
        h = image.cy + 6;
    if (h > height)
        height = h;
}

// ---- painting -----------------------------------------------------------------------------------

void TXPMenu::DrawItem(TMenuItem& sender, TCanvas* canvas, const TRect& rect, bool selected)
{
    if (active_)
        MenueDrawItem(sender, canvas, rect, selected);
}

void TXPMenu::MenueDrawItem(TMenuItem& item, TCanvas* c, TRect arect, bool selected)
{
    SetGlobalColor(c);
    const bool separator = item.Caption() == "-";
    const bool bar = item.IsBarItem();
    const bool rtl = item.RightToLeft();
    const bool enabled = item.Enabled();
    c->Font->Assign(*font_);
    TRect r = arect;
    r.Bottom += 1;
    const std::string text = " " + item.Caption();

    TBitmap p;
    TImageList* subImages = item.SubMenuImages();
    TImageList* menuImages = item.MenuImages();
    const bool hasImage = (menuImages != nullptr || subImages != nullptr) && item.ImageIndex() != -1;
    item.GetBitmap(p);
    const bool hasBitmap = p.Width() > 0;
    if (hasImage) {
        TImageList* list = subImages ? subImages : menuImages;
        const TColor back = subImages ? c->Brush->Color : c->Pixel(2, 2);
        p.SetSize(list->Width(), list->Height());
        p.Canvas()->Brush->Color = back == clNone ? clMenu : back;
        p.Canvas()->Brush->Style = bsSolid;
        p.Canvas()->FillRect(Rect(0, 0, p.Width(), p.Height()));
        list->DrawEx(p.Canvas(), 0, 0, item.ImageIndex(), clNone, clNone, dsTransparent);
        p.Canvas()->Flush();
    }
    const bool picture = hasImage || hasBitmap;

    TRect icon = rtl ? Rect(r.Right - iconWidth_, r.Top, r.Right, r.Bottom) : Rect(r.Left, r.Top, r.Left + iconWidth_, r.Bottom);

    TRect mark;
    if (picture) {
        mark = Rect(icon.Left + 1, icon.Top + 2, icon.Right - 3, icon.Bottom - 2);
    } else {
        const int left = icon.Left + (icon.Width() - 10) / 2;
        const int top = icon.Top + (icon.Height() - 10) / 2;
        mark = Rect(left, top, left + 10, top + 10);
    }
    if (p.Width() > iconWidth_) {
        if (rtl)
            mark.Left = mark.Right - p.Width();
        else
            mark.Right = mark.Left + p.Width();
    }
    if (bar)
        mark.Top -= 1;

    TRect textRect = r;
    const int inset = bar ? 4 : iconWidth_;
    if (!rtl) {
        int x = r.Left + inset;
        textRect.Left = r.Left + p.Width() > x ? r.Left + p.Width() + 4 : x;
    } else {
        int x = r.Right - inset;
        textRect.Right = r.Right - p.Width() < x ? r.Right - p.Width() - 8 : x;
    }
    if (bar) {
        if (!picture)
            textRect = r;
        else if (rtl)
            textRect.Right += 5;
        else
            textRect.Left -= 5;
    }

    // Background.
    c->Brush->Style = bsSolid;
    c->Pen->Style = psSolid;
    if (bar) {
        c->Brush->Color = WorkMenuBarColor;
        c->Pen->Color = WorkMenuBarColor;
        c->FillRect(r);
        if (drawMenuBar_) {
            const QWidget* container = item.Container();
            const bool last = container != nullptr && !container->actions().isEmpty() &&
                              container->actions().back() == item.Action();
            const int formWidth = formWidget_ ? formWidget_->width() : r.Right;
            if (last && !rtl)
                c->Rectangle(r.Left, r.Top, std::max(r.Right, formWidth + 5), r.Bottom);
            else if (last)
                c->Rectangle(3, r.Top, r.Right, r.Bottom);
            else if (rtl)
                c->Rectangle(r.Left, r.Top, r.Right + 7, r.Bottom);
        }
    } else if (useShades_ && gradient_) {
        TRect g = r;
        g.Right += 2;
        DrawGradient(c, g, rtl);
    } else {
        c->Brush->Color = WorkColor;
        c->FillRect(r);
        c->Brush->Color = WorkIconBackColor;
        c->FillRect(icon);
    }

    c->Font->SetColor(enabled ? font_->Color() : disabledColor_);

    if (selected && drawSelect_) {
        c->Brush->Style = bsSolid;
        if (bar) {
            DrawTopMenuItem(c, r, menuBarColor_, rtl, true);
        } else if (enabled) {
            TRect s = r;
            s.Top += 1;
            s.Bottom -= 1;
            if (flatMenu_)
                s.Right -= 1;
            c->Brush->Color = WorkSelectColor;
            c->FillRect(s);
            c->Pen->Color = WorkSelectBorderColor;
            c->Brush->Style = bsClear;
            c->Rectangle(s);
            c->Brush->Style = bsSolid;
        }
    }

    DrawCheckedItem(item.RadioItem(), item.Checked(), selected, enabled, picture, c, mark);
    DrawIcon(false, c, &p, icon, selected, false, enabled, item.Checked(), bar, rtl);

    if (separator) {
        c->Pen->Color = WorkSeparatorColor;
        const int y = textRect.Top + RoundEven(textRect.Height() / 2.0);
        if (rtl) {
            c->MoveTo(textRect.Left, y);
            c->LineTo(textRect.Right - 7, y);
        } else {
            c->MoveTo(textRect.Left + 7, y);
            c->LineTo(textRect.Right, y);
        }
    } else {
        unsigned format = 0;
        if (rtl) {
            format = DT_RIGHT | DT_RTLREADING;
            textRect.Right -= 3;
        } else {
            textRect.Left += 3;
        }
        textRect.Top += (textRect.Height() - c->TextHeight("W")) / 2;
        DrawTheText(false, text, item.ShortCutText(), c, textRect, selected, enabled, item.Default(), bar, rtl,
                    *font_, format);
    }
    ActivateMenuItem(item);
}

void TXPMenu::DrawTopMenuItem(TCanvas* c, TRect r, TColor c0, bool rtl, bool isMenuItem)
{
    c->Brush->Style = bsSolid;
    c->Brush->Color = WorkSelectColor;
    c->FillRect(r);
    c->Pen->Color = WorkSelectBorderColor;
    c->Pen->Style = psSolid;
    const int L = r.Left, T = r.Top, Rt = r.Right, B = r.Bottom;
    if (!rtl && useShades_ && isMenuItem) {
        c->MoveTo(L, B - 1);
        c->LineTo(L, T);
        c->LineTo(Rt - 8, T);
        c->LineTo(Rt - 8, B);
        const TColor m = WorkMenuBarColor;
        auto fill = [&](int l, int t, int rr, int b, int shade) {
            c->Brush->Color = GetShadeColor(c, m, shade);
            c->FillRect(Rect(l, t, rr, b));
        };
        fill(Rt - 7, T, Rt, B, 10);
        fill(Rt - 7, T + 3, Rt - 2, B, 30);
        fill(Rt - 7, T + 5, Rt - 3, B, 60);
        fill(Rt - 7, T + 6, Rt - 5, B, 100);
        c->Pen->Color = m;
        c->Polyline({{Rt - 5, T + 1}, {Rt - 1, T + 1}, {Rt - 1, T + 6}});
        c->Polyline({{Rt - 3, T + 2}, {Rt - 2, T + 2}, {Rt - 2, T + 3}, {Rt - 3, T + 3}});
        c->Pen->Color = GetShadeColor(c, m, 10);
        c->Polyline({{Rt - 6, T + 3}, {Rt - 3, T + 3}, {Rt - 3, T + 6}, {Rt - 4, T + 6}, {Rt - 4, T + 3}});
        c->Pen->Color = GetShadeColor(c, m, 30);
        c->Polyline({{Rt - 5, T + 5}, {Rt - 4, T + 5}, {Rt - 4, T + 9}});
        c->Pen->Color = GetShadeColor(c, m, 40);
        c->Polyline({{Rt - 6, T + 5}, {Rt - 6, T + 7}});
    } else {
        c->MoveTo(L, B - 1);
        c->LineTo(L, T);
        c->LineTo(Rt - 3, T);
        c->LineTo(Rt - 3, B);
        c->Brush->Color = GetShadeColor(c, c0, 70);
        c->FillRect(Rect(Rt - 2, T + 2, Rt, B));
        c->Brush->Color = c0;
        c->FillRect(Rect(Rt - 2, T, Rt, T + 2));
    }
}

void TXPMenu::DrawCheckedItem(bool radio, bool checked, bool selected, bool enabled, bool hasPicture, TCanvas* c,
                              const TRect& r)
{
    if (!checked)
        return;
    if (enabled) {
        c->Pen->Color = (!radio && !hasPicture) ? WorkCheckedColor : WorkSelectBorderColor;
        c->Brush->Color = selected ? WorkCheckedAreaSelectColor : WorkCheckedAreaColor;
    } else {
        c->Pen->Color = WorkDisabledColor;
    }
    c->Brush->Style = bsSolid;
    c->Pen->Style = psSolid;
    if (radio) {
        if (hasPicture)
            c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 6, 6);
        else
            c->Ellipse(r.Left, r.Top, r.Right, r.Bottom);
        return;
    }
    c->Rectangle(r);
    if (hasPicture)
        return;
    c->Pen->Color = enabled ? clBlack : WorkDisabledColor;
    const int L = r.Left, T = r.Top, Rt = r.Right, B = r.Bottom;
    c->MoveTo(L + 1, T + 5); c->LineTo(L + 4, B - 2);
    c->MoveTo(L + 2, T + 5); c->LineTo(L + 4, B - 3);
    c->MoveTo(L + 2, T + 4); c->LineTo(L + 5, B - 3);
    c->MoveTo(L + 4, B - 3); c->LineTo(Rt + 2, T - 1);
    c->MoveTo(L + 4, B - 2); c->LineTo(Rt - 2, T + 3);
}

void TXPMenu::DrawIcon(bool isToolButton, TCanvas* c, TBitmap* p, const TRect& column, bool selected, bool pushed,
                       bool enabled, bool checked, bool barItem, bool rtl)
{
    if (p == nullptr || p->Empty())
        return;
    int x = column.Left;
    int y = column.Top + 1;
    if (!isToolButton) {
        y += 2;
        if (p->Width() < iconWidth_)
            x = column.Left + (iconWidth_ - p->Width()) / 2 - 1;
        else
            x = rtl ? column.Right - p->Width() - 2 : column.Left + 2;
    }
    if (barItem)
        x = rtl ? column.Right - p->Width() - 5 : column.Left + 1;
    if (selected && !barItem && enabled && !checked && !pushed) {
        --x;
        --y;
    }
    if (!selected && enabled && !checked && useShades_)
        DimBitmap(*p, DimLevel);
    if (!enabled) {
        GrayBitmap(*p, GrayLevel);
        DimBitmap(*p, 40);
    }
    if (selected && enabled && !checked) {
        const TColor base = (isToolButton && useShades_ && !useSystemColors_) ? NewColor(c, selectColor_, 68)
                                                                              : WorkSelectColor;
        DrawBitmapShadow(*p, c, x + 2, y + 2, GetShadeColor(c, base, 50));
    }
    p->Transparent = true;
    p->TransparentMode = tmAuto;
    c->Draw(x, y, *p);
}

void TXPMenu::DrawTheText(bool isToolButton, const std::string& text, const std::string& shortcut, TCanvas* c,
                          TRect r, bool selected, bool enabled, bool isDefault, bool barItem, bool, const TFont& font,
                          unsigned format)
{
    if (isToolButton && !enabled)
        return;
    TColor color = font.Color();
    c->Font->Assign(font);
    if (selected)
        color = WorkSelectFontColor;
    if (!enabled)
        color = WorkDisabledColor;
    if (selected && barItem && useSystemColors_)
        color = TopMenuFontColor(c, WorkIconBackColor);
    c->Font->SetColor(color);
    const TBrushStyle keepBrush = c->Brush->Style;
    c->Brush->Style = bsClear;
    if (isDefault && enabled) {
        const struct { int dx, dy, shade; } soft[] = {{1, 0, 30}, {1, 2, 30}, {0, 1, 40}, {1, 1, 60}};
        for (const auto& s : soft) {
            TRect sr = r;
            OffsetRect(sr, s.dx, s.dy);
            const TColor under = c->Pixel(sr.Left, sr.Top);
            c->Font->SetColor(GetShadeColor(c, under == clNone ? WorkColor : under, s.shade));
            c->DrawText(text, sr, format);
        }
        c->Font->SetColor(color);
    }
    TRect tr = r;
    c->DrawText(text, tr, format);

    const std::string s = shortcut + " ";
    c->Font->SetColor(useShades_ ? GetShadeColor(c, color, -40) : color);
    TRect sr = r;
    unsigned f;
    if (format & DT_RTLREADING) {
        sr.Left += 10;
        f = DT_LEFT;
    } else {
        sr.Right -= 10;
        f = DT_RIGHT;
    }
    c->DrawText(s, sr, f);
    c->Brush->Style = keepBrush;
}

void TXPMenu::DrawGradient(TCanvas* c, const TRect& r, bool rtl)
{
    int counter = 0;
    const TBrushStyle keep = c->Brush->Style;
    c->Brush->Style = bsSolid;
    const int n = r.Right - r.Left;
    for (int i = 0; i <= n; ++i) {
        const int x = rtl ? r.Right - i : r.Left + i;
        c->Brush->Color = NewColor(c, WorkIconBackColor, counter);
        c->FillRect(Rect(x, r.Top, x + 1, r.Bottom));
        counter += (i > 0 && i < iconWidth_ + 5) ? 3 : 1;
        if (counter > 96)
            counter = 96;
    }
    c->Brush->Style = keep;
}

void TXPMenu::DrawWindowBorder(TCanvas* c, TRect w, bool rtl)
{
    const TBrushStyle keep = c->Brush->Style;
    c->Brush->Style = bsClear;
    c->Pen->Style = psSolid;
    w.Right -= 2;
    w.Bottom -= 2;
    const int L = w.Left, T = w.Top;
    c->Pen->Color = WorkBorderColor;
    c->Rectangle(w);
    if (!rtl) {
        if (!gradient_) {
            c->Pen->Color = WorkColor;
            c->Rectangle(L + 1, T + 1, w.Right - 1, T + 3);
            c->Pen->Color = WorkIconBackColor;
            c->MoveTo(L + 1, T + 2);
            c->LineTo(L + 3 + iconWidth_, T + 2);
        } else {
            DrawGradient(c, Rect(L + 1, T + 1, w.Right - 3, T + 3), false);
            c->Brush->Style = bsClear;
        }
        c->Pen->Color = WorkIconBackColor;
        c->Rectangle(L + 1, T + 2, L + 3, w.Bottom - 1);
    } else {
        c->Pen->Color = WorkColor;
        c->Rectangle(L + 1, T + 1, w.Right - 2, T + 3);
        c->MoveTo(L + 2, T + 2);
        c->LineTo(L + 2, w.Bottom - 2);
        c->Pen->Color = WorkIconBackColor;
        c->MoveTo(w.Right - 2, T + 2);
        c->LineTo(w.Right - 2, w.Bottom - 2);
        c->MoveTo(w.Right - 2, T + 2);
        c->LineTo(w.Right - 1 - iconWidth_, T + 2);
    }
    w.Right += 2;
    w.Bottom += 2;
    c->Pen->Color = WorkShadowColor;
    c->Rectangle(L + 2, w.Bottom - 2, w.Right, w.Bottom);
    c->Rectangle(w.Right - 2, T + 2, w.Right, w.Bottom);
    c->Pen->Color = clBtnFace;
    c->Rectangle(L, w.Bottom - 2, L + 2, w.Bottom);
    c->Rectangle(w.Right - 2, T, w.Right, T + 2);
    c->Brush->Style = keep;
}
