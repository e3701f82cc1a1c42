// The player with the real libmpv core (no picture, no sound) on short clips that ffmpeg writes
// for the test.
#include "platform/media/MSMediaPlayer.h"
#include "platform/media/MediaControlBar.h"
#include "platform/media/MpvGLView.h"

#include "tests/media/MediaTestSupport.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

bool MakeClip(const std::string& path, const char* size, int seconds) {
  const std::string command = "ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc=duration=" +
                              std::to_string(seconds) + ":size=" + size + ":rate=25 -f lavfi -i sine=duration=" +
                              std::to_string(seconds) + " -c:v mpeg4 -q:v 5 -c:a aac -shortest '" + path +
                              "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Records every event of one player, checking that each comes from it.
struct Recorder {
  explicit Recorder(TMSMediaPlayer& player) {
    player.OnPlayStateChange = [this, &player](TMSMediaPlayer* sender, int oldState, int newState) {
      EXPECT_EQ(sender, &player);
      play.emplace_back(oldState, newState);
    };
    player.OnOpenStateChange = [this, &player](TMSMediaPlayer* sender, int oldState, int newState) {
      EXPECT_EQ(sender, &player);
      open.emplace_back(oldState, newState);
      if (newState == nsOpen) sizeWhenOpen = {player.SourceWidth(), player.SourceHeight()};
    };
    player.OnPositionChange = [this, &player](TMSMediaPlayer* sender, double from, double to) {
      EXPECT_EQ(sender, &player);
      positions.emplace_back(from, to);
    };
    player.OnError = [this, &player](TMSMediaPlayer* sender) {
      EXPECT_EQ(sender, &player);
      ++errors;
    };
  }
  int LastPlay() const { return play.empty() ? -1 : play.back().second; }
  // Each event's old state is the state the previous event reported.
  void ExpectChained(int first) const {
    int state = first;
    for (const auto& [from, to] : play) {
      EXPECT_EQ(from, state);
      EXPECT_NE(from, to);
      state = to;
    }
  }

  std::vector<std::pair<int, int>> play, open;
  std::vector<std::pair<double, double>> positions;
  std::pair<int, int> sizeWhenOpen{-1, -1};
  int errors = 0;
};

class MediaPlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    TestApp();
    // The players that render a picture stay silent too.
    qputenv("MORVANE_MPV_AO", "null");
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) return;
    dir_ = new QTemporaryDir();
    const std::string base = dir_->path().toStdString();
    if (MakeClip(base + "/clip.mp4", "320x240", 4)) clip_ = base + "/clip.mp4";
    if (MakeClip(base + "/small.avi", "176x144", 2)) small_ = base + "/small.avi";
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (clip_.empty() || small_.empty()) GTEST_SKIP() << "ffmpeg is not installed or cannot write the test clips";
    player_ = std::make_unique<TMSMediaPlayer>(nullptr, TMediaOutput::Null);
    player_->resize(320, 280);
    recorder_ = std::make_unique<Recorder>(*player_);
  }
  std::string Temp(const char* name) const { return dir_->path().toStdString() + "/" + name; }
  void OpenAndWaitPlaying(const std::string& path) {
    player_->Open(path);
    ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpPlaying; })) << player_->ErrorDescription();
  }

  static QTemporaryDir* dir_;
  static std::string clip_, small_;
  std::unique_ptr<TMSMediaPlayer> player_;
  std::unique_ptr<Recorder> recorder_;
};

QTemporaryDir* MediaPlayerTest::dir_ = nullptr;
std::string MediaPlayerTest::clip_, MediaPlayerTest::small_;

TEST_F(MediaPlayerTest, OpenStartsPlaybackAndReportsTheMovie) {
  EXPECT_EQ(player_->SourceWidth(), 0);
  EXPECT_EQ(player_->SourceHeight(), 0);
  EXPECT_EQ(player_->CurrentPosition(), 0);

  player_->Open(clip_);
  EXPECT_EQ(player_->FileName(), clip_);
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpPlaying; })) << player_->ErrorDescription();

  // Opening, then open with the picture's size known to the open-state handler.
  ASSERT_EQ(recorder_->open.size(), 2u);
  EXPECT_EQ(recorder_->open[0], std::make_pair(int(nsClosed), int(nsOpening)));
  EXPECT_EQ(recorder_->open[1], std::make_pair(int(nsOpening), int(nsOpen)));
  EXPECT_EQ(recorder_->sizeWhenOpen, std::make_pair(320, 240));
  ASSERT_EQ(recorder_->play.size(), 2u);
  EXPECT_EQ(recorder_->play[0].second, mpWaiting);
  recorder_->ExpectChained(mpStopped);
  EXPECT_EQ(player_->PlayState(), mpPlaying);
  EXPECT_NEAR(player_->Duration(), 4.0, 0.2);
  EXPECT_EQ(recorder_->errors, 0);

  // Real-time playback moves the position on.
  EXPECT_TRUE(WaitFor([&] { return player_->CurrentPosition() > 0.5; }));
}

TEST_F(MediaPlayerTest, PauseHoldsThePositionAndAWrittenPositionReadsBack) {
  OpenAndWaitPlaying(clip_);
  ASSERT_TRUE(WaitFor([&] { return player_->CurrentPosition() > 0.3; }));

  player_->Pause();
  EXPECT_EQ(player_->PlayState(), mpPaused);
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpPaused; }));
  Pump(400);
  const double paused = player_->CurrentPosition();
  Pump(700);
  EXPECT_EQ(player_->CurrentPosition(), paused);

  // The value written reads back exactly, at once and after the seek is done.
  player_->SetCurrentPosition(2.5);
  EXPECT_EQ(player_->CurrentPosition(), 2.5);
  ASSERT_TRUE(WaitFor([&] { return !recorder_->positions.empty(); }));
  EXPECT_EQ(recorder_->positions.back(), std::make_pair(paused, 2.5));
  Pump(400);
  EXPECT_EQ(player_->CurrentPosition(), 2.5);
  EXPECT_EQ(player_->PlayState(), mpPaused);

  // Playing goes on from there.
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpPlaying; }));
  EXPECT_TRUE(WaitFor([&] { return player_->CurrentPosition() > 2.8; }));
  recorder_->ExpectChained(mpStopped);
}

TEST_F(MediaPlayerTest, PositionsOutsideTheMovieAreClamped) {
  OpenAndWaitPlaying(clip_);
  player_->Pause();
  player_->SetCurrentPosition(-5);
  EXPECT_EQ(player_->CurrentPosition(), 0);
  player_->SetCurrentPosition(1e9);
  EXPECT_EQ(player_->CurrentPosition(), player_->Duration());
  EXPECT_GT(player_->Duration(), 3.5);
}

TEST_F(MediaPlayerTest, StopReturnsToTheStartAndKeepsTheMovie) {
  OpenAndWaitPlaying(clip_);
  ASSERT_TRUE(WaitFor([&] { return player_->CurrentPosition() > 0.5; }));

  player_->Stop();
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpStopped; }));
  EXPECT_EQ(player_->CurrentPosition(), 0);
  EXPECT_EQ(player_->FileName(), clip_);
  EXPECT_EQ(player_->SourceWidth(), 320);
  Pump(600);
  EXPECT_EQ(player_->CurrentPosition(), 0);

  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpPlaying; }));
  ASSERT_TRUE(WaitFor([&] { return player_->CurrentPosition() > 0.2; }));
  EXPECT_LT(player_->CurrentPosition(), 2.0);
  recorder_->ExpectChained(mpStopped);
}

TEST_F(MediaPlayerTest, TheEndIsReportedAndPlayStartsOver) {
  OpenAndWaitPlaying(clip_);
  player_->SetCurrentPosition(player_->Duration() - 0.3);
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpMediaEnded; }));
  EXPECT_EQ(player_->FileName(), clip_);

  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpPlaying; }));
  ASSERT_TRUE(WaitFor([&] { return player_->CurrentPosition() > 0.1; }));
  EXPECT_LT(player_->CurrentPosition(), 2.0);
}

TEST_F(MediaPlayerTest, FilesThatDoNotPlayReportAnErrorAndHaveNoSize) {
  const std::string junk = Temp("junk.avi");
  std::string bytes(20000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919 + 13) % 251);
  WriteFile(junk, bytes);
  // A playlist would make the player go on to the files it names.
  const std::string list = Temp("list.m3u");
  WriteFile(list, "#EXTM3U\n" + clip_ + "\n");
  const std::string missing = Temp("missing.mp4");

  int expectedErrors = 0;
  for (const std::string& path : {junk, missing, list}) {
    SCOPED_TRACE(path);
    player_->Open(path);
    ++expectedErrors;
    ASSERT_TRUE(WaitFor([&] { return recorder_->errors == expectedErrors; }));
    EXPECT_FALSE(player_->ErrorDescription().empty());
    EXPECT_EQ(player_->FileName(), path);
    EXPECT_EQ(player_->OpenState(), nsClosed);
    EXPECT_EQ(player_->PlayState(), mpStopped);
    Pump(800);
    EXPECT_LT(player_->SourceWidth(), 1);
    EXPECT_LT(player_->SourceHeight(), 1);
    EXPECT_EQ(player_->PlayState(), mpStopped);
    EXPECT_EQ(player_->CurrentPosition(), 0);
    // Nothing to act on: these do nothing.
    player_->Play();
    player_->SetCurrentPosition(1);
    EXPECT_EQ(player_->PlayState(), mpStopped);
    EXPECT_EQ(player_->CurrentPosition(), 0);
  }
  for (const auto& [from, to] : recorder_->play) EXPECT_NE(to, mpPlaying);

  // The player recovers with a good file.
  OpenAndWaitPlaying(clip_);
  EXPECT_TRUE(player_->ErrorDescription().empty());
  EXPECT_EQ(player_->SourceWidth(), 320);
}

TEST_F(MediaPlayerTest, ClosingByAnEmptyFileNameForgetsTheMovie) {
  OpenAndWaitPlaying(clip_);
  player_->SetFileName("");
  EXPECT_EQ(player_->FileName(), "");
  EXPECT_EQ(player_->OpenState(), nsClosed);
  EXPECT_EQ(player_->PlayState(), mpStopped);
  EXPECT_EQ(player_->SourceWidth(), 0);
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpStopped && recorder_->open.back().second == nsClosed; }));
  const size_t events = recorder_->play.size();
  // Late reports of the closed movie change nothing.
  Pump(800);
  EXPECT_EQ(recorder_->play.size(), events);
  EXPECT_EQ(player_->CurrentPosition(), 0);
  EXPECT_EQ(player_->SourceWidth(), 0);
  player_->Play();
  EXPECT_EQ(player_->PlayState(), mpStopped);
  EXPECT_EQ(recorder_->errors, 0);
}

TEST_F(MediaPlayerTest, OpeningAnotherMovieReplacesTheOneLoading) {
  player_->Open(clip_);
  player_->Open(small_);
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpPlaying; })) << player_->ErrorDescription();
  EXPECT_EQ(player_->FileName(), small_);
  EXPECT_EQ(player_->SourceWidth(), 176);
  EXPECT_EQ(player_->SourceHeight(), 144);
  EXPECT_NEAR(player_->Duration(), 2.0, 0.2);
  EXPECT_EQ(recorder_->errors, 0);

  // And one that is playing.
  player_->Open(clip_);
  ASSERT_TRUE(WaitFor([&] { return player_->OpenState() == nsOpen && player_->PlayState() == mpPlaying; }));
  EXPECT_EQ(player_->SourceWidth(), 320);
  EXPECT_NEAR(player_->Duration(), 4.0, 0.2);
  recorder_->ExpectChained(mpStopped);
}

TEST_F(MediaPlayerTest, PauseOrStopWhileOpeningIsKept) {
  player_->Open(clip_);
  player_->Pause();
  ASSERT_TRUE(WaitFor([&] { return player_->OpenState() == nsOpen; }));
  ASSERT_TRUE(WaitFor([&] { return recorder_->LastPlay() == mpPaused; }));
  Pump(700);
  EXPECT_EQ(player_->PlayState(), mpPaused);
  EXPECT_LT(player_->CurrentPosition(), 0.2);

  player_->Open(small_);
  player_->Stop();
  ASSERT_TRUE(WaitFor([&] { return player_->OpenState() == nsOpen && recorder_->LastPlay() == mpStopped; }));
  Pump(700);
  EXPECT_EQ(player_->PlayState(), mpStopped);
  EXPECT_EQ(player_->CurrentPosition(), 0);
  for (const auto& [from, to] : recorder_->play) EXPECT_NE(to, mpPlaying);
}

TEST_F(MediaPlayerTest, AHandlerMayDeleteThePlayer) {
  // The player without a picture, and one shown that chose OpenGL for its first movie and renders
  // it: its view's render context is freed once, while the view still exists, and the view it
  // replaced goes too (the sanitizer build checks both).
  std::string skipped;
  for (const TMediaOutput output : {TMediaOutput::Null, TMediaOutput::Auto}) {
    SCOPED_TRACE(static_cast<int>(output));
    TMSMediaPlayer* player = nullptr;
    if (output == TMediaOutput::Null) {
      player = player_.release();
      player->OnOpenStateChange = nullptr;
      player->OnPositionChange = nullptr;
      player->OnError = nullptr;
      recorder_.reset();
    } else {
      const QString platform = QGuiApplication::platformName();
      if (platform == "offscreen" || platform == "minimal" || !OpenGLAvailable()) {
        skipped = "the OpenGL row: no OpenGL widget can be shown on this display (" + platform.toStdString() + ")";
        continue;
      }
      player = new TMSMediaPlayer(nullptr, output);
      player->resize(320, 240);
      player->show();
      player->Open(clip_);
      const auto rendering = [player] {
        auto* view = player->findChild<TMpvGLView*>();
        return view && view->Ready();
      };
      ASSERT_TRUE(WaitFor([&] { return rendering() || player->Output() == TMediaOutput::Software; }));
      if (!rendering()) {
        skipped = "the OpenGL row: libmpv renders nothing through this display's OpenGL";
        delete player;
        continue;
      }
      // Deleted below when it plays again.
      player->Pause();
    }
    bool deleted = false;
    player->OnPlayStateChange = [&](TMSMediaPlayer* sender, int, int newState) {
      if (newState != mpPlaying) return;
      delete sender;
      deleted = true;
    };
    if (output == TMediaOutput::Null) player->Open(clip_);
    else player->Play();
    ASSERT_TRUE(WaitFor([&] { return deleted; }));
    Pump(500);
  }
  if (!skipped.empty()) GTEST_SKIP() << skipped;
}

TEST_F(MediaPlayerTest, ControlBarAndMouseActions) {
  player_->SetShowControls(true);
  player_->show();
  ASSERT_TRUE(player_->ControlBar()->isVisible());
  OpenAndWaitPlaying(clip_);

  // The bar's button pauses and plays.
  player_->ControlBar()->PlayButton()->click();
  EXPECT_EQ(player_->PlayState(), mpPaused);
  EXPECT_FALSE(player_->ControlBar()->Playing());
  player_->ControlBar()->PlayButton()->click();
  EXPECT_EQ(player_->PlayState(), mpPlaying);
  EXPECT_EQ(player_->ControlBar()->TimeText().substr(player_->ControlBar()->TimeText().find('/')), "/ 0:04");

  int doubleClicks = 0;
  std::vector<std::tuple<Qt::MouseButton, int, int>> ups;
  player_->OnDblClick = [&](TMSMediaPlayer* sender) {
    EXPECT_EQ(sender, player_.get());
    ++doubleClicks;
  };
  player_->OnMouseUp = [&](TMSMediaPlayer* sender, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    EXPECT_EQ(sender, player_.get());
    ups.emplace_back(button, x, y);
  };
  QTest::mouseDClick(player_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 60));
  EXPECT_TRUE(WaitFor([&] { return doubleClicks == 1; }, 5000));
  QTest::mouseClick(player_.get(), Qt::RightButton, Qt::NoModifier, QPoint(10, 20));
  ASSERT_TRUE(WaitFor([&] { return !ups.empty() && std::get<0>(ups.back()) == Qt::RightButton; }, 5000));
  EXPECT_EQ(ups.back(), std::make_tuple(Qt::RightButton, 10, 20));

  // Clicks on the bar are not clicks on the picture.
  const size_t upsBefore = ups.size();
  QTest::mouseDClick(player_->ControlBar(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 5));
  Pump(300);
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(ups.size(), upsBefore);

  player_->SetShowControls(false);
  EXPECT_FALSE(player_->ControlBar()->isVisible());
}

TEST_F(MediaPlayerTest, SoftwareRendererPaintsThePictureAtTheDisplaySize) {
  TMSMediaPlayer player(nullptr, TMediaOutput::Software);
  ASSERT_EQ(player.Output(), TMediaOutput::Software);
  player.resize(320, 240);
  player.show();
  player.Open(clip_);
  ASSERT_TRUE(WaitFor([&] { return player.OpenState() == nsOpen; })) << player.ErrorDescription();
  player.Pause();
  // The test pattern is colourful; black (unrendered or outside the picture) has no saturation.
  auto saturatedIn = [&](const QRect& area) {
    const QImage image = player.grab().toImage();
    int saturated = 0;
    for (int y = area.top(); y <= area.bottom(); y += 8)
      for (int x = area.left(); x <= area.right(); x += 8)
        if (QColor(image.pixel(x, y)).saturation() > 128) ++saturated;
    return saturated;
  };
  const QRect all(0, 0, 320, 240), leftEdge(0, 0, 60, 240), centre(100, 80, 120, 80);
  EXPECT_TRUE(WaitFor([&] { return saturatedIn(all) > 50 && saturatedIn(leftEdge) > 10; }, 10000));

  // Half size: the 320x240 picture shrinks to 160x120 in the middle of the control.
  player.SetDisplaySize(1);
  EXPECT_EQ(player.DisplaySize(), 1);
  EXPECT_TRUE(WaitFor([&] { return saturatedIn(leftEdge) == 0 && saturatedIn(centre) > 20; }, 10000));
  // Fit to the control again.
  player.SetDisplaySize(4);
  EXPECT_TRUE(WaitFor([&] { return saturatedIn(leftEdge) > 10; }, 10000));
}

TEST_F(MediaPlayerTest, NoPictureOfAnEarlierMovieStaysWhenTheNextFailsOrTheMovieCloses) {
  const std::string junk = Temp("junk2.avi");
  std::string bytes(20000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919 + 13) % 251);
  WriteFile(junk, bytes);
  TMSMediaPlayer player(nullptr, TMediaOutput::Software);
  int errors = 0;
  player.OnError = [&errors](TMSMediaPlayer*) { ++errors; };
  player.resize(320, 240);
  player.show();
  const auto colourful = [&] {
    const QImage image = player.grab().toImage();
    int saturated = 0;
    for (int y = 0; y < 240; y += 8)
      for (int x = 0; x < 320; x += 8)
        if (QColor(image.pixel(x, y)).saturation() > 128) ++saturated;
    return saturated > 50;
  };
  for (const std::string& next : {junk, std::string()}) {
    SCOPED_TRACE(next);
    player.Open(clip_);
    ASSERT_TRUE(WaitFor([&] { return player.OpenState() == nsOpen; })) << player.ErrorDescription();
    player.Pause();
    ASSERT_TRUE(WaitFor(colourful, 10000));
    const int before = errors;
    player.Open(next);
    if (!next.empty()) {
      ASSERT_TRUE(WaitFor([&] { return errors > before; }));
    }
    Pump(500);
    EXPECT_FALSE(colourful());
  }
}

TEST_F(MediaPlayerTest, AHiddenPictureDoesNotHoldPlaybackBack) {
  TMSMediaPlayer player(nullptr, TMediaOutput::Software);
  player.resize(320, 240);
  player.Open(clip_);
  ASSERT_TRUE(WaitFor([&] { return player.PlayState() == mpPlaying; })) << player.ErrorDescription();
  const double start = player.CurrentPosition();
  Pump(2000);
  EXPECT_GT(player.CurrentPosition() - start, 1.0);
}

}  // namespace
