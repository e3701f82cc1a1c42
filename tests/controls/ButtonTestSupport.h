#pragma once
// Shared by the button tests: one QApplication, a coloured host to place buttons on, and
// synthetic mouse events delivered straight to a control.
#include <QApplication>
#include <QMouseEvent>

#include "platform/gui/Controls.h"

inline void EnsureButtonTestApp()
{
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "test_controls";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

// A plain control that fills itself with its Color, so a pixel shows whether a button painted it.
class TButtonHost : public TControl {
public:
    explicit TButtonHost(TColor color = 0x00FF00)
    {
        SetColor(color);
        SetBounds(0, 0, 120, 80);
    }
};

inline void SendMouse(QWidget* w, QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF local(x, y);
    const QPointF global = w->mapToGlobal(local);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    const Qt::MouseButton which = type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent e(type, local, global, which, type == QEvent::MouseMove ? Qt::MouseButtons(button) : buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void Press(QWidget* w, int x, int y) { SendMouse(w, QEvent::MouseButtonPress, x, y); }
inline void Move(QWidget* w, int x, int y) { SendMouse(w, QEvent::MouseMove, x, y); }
inline void Release(QWidget* w, int x, int y) { SendMouse(w, QEvent::MouseButtonRelease, x, y); }

inline void Enter(QWidget* w)
{
    QEnterEvent e(QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)), w->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(w, &e);
}

inline void Leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

// The 0x00BBGGRR colour of one pixel of an image.
inline TColor PixelAt(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return static_cast<TColor>(qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16));
}
