#pragma once
// The caption timer: every 100 ms while the movie plays, one tick of the main controller's
// timing (position field, current caption, selected row scrolled into view) on the UI thread.
//
// The movie window owns it (TMovieForm::CaptionTimer) and switches it on exactly while the player
// plays; the main window's IMainView::SetCaptionTimer forwards to SetEnabled. Ticks come from the
// threaded timer's worker and are handed to the UI thread one at a time, so a slow tick delays the
// next instead of overlapping it. No tick reaches the controller after SetEnabled(false), after
// the closing flag is set, or after destruction; an exception thrown by a tick is swallowed here
// so that it never crosses the event loop.
#include <functional>
#include <memory>

class TMainController;
class TThreadedTimer;

class TCaptionTimer {
public:
    // closing: true once the main window is closing (may be empty: never closing).
    TCaptionTimer(TMainController& controller, std::function<bool()> closing);
    ~TCaptionTimer();
    TCaptionTimer(const TCaptionTimer&) = delete;
    TCaptionTimer& operator=(const TCaptionTimer&) = delete;

    bool Enabled() const;
    void SetEnabled(bool on);
    // Milliseconds between ticks (100).
    int Interval() const;
    // Ticks delivered to the controller since construction.
    long TickCount() const { return ticks_; }

    // One tick, as the worker delivers it; public so that it can be driven without the worker.
    void Tick();

private:
    TMainController& controller_;
    std::function<bool()> closing_;
    std::unique_ptr<TThreadedTimer> timer_;
    bool inTick_ = false;
    long ticks_ = 0;
};
