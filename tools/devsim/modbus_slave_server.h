#pragma once

#include "devsim_options.h"
#include "simulated_bus.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

struct _modbus;

// The thin I/O layer of the simulator: libmodbus as the slave side, over a TCP server or an
// RTU line (serial device or pseudo-terminal). Every request goes to the simulated bus; its
// answer goes back through libmodbus. One thread; Run returns when stop is set.
class TModbusSlaveServer {
public:
    TModbusSlaveServer(TSimulatedBus& bus, const TDevsimOptions& options);
    ~TModbusSlaveServer();
    TModbusSlaveServer(const TModbusSlaveServer&) = delete;
    TModbusSlaveServer& operator=(const TModbusSlaveServer&) = delete;

    // Opens the transport and returns where the simulator listens. Throws std::runtime_error.
    std::string Open();
    void Run(const std::atomic<bool>& stop);

    std::function<void(const std::string&)> OnLog;

private:
    struct TState;

    std::string OpenTcp();
    std::string OpenRtu();
    void RunTcp(const std::atomic<bool>& stop);
    void RunRtu(const std::atomic<bool>& stop);
    void ReceiveRtu();
    void Serve(_modbus* ctx, const uint8_t* adu, int length, const TBusRequest& request);
    void Reply(_modbus* ctx, const uint8_t* adu, int length, const TBusRequest& request,
               const TBusReply& reply);
    void LogRequest(const TBusRequest& request, const TBusReply& reply) const;
    void RenewRtuWorker(int station);

    TSimulatedBus& bus;
    TDevsimOptions options;
    std::unique_ptr<TState> state;
    std::chrono::steady_clock::time_point started;
};
