#pragma once
// Keeps the window that owns it at a chosen place relative to the application's main window or
// to the work area of the main window's monitor, and with Repeat on puts it back there on every
// tick of an internal timer. Placing windows needs a window system that lets programs place them
// (X11); the computation itself only needs the screen provider of platform/gui.
#include <memory>

#include "platform/gui/Types.h"

class TTimer;
class QWidget;

enum TPostionType {
    ptDesigned, ptScreen, ptScreenTopLeft, ptScreenTopRight, ptScreenBottomLeft, ptScreenBottomRight,
    ptMainFormCenter, ptMainFormLeftTop, ptMainFormLeftBottom, ptMainFormRightTop,
    ptMainFormRightBottom, ptMainFormTopLeft, ptMainFormTopRight, ptMainFormBottomLeft,
    ptMainFormBottomRight, ptDeskTop
};

class TTarkiAutoPos : public TComponent {
public:
    explicit TTarkiAutoPos(TComponent* owner);
    ~TTarkiAutoPos() override;

    TPostionType Position() const { return position_; }
    void SetPosition(TPostionType value);   // stores and places at once
    bool Repeat() const { return repeat_; }
    void SetRepeat(bool value);             // stores, switches the timer, places at once
    int RefreshTime() const { return refreshTime_; }
    void SetRefreshTime(int ms);            // stores and sets the timer's interval
    TNotifyEvent OnTimer;                   // after each placement by the timer

    void SetTarget(QWidget* target) {}
    // Places the owner now.
    void SetWinPosition();
    // The timer's tick.
    void Tick();

    // The work area of the monitor that holds (x, y): the monitor's rectangle (monitor 0's when
    // none holds the point, index -1) less the task bar when the task bar's top-left corner lies
    // on it.
    static TRect MonitorWorkArea(int x, int y, int* index = nullptr);
    // Where the owner of size w x h goes for `position` beside a main window `main`; false for
    // ptDesigned. ownX/ownY are the owner's current top-left.
    static bool ComputePosition(TPostionType position, const TRect& main, int w, int h, int ownX, int ownY,
                                int& x, int& y);

    TTimer* Timer() const { return timer_.get(); }

private:
    TPostionType position_ = ptMainFormCenter;
    bool repeat_ = true;
    int refreshTime_ = 10;
    std::unique_ptr<TTimer> timer_;
};
