#include "controls/ThdTimer.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/gui/Services.h"
#include "platform/gui/UiThread.h"

// State shared by the timer, its worker and the tick calls queued on the UI thread. It outlives
// the timer while a queued call still refers to it.
struct TTimerShared {
    std::mutex Lock;
    std::condition_variable Wake;
    bool Running = false;      // ticking (the resumed state)
    bool Terminate = false;
    bool Alive = true;         // the timer exists; read and written on the UI thread only
    std::atomic<uint16_t> Interval{1000};
    std::atomic<int> Priority{tpNormal};
    TThreadedTimer* Owner = nullptr;
};

class TTimerThread {
public:
    explicit TTimerThread(TThreadedTimer* owner) : shared_(std::make_shared<TTimerShared>())
    {
        shared_->Owner = owner;
        worker_ = std::thread([s = shared_]() { Execute(s); });
    }

    ~TTimerThread()
    {
        {
            std::lock_guard<std::mutex> g(shared_->Lock);
            shared_->Terminate = true;
            shared_->Running = false;
        }
        shared_->Alive = false;
        shared_->Wake.notify_all();
        if (worker_.joinable())
            worker_.join();
    }

    void SetRunning(bool running)
    {
        {
            std::lock_guard<std::mutex> g(shared_->Lock);
            shared_->Running = running;
        }
        shared_->Wake.notify_all();
    }

    bool Running()
    {
        std::lock_guard<std::mutex> g(shared_->Lock);
        return shared_->Running;
    }

    TTimerShared& Shared() { return *shared_; }

private:
    static void ApplyPriority(int priority)
    {
        // Niceness of this thread; raising it above normal needs privileges and is skipped
        // silently when refused.
        static const int nice[] = {19, 10, 5, 0, -5, -10, -20};
        const int value = nice[priority >= tpIdle && priority <= tpTimeCritical ? priority : tpNormal];
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), value);
    }

    static void Execute(std::shared_ptr<TTimerShared> s)
    {
        ApplyPriority(s->Priority.load());
        std::unique_lock<std::mutex> lock(s->Lock);
        for (;;) {
            s->Wake.wait(lock, [&] { return s->Running || s->Terminate; });
            if (s->Terminate)
                return;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(s->Interval.load());
            // The sleep is not cut short by a stop: it runs on in real time.
            if (s->Wake.wait_until(lock, deadline, [&] { return s->Terminate; }))
                return;
            s->Wake.wait(lock, [&] { return s->Running || s->Terminate; });
            if (s->Terminate)
                return;
            // Hand the tick to the UI thread and wait until it ran (or the timer goes away).
            auto done = std::make_shared<bool>(false);
            lock.unlock();
            PostToUiThread([s, done]() {
                bool fire;
                {
                    std::lock_guard<std::mutex> g(s->Lock);
                    fire = s->Alive && s->Running && !s->Terminate;
                }
                if (fire)
                    s->Owner->Timer();
                {
                    std::lock_guard<std::mutex> g(s->Lock);
                    *done = true;
                }
                s->Wake.notify_all();
            });
            lock.lock();
            s->Wake.wait(lock, [&] { return *done || s->Terminate; });
            if (s->Terminate)
                return;
        }
    }

    std::shared_ptr<TTimerShared> shared_;
    std::thread worker_;
};

TThreadedTimer::TThreadedTimer(TComponent* owner) : TComponent(owner)
{
    thread_ = std::make_unique<TTimerThread>(this);
    UpdateTimer();
}

TThreadedTimer::~TThreadedTimer()
{
    enabled_ = false;
    UpdateTimer();
    thread_.reset();
}

void TThreadedTimer::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    UpdateTimer();
}

void TThreadedTimer::SetInterval(uint16_t value)
{
    if (value == interval_)
        return;
    interval_ = value;
    UpdateTimer();
}

void TThreadedTimer::SetOnTimer(TNotifyEvent handler)
{
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TThreadedTimer::SetThreadPriority(TThreadPriority value)
{
    if (value == priority_)
        return;
    priority_ = value;
    UpdateTimer();
}

void TThreadedTimer::UpdateTimer()
{
    if (!thread_)
        return;
    TTimerShared& s = thread_->Shared();
    s.Interval = interval_;
    s.Priority = priority_;
    if (thread_->Running())
        thread_->SetRunning(false);
    if (interval_ != 0 && enabled_ && onTimer_ && !thread_->Running())
        thread_->SetRunning(true);
}

void TThreadedTimer::Timer()
{
    if (!onTimer_)
        return;
    // A handler's exception must not cross the event loop.
    try {
        const TNotifyEvent handler = onTimer_;
        handler(this);
    } catch (const std::exception& e) {
        HandleException(e.what());
    } catch (...) {
        HandleException("");
    }
}
