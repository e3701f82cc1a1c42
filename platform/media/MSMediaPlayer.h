#pragma once
// The movie player control: a widget that plays one movie file through libmpv, shows its picture
// and an optional control bar, and reports play state, seeks and mouse actions through events.
//
// Threading: libmpv runs its own threads, but everything it reports is read on the thread that
// owns the widget (the UI thread): libmpv's wake-up callback only posts a queued call into the Qt
// event loop. No call of this class waits for the player: commands are sent asynchronously and
// the properties read back are the values last reported (or requested, see CurrentPosition).
//
// Events, mouse events included, are delivered from the event loop, never from inside a method
// of this class, so a handler may call any method, open another file or delete the player.
//
// Nothing here throws. Operations that need a loaded movie do nothing without one.

#include "platform/media/MediaStates.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

struct mpv_handle;
struct mpv_event;
class TMediaControlBar;

// True when an OpenGL context can be made and made current on this display: the picture of an
// Auto player is then drawn through OpenGL.
bool OpenGLAvailable();

class TMSMediaPlayer : public QWidget {
 public:
  // `output` chooses how the picture is shown (see TMediaOutput); Auto reads MORVANE_MPV_VO.
  explicit TMSMediaPlayer(QWidget* parent = nullptr, TMediaOutput output = TMediaOutput::Auto);
  ~TMSMediaPlayer() override;

  // Loads `fileName` (a native path) and starts playing it at once. FileName reads the path from
  // now on. The open state goes to nsOpening and then nsOpen, the play state to mpWaiting and then
  // mpPlaying. A file that cannot be played fires OnError; the open state returns to nsClosed,
  // the play state to mpStopped and the source size stays 0. An empty name closes the movie.
  void Open(const std::string& fileName);
  // Plays from the current position; after the end of the movie, from its start.
  void Play();
  void Pause();
  // Stops and returns to the start of the movie, which stays loaded.
  void Stop();

  const std::string& FileName() const { return fileName_; }
  // Writing a name opens it (as Open); writing an empty name closes the movie.
  void SetFileName(const std::string& fileName);

  // Position in seconds. While playing: the position last reported by the player. After a write
  // and while paused or stopped: exactly the value written (clamped to 0..Duration), so that a
  // caller reads back what it set. 0 with nothing loaded.
  double CurrentPosition() const;
  // Seeks (exactly, not to a key frame). OnPositionChange follows when the seek is done.
  void SetCurrentPosition(double seconds);
  // Length of the movie in seconds; 0 while unknown.
  double Duration() const { return duration_; }

  // 0 the movie's own size, 1 half, 2 double, centred in the control; 4 (and every other value)
  // fits the picture to the control, keeping its aspect ratio.
  int DisplaySize() const { return displaySize_; }
  void SetDisplaySize(int size);

  bool ShowControls() const { return showControls_; }
  void SetShowControls(bool show);

  // The picture's size in pixels as displayed (pixel aspect applied); 0 when nothing is open.
  int SourceWidth() const { return sourceWidth_; }
  int SourceHeight() const { return sourceHeight_; }

  int PlayState() const { return playState_; }
  int OpenState() const { return openState_; }
  // What made the last file fail (UTF-8 text from the decoder or our own wording); empty when the
  // current file plays.
  const std::string& ErrorDescription() const { return errorDescription_; }
  // The output in use; Auto until the first movie opens when only trying OpenGL can choose it.
  TMediaOutput Output() const { return output_; }
  TMediaControlBar* ControlBar() const { return controlBar_; }

  // Free for the owner's use.
  int Tag = 0;

  std::function<void(TMSMediaPlayer* Sender, int OldState, int NewState)> OnPlayStateChange;
  std::function<void(TMSMediaPlayer* Sender, double OldPosition, double NewPosition)> OnPositionChange;
  std::function<void(TMSMediaPlayer* Sender, int OldState, int NewState)> OnOpenStateChange;
  std::function<void(TMSMediaPlayer* Sender)> OnError;
  // WarningType and Param are 0 for decoder warnings; Description is the player's UTF-8 text.
  std::function<void(TMSMediaPlayer* Sender, int WarningType, int Param, const std::string& Description)>
      OnWarning;
  std::function<void(TMSMediaPlayer* Sender)> OnDblClick;
  // X and Y in the control's coordinates.
  std::function<void(TMSMediaPlayer* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>
      OnMouseUp;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void CreateView(TMediaOutput output);
  void RestartVideo();
  void ProcessEvents();
  bool IsCurrentFile() const;
  void HandleEvent(const mpv_event& event);
  void HandlePropertyChange(const mpv_event& event);
  void HandlePlaybackRestart();
  void HandleEndFile(const mpv_event& event);
  void Fail(const std::string& description);
  void ResetMovieState();
  // Blank: the view drops the picture of the movie before, so that a closed, failed or newly
  // opened movie shows none of it; the first frame of the movie opened unblanks it.
  void SetViewBlank(bool blank);
  void SetPlayState(int state);
  void SetOpenState(int state);
  void SetPaused(bool paused);
  void Seek(double seconds);
  void Command(std::initializer_list<const char*> args, uint64_t reply = 0);
  void SetOption(const char* name, const char* value);
  void UpdateControlBar();
  template <typename F> void Post(F&& call);

  mpv_handle* mpv_ = nullptr;
  TMediaOutput output_;
  QWidget* view_ = nullptr;
  TMediaControlBar* controlBar_ = nullptr;

  std::string fileName_;
  std::string errorDescription_;
  std::string lastLogError_;
  int playState_ = mpStopped;
  int openState_ = nsClosed;
  int displaySize_ = 4;
  bool showControls_ = false;
  int sourceWidth_ = 0;
  int sourceHeight_ = 0;
  double duration_ = 0;

  // Which file the core's events are about: each Open gets a serial, and its load's reply names
  // the playlist entry it became (0 while that reply is awaited, -1 when no file is expected, as
  // after a close or a failure). Events of other entries (a replaced file, the files a playlist
  // names) are ignored.
  uint64_t openSerial_ = 0;
  int64_t expectedEntry_ = -1;
  int64_t currentEntry_ = -1;
  // The expected file is loaded / has shown its first frame; the state Play, Pause and Stop asked
  // for before that.
  bool loaded_ = false;
  bool started_ = false;
  int wantedState_ = mpPlaying;

  // Position: the value CurrentPosition reads; a seek in flight (the position before it is
  // reported with OnPositionChange); whether the position written is kept while standing still.
  double position_ = 0;
  bool seekPending_ = false;
  double seekFrom_ = 0;
  bool holdPosition_ = false;
};
