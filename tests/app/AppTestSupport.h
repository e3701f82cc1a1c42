#pragma once
// Shared by the window tests: the one QApplication of the test program, waiting on the event
// loop, and the short movie clip that ffmpeg writes for the tests that play one.

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QThread>

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/core/FileUtils.h"

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
