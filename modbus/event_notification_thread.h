#pragma once
// The notification thread of a port: hands port events to the user-interface thread so that a
// command running on a worker thread never waits for an event handler. Requests run in the
// order in which they were posted.

#include "modbus/cross_event.h"
#include "modbus/cross_thread.h"
#include "modbus/message_spool.h"

#include <cstdint>
#include <functional>

class TEventNotificationThread : public TCrossThread {
public:
    static constexpr std::uint32_t ErrorEventMessage = 4;
    static constexpr std::uint32_t NotificationMessage = 5;

    // Starts the thread and waits until it runs; raises EStackError "The thread does not respond
    // to the INIT command" when it does not.
    TEventNotificationThread();
    ~TEventNotificationThread() override;

    // Queues a call; onUIThread chooses between the user-interface thread (the poster does not
    // wait) and this thread itself.
    void PostCall(std::uint32_t msgId, std::function<void()> call, bool onUIThread);
    // Terminates the thread and waits for its end; on the user-interface thread, calls queued
    // for it keep running meanwhile. Requests still queued are dropped.
    void Stop();

protected:
    void Execute() override;

private:
    void RunQueued();

    TMessageSpool Spool;
    TCrossEvent StartedEvent{true, false};
    TCrossEvent WakeEvent{true, false};
    TCrossEvent FinishedEvent{true, false};
};
