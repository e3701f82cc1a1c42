#include "controls/OwnerDrawMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include "platform/gui/ImageList.h"
#include "platform/gui/QtText.h"

namespace {

const char* const kDataProperty = "morvane.ownerDrawData";

// What an action carries for owner-draw.
struct TActionData : QObject {
    TOwnedHandler<TMenuDrawItemEvent> Draw;
    TOwnedHandler<TMenuMeasureItemEvent> Measure;
    int ImageIndex = -1;
};

// What a menu bar or menu carries.
struct TMenuData : QObject {
    bool OwnerDraw = false;
    TImageList* Images = nullptr;
    TColor BarFill = clNone;
    TMenuFrameEvent Frame;
};

template <class T>
T* DataOf(const QObject* obj)
{
    if (obj == nullptr)
        return nullptr;
    return static_cast<T*>(obj->property(kDataProperty).value<void*>());
}

template <class T>
T* EnsureData(QObject* obj)
{
    if (T* d = DataOf<T>(obj))
        return d;
    auto* d = new T;
    d->setParent(obj);
    obj->setProperty(kDataProperty, QVariant::fromValue<void*>(d));
    return d;
}

QAction* ActionByOption(const QWidget* menu, const QStyleOptionMenuItem* mo)
{
    if (menu == nullptr || mo == nullptr)
        return nullptr;
    const QString wanted = mo->text.section(QLatin1Char('\t'), 0, 0);
    for (QAction* a : menu->actions()) {
        if (!a->isVisible())
            continue;
        if (mo->menuItemType == QStyleOptionMenuItem::Separator) {
            if (a->isSeparator())
                return a;
            continue;
        }
        if (!a->isSeparator() && a->text().section(QLatin1Char('\t'), 0, 0) == wanted)
            return a;
    }
    return nullptr;
}

class TOwnerDrawMenuStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* opt, QPainter* p, const QWidget* w) const override
    {
        if (element == CE_MenuItem || element == CE_MenuBarItem) {
            QAction* action = nullptr;
            if (auto* menu = qobject_cast<const QMenu*>(w))
                action = menu->actionAt(opt->rect.center());
            else if (auto* bar = qobject_cast<const QMenuBar*>(w))
                action = bar->actionAt(opt->rect.center());
            if (action != nullptr) {
                TMenuItem item(action, const_cast<QWidget*>(w));
                if (item.OnDrawItem()) {
                    const bool selected = (opt->state & State_Selected) != 0;
                    p->drawImage(opt->rect.topLeft(), RenderMenuItem(item, opt->rect.width(), opt->rect.height(), selected));
                    if (element == CE_MenuItem && action->menu() != nullptr)
                        DrawSubmenuArrow(p, opt->rect, w->isRightToLeft());
                    return;
                }
            }
        } else if (element == CE_MenuBarEmptyArea) {
            const TMenuData* d = DataOf<TMenuData>(w);
            if (d != nullptr && d->BarFill != clNone) {
                p->fillRect(opt->rect, ToQColor(d->BarFill));
                return;
            }
        } else if (element == CE_MenuEmptyArea) {
            p->fillRect(opt->rect, ToQColor(clMenu));
            return;
        }
        QProxyStyle::drawControl(element, opt, p, w);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* opt, QPainter* p, const QWidget* w) const override
    {
        if (element == PE_PanelMenu && qobject_cast<const QMenu*>(w) != nullptr) {
            p->fillRect(opt->rect, ToQColor(clMenu));
            DrawFrame(opt, p, w);
            return;
        }
        if (element == PE_FrameMenu && qobject_cast<const QMenu*>(w) != nullptr) {
            DrawFrame(opt, p, w);
            return;
        }
        QProxyStyle::drawPrimitive(element, opt, p, w);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* opt, const QSize& size, const QWidget* w) const override
    {
        const QSize base = QProxyStyle::sizeFromContents(type, opt, size, w);
        if (type != CT_MenuItem && type != CT_MenuBarItem)
            return base;
        auto* mo = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
        QAction* action = ActionByOption(w, mo);
        if (action == nullptr)
            return base;
        TMenuItem item(action, const_cast<QWidget*>(w));
        if (!item.OnMeasureItem())
            return base;
        TSize s = MeasureMenuItem(item);
        if (type == CT_MenuBarItem)
            return QSize(s.cx, base.height());
        // The menu adds the widest shortcut text to every item itself; the measure already
        // includes this item's own, so that part is taken off again. Room is left for the
        // submenu arrow, as the platform's owner-drawn menus leave it.
        const QString text = mo->text;
        const int tab = text.indexOf(QLatin1Char('\t'));
        if (tab >= 0)
            s.cx -= w->fontMetrics().horizontalAdvance(text.mid(tab + 1));
        return QSize(s.cx + 12, s.cy);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* opt, const QWidget* w) const override
    {
        switch (metric) {
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuBarItemSpacing:
        case PM_MenuBarHMargin:
        case PM_MenuBarVMargin:
        case PM_MenuBarPanelWidth:
            return 0;
        case PM_MenuPanelWidth: {
            const TMenuData* d = DataOf<TMenuData>(RootOf(w));
            return d != nullptr && d->Frame ? 3 : 2;
        }
        default:
            return QProxyStyle::pixelMetric(metric, opt, w);
        }
    }

private:
    static const QWidget* RootOf(const QWidget* w)
    {
        if (w == nullptr)
            return nullptr;
        const QWidget* cur = w;
        while (cur != nullptr) {
            const QWidget* parent = cur->parentWidget();
            if (qobject_cast<const QMenuBar*>(cur) != nullptr)
                return cur;
            if (parent == nullptr || (qobject_cast<const QMenu*>(parent) == nullptr && qobject_cast<const QMenuBar*>(parent) == nullptr))
                return cur;
            cur = parent;
        }
        return w;
    }

    static void DrawFrame(const QStyleOption* opt, QPainter* p, const QWidget* w)
    {
        TCanvas canvas;
        canvas.BindPainter(p);
        TRect r = Rect(opt->rect.left(), opt->rect.top(), opt->rect.right() + 1, opt->rect.bottom() + 1);
        const TMenuData* d = DataOf<TMenuData>(RootOf(w));
        if (d != nullptr && d->Frame)
            d->Frame(&canvas, r, w->isRightToLeft());
        else
            DrawEdge(&canvas, r, EDGE_RAISED, BF_RECT);
        canvas.Unbind();
    }

    static void DrawSubmenuArrow(QPainter* p, const QRect& r, bool rtl)
    {
        const int cy = r.top() + r.height() / 2;
        p->save();
        p->setPen(Qt::NoPen);
        p->setBrush(ToQColor(clMenuText));
        QPolygon tri;
        if (rtl) {
            const int x = r.left() + 6;
            tri << QPoint(x + 4, cy - 4) << QPoint(x, cy) << QPoint(x + 4, cy + 4);
        } else {
            const int x = r.right() - 9;
            tri << QPoint(x, cy - 4) << QPoint(x + 4, cy) << QPoint(x, cy + 4);
        }
        p->drawPolygon(tri);
        p->restore();
    }
};

TOwnerDrawMenuStyle* Style()
{
    static QPointer<TOwnerDrawMenuStyle> style;
    if (style.isNull()) {
        style = new TOwnerDrawMenuStyle;
        style->setParent(qApp);
    }
    return style.data();
}

void ApplyStyle(QWidget* menu, bool ownerDraw, int depth = 0)
{
    if (menu == nullptr || depth > 32)
        return;
    menu->setStyle(ownerDraw ? Style() : nullptr);
    for (QAction* a : menu->actions())
        if (QMenu* sub = a->menu())
            ApplyStyle(sub, ownerDraw, depth + 1);
}

}  // namespace

// ---- TMenuItem ----------------------------------------------------------------------------------

TMenuItem::TMenuItem(QAction* action, QWidget* container) : action_(action), container_(container) {}

std::string TMenuItem::Caption() const
{
    if (!action_)
        return std::string();
    if (action_->isSeparator())
        return "-";
    return QStringToCp949(action_->text().section(QLatin1Char('\t'), 0, 0));
}

std::string TMenuItem::ShortCutText() const
{
    if (!action_)
        return std::string();
    const QString text = action_->text();
    const int tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0)
        return QStringToCp949(text.mid(tab + 1));
    return QStringToCp949(action_->shortcut().toString(QKeySequence::NativeText));
}

bool TMenuItem::Enabled() const { return action_ && action_->isEnabled(); }
bool TMenuItem::Visible() const { return action_ && action_->isVisible(); }
bool TMenuItem::Checked() const { return action_ && action_->isCheckable() && action_->isChecked(); }
bool TMenuItem::IsSeparator() const { return action_ && action_->isSeparator(); }

bool TMenuItem::RadioItem() const
{
    return action_ && action_->actionGroup() != nullptr && action_->actionGroup()->isExclusive();
}

bool TMenuItem::Default() const
{
    auto* menu = qobject_cast<QMenu*>(container_.data());
    return action_ && menu != nullptr && menu->defaultAction() == action_;
}

bool TMenuItem::IsBarItem() const { return qobject_cast<QMenuBar*>(container_.data()) != nullptr; }
bool TMenuItem::RightToLeft() const { return container_ && container_->isRightToLeft(); }

int TMenuItem::Tag() const
{
    const QVariant v = action_ ? action_->property("Tag") : QVariant();
    return v.isValid() ? v.toInt() : 0;
}

void TMenuItem::SetTag(int tag)
{
    if (action_)
        action_->setProperty("Tag", tag);
}

int TMenuItem::ImageIndex() const
{
    const TActionData* d = DataOf<TActionData>(action_.data());
    return d ? d->ImageIndex : -1;
}

void TMenuItem::SetImageIndex(int index)
{
    if (action_)
        EnsureData<TActionData>(action_.data())->ImageIndex = index;
}

void TMenuItem::GetBitmap(TBitmap& bitmap) const
{
    bitmap.Clear();
    if (!action_ || action_->icon().isNull())
        return;
    const QPixmap pm = action_->icon().pixmap(16, 16);
    if (pm.isNull())
        return;
    QImage img(pm.width(), pm.height(), QImage::Format_RGB32);
    img.fill(ToQColor(MenuBitmapKey));
    {
        QPainter p(&img);
        p.drawPixmap(0, 0, pm);
    }
    bitmap.SetImage(img);
}

QMenu* TMenuItem::SubMenu() const { return action_ ? action_->menu() : nullptr; }

int TMenuItem::Count() const
{
    QMenu* sub = SubMenu();
    return sub ? static_cast<int>(sub->actions().size()) : 0;
}

TMenuItem TMenuItem::Items(int index) const
{
    QMenu* sub = SubMenu();
    if (sub == nullptr || index < 0 || index >= sub->actions().size())
        return TMenuItem();
    return TMenuItem(sub->actions().at(index), sub);
}

QWidget* TMenuItem::RootMenu() const
{
    QWidget* cur = container_.data();
    for (int depth = 0; cur != nullptr && depth < 64; ++depth) {
        if (qobject_cast<QMenuBar*>(cur) != nullptr)
            return cur;
        QWidget* parent = cur->parentWidget();
        if (parent == nullptr || (qobject_cast<QMenu*>(parent) == nullptr && qobject_cast<QMenuBar*>(parent) == nullptr))
            return cur;
        cur = parent;
    }
    return cur;
}

TImageList* TMenuItem::MenuImages() const { return MenuImageList(RootMenu()); }

TImageList* TMenuItem::SubMenuImages() const
{
    QWidget* root = RootMenu();
    return container_ && container_.data() != root ? MenuImageList(container_.data()) : nullptr;
}

TOwnedHandler<TMenuDrawItemEvent> TMenuItem::OnDrawItem() const
{
    const TActionData* d = DataOf<TActionData>(action_.data());
    return d ? d->Draw : TOwnedHandler<TMenuDrawItemEvent>{};
}

void TMenuItem::SetOnDrawItem(TMenuDrawItemEvent handler, const void* owner)
{
    if (!action_)
        return;
    TActionData* d = EnsureData<TActionData>(action_.data());
    d->Draw.Handler = std::move(handler);
    d->Draw.Owner = d->Draw.Handler ? owner : nullptr;
    // A submenu of an owner-drawn menu is owner-drawn too.
    if (QMenu* sub = SubMenu())
        if (MenuOwnerDraw(RootMenu()))
            ApplyStyle(sub, true);
}

TOwnedHandler<TMenuMeasureItemEvent> TMenuItem::OnMeasureItem() const
{
    const TActionData* d = DataOf<TActionData>(action_.data());
    return d ? d->Measure : TOwnedHandler<TMenuMeasureItemEvent>{};
}

void TMenuItem::SetOnMeasureItem(TMenuMeasureItemEvent handler, const void* owner)
{
    if (!action_)
        return;
    TActionData* d = EnsureData<TActionData>(action_.data());
    d->Measure.Handler = std::move(handler);
    d->Measure.Owner = d->Measure.Handler ? owner : nullptr;
}

// ---- menus --------------------------------------------------------------------------------------

std::vector<TMenuItem> MenuItems(QWidget* menu)
{
    std::vector<TMenuItem> items;
    if (menu == nullptr)
        return items;
    for (QAction* a : menu->actions())
        items.emplace_back(a, menu);
    return items;
}

bool MenuOwnerDraw(QWidget* menu)
{
    const TMenuData* d = DataOf<TMenuData>(menu);
    return d != nullptr && d->OwnerDraw;
}

void SetMenuOwnerDraw(QWidget* menu, bool ownerDraw)
{
    if (menu == nullptr)
        return;
    EnsureData<TMenuData>(menu)->OwnerDraw = ownerDraw;
    ApplyStyle(menu, ownerDraw);
}

TImageList* MenuImageList(QWidget* menu)
{
    const TMenuData* d = DataOf<TMenuData>(menu);
    return d ? d->Images : nullptr;
}

void SetMenuImageList(QWidget* menu, TImageList* images)
{
    if (menu != nullptr)
        EnsureData<TMenuData>(menu)->Images = images;
}

void SetMenuBarFillColor(QWidget* menuBar, TColor color)
{
    if (menuBar != nullptr)
        EnsureData<TMenuData>(menuBar)->BarFill = color;
}

void SetMenuFramePainter(QWidget* menu, TMenuFrameEvent painter)
{
    if (menu != nullptr)
        EnsureData<TMenuData>(menu)->Frame = std::move(painter);
}

QImage RenderMenuItem(TMenuItem& item, int width, int height, bool selected)
{
    TBitmap bitmap(std::max(1, width), std::max(1, height));
    TCanvas* c = bitmap.Canvas();
    c->Brush->Color = clMenu;
    c->Brush->Style = bsSolid;
    c->FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
    const TOwnedHandler<TMenuDrawItemEvent> draw = item.OnDrawItem();
    if (draw)
        draw.Handler(item, c, Rect(0, 0, width, height), selected);
    c->Flush();
    return bitmap.Image();
}

TSize MeasureMenuItem(TMenuItem& item)
{
    TCanvas canvas;
    int w = 0, h = 0;
    const TOwnedHandler<TMenuMeasureItemEvent> measure = item.OnMeasureItem();
    if (measure)
        measure.Handler(item, &canvas, w, h);
    return TSize{w, h};
}
