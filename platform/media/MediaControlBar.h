#pragma once
// The player's own control bar: a play/pause button, a position slider and the time shown as
// position / length. It only reports what the user does; the player owns the state it shows.

#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QSlider;
class QToolButton;

class TMediaControlBar : public QWidget {
 public:
  explicit TMediaControlBar(QWidget* parent = nullptr);

  // Whether the button offers Pause (while playing) or Play.
  void SetPlaying(bool playing);
  // Seconds; a length of 0 (unknown or nothing open) disables the slider.
  void SetDuration(double seconds);
  // Ignored while the user drags the slider, so the thumb does not jump back under the mouse.
  void SetPosition(double seconds);

  bool Playing() const { return playing_; }
  QToolButton* PlayButton() const { return playButton_; }
  QSlider* Slider() const { return slider_; }
  std::string TimeText() const;

  std::function<void()> OnPlayPauseClick;
  // The position the user chose with the slider, in seconds.
  std::function<void(double seconds)> OnSeek;

 private:
  void ShowTime(double position);

  QToolButton* playButton_;
  QSlider* slider_;
  QLabel* timeLabel_;
  bool playing_ = false;
  double duration_ = 0;
};

// "m:ss" for times under an hour, "h:mm:ss" from an hour on; negative times count as 0.
std::string FormatMediaTime(double seconds);
