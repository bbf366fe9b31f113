#include "modbus/connect_thread.h"

#include "modbus/ui_thread.h"

TConnectThread::~TConnectThread() {
    StopAndWait();
}

void TConnectThread::PostRequest(TRequest request) {
    Spool.PostMessage(request, 0, nullptr, false);
    Wake.SetEvent();
}

void TConnectThread::StopAndWait() {
    Terminate();
    Wake.SetEvent();
    if (Started()) {
        TUIThread& ui = UIThread();
        while (Finished.WaitFor(5) != wrSignaled)
            if (ui.IsCurrent())
                ui.ProcessPending(1);
    }
    WaitFor();
}

void TConnectThread::MarkReconnectPending() {
    if (!ReconnectPending)
        LastAttempt = Clock::now();
    ReconnectPending = true;
}

void TConnectThread::TakeRequests() {
    TSpoolMessage message;
    while (!Terminated() && Spool.TakeMessage(message)) {
        switch (message.MsgId) {
        case crConnect:
            ConnectRequested = true;
            if (OnConnect())
                ReconnectPending = false;
            else if (EnableAutoReconnect())
                MarkReconnectPending();
            break;
        case crConnectionLost:
            if (ConnectRequested)
                MarkReconnectPending();
            break;
        case crCancelReconnect:
            ReconnectPending = false;
            break;
        case crDisconnect:
            ConnectRequested = false;
            OnClose();
            ReconnectPending = false;
            break;
        }
    }
}

void TConnectThread::Execute() {
    LastAttempt = Clock::now();
    while (!Terminated()) {
        TakeRequests();
        if (ConnectRequested && !OnCheckConnection())
            MarkReconnectPending();
        const auto interval = std::chrono::milliseconds(ReconnectRetryInterval());
        if (EnableAutoReconnect() && ReconnectPending && Clock::now() - LastAttempt >= interval) {
            LastAttempt = Clock::now();
            if (OnReconnect())
                ReconnectPending = false;
        }
        // A posted request ends the pause early, so requests are served at once.
        Wake.WaitFor(250);
    }
    ConnectRequested = false;
    OnClose();
    ReconnectPending = false;
    Finished.SetEvent();
}
