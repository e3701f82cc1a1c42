// The main window: construction and layout, the view the controller draws through, the settings
// file, closing, and the host of the auto-update command.

#include "app/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

#include "app/CaptionList.h"
#include "app/FindForm.h"
#include "app/Globals.h"
#include "app/MovieForm.h"
#include "app/PadLink.h"
#include "app/ToolButtons.h"
#include "app/WindowLook.h"
#include "app/update/ProgramStart.h"
#include "controls/FileDrag.h"
#include "controls/NvOS8PushButton.h"
#include "controls/QzCaptionLabel.h"
#include "controls/TransBtn.h"
#include "controls/XPMenu.h"
#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Screens.h"
#include "platform/gui/Services.h"
#include "platform/gui/SignalNotifier.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The designed size of the window and of the entry editor above the splitter.
constexpr int kDesignedWidth = 640;
constexpr int kDesignedHeight = 560;
constexpr int kMinWidth = 465;
constexpr int kMinHeight = 360;
constexpr int kDesignedEditorHeight = 190;

// The entry editor's shaded buttons are 26 pixels high, room for their 12-pixel captions.
constexpr int kButtonHeight = 26;

TNvOS8PushButton* MakeButton(QWidget* parent, const char* caption, int width) {
    auto* b = new TNvOS8PushButton(parent);
    b->SetCaption(Cp949(caption));
    SetShadedButtonLook(b);
    b->setMinimumSize(width, kButtonHeight);
    b->setMaximumHeight(kButtonHeight);
    return b;
}

// The flat menus as the window's layout sets them up: working colours from the system colours,
// no gradient and no flat border.
void ConfigureXPMenu(TXPMenu& m) {
    m.DimLevel = 30;
    m.GrayLevel = 10;
    TFont font;
    font.SetName("Tahoma");
    font.SetHeight(-11);
    font.CharSet = 129;
    font.SetColor(clMenuText);
    font.SetStyle(TFontStyles());
    m.SetFont(font);
    m.SetColor(clWhite);
    m.SetDrawMenuBar(true);
    m.SetIconBackColor(clSilver);
    m.SetMenuBarColor(0xEFEFEF);
    m.SetSelectColor(clHighlight);
    m.SetSelectBorderColor(clHighlight);
    m.SetSelectFontColor(clMenuText);
    m.SetDisabledColor(clInactiveCaption);
    m.SetSeparatorColor(clSilver);
    m.SetCheckedColor(clHighlight);
    m.SetIconWidth(24);
    m.SetDrawSelect(true);
    m.SetUseSystemColors(true);
    m.SetUseDimColor(true);
    m.SetOverrideOwnerDraw(true);
    m.SetGradient(false);
    m.SetFlatMenu(false);
    m.SetAutoDetect(true);
    m.SetXPControls(XPBit(xcMainMenu) | XPBit(xcPopupMenu));
    m.SetActive(true);
}

}  // namespace

TMainForm::TMainForm(const std::string& appDir) : TForm(nullptr), appDir_(appDir) {
    pads_ = std::make_unique<TPadLink>();
    controller_ = std::make_unique<TMainController>(*this);
    autoUpdate_ = std::make_unique<TAutoUpdate>(*this);
    MainForm = this;
    BuildLayout();
    BuildMenus();
    BuildPopupMenus();
    // The menu bar and the popup menus are drawn flat; the controls keep their own look.
    XPMenu = new TXPMenu(this);
    ConfigureXPMenu(*XPMenu);
    OnCloseQuery = [this](TObject*, bool& canClose) { FormCloseQuery(canClose); };
    OnClose = [this](TObject*, TCloseAction&) { FormClose(); };
    // The dialogs centre themselves over this window (over the screen while it is hidden).
    SetMainFormGeometryHook([this] {
        TMainFormGeometry g;
        const QRect frame = frameGeometry();
        g.MainVisible = isVisible();
        g.Left = frame.x();
        g.Top = frame.y();
        g.Width = frame.width();
        g.Height = frame.height();
        g.ScreenWidth = ScreenWidth();
        g.ScreenHeight = ScreenHeight();
        return g;
    });
    FormCreate();
}

TMainForm::~TMainForm() {
    SetMainFormGeometryHook(nullptr);
    if (controller_) controller_->SetMovie(nullptr);
    // The controls go while the controller whose rows the list shows still exists.
    ListView->setModel(nullptr);
    if (::ActivePad == CaptionEdit || ::ActivePad == CaptionMemo) ::ActivePad = nullptr;
    if (::FindForm == findForm_) ::FindForm = nullptr;
    pads_->Release();
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::FormCreate() {
    SetCaption(kApplicationTitle);
    SetTitle(DocumentTitle(""));
    ::ActivePad = CaptionEdit;
    ::AppDir = appDir_.empty() ? GetAppDir() : appDir_;
    if (::AppDir.empty() || ::AppDir.back() != '/') ::AppDir += '/';
    appDir_ = ::AppDir;
    IniFileName = ::AppDir + ExtractFileName(IniFileName.empty() ? std::string("Morvane.ini") : IniFileName);
    RowsChanged();
    TWindowSettings ws = CurrentWindowSettings();
    LoadSettings(IniFileName, ws, controller_->UserInfo);
    ApplyWindowSettings(ws);
}

void TMainForm::BuildLayout() {
    setMinimumSize(kMinWidth, kMinHeight);
    resize(kDesignedWidth, kDesignedHeight);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    MainMenu = new QMenuBar(this);
    root->addWidget(MainMenu);

    auto* toolBar = new QWidget(this);
    toolBar->setObjectName("ToolBar");
    BuildToolBar(toolBar);
    root->addWidget(toolBar);

    PageControl = new QStackedWidget(this);
    root->addWidget(PageControl, 1);

    auto* listPage = new QWidget(PageControl);
    auto* listLayout = new QVBoxLayout(listPage);
    listLayout->setContentsMargins(3, 3, 3, 3);
    Splitter = new QSplitter(Qt::Vertical, listPage);
    Splitter->setChildrenCollapsible(false);
    CaptionEditPanel = new QWidget(Splitter);
    BuildEntryEditor(CaptionEditPanel);
    ListView = new TCaptionListView(Splitter);
    ListModel = new TCaptionListModel(controller_->Rows(), ListView);
    ListView->setModel(ListModel);
    ListView->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    ListView->header()->resizeSection(0, 72);
    QFont listFont(U("NanumGothicCoding"));
    listFont.setStyleHint(QFont::TypeWriter);
    listFont.setPixelSize(12);
    ListView->setFont(listFont);
    ListView->OnMouseDown = [this](int row) { Guard([&] { controller_->ListMouseDown(row); }); };
    ListView->OnDblClick = [this](int row) { Guard([&] { controller_->ListDoubleClick(row); }); };
    ListView->OnSelect = [this](int row) { ListSelectionChanged(row); };
    ListView->OnContextMenu = [this](const QPoint& at) {
        if (PopupMenuList) PopupMenuList->exec(at);
    };
    Splitter->addWidget(CaptionEditPanel);
    Splitter->addWidget(ListView);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({kDesignedEditorHeight, kDesignedHeight - kDesignedEditorHeight});
    listLayout->addWidget(Splitter);
    PageControl->addWidget(listPage);

    auto* memoPage = new QWidget(PageControl);
    BuildMemoPage(memoPage);
    PageControl->addWidget(memoPage);
    PageControl->setCurrentIndex(0);

    auto* status = new QWidget(this);
    auto* statusLayout = new QHBoxLayout(status);
    statusLayout->setContentsMargins(4, 1, 4, 1);
    statusLayout->setSpacing(4);
    StatusText = new QLabel(U("Morvane Caption Editor - ") + QString::fromLatin1(kMakerSite), status);
    StatusText->setCursor(Qt::PointingHandCursor);
    StatusText->installEventFilter(this);
    LabelTime = new QLabel(Cp949ToQString(Cp949("0.00초")), status);
    LabelTime->setMinimumWidth(60);
    LabelTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ProgressBar = new QProgressBar(status);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    // The bar gives way to the status text, which stays whole down to the window's minimum width.
    ProgressBar->setFixedHeight(14);
    ProgressBar->setMinimumWidth(60);
    ProgressBar->setMaximumWidth(140);
    statusLayout->addWidget(StatusText, 1);
    statusLayout->addWidget(LabelTime);
    statusLayout->addWidget(ProgressBar);
    root->addWidget(status);

    FileDrag = new TFileDrag(this);
    FileDrag->OnDrop = [this](TObject*) {
        std::vector<std::string> files = FileDrag->Files().Strings;
        Guard([&] { controller_->DropFiles(files); });
    };
}

// The preview spans the panel; under it stand the text pad with the shift rows below it, and the
// sync field and the entry buttons in a column at the right. So every control stays whole down to
// the window's minimum size (465 x 360): the shift group, amount and buttons in one row under
// everything would need about 520 pixels.
void TMainForm::BuildEntryEditor(QWidget* panel) {
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 3);
    layout->setSpacing(3);

    LabelMovCaption = new TQzCaptionLabel(panel);
    LabelMovCaption->SetColor(clBlack);
    LabelMovCaption->Font()->SetName(Cp949("NanumGothic"));
    LabelMovCaption->Font()->SetHeight(-12);
    LabelMovCaption->Font()->SetColor(clWhite);
    LabelMovCaption->SetTextAlign(qztalCenter);
    LabelMovCaption->SetWordWrap(true);
    LabelMovCaption->SetSpaceTop(5);
    LabelMovCaption->SetSpaceLine(2);
    LabelMovCaption->SetSpaceLeft(5);
    LabelMovCaption->SetBevelOuter(bvLowered);
    // Three lines, as the movie window shows a caption, with the top margin repeated below them.
    LabelMovCaption->setMinimumHeight(3 * LabelMovCaption->LineHeight() + 2 * LabelMovCaption->SpaceTop());
    layout->addWidget(LabelMovCaption);

    auto* middle = new QHBoxLayout();
    middle->setSpacing(4);
    auto* left = new QVBoxLayout();
    left->setSpacing(3);
    CaptionEdit = pads_->CreatePad(panel, false);
    TPadLink::OnChanged(CaptionEdit, [this] { CaptionEditChanged(); });
    TPadLink::OnKeyPress(CaptionEdit, [this] { CaptionEditChanged(); });
    // A typed character is in the text only once its key went up: refresh the preview then too.
    TPadLink::OnKeyUp(CaptionEdit, [this] { CaptionEditChanged(); });
    TPadLink::OnKeyDown(CaptionEdit, [this] { TPadLink::SetLineBlockMode(CaptionEdit); });
    left->addWidget(TPadLink::Widget(CaptionEdit), 1);
    middle->addLayout(left, 1);

    auto* right = new QVBoxLayout();
    right->setSpacing(3);
    auto* syncLabel = new QLabel(U("Sync (ms)"), panel);
    EditSync = new QLineEdit(QStringLiteral("0"), panel);
    EditSync->setMaximumWidth(130);
    EditButton = MakeButton(panel, "수정F6", 130);
    AddButton = MakeButton(panel, "추가F7", 130);
    DeleteButton = MakeButton(panel, "삭제F8", 130);
    ApplyCurSyncButton = MakeButton(panel, "현재 싱크로 적용", 130);
    EditButton->OnClick = [this](TObject*) { EditButtonClick(); };
    AddButton->OnClick = [this](TObject*) { AddButtonClick(); };
    DeleteButton->OnClick = [this](TObject*) { Guard([this] { controller_->DeleteCommand(); }); };
    ApplyCurSyncButton->OnClick = [this](TObject*) { ApplyCurSyncButtonClick(); };
    right->addWidget(syncLabel);
    right->addWidget(EditSync);
    right->addWidget(EditButton);
    right->addWidget(AddButton);
    right->addWidget(DeleteButton);
    right->addWidget(ApplyCurSyncButton);
    right->addStretch(1);
    middle->addLayout(right);
    layout->addLayout(middle, 1);

    auto* shiftRow = new QHBoxLayout();
    shiftRow->setSpacing(4);
    auto* group = new QGroupBox(Cp949ToQString(Cp949("싱크 조절")), panel);
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->setContentsMargins(6, 2, 6, 2);
    RadioSyncOption = new QButtonGroup(group);
    auto* all = new QRadioButton(Cp949ToQString(Cp949("자막 전체")), group);
    auto* fromSelected = new QRadioButton(Cp949ToQString(Cp949("선택한 자막부터 끝까지")), group);
    RadioSyncOption->addButton(all, 0);
    RadioSyncOption->addButton(fromSelected, 1);
    all->setChecked(true);
    groupLayout->addWidget(all);
    groupLayout->addWidget(fromSelected);
    groupLayout->addStretch(1);
    left->addWidget(group);
    EditTime = new QLineEdit(QStringLiteral("100"), panel);
    // Room for a shift of six digits.
    EditTime->setFixedWidth(60);
    // Enter in the amount box shifts to the left, as the "<-" button does.
    connect(EditTime, &QLineEdit::returnPressed, this, [this] { Guard([this] { controller_->ShiftLeft(); }); });
    shiftRow->addWidget(EditTime);
    shiftRow->addWidget(new QLabel(U("ms"), panel));
    SyncLeftButton = MakeButton(panel, "<-싱크 당기기", 100);
    SyncRightButton = MakeButton(panel, "싱크 밀기->", 100);
    SyncLeftButton->OnClick = [this](TObject*) { Guard([this] { controller_->ShiftLeft(); }); };
    SyncRightButton->OnClick = [this](TObject*) { Guard([this] { controller_->ShiftRight(); }); };
    shiftRow->addWidget(SyncLeftButton);
    shiftRow->addWidget(SyncRightButton);
    shiftRow->addStretch(1);
    left->addLayout(shiftRow);
}

void TMainForm::BuildMemoPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    auto* bar = new QWidget(page);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(2);
    auto add = [&](TToolGlyph glyph, const char* hint, std::function<void()> run) {
        TTransparentButton* b = CreateToolButton(bar, glyph, hint);
        if (run) b->OnClick = [run](TObject*) { run(); };
        barLayout->addWidget(b);
        return b;
    };
    add(tgCut, "잘라내기", [this] { PadCommand(&TPadLink::Cut); });
    add(tgCopy, "복사하기", [this] { PadCommand(&TPadLink::Copy); });
    add(tgPaste, "붙여넣기", [this] { PadCommand(&TPadLink::Paste); });
    add(tgUndo, "취소", [this] { PadCommand(&TPadLink::Undo); });
    // Save, exit and redo run nothing; exit and redo are hidden.
    add(tgSave, "", nullptr);
    add(tgExit, "", nullptr)->SetVisible(false);
    add(tgRedo, "", nullptr)->SetVisible(false);
    barLayout->addStretch(1);
    layout->addWidget(bar);

    CaptionMemo = pads_->CreatePad(page, true);
    layout->addWidget(TPadLink::Widget(CaptionMemo), 1);
}

// ---- IMainView ----------------------------------------------------------------------------------

int TMainForm::Ask(const std::string& text, TMsgButtons buttons) {
    unsigned flags = (buttons == mbYesNoCancel ? MB_YESNOCANCEL : MB_OKCANCEL) | MB_ICONQUESTION;
    int answer = Services().MessageBox(MessageParent(), text, Cp949("메시지"), flags);
    switch (answer) {
    case IDOK: return mrOk;
    case IDYES: return mrYes;
    case IDNO: return mrNo;
    default: return mrCancel;
    }
}

void TMainForm::ShowMessage(const std::string& text) { ::ShowMessage(text); }

// The file dialogs stand above the active window, as the message boxes do: opened by a key in the
// find dialog, which stays on top, a dialog given the main window would open behind it.
bool TMainForm::OpenFileDialog(int filterIndex, const std::string& initialDir, const std::string& fileName,
                               std::string& chosen) {
    TFileDialogRequest req;
    req.Filter = "Caption file|*.smi;*.smil;*.txt|Movie file|*.avi;*.asf;*.mpg;*.dat;*.mp4;*.mkv;*.webm;*.ogv;*.wmv|"
                 "all files|*.*";
    req.FilterIndex = filterIndex;
    req.InitialDir = initialDir;
    req.FileName = fileName;
    req.DefaultExt = "smi";
    req.FileMustExist = true;
    if (!Services().FileDialog(MessageParent(), req)) return false;
    chosen = req.FileName;
    return !chosen.empty();
}

bool TMainForm::SaveFileDialog(const std::string& initialDir, const std::string& fileName, std::string& chosen) {
    TFileDialogRequest req;
    req.Save = true;
    req.Title = "Save as...";
    req.Filter = "SMI file|*.smi|all files|*.*";
    req.InitialDir = initialDir;
    req.FileName = fileName;
    req.DefaultExt = "smi";
    req.OverwritePrompt = true;
    if (!Services().FileDialog(MessageParent(), req)) return false;
    chosen = req.FileName;
    return !chosen.empty();
}

std::string TMainForm::EntryText() { return TPadLink::Text(CaptionEdit); }

void TMainForm::SetEntryText(const std::string& text) {
    TPadLink::SetText(CaptionEdit, text);
    TPadLink::SetModified(CaptionEdit, false);
    CaptionEditChanged();
}

std::string TMainForm::SyncField() { return QStringToCp949(EditSync->text()); }

void TMainForm::SetSyncField(const std::string& text) { EditSync->setText(Cp949ToQString(text)); }

std::string TMainForm::ShiftField() { return QStringToCp949(EditTime->text()); }

int TMainForm::ShiftOption() { return RadioSyncOption->checkedId() == 1 ? 1 : 0; }

std::string TMainForm::MemoText() { return TPadLink::Text(CaptionMemo); }

void TMainForm::SetMemoText(const std::string& text) { TakeMemoText(std::string(text)); }

bool TMainForm::MemoTextIs(const std::string& text) { return TPadLink::TextIs(CaptionMemo, text); }

void TMainForm::TakeMemoText(std::string&& text) {
    TPadLink::RefillText(CaptionMemo, std::move(text));
    TPadLink::SetModified(CaptionMemo, false);
}

bool TMainForm::MemoModified() { return TPadLink::Modified(CaptionMemo); }

void TMainForm::SetMemoModified(bool modified) { TPadLink::SetModified(CaptionMemo, modified); }

void TMainForm::ShowAdvancedMode(bool on) {
    if (QAction* a = Action("mnuAdvanceMode")) a->setChecked(on);
    if (AdvanceModeButton) AdvanceModeButton->SetDown(on);
    if (mnuWordWrap) mnuWordWrap->menuAction()->setVisible(on);
    PageControl->setCurrentIndex(on ? 1 : 0);
    // The edit commands act on the editor the user sees (a dialog's notice editor keeps them
    // while it is up).
    if (::ActivePad == CaptionEdit || ::ActivePad == CaptionMemo) ::ActivePad = on ? CaptionMemo : CaptionEdit;
    if (on) TPadLink::Widget(CaptionMemo)->setFocus();
}

void TMainForm::ShowMemoLine(int line) {
    TPadLink::GoToLine(CaptionMemo, line);
    TPadLink::Widget(CaptionMemo)->setFocus();
}

void TMainForm::RowsChanged() {
    ListModel->Reset();
    ListView->header()->resizeSection(0, 72);
}

void TMainForm::SelectionChanged(int row) {
    settingSelection_ = true;
    ListView->SelectRow(row);
    settingSelection_ = false;
}

void TMainForm::ScrollRowIntoView(int row) { ListView->ScrollRowTo(row, 30); }

void TMainForm::SetListEnabled(bool enabled) { ListView->setEnabled(enabled); }

void TMainForm::SetTitle(const std::string& title) {
    SetCaption(title);
    // The title carries a native file name (UTF-8) beside the ASCII program name.
    setWindowTitle(QString::fromUtf8(title.data(), static_cast<int>(title.size())));
}

void TMainForm::SetProgress(int position, int max) {
    if (max >= 0) ProgressBar->setMaximum(max > 0 ? max : 1);
    ProgressBar->setValue(std::min(std::max(position, 0), ProgressBar->maximum()));
}

void TMainForm::SetLoadTime(const std::string& text) { LabelTime->setText(Cp949ToQString(text)); }

void TMainForm::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void TMainForm::SetCaptionTimer(bool on) {
    if (movieForm_) movieForm_->SetCaptionTimer(on);
}

// ---- The list and the entry editor --------------------------------------------------------------

void TMainForm::ListSelectionChanged(int row) {
    if (settingSelection_) return;
    Guard([&] { controller_->SelectRow(row); });
}

void TMainForm::CaptionEditChanged() {
    std::string text = ReplaceText(TPadLink::Text(CaptionEdit), "&nbsp;", " ", true);
    if (text == LabelMovCaption->Caption()) return;
    LabelMovCaption->SetCaption(text);
    LabelMovCaption->Repaint();
}

void TMainForm::EditButtonClick() { Guard([this] { controller_->EditCommand(); }); }

void TMainForm::AddButtonClick() { Guard([this] { controller_->AddCommand(); }); }

void TMainForm::ApplyCurSyncButtonClick() { Guard([this] { controller_->ApplyCurrentSync(); }); }

void TMainForm::Guard(const std::function<void()>& run) {
    // A command run from a dialog that an outer command opened has its own window.
    const QPointer<QWidget> outer = commandWindow_;
    commandWindow_ = MessageParent();
    try {
        run();
    } catch (const std::exception& e) {
        HandleException(e.what());
    } catch (...) {
        HandleException("unknown error");
    }
    commandWindow_ = outer;
}

// ---- Settings and closing -----------------------------------------------------------------------

TWindowSettings TMainForm::CurrentWindowSettings() const {
    TWindowSettings s;
    s.Left = x();
    s.Top = y();
    s.Width = width();
    s.Height = height();
    QList<int> sizes = Splitter->sizes();
    s.CaptionEditorHeight = sizes.isEmpty() ? kDesignedEditorHeight : sizes.first();
    return s;
}

void TMainForm::ApplyWindowSettings(const TWindowSettings& s) {
    int w = std::max(s.Width, kMinWidth);
    int h = std::max(s.Height, kMinHeight);
    int left = s.Left, top = s.Top;
    // Bounds saved on a monitor that is gone would leave the window out of reach.
    if (!QGuiApplication::screenAt(QPoint(left + 40, top + 10))) {
        left = 100;
        top = 50;
    }
    move(left, top);
    resize(w, h);
    int editor = std::max(s.CaptionEditorHeight, 60);
    QList<int> sizes = Splitter->sizes();
    int total = 0;
    for (int v : sizes) total += v;
    if (total <= 0) total = h;
    Splitter->setSizes({editor, std::max(total - editor, 40)});
}

void TMainForm::FormCloseQuery(bool& canClose) {
    canClose = false;
    // A request that arrives while an earlier one asks (a second signal during the save prompt)
    // is refused: the open prompt decides; the controller refuses one during the save prompt of
    // another command. So is one once the window closes: ending the program asks every window to
    // close again, and the save prompt must not come back.
    if (autoUpdate_->Busy() || closeQuerying_ || IsClosing) return;
    closeQuerying_ = true;
    Guard([&] { canClose = controller_->CloseQuery(); });
    closeQuerying_ = false;
}

void TMainForm::HandleSignals() {
    signal(SIGXFSZ, SIG_IGN);
    for (int signo : {SIGTERM, SIGHUP, SIGINT}) {
        // One that the starting process ignores (nohup, a job started in the background by a
        // script) stays ignored: whoever started the program asked it to outlive that signal.
        struct sigaction now {};
        if (signo != SIGTERM && sigaction(signo, nullptr, &now) == 0 && now.sa_handler == SIG_IGN) continue;
        auto* notifier = new TSignalNotifier(signo, [this] {
            if (!IsClosing) Close();
        }, this);
        if (!notifier->Active()) delete notifier;
    }
}

void TMainForm::FormClose() {
    SetCaptionTimer(false);
    if (findForm_) findForm_->SaveHistory();
    const bool saved = SaveSettings(IniFileName, CurrentWindowSettings(), controller_->UserInfo);
    // The close is final from here: a request that comes while the failure is shown (a second
    // signal) is refused, and brings back no save prompt.
    IsClosing = 1;
    if (!saved) ::ShowMessage(Cp949FromUtf8(ExtractFileName(IniFileName)) + Cp949(" 파일을 저장할 수 없습니다."));
    if (OnClosed) OnClosed();
}

// ---- TUpdateHost --------------------------------------------------------------------------------

std::string TMainForm::AppDir() { return appDir_; }

std::string TMainForm::ApplicationTitle() { return kApplicationTitle; }

bool TMainForm::IsDocumentModified() { return controller_->IsModified(); }

bool TMainForm::AskOkCancel(const std::string& msg, const std::string& caption) {
    return Services().MessageBox(MessageParent(), msg, caption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void TMainForm::SetUpdateCommandEnabled(bool enabled) {
    if (QAction* a = Action("mnuAutoUpdate")) a->setEnabled(enabled);
}

void TMainForm::ShowProgress(bool visible) {
    // The bar stays in the status bar, where the load progress is shown too: a transfer that
    // starts or ends leaves it empty.
    ProgressBar->setValue(0);
    if (!visible) progressScale_ = 1;
}

void TMainForm::SetProgressMax(int64_t max) {
    progressScale_ = max > INT_MAX ? max / INT_MAX + 1 : 1;
    ProgressBar->setMaximum(static_cast<int>(std::max<int64_t>(max / progressScale_, 1)));
}

void TMainForm::SetProgressPosition(int64_t position) {
    int64_t v = position / progressScale_;
    ProgressBar->setValue(static_cast<int>(std::min<int64_t>(std::max<int64_t>(v, 0), ProgressBar->maximum())));
}

void TMainForm::ProcessPaintEvents() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void TMainForm::EndProgram() { QCoreApplication::exit(0); }

bool TMainForm::StartProgramAtEnd(const std::string& program, const std::vector<std::string>& args) {
    return ProgramAtEnd().Keep(program, args);
}

void TMainForm::CloseMainWindow() {
    QTimer::singleShot(0, this, [this] { Close(); });
}
