#include "platform/gui/Screens.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

TFixedScreenProvider::TFixedScreenProvider(std::vector<TRect> monitors, bool hasTaskBar, TRect taskBar)
    : monitors_(std::move(monitors)), hasTaskBar_(hasTaskBar), taskBar_(taskBar)
{
    if (monitors_.empty())
        monitors_.push_back(Rect(0, 0, 1024, 768));
}

bool TFixedScreenProvider::TaskBar(TRect& r) const
{
    if (hasTaskBar_)
        r = taskBar_;
    return hasTaskBar_;
}

namespace {

TRect ToRect(const QRect& q) { return Rect(q.left(), q.top(), q.left() + q.width(), q.top() + q.height()); }

std::shared_ptr<TScreenProvider>& Installed()
{
    static std::shared_ptr<TScreenProvider> p;
    return p;
}

}  // namespace

std::vector<TRect> TQtScreenProvider::Monitors() const
{
    std::vector<TRect> out;
    if (QGuiApplication::instance()) {
        if (QScreen* primary = QGuiApplication::primaryScreen())
            out.push_back(ToRect(primary->geometry()));
        for (QScreen* s : QGuiApplication::screens())
            if (s != QGuiApplication::primaryScreen())
                out.push_back(ToRect(s->geometry()));
    }
    if (out.empty())
        out.push_back(Rect(0, 0, 1024, 768));
    return out;
}

bool TQtScreenProvider::TaskBar(TRect& r) const
{
    if (!QGuiApplication::instance())
        return false;
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s)
        return false;
    const TRect full = ToRect(s->geometry());
    const TRect avail = ToRect(s->availableGeometry());
    if (avail == full)
        return false;
    // The strip the available area leaves out; one side is assumed, as a desktop panel takes one.
    if (avail.Bottom < full.Bottom)
        r = Rect(full.Left, avail.Bottom, full.Right, full.Bottom);
    else if (avail.Top > full.Top)
        r = Rect(full.Left, full.Top, full.Right, avail.Top);
    else if (avail.Left > full.Left)
        r = Rect(full.Left, full.Top, avail.Left, full.Bottom);
    else
        r = Rect(avail.Right, full.Top, full.Right, full.Bottom);
    return true;
}

const TScreenProvider& Screens()
{
    static TQtScreenProvider qtProvider;
    if (Installed())
        return *Installed();
    return qtProvider;
}

void SetScreenProvider(std::shared_ptr<TScreenProvider> provider) { Installed() = std::move(provider); }

int ScreenWidth() { return Screens().Monitors().front().Width(); }
int ScreenHeight() { return Screens().Monitors().front().Height(); }

TPoint GetCursorPos()
{
    const QPoint p = QCursor::pos();
    return Point(p.x(), p.y());
}

namespace {
TCursor& CurrentScreenCursor()
{
    static TCursor c = crDefault;
    return c;
}

Qt::CursorShape ShapeOf(TCursor c)
{
    switch (c) {
    case crHourGlass: return Qt::WaitCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    case crNo: return Qt::ForbiddenCursor;
    default: return Qt::ArrowCursor;
    }
}
}  // namespace

void SetScreenCursor(TCursor cursor)
{
    TCursor& current = CurrentScreenCursor();
    if (cursor == current || !QGuiApplication::instance())
        return;
    if (current != crDefault)
        QGuiApplication::restoreOverrideCursor();
    if (cursor != crDefault)
        QGuiApplication::setOverrideCursor(QCursor(ShapeOf(cursor)));
    current = cursor;
}

TCursor ScreenCursor() { return CurrentScreenCursor(); }
