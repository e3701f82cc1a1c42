#include "platform/gui/MenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "platform/gui/Controls.h"
#include "platform/gui/EventGuard.h"

namespace {

const char* const PopupProperty = "morvanePopupMenu";
const char* const MainMenuProperty = "morvaneMainMenu";

// Qt disables a hidden action; a hidden item is enabled unless it was disabled itself, which
// QAction::trigger checks.
bool ItemEnabled(const QAction* a) { return !a->isVisible() || a->isEnabled(); }

// Depth-first over the items and their submenus, in order. `open` tells whether the submenus
// above the items are enabled.
TMenuKeyMatch FindInItems(const QList<QAction*>& items, QKeyCombination key, bool open, int depth)
{
    if (depth > 16)
        return {};
    for (QAction* a : items) {
        if (a->isSeparator())
            continue;
        if (QMenu* sub = a->menu()) {
            const TMenuKeyMatch m = FindInItems(sub->actions(), key, open && ItemEnabled(a), depth + 1);
            if (m.Item)
                return m;
            continue;
        }
        const QKeySequence k = a->shortcut();
        if (k.count() == 1 && k[0] == key)
            return {a, nullptr, open && ItemEnabled(a)};
    }
    return {};
}

TMenuKeyMatch FindInWidget(const QWidget* w, const char* property, QKeyCombination key)
{
    const QVariant v = w->property(property);
    if (!v.isValid())
        return {};
    QWidget* menu = v.value<QPointer<QWidget>>();
    if (!menu)
        return {};
    TMenuKeyMatch m = FindInItems(menu->actions(), key, true, 0);
    if (m.Item && property == PopupProperty)
        m.Popup = static_cast<QMenu*>(menu);
    return m;
}

// Return or Escape offered to the controls of the focused control's window.
bool SendDialogKey(QWidget* focus, Word key)
{
    if (auto* c = dynamic_cast<TControl*>(focus); c && c->WantAllKeys)
        return false;
    QWidget* window = focus->window();
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* w : children) {
        auto* c = dynamic_cast<TControl*>(w);
        if (!c || c->window() != window || !c->isEnabled() || !c->isVisibleTo(window))
            continue;
        if (c->DialogKey(key, focus))
            return true;
    }
    return false;
}

void RunItem(QWidget* focus, QKeyCombination key, const TMenuKeyMatch& found)
{
    const QPointer<QAction> item = found.Item;
    bool enabled = found.Enabled;
    if (found.Popup) {
        emit found.Popup->aboutToShow();
        enabled = item && FindMenuKey(focus, key).Enabled;
    }
    if (item && enabled)
        item->trigger();
}

class TMenuKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if ((e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride) || !watched->isWidgetType())
            return false;
        // An open menu or drop-down list has the keys to itself.
        if (QApplication::activePopupWidget())
            return false;
        auto* focus = static_cast<QWidget*>(watched);
        auto* k = static_cast<QKeyEvent*>(e);
        const QKeyCombination key = MenuKeyOf(*k);
        if (key.key() == Qt::Key_unknown)
            return false;
        const TMenuKeyMatch found = FindMenuKey(focus, key);
        if (found.Item) {
            // Claimed at the override so that no Qt shortcut takes it; run at the press.
            e->accept();
            if (e->type() == QEvent::KeyPress)
                Guarded([&] { RunItem(focus, key, found); });
            return true;
        }
        if (e->type() != QEvent::KeyPress || key.keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
            return false;
        const Word vk = key.key() == Qt::Key_Escape ? VK_ESCAPE
                        : (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) ? VK_RETURN
                                                                                       : 0;
        bool taken = false;
        if (vk)
            Guarded([&] { taken = SendDialogKey(focus, vk); });
        if (taken)
            e->accept();
        return taken;
    }
};

QPointer<TMenuKeys> Router;

}  // namespace

void InstallMenuKeys()
{
    if (Router || !QCoreApplication::instance())
        return;
    Router = new TMenuKeys(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(Router);
}

void SetPopupMenu(QWidget* control, QMenu* menu)
{
    control->setProperty(PopupProperty, menu ? QVariant::fromValue(QPointer<QWidget>(menu)) : QVariant());
}

QMenu* PopupMenuOf(const QWidget* control)
{
    const QVariant v = control->property(PopupProperty);
    return v.isValid() ? qobject_cast<QMenu*>(v.value<QPointer<QWidget>>().data()) : nullptr;
}

void SetMainMenu(QWidget* window, QMenuBar* menu)
{
    window->setProperty(MainMenuProperty, menu ? QVariant::fromValue(QPointer<QWidget>(menu)) : QVariant());
}

void SetItemKey(QAction* item, const QKeySequence& key)
{
    item->setShortcutContext(Qt::WidgetShortcut);
    item->setShortcut(key);
}

QKeyCombination MenuKeyOf(const QKeyEvent& e)
{
    switch (e.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case 0:
        return QKeyCombination(Qt::Key_unknown);
    default:
        break;
    }
    const Qt::KeyboardModifiers mods =
        e.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return QKeyCombination(mods, static_cast<Qt::Key>(e.key()));
}

TMenuKeyMatch FindMenuKey(QWidget* focus, QKeyCombination key)
{
    if (!focus)
        return {};
    QWidget* window = focus->window();
    for (QWidget* w = focus; w; w = w->isWindow() ? nullptr : w->parentWidget())
        if (TMenuKeyMatch m = FindInWidget(w, PopupProperty, key); m.Item)
            return m;
    if (TMenuKeyMatch m = FindInWidget(window, MainMenuProperty, key); m.Item)
        return m;
    // Keys the window leaves alone go to the main window's menu, unless a modal window is up.
    QWidget* main = Application()->MainForm;
    if (!main || main == window)
        return {};
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != main)
        return {};
    return FindInWidget(main, MainMenuProperty, key);
}
