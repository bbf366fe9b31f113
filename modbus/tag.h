// TTag: the base of every tag, with its value-change and update notifications, communication
// counters and identity. Tags belong to the user-interface thread; only the members that a driver's
// update thread reads (see TPLCTag) are safe to touch from elsewhere.
#pragma once

#include "modbus/protocol_types.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TTag;

using TNotifyEvent = std::function<void(TTag* sender)>;
using TASyncValueChangeNotify = std::function<void(TTag* sender, const TArrayOfDouble& value)>;

// A tag that can give itself a new identifier when its own clashes with another tag's.
class ITagIdentity {
public:
    virtual ~ITagIdentity() = default;
    virtual void RenewTagGUID() = 0;
};

// A fresh identifier in its usual text form: 38 characters with braces and hyphens.
std::string NewTagGUID();

class TTag {
public:
    TTag();
    TTag(const TTag&) = delete;
    TTag& operator=(const TTag&) = delete;
    virtual ~TTag();

    uint32_t CommReadErrors() const { return FCommReadErrors; }
    uint32_t CommReadsOK() const { return FCommReadsOK; }
    uint32_t CommWriteErrors() const { return FCommWriteErrors; }
    uint32_t CommWritesOk() const { return FCommWritesOk; }

    // Scan period in milliseconds, 1 to 2147483647; UpdateTime is the stored name of the same
    // value.
    int32_t RefreshTime() const { return FRefreshTime.load(); }
    virtual void SetRefreshTime(int32_t value);
    int32_t UpdateTime() const { return RefreshTime(); }
    void SetUpdateTime(int32_t value) { SetRefreshTime(value); }

    const std::string& TagGUID() const { return FTagGUID; }
    // Accepted only while stored settings are being read.
    void SetTagGUID(const std::string& value);

    // The component's general-purpose number.
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t value) { FTag = value; }

    // Stored settings: between BeginLoad and EndLoad properties are only stored; EndLoad runs the
    // after-loading step.
    void BeginLoad() { FLoading = true; }
    void EndLoad();
    bool Loading() const { return FLoading; }
    bool Destroying() const { return FDestroying; }

    TNotifyEvent OnValueChangeFirst;
    TNotifyEvent OnValueChangeLast;
    TNotifyEvent& OnValueChange = OnValueChangeLast;
    TASyncValueChangeNotify OnAsyncValueChange;
    TNotifyEvent OnUpdate;
    TNotifyEvent OnReadSucceeded;
    TNotifyEvent OnReadFailed;
    TNotifyEvent OnWriteSucceeded;
    TNotifyEvent OnWriteFailed;

protected:
    using TChangeData = std::shared_ptr<void>;

    // The queued value change: RunAsyncChange runs on the user-interface thread with the data
    // captured when the change happened.
    virtual void RunAsyncChange(TChangeData data);
    virtual void DeliverAsyncChange(const TChangeData& data);
    virtual TChangeData CaptureChangeData();
    virtual void ReleaseChangeData(TChangeData& data);

    virtual void Loaded() {}

    // Counter steps raise std::overflow_error instead of wrapping, and call the matching event.
    void IncCommReadErrors();
    void IncCommReadsOK();
    void IncCommWriteErrors();
    void IncCommWritesOk();
    void DecCommWritesOk();

    // OnValueChangeFirst, OnValueChangeLast, then the queued OnAsyncValueChange.
    void SignalValueChange();
    void AssignTagGUID(const std::string& value) { FTagGUID = value; }
    void SetDestroying() { FDestroying = true; }
    // Queued value changes that have not run yet are dropped.
    void DropQueuedChanges();

    bool FFirstChange = true;

private:
    void Step(uint32_t& counter, const TNotifyEvent& event);

    uint32_t FCommReadErrors = 0;
    uint32_t FCommReadsOK = 0;
    uint32_t FCommWriteErrors = 0;
    uint32_t FCommWritesOk = 0;
    std::atomic<int32_t> FRefreshTime{1000};
    std::string FTagGUID;
    int32_t FTag = 0;
    bool FLoading = false;
    bool FDestroying = false;
    // Queued calls hold a weak reference to this token; a destroyed tag lets it go.
    std::shared_ptr<TTag*> FAliveToken;
};
