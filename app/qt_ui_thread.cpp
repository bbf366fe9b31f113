#include "app/qt_ui_thread.h"

#include <QCoreApplication>
#include <QThread>
#include <exception>

TQtUIThread::TQtUIThread() {
    SetUIThread(this);
}

TQtUIThread::~TQtUIThread() {
    if (&UIThread() == this)
        SetUIThread(nullptr);
}

bool TQtUIThread::IsCurrent() const {
    return QThread::currentThread() == Context_.thread();
}

void TQtUIThread::RunAndWait(const std::function<void()>& call) {
    if (IsCurrent()) {
        call();
        return;
    }
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        &Context_,
        [&] {
            try {
                call();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
}

void TQtUIThread::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(&Context_, std::move(call), Qt::QueuedConnection);
}

void TQtUIThread::ProcessPending(int maxMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, maxMs);
}
