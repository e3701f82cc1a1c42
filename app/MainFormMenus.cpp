// The main window's menus, tool bar and popup menus, the commands on the editor controls, the
// preview settings of the movie window and the help texts.

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "app/CaptionList.h"
#include "app/FormAbout.h"
#include "app/Globals.h"
#include "app/MainForm.h"
#include "app/MovieForm.h"
#include "app/PadLink.h"
#include "app/ToolButtons.h"
#include "controls/OwnerDrawMenu.h"
#include "controls/TransBtn.h"
#include "platform/core/Cp949.h"
#include "platform/gui/MenuKeys.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Services.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The nine places of the movie window, in tag order.
const char* const kPlaceCaptions[9] = {
    "사용안함",          "편집기 왼쪽",          "편집기 오른쪽",         "편집기 위", "편집기 아래",
    "모니터 상단 왼쪽구석", "모니터 상단 오른쪽 구석", "모니터 하단 왼쪽구석", "모니터 하단 오른쪽 구석"};

}  // namespace

QAction* TMainForm::Action(const std::string& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* TMainForm::AddAction(QMenu* menu, const std::string& name, const char* caption, const char* key,
                              std::function<void()> run) {
    auto* a = new QAction(U(caption), this);
    if (key && *key) SetItemKey(a, QKeySequence(QString::fromLatin1(key)));
    connect(a, &QAction::triggered, this, [this, run] { Guard(run); });
    if (menu) menu->addAction(a);
    actions_[name] = a;
    return a;
}

QAction* TMainForm::AddTwin(QMenu* menu, const char* caption, const char* key, const std::string& command) {
    auto* a = menu->addAction(U(caption));
    if (key && *key) SetItemKey(a, QKeySequence(QString::fromLatin1(key)));
    connect(a, &QAction::triggered, this, [this, command] {
        if (QAction* target = Action(command)) target->trigger();
    });
    if (QAction* target = Action(command)) {
        // Qt disables a hidden action; the twin of a hidden item stays enabled.
        auto follow = [a, target] { a->setEnabled(target->isEnabled() || !target->isVisible()); };
        follow();
        connect(target, &QAction::changed, a, follow);
    }
    return a;
}

void TMainForm::BuildToolBar(QWidget* bar) {
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(3, 2, 3, 2);
    layout->setSpacing(2);
    auto add = [&](TToolGlyph glyph, const char* hint, std::function<void()> run) {
        TTransparentButton* b = CreateToolButton(bar, glyph, hint);
        b->OnClick = [this, run](TObject*) { Guard(run); };
        layout->addWidget(b);
        return b;
    };
    // The buttons with a menu twin run the twin, so that both are one command.
    auto item = [this](const char* name) {
        return [this, name] {
            if (QAction* a = Action(name)) a->trigger();
        };
    };
    add(tgOpen, "자막/동영상 열기", [this] { controller_->OpenCommand(openFilterIndex_); });
    add(tgSave, "자막 저장하기", item("mnuSave"));
    add(tgReload, "자막 다시 읽기", item("mnuReload"));
    add(tgOptions, "환경 설정", item("mnuOption"));
    add(tgStripTag, "태그 제거", item("mnuStripTag"));
    add(tgFind, "찾기", item("mnuFind"));
    PreviewButton = add(tgMovie, "동영상창 보기/숨기기", [this] { PreviewButtonClick(); });
    add(tgCapInfo, "자막 정보", item("mnuCapInfo"));
    add(tgSort, "싱크순 정렬", item("mnuSort"))->SetVisible(false);
    layout->addStretch(1);
    // The advanced-mode button stands at the bar's right end, its caption right of the glyph.
    AdvanceModeButton = add(tgAdvanceMode, "확장편집", item("mnuAdvanceMode"));
    AdvanceModeButton->SetCaption(Cp949("확장편집"));
    AdvanceModeButton->SetTextAlign(ttaRight);
    AdvanceModeButton->SetSpacing(3);
    AdvanceModeButton->setFixedSize(71, kToolButtonSize);
    AdvanceModeButton->SetVisible(false);
}

void TMainForm::BuildMenus() {
    QMenu* file = MainMenu->addMenu(U("파일(&F)"));
    AddAction(file, "mnuNew", "새 자막(&N)", "Ctrl+N", [this] { controller_->NewCommand(); });
    AddAction(file, "mnuOpen", "자막 열기(&O)", "Ctrl+O", [this] {
        openFilterIndex_ = 1;
        controller_->OpenCommand(1);
    });
    AddAction(file, "mnuOpenMovie", "동영상 열기(&M)", "Ctrl+M", [this] {
        openFilterIndex_ = 2;
        controller_->OpenCommand(2);
    });
    AddAction(file, "mnuReload", "자막 다시 읽기(&R)", "Ctrl+R", [this] { controller_->ReloadCommand(); });
    file->addSeparator();
    AddAction(file, "mnuSave", "저장하기(&S)", "Ctrl+S", [this] { controller_->SaveCaption(false); });
    AddAction(file, "mnuSaveAs", "새이름으로 저장(&A)", "Ctrl+Shift+S", [this] { controller_->SaveCaption(true); });
    file->addSeparator();
    AddAction(file, "mnuClose", "모두 닫기(&C)", nullptr, [this] { controller_->CloseAllCommand(); });
    AddAction(file, "mnuCloseMovie", "동영상 닫기", nullptr, [this] { controller_->CloseMovieCommand(); });
    file->addSeparator();
    AddAction(file, "mnuExit", "종료(&X)", "Alt+X", [this] { Close(); });

    QMenu* edit = MainMenu->addMenu(U("편집(&E)"));
    // A hidden item still takes its key.
    AddAction(edit, "mnuSort", "싱크순 정렬", "F9", [this] { controller_->SortCommand(); })->setVisible(false);
    AddAction(edit, "mnuSyncMoveLeft", "싱크 당기기", "Ctrl+Left", [this] { controller_->ShiftLeft(); });
    AddAction(edit, "mnuSyncMoveRight", "싱크 밀기", "Ctrl+Right", [this] { controller_->ShiftRight(); });
    edit->addSeparator();
    AddAction(edit, "mnuInsert", "자막 끼워넣기(&I)", "Ctrl+I", [this] { controller_->InsertCommand(); });
    AddAction(edit, "mnuStripTag", "태그제거(&T)", "Ctrl+T", [this] { controller_->StripTags(); });
    AddAction(edit, "mnuDelete", "선택된 대사 삭제(&D)", "F8", [this] { controller_->DeleteCommand(); });
    edit->addSeparator();
    AddAction(edit, "mnuFind", "검색(&F)", "Ctrl+F", [this] { mnuFindClick(); });
    AddAction(edit, "mnuFindNext", "계속 검색(&N)", "F3", [this] { mnuFindNextClick(); });
    edit->addSeparator();
    AddAction(edit, "mnuCapInfo", "자막 정보(&I)", "Alt+I", [this] { mnuCapInfoClick(); });

    QMenu* special = MainMenu->addMenu(U("특수기능(&P)"));
    QMenu* place = special->addMenu(U("미리보기창 위치(&P)"));
    posGroup_ = new QActionGroup(this);
    for (int tag = 0; tag < 9; ++tag) {
        QAction* a = AddAction(place, "mnuPos" + std::to_string(tag), kPlaceCaptions[tag], nullptr,
                               [this, tag] { mnuPosLeftClick(tag); });
        a->setCheckable(true);
        a->setActionGroup(posGroup_);
        if (tag == 0) place->addSeparator();
    }
    Action("mnuPos5")->setChecked(true);

    QMenu* top = special->addMenu(U("최상단 윈도우 설정"));
    topGroup_ = new QActionGroup(this);
    const std::pair<int, const char*> tops[] = {{1, "미리보기창 우선"}, {2, "자막편집창 우선"}, {0, "사용안함"}};
    for (const auto& [tag, caption] : tops) {
        int t = tag;
        QAction* a = AddAction(top, "mnuTop" + std::to_string(tag), caption, nullptr,
                               [this, t] { mnuTopWindowPreviewClick(t); });
        a->setCheckable(true);
        a->setActionGroup(topGroup_);
    }
    Action("mnuTop0")->setChecked(true);

    QMenu* size = special->addMenu(U("확대/축소"));
    sizeGroup_ = new QActionGroup(this);
    const std::tuple<int, const char*, const char*> sizes[] = {
        {1, "50%", "Alt+1"}, {0, "100%", "Alt+2"}, {2, "200%", "Alt+3"}, {3, "Free Size", "Alt+4"}};
    for (const auto& [tag, caption, key] : sizes) {
        int t = tag;
        QAction* a = AddAction(size, "mnuSize" + std::to_string(tag), caption, key,
                               [this, t] { mnuMovieSizeNormalClick(t); });
        a->setCheckable(true);
        a->setActionGroup(sizeGroup_);
    }
    Action("mnuSize3")->setChecked(true);

    mnuWordWrap = special->addMenu(U("워드랩"));
    const char* const wraps[] = {"사용안함", "현재창기준", "컬럼선기준"};
    for (int tag = 0; tag < 3; ++tag)
        AddAction(mnuWordWrap, "mnuWordWrap" + std::to_string(tag), wraps[tag], nullptr,
                  [this, tag] { mnuWordWrapNoneClick(tag); });
    mnuWordWrap->menuAction()->setVisible(false);

    // The advanced mode: a hidden item whose check mark follows the mode.
    QAction* advance = AddAction(special, "mnuAdvanceMode", "확장편집 모드", "F12", [this] {
        controller_->ToggleAdvancedMode();
        Action("mnuAdvanceMode")->setChecked(controller_->AdvancedMode());
    });
    advance->setCheckable(true);
    advance->setVisible(false);
    actions_["keyAdvanceMode"] = advance;
    special->addSeparator();
    AddAction(special, "mnuOption", "옵션(&O)", nullptr, [this] { mnuOptionClick(); });

    QMenu* help = MainMenu->addMenu(U("도움말(&H)"));
    AddAction(help, "mnuAbout", "모르반 정보(&A)", "Alt+F1", [this] { mnuAboutClick(); });
    AddAction(help, "mnuAutoUpdate", "자동 업데이트(&U)", "Alt+U", [this] { autoUpdate_->mnuAutoUpdateClick(); });
    help->addSeparator();
    AddAction(help, "mnuHomePage", "모르반 홈페이지", nullptr, [this] { StatusBarClick(); });
    AddAction(help, "mnuHelp", "모르반 도움말(&H)", "F1", [this] { OpenHelp("Manual.txt"); });
    AddAction(help, "mnuMorvane", "모르반이란?", "Shift+F1", [this] { OpenHelp("Morvane.txt"); });
    AddAction(help, "mnuUpdateInfo", "업데이트 내용", "Shift+F2", [this] { OpenHelp("Update.txt"); });
}

void TMainForm::BuildPopupMenus() {
    PopupMenuList = new QMenu(this);
    AddTwin(PopupMenuList, "싱크순 정렬", "F9", "mnuSort");
    AddTwin(PopupMenuList, "싱크 당기기", nullptr, "mnuSyncMoveLeft");
    AddTwin(PopupMenuList, "싱크 밀기", nullptr, "mnuSyncMoveRight");
    PopupMenuList->addSeparator();
    AddTwin(PopupMenuList, "문서 끼워넣기(&I)", "Ctrl+I", "mnuInsert");
    AddTwin(PopupMenuList, "태그제거(&T)", nullptr, "mnuStripTag");
    AddTwin(PopupMenuList, "선택된 자막 삭제(&D)", "F8", "mnuDelete");
    PopupMenuList->addSeparator();
    AddTwin(PopupMenuList, "검색(&F)", nullptr, "mnuFind");
    AddTwin(PopupMenuList, "계속 검색(&N)", "F3", "mnuFindNext");
    PopupMenuList->addSeparator();
    AddTwin(PopupMenuList, "자막 정보(&I)", "Alt+I", "mnuCapInfo");
    AddTwin(PopupMenuList, "옵션(&O)", nullptr, "mnuOption");

    PopupMenuMemo = new QMenu(this);
    // Wherever the pad popup opens (the main window's editors or a dialog's notice editor), its
    // items follow the active editor's state.
    connect(PopupMenuMemo, &QMenu::aboutToShow, this, [this] { Guard([this] { UpdatePadMenuItems(); }); });
    auto padItem = [this](const std::string& name, const char* caption, const char* key, std::function<void()> run) {
        QAction* a = PopupMenuMemo->addAction(U(caption));
        if (key && *key) SetItemKey(a, QKeySequence(QString::fromLatin1(key)));
        connect(a, &QAction::triggered, this, [this, run] { Guard(run); });
        actions_[name] = a;
        return a;
    };
    padItem("mnuMemoUndo", "취소(&U)", "Ctrl+Z", [this] { PadCommand(&TPadLink::Undo); });
    PopupMenuMemo->addSeparator();
    padItem("mnuMemoCut", "잘라내기(&X)", "Ctrl+X", [this] { PadCommand(&TPadLink::Cut); });
    padItem("mnuMemoCopy", "복사(&C)", "Ctrl+C", [this] { PadCommand(&TPadLink::Copy); });
    padItem("mnuMemoPaste", "붙여넣기(&P)", "Ctrl+V", [this] { PadCommand(&TPadLink::Paste); });
    // The Del in its caption is only shown: the Delete key stays the editor's.
    padItem("mnuMemoDelete", "삭제(&D)\tDel", nullptr, [this] { mnuMemoDeleteClick(); })->setVisible(false);
    PopupMenuMemo->addSeparator();
    padItem("mnuMemoSelectAll", "전체선택(&A)", "Ctrl+A", [this] { PadCommand(&TPadLink::SelectAll); });
    PopupMenuMemo->addSeparator();
    padItem("mnuMemoSpec", "특수문자(&S)", "F4", [this] { mnuMemoSpecClick(); });
    padItem("mnuMemoJpMenu", "일어변환(&J)", "Alt+J", [this] { mnuMemoJpMenuClick(); });
    actions_["keyMemoSpec"] = Action("mnuMemoSpec");
    actions_["keyMemoJpMenu"] = Action("mnuMemoJpMenu");
    TPadLink::SetPopupMenu(CaptionEdit, PopupMenuMemo);
    TPadLink::SetPopupMenu(CaptionMemo, PopupMenuMemo);
    ::SetPopupMenu(ListView, PopupMenuList);
    SetMainMenu(this, MainMenu);

    // Each main-menu item that a tool-bar button runs too shows that button's glyph, and the pad
    // popup's edit items those of the memo page's bar.
    TImageList* glyphs = CreateGlyphImages(this);
    SetMenuImageList(MainMenu, glyphs);
    SetMenuImageList(PopupMenuMemo, glyphs);
    const std::pair<const char*, TToolGlyph> pictures[] = {
        {"mnuOpen", tgOpen}, {"mnuSave", tgSave}, {"mnuReload", tgReload}, {"mnuOption", tgOptions},
        {"mnuStripTag", tgStripTag}, {"mnuFind", tgFind}, {"mnuCapInfo", tgCapInfo}, {"mnuSort", tgSort},
        {"mnuAdvanceMode", tgAdvanceMode}, {"mnuMemoCut", tgCut}, {"mnuMemoCopy", tgCopy},
        {"mnuMemoPaste", tgPaste}, {"mnuMemoUndo", tgUndo}};
    for (const auto& [name, glyph] : pictures) TMenuItem(Action(name), nullptr).SetImageIndex(glyph);

    // The picture's context menu in the movie window: the place, stacking and size groups.
    PopupMenuSpec = new QMenu(this);
    for (QAction* a : MainMenu->actions()) {
        QMenu* m = a->menu();
        if (!m || m->title() != U("특수기능(&P)")) continue;
        for (QAction* item : m->actions())
            if (item->menu() && item->menu() != mnuWordWrap) PopupMenuSpec->addMenu(item->menu());
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == StatusText && e->type() == QEvent::MouseButtonRelease) {
        StatusBarClick();
        return true;
    }
    return TForm::eventFilter(watched, e);
}

// ---- Commands on the editor controls ------------------------------------------------------------

void TMainForm::PadCommand(void (*run)(TQzPad*)) {
    TQzPad* pad = ::ActivePad;
    if (!pad) return;
    run(pad);
    TPadLink::Widget(pad)->setFocus();
}

void TMainForm::mnuMemoDeleteClick() {
    TQzPad* pad = ::ActivePad;
    if (!pad) return;
    if (!TPadLink::SelText(pad).empty()) {
        TPadLink::SetSelText(pad, "");
        TPadLink::Widget(pad)->setFocus();
        return;
    }
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(TPadLink::Widget(pad), &press);
}

void TMainForm::UpdatePadMenuItems() {
    TQzPad* pad = ::ActivePad;
    bool selection = pad && !TPadLink::SelText(pad).empty();
    Action("mnuMemoPaste")->setEnabled(pad && Services().ClipboardHasText());
    Action("mnuMemoCut")->setEnabled(selection);
    Action("mnuMemoCopy")->setEnabled(selection);
    Action("mnuMemoUndo")->setEnabled(pad && TPadLink::Modified(pad));
    Action("mnuMemoJpMenu")->setEnabled(selection);
}

void TMainForm::mnuWordWrapNoneClick(int tag) {
    TPadLink::SetWordWrap(CaptionMemo, tag);
}

// ---- The movie window ---------------------------------------------------------------------------

void TMainForm::SetMovieForm(TMovieForm* movie) {
    movieForm_ = movie;
    controller_->SetMovie(movie);
    if (!movie) return;
    MovieForm = movie;
    movie->OnApplyPreviewPosition = [this](int tag) { mnuPosLeftClick(tag); };
    movie->OnApplyTopWindow = [this](int tag) { mnuTopWindowPreviewClick(tag); };
    movie->OnApplyDisplaySize = [this](int tag) { mnuMovieSizeNormalClick(tag); };
    movie->OnHidden = [this](TObject*) {
        if (PreviewButton) PreviewButton->SetDown(false);
    };
    movie->SetPopupMenu(PopupMenuSpec);
}

void TMainForm::SetMoviePort(IMoviePort* movie) {
    movieForm_ = nullptr;
    controller_->SetMovie(movie);
}

void TMainForm::PreviewButtonClick() {
    if (!movieForm_) return;
    bool shown = !PreviewButton->Down();
    PreviewButton->SetDown(shown);
    movieForm_->SetShown(shown);
}

void TMainForm::mnuPosLeftClick(int tag) {
    if (tag < 0 || tag > 8) return;
    Action("mnuPos" + std::to_string(tag))->setChecked(true);
    if (movieForm_) movieForm_->SetPreviewPosition(tag);
    controller_->UserInfo.PreviewPosition = tag;
}

void TMainForm::mnuTopWindowPreviewClick(int tag) {
    if (tag < 0 || tag > 2) return;
    Action("mnuTop" + std::to_string(tag))->setChecked(true);
    if (movieForm_) movieForm_->SetTopWindow(tag, this);
    controller_->UserInfo.TopWindow = tag;
}

void TMainForm::mnuMovieSizeNormalClick(int tag) {
    if (tag < 0 || tag > 3 || !movieForm_ || movieForm_->IsFullScreen()) {
        // A refused choice leaves the check mark on the size in use (4 is the free size item).
        int inUse = controller_->UserInfo.DisplaySize;
        if (QAction* a = Action("mnuSize" + std::to_string(inUse == 4 ? 3 : inUse))) a->setChecked(true);
        return;
    }
    Action("mnuSize" + std::to_string(tag))->setChecked(true);
    movieForm_->SetDisplaySize(tag);
    controller_->UserInfo.DisplaySize = tag;
}

// ---- Help ---------------------------------------------------------------------------------------

void TMainForm::OpenHelp(const std::string& name) { OpenOrReport(appDir_ + "help/" + name); }

void TMainForm::StatusBarClick() { Services().ShellOpen(kMakerSite); }
