#include "modbus/cross_event.h"
#include "modbus/cross_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(CrossEvent, ManualResetStaysSignalledAutoResetLetsOneThrough) {
    TCrossEvent manual(true, true);
    EXPECT_EQ(wrSignaled, manual.WaitFor(0));
    EXPECT_EQ(wrSignaled, manual.WaitFor(0));
    EXPECT_TRUE(manual.ResetEvent());
    EXPECT_EQ(wrTimeout, manual.WaitFor(1));

    TCrossEvent automatic(false, false);
    EXPECT_EQ(wrTimeout, automatic.WaitFor(0));
    automatic.SetEvent();
    EXPECT_EQ(wrSignaled, automatic.WaitFor(0));
    EXPECT_EQ(wrTimeout, automatic.WaitFor(0));
}

TEST(CrossEvent, WakesAWaiterOnAnotherThread) {
    TCrossEvent event(false, false);
    std::atomic<int> result{-1};
    std::thread waiter([&] { result = event.WaitFor(TCrossEvent::INFINITE); });
    event.SetEvent();
    waiter.join();
    EXPECT_EQ(wrSignaled, result.load());
    EXPECT_FALSE(event.IsSet());
}

class TCountingThread : public TCrossThread {
public:
    ~TCountingThread() override { TerminateAndWait(); }
    std::atomic<int> Loops{0};
    TCrossEvent Running{true, false};

protected:
    void Execute() override {
        Running.SetEvent();
        while (!Terminated()) {
            ++Loops;
            std::this_thread::yield();
        }
    }
};

TEST(CrossThread, StartsSuspendedAndStopsWhenTerminated) {
    TCountingThread thread;
    thread.SetPriority(tpTimeCritical); // best effort: refused priorities are no failure
    EXPECT_FALSE(thread.Started());
    EXPECT_EQ(wrTimeout, thread.Running.WaitFor(10));
    thread.Start();
    EXPECT_EQ(wrSignaled, thread.Running.WaitFor(TCrossEvent::INFINITE));
    while (thread.Loops.load() < 100) // it keeps looping until told to stop
        std::this_thread::yield();
    thread.TerminateAndWait();
    const int loops = thread.Loops.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(loops, thread.Loops.load());
    EXPECT_EQ(tpTimeCritical, thread.Priority());
}

} // namespace
