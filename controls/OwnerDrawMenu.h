#pragma once
// Owner-drawn menus over Qt's menu bar and menus: each item (a QAction in a QMenuBar or QMenu)
// can carry a measure and a draw handler, and a menu switched to owner-draw lets those handlers
// size and paint its items. Items with no handler keep the toolkit's own look.
//
// A TMenuItem is a small handle on one action and the menu widget that shows it; the handlers
// and the image index live on the action itself, so every handle on it sees them. Tags of actions,
// menus and widgets are their dynamic property "Tag" (a TComponent's own Tag for our controls).
// Texts are code page 949 bytes; an item's caption is the action's text before a TAB, its
// shortcut text the part after it or else the action's key sequence.
#include <QPointer>
#include <functional>
#include <string>

#include "platform/gui/Graphics.h"

class QAction;
class QMenu;
class QWidget;
class TImageList;
class TMenuItem;

using TMenuDrawItemEvent = std::function<void(TMenuItem& Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected)>;
using TMenuMeasureItemEvent = std::function<void(TMenuItem& Sender, TCanvas* ACanvas, int& Width, int& Height)>;

// A handler together with the object it belongs to, so that an owner can tell its own handler
// from someone else's.
template <class F>
struct TOwnedHandler {
    F Handler;
    const void* Owner = nullptr;
    explicit operator bool() const { return static_cast<bool>(Handler); }
};

class TMenuItem {
public:
    TMenuItem() = default;
    // `container` is the QMenuBar or QMenu the action is shown in.
    TMenuItem(QAction* action, QWidget* container);

    QAction* Action() const { return action_; }
    QWidget* Container() const { return container_; }
    bool IsValid() const { return action_ != nullptr; }

    std::string Caption() const;       // "-" for a separator
    std::string ShortCutText() const;  // "" when none
    bool Enabled() const;
    bool Visible() const;
    bool Checked() const;
    bool RadioItem() const;            // a checkable action of an exclusive group
    bool Default() const;              // the default action of its menu
    bool IsSeparator() const;
    // A top-level item of a menu bar.
    bool IsBarItem() const;
    bool RightToLeft() const;

    // The action's property "Tag" (0 when never set).
    int Tag() const;
    void SetTag(int tag);
    // -1 when none: the item's picture then comes from the action's icon.
    int ImageIndex() const;
    void SetImageIndex(int index);
    // The action's icon at its small size over the key colour MenuBitmapKey; an empty bitmap when
    // the action has no icon.
    void GetBitmap(TBitmap& bitmap) const;

    // The items of the submenu (none when the item has no submenu).
    QMenu* SubMenu() const;
    int Count() const;
    TMenuItem Items(int index) const;

    // The bar or popup menu at the top of the chain this item hangs in.
    QWidget* RootMenu() const;
    // The images of the menu this item's container belongs to, and those of its parent item.
    TImageList* MenuImages() const;
    TImageList* SubMenuImages() const;

    TOwnedHandler<TMenuDrawItemEvent> OnDrawItem() const;
    void SetOnDrawItem(TMenuDrawItemEvent handler, const void* owner);
    TOwnedHandler<TMenuMeasureItemEvent> OnMeasureItem() const;
    void SetOnMeasureItem(TMenuMeasureItemEvent handler, const void* owner);

private:
    QPointer<QAction> action_;
    QPointer<QWidget> container_;
};

// The colour that marks the transparent pixels of an item bitmap made from an icon.
constexpr TColor MenuBitmapKey = 0xFF00FF;

// The items of a menu bar or menu, visible or not, in order.
std::vector<TMenuItem> MenuItems(QWidget* menu);

// Owner-draw of a menu bar or popup menu and of every submenu below it (submenus added later are
// switched when their item is drawn or hooked).
bool MenuOwnerDraw(QWidget* menu);
void SetMenuOwnerDraw(QWidget* menu, bool ownerDraw);
// Images of a menu bar or popup menu (Images) or of the submenu `menu` (its item's SubMenuImages).
TImageList* MenuImageList(QWidget* menu);
void SetMenuImageList(QWidget* menu, TImageList* images);
// The colour of the part of an owner-drawn menu bar that no item covers (clNone: the toolkit's).
void SetMenuBarFillColor(QWidget* menuBar, TColor color);
// A painter for the frame of an owner-drawn drop-down menu: canvas, the menu's rectangle and
// whether it reads right to left. None: a raised frame.
using TMenuFrameEvent = std::function<void(TCanvas* Canvas, const TRect& Window, bool RightToLeft)>;
void SetMenuFramePainter(QWidget* menu, TMenuFrameEvent painter);

// Paints one item the way an owner-drawn menu paints it: into an image of the item's size whose
// handler sees the rectangle (0, 0, width, height). Used by the menus themselves and by tests.
QImage RenderMenuItem(TMenuItem& item, int width, int height, bool selected);
// The size the item's measure handler gives (0 x 0 without one), measured with `canvas`'s font.
TSize MeasureMenuItem(TMenuItem& item);
