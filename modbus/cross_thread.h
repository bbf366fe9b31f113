#pragma once
// A worker thread created suspended and started explicitly. Its Execute() loops until
// Terminated() becomes true. A derived class must call TerminateAndWait() in its own destructor,
// because Execute() may use the derived object's members; the base destructor only joins as a
// last resort.

#include <atomic>
#include <functional>
#include <thread>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TCrossThread {
public:
    TCrossThread() = default;
    TCrossThread(const TCrossThread&) = delete;
    TCrossThread& operator=(const TCrossThread&) = delete;
    virtual ~TCrossThread();

    void Start();
    void Terminate() { TerminatedFlag.store(true); }
    bool Terminated() const { return TerminatedFlag.load(); }
    bool Started() const { return Worker.joinable(); }
    // Waits for the thread's end (no effect when it never started or was already joined).
    void WaitFor();
    void TerminateAndWait();

    // Best effort: a priority the system refuses is ignored. Applied when the thread starts, or
    // at once when it already runs.
    void SetPriority(TThreadPriority priority);
    TThreadPriority Priority() const { return RequestedPriority.load(); }

    // Gives up the processor: a 1 ms sleep when fewer than two processors are available to the
    // process, otherwise the rest of the time slice.
    static void Yield();
    // Runs the call on the user-interface thread and waits for it (see ui_thread.h).
    static void Synchronize(const std::function<void()>& call);

protected:
    virtual void Execute() = 0;

private:
    void Run();

    std::thread Worker;
    std::atomic<bool> TerminatedFlag{false};
    std::atomic<TThreadPriority> RequestedPriority{tpNormal};
    std::atomic<long> NativeId{0};
};
