#include "app/CaptionTimer.h"

#include "app/model/MainController.h"
#include "controls/ThdTimer.h"

TCaptionTimer::TCaptionTimer(TMainController& controller, std::function<bool()> closing)
    : controller_(controller), closing_(std::move(closing)), timer_(std::make_unique<TThreadedTimer>()) {
    timer_->SetEnabled(false);
    timer_->SetInterval(100);
    timer_->SetOnTimer([this](TObject*) { Tick(); });
}

TCaptionTimer::~TCaptionTimer() {
    // Stop and join the worker before the members the tick uses go away.
    timer_->SetEnabled(false);
    timer_.reset();
}

bool TCaptionTimer::Enabled() const { return timer_->Enabled(); }

void TCaptionTimer::SetEnabled(bool on) {
    if (on && closing_ && closing_()) on = false;
    if (timer_->Enabled() != on) timer_->SetEnabled(on);
}

int TCaptionTimer::Interval() const { return timer_->Interval(); }

void TCaptionTimer::Tick() {
    // A tick held by the worker across a stop, or one that arrives while a tick's own work runs
    // the event loop, is dropped.
    if (inTick_ || !timer_->Enabled()) return;
    if (closing_ && closing_()) {
        timer_->SetEnabled(false);
        return;
    }
    inTick_ = true;
    try {
        controller_.TimerTick();
    } catch (...) {
    }
    inTick_ = false;
    ++ticks_;
}
