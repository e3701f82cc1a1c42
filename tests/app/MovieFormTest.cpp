// The movie window with the real libmpv core (no picture, no sound) and the main controller,
// driven end to end on a short clip that ffmpeg writes for the test: playback shows the captions
// and selects their rows, list clicks pause and seek, the position is stamped and saved.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>

#include "app/CaptionTimer.h"
#include "app/MovieForm.h"
#include "app/model/MainController.h"
#include "controls/NvOS8PushButton.h"
#include "controls/QzCaptionLabel.h"
#include "controls/TarkiAutoPos.h"
#include "controls/TarkiForm.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Screens.h"
#include "platform/media/MSMediaPlayer.h"
#include "tests/TempFolder.h"
#include "tests/app/AppTestSupport.h"

namespace {

// The main window as the controller sees it: fields kept in memory, dialogs answered from queues,
// and the caption timer switched on the movie window as the real main window does.
class TRecordingView : public IMainView {
public:
    TMovieForm* Movie = nullptr;
    std::string Entry, Sync = "0", Shift = "100", Memo;
    std::deque<std::string> SaveChoices;
    std::vector<std::string> Messages;
    int Selection = -1, Scrolled = -1;

    int Ask(const std::string&, TMsgButtons) override { return mrNo; }
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    bool OpenFileDialog(int, const std::string&, const std::string&, std::string&) override { return false; }
    bool SaveFileDialog(const std::string&, const std::string&, std::string& chosen) override {
        if (SaveChoices.empty()) return false;
        chosen = SaveChoices.front();
        SaveChoices.pop_front();
        return true;
    }
    int AskInsertMode() override { return -1; }
    std::string EntryText() override { return Entry; }
    void SetEntryText(const std::string& t) override { Entry = t; }
    std::string SyncField() override { return Sync; }
    void SetSyncField(const std::string& t) override { Sync = t; }
    std::string ShiftField() override { return Shift; }
    int ShiftOption() override { return 0; }
    std::string MemoText() override { return Memo; }
    void SetMemoText(const std::string& t) override { Memo = t; }
    bool MemoModified() override { return false; }
    void SetMemoModified(bool) override {}
    void ShowAdvancedMode(bool) override {}
    void ShowMemoLine(int) override {}
    void RowsChanged() override {}
    void SelectionChanged(int row) override { Selection = row; }
    void ScrollRowIntoView(int row) override { Scrolled = row; }
    void SetListEnabled(bool) override {}
    void SetTitle(const std::string&) override {}
    void SetProgress(int, int) override {}
    void SetLoadTime(const std::string&) override {}
    void ProcessMessages() override {}
    void SetCaptionTimer(bool on) override {
        if (Movie) Movie->SetCaptionTimer(on);
    }
};

const char* kCaptions =
    "<SAMI>\r\n<BODY>\r\n"
    "<SYNC Start=1000><P Class=KRCC>\r\n첫 자막 & 기호\r\n"
    "<SYNC Start=2000><P Class=KRCC>\r\n둘째<br>줄\r\n"
    "<SYNC Start=3000><P Class=KRCC>\r\n셋째\r\n"
    "</BODY>\r\n</SAMI>\r\n";

class MovieWindow : public ::testing::Test {
protected:
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }

    static TTempFolder* folder_;
    static std::string dir_, clip_;

    static void SetUpTestSuite() {
        if (!PrepareMovieTests()) return;
        folder_ = new TTempFolder("morvane-movie");
        dir_ = folder_->Path();
        if (MakeTestClip(dir_ + "clip.mp4", 6)) clip_ = dir_ + "clip.mp4";
        WriteFileAtomic(dir_ + "clip.smi", Cp949(kCaptions));
    }

    void SetUp() override {
        SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1024, 768)}));
        form = std::make_unique<TMovieForm>(nullptr, main, [this] { return closing; });
        view.Movie = form.get();
        main.SetMovie(form.get());
    }

    void TearDown() override {
        main.SetMovie(nullptr);
        form.reset();
        SetScreenProvider(nullptr);
    }

    void RequireClip() {
        if (clip_.empty()) GTEST_SKIP() << "ffmpeg is not installed or cannot write the test clip";
    }

    // Opens the clip (and the captions beside it) and waits until it plays.
    void OpenAndPlay() {
        main.OpenMovie(clip_);
        ASSERT_EQ(main.Rows().Count(), 4) << "the captions beside the movie were not read";
        // Playing, and the window has heard of it.
        ASSERT_TRUE(WaitUntil([&] {
            return form->MediaPlayer()->PlayState() == mpPlaying && form->MediaPlayer()->Tag == 1;
        })) << form->MediaPlayer()->ErrorDescription();
    }

    double Position() { return form->MediaPlayer()->CurrentPosition(); }

    bool closing = false;
    TRecordingView view;
    TMainController main{view};
    std::unique_ptr<TMovieForm> form;
};
TTempFolder* MovieWindow::folder_ = nullptr;
std::string MovieWindow::dir_, MovieWindow::clip_;

}  // namespace

TEST_F(MovieWindow, PlaybackShowsEachCaptionAndSelectsItsRow) {
    RequireClip();
    form->show();
    OpenAndPlay();
    EXPECT_EQ(form->LabelCaption()->text(), QString("clip.mp4 - Preview"));
    EXPECT_TRUE(form->CaptionTimer().Enabled());
    EXPECT_EQ(form->MediaPlayer()->Tag, 1);

    // The first caption: shown with a single "&" (the label draws the text itself).
    ASSERT_TRUE(WaitUntil([&] { return main.SelectedRow() == 1; }));
    EXPECT_EQ(form->CaptionLabelText(), Cp949("첫 자막 & 기호"));
    EXPECT_EQ(view.Entry, Cp949("첫 자막 & 기호"));
    form->LabelMovCaption()->LayoutLines();
    ASSERT_EQ(form->LabelMovCaption()->Lines().Count(), 1);
    EXPECT_EQ(form->LabelMovCaption()->Lines().Strings[0], Cp949("첫 자막 & 기호"));
    EXPECT_EQ(view.Scrolled, 1);
    EXPECT_GE(form->EditCurSync()->text().toInt(), 1000);

    // The second: "<br>" becomes a second line of the label.
    ASSERT_TRUE(WaitUntil([&] { return main.SelectedRow() == 2; }));
    EXPECT_EQ(form->CaptionLabelText(), Cp949("둘째\n줄"));
    const int shown = form->EditCurSync()->text().toInt();
    EXPECT_GE(shown, 2000);
    EXPECT_LT(shown, 3000 + 500);
    ASSERT_EQ(form->LabelMovCaption()->Lines().Count(), 2);

    ASSERT_TRUE(WaitUntil([&] { return main.SelectedRow() == 3; }));
    EXPECT_EQ(form->CaptionLabelText(), Cp949("셋째"));
    EXPECT_GT(form->CaptionTimer().TickCount(), 5);

    // A pause switches the timer off and no tick follows.
    form->MediaPlayer()->Pause();
    ASSERT_TRUE(WaitUntil([&] { return !form->CaptionTimer().Enabled(); }));
    EXPECT_EQ(form->MediaPlayer()->PlayState(), mpPaused);
    EXPECT_EQ(form->MediaPlayer()->Tag, 0);
    const long ticks = form->CaptionTimer().TickCount();
    Pump(400);
    EXPECT_EQ(form->CaptionTimer().TickCount(), ticks);
}

TEST_F(MovieWindow, DoubleClickOnARowPausesSeeksAndTheStampedSyncIsSaved) {
    RequireClip();
    form->show();
    OpenAndPlay();
    ASSERT_TRUE(WaitUntil([&] { return main.SelectedRow() >= 1; }));

    main.ListMouseDown(2);
    EXPECT_FALSE(form->CaptionTimer().Enabled());
    main.ListDoubleClick(2);
    EXPECT_FALSE(form->CaptionTimer().Enabled());
    EXPECT_DOUBLE_EQ(Position(), 2.001);
    EXPECT_EQ(main.SelectedRow(), 2);
    EXPECT_EQ(form->CaptionLabelText(), Cp949("둘째\n줄"));
    ASSERT_TRUE(WaitUntil([&] { return form->MediaPlayer()->PlayState() == mpPaused; }));
    Pump(300);  // the seek's position change shows the same caption again
    EXPECT_DOUBLE_EQ(Position(), 2.001);
    EXPECT_EQ(form->EditCurSync()->text(), QString("2001"));
    EXPECT_EQ(main.SelectedRow(), 2);

    // Stamp the position into the sync field, change the text, edit and save.
    main.ApplyCurrentSync();
    EXPECT_EQ(view.Sync, "2001");
    view.Entry = Cp949("고친 자막");
    main.EditCommand();
    const std::string saved = dir_ + "saved.smi";
    view.SaveChoices.push_back(saved);
    ASSERT_TRUE(main.SaveCaption(true));

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(saved, bytes));
    const std::string upper = UpperCase(bytes);
    const size_t first = upper.find("<SYNC START=1000>");
    const size_t second = upper.find("<SYNC START=2001>");
    const size_t third = upper.find("<SYNC START=3000>");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    ASSERT_NE(third, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_EQ(upper.find("START=2000"), std::string::npos);
    const size_t text = bytes.find(Cp949("고친 자막"));
    EXPECT_GT(text, second);
    EXPECT_LT(text, third);

    // Read back by a fresh controller.
    TRecordingView otherView;
    TMainController other(otherView);
    ASSERT_TRUE(other.OpenCaptionFile(saved));
    ASSERT_EQ(other.Rows().Count(), 4);
    EXPECT_EQ(other.Rows().Sync(2), 2001);
    EXPECT_EQ(TMainController::PreviewText(other.Rows()[2].Text), Cp949("고친 자막"));
    EXPECT_EQ(TMainController::PreviewText(other.Rows()[1].Text), Cp949("첫 자막 & 기호"));
}

TEST_F(MovieWindow, StepButtonsAndTheGoBoxSeek) {
    RequireClip();
    form->show();
    OpenAndPlay();
    form->MediaPlayer()->Pause();
    ASSERT_TRUE(WaitUntil([&] { return form->MediaPlayer()->PlayState() == mpPaused; }));
    main.SetMoviePos(2000);

    form->EditSyncMove()->setText("250");
    form->SyncPrevButton()->Click();
    EXPECT_DOUBLE_EQ(Position(), 1.75);
    form->SyncNextButton()->Click();
    form->SyncNextButton()->Click();
    EXPECT_DOUBLE_EQ(Position(), 2.25);

    // Leading blanks and a sign are read; the rest of the text is ignored; no number is 0.
    form->EditSyncMove()->setText("  -500ms");
    form->SyncNextButton()->Click();
    EXPECT_DOUBLE_EQ(Position(), 1.75);
    form->EditSyncMove()->setText("abc");
    form->SyncNextButton()->Click();
    EXPECT_DOUBLE_EQ(Position(), 1.75);

    // A seek before the start lands on 0.
    form->EditSyncMove()->setText("5000");
    form->SyncPrevButton()->Click();
    EXPECT_DOUBLE_EQ(Position(), 0.0);

    // "이동" and Enter in either box go to the box's milliseconds; Enter is swallowed.
    form->EditSyncMove()->setText("1500");
    form->SyncGoButton()->Click();
    EXPECT_DOUBLE_EQ(Position(), 1.5);
    form->EditSyncMove()->setText("2500");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form->EditCurSync(), &enter);
    EXPECT_DOUBLE_EQ(Position(), 2.5);
}

TEST_F(MovieWindow, ClosingHidesStopsAndSilencesTheWindow) {
    RequireClip();
    int hidden = 0;
    form->OnHidden = [&](TObject*) { ++hidden; };
    form->show();
    OpenAndPlay();
    ASSERT_TRUE(form->CaptionTimer().Enabled());

    form->Close();
    EXPECT_EQ(hidden, 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->CaptionTimer().Enabled());
    ASSERT_TRUE(WaitUntil([&] { return form->MediaPlayer()->PlayState() == mpStopped; }));
    EXPECT_FALSE(form->MediaPlayer()->FileName().empty()) << "closing the window keeps the movie";
    const long ticks = form->CaptionTimer().TickCount();
    Pump(300);
    EXPECT_EQ(form->CaptionTimer().TickCount(), ticks);

    // Once the main window is closing, playing again neither starts the timer nor shows captions.
    closing = true;
    form->SetCaptionLabelText("");
    form->MediaPlayer()->Play();
    ASSERT_TRUE(WaitUntil([&] { return form->MediaPlayer()->PlayState() == mpPlaying; }));
    Pump(1500);
    EXPECT_FALSE(form->CaptionTimer().Enabled());
    EXPECT_EQ(form->CaptionTimer().TickCount(), ticks);
    EXPECT_EQ(form->CaptionLabelText(), "");
    form->MediaPlayer()->Stop();
}

TEST_F(MovieWindow, SizesOnAnInjectedScreen) {
    // The first show sizes the window for the default 4:3 picture; free size keeps that.
    form->show();
    EXPECT_EQ(form->Width(), 334);
    EXPECT_EQ(form->Height(), 430);
    RequireClip();
    OpenAndPlay();
    ASSERT_TRUE(WaitUntil([&] { return form->MediaPlayer()->SourceWidth() == 320; }));
    EXPECT_EQ(form->Width(), 334);
    EXPECT_EQ(form->Height(), 430);

    form->SetBounds(100, 50, form->Width(), form->Height());
    ASSERT_TRUE(form->SetDisplaySize(2));
    EXPECT_EQ(form->Width(), 654);
    EXPECT_EQ(form->Height(), 658);
    EXPECT_EQ(form->Left(), 100);
    EXPECT_EQ(form->Top(), 50);
    EXPECT_EQ(main.UserInfo.DisplaySize, 2);
    EXPECT_EQ(form->MediaPlayer()->DisplaySize(), 4);
    // The nested frames follow the window: the picture, the caption and the strip fill it.
    EXPECT_GT(form->MediaPlayer()->width(), 654 - 30);
    EXPECT_EQ(form->LabelMovCaption()->width(), form->MediaPlayer()->width());
    EXPECT_EQ(form->LabelMovCaption()->y(), form->MediaPlayer()->height());
    EXPECT_GT(form->MediaPlayer()->height(), 658 - 178 - 30);
    ASSERT_TRUE(form->SetDisplaySize(0));
    EXPECT_EQ(form->Width(), 334);
    EXPECT_EQ(form->Height(), 418);
    ASSERT_TRUE(form->SetDisplaySize(1));
    EXPECT_EQ(form->Width(), 174);
    EXPECT_EQ(form->Height(), 298);
    ASSERT_TRUE(form->SetDisplaySize(3));
    EXPECT_EQ(form->Width(), 174);
    EXPECT_EQ(main.UserInfo.DisplaySize, 3);

    // The user's resize keeps the picture's aspect and stays on the screen.
    int w = 414, h = 0;
    ASSERT_TRUE(form->CanResizeTo(w, h));
    EXPECT_EQ(h, 400 * 240 / 320 + 170);
    w = 253;
    EXPECT_FALSE(form->CanResizeTo(w, h));

    w = 1500;
    ASSERT_TRUE(form->CanResizeTo(w, h));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);

    // Full screen covers the injected screen; sizes do nothing there; leaving restores.
    ASSERT_TRUE(form->SetDisplaySize(2));
    form->ToggleFullScreen();
    EXPECT_TRUE(form->IsFullScreen());
    EXPECT_FALSE(form->PanelCaption()->CaptionMove());
    EXPECT_EQ(form->Left(), 0);
    EXPECT_EQ(form->Top(), 0);
    EXPECT_EQ(form->Width(), 1024);
    EXPECT_EQ(form->Height(), 768);
    EXPECT_FALSE(form->SetDisplaySize(0));
    EXPECT_EQ(form->Width(), 1024);
    EXPECT_EQ(main.UserInfo.DisplaySize, 2);
    form->ToggleFullScreen();
    EXPECT_FALSE(form->IsFullScreen());
    EXPECT_TRUE(form->PanelCaption()->CaptionMove());
    Pump(50);
    EXPECT_EQ(form->Left(), 100);
    EXPECT_EQ(form->Top(), 50);
    EXPECT_EQ(form->Width(), 654);
    EXPECT_EQ(form->Height(), 658);
}

TEST_F(MovieWindow, TheStoredDisplaySizeIsAppliedWhenAMovieOpens) {
    RequireClip();
    main.UserInfo.DisplaySize = 2;
    std::vector<int> applied;
    form->OnApplyDisplaySize = [&](int tag) {
        applied.push_back(tag);
        form->SetDisplaySize(tag);
    };
    form->show();
    ASSERT_FALSE(applied.empty());
    OpenAndPlay();
    ASSERT_TRUE(WaitUntil([&] { return form->Width() == 654 && form->Height() == 658; }));
    EXPECT_EQ(applied.back(), 2);

    // A stored 3 applies nothing; a stored 4 is the free-size item (tag 3).
    applied.clear();
    main.UserInfo.DisplaySize = 3;
    form->SizeToVideo();
    EXPECT_TRUE(applied.empty());
    main.UserInfo.DisplaySize = 4;
    form->SizeToVideo();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0], 3);
}

TEST_F(MovieWindow, PlaceAndStackingSettingsAreStored) {
    form->SetPreviewPosition(2);
    EXPECT_EQ(main.UserInfo.PreviewPosition, 2);
    EXPECT_EQ(form->AutoPos()->Position(), ptMainFormRightTop);
    form->SetPreviewPosition(8);
    EXPECT_EQ(form->AutoPos()->Position(), ptScreenBottomRight);
    form->SetPreviewPosition(0);
    EXPECT_EQ(form->AutoPos()->Position(), ptDesigned);
    form->SetPreviewPosition(9);
    EXPECT_EQ(main.UserInfo.PreviewPosition, 0);

    TForm other;
    form->SetTopWindow(1, &other);
    EXPECT_EQ(form->FormStyle(), fsStayOnTop);
    EXPECT_EQ(other.FormStyle(), fsNormal);
    form->SetTopWindow(2, &other);
    EXPECT_EQ(form->FormStyle(), fsNormal);
    EXPECT_EQ(other.FormStyle(), fsStayOnTop);
    form->SetTopWindow(0, &other);
    EXPECT_EQ(form->FormStyle(), fsNormal);
    EXPECT_EQ(other.FormStyle(), fsNormal);
    EXPECT_EQ(main.UserInfo.TopWindow, 0);
}

TEST_F(MovieWindow, DroppedFilesOpenTheFirstAsAMovie) {
    // Files dropped over a field go to the window, though file managers send their paths as
    // plain text too; plain text alone goes into the field.
    std::vector<std::string> got;
    form->OnDropFiles = [&](const std::vector<std::string>& files) { got = files; };
    for (QLineEdit* field : {form->EditCurSync(), form->EditSyncMove()}) {
        SCOPED_TRACE(field == form->EditCurSync() ? "EditCurSync" : "EditSyncMove");
        got.clear();
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.mp4")), QUrl::fromLocalFile(QStringLiteral("/tmp/b.mp4"))});
        files.setText(QStringLiteral("/tmp/a.mp4\n/tmp/b.mp4"));
        const std::string before = field->text().toStdString();
        ASSERT_TRUE(DragAndDrop(field, files));
        EXPECT_EQ(got, (std::vector<std::string>{"/tmp/a.mp4", "/tmp/b.mp4"}));
        EXPECT_EQ(field->text().toStdString(), before);
        got.clear();
        QMimeData text;
        text.setText(QStringLiteral("25"));
        ASSERT_TRUE(DragAndDrop(field, text));
        EXPECT_TRUE(got.empty());
        EXPECT_NE(field->text().toStdString().find("25"), std::string::npos) << field->text().toStdString();
    }
    form->OnDropFiles = nullptr;
    RequireClip();
    form->DropFiles({clip_, dir_ + "other.mp4"});
    EXPECT_EQ(form->MediaPlayer()->FileName(), clip_);
    EXPECT_EQ(main.Rows().Count(), 4);

    // Its caption file dropped while the movie is open is read again; the player keeps the movie,
    // and the title and the movie name in the header go on naming it.
    QMimeData captions;
    captions.setUrls({QUrl::fromLocalFile(PathToQString(dir_ + "clip.smi"))});
    captions.setText(PathToQString(dir_ + "clip.smi"));
    ASSERT_TRUE(DragAndDrop(form->EditSyncMove(), captions));
    EXPECT_EQ(main.CurrentCaption.FileName, dir_ + "clip.smi");
    EXPECT_EQ(main.Rows().Count(), 4);
    EXPECT_EQ(form->MediaPlayer()->FileName(), clip_);
    EXPECT_EQ(form->LabelCaption()->text().toStdString(), "clip.mp4 - Preview");
    view.SaveChoices = {dir_ + "kept.smi"};
    ASSERT_TRUE(main.SaveCaption(true));
    std::string saved;
    ASSERT_TRUE(ReadFileBytes(dir_ + "kept.smi", saved));
    EXPECT_NE(saved.find(" *     Movie   File : clip.mp4 "), std::string::npos);
}

TEST_F(MovieWindow, CaptionTimerTicksOnlyWhileOnAndNotClosing) {
    TCaptionTimer& timer = form->CaptionTimer();
    EXPECT_EQ(timer.Interval(), 100);
    EXPECT_FALSE(timer.Enabled());
    Pump(250);
    EXPECT_EQ(timer.TickCount(), 0);

    timer.SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return timer.TickCount() >= 3; }));
    timer.SetEnabled(false);
    const long stopped = timer.TickCount();
    Pump(350);
    EXPECT_EQ(timer.TickCount(), stopped);
    timer.Tick();  // a tick held across the stop is dropped
    EXPECT_EQ(timer.TickCount(), stopped);

    // The closing flag refuses a start and stops a running timer at its next tick.
    closing = true;
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Enabled());
    closing = false;
    timer.SetEnabled(true);
    closing = true;
    ASSERT_TRUE(WaitUntil([&] { return !timer.Enabled(); }, 3000));
    Pump(250);
    EXPECT_EQ(timer.TickCount(), stopped);
}

TEST_F(MovieWindow, ATickThatThrowsDoesNotStopTheFollowing) {
    struct TThrowingView : TRecordingView {
        int Calls = 0;
        void ScrollRowIntoView(int) override {
            ++Calls;
            throw std::runtime_error("list gone");
        }
    } throwing;
    TMainController other(throwing);
    TCaptionTimer timer(other, {});
    throwing.Sync = "1000";
    throwing.Entry = "x";
    other.AddCommand();
    other.SelectRow(1);
    timer.SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return throwing.Calls >= 2; }));
    EXPECT_TRUE(timer.Enabled());
    timer.SetEnabled(false);
}

TEST_F(MovieWindow, DoubleClickOnThePictureTogglesPlayback) {
    // Without a movie nothing happens.
    form->MediaPlayerDblClick();
    Pump(100);
    EXPECT_EQ(form->MediaPlayer()->PlayState(), mpStopped);
    RequireClip();
    form->show();
    OpenAndPlay();
    ASSERT_TRUE(WaitUntil([&] { return form->MediaPlayer()->Tag == 1; }));

    // Pausing ends the caption follow at once, before the player reports it.
    form->MediaPlayerDblClick();
    EXPECT_FALSE(form->CaptionTimer().Enabled());
    ASSERT_TRUE(WaitUntil([&] { return form->MediaPlayer()->Tag == 0; }));
    EXPECT_EQ(form->MediaPlayer()->PlayState(), mpPaused);

    form->MediaPlayerDblClick();
    ASSERT_TRUE(WaitUntil([&] { return form->CaptionTimer().Enabled(); }));
    EXPECT_EQ(form->MediaPlayer()->PlayState(), mpPlaying);
    main.StopMovie();
    EXPECT_FALSE(form->CaptionTimer().Enabled());
}

TEST_F(MovieWindow, TheWindowIsPlacedBesideTheMainWindow) {
    TForm mainWindow;
    mainWindow.SetBounds(50, 20, 400, 300);
    mainWindow.show();
    // The main window's outer frame is the reference.
    const QRect frame = mainWindow.frameGeometry();
    TMovieForm beside(&mainWindow, main);
    beside.show();
    beside.SetPreviewPosition(2);
    EXPECT_EQ(beside.Left(), frame.x() + frame.width());
    EXPECT_EQ(beside.Top(), frame.y());
    beside.SetPreviewPosition(4);
    EXPECT_EQ(beside.Left(), frame.x());
    EXPECT_EQ(beside.Top(), frame.y() + frame.height());
    beside.SetPreviewPosition(5);
    EXPECT_EQ(beside.Left(), 0);
    EXPECT_EQ(beside.Top(), 0);
    // Full screen is not pulled back to the place; leaving it returns there.
    beside.ToggleFullScreen();
    Pump(150);
    EXPECT_EQ(beside.Left(), 0);
    EXPECT_EQ(beside.Width(), 1024);
    beside.SetPreviewPosition(2);
    Pump(150);
    EXPECT_EQ(beside.Width(), 1024);
    EXPECT_EQ(beside.Left(), 0);
    beside.ToggleFullScreen();
    Pump(150);
    EXPECT_EQ(beside.Left(), frame.x() + frame.width());
    EXPECT_EQ(beside.Width(), 334);
}
