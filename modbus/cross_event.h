#pragma once
// An event object in the manner of the operating system's events: manual-reset (stays signalled
// until reset) or auto-reset (one successful wait consumes the signal). Any thread may set,
// reset or wait; the state is guarded by the object's own mutex.

#include <condition_variable>
#include <cstdint>
#include <mutex>

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class TCrossEvent {
public:
    static constexpr std::uint32_t INFINITE = 0xFFFFFFFFu;

    TCrossEvent(bool manualReset, bool initialState);
    TCrossEvent(const TCrossEvent&) = delete;
    TCrossEvent& operator=(const TCrossEvent&) = delete;

    bool SetEvent();
    bool ResetEvent();
    // Waits until signalled or until timeoutMs have passed (INFINITE: no limit).
    TWaitResult WaitFor(std::uint32_t timeoutMs);
    bool IsSet() const;

private:
    const bool ManualReset;
    bool Signaled;
    mutable std::mutex Mutex;
    std::condition_variable Changed;
};
