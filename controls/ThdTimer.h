#pragma once
// A timer whose ticks come from a worker thread that sleeps for the interval, so the pace holds
// while the UI thread is busy. Every tick is handed to the UI thread and waited for, so OnTimer
// runs there and ticks never overlap.
//
// The worker ticks exactly while Interval is not 0, Enabled is true and OnTimer is assigned.
// Stopping parks the worker on a condition (a sleep under way runs on and its tick is held until
// the timer is started again, so the first tick after a start comes within one interval). No tick
// reaches OnTimer after the timer was stopped or destroyed; the destructor joins the worker.
#include <cstdint>
#include <memory>

#include "platform/gui/Types.h"

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TTimerThread;

class TThreadedTimer : public TComponent {
public:
    explicit TThreadedTimer(TComponent* owner = nullptr);
    ~TThreadedTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // Milliseconds between ticks; 0 stops the timer.
    uint16_t Interval() const { return interval_; }
    void SetInterval(uint16_t value);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);
    // Read by the worker once, when it starts; later changes restart nothing but are kept.
    TThreadPriority ThreadPriority() const { return priority_; }
    void SetThreadPriority(TThreadPriority value);

    // Runs on the UI thread: fires OnTimer (Sender = the timer) when assigned.
    void Timer();
    // Stops the worker and starts it again when the timer can tick.
    void UpdateTimer();

private:

    bool enabled_ = true;
    uint16_t interval_ = 1000;
    TNotifyEvent onTimer_;
    TThreadPriority priority_ = tpNormal;
    std::unique_ptr<TTimerThread> thread_;
};
