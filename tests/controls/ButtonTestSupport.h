#pragma once
// Shared by the button tests: one QApplication, a coloured host to place buttons on, synthetic
// mouse events delivered straight to a control, and glyph strips of coloured squares.
#include <QApplication>
#include <QMouseEvent>

#include <initializer_list>

#include "platform/gui/Controls.h"
#include "tests/controls/ControlsTestApp.h"

inline void EnsureButtonTestApp() { EnsureControlsTestApp(); }

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


// The glyphs' transparent background.
constexpr TColor kKey = 0xFF00FF;

// A strip of `colours.size()` 16 x 16 cells on the key colour, cell i holding an 8 x 8 square
// (4..11) in colours[i].
inline void MakeGlyph(TBitmap& bmp, std::initializer_list<TColor> colours)
{
    const int n = static_cast<int>(colours.size());
    bmp.SetSize(16 * n, 16);
    int i = 0;
    for (TColor c : colours) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                bmp.SetPixel(16 * i + x, y, (x >= 4 && x < 12 && y >= 4 && y < 12) ? c : kKey);
        ++i;
    }
}
