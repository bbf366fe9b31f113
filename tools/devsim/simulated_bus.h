#pragma once

#include "simulated_device.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One Modbus request as the bus sees it, already taken out of its RTU or TCP frame.
struct TBusRequest {
    uint8_t station = 0;
    uint8_t function = 0;
    uint16_t address = 0;
    uint16_t quantity = 0;
    std::vector<uint16_t> values; // functions 6 and 16
    bool malformed = false;       // a write whose byte count does not match its quantity
};

struct TBusReply {
    enum TKind { NoReply, Registers, Written, Exception };
    TKind kind = NoReply;
    int exception = 0;
    std::vector<uint16_t> values; // the registers read
};

// The simulated devices that share one serial line or one TCP server, and the answers they
// give: functions 3, 6 and 16 on mapped registers, exception 1 for other functions, 2 for
// registers the device does not have, 3 for values it refuses. Every device sees every
// telegram for its bus counters.
class TSimulatedBus {
public:
    static constexpr uint8_t ServiceStation = 68;
    // Exception a TCP gateway answers for a unit identifier behind which nothing answers.
    static constexpr int GatewayTargetFailed = 11;

    // Station 68 answers for the single device when serviceInterface is set; a request for a
    // station without device gets no answer, or exception 11 when answerAbsent is set (TCP).
    TSimulatedBus(bool serviceInterface, bool answerAbsent);

    TSimulatedDevice& Add(std::unique_ptr<TSimulatedDevice> device);
    const std::vector<std::unique_ptr<TSimulatedDevice>>& Devices() const { return devices; }
    TSimulatedDevice* Find(uint8_t station) const;

    // Answers one request at time t (seconds since start).
    TBusReply Process(const TBusRequest& request, double t);
    // A frame that failed its check field: counted as an error by every device.
    void CountBadFrame();

    std::function<void(const std::string&)> OnLog;

private:
    TBusReply Answer(TSimulatedDevice& device, const TBusRequest& request);
    TBusReply AnswerWrite(TSimulatedDevice& device, const TBusRequest& request);
    void Broadcast(const TBusRequest& request);
    std::array<uint16_t, 16> AddressMap() const;

    bool serviceInterface;
    bool answerAbsent;
    std::vector<std::unique_ptr<TSimulatedDevice>> devices;
};
