#pragma once
// Shared by the window tests: the one QApplication of the test program, waiting on the event
// loop, and the short movie clip that ffmpeg writes for the tests that play one.

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "controls/NvOS8PushButton.h"
#include "controls/TFlatSpeedButtonUnit.h"
#include "platform/core/FileUtils.h"
#include "platform/gui/QtText.h"

// Creates the QApplication once; it is never destroyed.
inline void EnsureApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char arg0[] = "test_app";
    static char* argv[] = {arg0, nullptr};
    new QApplication(argc, argv);
}

// A drag entering `target` and its drop there, as the user's mouse gives them; the drop is sent
// only when the drag was accepted, and the result says whether it was.
inline bool DragAndDrop(QWidget* target, QMimeData& data)
{
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return true;
}

// The look every window gives its shaded push buttons: base colour 0xD2D2D2, a plain 12-pixel
// font, and the caption whole on the face: as many pixels of its colour as the caption with its
// accelerator's underline has when drawn alone in that font, unclipped.
inline void ExpectShadedButtonLook(TNvOS8PushButton& b)
{
    SCOPED_TRACE(b.Caption());
    EXPECT_EQ(b.BaseColor(), TColor(0xD2D2D2));
    EXPECT_EQ(b.Font()->Height(), -12);
    EXPECT_FALSE(b.Font()->HasStyle(fsBold));
    const QRgb ink = ToQColor(b.Font()->Color()).rgb();
    QImage alone(b.Width(), 3 * b.Height(), QImage::Format_RGB32);
    alone.fill(Qt::white);
    QPainter painter(&alone);
    painter.setFont(b.Font()->ToQFont());
    painter.setPen(QColor(ink));
    painter.drawText(alone.rect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                     Cp949ToQString(b.Caption()));
    painter.end();
    const auto inked = [ink](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == ink;
        return n;
    };
    EXPECT_GT(inked(alone), 0);
    EXPECT_EQ(inked(b.PaintToImage()), inked(alone));
}

// The look of a title bar's "X" and "_": hot and held faces 0xC58434, white frame, shadow and
// 12-pixel font, the hand cursor.
inline void ExpectTitleButtonLook(TFlatSpeedButton& b)
{
    SCOPED_TRACE(b.Caption());
    EXPECT_EQ(b.ColorFocused(), TColor(0xC58434));
    EXPECT_EQ(b.ColorDown(), TColor(0xC58434));
    EXPECT_EQ(b.ColorBorder(), clWhite);
    EXPECT_EQ(b.ColorShadow(), clWhite);
    EXPECT_EQ(b.Font()->Color(), clWhite);
    EXPECT_EQ(b.Font()->Height(), -12);
    EXPECT_EQ(b.cursor().shape(), Qt::PointingHandCursor);
}

// Runs the event loop until `done` holds; false after `ms` milliseconds.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 15000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Runs the event loop for `ms` milliseconds.
inline void Pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// Has libmpv play without a picture and creates the QApplication; false when ffmpeg, which
// writes the test clip, is not installed.
inline bool PrepareMovieTests()
{
    setenv("MORVANE_MPV_VO", "null", 1);
    EnsureApp();
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

// Writes a 320x240, 25 frames a second MPEG-4 test picture of `seconds` to `path`; false when
// ffmpeg is missing or fails.
inline bool MakeTestClip(const std::string& path, int seconds)
{
    const std::string command =
        "ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc=duration=" + std::to_string(seconds) +
        ":size=320x240:rate=25 -c:v mpeg4 -q:v 5 '" + path + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 && FileExists(path);
}
