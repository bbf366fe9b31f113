// The register ranges of one memory area of one device: a counted, sorted list of the addresses
// that attached tags use, grouped into ranges that the driver reads in one request each, and the
// cache of their values. The manager has no lock: the owning driver calls it only while it holds
// its IoLock.
#pragma once

#include "modbus/protocol_types.h"
#include "modbus/register_range.h"

#include <cstdint>
#include <vector>

struct TMemoryRec {
    int32_t Address = 0;
    int32_t UseCount = 0;
    int32_t ScanTime = 0;
};

using TRegisterRangeArray = std::vector<TRegisterRange>;

class TPLCMemoryManager {
public:
    TPLCMemoryManager() = default;
    virtual ~TPLCMemoryManager() = default;

    // Lists every address of address .. address + size * elementSize - 1 once more.
    virtual void RegisterAddresses(uint32_t address, uint32_t size, uint32_t elementSize,
                                   uint32_t scanTime);
    virtual void UnregisterAddresses(uint32_t address, uint32_t size, uint32_t elementSize);
    // Stores a device answer beginning at startAddress into every range it touches. Returns 0 when
    // every value found a range, -1 when some were dropped.
    virtual int32_t StoreValues(int32_t startAddress, int32_t ignoredCount,
                                const TArrayOfDouble& values, TProtocolIOResult result);
    // Copies cached values into `values` (sized by the caller); elements outside every range keep
    // what the caller put there, and so do result and updateTime when no range is touched.
    virtual void FetchValues(int32_t startAddress, int32_t count, int32_t ignoredElementSize,
                             TArrayOfDouble& values, TProtocolIOResult& result,
                             TDateTime& updateTime);
    virtual void MarkFailed(int32_t startAddress, int32_t count, int32_t elementSize,
                            TProtocolIOResult result);

    int32_t MaxHole() const { return FMaxHole; }
    void SetMaxHole(int32_t value);
    int32_t MaxBlockItems() const { return FMaxBlockItems; }
    void SetMaxBlockItems(int32_t value);
    int32_t Size() const;

    const std::vector<TMemoryRec>& Addresses() const { return FAddresses; }
    const TRegisterRangeArray& Blocks() const { return FBlocks; }
    TRegisterRangeArray& Blocks() { return FBlocks; }

private:
    int32_t FindAddress(int32_t address) const;
    void ListAddress(int32_t address, int32_t scanTime);
    void UnlistAddress(int32_t address);
    void RebuildBlocks();
    TRegisterRangeArray GroupAddresses() const;
    static const TRegisterRange* RangeOf(const TRegisterRangeArray& ranges, int32_t address);
    static TRegisterRange* RangeOf(TRegisterRangeArray& ranges, int32_t address);

    int32_t FMaxHole = 5;
    int32_t FMaxBlockItems = 0;
    std::vector<TMemoryRec> FAddresses;
    TRegisterRangeArray FBlocks;
};
