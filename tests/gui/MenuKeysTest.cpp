// The window's key routing: popup menus of the focused control and its parents, the window's main
// menu, the main window's menu, then the dialog buttons, then the control; and Qt's Korean texts.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include <map>
#include <memory>
#include <string>

#include "platform/gui/Controls.h"
#include "platform/gui/MenuKeys.h"
#include "platform/gui/QtTranslations.h"
#include "platform/gui/Services.h"

namespace {

void Press(QWidget* w, const char* key, const QString& text = QString())
{
    w->setFocus();
    const QKeyCombination k = QKeySequence(QString::fromLatin1(key))[0];
    QKeyEvent press(QEvent::KeyPress, k.key(), k.keyboardModifiers(), text);
    QApplication::sendEvent(w, &press);
}

class MenuKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<TForm>();
        Application()->MainForm = main.get();
        auto* bar = new QMenuBar(main.get());
        SetMainMenu(main.get(), bar);
        QMenu* file = bar->addMenu(QStringLiteral("File"));
        Item(file, "save", "Ctrl+S");
        Item(file, "both", "F5");
        Item(file, "hidden", "F9")->setVisible(false);
        Item(file, "disabled", "F8")->setEnabled(false);
        Item(file, "left", "Ctrl+Left");
        QMenu* sub = file->addMenu(QStringLiteral("Sub"));
        Item(sub, "deep", "Alt+1");
        QMenu* closed = file->addMenu(QStringLiteral("Closed"));
        Item(closed, "inClosed", "Alt+2");
        closed->menuAction()->setEnabled(false);

        panel = new TControl(main.get());
        popup = new QMenu(main.get());
        Item(popup, "panelBoth", "F5");
        Item(popup, "panelOnly", "F4");
        QObject::connect(popup, &QMenu::aboutToShow, [this] { ++refreshed; });
        SetPopupMenu(panel, popup);
        edit = new QLineEdit(panel);
        other = new QLineEdit(main.get());
        main->show();

        tool = std::make_unique<TForm>();
        toolEdit = new QLineEdit(tool.get());
        tool->show();
    }
    void TearDown() override
    {
        tool.reset();
        main.reset();
    }

    QAction* Item(QMenu* menu, const std::string& name, const char* key)
    {
        QAction* a = menu->addAction(QString::fromStdString(name));
        SetItemKey(a, QKeySequence(QString::fromLatin1(key)));
        QObject::connect(a, &QAction::triggered, [this, name] { ++runs[name]; });
        return a;
    }

    std::unique_ptr<TForm> main, tool;
    TControl* panel = nullptr;
    QMenu* popup = nullptr;
    QLineEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    QLineEdit* toolEdit = nullptr;
    std::map<std::string, int> runs;
    int refreshed = 0;
};

TEST_F(MenuKeysTest, TheNearestMenuTakesTheKeyBeforeTheControl)
{
    enum TWhere { InEdit, InOther, InTool };
    struct TCase {
        TWhere Where;
        const char* Key;
        const char* Runs;  // the item expected to run; "" when none does
    };
    const TCase cases[] = {
        {InEdit, "F4", "panelOnly"},  {InEdit, "F5", "panelBoth"}, {InOther, "F5", "both"},
        {InOther, "F4", ""},          {InEdit, "Ctrl+S", "save"},  {InEdit, "F9", "hidden"},
        {InEdit, "F8", ""},           {InEdit, "Alt+1", "deep"},   {InEdit, "Alt+2", ""},
        {InOther, "Ctrl+Left", "left"},
        // Another window without menus of its own reaches the main window's menu.
        {InTool, "Ctrl+S", "save"},   {InTool, "F4", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Key);
        QLineEdit* w = c.Where == InEdit ? edit : c.Where == InOther ? other : toolEdit;
        w->setText(QStringLiteral("ab"));
        w->end(false);
        const std::map<std::string, int> before = runs;
        Press(w, c.Key);
        std::map<std::string, int> expected = before;
        if (*c.Runs) ++expected[c.Runs];
        EXPECT_EQ(runs, expected);
        // A key some item takes, enabled or not, does not reach the control: Ctrl+Left would
        // move the cursor, F8 and Alt+2 do nothing in an edit anyway.
        if (std::string(c.Key) == "Ctrl+Left") {
            EXPECT_EQ(w->cursorPosition(), 2);
        }
    }
    EXPECT_EQ(refreshed, 2) << "a popup brings its items up to date before one runs";
    EXPECT_EQ(FindMenuKey(edit, QKeySequence(QStringLiteral("F8"))[0]).Item != nullptr, true);
    EXPECT_FALSE(FindMenuKey(edit, QKeySequence(QStringLiteral("F8"))[0]).Enabled);

    // Typed keys that no item takes reach the control.
    Press(edit, "X", QStringLiteral("x"));
    EXPECT_EQ(edit->text(), QStringLiteral("abx"));
}

TEST_F(MenuKeysTest, MenuKeysComeBeforeQtShortcutsAndModalWindowsShutTheMainMenu)
{
    int shortcut = 0;
    auto* qt = new QShortcut(QKeySequence(QStringLiteral("Ctrl+S")), other);
    qt->setContext(Qt::WindowShortcut);
    QObject::connect(qt, &QShortcut::activated, [&] { ++shortcut; });
    main->activateWindow();
    QApplication::setActiveWindow(main.get());
    Press(other, "Ctrl+S");
    EXPECT_EQ(runs["save"], 1);
    EXPECT_EQ(shortcut, 0);

    tool->setWindowModality(Qt::ApplicationModal);
    tool->hide();
    tool->show();
    ASSERT_EQ(QApplication::activeModalWidget(), tool.get());
    Press(toolEdit, "Ctrl+S");
    EXPECT_EQ(runs["save"], 1);
    tool->hide();
    tool->setWindowModality(Qt::NonModal);
}

// A default and a cancel button, seen through DialogKey.
class TDialogButton : public TControl {
public:
    TDialogButton(QWidget* parent, bool isDefault) : TControl(parent), default_(isDefault) { setFocusPolicy(Qt::StrongFocus); }
    bool DialogKey(Word key, const QWidget* focus) override
    {
        if ((key == VK_RETURN && (focus == this || default_)) || (key == VK_ESCAPE && !default_)) {
            ++clicks;
            return true;
        }
        return false;
    }
    int clicks = 0;

private:
    bool default_;
};

TEST_F(MenuKeysTest, ReturnAndEscapeGoToTheButtonsUnlessTheControlWantsThem)
{
    auto* ok = new TDialogButton(panel, true);
    auto* cancel = new TDialogButton(panel, false);
    auto* keen = new TControl(panel);
    keen->setFocusPolicy(Qt::StrongFocus);
    keen->WantAllKeys = true;
    int keenKeys = 0;
    keen->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++keenKeys; };
    Press(edit, "Return");
    Press(edit, "Escape");
    Press(edit, "Shift+Return");
    Press(keen, "Return");
    EXPECT_EQ(ok->clicks, 1);
    EXPECT_EQ(cancel->clicks, 1);
    EXPECT_EQ(keenKeys, 1);
    // A hidden or disabled button takes nothing.
    ok->hide();
    Press(edit, "Return");
    EXPECT_EQ(ok->clicks, 1);
    // The panel does not fire its handlers for a key its focused child left alone.
    int panelKeys = 0;
    panel->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++panelKeys; };
    Press(edit, "F12");
    EXPECT_EQ(panelKeys, 0);
}

TEST(QtTexts, KoreanTranslationsAreLoaded)
{
    ASSERT_TRUE(LoadQtKoreanTranslations()) << "qt6-translations-l10n is not installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString::fromUtf8("예(&Y)"));
}

TEST(Services, ShellOpenOfAMissingFileFails)
{
    TQtServices qt;
    EXPECT_FALSE(qt.ShellOpen("/nonexistent-morvane-dir/help/Manual.txt", "", ""));
}

}  // namespace
