#pragma once
// The movie window: a borderless window with its own title bar, the movie player, the caption
// label under the picture that shows the current caption, and a strip with the position field
// and the seek buttons. It exists from start to exit; closing it only hides it.
//
// It is the controller's IMoviePort, owns the caption timer (see CaptionTimer.h), keeps itself
// beside the main window (the nine preview places), applies the stacking setting and the display
// sizes, and sizes itself to the video keeping the picture's aspect when the user resizes it.
//
// Once the closing flag is set every handler returns at once, except closing, the title-bar drag,
// the full-screen switch and the resize check.
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CaptionTimer.h"
#include "app/model/MainView.h"
#include "platform/gui/Controls.h"

class QLabel;
class QLineEdit;
class QMenu;
class TFileDrag;
class TFlatSpeedButton;
class TMainController;
class TMSMediaPlayer;
class TNvOS8PushButton;
class TQzCaptionLabel;
class TTarkiAutoPos;
class TTarkiForm;

class TMovieForm : public TForm, public IMoviePort {
public:
    // mainForm: the main window (the reference of the placement and of the stacking setting; it
    // becomes the application's MainForm when none is set; may be null in tests). controller: the timing, the settings (UserInfo) and the opening of a
    // dropped movie. closing: true once the main window is closing (empty: never).
    TMovieForm(TForm* mainForm, TMainController& controller, std::function<bool()> closing = {});
    ~TMovieForm() override;

    // ---- IMoviePort ----
    // Stopping, pausing and closing switch the caption timer off at once.
    std::string PlayerFileName() override;
    void PlayerOpen(const std::string& path) override;
    void PlayerStop() override;
    void PlayerPause() override;
    void PlayerClose() override;
    double PlayerPosition() override;
    void SetPlayerPosition(double seconds) override;
    void SetWindowCaption(const std::string& caption) override;
    std::string CaptionLabelText() override;
    void SetCaptionLabelText(const std::string& text) override;
    void SetPositionText(const std::string& text) override;

    // ---- Preview settings (the menu items' tags) ----
    // 0 not moved, 1 left of the main window, 2 right, 3 above, 4 below, 5..8 the screen's
    // top-left, top-right, bottom-left, bottom-right corner. Places the window at once and keeps it
    // there; stores the value in UserInfo.PreviewPosition. Values outside 0..8 are ignored. In full
    // screen the place is only stored, and taken when full screen is left.
    void SetPreviewPosition(int tag);
    // 0 neither window on top, 1 this window, 2 the main window (mainWindow; the main form when
    // null). Stores the value in UserInfo.TopWindow.
    void SetTopWindow(int tag, QWidget* mainWindow = nullptr);
    // 0 100%, 1 50%, 2 200%, 3 free size: sizes the window to the video (keeping its top-left),
    // stores the value in UserInfo.DisplaySize and lets the picture fill the player. False (and
    // nothing changed) in full screen or for a tag outside 0..3.
    bool SetDisplaySize(int tag);

    // ---- Showing, hiding, full screen ----
    // "동영상창 보기/숨기기": shows or hides the window (hiding does not stop the player).
    void SetShown(bool shown);
    bool IsFullScreen() const { return Tag != 0; }
    // The title bar's double click: enters or leaves full screen.
    void ToggleFullScreen();
    // Sizes the window to the video (on show and when a movie opens); nothing in full screen.
    void SizeToVideo();

    // ---- The caption timer ----
    TCaptionTimer& CaptionTimer() { return *captionTimer_; }
    void SetCaptionTimer(bool on);

    // ---- Hooks into the main window (optional; each has a default) ----
    // On show, the stored place / stacking / display size is applied through these, so that the
    // main window can check its menu items. The display-size hook gets the menu tag (stored 4 is
    // tag 3); it is not called for a stored 3. Defaults: the Set... operations above.
    std::function<void(int tag)> OnApplyPreviewPosition;
    std::function<void(int tag)> OnApplyTopWindow;
    std::function<void(int tag)> OnApplyDisplaySize;
    // The window was closed (hidden): the main window releases its preview button.
    TNotifyEvent OnHidden;
    // Files dropped on the window. Default: the first file is opened as a movie.
    std::function<void(const std::vector<std::string>& files)> OnDropFiles;
    // The context menu of the picture (the main window's preview settings menu); not owned.
    void SetPopupMenu(QMenu* menu);

    // ---- Controls (for the main window and tests) ----
    TMSMediaPlayer* MediaPlayer() const { return mediaPlayer_; }
    TQzCaptionLabel* LabelMovCaption() const { return labelMovCaption_; }
    QLineEdit* EditCurSync() const { return editCurSync_; }
    QLineEdit* EditSyncMove() const { return editSyncMove_; }
    TNvOS8PushButton* SyncPrevButton() const { return syncPrevButton_; }
    TNvOS8PushButton* SyncNextButton() const { return syncNextButton_; }
    TNvOS8PushButton* SyncGoButton() const { return syncGoButton_; }
    TTarkiForm* PanelCaption() const { return panelCaption_; }
    TTarkiForm* TarkiFormMargin() const { return tarkiFormMargin_; }
    TTarkiAutoPos* AutoPos() const { return autoPos_; }
    TFileDrag* FileDrag() const { return fileDrag_; }
    QLabel* LabelCaption() const { return labelCaption_; }

    // ---- Handlers (public so that tests drive them as the events would) ----
    void MediaPlayerDblClick();
    void MediaPlayerPlayStateChange(int oldState, int newState);
    void MediaPlayerPositionChange();
    void MediaPlayerOpenStateChange();
    void MediaPlayerMouseUp(Qt::MouseButton button, int x, int y);
    // tag -1 "이전", 1 "다음": seek by the step box's milliseconds.
    void SyncStepClick(int tag);
    // "이동" and Enter in either box: seek to the step box's value.
    void SyncGoClick();
    void DropFiles(const std::vector<std::string>& files);
    // The resize check of a user resize: may change the proposed size; false refuses it. A user
    // resize never makes the window smaller than 254 x 350; the display sizes may.
    bool CanResizeTo(int& width, int& height);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool Closing() const { return closing_ && closing_(); }
    void BuildControls();
    void ApplyStoredSettings();
    TRect ScreenRect() const;

    TForm* mainForm_;
    TMainController& controller_;
    std::function<bool()> closing_;
    std::unique_ptr<TCaptionTimer> captionTimer_;
    QPointer<QMenu> popupMenu_;

    TTarkiForm* tarkiFormMargin_ = nullptr;
    TTarkiForm* panelCaption_ = nullptr;
    QLabel* labelCaption_ = nullptr;
    TFlatSpeedButton* minimizeButton_ = nullptr;
    TFlatSpeedButton* exitButton_ = nullptr;
    TTarkiForm* tarkiForm2_ = nullptr;
    TPanel* panelBlack_ = nullptr;
    TMSMediaPlayer* mediaPlayer_ = nullptr;
    TQzCaptionLabel* labelMovCaption_ = nullptr;
    TPanel* panelMovSync_ = nullptr;
    QLineEdit* editCurSync_ = nullptr;
    QLineEdit* editSyncMove_ = nullptr;
    TNvOS8PushButton* syncPrevButton_ = nullptr;
    TNvOS8PushButton* syncNextButton_ = nullptr;
    TNvOS8PushButton* syncGoButton_ = nullptr;
    TTarkiAutoPos* autoPos_ = nullptr;
    TFileDrag* fileDrag_ = nullptr;

    // Set once the window was first sized to a video in this run.
    bool firstSized_ = false;
    // The window rectangle saved on entering full screen (the picture follows the layout).
    TRect savedBounds_{};
    bool applyingSettings_ = false;
};
