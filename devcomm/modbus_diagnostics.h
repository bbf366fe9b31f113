#pragma once

#include "devcomm/device_context.h"
#include "devcomm/device_info.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The words of the bus-settings line as the window's language gives them.
struct TModbusDiagTexts {
    QString Address = QStringLiteral("Adresse");
    QString Baud = QStringLiteral("Baud");
    QString ParityEven = QStringLiteral("ParityEven");
    QString ParityOdd = QStringLiteral("ParityOdd");
    QString ParityNone = QStringLiteral("ParityNone");
    QString Stopbits1 = QStringLiteral("Stoppbits1");
    QString Stopbits2 = QStringLiteral("Stoppbits2");
    QString ResponseDelay = QStringLiteral("Responsedelay");
    QString Error = QStringLiteral("Fehler");
    QString NoDeviceFound = QStringLiteral("No device found!");
    QString NotAvailable = QStringLiteral("Diagnosefunktionen im Geraet nicht verfuegbar!");
};

// Fixed registers of the bus diagnostics (protocol addresses).
constexpr int BusSettingsRegister = 5009;
constexpr int BusSettingsCount = 4;
constexpr int CounterResetRegister = 1201;
constexpr int BusCountersRegister = 1210;
constexpr int BusCountersCount = 19;
constexpr int StationCount = 256;

// Only these device types keep bus counters and the address map.
bool HasBusDiagnostics(uint16_t typeCode);

// The texts of the settings dialog's lists for a baud-rate and a framing index of the device.
QString BaudRateText(int index);
QString FramingText(int index, const TModbusDiagTexts& texts);
// "Adresse 1, 19200 Baud, ParityEven, Stoppbits1, Responsedelay 5 ms" from registers 5009..5012.
QString BusSettingsText(const std::vector<uint16_t>& registers, const TModbusDiagTexts& texts);

// Registers 1210..1228: three telegram counters and the stations seen on the bus.
struct TBusCounters {
    uint16_t Telegrams = 0;
    uint16_t TotalTelegrams = 0;
    uint16_t Errors = 0;
    std::array<bool, StationCount> Seen{};
};
std::optional<TBusCounters> DecodeBusCounters(const std::vector<uint16_t>& registers);

// What one tick of the refresh timer did, for the window to show.
struct TBusTick {
    int NextIntervalMs = 100;
    bool ShowRefresh = false;
    bool HideRefresh = false;
    bool Read = false;                    // the counters were asked for
    std::optional<TBusCounters> Counters; // set when that read succeeded
};

enum TBusDiagStart { bdNoDevice, bdNotAvailable, bdStarted };

// The Modbus diagnostics of a device's service interface without a widget: identification and
// type check, the bus settings, and the timer steps: step 0 resets the counters once, then the
// counters and the map are read every 19 ticks of 100 ms and the refresh picture shows for two
// ticks after each read. A device that stops answering empties the map; in service mode the
// failure is reported once until the device answers again, so a silent device does not stack a
// message every cycle.
class TModbusDiagnostics {
public:
    TModbusDiagnostics(TDeviceContext& context, TDeviceInfo& info, TModbusDiagTexts texts = {})
        : Context_(context), Info_(info), Texts_(std::move(texts)) {}

    // Identifies the device and checks its type; shows the message when it cannot be served.
    TBusDiagStart Start();
    // The settings line, or the error word when the registers could not be read.
    QString ReadSettings();

    int Step() const { return Step_; }
    static constexpr int FirstIntervalMs = 300;
    static constexpr int IntervalMs = 100;
    TBusTick Tick();

private:
    bool ReadChecked(int memAddress, int count, std::vector<uint16_t>& registers);

    TDeviceContext& Context_;
    TDeviceInfo& Info_;
    TModbusDiagTexts Texts_;
    int Step_ = 0;
    bool Failing_ = false;
};
