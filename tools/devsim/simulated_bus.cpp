#include "simulated_bus.h"

namespace {

constexpr int MaxReadQuantity = 125;
constexpr int MaxWriteQuantity = 123;

TBusReply ExceptionReply(int code) {
    TBusReply reply;
    reply.kind = TBusReply::Exception;
    reply.exception = code;
    return reply;
}

} // namespace

TSimulatedBus::TSimulatedBus(bool serviceInterface, bool answerAbsent)
    : serviceInterface(serviceInterface), answerAbsent(answerAbsent) {}

TSimulatedDevice& TSimulatedBus::Add(std::unique_ptr<TSimulatedDevice> device) {
    device->OnLog = [this](const std::string& line) {
        if (OnLog)
            OnLog(line);
    };
    devices.push_back(std::move(device));
    return *devices.back();
}

TSimulatedDevice* TSimulatedBus::Find(uint8_t station) const {
    for (const auto& device : devices)
        if (device->Address() == station)
            return device.get();
    if (station == ServiceStation && serviceInterface && devices.size() == 1)
        return devices.front().get();
    return nullptr;
}

TBusReply TSimulatedBus::Process(const TBusRequest& request, double t) {
    if (request.station == 0) {
        Broadcast(request);
        return {};
    }
    TSimulatedDevice* device = Find(request.station);
    for (const auto& other : devices)
        if (other.get() != device)
            other->CountTelegram(false, false);
    if (!device)
        return answerAbsent ? ExceptionReply(GatewayTargetFailed) : TBusReply{};
    // The telegram counts before it is answered, so a read of the counters includes itself.
    device->CountTelegram(true, false);
    device->UpdateLive(t);
    device->PublishBusState(AddressMap());
    TBusReply reply = Answer(*device, request);
    if (reply.kind == TBusReply::Exception)
        device->CountError();
    return reply;
}

TBusReply TSimulatedBus::Answer(TSimulatedDevice& device, const TBusRequest& request) {
    switch (request.function) {
    case 3: {
        if (request.quantity < 1 || request.quantity > MaxReadQuantity)
            return ExceptionReply(3);
        TBusReply reply;
        reply.kind = TBusReply::Registers;
        const int code = device.Read(request.address, request.quantity, reply.values);
        return code ? ExceptionReply(code) : reply;
    }
    case 6:
    case 16:
        return AnswerWrite(device, request);
    default:
        return ExceptionReply(1);
    }
}

TBusReply TSimulatedBus::AnswerWrite(TSimulatedDevice& device, const TBusRequest& request) {
    const size_t count = request.values.size();
    if (request.malformed || count < 1 || count > MaxWriteQuantity ||
        (request.function == 16 && count != request.quantity))
        return ExceptionReply(3);
    if (const int code = device.CheckWrite(request.address, request.values))
        return ExceptionReply(code);
    // Two stations on one address would answer together: the device refuses the move.
    const uint16_t first = request.address;
    if (first <= TSimulatedDevice::AddressRegister &&
        first + count > TSimulatedDevice::AddressRegister) {
        const uint16_t newAddress = request.values[TSimulatedDevice::AddressRegister - first];
        const TSimulatedDevice* holder = Find(static_cast<uint8_t>(newAddress));
        if (holder && holder != &device && newAddress != ServiceStation)
            return ExceptionReply(3);
    }
    device.Write(request.address, request.values);
    TBusReply reply;
    reply.kind = TBusReply::Written;
    return reply;
}

// A broadcast write reaches every device and is answered by none; address changes make no
// sense for all devices at once and are left out.
void TSimulatedBus::Broadcast(const TBusRequest& request) {
    const bool write = request.function == 6 || request.function == 16;
    const bool touchesAddress =
        request.address <= TSimulatedDevice::AddressRegister &&
        request.address + request.values.size() > TSimulatedDevice::AddressRegister;
    for (const auto& device : devices) {
        device->CountTelegram(false, false);
        if (write && !request.malformed && !touchesAddress && !request.values.empty() &&
            device->CheckWrite(request.address, request.values) == 0)
            device->Write(request.address, request.values);
    }
}

void TSimulatedBus::CountBadFrame() {
    for (const auto& device : devices)
        device->CountTelegram(false, true);
}

std::array<uint16_t, 16> TSimulatedBus::AddressMap() const {
    std::array<uint16_t, 16> map{};
    for (const auto& device : devices) {
        const uint8_t station = device->Address();
        map[station / 16] = static_cast<uint16_t>(map[station / 16] | (1u << (station % 16)));
    }
    return map;
}
