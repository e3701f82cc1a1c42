#pragma once
// Monitors and the task bar, from Qt or from a fixed layout installed by tests.
#include <memory>
#include <vector>

#include "platform/gui/Types.h"

class TScreenProvider {
public:
    virtual ~TScreenProvider() = default;
    // Monitor rectangles in desktop coordinates; the first is the primary monitor. Never empty.
    virtual std::vector<TRect> Monitors() const = 0;
    // The task bar's rectangle, when the desktop has one.
    virtual bool TaskBar(TRect& r) const = 0;
};

// A fixed layout: the given monitors and optionally a task bar.
class TFixedScreenProvider : public TScreenProvider {
public:
    TFixedScreenProvider(std::vector<TRect> monitors, bool hasTaskBar = false, TRect taskBar = {});
    std::vector<TRect> Monitors() const override { return monitors_; }
    bool TaskBar(TRect& r) const override;
private:
    std::vector<TRect> monitors_;
    bool hasTaskBar_;
    TRect taskBar_;
};

// The monitors Qt reports; the task bar is the strip by which the primary monitor's available
// area is smaller than the monitor (none when they are equal).
class TQtScreenProvider : public TScreenProvider {
public:
    std::vector<TRect> Monitors() const override;
    bool TaskBar(TRect& r) const override;
};

// The provider in use (Qt's unless one was installed). Installing nullptr restores Qt's.
const TScreenProvider& Screens();
void SetScreenProvider(std::shared_ptr<TScreenProvider> provider);

// The primary monitor's size.
int ScreenWidth();
int ScreenHeight();
// The mouse position in desktop coordinates.
TPoint GetCursorPos();

// The cursor shown over every window of the program (crDefault: each control's own), as the
// hourglass during a long operation.
void SetScreenCursor(TCursor cursor);
TCursor ScreenCursor();
