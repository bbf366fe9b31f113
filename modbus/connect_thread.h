#pragma once
// TConnectThread: connects a TCP/UDP port in the background and keeps the connection alive by
// reconnecting at a fixed interval after a failure or a loss. It talks to its port only through
// the handlers below (set before Start) and its request queue; any thread may post requests.

#include "modbus/cross_event.h"
#include "modbus/cross_thread.h"
#include "modbus/message_spool.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

class TConnectThread : public TCrossThread {
public:
    enum TRequest : std::uint32_t {
        crConnect = 0,
        crConnectionLost = 1, // also: a connect failed
        crCancelReconnect = 2,
        crDisconnect = 3,
    };

    std::function<bool()> OnConnect;
    std::function<bool()> OnReconnect; // close, then connect
    std::function<void()> OnClose;
    std::function<bool()> OnCheckConnection;

    ~TConnectThread() override;

    void PostRequest(TRequest request);
    bool EnableAutoReconnect() const { return AutoReconnect.load(); }
    void SetEnableAutoReconnect(bool value) { AutoReconnect.exchange(value); }
    std::int32_t ReconnectRetryInterval() const { return RetryInterval.load(); }
    void SetReconnectRetryInterval(std::int32_t ms) { RetryInterval.exchange(ms); }
    // Ends the loop (which closes the connection) and waits; on the user-interface thread, calls
    // queued for it keep running meanwhile.
    void StopAndWait();

protected:
    void Execute() override;

private:
    using Clock = std::chrono::steady_clock;

    void TakeRequests();
    void MarkReconnectPending();

    TMessageSpool Spool;
    TCrossEvent Wake{false, false};
    TCrossEvent Finished{true, false};
    std::atomic<bool> AutoReconnect{true};
    std::atomic<std::int32_t> RetryInterval{5000};
    // Owned by the thread's loop.
    bool ConnectRequested = false;
    bool ReconnectPending = false;
    Clock::time_point LastAttempt;
};
