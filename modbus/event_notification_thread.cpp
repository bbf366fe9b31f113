#include "modbus/event_notification_thread.h"

#include "modbus/io_types.h"
#include "modbus/ui_thread.h"

#include <memory>

TEventNotificationThread::TEventNotificationThread() {
    Start();
    if (StartedEvent.WaitFor(TCrossEvent::INFINITE) != wrSignaled)
        throw EStackError("The thread does not respond to the INIT command");
}

TEventNotificationThread::~TEventNotificationThread() {
    Stop();
}

void TEventNotificationThread::PostCall(std::uint32_t msgId, std::function<void()> call,
                                        bool onUIThread) {
    Spool.PostMessage(msgId, onUIThread ? 1 : 0,
                      std::make_shared<std::function<void()>>(std::move(call)), false);
    WakeEvent.SetEvent();
}

void TEventNotificationThread::Stop() {
    Terminate();
    WakeEvent.SetEvent();
    if (Started()) {
        // The thread may be waiting for the user-interface thread; when that is us, keep
        // serving it until the thread has finished.
        TUIThread& ui = UIThread();
        if (ui.IsCurrent())
            while (FinishedEvent.WaitFor(1) != wrSignaled)
                ui.ProcessPending(1);
    }
    WaitFor();
    Spool.Clear();
}

void TEventNotificationThread::Execute() {
    StartedEvent.SetEvent();
    // Every post and the stop set the wake-up event, so the thread sleeps until there is work
    // instead of polling its queue.
    while (!Terminated()) {
        WakeEvent.WaitFor(TCrossEvent::INFINITE);
        WakeEvent.ResetEvent();
        RunQueued();
    }
    FinishedEvent.SetEvent();
}

void TEventNotificationThread::RunQueued() {
    TSpoolMessage message;
    while (!Terminated() && Spool.TakeMessage(message, ErrorEventMessage, NotificationMessage)) {
        auto call = std::static_pointer_cast<std::function<void()>>(message.LParam);
        try {
            if (message.WParam != 0)
                UIThread().RunAndWait(*call);
            else
                (*call)();
        } catch (...) {
            // A failing event handler must not end event delivery for the port.
        }
    }
}
