#include "simulated_device.h"

#include "sim_value_encoder.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>

namespace {

constexpr int FirstHoldingRegister = 40001;
constexpr uint16_t BusSettingsCount = 4;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    return text;
}

// "R:B" or "O:C": two integers around a colon.
bool SplitPair(const std::string& text, int& first, int& second) {
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    int64_t a = 0;
    int64_t b = 0;
    if (!TSimValueEncoder::ParseInteger(text.substr(0, colon), a) ||
        !TSimValueEncoder::ParseInteger(text.substr(colon + 1), b))
        return false;
    first = static_cast<int>(a);
    second = static_cast<int>(b);
    return true;
}

using TLabels = std::vector<std::pair<std::string, int64_t>>;

// A row applies when it has no condition, or when its node's label of that name (letter case
// aside, first one wins) holds one of the values of its list.
bool ConditionHolds(const TTemplateRow& row, const TLabels& labels) {
    if (row.cond.empty())
        return true;
    const auto label = std::find_if(labels.begin(), labels.end(), [&](const auto& entry) {
        return Lower(entry.first) == Lower(row.cond);
    });
    if (label == labels.end())
        return false;
    std::string items = row.vallist;
    std::replace_if(
        items.begin(), items.end(), [](char c) { return c == ',' || c == '"'; }, ' ');
    std::istringstream in(items);
    for (std::string item; in >> item;)
        if (item == std::to_string(label->second))
            return true;
    return false;
}

std::map<int64_t, TLabels> FactoryLabels(const std::vector<TTemplateRow>& rows) {
    std::map<int64_t, TLabels> labels;
    for (const TTemplateRow& row : rows) {
        if (row.label.empty())
            continue;
        int64_t value = 0;
        TSimValueEncoder::ParseInteger(row.factory, value);
        labels[row.nodeId].emplace_back(row.label, value);
    }
    return labels;
}

} // namespace

TSimulatedDevice::TSimulatedDevice(const TDeviceTemplate& deviceTemplate, uint8_t address,
                                   std::string rfid, std::string maker)
    : deviceTemplate(deviceTemplate), address(address), rfid(std::move(rfid)),
      maker(std::move(maker)) {
    BuildParameters(false);
    for (const TDiagRow& row : deviceTemplate.DiagRows()) {
        image.Map(static_cast<uint16_t>(row.modreg - FirstHoldingRegister), row.regcnt, false);
        liveValues.emplace_back(row.modreg, row.regcnt, row.type, row.live, row.offset, row.factor);
    }
    BuildIdentification();
    BuildFixedRegisters();
    UpdateLive(0);
}

// Every parameter row's registers exist; the rows that apply under the factory labels hold
// their encoded factory values.
void TSimulatedDevice::BuildParameters(bool writableOnly) {
    auto labels = FactoryLabels(deviceTemplate.Rows());
    for (const TTemplateRow& row : deviceTemplate.Rows()) {
        const bool writable = (row.access & 2) != 0;
        if (row.modreg <= FirstHoldingRegister - 1 || (writableOnly && !writable))
            continue;
        int start = row.modreg - FirstHoldingRegister;
        int offset = 0;
        int byteCount = row.regcnt * 2;
        int registers = row.regcnt;
        if (row.block != "0") {
            int blockRegister = 0;
            int blockBytes = 0;
            if (!SplitPair(row.block, blockRegister, blockBytes) ||
                !SplitPair(row.byteofs, offset, byteCount))
                continue;
            start = blockRegister - FirstHoldingRegister;
            registers = (blockBytes + 1) / 2;
        }
        const auto bytes = TSimValueEncoder::Encode(row.type, row.factory, byteCount);
        registers = std::max(registers, (offset + static_cast<int>(bytes.size()) + 1) / 2);
        if (writableOnly && start >= AddressRegister && start < AddressRegister + BusSettingsCount)
            continue; // a factory reset keeps the device reachable where it is
        image.Map(static_cast<uint16_t>(start), registers, writable);
        if (ConditionHolds(row, labels[row.nodeId]))
            image.PutBytes(static_cast<uint16_t>(start), offset, bytes);
        if (!writableOnly && (row.access & 3) == 2 && row.type == "SELECT_NOYES")
            factoryResetRegisters.push_back(static_cast<uint16_t>(start));
    }
}

void TSimulatedDevice::BuildIdentification() {
    const auto typeCode = static_cast<uint16_t>(std::stoul(deviceTemplate.TypeCode(), nullptr, 16));
    const auto version = static_cast<uint16_t>(std::stoul(deviceTemplate.Version(), nullptr, 16));
    image.Map(TypeCodeRegister, 14, false);
    image.Set(TypeCodeRegister, typeCode);
    image.Set(TypeCodeRegister + 1, 'A'); // OEM 0, hardware version A
    PutText(IdentRegister, rfid, 24);
    image.Map(FirmwareRegister, 22, false);
    image.Set(FirmwareRegister, version);
    image.Set(FirmwareRegister + 1, 0);
    PutText(MakerRegister, maker, 16);
    PutText(NameRegister, deviceTemplate.ModelName(), 24);
}

void TSimulatedDevice::BuildFixedRegisters() {
    image.Map(ParameterSetRegister, 1, false);
    image.Set(ParameterSetRegister, 0); // parameter set 0: open for the PC
    image.Map(AddressRegister, BusSettingsCount, true);
    image.Set(AddressRegister, address);
    image.Map(TagRegister, 8, true);
    if (HasBusDiagnostics()) {
        image.Map(CounterResetRegister, 1, true);
        image.Map(CountersRegister, 19, false);
    }
    image.Map(StoreRegister, 1, true);
}

// Texts are padded with zero bytes, which a reader skips.
void TSimulatedDevice::PutText(uint16_t at, const std::string& text, int bytes) {
    std::vector<uint8_t> data(static_cast<size_t>(bytes), 0);
    std::copy_n(text.begin(), std::min(text.size(), data.size()), data.begin());
    image.PutBytes(at, 0, data);
}

void TSimulatedDevice::UpdateLive(double t) {
    double primary = 0;
    const auto first = std::find_if(liveValues.begin(), liveValues.end(),
                                    [](const TLiveValue& value) { return value.IsPrimary(); });
    if (first != liveValues.end())
        primary = first->EngineeringValue(t);
    for (const TLiveValue& value : liveValues)
        value.Apply(t, primary, image);
}

void TSimulatedDevice::CountTelegram(bool addressed, bool failed) {
    ++totalTelegrams;
    if (addressed)
        ++telegrams;
    if (failed)
        ++errors;
}

void TSimulatedDevice::CountError() {
    ++errors;
}

// Only these firmware families keep bus counters; the others do not have the registers.
bool TSimulatedDevice::HasBusDiagnostics() const {
    static const std::set<std::string> types = {"0106", "0008", "000D", "0006", "0007", "0009"};
    return types.contains(deviceTemplate.TypeCode());
}

void TSimulatedDevice::PublishBusState(const std::array<uint16_t, 16>& addressMap) {
    if (!HasBusDiagnostics())
        return;
    image.Set(CountersRegister, telegrams);
    image.Set(CountersRegister + 1, totalTelegrams);
    image.Set(CountersRegister + 2, errors);
    for (size_t w = 0; w < addressMap.size(); ++w)
        image.Set(static_cast<uint16_t>(CountersRegister + 3 + w), addressMap[w]);
}

int TSimulatedDevice::Read(uint16_t at, int count, std::vector<uint16_t>& values) const {
    if (!image.IsMapped(at, count))
        return 2;
    values = image.Read(at, count);
    return 0;
}

int TSimulatedDevice::CheckWrite(uint16_t at, const std::vector<uint16_t>& values) const {
    const int count = static_cast<int>(values.size());
    if (!image.IsWritable(at, count))
        return 2;
    const auto valueAt = [&](uint16_t reg) -> const uint16_t* {
        return reg >= at && reg < at + count ? &values[reg - at] : nullptr;
    };
    if (const uint16_t* newAddress = valueAt(AddressRegister))
        if (*newAddress < 1 || *newAddress > 247)
            return 3;
    if (const uint16_t* reset = valueAt(CounterResetRegister))
        if (*reset != 0)
            return 3;
    return 0;
}

void TSimulatedDevice::Write(uint16_t at, const std::vector<uint16_t>& values) {
    bool restore = false;
    for (size_t i = 0; i < values.size(); ++i) {
        const auto reg = static_cast<uint16_t>(at + i);
        image.Set(reg, values[i]);
        if (reg == CounterResetRegister) {
            telegrams = totalTelegrams = errors = 0;
            Log("counters reset");
        } else if (reg == StoreRegister && values[i] == StoreCommand) {
            Log("parameters stored");
        } else if (reg == AddressRegister && values[i] != address) {
            Log("address changed to " + std::to_string(values[i]));
            address = static_cast<uint8_t>(values[i]);
        } else if (IsFactoryResetRegister(reg) && values[i] == 1) {
            restore = true;
        }
    }
    if (restore) {
        BuildParameters(true);
        for (uint16_t reg : factoryResetRegisters)
            image.Set(reg, 0);
        Log("factory settings restored");
    }
}

bool TSimulatedDevice::IsFactoryResetRegister(uint16_t reg) const {
    return std::find(factoryResetRegisters.begin(), factoryResetRegisters.end(), reg) !=
           factoryResetRegisters.end();
}

void TSimulatedDevice::Log(const std::string& text) const {
    if (OnLog)
        OnLog("station " + std::to_string(address) + ": " + text);
}
