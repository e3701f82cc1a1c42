#pragma once
// The caption editor's main window: the menus and the tool bar, the entry editor (sync field, text
// pad and its preview), the caption list, the advanced-mode editor, the load progress and the
// status bar. Every command goes to the TMainController, which the window serves as its view; the
// window also hosts the auto-update command.
//
// Start-up order: the main window is created first, then the movie window, which is handed over
// with SetMovieForm.

#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/model/MainController.h"
#include "app/model/MainView.h"
#include "app/model/Settings.h"
#include "app/update/AutoUpdate.h"
#include "app/update/UpdateHost.h"
#include "platform/gui/Controls.h"

class QAction;
class QActionGroup;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QSplitter;
class QStackedWidget;
class QWidget;
class TCaptionListModel;
class TCaptionListView;
class IFindHost;
class TFileDrag;
class TFindForm;
class TMovieForm;
class TNvOS8PushButton;
class TPadLink;
class TQzCaptionLabel;
class TQzPad;
class TTransparentButton;
class TXPMenu;

class TMainForm : public TForm, public IMainView, public TUpdateHost {
public:
    // appDir: the folder of the settings file and the help texts, with its trailing '/'; empty:
    // the program's own folder.
    explicit TMainForm(const std::string& appDir = std::string());
    ~TMainForm() override;

    TMainController& Controller() { return *controller_; }
    // The movie window, created after this one: handed to the controller; its preview settings,
    // its hidden state and its context menu are tied to this window's menus.
    void SetMovieForm(TMovieForm* movie);
    // A movie port without a movie window (tests).
    void SetMoviePort(IMoviePort* movie);

    // The bounds and the entry editor's height that the settings file stores.
    TWindowSettings CurrentWindowSettings() const;
    void ApplyWindowSettings(const TWindowSettings& s);

    // Chooses the insert mode (0 after the chosen caption, 1 in front, 2 behind, -1 cancelled).
    // Default: the caption insert dialog.
    std::function<int()> InsertModeChooser;

    // ---- IMainView ----
    int Ask(const std::string& text, TMsgButtons buttons) override;
    void ShowMessage(const std::string& text) override;
    bool OpenFileDialog(int filterIndex, const std::string& initialDir, const std::string& fileName,
                        std::string& chosen) override;
    bool SaveFileDialog(const std::string& initialDir, const std::string& fileName, std::string& chosen) override;
    int AskInsertMode() override;
    std::string EntryText() override;
    void SetEntryText(const std::string& text) override;
    std::string SyncField() override;
    void SetSyncField(const std::string& text) override;
    std::string ShiftField() override;
    int ShiftOption() override;
    std::string MemoText() override;
    void SetMemoText(const std::string& text) override;
    void TakeMemoText(std::string&& text) override;
    bool MemoTextIs(const std::string& text) override;
    bool MemoModified() override;
    void SetMemoModified(bool modified) override;
    void ShowAdvancedMode(bool on) override;
    void ShowMemoLine(int line) override;
    void RowsChanged() override;
    void SelectionChanged(int row) override;
    void ScrollRowIntoView(int row) override;
    void SetListEnabled(bool enabled) override;
    void SetTitle(const std::string& title) override;
    void SetProgress(int position, int max) override;
    void SetLoadTime(const std::string& text) override;
    void ProcessMessages() override;
    void SetCaptionTimer(bool on) override;

    // ---- TUpdateHost ----
    std::string AppDir() override;
    std::string ApplicationTitle() override;
    bool IsDocumentModified() override;
    bool AskOkCancel(const std::string& msg, const std::string& caption) override;
    void SetUpdateCommandEnabled(bool enabled) override;
    void ShowProgress(bool visible) override;
    void SetProgressMax(int64_t max) override;
    void SetProgressPosition(int64_t position) override;
    void ProcessPaintEvents() override;
    bool StartProgramAtEnd(const std::string& program, const std::vector<std::string>& args) override;
    void CloseMainWindow() override;

    // ---- Commands that are not a menu item of their own ----
    void EditButtonClick();
    void AddButtonClick();
    void ApplyCurSyncButtonClick();
    void PreviewButtonClick();
    void StatusBarClick();
    // The place, stacking and display-size items (their tags); they check the item too.
    void mnuPosLeftClick(int tag);
    void mnuTopWindowPreviewClick(int tag);
    void mnuMovieSizeNormalClick(int tag);
    void mnuWordWrapNoneClick(int tag);
    // The dialogs: options, caption information, about, special characters (into ActivePad),
    // Japanese conversion of ActivePad's selection, find and find next.
    void mnuOptionClick();
    void mnuCapInfoClick();
    void mnuAboutClick();
    void mnuMemoSpecClick();
    void mnuMemoJpMenuClick();
    void mnuFindClick();
    void mnuFindNextClick();
    // The find dialog, created at its first use and kept (null before).
    TFindForm* FindDialog() const;
    // Opens a help text of the "help" folder through the desktop; one that cannot be opened is
    // reported as the about box reports it.
    void OpenHelp(const std::string& name);
    // The pad popup's items are enabled by what ActivePad and the clipboard hold.
    void UpdatePadMenuItems();

    // ---- Controls and menu items (named as the commands use them) ----
    TCaptionListView* ListView = nullptr;
    TCaptionListModel* ListModel = nullptr;
    QLineEdit* EditSync = nullptr;
    QLineEdit* EditTime = nullptr;
    QButtonGroup* RadioSyncOption = nullptr;
    TQzPad* CaptionEdit = nullptr;
    TQzPad* CaptionMemo = nullptr;
    TQzCaptionLabel* LabelMovCaption = nullptr;
    QWidget* CaptionEditPanel = nullptr;
    QSplitter* Splitter = nullptr;
    QStackedWidget* PageControl = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QLabel* LabelTime = nullptr;
    QLabel* StatusText = nullptr;
    TNvOS8PushButton* EditButton = nullptr;
    TNvOS8PushButton* AddButton = nullptr;
    TNvOS8PushButton* DeleteButton = nullptr;
    TNvOS8PushButton* ApplyCurSyncButton = nullptr;
    TNvOS8PushButton* SyncLeftButton = nullptr;
    TNvOS8PushButton* SyncRightButton = nullptr;
    TTransparentButton* PreviewButton = nullptr;
    TTransparentButton* AdvanceModeButton = nullptr;
    TFileDrag* FileDrag = nullptr;
    TXPMenu* XPMenu = nullptr;

    QMenuBar* MainMenu = nullptr;
    QMenu* PopupMenuList = nullptr;
    QMenu* PopupMenuMemo = nullptr;
    QMenu* PopupMenuSpec = nullptr;
    QMenu* mnuWordWrap = nullptr;
    // Every menu action by its handler's name ("mnuSave", "mnuOpen", ...).
    QAction* Action(const std::string& name) const;

    TAutoUpdate& AutoUpdate() { return *autoUpdate_; }

    // After the window closed (settings written, closing flag set): the program ends.
    std::function<void()> OnClosed;
    // What the program runs when the main window has closed: every event loop ends, a modal
    // dialog's too, without asking the other windows to close first. Such a request is dropped
    // while any of them stays up (the find dialog or a modal dialog beside the movie window), and
    // the program went on running without its main window.
    static void EndProgram();
    // From now on SIGTERM (the desktop's or the updater's request to end the program), SIGHUP (the
    // terminal that started it closed) and SIGINT (Ctrl+C there) close this window as its close
    // button does: the save prompt runs when the captions are modified. SIGHUP and SIGINT are left
    // alone when they are ignored already. SIGQUIT keeps its default. SIGXFSZ is ignored for the
    // rest of the process, so that a write past the file-size limit fails with EFBIG, as a save
    // reports, instead of ending the program.
    void HandleSignals();

protected:
    // Clicks on the status text.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FormCreate();
    void BuildLayout();
    void BuildToolBar(QWidget* bar);
    void BuildEntryEditor(QWidget* panel);
    void BuildMemoPage(QWidget* page);
    void BuildMenus();
    void BuildPopupMenus();
    // A command: its shortcut works anywhere in the window; shown in `menu` when given.
    QAction* AddAction(QMenu* menu, const std::string& name, const char* caption, const char* key,
                       std::function<void()> run);
    // A popup menu's twin of a command: the key is only shown.
    QAction* AddTwin(QMenu* menu, const char* caption, const char* key, const std::string& command);
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void CaptionEditChanged();
    void ListSelectionChanged(int row);
    void PadCommand(void (*run)(TQzPad*));
    void mnuMemoDeleteClick();
    // Runs a command; an exception it lets through is shown instead of crossing the event loop.
    void Guard(const std::function<void()>& run);
    // The window a modal dialog opened now belongs in front of, as the message boxes and file
    // dialogs do: the window that was active when the running command started, while it is up
    // (the insert dialog that follows the open dialog still goes to the find dialog that Ctrl+I
    // was pressed in), else the active window, else this window. The dialog is still placed over
    // this window.
    QWidget* DialogParent();

    std::unique_ptr<TMainController> controller_;
    std::unique_ptr<TAutoUpdate> autoUpdate_;
    std::unique_ptr<TPadLink> pads_;
    std::unique_ptr<IFindHost> findHost_;
    TFindForm* findForm_ = nullptr;
    QPointer<TMovieForm> movieForm_;
    std::map<std::string, QAction*> actions_;
    QActionGroup* posGroup_ = nullptr;
    QActionGroup* topGroup_ = nullptr;
    QActionGroup* sizeGroup_ = nullptr;
    std::vector<QActionGroup*> specGroups_;
    bool settingSelection_ = false;
    int64_t progressScale_ = 1;
    int openFilterIndex_ = 1;
    // The close query is asking (its save prompt or save dialog is open).
    bool closeQuerying_ = false;
    std::string appDir_;
    // The active window when the running command started; null outside a command.
    QPointer<QWidget> commandWindow_;
};
