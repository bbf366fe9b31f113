#include "modbus/cross_thread.h"

#include "modbus/platform/thread_support.h"
#include "modbus/ui_thread.h"

#include <chrono>

TCrossThread::~TCrossThread() {
    TerminateAndWait();
}

void TCrossThread::Start() {
    if (!Worker.joinable())
        Worker = std::thread([this] { Run(); });
}

void TCrossThread::WaitFor() {
    if (Worker.joinable() && Worker.get_id() != std::this_thread::get_id())
        Worker.join();
}

void TCrossThread::TerminateAndWait() {
    Terminate();
    WaitFor();
}

void TCrossThread::SetPriority(TThreadPriority priority) {
    RequestedPriority.store(priority);
    if (long id = NativeId.load())
        ApplyThreadPriority(id, priority);
}

void TCrossThread::Run() {
    NativeId.store(CurrentThreadNativeId());
    if (RequestedPriority.load() != tpNormal)
        ApplyThreadPriority(NativeId.load(), RequestedPriority.load());
    Execute();
}

void TCrossThread::Yield() {
    if (AvailableProcessors() < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    else
        std::this_thread::yield();
}

void TCrossThread::Synchronize(const std::function<void()>& call) {
    UIThread().RunAndWait(call);
}
