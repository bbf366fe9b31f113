#pragma once

#include "devcomm/device_link.h"

#include <QString>
#include <map>
#include <set>
#include <string>
#include <vector>

// Devices as register maps behind a link: a station without a map does not answer (time-out),
// registers a device lacks read as 0, and requests starting at an address in Failing answer an
// exception. Every request is recorded.
class TScriptedLink : public TDeviceLink {
public:
    struct TRequest {
        int Station, Function, Address, Count;
    };

    bool OpenConnection() override {
        ++Opens;
        return PortOpens;
    }
    void CloseConnection() override { ++Closes; }
    int Station() const override { return Service ? 68 : StationValue; }
    void SetAddress(int address) override { StationValue = address; }
    TProtocolIOResult ReadBlock(int station, int memAddress, int count,
                                std::vector<uint16_t>& registers) override {
        Requests.push_back({station, 3, memAddress, count});
        registers.clear();
        auto device = Devices.find(station);
        if (device == Devices.end())
            return ioTimeOut;
        if (Failing.count(memAddress))
            return ioIllegalRegAddress;
        for (int i = 0; i < count; ++i)
            registers.push_back(device->second[memAddress + i]);
        return ioOk;
    }
    TProtocolIOResult WriteBlock(int station, int function, int memAddress,
                                 const std::vector<uint16_t>& registers) override {
        Requests.push_back({station, function, memAddress, static_cast<int>(registers.size())});
        auto device = Devices.find(station);
        if (device == Devices.end())
            return ioTimeOut;
        if (Failing.count(memAddress) || FailingWrites.count(memAddress))
            return ioIllegalRegAddress;
        for (size_t i = 0; i < registers.size(); ++i)
            device->second[memAddress + static_cast<int>(i)] = registers[i];
        // A device answers at its new address from the next request on.
        if (MovesOnAddressWrite && memAddress == 5009 && station != 68 && registers.size() == 1 &&
            registers[0] != station) {
            Devices[registers[0]] = device->second;
            Devices.erase(station);
        }
        return ioOk;
    }
    QString DriverName() const override { return QStringLiteral("RTUDriver"); }
    void Detach() override { ++Detaches; }

    // Writes text into registers from address on, two characters per register, high byte first.
    void PutText(int station, int address, int registers, const std::string& text) {
        for (int i = 0; i < registers; ++i) {
            const size_t at = static_cast<size_t>(2 * i);
            const uint8_t high = at < text.size() ? static_cast<uint8_t>(text[at]) : 0;
            const uint8_t low = at + 1 < text.size() ? static_cast<uint8_t>(text[at + 1]) : 0;
            Devices[station][address + i] = static_cast<uint16_t>(high << 8 | low);
        }
    }
    // The fixed identification registers of a device.
    void PutDevice(int station, uint16_t typeCode, uint16_t version, const std::string& rfid,
                   int address, const std::string& measuringPoint = "") {
        auto& r = Devices[station];
        r[3000] = typeCode;
        r[3001] = static_cast<uint16_t>(3 << 8 | 'B');
        PutText(station, 3002, 10, rfid);
        r[3028] = version;
        PutText(station, 3030, 8, "Kolvane");
        PutText(station, 3038, 12, "Transmitter");
        r[102] = 0;
        r[5009] = static_cast<uint16_t>(address);
        PutText(station, 5150, 8, measuringPoint);
    }
    int ReadsAt(int address) const {
        int n = 0;
        for (const auto& request : Requests)
            n += request.Function == 3 && request.Address == address;
        return n;
    }

    std::map<int, std::map<int, uint16_t>> Devices;
    std::set<int> Failing;       // reads and writes
    std::set<int> FailingWrites; // writes only
    std::vector<TRequest> Requests;
    bool PortOpens = true;
    bool Service = false;
    bool MovesOnAddressWrite = true;
    int StationValue = 1;
    int Opens = 0, Closes = 0, Detaches = 0;
};
