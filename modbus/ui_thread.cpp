#include "modbus/ui_thread.h"

#include <atomic>

namespace {

// Without a user interface, every thread counts as the user-interface thread.
class TDirectUIThread : public TUIThread {
public:
    bool IsCurrent() const override { return true; }
    void RunAndWait(const std::function<void()>& call) override { call(); }
    void Post(std::function<void()> call) override { call(); }
    void ProcessPending(int) override {}
};

TDirectUIThread DirectUIThread;
std::atomic<TUIThread*> Installed{nullptr};

} // namespace

void SetUIThread(TUIThread* thread) {
    Installed.store(thread);
}

TUIThread& UIThread() {
    TUIThread* thread = Installed.load();
    return thread ? *thread : DirectUIThread;
}
