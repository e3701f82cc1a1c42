#include "controls/TarkiAutoPos.h"

#include <QWidget>

#include "platform/gui/Controls.h"
#include "platform/gui/Screens.h"

namespace {

TRect FrameRect(const QWidget* w)
{
    const QRect g = w->frameGeometry();
    return Rect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
}

// The inclusive test the placement uses: left <= x <= left + width - 1.
bool OnRect(const TRect& r, int x, int y)
{
    return r.Left <= x && x <= r.Right - 1 && r.Top <= y && y <= r.Bottom - 1;
}

}  // namespace

TTarkiAutoPos::TTarkiAutoPos(TComponent* owner) : TComponent(owner), timer_(std::make_unique<TTimer>())
{
    // RefreshTime is stored without reaching the timer, which keeps its own 1000 ms until
    // RefreshTime is set.
    timer_->OnTimer = [this](TObject*) { Tick(); };
}

TTarkiAutoPos::~TTarkiAutoPos() { timer_->SetEnabled(false); }

void TTarkiAutoPos::SetPosition(TPostionType value)
{
    position_ = value;
    SetWinPosition();
}

void TTarkiAutoPos::SetRepeat(bool value)
{
    repeat_ = value;
    if (!DesignTime()) {
        timer_->SetEnabled(value);
        SetWinPosition();
    }
}

void TTarkiAutoPos::SetRefreshTime(int ms)
{
    refreshTime_ = ms;
    timer_->SetInterval(ms > 0 ? static_cast<unsigned>(ms) : 0u);
}

void TTarkiAutoPos::Tick()
{
    if (!repeat_ || position_ == ptDesigned)
        return;
    SetWinPosition();
    if (OnTimer)
        OnTimer(this);
}

TRect TTarkiAutoPos::MonitorWorkArea(int x, int y, int* index)
{
    const TScreenProvider& screens = Screens();
    const std::vector<TRect> monitors = screens.Monitors();
    TRect area;
    int found = 0;
    if (monitors.size() == 1) {
        area = Rect(0, 0, monitors[0].Width(), monitors[0].Height());
    } else {
        found = -1;
        area = monitors[0];
        for (size_t i = 0; i < monitors.size(); ++i)
            if (OnRect(monitors[i], x, y)) {
                found = static_cast<int>(i);
                area = monitors[i];
                break;
            }
    }
    if (index)
        *index = found;
    TRect bar;
    if (screens.TaskBar(bar) && OnRect(area, bar.Left, bar.Top)) {
        // The edge the task bar sits on: a wide bar is on the top or bottom, a tall one on a side.
        if (bar.Width() >= bar.Height()) {
            if (bar.Top <= area.Top)
                area.Top = bar.Bottom;
            else
                area.Bottom = bar.Top;
        } else {
            if (bar.Left <= area.Left)
                area.Left = bar.Right;
            else
                area.Right = bar.Left;
        }
    }
    return area;
}

bool TTarkiAutoPos::ComputePosition(TPostionType position, const TRect& main, int w, int h, int ownX, int ownY,
                                    int& x, int& y)
{
    const int L = main.Left, T = main.Top, R = main.Right, B = main.Bottom;
    const TRect m = MonitorWorkArea(L, T);
    const int ML = m.Left, MT = m.Top, MR = m.Right, MB = m.Bottom;
    switch (position) {
    case ptDesigned: return false;
    case ptScreen: x = ownX; y = ownY; break;
    case ptScreenTopLeft: x = ML; y = MT; break;
    case ptScreenTopRight: x = MR - 1 - w; y = MT; break;
    case ptScreenBottomLeft: x = ML; y = MB - h; break;
    case ptScreenBottomRight: x = MR - w; y = MB - h; break;
    case ptMainFormCenter: x = L + (main.Width() - w) / 2; y = T + (main.Height() - h) / 2; break;
    case ptMainFormLeftTop: x = L - w; y = T; break;
    case ptMainFormLeftBottom: x = L - w; y = B - h; break;
    case ptMainFormRightTop: x = R; y = T; break;
    case ptMainFormRightBottom: x = R - 1; y = B - h; break;
    case ptMainFormTopLeft: x = L; y = T - h; break;
    case ptMainFormTopRight: x = R - w; y = T - h; break;
    case ptMainFormBottomLeft: x = L; y = B; break;
    case ptMainFormBottomRight: x = R - w; y = B; break;
    case ptDeskTop: x = ownX; y = ownY; break;
    }
    return true;
}

void TTarkiAutoPos::SetWinPosition()
{
    auto* owner = dynamic_cast<QWidget*>(Owner());
    const TForm* main = Application()->MainForm;
    if (DesignTime() || position_ == ptDesigned || !owner || !main)
        return;
    const TRect own = FrameRect(owner);
    const int w = own.Width(), h = own.Height();
    int x = 0, y = 0;
    if (!ComputePosition(position_, FrameRect(main), w, h, own.Left, own.Top, x, y))
        return;
    // An owner that is not a form takes the point through its own screen-to-client conversion.
    if (position_ == ptMainFormCenter && !dynamic_cast<TForm*>(owner)) {
        const QPoint p = owner->mapFromGlobal(QPoint(x, y));
        owner->move(p);
        return;
    }
    if (position_ == ptDeskTop) {
        const std::vector<TRect> monitors = Screens().Monitors();
        if (monitors.size() == 1)
            return;
        for (const TRect& mon : monitors)
            if (OnRect(mon, x, y) || OnRect(mon, x + w - 1, y + h - 1))
                return;
    }
    const TRect area = MonitorWorkArea(x + w / 2, y + h / 2);
    if (x + w > area.Right)
        x = area.Right - w;
    if (x < area.Left)
        x = area.Left;
    if (y + h > area.Bottom)
        y = area.Bottom - h;
    if (y < area.Top)
        y = area.Top;
    if (owner->frameGeometry().topLeft() != QPoint(x, y))
        owner->move(x, y);
}
