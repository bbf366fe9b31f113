#include "modbus/cross_event.h"

#include <chrono>

TCrossEvent::TCrossEvent(bool manualReset, bool initialState)
    : ManualReset(manualReset), Signaled(initialState) {}

bool TCrossEvent::SetEvent() {
    {
        std::lock_guard lock(Mutex);
        Signaled = true;
    }
    // Every waiter of a manual-reset event passes; an auto-reset event lets one through.
    if (ManualReset)
        Changed.notify_all();
    else
        Changed.notify_one();
    return true;
}

bool TCrossEvent::ResetEvent() {
    std::lock_guard lock(Mutex);
    Signaled = false;
    return true;
}

TWaitResult TCrossEvent::WaitFor(std::uint32_t timeoutMs) {
    std::unique_lock lock(Mutex);
    auto signaled = [this] { return Signaled; };
    if (timeoutMs == INFINITE)
        Changed.wait(lock, signaled);
    else if (!Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), signaled))
        return wrTimeout;
    if (!ManualReset)
        Signaled = false;
    return wrSignaled;
}

bool TCrossEvent::IsSet() const {
    std::lock_guard lock(Mutex);
    return Signaled;
}
