#pragma once

#include "modbus/ui_thread.h"

#include <QObject>

// The stack's user-interface thread over Qt's event loop: the thread that creates it is the
// user-interface thread. Calls from workers travel as queued invocations on a context object of
// that thread; RunAndWait blocks the worker until the call has run (exceptions are carried back).
// It installs itself for the stack while it lives.
class TQtUIThread : public TUIThread {
public:
    TQtUIThread();
    ~TQtUIThread() override;
    TQtUIThread(const TQtUIThread&) = delete;
    TQtUIThread& operator=(const TQtUIThread&) = delete;

    bool IsCurrent() const override;
    void RunAndWait(const std::function<void()>& call) override;
    void Post(std::function<void()> call) override;
    void ProcessPending(int maxMs) override;

private:
    QObject Context_;
};
