#include "platform/media/MSMediaPlayer.h"

#include "platform/media/MediaControlBar.h"
#include "platform/media/MpvGLView.h"
#include "platform/media/MpvSwView.h"

#include <mpv/client.h>

#include <QGuiApplication>
#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QVBoxLayout>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// reply_userdata of observed properties and of commands whose answer matters.
enum : uint64_t {
  kTimePos = 1,
  kDuration,
  kWidth,
  kHeight,
  kEofReached,
  kLoadBase = 1000,  // + the serial of the Open that sent the load
};

}  // namespace

bool OpenGLAvailable() {
  QOpenGLContext context;
  if (!context.create()) return false;
  QOffscreenSurface surface;
  surface.setFormat(context.format());
  surface.create();
  const bool ok = surface.isValid() && context.makeCurrent(&surface);
  if (ok) context.doneCurrent();
  return ok;
}

namespace {

// The output as far as it can be chosen without trying OpenGL; Auto when only that can tell.
TMediaOutput ChooseOutput(TMediaOutput wanted) {
  if (wanted != TMediaOutput::Auto) return wanted;
  if (const char* env = std::getenv("MORVANE_MPV_VO")) {
    if (std::strcmp(env, "null") == 0) return TMediaOutput::Null;
    if (std::strcmp(env, "sw") == 0) return TMediaOutput::Software;
    if (std::strcmp(env, "gl") == 0 || std::strcmp(env, "gpu") == 0) return TMediaOutput::OpenGL;
  }
  const QString platform = QGuiApplication::platformName();
  if (platform == "offscreen" || platform == "minimal") return TMediaOutput::Software;
  return TMediaOutput::Auto;
}

// libmpv takes file names that look like URLs ("dvd://", "a:b") as such; an absolute path never
// does. Bytes are kept as they are (paths need not be valid UTF-8).
std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char buf[4096];
  if (!getcwd(buf, sizeof buf)) return "./" + path;
  std::string dir = buf;
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir + path;
}

// Calls a copy of the handler, so that a handler that deletes the player (and with it the
// handler itself) returns into code that still exists.
template <typename Handler, typename... Args>
void Call(const Handler& handler, Args... args) {
  if (!handler) return;
  const Handler copy = handler;
  copy(args...);
}

}  // namespace

// Events reach their handlers from the event loop. The call is queued on the application, not
// on the player, so a handler may delete the player; a call queued before that is then dropped.
template <typename F>
void TMSMediaPlayer::Post(F&& call) {
  QMetaObject::invokeMethod(
      qApp, [player = QPointer<TMSMediaPlayer>(this), call = std::forward<F>(call)] {
        if (player) call();
      },
      Qt::QueuedConnection);
}

TMSMediaPlayer::TMSMediaPlayer(QWidget* parent, TMediaOutput output)
    : QWidget(parent), output_(ChooseOutput(output)) {
  // libmpv parses and prints numbers with the C library and refuses to start under a locale
  // whose decimal separator is not '.'.
  std::setlocale(LC_NUMERIC, "C");
  mpv_ = mpv_create();
  if (mpv_) {
    const bool null = output_ == TMediaOutput::Null;
    // The player is a control of this program: no user configuration, scripts, key bindings,
    // on-screen controller or network helpers.
    SetOption("config", "no");
    SetOption("terminal", "no");
    SetOption("load-scripts", "no");
    SetOption("load-stats-overlay", "no");
    SetOption("load-osd-console", "no");
    SetOption("load-auto-profiles", "no");
    SetOption("ytdl", "no");
    SetOption("osc", "no");
    SetOption("input-default-bindings", "no");
    SetOption("input-vo-keyboard", "no");
    SetOption("audio-display", "no");
    // The program shows captions itself: no caption file beside the movie, no caption track.
    SetOption("sub-auto", "no");
    SetOption("sid", "no");
    SetOption("idle", "yes");
    SetOption("keep-open", "yes");
    SetOption("hr-seek", "yes");
    SetOption("vo", null ? "null" : "libmpv");
    // Frames reach the renderer at their display time; the UI thread never waits for one.
    SetOption("video-timing-offset", "0");
    // Software decoding: no probing of hardware decoder libraries.
    SetOption("hwdec", "no");
    SetOption("gpu-hwdec-interop", "no");
    const char* audio = std::getenv("MORVANE_MPV_AO");
    if (null)
      SetOption("ao", "null");
    else if (audio && *audio)
      SetOption("ao", audio);
    mpv_request_log_messages(mpv_, "warn");
    if (mpv_initialize(mpv_) < 0) {
      mpv_terminate_destroy(mpv_);
      mpv_ = nullptr;
    }
  }
  if (mpv_) {
    mpv_observe_property(mpv_, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv_, kDuration, "duration", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv_, kWidth, "dwidth", MPV_FORMAT_INT64);
    mpv_observe_property(mpv_, kHeight, "dheight", MPV_FORMAT_INT64);
    mpv_observe_property(mpv_, kEofReached, "eof-reached", MPV_FORMAT_FLAG);
    // Runs on libmpv's threads: only hand the reading of events to the UI thread.
    mpv_set_wakeup_callback(
        mpv_,
        [](void* self) {
          auto* player = static_cast<TMSMediaPlayer*>(self);
          QMetaObject::invokeMethod(player, [player] { player->ProcessEvents(); }, Qt::QueuedConnection);
        },
        this);
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  CreateView(output_);
  controlBar_ = new TMediaControlBar(this);
  controlBar_->setVisible(false);
  layout->addWidget(controlBar_);
  controlBar_->OnPlayPauseClick = [this] {
    if (playState_ == mpPlaying)
      Pause();
    else
      Play();
  };
  controlBar_->OnSeek = [this](double seconds) { SetCurrentPosition(seconds); };
}

TMSMediaPlayer::~TMSMediaPlayer() {
  if (mpv_) mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
  // The render context lives in the view and must go before the player core. Destroying the
  // core waits for its threads to end (a moment, at the end of the control's life).
  delete view_;
  view_ = nullptr;
  if (mpv_) mpv_terminate_destroy(mpv_);
}

void TMSMediaPlayer::CreateView(TMediaOutput output) {
  QWidget* view = nullptr;
  if (mpv_ && output == TMediaOutput::OpenGL) {
    auto* gl = new TMpvGLView(mpv_, this);
    gl->OnFailed = [this] {
      output_ = TMediaOutput::Software;
      CreateView(output_);
      RestartVideo();
    };
    gl->OnCreated = [this] { RestartVideo(); };
    view = gl;
  } else if (mpv_ && output == TMediaOutput::Software) {
    view = new TMpvSwView(mpv_, this);
  } else {
    view = new QWidget(this);
  }
  // Mouse actions on the picture are the player's own (OnDblClick, OnMouseUp).
  view->setAttribute(Qt::WA_TransparentForMouseEvents);
  QPalette black = view->palette();
  black.setColor(QPalette::Window, Qt::black);
  view->setPalette(black);
  view->setAutoFillBackground(true);
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  if (view_) {
    // The view an Auto player shows before its first movie chooses the output, or a failed
    // OpenGL view, is replaced; it is deleted later, as the call may come from its own event. The
    // layout's item that held it is ours to free.
    delete layout->replaceWidget(view_, view);
    view_->hide();
    view_->deleteLater();
    view->show();
  } else {
    layout->insertWidget(0, view, 1);
  }
  view_ = view;
}

void TMSMediaPlayer::RestartVideo() {
  // A movie opened while no renderer existed plays without its video track, and a renderer
  // made anew needs the video output set up again: choosing the track again does both.
  Command({"set", "vid", "no"});
  Command({"set", "vid", "auto"});
}

void TMSMediaPlayer::SetOption(const char* name, const char* value) {
  mpv_set_option_string(mpv_, name, value);
}

void TMSMediaPlayer::Command(std::initializer_list<const char*> args, uint64_t reply) {
  if (!mpv_) return;
  std::vector<const char*> argv(args);
  argv.push_back(nullptr);
  mpv_command_async(mpv_, reply, argv.data());
}

void TMSMediaPlayer::SetPaused(bool paused) {
  if (!mpv_) return;
  int flag = paused ? 1 : 0;
  mpv_set_property_async(mpv_, 0, "pause", MPV_FORMAT_FLAG, &flag);
}

void TMSMediaPlayer::Seek(double seconds) {
  const std::string target = std::to_string(seconds);
  Command({"seek", target.c_str(), "absolute+exact"});
}

// ---- Operations ----

void TMSMediaPlayer::Open(const std::string& fileName) {
  if (fileName.empty()) {
    SetFileName(fileName);
    return;
  }
  fileName_ = fileName;
  ResetMovieState();
  SetViewBlank(true);
  errorDescription_.clear();
  wantedState_ = mpPlaying;
  if (!mpv_) {
    SetOpenState(nsOpening);
    Fail("The media player could not be started.");
    return;
  }
  ++openSerial_;
  expectedEntry_ = 0;
  if (output_ == TMediaOutput::Auto) {
    // The renderer is chosen when the first movie opens: trying OpenGL loads the display's
    // driver, which a session that opens no movie does without.
    output_ = OpenGLAvailable() ? TMediaOutput::OpenGL : TMediaOutput::Software;
    CreateView(output_);
    SetViewBlank(true);
  }
  const std::string path = AbsolutePath(fileName);
  // Without a renderer yet (the OpenGL view gets one when first shown) the movie would fail
  // for want of a video output: it starts without its picture, which RestartVideo brings back.
  auto* gl = dynamic_cast<TMpvGLView*>(view_);
  if (gl && !gl->Ready()) Command({"set", "vid", "no"});
  SetPaused(false);
  Command({"loadfile", path.c_str(), "replace"}, kLoadBase + openSerial_);
  SetOpenState(nsOpening);
  SetPlayState(mpWaiting);
  UpdateControlBar();
}

void TMSMediaPlayer::SetFileName(const std::string& fileName) {
  if (!fileName.empty()) {
    Open(fileName);
    return;
  }
  fileName_.clear();
  errorDescription_.clear();
  ++openSerial_;
  expectedEntry_ = -1;
  Command({"stop"});
  ResetMovieState();
  SetViewBlank(true);
  SetPlayState(mpStopped);
  SetOpenState(nsClosed);
  UpdateControlBar();
}

void TMSMediaPlayer::Play() {
  if (expectedEntry_ < 0) {
    // The movie played to its end and was unloaded by the player: open it again.
    if (playState_ == mpMediaEnded && !fileName_.empty()) Open(fileName_);
    return;
  }
  if (!started_) {
    wantedState_ = mpPlaying;
    SetPaused(false);
    return;
  }
  if (playState_ == mpMediaEnded) {
    Seek(0);
    position_ = 0;
  }
  seekPending_ = false;
  holdPosition_ = false;
  SetPaused(false);
  SetPlayState(mpPlaying);
}

void TMSMediaPlayer::Pause() {
  if (expectedEntry_ < 0) return;
  if (!started_) {
    wantedState_ = mpPaused;
    SetPaused(true);
    return;
  }
  if (playState_ != mpPlaying) return;
  SetPaused(true);
  SetPlayState(mpPaused);
}

void TMSMediaPlayer::Stop() {
  if (expectedEntry_ < 0) return;
  if (!started_) {
    wantedState_ = mpStopped;
    SetPaused(true);
    return;
  }
  SetPaused(true);
  SetPlayState(mpStopped);
  SetCurrentPosition(0);
}

double TMSMediaPlayer::CurrentPosition() const { return started_ ? position_ : 0; }

void TMSMediaPlayer::SetCurrentPosition(double seconds) {
  if (!started_) return;
  if (!(seconds > 0)) seconds = 0;  // also NaN
  if (duration_ > 0 && seconds > duration_) seconds = duration_;
  if (!seekPending_) seekFrom_ = position_;
  seekPending_ = true;
  position_ = seconds;
  holdPosition_ = playState_ != mpPlaying;
  // A seek away from the end leaves the movie paused there, no longer "ended".
  if (playState_ == mpMediaEnded && (duration_ <= 0 || seconds < duration_)) SetPlayState(mpPaused);
  Seek(seconds);
  controlBar_->SetPosition(seconds);
}

void TMSMediaPlayer::SetDisplaySize(int size) {
  displaySize_ = size;
  if (!mpv_) return;
  // Sizes 0..2 show the picture at its own size scaled by a power of two (zoom is a log2 factor).
  const bool fixed = size >= 0 && size <= 2;
  const char* unscaled = fixed ? "yes" : "no";
  const char* zoom = size == 1 ? "-1" : size == 2 ? "1" : "0";
  mpv_set_property_async(mpv_, 0, "video-unscaled", MPV_FORMAT_STRING, &unscaled);
  mpv_set_property_async(mpv_, 0, "video-zoom", MPV_FORMAT_STRING, &zoom);
}

void TMSMediaPlayer::SetShowControls(bool show) {
  showControls_ = show;
  controlBar_->setVisible(show);
}

// ---- Events of the player core ----

void TMSMediaPlayer::ProcessEvents() {
  while (mpv_) {
    mpv_event* event = mpv_wait_event(mpv_, 0);
    if (event->event_id == MPV_EVENT_NONE) break;
    HandleEvent(*event);
  }
}

bool TMSMediaPlayer::IsCurrentFile() const { return expectedEntry_ > 0 && currentEntry_ == expectedEntry_; }

void TMSMediaPlayer::HandleEvent(const mpv_event& event) {
  switch (event.event_id) {
    case MPV_EVENT_LOG_MESSAGE: {
      const auto* log = static_cast<const mpv_event_log_message*>(event.data);
      std::string text = std::string(log->prefix) + ": " + log->text;
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
      if (log->log_level <= MPV_LOG_LEVEL_ERROR) {
        lastLogError_ = text;
      } else if (log->log_level == MPV_LOG_LEVEL_WARN) {
        Post([this, text] {
          Call(OnWarning, this, 0, 0, text);
        });
      }
      break;
    }
    case MPV_EVENT_COMMAND_REPLY:
      if (event.reply_userdata == kLoadBase + openSerial_ && expectedEntry_ == 0) {
        const auto* reply = static_cast<const mpv_event_command*>(event.data);
        int64_t entry = -1;
        if (event.error >= 0 && reply->result.format == MPV_FORMAT_NODE_MAP) {
          const mpv_node_list* map = reply->result.u.list;
          for (int i = 0; i < map->num; ++i)
            if (std::strcmp(map->keys[i], "playlist_entry_id") == 0 && map->values[i].format == MPV_FORMAT_INT64)
              entry = map->values[i].u.int64;
        }
        if (entry > 0) {
          expectedEntry_ = entry;
        } else {
          expectedEntry_ = -1;
          Fail(event.error < 0 ? mpv_error_string(event.error) : "The file cannot be opened.");
        }
      }
      break;
    case MPV_EVENT_START_FILE:
      currentEntry_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
      if (IsCurrentFile()) lastLogError_.clear();
      break;
    case MPV_EVENT_FILE_LOADED:
      if (IsCurrentFile()) loaded_ = true;
      break;
    case MPV_EVENT_PLAYBACK_RESTART:
      HandlePlaybackRestart();
      break;
    case MPV_EVENT_END_FILE:
      HandleEndFile(event);
      break;
    case MPV_EVENT_PROPERTY_CHANGE:
      HandlePropertyChange(event);
      break;
    default:
      break;
  }
}

void TMSMediaPlayer::HandlePropertyChange(const mpv_event& event) {
  const auto* property = static_cast<const mpv_event_property*>(event.data);
  const bool current = IsCurrentFile() && loaded_;
  switch (event.reply_userdata) {
    case kTimePos:
      if (current && property->format == MPV_FORMAT_DOUBLE && !seekPending_ && !holdPosition_) {
        position_ = *static_cast<const double*>(property->data);
        controlBar_->SetPosition(position_);
      }
      break;
    case kDuration:
      if (current && property->format == MPV_FORMAT_DOUBLE) {
        duration_ = *static_cast<const double*>(property->data);
        UpdateControlBar();
      }
      break;
    case kWidth:
    case kHeight:
      if (current && property->format == MPV_FORMAT_INT64) {
        const int64_t value = *static_cast<const int64_t*>(property->data);
        const int pixels = value > 0 && value < 1000000 ? static_cast<int>(value) : 0;
        (event.reply_userdata == kWidth ? sourceWidth_ : sourceHeight_) = pixels;
      }
      break;
    case kEofReached:
      if (current && started_ && property->format == MPV_FORMAT_FLAG && *static_cast<const int*>(property->data) &&
          (playState_ == mpPlaying || playState_ == mpPaused)) {
        holdPosition_ = false;
        SetPlayState(mpMediaEnded);
      }
      break;
    default:
      break;
  }
}

void TMSMediaPlayer::HandlePlaybackRestart() {
  if (!IsCurrentFile() || !loaded_) return;
  if (!started_) {
    // The first frame of a newly opened movie: it is open, and plays unless Pause or Stop came
    // while it loaded.
    started_ = true;
    SetViewBlank(false);
    seekPending_ = false;
    holdPosition_ = wantedState_ != mpPlaying;
    SetOpenState(nsOpen);
    SetPlayState(wantedState_);
    if (wantedState_ == mpStopped) SetCurrentPosition(0);
    UpdateControlBar();
    return;
  }
  if (seekPending_) {
    seekPending_ = false;
    const double from = seekFrom_, to = position_;
    Post([this, from, to] {
      Call(OnPositionChange, this, from, to);
    });
  }
}

void TMSMediaPlayer::HandleEndFile(const mpv_event& event) {
  const auto* end = static_cast<const mpv_event_end_file*>(event.data);
  if (expectedEntry_ <= 0 || end->playlist_entry_id != expectedEntry_) return;
  switch (end->reason) {
    case MPV_END_FILE_REASON_ERROR:
      expectedEntry_ = -1;
      Fail(!lastLogError_.empty() ? lastLogError_ : mpv_error_string(end->error));
      break;
    case MPV_END_FILE_REASON_REDIRECT:
      // A playlist: the player would go on to play the files it names. Only movies are opened.
      expectedEntry_ = -1;
      Command({"stop"});
      Fail("The file is a list of other files, not a movie.");
      break;
    case MPV_END_FILE_REASON_EOF:
      // Movies stay loaded at their end; a file the player drops at its end is reported as
      // ended (Play opens it again) or, when nothing was ever shown, as not playable.
      expectedEntry_ = -1;
      if (!started_) {
        Fail("The file holds nothing to play.");
      } else {
        ResetMovieState();
        SetPlayState(mpMediaEnded);
        UpdateControlBar();
      }
      break;
    default:
      break;
  }
}

void TMSMediaPlayer::Fail(const std::string& description) {
  errorDescription_ = description.empty() ? "The file cannot be played." : description;
  ResetMovieState();
  SetViewBlank(true);
  SetPlayState(mpStopped);
  SetOpenState(nsClosed);
  UpdateControlBar();
  Post([this] {
    Call(OnError, this);
  });
}

void TMSMediaPlayer::SetViewBlank(bool blank) {
  if (auto* sw = dynamic_cast<TMpvSwView*>(view_)) sw->SetBlank(blank);
  else if (auto* gl = dynamic_cast<TMpvGLView*>(view_)) gl->SetBlank(blank);
}

void TMSMediaPlayer::ResetMovieState() {
  loaded_ = false;
  started_ = false;
  sourceWidth_ = sourceHeight_ = 0;
  duration_ = 0;
  position_ = 0;
  seekPending_ = false;
  holdPosition_ = false;
}

void TMSMediaPlayer::SetPlayState(int state) {
  if (state == playState_) return;
  const int old = playState_;
  playState_ = state;
  controlBar_->SetPlaying(state == mpPlaying);
  Post([this, old, state] {
    Call(OnPlayStateChange, this, old, state);
  });
}

void TMSMediaPlayer::SetOpenState(int state) {
  if (state == openState_) return;
  const int old = openState_;
  openState_ = state;
  Post([this, old, state] {
    Call(OnOpenStateChange, this, old, state);
  });
}

void TMSMediaPlayer::UpdateControlBar() {
  controlBar_->setEnabled(started_);
  controlBar_->SetDuration(started_ ? duration_ : 0);
  controlBar_->SetPosition(CurrentPosition());
  controlBar_->SetPlaying(playState_ == mpPlaying);
}

// ---- Mouse ----

void TMSMediaPlayer::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  Post([this] { Call(OnDblClick, this); });
}

void TMSMediaPlayer::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  const QPoint at = event->position().toPoint();
  const Qt::MouseButton button = event->button();
  const Qt::KeyboardModifiers shift = event->modifiers();
  Post([this, button, shift, at] { Call(OnMouseUp, this, button, shift, at.x(), at.y()); });
}
