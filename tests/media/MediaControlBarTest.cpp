#include "platform/media/MediaControlBar.h"

#include "tests/media/MediaTestSupport.h"

#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

TEST(MediaTime, FormatsMinutesAndHours) {
  EXPECT_EQ(FormatMediaTime(0), "0:00");
  EXPECT_EQ(FormatMediaTime(65.9), "1:05");
  EXPECT_EQ(FormatMediaTime(600), "10:00");
  EXPECT_EQ(FormatMediaTime(3725), "1:02:05");
  EXPECT_EQ(FormatMediaTime(-3), "0:00");
  EXPECT_EQ(FormatMediaTime(std::nan("")), "0:00");
}

TEST(MediaControlBar, ReportsButtonAndSliderActions) {
  TestApp();
  TMediaControlBar bar;
  bar.resize(300, 24);
  bar.show();
  int clicks = 0;
  std::vector<double> seeks;
  bar.OnPlayPauseClick = [&] { ++clicks; };
  bar.OnSeek = [&](double s) { seeks.push_back(s); };

  // Nothing to seek in before a length is known.
  EXPECT_FALSE(bar.Slider()->isEnabled());
  bar.SetDuration(10);
  EXPECT_TRUE(bar.Slider()->isEnabled());
  EXPECT_EQ(bar.Slider()->maximum(), 10000);

  bar.PlayButton()->click();
  EXPECT_EQ(clicks, 1);

  bar.SetPosition(4.25);
  EXPECT_EQ(bar.Slider()->value(), 4250);
  EXPECT_EQ(bar.TimeText(), "0:04 / 0:10");
  // Setting the position is not a user seek.
  EXPECT_TRUE(seeks.empty());

  // A page step on the groove seeks to the slider's new place.
  bar.Slider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  ASSERT_EQ(seeks.size(), 1u);
  EXPECT_DOUBLE_EQ(seeks[0], 5.25);

  // Positions past the end or before the start stay on the slider.
  bar.SetPosition(99);
  EXPECT_EQ(bar.Slider()->value(), 10000);
  bar.SetPosition(-1);
  EXPECT_EQ(bar.Slider()->value(), 0);
}
