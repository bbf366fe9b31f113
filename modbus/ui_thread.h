#pragma once
// The user-interface thread as the stack sees it. The stack never owns an event loop: the
// application installs an implementation (over its GUI event loop), tests install a pump of
// their own. Port events and background results run on that thread, in the order posted.
//
// Without an installed implementation every call runs directly on the calling thread, which
// suits programs that use the stack without a user interface.

#include <functional>

class TUIThread {
public:
    virtual ~TUIThread() = default;
    // True on the user-interface thread itself.
    virtual bool IsCurrent() const = 0;
    // Runs the call on the user-interface thread and returns when it has finished; on that
    // thread it runs at once. An exception of the call is rethrown to the caller.
    virtual void RunAndWait(const std::function<void()>& call) = 0;
    // Queues the call for the user-interface thread and returns at once.
    virtual void Post(std::function<void()> call) = 0;
    // Called on the user-interface thread while it waits for a worker: runs queued calls for at
    // most maxMs milliseconds, so a worker blocked in RunAndWait can finish.
    virtual void ProcessPending(int maxMs) = 0;
};

// The installed implementation; the caller keeps it alive until it is replaced (nullptr
// restores the direct default).
void SetUIThread(TUIThread* thread);
TUIThread& UIThread();
