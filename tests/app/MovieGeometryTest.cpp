#include <gtest/gtest.h>

#include "app/model/MovieGeometry.h"

TEST(MovieGeometry, FirstSizeFollowsTheVideoAspect) {
    TMovieSize s = FirstMovieSize(640, 480);
    EXPECT_EQ(s.Width, 334);
    EXPECT_EQ(s.Height, 240 + 20 + 170);
    // Without a video the picture counts as 240 x 180 (4:3 as well).
    s = FirstMovieSize(0, -1);
    EXPECT_EQ(s.Width, 334);
    EXPECT_EQ(s.Height, 430);
    s = FirstMovieSize(1920, 800);
    EXPECT_EQ(s.Height, 800 * 320 / 1920 + 190);
}

TEST(MovieGeometry, DisplaySizes) {
    TMovieSize s{1, 1};
    ASSERT_TRUE(DisplaySizeWindow(2, 320, 240, s));
    EXPECT_EQ(s.Width, 654);
    EXPECT_EQ(s.Height, 658);
    ASSERT_TRUE(DisplaySizeWindow(1, 320, 240, s));
    EXPECT_EQ(s.Width, 174);
    EXPECT_EQ(s.Height, 298);
    ASSERT_TRUE(DisplaySizeWindow(0, 320, 240, s));
    EXPECT_EQ(s.Width, 334);
    EXPECT_EQ(s.Height, 418);
    // Odd sizes halve with truncation.
    ASSERT_TRUE(DisplaySizeWindow(1, 321, 241, s));
    EXPECT_EQ(s.Width, 160 + 14);
    EXPECT_EQ(s.Height, 120 + 178);
    // Free size and unknown values leave the window alone.
    s = {7, 9};
    EXPECT_FALSE(DisplaySizeWindow(3, 320, 240, s));
    EXPECT_FALSE(DisplaySizeWindow(4, 320, 240, s));
    EXPECT_FALSE(DisplaySizeWindow(-1, 320, 240, s));
    EXPECT_EQ(s.Width, 7);
    EXPECT_EQ(s.Height, 9);
}

TEST(MovieGeometry, UserResizeKeepsTheAspectAndTheMinimum) {
    int w = 414, h = 1;
    ASSERT_TRUE(CheckMovieResize(w, h, 640, 480, 1024, 768));
    EXPECT_EQ(w, 414);
    EXPECT_EQ(h, 400 * 480 / 640 + 170);
    w = 253;
    h = 500;
    EXPECT_FALSE(CheckMovieResize(w, h, 640, 480, 1024, 768));
    w = 254;
    EXPECT_TRUE(CheckMovieResize(w, h, 640, 480, 1024, 768));
    EXPECT_EQ(h, 240 * 480 / 640 + 170);
    // A wide picture does not make the window lower than 350.
    w = 300;
    ASSERT_TRUE(CheckMovieResize(w, h, 1920, 800, 1024, 768));
    EXPECT_EQ(h, 350);
    w = 614;
    ASSERT_TRUE(CheckMovieResize(w, h, 1920, 800, 1024, 768));
    EXPECT_EQ(h, 600 * 800 / 1920 + 170);
}

TEST(MovieGeometry, UserResizeWithoutAVideoIsFourToThree) {
    int w = 254, h = 349;
    EXPECT_FALSE(CheckMovieResize(w, h, 0, 0, 1024, 768));
    w = 253;
    h = 400;
    EXPECT_FALSE(CheckMovieResize(w, h, 0, 0, 1024, 768));
    w = 334;
    h = 350;
    ASSERT_TRUE(CheckMovieResize(w, h, 0, 0, 1024, 768));
    EXPECT_EQ(h, 320 * 180 / 240 + 170);
    // A one-pixel-wide source is no video either.
    w = 334;
    h = 350;
    ASSERT_TRUE(CheckMovieResize(w, h, 1, 1000, 1024, 768));
    EXPECT_EQ(h, 410);
}

TEST(MovieGeometry, UserResizeIsCutToTheScreen) {
    int w = 2000, h = 0;
    ASSERT_TRUE(CheckMovieResize(w, h, 640, 480, 1024, 768));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    // A huge drag does not overflow on the way.
    w = 2000000000;
    h = 0;
    ASSERT_TRUE(CheckMovieResize(w, h, 4000, 3000, 1024, 768));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
}
