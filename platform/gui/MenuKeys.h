#pragma once
// The keyboard routing of the class library's windows, for every window of the program. A key
// press goes, in this order:
//
// 1. To the menus. The popup menus of the focused control and of each of its parents (innermost
//    first), then the main menu of its window, then the main menu of the application's main
//    window (Application()->MainForm, unless a modal window is up) are searched, items and
//    submenus in order, for an item whose key it is; hidden items count. The first item found
//    takes the key: a popup menu first brings its items up to date (aboutToShow, as when it
//    opens), then the item runs if it and the submenus above it are enabled.
// 2. To the window's buttons, for Return (or Enter) and Escape without Shift, Ctrl or Alt,
//    unless the focused control asks for every key (TControl::WantAllKeys): each control of the
//    window is offered it (TControl::DialogKey) until one takes it.
// 3. To the focused control, as Qt delivers it.
//
// An item's key is its shortcut, given with the Qt::WidgetShortcut context (SetItemKey) so that
// Qt's own shortcut map leaves it to this routing; a key that a menu takes is also kept from
// Qt's shortcuts. Key text after a tab in a caption is only shown.

#include <QKeyCombination>
#include <QKeySequence>

class QAction;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QWidget;

// Puts the routing in place for the running application; more calls do nothing.
void InstallMenuKeys();

// The popup menu of a control (null: none): the class library's PopupMenu property, whose keys
// the control and its children reach. The menu is not owned.
void SetPopupMenu(QWidget* control, QMenu* menu);
QMenu* PopupMenuOf(const QWidget* control);
// The main menu of a window (null: none). Not owned.
void SetMainMenu(QWidget* window, QMenuBar* menu);

// Gives a menu item its key: shown in the menu, run through this routing.
void SetItemKey(QAction* item, const QKeySequence& key);
// The key of a key press as the menus compare it (keypad and modifier-only presses folded).
QKeyCombination MenuKeyOf(const QKeyEvent& e);

// What step 1 finds for a key pressed in `focus`: the item (null when no menu takes the key),
// the popup menu it was found in (null for a main menu) and whether it would run.
struct TMenuKeyMatch {
    QAction* Item = nullptr;
    QMenu* Popup = nullptr;
    bool Enabled = false;
};
TMenuKeyMatch FindMenuKey(QWidget* focus, QKeyCombination key);
