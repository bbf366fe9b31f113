#include "modbus/plc_memory_manager.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

// First and last address of a registration; both must be representable as listed addresses.
std::pair<int32_t, int32_t> AddressSpan(uint32_t address, uint32_t size, uint32_t elementSize) {
    if (size == 0 || elementSize == 0)
        throw std::invalid_argument("The size must be at least 1!");
    const uint64_t last = uint64_t{address} + uint64_t{size} * elementSize - 1;
    if (last > uint64_t{std::numeric_limits<int32_t>::max()})
        throw std::overflow_error("The address range does not fit in 32 bits!");
    return {static_cast<int32_t>(address), static_cast<int32_t>(last)};
}

bool Intersects(const TRegisterRange& range, int64_t first, int64_t last) {
    return first <= range.AddressEnd() && last >= range.AddressStart();
}

} // namespace

int32_t TPLCMemoryManager::FindAddress(int32_t address) const {
    if (FAddresses.empty())
        return -1;
    size_t lo = 0;
    size_t hi = FAddresses.size() - 1;
    while (lo != hi) {
        const size_t mid = lo + (hi - lo + 1) / 2;
        if (address < FAddresses[mid].Address)
            hi = mid - 1;
        else
            lo = mid;
    }
    return FAddresses[lo].Address == address ? static_cast<int32_t>(lo) : -1;
}

void TPLCMemoryManager::ListAddress(int32_t address, int32_t scanTime) {
    int32_t index = FindAddress(address);
    if (index < 0) {
        auto pos = std::lower_bound(
            FAddresses.begin(), FAddresses.end(), address,
            [](const TMemoryRec& rec, int32_t value) { return rec.Address < value; });
        FAddresses.insert(pos, TMemoryRec{address, 1, scanTime});
        return;
    }
    TMemoryRec& rec = FAddresses[static_cast<size_t>(index)];
    ++rec.UseCount;
    rec.ScanTime = std::min(rec.ScanTime, scanTime);
}

void TPLCMemoryManager::UnlistAddress(int32_t address) {
    const int32_t index = FindAddress(address);
    if (index < 0)
        return;
    if (--FAddresses[static_cast<size_t>(index)].UseCount <= 0)
        FAddresses.erase(FAddresses.begin() + index);
}

void TPLCMemoryManager::RegisterAddresses(uint32_t address, uint32_t size, uint32_t elementSize,
                                          uint32_t scanTime) {
    const auto [first, last] = AddressSpan(address, size, elementSize);
    const int32_t scan =
        static_cast<int32_t>(std::min<uint32_t>(scanTime, std::numeric_limits<int32_t>::max()));
    const size_t listedBefore = FAddresses.size();
    for (int64_t a = first; a <= last; ++a)
        ListAddress(static_cast<int32_t>(a), scan);
    if (FAddresses.size() != listedBefore)
        RebuildBlocks();
}

void TPLCMemoryManager::UnregisterAddresses(uint32_t address, uint32_t size, uint32_t elementSize) {
    const auto [first, last] = AddressSpan(address, size, elementSize);
    const size_t listedBefore = FAddresses.size();
    for (int64_t a = first; a <= last; ++a)
        UnlistAddress(static_cast<int32_t>(a));
    if (FAddresses.size() != listedBefore)
        RebuildBlocks();
}

void TPLCMemoryManager::SetMaxHole(int32_t value) {
    if (value == FMaxHole)
        return;
    FMaxHole = value;
    RebuildBlocks();
}

void TPLCMemoryManager::SetMaxBlockItems(int32_t value) {
    if (value == FMaxBlockItems)
        return;
    FMaxBlockItems = value;
    RebuildBlocks();
}

int32_t TPLCMemoryManager::Size() const {
    int32_t total = 0;
    for (const TRegisterRange& range : FBlocks)
        total += range.Size();
    return total;
}

TRegisterRangeArray TPLCMemoryManager::GroupAddresses() const {
    TRegisterRangeArray ranges;
    if (FAddresses.empty())
        return ranges;
    int32_t start = 0, end = 0, scan = 0, items = 0;
    int64_t limit = 0;
    auto open = [&](const TMemoryRec& rec) {
        start = end = rec.Address;
        limit = int64_t{FMaxHole} + rec.Address + 1;
        scan = rec.ScanTime;
        items = 1;
    };
    auto close = [&] {
        ranges.emplace_back(start, end);
        ranges.back().SetScanTime(static_cast<uint32_t>(std::max(scan, 0)));
    };
    open(FAddresses.front());
    for (size_t i = 1; i < FAddresses.size(); ++i) {
        const TMemoryRec& rec = FAddresses[i];
        if (rec.Address > limit || (FMaxBlockItems != 0 && items >= FMaxBlockItems)) {
            close();
            open(rec);
            continue;
        }
        end = rec.Address;
        limit = int64_t{FMaxHole} + rec.Address + 1;
        scan = std::min(scan, rec.ScanTime);
        ++items;
    }
    close();
    return ranges;
}

const TRegisterRange* TPLCMemoryManager::RangeOf(const TRegisterRangeArray& ranges,
                                                 int32_t address) {
    auto it = std::upper_bound(
        ranges.begin(), ranges.end(), address,
        [](int32_t value, const TRegisterRange& range) { return value < range.AddressStart(); });
    if (it == ranges.begin())
        return nullptr;
    --it;
    return address <= it->AddressEnd() ? &*it : nullptr;
}

TRegisterRange* TPLCMemoryManager::RangeOf(TRegisterRangeArray& ranges, int32_t address) {
    return const_cast<TRegisterRange*>(
        RangeOf(static_cast<const TRegisterRangeArray&>(ranges), address));
}

// New ranges inherit the cached value of every address they keep, and the age of the oldest data
// they inherit; their statistics start again.
void TPLCMemoryManager::RebuildBlocks() {
    TRegisterRangeArray ranges = GroupAddresses();
    for (const TMemoryRec& rec : FAddresses) {
        const TRegisterRange* oldRange = RangeOf(FBlocks, rec.Address);
        TRegisterRange* newRange = oldRange ? RangeOf(ranges, rec.Address) : nullptr;
        if (newRange == nullptr)
            continue;
        newRange->SetValue(rec.Address - newRange->AddressStart(),
                           oldRange->Value(rec.Address - oldRange->AddressStart()));
        newRange->SetLastUpdate(std::min(newRange->LastUpdate(), oldRange->LastUpdate()));
    }
    FBlocks = std::move(ranges);
}

int32_t TPLCMemoryManager::StoreValues(int32_t startAddress, int32_t /*ignoredCount*/,
                                       const TArrayOfDouble& values, TProtocolIOResult result) {
    const int64_t n = static_cast<int64_t>(values.size());
    const int64_t s = startAddress;
    const int64_t e = s + n - 1;
    int64_t stored = 0;
    for (TRegisterRange& range : FBlocks) {
        if (stored >= n)
            break;
        if (!Intersects(range, s, e))
            continue;
        const int64_t first = std::max<int64_t>(s, range.AddressStart());
        const int64_t count = std::min<int64_t>(e, range.AddressEnd()) - first + 1;
        range.MarkUpdated();
        range.SetLastOutcome(result);
        range.SetReadSuccess(range.ReadSuccess() + 1);
        for (int64_t i = 0; i < count; ++i)
            range.SetValue(static_cast<int32_t>(first - range.AddressStart() + i),
                           values[static_cast<size_t>(first - s + i)]);
        stored += count;
    }
    return stored == n ? 0 : -1;
}

void TPLCMemoryManager::FetchValues(int32_t startAddress, int32_t count,
                                    int32_t /*ignoredElementSize*/, TArrayOfDouble& values,
                                    TProtocolIOResult& result, TDateTime& updateTime) {
    const int64_t wanted = std::min<int64_t>(count, static_cast<int64_t>(values.size()));
    const int64_t s = startAddress;
    const int64_t e = s + wanted - 1;
    int64_t copied = 0;
    for (const TRegisterRange& range : FBlocks) {
        if (!Intersects(range, s, e))
            continue;
        const int64_t first = std::max<int64_t>(s, range.AddressStart());
        const int64_t n = std::min<int64_t>(e, range.AddressEnd()) - first + 1;
        result = range.LastOutcome();
        updateTime = range.LastUpdate();
        for (int64_t i = 0; i < n; ++i)
            values[static_cast<size_t>(first - s + i)] =
                range.Value(static_cast<int32_t>(first - range.AddressStart() + i));
        copied += n;
        if (copied >= static_cast<int64_t>(values.size()))
            break;
    }
}

void TPLCMemoryManager::MarkFailed(int32_t startAddress, int32_t count, int32_t elementSize,
                                   TProtocolIOResult result) {
    const int64_t s = startAddress;
    const int64_t e = s + int64_t{count} * elementSize - 1;
    for (TRegisterRange& range : FBlocks) {
        if (!Intersects(range, s, e))
            continue;
        range.SetReadFaults(range.ReadFaults() + 1);
        range.SetLastOutcome(result);
    }
}
