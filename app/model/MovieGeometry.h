#pragma once
// The movie window's sizes, computed without a window. All sizes are whole pixels of the whole
// window. The window's frames, title bar, caption label and position strip take kFrameWidth of
// the width and kFrameHeight of the height; the display sizes use kDisplayFrameHeight.

struct TMovieSize {
    int Width = 0;
    int Height = 0;
};

constexpr int kFrameWidth = 14;
constexpr int kFrameHeight = 170;
constexpr int kDisplayFrameHeight = 178;
// The picture size assumed when the player reports none.
constexpr int kDefaultVideoWidth = 240;
constexpr int kDefaultVideoHeight = 180;
// The smallest window: the default picture plus the frames (254 x 350).
constexpr int kMinMovieWidth = kDefaultVideoWidth + kFrameWidth;
constexpr int kMinMovieHeight = kDefaultVideoHeight + kFrameHeight;

// The video's size with the defaults for a missing one (a side below 1).
TMovieSize VideoSizeOrDefault(int sourceWidth, int sourceHeight);

// The window's size the first time a movie is shown in a run: 334 wide, the picture 320 wide at
// the video's aspect plus the frames.
TMovieSize FirstMovieSize(int sourceWidth, int sourceHeight);

// The window's size for a display size (0 100%, 1 50%, 2 200%) of the video; false for 3 (free
// size: the size stays) and for any other value. A missing video counts as 240 x 180.
bool DisplaySizeWindow(int displaySize, int sourceWidth, int sourceHeight, TMovieSize& size);

// The check of a user resize to width x height (the window's new size), on a screen of
// screenWidth x screenHeight: the height follows the width at the video's aspect (4:3 without a
// video) and both are cut to the screen. False refuses a size whose picture would be narrower
// than 240 (or, without a video, lower than 180). The window is never made lower than 350 (a wide
// picture then leaves room below it).
bool CheckMovieResize(int& width, int& height, int sourceWidth, int sourceHeight, int screenWidth,
                      int screenHeight);
