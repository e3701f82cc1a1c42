// The main window's commands where the user reaches for them: every menu item, tool-bar button
// and popup item as the window lays them out, each key sent as a user would to the focused
// control in every place that matters (the caption list, the entry editor, the sync and shift
// fields, the advanced-mode editor, the movie window), the colouriser the window sets up, the
// movie window's title and input-method text on the list. The movie window is the real one, on
// libmpv without picture or sound.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/CaptionList.h"
#include "app/FindForm.h"
#include "app/Globals.h"
#include "app/MainForm.h"
#include "app/MovieForm.h"
#include "app/PadLink.h"
#include "controls/NvOS8PushButton.h"
#include "controls/OwnerDrawMenu.h"
#include "controls/TFlatComboBoxUnit.h"
#include "controls/TFlatSpeedButtonUnit.h"
#include "document/QzText.h"
#include "controls/TransBtn.h"
#include "controls/XPMenu.h"
#include "editor/model/QzSmiSyntax.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/MenuKeys.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Screens.h"
#include "platform/gui/Services.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/FakeMainView.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// A menu's items as "path/caption<TAB>key", items with a picture of the menu's images and hidden
// ones marked, submenus walked in place.
void ListItems(QWidget* menu, const QString& path, std::vector<std::string>& out) {
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        const QString caption = a->text().section(QLatin1Char('\t'), 0, 0);
        if (QMenu* sub = a->menu()) {
            ListItems(sub, path + caption + QLatin1Char('/'), out);
            continue;
        }
        QString row = path + caption;
        if (!a->shortcut().isEmpty()) row += QLatin1Char('\t') + a->shortcut().toString(QKeySequence::PortableText);
        if (TMenuItem item(a, menu); item.ImageIndex() >= 0 && item.MenuImages()) row += QStringLiteral(" [icon]");
        if (!a->isVisible()) row += QStringLiteral(" [hidden]");
        out.push_back(row.toStdString());
    }
}

std::vector<std::string> Items(QWidget* menu) {
    std::vector<std::string> out;
    ListItems(menu, QString(), out);
    return out;
}

// Where a key is sent. Each place is a control that has the focus while the user types there.
enum TPlace { InList, InEntry, InSyncField, InShiftField, InMemo, InMovie, PlaceCount };
const char* const kPlaceNames[PlaceCount] = {"list", "entry editor", "sync field", "shift field", "memo", "movie"};
constexpr unsigned kEverywhere = (1u << PlaceCount) - 1;
constexpr unsigned kInPads = (1u << InEntry) | (1u << InMemo);

struct TKeyRow {
    const char* Key;
    const char* Item;  // the item whose command the key runs
    unsigned Places;   // where it runs; elsewhere the key is left to the control
};

// Every key of the main menu, the list's popup, the editors' popup and the movie's popup.
const TKeyRow kKeys[] = {
    {"Ctrl+N", "mnuNew", kEverywhere},          {"Ctrl+O", "mnuOpen", kEverywhere},
    {"Ctrl+M", "mnuOpenMovie", kEverywhere},    {"Ctrl+R", "mnuReload", kEverywhere},
    {"Ctrl+S", "mnuSave", kEverywhere},         {"Ctrl+Shift+S", "mnuSaveAs", kEverywhere},
    {"Alt+X", "mnuExit", kEverywhere},          {"F9", "mnuSort", kEverywhere},
    {"Ctrl+Left", "mnuSyncMoveLeft", kEverywhere}, {"Ctrl+Right", "mnuSyncMoveRight", kEverywhere},
    {"Ctrl+I", "mnuInsert", kEverywhere},       {"Ctrl+T", "mnuStripTag", kEverywhere},
    {"F8", "mnuDelete", kEverywhere},           {"Ctrl+F", "mnuFind", kEverywhere},
    {"F3", "mnuFindNext", kEverywhere},         {"Alt+I", "mnuCapInfo", kEverywhere},
    {"Alt+1", "mnuSize1", kEverywhere},         {"Alt+2", "mnuSize0", kEverywhere},
    {"Alt+3", "mnuSize2", kEverywhere},         {"Alt+4", "mnuSize3", kEverywhere},
    {"F12", "mnuAdvanceMode", kEverywhere},     {"Alt+F1", "mnuAbout", kEverywhere},
    {"Alt+U", "mnuAutoUpdate", kEverywhere},    {"F1", "mnuHelp", kEverywhere},
    {"Shift+F1", "mnuMorvane", kEverywhere},    {"Shift+F2", "mnuUpdateInfo", kEverywhere},
    {"Ctrl+Z", "mnuMemoUndo", kInPads},         {"Ctrl+X", "mnuMemoCut", kInPads},
    {"Ctrl+C", "mnuMemoCopy", kInPads},         {"Ctrl+V", "mnuMemoPaste", kInPads},
    {"Ctrl+A", "mnuMemoSelectAll", kInPads},    {"F4", "mnuMemoSpec", kInPads},
    {"Alt+J", "mnuMemoJpMenu", kInPads},
};

const char* const kBody = "<SYNC START=1000><P CLASS=KALO_KRCC>\r\none\r\n";

class WindowKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareMovieTests();
        SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1280, 1024)}));
        services = std::make_shared<TRecordingServices>();
        previous = InstallServices(services);
        dir = MakeTempDir();
        IsClosing = 0;
        form = std::make_unique<TMainForm>(dir);
        movie = std::make_unique<TMovieForm>(form.get(), form->Controller(), [] { return IsClosing != 0; });
        form->SetMovieForm(movie.get());
        form->show();
        movie->SetShown(true);
        // A modal dialog that a command opens is noted and cancelled as soon as it runs.
        watchdog.setInterval(5);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            if (auto* dialog = dynamic_cast<TForm*>(QApplication::activeModalWidget())) {
                modals.push_back({dialog->windowTitle().toStdString(), dialog->parentWidget(),
                                  dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint)});
                dialog->SetModalResult(mrCancel);
            }
        });
        watchdog.start();
    }

    void TearDown() override {
        watchdog.stop();
        form->SetMovieForm(nullptr);
        movie.reset();
        form.reset();
        MovieForm = nullptr;
        InstallServices(previous);
        SetScreenProvider(nullptr);
    }

    // Sends a key press and its release to `w`, which gets the focus first.
    static void Press(QWidget* w, const QKeySequence& key, const QString& text = QString()) {
        w->setFocus();
        const QKeyCombination k = key[0];
        QKeyEvent press(QEvent::KeyPress, k.key(), k.keyboardModifiers(), text);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, k.key(), k.keyboardModifiers(), text);
        QApplication::sendEvent(w, &release);
    }

    QWidget* Place(TPlace p) {
        switch (p) {
        case InList: return form->ListView;
        case InEntry: return TPadLink::Widget(form->CaptionEdit);
        case InSyncField: return form->EditSync;
        case InShiftField: return form->EditTime;
        case InMemo: return TPadLink::Widget(form->CaptionMemo);
        default: return movie->EditCurSync();
        }
    }

    // An unnamed, modified document with three captions, the second one chosen.
    void MakeDocument() {
        for (int sync : {5000, 6000, 7000}) {
            form->EditSync->setText(QString::number(sync));
            TPadLink::SetText(form->CaptionEdit, "<b>cap</b> " + std::to_string(sync));
            form->AddButton->Click();
        }
        form->Controller().SelectRow(2);
    }

    std::shared_ptr<TRecordingServices> services;
    std::shared_ptr<TPlatformServices> previous;
    std::string dir;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TMovieForm> movie;
    QTimer watchdog;
    // The modal dialogs the watchdog cancelled: title, parent, whether they stayed on top.
    struct TModal {
        std::string Title;
        QWidget* Parent;
        bool OnTop;
    };
    std::vector<TModal> modals;
};

TEST_F(WindowKeysTest, MenusPopupsAndToolBarHoldEveryItem) {
    const std::vector<std::string> mainMenu = {
        "파일(&F)/새 자막(&N)\tCtrl+N",
        "파일(&F)/자막 열기(&O)\tCtrl+O [icon]",
        "파일(&F)/동영상 열기(&M)\tCtrl+M",
        "파일(&F)/자막 다시 읽기(&R)\tCtrl+R [icon]",
        "파일(&F)/저장하기(&S)\tCtrl+S [icon]",
        "파일(&F)/새이름으로 저장(&A)\tCtrl+Shift+S",
        "파일(&F)/모두 닫기(&C)",
        "파일(&F)/동영상 닫기",
        "파일(&F)/종료(&X)\tAlt+X",
        "편집(&E)/싱크순 정렬\tF9 [icon] [hidden]",
        "편집(&E)/싱크 당기기\tCtrl+Left",
        "편집(&E)/싱크 밀기\tCtrl+Right",
        "편집(&E)/자막 끼워넣기(&I)\tCtrl+I",
        "편집(&E)/태그제거(&T)\tCtrl+T [icon]",
        "편집(&E)/선택된 대사 삭제(&D)\tF8",
        "편집(&E)/검색(&F)\tCtrl+F [icon]",
        "편집(&E)/계속 검색(&N)\tF3",
        "편집(&E)/자막 정보(&I)\tAlt+I [icon]",
        "특수기능(&P)/미리보기창 위치(&P)/사용안함",
        "특수기능(&P)/미리보기창 위치(&P)/편집기 왼쪽",
        "특수기능(&P)/미리보기창 위치(&P)/편집기 오른쪽",
        "특수기능(&P)/미리보기창 위치(&P)/편집기 위",
        "특수기능(&P)/미리보기창 위치(&P)/편집기 아래",
        "특수기능(&P)/미리보기창 위치(&P)/모니터 상단 왼쪽구석",
        "특수기능(&P)/미리보기창 위치(&P)/모니터 상단 오른쪽 구석",
        "특수기능(&P)/미리보기창 위치(&P)/모니터 하단 왼쪽구석",
        "특수기능(&P)/미리보기창 위치(&P)/모니터 하단 오른쪽 구석",
        "특수기능(&P)/최상단 윈도우 설정/미리보기창 우선",
        "특수기능(&P)/최상단 윈도우 설정/자막편집창 우선",
        "특수기능(&P)/최상단 윈도우 설정/사용안함",
        "특수기능(&P)/확대/축소/50%\tAlt+1",
        "특수기능(&P)/확대/축소/100%\tAlt+2",
        "특수기능(&P)/확대/축소/200%\tAlt+3",
        "특수기능(&P)/확대/축소/Free Size\tAlt+4",
        "특수기능(&P)/워드랩/사용안함",
        "특수기능(&P)/워드랩/현재창기준",
        "특수기능(&P)/워드랩/컬럼선기준",
        "특수기능(&P)/확장편집 모드\tF12 [icon] [hidden]",
        "특수기능(&P)/옵션(&O) [icon]",
        "도움말(&H)/모르반 정보(&A)\tAlt+F1",
        "도움말(&H)/자동 업데이트(&U)\tAlt+U",
        "도움말(&H)/모르반 홈페이지",
        "도움말(&H)/모르반 도움말(&H)\tF1",
        "도움말(&H)/모르반이란?\tShift+F1",
        "도움말(&H)/업데이트 내용\tShift+F2",
    };
    EXPECT_EQ(Items(form->MainMenu), mainMenu);
    EXPECT_FALSE(form->mnuWordWrap->menuAction()->isVisible()) << "the word wrap belongs to the advanced mode";
    EXPECT_EQ(Items(form->PopupMenuList),
              (std::vector<std::string>{"싱크순 정렬\tF9", "싱크 당기기", "싱크 밀기", "문서 끼워넣기(&I)\tCtrl+I",
                                        "태그제거(&T)", "선택된 자막 삭제(&D)\tF8", "검색(&F)", "계속 검색(&N)\tF3",
                                        "자막 정보(&I)\tAlt+I", "옵션(&O)"}));
    EXPECT_EQ(Items(form->PopupMenuMemo),
              (std::vector<std::string>{"취소(&U)\tCtrl+Z [icon]", "잘라내기(&X)\tCtrl+X [icon]",
                                        "복사(&C)\tCtrl+C [icon]", "붙여넣기(&P)\tCtrl+V [icon]",
                                        "삭제(&D) [hidden]", "전체선택(&A)\tCtrl+A",
                                        "특수문자(&S)\tF4", "일어변환(&J)\tAlt+J"}));
    // The hidden delete item shows "Del" without taking the key from the editor.
    EXPECT_TRUE(form->Action("mnuMemoDelete")->text().endsWith(QStringLiteral("\tDel")));
    std::vector<std::string> spec = Items(form->PopupMenuSpec);
    EXPECT_EQ(spec.size(), 9u + 3u + 4u);
    EXPECT_EQ(spec.back(), "확대/축소/Free Size\tAlt+4");
    EXPECT_EQ(PopupMenuOf(TPadLink::Widget(form->CaptionEdit)), form->PopupMenuMemo);
    EXPECT_EQ(PopupMenuOf(TPadLink::Widget(form->CaptionMemo)), form->PopupMenuMemo);
    EXPECT_EQ(PopupMenuOf(form->ListView), form->PopupMenuList);
    EXPECT_EQ(PopupMenuOf(movie.get()), form->PopupMenuSpec);

    // Both tool bars, the main one and the advanced-mode page's, left to right: glyph buttons of
    // 20 x 20 with the hand cursor and a tool tip, the advanced-mode button with its caption too.
    // A button with a menu twin runs the twin. The menu item of a button's command shows the
    // button's glyph in its icon column.
    std::map<std::string, int> runs;
    for (const char* name : {"mnuSave", "mnuReload", "mnuOption", "mnuStripTag", "mnuFind", "mnuCapInfo", "mnuSort",
                             "mnuAdvanceMode"})
        QObject::connect(form->Action(name), &QAction::triggered, [&runs, name] { ++runs[name]; });
    struct TButtonRow {
        const char* Hint;
        const char* Item;
        bool Visible;
        int Width;
        const char* Caption;
        const char* Menu;  // the menu item showing the glyph; null: none
    };
    const TButtonRow buttons[] = {{"자막/동영상 열기", nullptr, true, 20, "", "mnuOpen"},
                                  {"자막 저장하기", "mnuSave", true, 20, "", "mnuSave"},
                                  {"자막 다시 읽기", "mnuReload", true, 20, "", "mnuReload"},
                                  {"환경 설정", "mnuOption", true, 20, "", "mnuOption"},
                                  {"태그 제거", "mnuStripTag", true, 20, "", "mnuStripTag"},
                                  {"찾기", "mnuFind", true, 20, "", "mnuFind"},
                                  {"동영상창 보기/숨기기", nullptr, true, 20, "", nullptr},
                                  {"자막 정보", "mnuCapInfo", true, 20, "", "mnuCapInfo"},
                                  {"싱크순 정렬", "mnuSort", false, 20, "", "mnuSort"},
                                  {"확장편집", "mnuAdvanceMode", false, 71, "확장편집", "mnuAdvanceMode"},
                                  // The page's bar: cut, copy, paste, undo, then save, exit and redo,
                                  // which run nothing and have no tool tip.
                                  {"잘라내기", nullptr, true, 20, "", "mnuMemoCut"},
                                  {"복사하기", nullptr, true, 20, "", "mnuMemoCopy"},
                                  {"붙여넣기", nullptr, true, 20, "", "mnuMemoPaste"},
                                  {"취소", nullptr, true, 20, "", "mnuMemoUndo"},
                                  {"", nullptr, true, 20, "", nullptr}, {"", nullptr, false, 20, "", nullptr},
                                  {"", nullptr, false, 20, "", nullptr}};
    std::vector<TTransparentButton*> bar;
    for (QWidget* parent : {form->findChild<QWidget*>(QStringLiteral("ToolBar")), form->PageControl->widget(1)})
        for (QWidget* w : parent->findChildren<QWidget*>())
            if (auto* b = dynamic_cast<TTransparentButton*>(w)) bar.push_back(b);
    ASSERT_EQ(bar.size(), std::size(buttons));
    // Pixels of the painted button whose channels differ clearly: the glyph's colours.
    auto coloured = [](TTransparentButton* b) {
        const QImage image = b->PaintToImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 24) ++n;
            }
        return n;
    };
    for (size_t i = 0; i < bar.size(); ++i) {
        const TButtonRow& row = buttons[i];
        SCOPED_TRACE(std::to_string(i) + " " + row.Hint);
        TTransparentButton* b = bar[i];
        EXPECT_EQ(b->Caption(), Cp949(row.Caption));
        EXPECT_EQ(b->Visible(), row.Visible);
        EXPECT_EQ(b->Width(), row.Width);
        EXPECT_EQ(b->Height(), 20);
        EXPECT_EQ(b->Glyph()->Width(), 20);
        EXPECT_EQ(b->Glyph()->Height(), 20);
        EXPECT_EQ(b->Cursor(), crHandPoint);
        EXPECT_EQ(b->Hint, Cp949(row.Hint));
        EXPECT_EQ(b->toolTip(), U(row.Hint));
        EXPECT_EQ(b->FrameStyle(), fsExplorer);
        EXPECT_EQ(b->Spacing(), b == form->AdvanceModeButton ? 3 : 0);
        // The glyph shows grey until the mouse comes over the button.
        EXPECT_EQ(coloured(b), 0);
        QEnterEvent enter(QPointF(1, 1), b->mapToGlobal(QPointF(1, 1)), b->mapToGlobal(QPointF(1, 1)));
        QApplication::sendEvent(b, &enter);
        EXPECT_GT(coloured(b), 8);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(b, &leave);
        if (row.Menu) {
            QAction* action = form->Action(row.Menu);
            QMenu* menu = nullptr;
            for (QObject* o : action->associatedObjects())
                if (!menu) menu = qobject_cast<QMenu*>(o);
            ASSERT_NE(menu, nullptr);
            TMenuItem item(action, menu);
            ASSERT_NE(item.MenuImages(), nullptr);
            // The picture is the button's glyph drawing, the rest of the button's bitmap left out.
            const QImage picture = item.MenuImages()->ImageAt(item.ImageIndex());
            const QImage glyph = b->Glyph()->Image();
            const QPoint at((glyph.width() - picture.width()) / 2, (glyph.height() - picture.height()) / 2);
            const QRgb key = glyph.pixel(0, glyph.height() - 1);
            int differing = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) {
                    const QRgb p = picture.pixel(x, y);
                    if (qAlpha(p) == 0 ? glyph.pixel(at + QPoint(x, y)) != key
                                       : (p & 0xFFFFFF) != (glyph.pixel(at + QPoint(x, y)) & 0xFFFFFF))
                        ++differing;
                }
            EXPECT_EQ(differing, 0);
            // Painted, the item shows it in its icon column.
            const QImage painted = RenderMenuItem(item, 200, MeasureMenuItem(item).cy, false);
            int drawn = 0;
            for (int y = 0; y < painted.height(); ++y)
                for (int x = 0; x < form->XPMenu->IconWidth(); ++x)
                    if (painted.pixel(x, y) != painted.pixel(0, 0)) ++drawn;
            EXPECT_GT(drawn, 20);
        }
        if (!row.Item) continue;
        b->Click();
        EXPECT_EQ(runs[row.Item], 1);
    }
    EXPECT_EQ(form->AdvanceModeButton->TextAlign(), ttaRight);

    // At the window's smallest size, in the advanced mode and with the hidden buttons shown too,
    // every button stands whole inside the window and apart from the others of its bar.
    if (form->Controller().AdvancedMode()) form->Controller().ToggleAdvancedMode();
    Press(form->ListView, QKeySequence(Qt::Key_F12));
    ASSERT_TRUE(form->Controller().AdvancedMode());
    form->resize(form->minimumSize());
    for (TTransparentButton* b : bar) b->SetVisible(true);
    QApplication::processEvents();
    for (size_t i = 0; i < bar.size(); ++i) {
        const QRect at(bar[i]->mapTo(form.get(), QPoint(0, 0)), bar[i]->size());
        EXPECT_TRUE(form->rect().contains(at)) << buttons[i].Hint;
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(bar[j]->parentWidget() == bar[i]->parentWidget() &&
                         bar[j]->geometry().intersects(bar[i]->geometry()))
                << buttons[j].Hint << " / " << buttons[i].Hint;
    }
    if (const char* out = getenv("MORVANE_SCREENSHOT_DIR"))
        form->grab().save(QString::fromUtf8(out) + "/toolbars-minimum.png");
}

// Each key in each place runs its item's command, or leaves the key to the control there.
TEST_F(WindowKeysTest, EveryKeyRunsItsCommandFromEveryPlace) {
    MakeDocument();
    std::map<std::string, int> runs;
    for (const TKeyRow& row : kKeys) {
        const std::string item = row.Item;
        ASSERT_NE(form->Action(item), nullptr) << item;
        QObject::connect(form->Action(item), &QAction::triggered, [&runs, item] { ++runs[item]; });
    }
    services->Clipboard = "clip";
    std::string memoBody;
    for (int p = 0; p < PlaceCount; ++p) {
        const auto place = static_cast<TPlace>(p);
        if (place == InMemo) {
            form->Controller().ToggleAdvancedMode();
            ASSERT_TRUE(form->Controller().AdvancedMode());
            memoBody = TPadLink::Text(form->CaptionMemo);
        }
        for (const TKeyRow& row : kKeys) {
            SCOPED_TRACE(std::string(row.Key) + " in the " + kPlaceNames[p]);
            // The pad items are enabled: a selection, unsaved changes, text on the clipboard.
            if (place == InEntry || place == InMemo) {
                TQzPad* pad = place == InEntry ? form->CaptionEdit : form->CaptionMemo;
                TPadLink::SetText(pad, place == InEntry ? std::string("abc def") : memoBody);
                TPadLink::SelectAll(pad);
                TPadLink::SetModified(pad, true);
            }
            // Every question is answered with cancel, so that nothing is closed or deleted.
            services->MessageAnswers.assign(4, IDCANCEL);
            const bool advanced = form->Controller().AdvancedMode();
            const int before = runs[row.Item];
            Press(Place(place), QKeySequence(QString::fromLatin1(row.Key)));
            EXPECT_EQ(runs[row.Item] - before, (row.Places >> p) & 1u ? 1 : 0);
            EXPECT_FALSE(QApplication::activeModalWidget());
            if (form->Controller().AdvancedMode() != advanced) form->Controller().ToggleAdvancedMode();
            ASSERT_EQ(form->Controller().AdvancedMode(), advanced);
            ASSERT_TRUE(form->isVisible());
        }
    }
    services->MessageAnswers.clear();
}

TEST_F(WindowKeysTest, ListCommandKeysActFromTheEditorsAndOtherKeysReachThem) {
    MakeDocument();
    QWidget* entry = TPadLink::Widget(form->CaptionEdit);
    form->EditTime->setText("100");

    // Ctrl+T strips the tags of the list, Ctrl+Left and Ctrl+Right shift the syncs, from the
    // entry editor and the sync field alike.
    Press(entry, QKeySequence(QStringLiteral("Ctrl+T")));
    EXPECT_EQ(QStringToCp949(form->ListModel->index(1, 1).data().toString()), "cap 5000");
    Press(entry, QKeySequence(QStringLiteral("Ctrl+Right")));
    EXPECT_EQ(form->ListModel->index(1, 0).data().toString(), QStringLiteral("     5100"));
    Press(form->EditSync, QKeySequence(QStringLiteral("Ctrl+Left")));
    Press(form->EditTime, QKeySequence(QStringLiteral("Ctrl+Left")));
    EXPECT_EQ(form->ListModel->index(1, 0).data().toString(), QStringLiteral("     4900"));
    // The window has no default button: Return stays the shift field's own (a shift to the left).
    Press(form->EditTime, QKeySequence(Qt::Key_Return), QStringLiteral("\r"));
    EXPECT_EQ(form->ListModel->index(1, 0).data().toString(), QStringLiteral("     4800"));

    // Keys that no menu takes reach the control: typing, Return and Shift+Return in the editor,
    // Ctrl+Home, a digit in the sync field, Ctrl+C there copies (the editors' item does not run).
    TPadLink::SetText(form->CaptionEdit, "");
    Press(entry, QKeySequence(Qt::Key_X), QStringLiteral("x"));
    Press(entry, QKeySequence(Qt::Key_Return), QStringLiteral("\r"));
    Press(entry, QKeySequence(Qt::Key_Y), QStringLiteral("y"));
    Press(entry, QKeySequence(Qt::SHIFT | Qt::Key_Return), QStringLiteral("\r"));
    Press(entry, QKeySequence(Qt::CTRL | Qt::Key_Home));
    Press(entry, QKeySequence(Qt::Key_Z), QStringLiteral("z"));
    EXPECT_EQ(TPadLink::Text(form->CaptionEdit), "zx\ny\n");
    form->EditSync->setText("12");
    form->EditSync->end(false);
    Press(form->EditSync, QKeySequence(Qt::Key_3), QStringLiteral("3"));
    EXPECT_EQ(form->EditSync->text(), QStringLiteral("123"));
    int copied = 0;
    QObject::connect(form->Action("mnuMemoCopy"), &QAction::triggered, [&] { ++copied; });
    form->EditSync->selectAll();
    Press(form->EditSync, QKeySequence(QStringLiteral("Ctrl+C")));
    EXPECT_EQ(copied, 0);
    EXPECT_EQ(services->Clipboard, "");
}

// The bar of the advanced-mode page and the editors' popup act on the editor that is shown.
TEST_F(WindowKeysTest, MemoPageCommandsActOnTheMemo) {
    MakeDocument();
    TPadLink::SetText(form->CaptionEdit, "entry");
    form->Controller().ToggleAdvancedMode();
    ASSERT_TRUE(form->Controller().AdvancedMode());
    EXPECT_EQ(ActivePad, form->CaptionMemo);
    const std::string body = TPadLink::Text(form->CaptionMemo);
    TPadLink::SelectAll(form->CaptionMemo);
    Press(TPadLink::Widget(form->CaptionMemo), QKeySequence(QStringLiteral("Ctrl+C")));
    EXPECT_EQ(services->Clipboard, ReplaceAll(body, "\n", "\r\n"));
    // "잘라내기" on the page's bar cuts the memo's selection; "취소" brings it back.
    std::vector<TTransparentButton*> bar;
    for (QWidget* w : form->PageControl->widget(1)->findChildren<QWidget*>())
        if (auto* b = dynamic_cast<TTransparentButton*>(w)) bar.push_back(b);
    ASSERT_EQ(bar.size(), 7u);
    EXPECT_EQ(bar[0]->Hint, Cp949("잘라내기"));
    EXPECT_EQ(bar[3]->Hint, Cp949("취소"));
    TPadLink::SelectAll(form->CaptionMemo);
    bar[0]->Click();
    EXPECT_EQ(TPadLink::Text(form->CaptionMemo), "");
    bar[3]->Click();
    EXPECT_EQ(TPadLink::Text(form->CaptionMemo), body);
    EXPECT_EQ(TPadLink::Text(form->CaptionEdit), "entry");
    form->Controller().ToggleAdvancedMode();
    EXPECT_EQ(ActivePad, form->CaptionEdit);
}

TEST_F(WindowKeysTest, SizeKeysWorkInTheMovieWindow) {
    // Alt+2 (100%) and Alt+3 (200%) size the window from the default picture size, while the
    // movie window has the focus.
    Press(movie->EditCurSync(), QKeySequence(QStringLiteral("Alt+3")));
    EXPECT_TRUE(form->Action("mnuSize2")->isChecked());
    EXPECT_EQ(form->Controller().UserInfo.DisplaySize, 2);
    const int wide = movie->Width();
    Press(movie.get(), QKeySequence(QStringLiteral("Alt+2")));
    EXPECT_EQ(form->Controller().UserInfo.DisplaySize, 0);
    EXPECT_LT(movie->Width(), wide);
}

TEST_F(WindowKeysTest, ColouriserIsSetUpAsTheWindowLaysItOut) {
    auto* s = dynamic_cast<TQzSmiSyntax*>(form->CaptionEdit->Syntax());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(form->CaptionMemo->Syntax(), s);
    EXPECT_TRUE(form->CaptionEdit->Options().Contains(qzoHighlightSyntax));
    EXPECT_TRUE(form->CaptionMemo->Options().Contains(qzoHighlightSyntax));
    EXPECT_FALSE(s->CaseSensitive);
    EXPECT_TRUE(s->ForceUpperCase);
    EXPECT_EQ(s->LineComment1, "//");
    EXPECT_EQ(s->BlockCommentStart1, "<!--");
    EXPECT_EQ(s->BlockCommentEnd1, "-->");
    EXPECT_EQ(s->BlockCommentStart2 + s->BlockCommentEnd2, "''");
    EXPECT_EQ(s->BlockCommentStart3 + s->BlockCommentEnd3, "\"\"");
    EXPECT_EQ(s->Delimiter(), "<>= /\t '\"&");
    const std::vector<std::pair<TColor, TColor>> colours = {
        {s->CommentColor, clGray},      {s->StringColor, clSilver},    {s->NumberColor, clLime},
        {s->KeywordColor1, clYellow},   {s->KeywordColor2, clAqua},    {s->KeywordColor3, clFuchsia},
        {s->KeywordColor4, 0x34DC4E},   {s->KeywordColor5, 0x80FF80},  {s->KeywordColor6, clLime},
        {s->OperatorColor, clNone},     {s->TagNameColor, clYellow},   {s->TagKeyColor, clFuchsia},
        {s->TagValueColor, clSilver},   {s->TagAndColor, clLime}};
    for (size_t i = 0; i < colours.size(); ++i) EXPECT_EQ(colours[i].first, colours[i].second) << i;
    EXPECT_EQ(s->Keyword(6).Strings, (std::vector<std::string>{"&amp;", "&gt;", "&lt;", "&nbsp;", "&quot;"}));

    // A SYNC line: the time in lime (not purple), the tag in yellow, START upper-cased in fuchsia.
    int state = 0;
    s->Parse("<SYNC Start=1000>", state);
    std::vector<std::pair<std::string, TColor>> items;
    for (const TQzSyntaxItem& item : s->ParsedItems()) items.emplace_back(item.Text, item.Color);
    EXPECT_EQ(items, (std::vector<std::pair<std::string, TColor>>{{"<", clYellow}, {"SYNC", clYellow}, {" ", clNone},
                                                                   {"START", clFuchsia}, {"=", clNone},
                                                                   {"1000", clLime}, {">", clYellow}}));
    // "-" is no delimiter here, so "-->" after a word does not end the comment.
    s->Parse("<!-- a", state);
    EXPECT_EQ(state, 1);
    s->Parse("b-->", state);
    EXPECT_EQ(state, 1);
}

// The shaded buttons of the main window (the entry and sync rows) and of the movie window (the
// position strip): 0xD2D2D2 with a plain 12-pixel caption, and their sizes. The movie window's
// title bar: the film icon left of the title, the hidden "_" and the "X" with the title bar's look
// and the hand cursor.
TEST_F(WindowKeysTest, ShadedAndTitleBarButtonsAsTheWindowsSetThemUp) {
    struct TRow {
        QWidget* Window;
        std::vector<std::string> Shaded;
        std::vector<std::string> TitleButtons;
        std::vector<QSize> Sizes;  // of the shaded buttons
    };
    const TRow rows[] = {
        {form.get(),
         {"수정F6", "추가F7", "삭제F8", "현재 싱크로 적용", "<-싱크 당기기", "싱크 밀기->"},
         {},
         {{130, 26}, {130, 26}, {130, 26}, {130, 26}, {100, 26}, {100, 26}}},
        {movie.get(), {"이전", "다음", "이동"}, {"_ hidden", "X"}, {{44, 26}, {44, 26}, {44, 26}}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Window->objectName().toStdString());
        std::vector<std::string> shaded, titleButtons;
        std::vector<QSize> sizes;
        for (QWidget* w : row.Window->findChildren<QWidget*>()) {
            if (w->window() != row.Window) continue;
            if (auto* b = dynamic_cast<TNvOS8PushButton*>(w)) {
                shaded.push_back(b->Caption());
                sizes.push_back(b->size());
                ExpectShadedButtonLook(*b);
                EXPECT_FALSE(b->Default()) << b->Caption();
                EXPECT_FALSE(b->Cancel()) << b->Caption();
            }
            if (auto* b = dynamic_cast<TFlatSpeedButton*>(w)) {
                titleButtons.push_back(b->Caption() + (b->isVisibleTo(row.Window) ? "" : " hidden"));
                ExpectTitleButtonLook(*b);
            }
        }
        std::vector<std::string> expected;
        for (const std::string& c : row.Shaded) expected.push_back(Cp949(c.c_str()));
        EXPECT_EQ(shaded, expected);
        EXPECT_EQ(titleButtons, row.TitleButtons);
        EXPECT_EQ(sizes, row.Sizes);
    }
    auto* icon = movie->findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixmap().size(), QSize(16, 10));
    EXPECT_GE(movie->LabelCaption()->x(), icon->geometry().right() + 1);
}

// The movie window's title names the open movie, a Korean name as written. Another open (Ctrl+M
// on the list, a caption changed) that the save prompt cancels leaves the first movie open and
// named; once the prompt lets it go on, the title names the new movie.
TEST_F(WindowKeysTest, MovieTitleNamesTheOpenMovie) {
    const std::string clip = dir + "한글 영화 é.mp4";
    if (!MakeTestClip(clip, 1)) GTEST_SKIP() << "ffmpeg cannot write the test clip";
    const std::string other = dir + "other.mp4";
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(clip, bytes));
    ASSERT_TRUE(WriteFileAtomic(other, bytes));
    services->FileAnswers.push_back(clip);
    form->Action("mnuOpenMovie")->trigger();
    EXPECT_EQ(movie->windowTitle(), U("한글 영화 é.mp4 - Preview"));
    EXPECT_EQ(movie->LabelCaption()->text(), U("한글 영화 é.mp4 - Preview"));

    MakeDocument();
    for (const int answer : {IDCANCEL, IDNO}) {
        SCOPED_TRACE(answer == IDCANCEL ? "cancelled" : "not saved");
        const size_t asked = services->Messages.size();
        services->FileAnswers.push_back(other);
        services->MessageAnswers.push_back(answer);
        Press(form->ListView, QKeySequence(QStringLiteral("Ctrl+M")));
        ASSERT_EQ(services->Messages.size(), asked + 1);
        EXPECT_EQ(services->Messages.back().Text, Cp949("편집중인 자막파일이 있습니다.\n저장하겠습니까?"));
        const std::string title = answer == IDCANCEL ? "한글 영화 é.mp4 - Preview" : "other.mp4 - Preview";
        EXPECT_EQ(movie->windowTitle().toStdString(), title);
        EXPECT_EQ(movie->LabelCaption()->text().toStdString(), title);
        EXPECT_EQ(form->Controller().CurrentCaption.MovieFile, answer == IDCANCEL ? clip : other);
        EXPECT_EQ(form->Controller().IsModified(), answer == IDCANCEL);
    }
}

// A box, file dialog or modal dialog raised while a window other than the main window is active
// stands above that window and takes the keys there: the find dialog's not-found message from its
// word box, the update command, the open, insert and save-as dialogs, the special characters
// dialog (F4 in the word box), the caption information and about dialogs and the insert dialog
// reached from the find dialog, which stay on top as it does, the open dialog and save question of
// a movie open started in the movie window. From the main window (F3 with the find dialog up) it
// stands above the main window.
TEST_F(WindowKeysTest, MessagesStandAboveTheActiveWindow) {
    MakeDocument();
    Press(form->ListView, QKeySequence(QStringLiteral("Ctrl+F")));
    TFindForm* find = form->FindDialog();
    ASSERT_NE(find, nullptr);
    find->EditWord->SetText("nowhere");
    const std::string notFound = Cp949("검색된 단어가 없습니다.");
    struct TRow {
        const char* Name;
        QWidget* Window;  // the active window
        QWidget* Target;  // the control the key goes to
        const char* Key;
        const char* Chosen;  // what the file dialog answers ("" cancels it); null: no dialog
        std::string Text;    // the box raised; empty: none
        const char* Dialog = nullptr;  // the title of the modal dialog opened; null: none
    };
    const std::string saveQuestion = Cp949("편집중인 자막파일이 있습니다.\n저장하겠습니까?");
    const TRow rows[] = {
        {"Return in the find dialog", find, find->EditWord, "Return", nullptr, notFound},
        {"F3 in the main window", form.get(), form->ListView, "F3", nullptr, notFound},
        {"Alt+U in the find dialog", find, find->EditWord, "Alt+U", nullptr, Cp949("업데이트 프로그램이 존재하지 않습니다.")},
        {"Ctrl+M in the movie window", movie.get(), movie->EditCurSync(), "Ctrl+M", "none.mp4", saveQuestion},
        {"Ctrl+O in the find dialog", find, find->EditWord, "Ctrl+O", "none.smi", saveQuestion},
        {"Ctrl+I in the find dialog", find, find->EditWord, "Ctrl+I", "none.smi", "", "자막 삽입"},
        {"Ctrl+Shift+S in the find dialog", find, find->EditWord, "Ctrl+Shift+S", "", ""},
        {"Ctrl+O in the main window", form.get(), form->EditSync, "Ctrl+O", "", ""},
        {"F4 in the find dialog", find, find->EditWord, "F4", nullptr, "", "특수/그림 문자"},
        {"Alt+I in the find dialog", find, find->EditWord, "Alt+I", nullptr, "", "자막 정보"},
        {"Alt+F1 in the find dialog", find, find->EditWord, "Alt+F1", nullptr, "", "모르반 정보"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        row.Window->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == row.Window; }));
        if (row.Chosen) services->FileAnswers.push_back(*row.Chosen ? dir + row.Chosen : std::string());
        services->MessageAnswers.assign(1, IDCANCEL);
        const size_t before = services->Messages.size();
        const size_t dialogs = services->FileDialogs.size();
        modals.clear();
        Press(row.Target, QKeySequence(QString::fromLatin1(row.Key)), row.Key[0] == 'R' ? QStringLiteral("\r") : QString());
        ASSERT_EQ(services->FileDialogs.size(), dialogs + (row.Chosen ? 1 : 0));
        if (row.Chosen) {
            EXPECT_EQ(services->FileDialogs.back().Parent, row.Window);
        }
        ASSERT_EQ(modals.size(), row.Dialog ? 1u : 0u);
        if (row.Dialog) {
            EXPECT_EQ(modals.back().Title, row.Dialog);
            EXPECT_EQ(modals.back().Parent, row.Window);
            EXPECT_TRUE(modals.back().OnTop);
        }
        ASSERT_EQ(services->Messages.size(), before + (row.Text.empty() ? 0 : 1));
        if (row.Text.empty()) continue;
        EXPECT_EQ(services->Messages.back().Text, row.Text);
        EXPECT_EQ(services->Messages.back().Parent, row.Window);
    }
    EXPECT_TRUE(form->Controller().IsModified());
}

// A click on a row while a syllable is composing in the editor: the input method commits the
// syllable late, to the list, which must not search for it.
TEST_F(WindowKeysTest, LateInputMethodCommitOnTheListSelectsNothing) {
    for (const char* text : {"가 first", "나 second", "다 third"}) {
        form->EditSync->setText(QString::number(1000 * (form->ListModel->rowCount())));
        TPadLink::SetText(form->CaptionEdit, Cp949(text));
        form->AddButton->Click();
    }
    QWidget* vp = form->ListView->viewport();
    const QPoint at = form->ListView->visualRect(form->ListModel->index(1, 1)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(vp, &release);
    ASSERT_EQ(form->ListView->SelectedRow(), 1);
    EXPECT_FALSE(form->ListView->testAttribute(Qt::WA_InputMethodEnabled));
    for (const char* late : {"다", "나다"}) {
        QInputMethodEvent commit;
        commit.setCommitString(U(late));
        QApplication::sendEvent(form->ListView, &commit);
        EXPECT_EQ(form->ListView->SelectedRow(), 1);
        EXPECT_EQ(TPadLink::Text(form->CaptionEdit), Cp949("가 first"));
    }
}

}  // namespace
