#pragma once
// Shared by every test of the Qt controls: the one QApplication of the test program and the
// colour of a painted pixel.
#include <QApplication>
#include <QImage>

#include "platform/gui/Color.h"

// Creates the QApplication once; it is never destroyed, since Qt's own statics may be gone when
// static objects are torn down at exit.
inline void EnsureControlsTestApp()
{
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "test_controls";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

// The 0x00BBGGRR colour of one pixel of an image.
inline TColor PixelAt(const QImage& img, int x, int y)
{
    const QRgb v = img.pixel(x, y);
    return RGB(qRed(v), qGreen(v), qBlue(v));
}
