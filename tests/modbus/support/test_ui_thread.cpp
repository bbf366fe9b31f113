#include "test_ui_thread.h"

#include <chrono>
#include <exception>
#include <memory>

TTestUIThread::TTestUIThread() : Owner(std::this_thread::get_id()) {
    SetUIThread(this);
}

TTestUIThread::~TTestUIThread() {
    SetUIThread(nullptr);
    PumpQueued(); // never leave a worker blocked in RunAndWait
}

bool TTestUIThread::IsCurrent() const {
    return std::this_thread::get_id() == Owner;
}

void TTestUIThread::RunAndWait(const std::function<void()>& call) {
    if (IsCurrent()) {
        call();
        return;
    }
    struct TState {
        std::mutex Mutex;
        std::condition_variable Finished;
        bool Done = false;
        std::exception_ptr Error;
    };
    auto state = std::make_shared<TState>();
    Post([state, &call] {
        std::exception_ptr error;
        try {
            call();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(state->Mutex);
        state->Error = error;
        state->Done = true;
        state->Finished.notify_all();
    });
    std::unique_lock lock(state->Mutex);
    state->Finished.wait(lock, [&] { return state->Done; });
    if (state->Error)
        std::rethrow_exception(state->Error);
}

void TTestUIThread::Post(std::function<void()> call) {
    std::lock_guard lock(Mutex);
    Calls.push_back(std::move(call));
    Queued.notify_all();
}

bool TTestUIThread::RunOne(int waitMs) {
    std::function<void()> call;
    {
        std::unique_lock lock(Mutex);
        if (!Queued.wait_for(lock, std::chrono::milliseconds(waitMs),
                             [this] { return !Calls.empty(); }))
            return false;
        call = std::move(Calls.front());
        Calls.pop_front();
    }
    call();
    std::lock_guard lock(Mutex);
    ++Executed;
    return true;
}

void TTestUIThread::ProcessPending(int maxMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
    while (RunOne(0) && std::chrono::steady_clock::now() < end) {
    }
}

void TTestUIThread::PumpQueued() {
    while (RunOne(0)) {
    }
}

bool TTestUIThread::PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        RunOne(1);
    }
    return true;
}

std::size_t TTestUIThread::ExecutedCalls() const {
    std::lock_guard lock(Mutex);
    return Executed;
}
