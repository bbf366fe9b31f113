#include "modbus/tag.h"

#include "modbus/io_types.h"
#include "modbus/ui_thread.h"

#include <cstdio>
#include <limits>
#include <random>
#include <stdexcept>

std::string NewTagGUID() {
    static thread_local std::mt19937_64 engine{std::random_device{}()};
    const uint64_t high = engine();
    uint64_t low = engine();
    // Version 4 (random) identifier with the standard variant bits.
    const uint64_t versioned = (high & ~uint64_t{0xF000}) | 0x4000;
    low = (low & ~(uint64_t{0xC} << 60)) | (uint64_t{0x8} << 60);
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}",
                  static_cast<unsigned>(versioned >> 32),
                  static_cast<unsigned>((versioned >> 16) & 0xFFFF),
                  static_cast<unsigned>(versioned & 0xFFFF), static_cast<unsigned>(low >> 48),
                  static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
    return text;
}

TTag::TTag() : FTagGUID(NewTagGUID()), FAliveToken(std::make_shared<TTag*>(this)) {}

TTag::~TTag() {
    DropQueuedChanges();
}

void TTag::SetRefreshTime(int32_t value) {
    if (value < 1)
        throw std::out_of_range("RefreshTime must lie between 1 and 2147483647!");
    FRefreshTime.store(value);
}

void TTag::SetTagGUID(const std::string& value) {
    if (FLoading)
        FTagGUID = value;
}

void TTag::EndLoad() {
    if (!FLoading)
        return;
    FLoading = false;
    Loaded();
}

void TTag::Step(uint32_t& counter, const TNotifyEvent& event) {
    if (counter == std::numeric_limits<uint32_t>::max())
        throw std::overflow_error("Tag counter overflow");
    ++counter;
    if (event)
        event(this);
}

void TTag::IncCommReadErrors() {
    Step(FCommReadErrors, OnReadFailed);
}
void TTag::IncCommReadsOK() {
    Step(FCommReadsOK, OnReadSucceeded);
}
void TTag::IncCommWriteErrors() {
    Step(FCommWriteErrors, OnWriteFailed);
}
void TTag::IncCommWritesOk() {
    Step(FCommWritesOk, OnWriteSucceeded);
}

void TTag::DecCommWritesOk() {
    if (FCommWritesOk > 0)
        --FCommWritesOk;
}

void TTag::RunAsyncChange(TChangeData data) {
    DeliverAsyncChange(data);
    ReleaseChangeData(data);
}

void TTag::DeliverAsyncChange(const TChangeData&) {}

TTag::TChangeData TTag::CaptureChangeData() {
    return nullptr;
}

void TTag::ReleaseChangeData(TChangeData& data) {
    data.reset();
}

void TTag::SignalValueChange() {
    if (OnValueChangeFirst)
        OnValueChangeFirst(this);
    if (OnValueChangeLast)
        OnValueChangeLast(this);
    if (!OnAsyncValueChange)
        return;
    std::weak_ptr<TTag*> alive = FAliveToken;
    UIThread().Post([alive, data = CaptureChangeData()]() mutable {
        if (auto token = alive.lock())
            (*token)->RunAsyncChange(std::move(data));
    });
}

void TTag::DropQueuedChanges() {
    FAliveToken.reset();
}
