// parsetta-devsim: simulated devices of the product line, answering as Modbus slaves.
#include "device_template.h"
#include "devsim_options.h"
#include "modbus_slave_server.h"
#include "simulated_bus.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {

std::atomic<bool> stopRequested{false};

void RequestStop(int) {
    stopRequested = true;
}

void Say(const std::string& line) {
    std::cout << "parsetta-devsim: " << line << std::endl;
}

// The template database in the current folder, else the one beside this program.
std::string DefaultDbPath() {
    if (std::filesystem::exists("devices.db"))
        return "devices.db";
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? "devices.db" : (self.parent_path() / "devices.db").string();
}

std::string MadeUpRfid(const std::string& typeCode, size_t index) {
    char text[16];
    std::snprintf(text, sizeof text, "SN%04lu%04zu", std::stoul(typeCode, nullptr, 16) % 10000,
                  1001 + index);
    return text;
}

std::unique_ptr<TSimulatedBus> BuildBus(const TDevsimOptions& options) {
    auto bus =
        std::make_unique<TSimulatedBus>(options.service, options.transport == TDevsimOptions::Tcp);
    bus->OnLog = Say;
    for (size_t i = 0; i < options.devices.size(); ++i) {
        const TDeviceArgument& argument = options.devices[i];
        const auto deviceTemplate =
            TDeviceTemplate::Load(options.dbPath, argument.typeCode, argument.version);
        const std::string rfid =
            argument.rfid.empty() ? MadeUpRfid(argument.typeCode, i) : argument.rfid;
        auto& device =
            bus->Add(std::make_unique<TSimulatedDevice>(deviceTemplate, argument.address, rfid));
        Say("station " + std::to_string(argument.address) + ": " + deviceTemplate.ModelName() +
            " (type " + deviceTemplate.TypeCode() + ", firmware " + deviceTemplate.Version() +
            ", template " + std::to_string(deviceTemplate.NodeId()) + "), identification " +
            device.Rfid() + (options.service ? ", service interface at station 68" : ""));
    }
    return bus;
}

} // namespace

int main(int argc, char** argv) {
    TDevsimOptions options;
    std::string error;
    if (!TDevsimOptions::Parse({argv + 1, argv + argc}, options, error)) {
        std::cerr << "parsetta-devsim: " << error << "\n" << TDevsimOptions::Usage();
        return 2;
    }
    if (options.help) {
        std::cout << TDevsimOptions::Usage();
        return 0;
    }
    if (options.dbPath.empty())
        options.dbPath = DefaultDbPath();
    try {
        auto bus = BuildBus(options);
        TModbusSlaveServer server(*bus, options);
        server.OnLog = Say;
        Say("listening: " + server.Open());
        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        std::signal(SIGPIPE, SIG_IGN);
        server.Run(stopRequested);
        Say("stopped");
    } catch (const std::exception& failure) {
        std::cerr << "parsetta-devsim: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}
