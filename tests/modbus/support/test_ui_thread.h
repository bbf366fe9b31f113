#pragma once
// A user-interface thread for tests: the thread that constructs it plays the user-interface
// thread and runs queued calls when the test pumps. It installs itself for the stack while it
// lives.

#include "modbus/ui_thread.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class TTestUIThread : public TUIThread {
public:
    TTestUIThread();
    ~TTestUIThread() override;

    bool IsCurrent() const override;
    void RunAndWait(const std::function<void()>& call) override;
    void Post(std::function<void()> call) override;
    void ProcessPending(int maxMs) override;

    // Runs queued calls until done() holds or timeoutMs have passed; returns done().
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
    // Runs what is queued now, without waiting.
    void PumpQueued();
    std::size_t ExecutedCalls() const;

private:
    bool RunOne(int waitMs);

    const std::thread::id Owner;
    mutable std::mutex Mutex;
    std::condition_variable Queued;
    std::deque<std::function<void()>> Calls;
    std::size_t Executed = 0;
};
