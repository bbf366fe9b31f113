#pragma once

#include "device_template.h"
#include "live_value.h"
#include "register_image.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One simulated field device: its register image built from the template (factory values of
// every parameter row, identification, bus settings, diagnostics), the live values that move,
// and what writes do inside the device. No I/O: the bus hands requests in.
class TSimulatedDevice {
public:
    // Fixed protocol addresses every device answers.
    static constexpr uint16_t TypeCodeRegister = 3000;
    static constexpr uint16_t IdentRegister = 3002;
    static constexpr uint16_t FirmwareRegister = 3028;
    static constexpr uint16_t MakerRegister = 3030;
    static constexpr uint16_t NameRegister = 3038;
    static constexpr uint16_t ParameterSetRegister = 102;
    static constexpr uint16_t AddressRegister = 5009;
    static constexpr uint16_t TagRegister = 5150;
    static constexpr uint16_t CounterResetRegister = 1201;
    static constexpr uint16_t CountersRegister = 1210;
    static constexpr uint16_t StoreRegister = 8212;
    static constexpr uint16_t StoreCommand = 67;

    TSimulatedDevice(const TDeviceTemplate& deviceTemplate, uint8_t address, std::string rfid,
                     std::string maker = "KOLVANE");

    uint8_t Address() const { return address; }
    const std::string& Rfid() const { return rfid; }
    const TDeviceTemplate& Template() const { return deviceTemplate; }
    const TRegisterImage& Image() const { return image; }

    // Moves the live values to time t (seconds since the simulator started).
    void UpdateLive(double t);
    // Counts one telegram seen on the bus; addressed when it was for this device, failed when
    // it was broken or the device answered it with an exception.
    void CountTelegram(bool addressed, bool failed);
    void CountError();
    // Puts the counters and the bus's address map (bit b of word w = address 16w + b) into the
    // registers from 1210 on.
    void PublishBusState(const std::array<uint16_t, 16>& addressMap);

    // 0, or the exception code the device answers with.
    int Read(uint16_t address, int count, std::vector<uint16_t>& values) const;
    int CheckWrite(uint16_t address, const std::vector<uint16_t>& values) const;
    // Stores checked values and acts on them (address change, counter reset, store command,
    // factory reset).
    void Write(uint16_t address, const std::vector<uint16_t>& values);

    std::function<void(const std::string&)> OnLog;

private:
    void BuildParameters(bool writableOnly);
    void BuildIdentification();
    void BuildFixedRegisters();
    bool HasBusDiagnostics() const;
    void PutText(uint16_t address, const std::string& text, int bytes);
    bool IsFactoryResetRegister(uint16_t address) const;
    void Log(const std::string& text) const;

    TDeviceTemplate deviceTemplate;
    uint8_t address;
    std::string rfid;
    std::string maker;
    TRegisterImage image;
    std::vector<TLiveValue> liveValues;
    std::vector<uint16_t> factoryResetRegisters;
    uint16_t telegrams = 0;
    uint16_t totalTelegrams = 0;
    uint16_t errors = 0;
};
