// Records and result codes shared by the protocol drivers and the tags.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// Values travel between tags and drivers as doubles, one per protocol word or tag element.
using TArrayOfDouble = std::vector<double>;

// Wall-clock time stamps of values and results.
using TDateTime = std::chrono::system_clock::time_point;

inline TDateTime Now() {
    return std::chrono::system_clock::now();
}

// Whole milliseconds from `from` to `to` (negative when `to` lies before `from`).
inline int64_t MillisecondsBetween(TDateTime from, TDateTime to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

enum TProtocolIOResult {
    ioNone,
    ioDriverError,
    ioCommError,
    ioOk,
    ioTimeOut,
    ioIllegalFunction,
    ioIllegalRegAddress,
    ioIllegalValue,
    ioPLCError,
    ioTagError,
    ioNullDriver,
    ioIllegalRequest,
    ioIllegalStationAddress,
    ioObjectNotExists,
    ioObjectAccessNotAllowed,
    ioIllegalMemoryAddress,
    ioUnknownError,
    ioEmptyPacket,
    ioPartialOk,
    ioAcknowledge,
    ioBusy,
    ioNACK,
    ioMemoryParityError,
    ioGatewayUnavailable,
    ioDeviceGatewayFailedToRespond,
    ioReadOnlyProtocol
};

// The text the application shows for a synchronous request that ended with `result`.
const char* ProtocolIOResultText(TProtocolIOResult result);

enum TTagCommand { tcScanRead, tcScanWrite, tcRead, tcWrite, tcInternalUpdate };

// Value type of a tag's elements.
enum TTagType {
    pttDefault,
    pttShortInt,
    pttByte,
    pttSmallInt,
    pttWord,
    pttLongInt,
    pttDWord,
    pttFloat,
    pttInt64,
    pttQWord,
    pttDouble
};

// Element size in bits of a type; pttDefault takes the protocol word size.
uint8_t TagTypeBits(TTagType type, uint8_t wordBits);

class TPLCTag;

// The result handler of a tag: its CommandResultCallBack, bound to the tag object. The target is
// kept apart from the code so that a driver can tell whose handler it holds.
struct TTagCommandCallBack {
    using TMethod = void (TPLCTag::*)(const TArrayOfDouble& values, TDateTime valuesTimeStamp,
                                      TTagCommand tagCommand, TProtocolIOResult lastResult,
                                      int32_t offSet);

    TPLCTag* Target = nullptr;
    TMethod Method = nullptr;

    explicit operator bool() const { return Target != nullptr && Method != nullptr; }
    void operator()(const TArrayOfDouble& values, TDateTime valuesTimeStamp, TTagCommand tagCommand,
                    TProtocolIOResult lastResult, int32_t offSet) const {
        (Target->*Method)(values, valuesTimeStamp, tagCommand, lastResult, offSet);
    }
    bool operator==(const TTagCommandCallBack&) const = default;
};

// One request of a tag, copied by value.
struct TTagRec {
    int32_t PLCRack = 0;
    int32_t PLCSlot = 0;
    int32_t PLCStation = 0;
    int32_t MemFile_DB = 0;
    int32_t MemAddress = 0;
    int32_t MemSubElement = 0;
    int32_t WordCount = 0;
    int32_t WordOffset = 0;
    int32_t OffSet = 0;
    std::string LongAddress;
    int32_t MemReadFunction = 0;
    int32_t MemWriteFunction = 0;
    int32_t Retries = 0;
    int32_t RefreshTime = 0;
    TTagCommandCallBack CallBack;
};

// What a driver answers from its cache for one request.
struct TScanReadRec {
    TArrayOfDouble Values;
    TDateTime ValuesTimeStamp{};
    uint32_t ReadsOK = 0;
    uint32_t ReadFaults = 0;
    TProtocolIOResult ReadResult = ioNone;
};

// What a driver needs of a tag attached for background scanning. The driver calls the first four
// and FillTagRec from its update thread while it holds its IoLock.
class IScanableTagInterface {
public:
    virtual ~IScanableTagInterface() = default;
    // RefreshTime minus the milliseconds since the tag's values were stamped.
    virtual int64_t TimeToNextValueRefresh() const = 0;
    // RefreshTime minus the milliseconds since the tag's last background read result.
    virtual int64_t TimeToNextScan() const = 0;
    virtual bool IsScanEnabled() const = 0;
    virtual bool OwnsCallBack(const TTagCommandCallBack& callBack) const = 0;
    virtual void SetScanEnabled(bool value) = 0;
    // A request for `count` elements (0: the whole tag) from element `offset`.
    virtual void FillTagRec(TTagRec& tagRec, int32_t count, int32_t offset) const = 0;
};
