#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "FrameTestSupport.h"
#include "controls/ThdTimer.h"
#include "platform/gui/UiThread.h"

namespace {

// Runs the event loop until `done` or about `ms` milliseconds have passed.
template <typename Pred>
void PumpUntil(Pred done, int ms)
{
    for (int waited = 0; waited < ms && !done(); waited += 10)
        WaitMs(10);
}

}  // namespace

class ThdTimerTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureFrameTestApp(); }
};

TEST_F(ThdTimerTest, TicksArriveOnTheUiThreadWithTheTimerAsSender)
{
    TThreadedTimer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_EQ(timer.ThreadPriority(), tpNormal);
    int ticks = 0;
    bool allOnUi = true;
    timer.SetInterval(20);
    timer.SetOnTimer([&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        allOnUi = allOnUi && IsUiThread();
        ++ticks;
    });
    PumpUntil([&] { return ticks >= 3; }, 3000);
    EXPECT_GE(ticks, 3);
    EXPECT_TRUE(allOnUi);
}

TEST_F(ThdTimerTest, IntervalZeroStopsAndHundredRestarts)
{
    TThreadedTimer timer;
    int ticks = 0;
    timer.SetInterval(20);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    PumpUntil([&] { return ticks >= 1; }, 3000);
    ASSERT_GE(ticks, 1);
    timer.SetInterval(0);
    WaitMs(30);  // lets a tick already handed over finish
    const int stopped = ticks;
    WaitMs(200);
    EXPECT_EQ(ticks, stopped);
    timer.SetInterval(100);
    PumpUntil([&] { return ticks > stopped; }, 3000);
    EXPECT_GT(ticks, stopped);
}

TEST_F(ThdTimerTest, AssigningOnTimerWhileDisabledStartsNothing)
{
    TThreadedTimer timer;
    timer.SetEnabled(false);
    timer.SetInterval(10);
    int ticks = 0;
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    WaitMs(150);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    timer.SetEnabled(true);
    PumpUntil([&] { return ticks >= 1; }, 3000);
    EXPECT_GE(ticks, 1);
}

TEST_F(ThdTimerTest, NoTickReachesTheHandlerAfterDisablingEvenWhenOneWasQueued)
{
    TThreadedTimer timer;
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    PumpUntil([&] { return ticks >= 1; }, 3000);
    // Keep the UI thread busy so a tick is queued, then stop before it is delivered.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    timer.SetEnabled(false);
    const int before = ticks;
    WaitMs(100);
    EXPECT_EQ(ticks, before);
}

TEST_F(ThdTimerTest, DestroyingTheTimerWhileATickWaitsOrFromItsHandlerDoesNotHang)
{
    {
        TThreadedTimer timer;
        timer.SetInterval(5);
        timer.SetOnTimer([](TObject*) {});
        // The worker is now waiting for the busy UI thread to run its tick.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    WaitMs(20);  // the queued tick runs against a dead timer and does nothing

    auto* timer = new TThreadedTimer;
    int ticks = 0;
    timer->SetInterval(10);
    timer->SetOnTimer([&](TObject*) {
        ++ticks;
        delete timer;
        timer = nullptr;
    });
    PumpUntil([&] { return timer == nullptr; }, 3000);
    EXPECT_EQ(timer, nullptr);
    WaitMs(50);
    EXPECT_EQ(ticks, 1);
}

TEST_F(ThdTimerTest, AnOwnerFreesItsTimer)
{
    auto* owner = new TComponent(nullptr);
    auto* timer = new TThreadedTimer(owner);
    int ticks = 0;
    timer->SetInterval(10);
    timer->SetOnTimer([&](TObject*) { ++ticks; });
    EXPECT_EQ(owner->ComponentCount(), 1);
    PumpUntil([&] { return ticks >= 1; }, 3000);
    delete owner;  // frees the timer, which joins its worker
    const int seen = ticks;
    WaitMs(60);
    EXPECT_EQ(ticks, seen);
}
