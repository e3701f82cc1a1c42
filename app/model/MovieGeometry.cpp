#include "app/model/MovieGeometry.h"

#include <climits>

namespace {
// a * b / c truncated, without overflowing int on the way.
int MulDivTrunc(int a, int b, int c) {
    long long r = static_cast<long long>(a) * b / c;
    if (r > INT_MAX) return INT_MAX;
    if (r < INT_MIN) return INT_MIN;
    return static_cast<int>(r);
}
}  // namespace

TMovieSize VideoSizeOrDefault(int sourceWidth, int sourceHeight) {
    return {sourceWidth < 1 ? kDefaultVideoWidth : sourceWidth,
            sourceHeight < 1 ? kDefaultVideoHeight : sourceHeight};
}

TMovieSize FirstMovieSize(int sourceWidth, int sourceHeight) {
    TMovieSize v = VideoSizeOrDefault(sourceWidth, sourceHeight);
    return {334, MulDivTrunc(v.Height, 320, v.Width) + 20 + kFrameHeight};
}

bool DisplaySizeWindow(int displaySize, int sourceWidth, int sourceHeight, TMovieSize& size) {
    TMovieSize v = VideoSizeOrDefault(sourceWidth, sourceHeight);
    switch (displaySize) {
    case 0: size = {v.Width + kFrameWidth, v.Height + kDisplayFrameHeight}; return true;
    case 1: size = {v.Width / 2 + kFrameWidth, v.Height / 2 + kDisplayFrameHeight}; return true;
    case 2:
        size = {MulDivTrunc(v.Width, 2, 1) + kFrameWidth, MulDivTrunc(v.Height, 2, 1) + kDisplayFrameHeight};
        return true;
    default: return false;
    }
}

bool CheckMovieResize(int& width, int& height, int sourceWidth, int sourceHeight, int screenWidth,
                      int screenHeight) {
    const int picture = width - kFrameWidth;
    if (sourceWidth > 1 && sourceHeight > 0) {
        if (picture < kDefaultVideoWidth) return false;
        height = MulDivTrunc(picture, sourceHeight, sourceWidth) + kFrameHeight;
    } else {
        if (picture < kDefaultVideoWidth || height - kFrameHeight < kDefaultVideoHeight) return false;
        height = MulDivTrunc(picture, kDefaultVideoHeight, kDefaultVideoWidth) + kFrameHeight;
    }
    if (height < kMinMovieHeight) height = kMinMovieHeight;
    if (screenWidth > 0 && width > screenWidth) width = screenWidth;
    if (screenHeight > 0 && height > screenHeight) height = screenHeight;
    return true;
}
