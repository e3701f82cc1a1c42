#include "platform/media/MediaControlBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string FormatMediaTime(double seconds) {
  if (!(seconds > 0)) seconds = 0;  // also NaN
  const long long total = static_cast<long long>(seconds);
  const long long h = total / 3600, m = total / 60 % 60, s = total % 60;
  char buf[32];
  if (h > 0)
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", h, m, s);
  else
    std::snprintf(buf, sizeof buf, "%lld:%02lld", m, s);
  return buf;
}

TMediaControlBar::TMediaControlBar(QWidget* parent)
    : QWidget(parent),
      playButton_(new QToolButton(this)),
      slider_(new QSlider(Qt::Horizontal, this)),
      timeLabel_(new QLabel(this)) {
  // Clicks on the bar are the bar's own: they must not reach the player as clicks on the picture.
  setAttribute(Qt::WA_NoMousePropagation);
  setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 1, 4, 1);
  layout->setSpacing(4);
  playButton_->setAutoRaise(true);
  playButton_->setFocusPolicy(Qt::NoFocus);
  slider_->setFocusPolicy(Qt::NoFocus);
  slider_->setRange(0, 0);
  slider_->setEnabled(false);
  layout->addWidget(playButton_);
  layout->addWidget(slider_, 1);
  layout->addWidget(timeLabel_);
  SetPlaying(false);
  ShowTime(0);

  QObject::connect(playButton_, &QToolButton::clicked, this, [this] {
    if (OnPlayPauseClick) OnPlayPauseClick();
  });
  // Slider values are milliseconds. Dragging seeks as the thumb moves; clicks on the groove
  // (page steps) and keys arrive as actions whose target is the slider position.
  QObject::connect(slider_, &QSlider::sliderMoved, this, [this](int ms) {
    ShowTime(ms / 1000.0);
    if (OnSeek) OnSeek(ms / 1000.0);
  });
  QObject::connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
    if (action == QAbstractSlider::SliderMove || action == QAbstractSlider::SliderNoAction) return;
    const int ms = slider_->sliderPosition();
    ShowTime(ms / 1000.0);
    if (OnSeek) OnSeek(ms / 1000.0);
  });
}

void TMediaControlBar::SetPlaying(bool playing) {
  playing_ = playing;
  playButton_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

void TMediaControlBar::SetDuration(double seconds) {
  duration_ = seconds > 0 ? seconds : 0;
  const double ms = std::floor(duration_ * 1000);
  slider_->setRange(0, ms < 2147483647.0 ? static_cast<int>(ms) : 2147483647);
  slider_->setPageStep(std::max(1, slider_->maximum() / 10));
  slider_->setEnabled(duration_ > 0);
  ShowTime(slider_->value() / 1000.0);
}

void TMediaControlBar::SetPosition(double seconds) {
  if (slider_->isSliderDown()) return;
  const double ms = std::floor((seconds > 0 ? seconds : 0) * 1000);
  const QSignalBlocker block(slider_);
  slider_->setValue(ms < slider_->maximum() ? static_cast<int>(ms) : slider_->maximum());
  ShowTime(seconds);
}

std::string TMediaControlBar::TimeText() const { return timeLabel_->text().toStdString(); }

void TMediaControlBar::ShowTime(double position) {
  timeLabel_->setText(QString::fromStdString(FormatMediaTime(position) + " / " + FormatMediaTime(duration_)));
}
