#pragma once
// Shared by the frame, timer, drop, placement and caption label tests: one QApplication and
// helpers to read pixels and to deliver mouse events with global positions.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include "platform/gui/Color.h"
#include "tests/controls/ControlsTestApp.h"

inline void EnsureFrameTestApp() { EnsureControlsTestApp(); }

// A mouse event at a local point whose global point is given explicitly (the window may move).
inline void SendMouseAt(QWidget* w, QEvent::Type type, QPoint local, QPoint global,
                        Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    const Qt::MouseButton which = type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent e(type, QPointF(local), QPointF(global), which, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Runs the event loop for about `ms` milliseconds.
inline void WaitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
