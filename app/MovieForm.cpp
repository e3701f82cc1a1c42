#include "app/MovieForm.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <cctype>
#include <climits>

#include "app/CaptionTimer.h"
#include "app/WindowLook.h"
#include "app/model/MainController.h"
#include "app/model/MovieGeometry.h"
#include "controls/FileDrag.h"
#include "controls/NvOS8PushButton.h"
#include "controls/QzCaptionLabel.h"
#include "controls/TFlatSpeedButtonUnit.h"
#include "controls/TarkiAutoPos.h"
#include "controls/TarkiForm.h"
#include "platform/core/Cp949.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/MenuKeys.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Screens.h"
#include "platform/media/MSMediaPlayer.h"

namespace {

constexpr int kTitleHeight = 18;
constexpr int kLabelHeight = 80;
constexpr int kStripHeight = 44;

// The step box's number: leading blanks, an optional sign, then digits up to the first other
// character; text that starts with no number counts as 0. Saturates instead of overflowing.
int LeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) {
            value = INT_MAX;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

QString Korean(const char* utf8) { return Cp949ToQString(Cp949(utf8)); }

}  // namespace

TMovieForm::TMovieForm(TForm* mainForm, TMainController& controller, std::function<bool()> closing)
    : TForm(nullptr, nullptr), mainForm_(mainForm), controller_(controller), closing_(std::move(closing)) {
    Name = "MovieForm";
    // The placement measures against the application's main window.
    if (mainForm_ && !Application()->MainForm) Application()->MainForm = mainForm_;
    captionTimer_ = std::make_unique<TCaptionTimer>(controller_, closing_);
    SetBorderStyle(bsFormNone);
    SetCaption("Preview");
    SetColor(0xD2D2D2);
    SetClientSize(279, 308);
    BuildControls();

    OnClose = [this](TObject*, TCloseAction& action) {
        // Closing only hides the window: the preview button is released and the movie stops.
        action = caHide;
        if (OnHidden) OnHidden(this);
        PlayerStop();
    };
}

TMovieForm::~TMovieForm() {
    // No tick may reach the controller while the window's parts are being destroyed.
    captionTimer_.reset();
    if (mediaPlayer_) {
        mediaPlayer_->OnPlayStateChange = nullptr;
        mediaPlayer_->OnPositionChange = nullptr;
        mediaPlayer_->OnOpenStateChange = nullptr;
        mediaPlayer_->OnDblClick = nullptr;
        mediaPlayer_->OnMouseUp = nullptr;
    }
}

void TMovieForm::BuildControls() {
    tarkiFormMargin_ = new TTarkiForm(this);
    tarkiFormMargin_->Name = "TarkiFormMargin";
    tarkiFormMargin_->SetAlign(alClient);
    tarkiFormMargin_->SetBorderWidth(2);
    tarkiFormMargin_->SetColor(0xDBB484);
    tarkiFormMargin_->SetCaptionMove(true);
    tarkiFormMargin_->SetFormResize(true);
    auto check = [this](TObject*, int& w, int& h) { return CanResizeTo(w, h); };
    tarkiFormMargin_->OnResizeWidth = check;
    tarkiFormMargin_->OnResizeHeight = check;
    tarkiFormMargin_->OnResizeBoth = check;

    // The title bar.
    panelCaption_ = new TTarkiForm(tarkiFormMargin_);
    panelCaption_->Name = "PanelCaption";
    panelCaption_->SetAlign(alTop);
    panelCaption_->SetHeight(kTitleHeight);
    panelCaption_->SetColor(0xC58434);
    panelCaption_->SetLineTop(0xFFF8EA);
    panelCaption_->SetLineLeft(0xFFF8EA);
    panelCaption_->SetLineBottom(0x804000);
    panelCaption_->SetLineRight(0x804000);
    panelCaption_->SetCaptionMove(true);
    panelCaption_->SetFormMaximize(true);
    panelCaption_->OnDblClick = [this](TObject*) { ToggleFullScreen(); };

    CreateTitleIcon(panelCaption_, 4, 4);

    // Presses on the caption text fall through to the title bar, which drags the window.
    labelCaption_ = new QLabel(panelCaption_);
    labelCaption_->setObjectName("LabelCaption");
    labelCaption_->setText("Preview");
    labelCaption_->setAttribute(Qt::WA_TransparentForMouseEvents);
    {
        TFont f;
        f.SetHeight(-11);
        f.SetStyle(fsBold);
        labelCaption_->setFont(f.ToQFont());
        QPalette pal = labelCaption_->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        labelCaption_->setPalette(pal);
    }

    minimizeButton_ = new TFlatSpeedButton(panelCaption_);
    minimizeButton_->SetCaption("_");
    SetTitleButtonLook(minimizeButton_);
    minimizeButton_->SetBounds(0, 1, 18, 15);
    minimizeButton_->SetVisible(false);
    exitButton_ = new TFlatSpeedButton(panelCaption_);
    exitButton_->Name = "ExitButton";
    exitButton_->SetCaption("X");
    SetTitleButtonLook(exitButton_);
    exitButton_->SetBounds(0, 1, 18, 15);
    exitButton_->OnClick = [this](TObject*) { Close(); };
    panelCaption_->OnResize = [this](TObject*) {
        const int w = panelCaption_->Width();
        exitButton_->SetBounds(w - 18 - 2, 1, 18, 15);
        minimizeButton_->SetBounds(w - 2 * 18 - 2, 1, 18, 15);
        labelCaption_->setGeometry(24, 1, std::max(0, w - 24 - 22), kTitleHeight - 2);
    };

    // The picture with its caption and position strip.
    tarkiForm2_ = new TTarkiForm(tarkiFormMargin_);
    tarkiForm2_->Name = "TarkiForm2";
    tarkiForm2_->SetAlign(alClient);
    tarkiForm2_->SetBorderWidth(3);
    tarkiForm2_->SetColor(0xEFEFEF);
    tarkiForm2_->SetLineTop(clWhite);
    tarkiForm2_->SetCaptionMove(true);

    panelBlack_ = new TPanel(tarkiForm2_);
    panelBlack_->SetAlign(alClient);
    panelBlack_->SetBevelOuter(bvNone);
    panelBlack_->SetColor(clBlack);

    // Bottom-aligned children stack upward in creation order: the strip is the lowest.
    panelMovSync_ = new TPanel(panelBlack_);
    panelMovSync_->Name = "PanelMovSync";
    panelMovSync_->SetAlign(alBottom);
    panelMovSync_->SetHeight(kStripHeight);
    panelMovSync_->SetBevelOuter(bvNone);
    panelMovSync_->SetColor(0xEFEFEF);

    labelMovCaption_ = new TQzCaptionLabel(panelBlack_);
    labelMovCaption_->Name = "LabelMovCaption";
    labelMovCaption_->SetAlign(alBottom);
    labelMovCaption_->SetHeight(kLabelHeight);
    labelMovCaption_->setMinimumHeight(kLabelHeight);
    labelMovCaption_->SetBevelOuter(bvNone);
    labelMovCaption_->SetColor(clBlack);
    labelMovCaption_->Font()->SetName("NanumGothic");
    labelMovCaption_->Font()->SetHeight(-12);
    labelMovCaption_->Font()->SetColor(clWhite);
    labelMovCaption_->SetSpaceTop(5);
    labelMovCaption_->SetSpaceLine(2);
    labelMovCaption_->SetWordWrap(true);
    labelMovCaption_->SetTextAlign(qztalCenter);

    mediaPlayer_ = new TMSMediaPlayer(panelBlack_);
    mediaPlayer_->setObjectName("MediaPlayer");
    mediaPlayer_->setCursor(Qt::PointingHandCursor);
    mediaPlayer_->SetShowControls(true);
    panelBlack_->OnResize = [this](TObject*) {
        const int h = panelBlack_->Height() - kLabelHeight - kStripHeight;
        mediaPlayer_->setGeometry(0, 0, panelBlack_->Width(), std::max(0, h));
    };
    mediaPlayer_->OnPlayStateChange = [this](TMSMediaPlayer*, int o, int n) { MediaPlayerPlayStateChange(o, n); };
    mediaPlayer_->OnPositionChange = [this](TMSMediaPlayer*, double, double) { MediaPlayerPositionChange(); };
    mediaPlayer_->OnOpenStateChange = [this](TMSMediaPlayer*, int, int) { MediaPlayerOpenStateChange(); };
    mediaPlayer_->OnError = [this](TMSMediaPlayer* player) {
        if (Closing()) return;
        try {
            controller_.MovieFailed(player->FileName(), player->ErrorDescription());
        } catch (...) {
        }
    };
    mediaPlayer_->OnDblClick = [this](TMSMediaPlayer*) { MediaPlayerDblClick(); };
    mediaPlayer_->OnMouseUp = [this](TMSMediaPlayer*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        MediaPlayerMouseUp(b, x, y);
    };

    // The position strip: "현재 싱크" [EditCurSync] on top, [EditSyncMove] "ms" and the buttons below.
    auto* labelCur = new QLabel(Korean("현재 싱크"), panelMovSync_);
    labelCur->setGeometry(6, 2, 52, 18);
    editCurSync_ = new QLineEdit("0", panelMovSync_);
    editCurSync_->setObjectName("EditCurSync");
    editCurSync_->setGeometry(60, 1, 80, 19);
    editSyncMove_ = new QLineEdit("100", panelMovSync_);
    editSyncMove_->setObjectName("EditSyncMove");
    editSyncMove_->setGeometry(6, 22, 50, 19);
    auto* labelMs = new QLabel("ms", panelMovSync_);
    labelMs->setGeometry(58, 23, 20, 18);
    editCurSync_->installEventFilter(this);
    editSyncMove_->installEventFilter(this);

    auto makeButton = [this](const char* name, const char* caption, int tag, int left) {
        auto* b = new TNvOS8PushButton(panelMovSync_);
        b->Name = name;
        b->Tag = tag;
        b->SetCaption(Cp949(caption));
        SetShadedButtonLook(b);
        b->SetBounds(left, 17, 44, 26);
        return b;
    };
    syncPrevButton_ = makeButton("SyncPrevButton", "이전", -1, 78);
    syncNextButton_ = makeButton("SyncNextButton", "다음", 1, 124);
    syncGoButton_ = makeButton("SyncGoButton", "이동", 0, 170);
    syncPrevButton_->OnClick = [this](TObject*) { SyncStepClick(-1); };
    syncNextButton_->OnClick = [this](TObject*) { SyncStepClick(1); };
    syncGoButton_->OnClick = [this](TObject*) { SyncGoClick(); };

    autoPos_ = new TTarkiAutoPos(this);
    autoPos_->Name = "TarkiAutoPos";
    autoPos_->SetRefreshTime(50);
    autoPos_->SetPosition(ptScreenTopLeft);

    // A control placed by its parent's alignment does not lay out its own children while that
    // placement runs, so the nested frames are laid out here, outermost first, after each resize.
    OnResize = [this](TObject*) {
        tarkiFormMargin_->Realign();
        tarkiForm2_->Realign();
        panelBlack_->Realign();
    };

    fileDrag_ = new TFileDrag(this);
    fileDrag_->Name = "FileDrag";
    fileDrag_->OnDrop = [this](TObject*) {
        DropFiles(std::vector<std::string>(fileDrag_->Files().Strings.begin(), fileDrag_->Files().Strings.end()));
    };
}

// ---- IMoviePort ----

std::string TMovieForm::PlayerFileName() { return mediaPlayer_->FileName(); }
void TMovieForm::PlayerOpen(const std::string& path) { mediaPlayer_->Open(path); }
// Stopping, pausing or closing the movie ends the caption follow at once: the player's state
// event that also switches the timer off arrives later through the event loop.
void TMovieForm::PlayerStop() {
    SetCaptionTimer(false);
    mediaPlayer_->Stop();
}

void TMovieForm::PlayerPause() {
    SetCaptionTimer(false);
    mediaPlayer_->Pause();
}

void TMovieForm::PlayerClose() {
    SetCaptionTimer(false);
    mediaPlayer_->Open(std::string());
}
double TMovieForm::PlayerPosition() { return mediaPlayer_->CurrentPosition(); }
void TMovieForm::SetPlayerPosition(double seconds) { mediaPlayer_->SetCurrentPosition(seconds); }

void TMovieForm::SetWindowCaption(const std::string& caption) {
    SetCaption(caption);
    // The caption holds a native file name: shown as written, never through code page 949.
    const QString shown = PathToQString(caption);
    setWindowTitle(shown);
    labelCaption_->setText(shown);
}

std::string TMovieForm::CaptionLabelText() { return labelMovCaption_->Caption(); }

// The label repaints at once when its text changes.
void TMovieForm::SetCaptionLabelText(const std::string& text) { labelMovCaption_->SetCaption(text); }

void TMovieForm::SetPositionText(const std::string& text) { editCurSync_->setText(Cp949ToQString(text)); }

// ---- Preview settings ----

void TMovieForm::SetPreviewPosition(int tag) {
    static const TPostionType kPlaces[] = {
        ptDesigned,          ptMainFormLeftTop,  ptMainFormRightTop,  ptMainFormTopLeft, ptMainFormBottomLeft,
        ptScreenTopLeft,     ptScreenTopRight,   ptScreenBottomLeft,  ptScreenBottomRight};
    if (tag < 0 || tag > 8) return;
    controller_.UserInfo.PreviewPosition = tag;
    if (IsFullScreen()) return;  // applied when full screen is left
    autoPos_->SetPosition(kPlaces[tag]);
}

void TMovieForm::SetTopWindow(int tag, QWidget* mainWindow) {
    if (tag < 0 || tag > 2) return;
    if (!mainWindow) mainWindow = mainForm_;
    auto setTop = [](QWidget* w, bool top) {
        if (!w) return;
        if (auto* form = dynamic_cast<TForm*>(w)) {
            form->SetFormStyle(top ? fsStayOnTop : fsNormal);
            return;
        }
        if (w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == top) return;
        const bool visible = w->isVisible();
        w->setWindowFlag(Qt::WindowStaysOnTopHint, top);
        if (visible) w->show();
    };
    setTop(this, false);
    setTop(mainWindow, false);
    if (tag == 1) setTop(this, true);
    if (tag == 2) setTop(mainWindow, true);
    controller_.UserInfo.TopWindow = tag;
}

bool TMovieForm::SetDisplaySize(int tag) {
    if (IsFullScreen() || tag < 0 || tag > 3) return false;
    if (WindowState() != wsNormal) SetWindowState(wsNormal);
    mediaPlayer_->SetDisplaySize(tag);
    controller_.UserInfo.DisplaySize = tag;
    TMovieSize size;
    if (DisplaySizeWindow(tag, mediaPlayer_->SourceWidth(), mediaPlayer_->SourceHeight(), size))
        SetBounds(Left(), Top(), size.Width, size.Height);
    mediaPlayer_->SetDisplaySize(4);
    return true;
}

// ---- Showing, sizing, full screen ----

void TMovieForm::SetShown(bool shown) {
    if (shown) {
        Show();
        raise();
    } else {
        Hide();
    }
}

void TMovieForm::showEvent(QShowEvent* e) {
    TForm::showEvent(e);
    if (Closing() || e->spontaneous()) return;
    // Applying the stacking setting re-creates the window, which shows it again: apply once.
    if (applyingSettings_) return;
    applyingSettings_ = true;
    ApplyStoredSettings();
    applyingSettings_ = false;
}

void TMovieForm::ApplyStoredSettings() {
    const int place = controller_.UserInfo.PreviewPosition;
    const int top = controller_.UserInfo.TopWindow;
    if (OnApplyPreviewPosition) OnApplyPreviewPosition(place); else SetPreviewPosition(place);
    if (OnApplyTopWindow) OnApplyTopWindow(top); else SetTopWindow(top);
    SizeToVideo();
}

void TMovieForm::SizeToVideo() {
    if (Closing() || IsFullScreen()) return;
    if (!firstSized_) {
        const TMovieSize first = FirstMovieSize(mediaPlayer_->SourceWidth(), mediaPlayer_->SourceHeight());
        SetBounds(Left(), Top(), first.Width, first.Height);
        firstSized_ = true;
    }
    // The stored display size: 0 100%, 1 50%, 2 200%, 4 free size (menu tag 3); 3 applies nothing.
    int tag = -1;
    switch (controller_.UserInfo.DisplaySize) {
    case 0: case 1: case 2: tag = controller_.UserInfo.DisplaySize; break;
    case 4: tag = 3; break;
    default: break;
    }
    if (tag < 0) return;
    if (OnApplyDisplaySize) OnApplyDisplaySize(tag); else SetDisplaySize(tag);
}

TRect TMovieForm::ScreenRect() const { return Screens().Monitors().front(); }

void TMovieForm::ToggleFullScreen() {
    const bool entering = !IsFullScreen();
    panelCaption_->SetCaptionMove(!entering);
    if (entering) {
        savedBounds_ = BoundsRect();
        Tag = 1;
        // The placement would pull the full-screen window back beside the main window.
        autoPos_->SetRepeat(false);
        const TRect s = ScreenRect();
        SetBounds(s.Left, s.Top, s.Right - s.Left, s.Bottom - s.Top);
    } else {
        const TRect b = savedBounds_;
        SetBounds(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
        // The title bar leaves the maximized state after this handler; the saved rectangle is put
        // back once more when that is done.
        QTimer::singleShot(0, this, [this, b]() {
            if (!IsFullScreen()) SetBounds(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
        });
    }
    Tag = entering ? 1 : 0;
    if (!entering) {
        autoPos_->SetRepeat(true);
        SetPreviewPosition(controller_.UserInfo.PreviewPosition);
    }
}

bool TMovieForm::CanResizeTo(int& width, int& height) {
    if (IsFullScreen()) return true;
    const TRect s = ScreenRect();
    return CheckMovieResize(width, height, mediaPlayer_->SourceWidth(), mediaPlayer_->SourceHeight(),
                            s.Right - s.Left, s.Bottom - s.Top);
}

void TMovieForm::SetPopupMenu(QMenu* menu) {
    popupMenu_ = menu;
    // The window's context menu: its keys work while the window is active.
    ::SetPopupMenu(this, menu);
}

// ---- The caption timer ----

void TMovieForm::SetCaptionTimer(bool on) {
    if (captionTimer_) captionTimer_->SetEnabled(on);
}

// ---- Player events and the position strip ----

void TMovieForm::MediaPlayerDblClick() {
    if (Closing() || !controller_.IsMovieOpen()) return;
    if (mediaPlayer_->Tag == 0) mediaPlayer_->Play(); else PlayerPause();
}

void TMovieForm::MediaPlayerPlayStateChange(int, int newState) {
    if (Closing()) return;
    mediaPlayer_->Tag = newState == mpPlaying ? 1 : 0;
    SetCaptionTimer(mediaPlayer_->Tag == 1);
}

void TMovieForm::MediaPlayerPositionChange() {
    if (Closing()) return;
    controller_.ShowCurrentCaption();
    editCurSync_->setText(QString::number(controller_.GetMoviePos(-1)));
}

void TMovieForm::MediaPlayerOpenStateChange() {
    if (Closing()) return;
    SizeToVideo();
}

void TMovieForm::MediaPlayerMouseUp(Qt::MouseButton button, int x, int y) {
    if (Closing() || button != Qt::RightButton || !popupMenu_) return;
    popupMenu_->popup(mediaPlayer_->mapToGlobal(QPoint(x, y)));
}

void TMovieForm::SyncStepClick(int tag) {
    if (Closing()) return;
    const long long step = LeadingNumber(QStringToCp949(editSyncMove_->text()));
    long long target = controller_.GetMoviePos(-1) + step * tag;
    if (target > INT_MAX) target = INT_MAX;
    if (target < INT_MIN) target = INT_MIN;
    controller_.SetMoviePos(static_cast<int>(target));
}

void TMovieForm::SyncGoClick() {
    if (Closing()) return;
    controller_.SetMoviePos(LeadingNumber(QStringToCp949(editSyncMove_->text())));
}

void TMovieForm::DropFiles(const std::vector<std::string>& files) {
    if (Closing() || files.empty()) return;
    if (OnDropFiles) {
        OnDropFiles(files);
        return;
    }
    try {
        controller_.OpenMovie(files.front());
    } catch (...) {
    }
}

bool TMovieForm::eventFilter(QObject* watched, QEvent* e) {
    if ((watched == editCurSync_ || watched == editSyncMove_) && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SyncGoClick();
            return true;
        }
    }
    return TForm::eventFilter(watched, e);
}
