// The main window with the real movie window and libmpv (no picture, no sound) on a generated
// clip: the list follows playback, a click pauses, a double click seeks, the position is stamped,
// edited and saved; the preview menu items size and show the movie window.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>

#include <cstdlib>
#include <functional>
#include <memory>

#include "app/CaptionList.h"
#include "app/Globals.h"
#include "app/MainForm.h"
#include "app/CaptionTimer.h"
#include "app/MovieForm.h"
#include "app/PadLink.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TransBtn.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/gui/Screens.h"
#include "platform/gui/Services.h"
#include "platform/media/MSMediaPlayer.h"
#include "platform/media/MediaStates.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/FakeMainView.h"

namespace {

class MainWithMovie : public ::testing::Test {
protected:
    static std::string dir_, clip_;

    static void SetUpTestSuite() {
        if (!PrepareMovieTests()) return;
        dir_ = MakeTempDir();
        if (MakeTestClip(dir_ + "take.mp4", 5)) clip_ = dir_ + "take.mp4";
        WriteFile(dir_ + "take.smi", "<SAMI>\r\n<BODY>\r\n<SYNC Start=1000><P Class=KRCC>\r\none\r\n"
                                     "<SYNC Start=2000><P Class=KRCC>\r\ntwo & more\r\n"
                                     "<SYNC Start=3000><P Class=KRCC>\r\nthree\r\n</BODY>\r\n</SAMI>\r\n");
    }

    void SetUp() override {
        if (clip_.empty()) GTEST_SKIP() << "ffmpeg is not installed or cannot write the test clip";
        SetScreenProvider(std::make_shared<TFixedScreenProvider>(std::vector<TRect>{Rect(0, 0, 1280, 1024)}));
        services = std::make_shared<TRecordingServices>();
        previous = InstallServices(services);
        IsClosing = 0;
        form = std::make_unique<TMainForm>(dir_);
        movie = std::make_unique<TMovieForm>(form.get(), form->Controller(), [] { return IsClosing != 0; });
        form->SetMovieForm(movie.get());
        form->show();
        movie->SetShown(true);
        form->PreviewButton->SetDown(true);
    }

    void TearDown() override {
        if (!form) return;
        form->SetMovieForm(nullptr);
        movie.reset();
        form.reset();
        MovieForm = nullptr;
        InstallServices(previous);
        SetScreenProvider(nullptr);
    }

    void OpenAndPlay() {
        services->FileAnswers.push_back(clip_);
        form->Action("mnuOpenMovie")->trigger();
        ASSERT_EQ(form->ListModel->rowCount(), 4);
        ASSERT_TRUE(WaitUntil([&] { return movie->MediaPlayer()->PlayState() == mpPlaying; }))
            << movie->MediaPlayer()->ErrorDescription();
    }

    void Mouse(QEvent::Type type, int row) {
        QRect r = form->ListView->visualRect(form->ListModel->index(row, 1));
        QPoint at = r.center();
        QWidget* vp = form->ListView->viewport();
        Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, at, vp->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(vp, &e);
    }
    void Click(int row) {
        Mouse(QEvent::MouseButtonPress, row);
        Mouse(QEvent::MouseButtonRelease, row);
    }
    void DoubleClick(int row) {
        Click(row);
        Mouse(QEvent::MouseButtonDblClick, row);
        Mouse(QEvent::MouseButtonRelease, row);
    }

    std::shared_ptr<TRecordingServices> services;
    std::shared_ptr<TPlatformServices> previous;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TMovieForm> movie;
};
std::string MainWithMovie::dir_, MainWithMovie::clip_;

TEST_F(MainWithMovie, ListFollowsPlaybackAndAStampedEditIsSaved) {
    OpenAndPlay();
    EXPECT_EQ(movie->PlayerFileName(), clip_);
    // The list's selection and the movie's caption label follow the playing movie.
    ASSERT_TRUE(WaitUntil([&] { return form->ListView->SelectedRow() == 1; }));
    EXPECT_EQ(movie->CaptionLabelText(), "one");
    ASSERT_TRUE(WaitUntil([&] { return form->ListView->SelectedRow() == 2; }));
    EXPECT_EQ(movie->CaptionLabelText(), "two & more");
    EXPECT_EQ(form->EditSync->text(), QString("2000"));

    // A click pauses; a double click seeks just into the row and shows its caption.
    Click(1);
    ASSERT_TRUE(WaitUntil([&] { return movie->MediaPlayer()->PlayState() == mpPaused; }));
    EXPECT_FALSE(movie->CaptionTimer().Enabled());
    DoubleClick(3);
    EXPECT_EQ(form->ListView->SelectedRow(), 3);
    EXPECT_EQ(movie->CaptionLabelText(), "three");
    ASSERT_TRUE(WaitUntil([&] { return std::abs(movie->PlayerPosition() - 3.001) < 0.0005; }));

    // Stamp the position, change the text, edit, save under a new name.
    form->ApplyCurSyncButton->Click();
    EXPECT_EQ(form->EditSync->text(), QString("3001"));
    TPadLink::SetText(form->CaptionEdit, "third");
    form->EditButton->Click();
    services->FileAnswers.push_back(dir_ + "out.smi");
    form->Action("mnuSaveAs")->trigger();
    std::string bytes = ReadFile(dir_ + "out.smi");
    EXPECT_NE(bytes.find("<SYNC START=3001><P CLASS=KALO_KRCC>\r\nthird\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("<SYNC START=2000><P CLASS=KALO_KRCC>\r\ntwo & more\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("START=3000"), std::string::npos);
    EXPECT_NE(bytes.find(" *     Movie   File : take.mp4 "), std::string::npos);
}

TEST_F(MainWithMovie, PreviewItemsSizeShowAndHideTheMovieWindow) {
    OpenAndPlay();
    ASSERT_TRUE(WaitUntil([&] { return movie->MediaPlayer()->SourceWidth() == 320; }));
    form->Action("mnuSize2")->trigger();
    EXPECT_EQ(movie->width(), 654);
    EXPECT_EQ(movie->height(), 658);
    EXPECT_EQ(UserInfo().DisplaySize, 2);
    EXPECT_TRUE(form->Action("mnuSize2")->isChecked());
    form->Action("mnuSize1")->trigger();
    EXPECT_EQ(UserInfo().DisplaySize, 1);

    // In full screen the size items do nothing.
    movie->ToggleFullScreen();
    form->Action("mnuSize0")->trigger();
    EXPECT_EQ(UserInfo().DisplaySize, 1);
    EXPECT_TRUE(form->Action("mnuSize1")->isChecked());
    movie->ToggleFullScreen();

    // The tool bar's button hides and shows the window; closing the window releases the button.
    form->PreviewButtonClick();
    EXPECT_FALSE(form->PreviewButton->Down());
    EXPECT_FALSE(movie->isVisible());
    form->PreviewButtonClick();
    EXPECT_TRUE(form->PreviewButton->Down());
    EXPECT_TRUE(movie->isVisible());
    movie->close();
    EXPECT_FALSE(movie->isVisible());
    EXPECT_FALSE(form->PreviewButton->Down());

    form->Action("mnuPos6")->trigger();
    EXPECT_EQ(UserInfo().PreviewPosition, 6);
    form->Action("mnuTop2")->trigger();
    EXPECT_EQ(UserInfo().TopWindow, 2);
}

TEST_F(MainWithMovie, AMovieThePlayerCannotOpenIsReportedAndLeavesNoMovieOpen) {
    OpenAndPlay();
    WriteFile(dir_ + "junk.avi", std::string("\0\1\2 not a movie", 16));
    services->Messages.clear();
    services->FileAnswers.push_back(dir_ + "junk.avi");
    form->Action("mnuOpenMovie")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !services->Messages.empty(); }));
    EXPECT_EQ(services->Messages.back().Text.substr(0, 8), "junk.avi");
    EXPECT_NE(services->Messages.back().Text.find(Cp949(" 동영상을 열 수 없습니다.")), std::string::npos);
    EXPECT_EQ(movie->PlayerFileName(), "");
    EXPECT_EQ(form->Controller().CurrentCaption.MovieFile, "");
    EXPECT_FALSE(form->Controller().IsMovieOpen());
}

}  // namespace
