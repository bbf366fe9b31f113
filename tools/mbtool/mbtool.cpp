// parsetta-mbtool: a small command-line Modbus master over the program's own stack, for
// technicians and scripts. Exit status: 0 success, 1 failure (the result's text on standard
// error), 2 bad arguments (usage on standard error).
#include "mbtool_options.h"
#include "modbus/modbus_rtu_driver.h"
#include "modbus/modbus_tcp_driver.h"
#include "modbus/plc_block.h"
#include "modbus/serial_port_driver.h"
#include "modbus/tcp_udp_port.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <netdb.h>
#include <thread>

namespace {

// The TCP port takes dotted IPv4 addresses only; a host name is looked up here.
std::string ResolveIPv4(const std::string& host) {
    if (IsValidIPv4Address(host))
        return host;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        throw std::runtime_error(host + ": unknown host");
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, freeaddrinfo);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text,
              sizeof text);
    return text;
}

TSerialBaudRate BaudRateOf(int baud) {
    switch (baud) {
    case 110:
        return br110;
    case 300:
        return br300;
    case 600:
        return br600;
    case 1200:
        return br1200;
    case 2400:
        return br2400;
    case 4800:
        return br4800;
    case 9600:
        return br9600;
    case 38400:
        return br38400;
    case 57600:
        return br57600;
    case 115200:
        return br115200;
    default:
        return br19200;
    }
}

std::unique_ptr<TCommPortDriver> MakeTcpPort(const TMbToolOptions& o) {
    auto port = std::make_unique<TTCP_UDPPort>();
    port->SetHost(ResolveIPv4(o.Host));
    port->SetPort(o.Port);
    port->SetTimeout(o.TimeoutMs);
    port->SetEnableAutoReconnect(false);
    return port;
}

std::unique_ptr<TCommPortDriver> MakeSerialPort(const TMbToolOptions& o) {
    auto port = std::make_unique<TSerialPortDriver>();
    port->SetAcceptAnyPortName(true); // the open reports a missing device with the system's text
    port->SetCOMPort(o.Device);
    port->SetBaudRate(BaudRateOf(o.Baud));
    port->SetParidade(o.Parity == 'N' ? spNone : o.Parity == 'O' ? spOdd : spEven);
    port->SetStopBits(o.StopBits == 2 ? sb2 : sb1);
    port->SetTimeout(o.TimeoutMs);
    return port;
}

// Opens the port; a TCP port connects in the background, so wait for it within the time-out.
void OpenPort(TCommPortDriver& port, const TMbToolOptions& o) {
    // Without a user-interface thread the event runs on the port's connect thread.
    std::atomic<bool> failed{false};
    port.OnCommPortOpenError = [&failed](TCommPortDriver*) { failed = true; };
    port.SetActive(true);
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(o.TimeoutMs + 300);
    while (o.Tcp && !failed && !port.IsPortReady() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    port.OnCommPortOpenError = nullptr;
    if (!port.IsPortReady()) {
        const std::string what = o.Tcp ? o.Host + ":" + std::to_string(o.Port) : o.Device;
        const std::string why = port.LastOSErrorMessage();
        std::cerr << what << ": " << (why.empty() ? "cannot connect" : why) << "\n";
    }
}

void SetUpBlock(TPLCBlock& block, const TMbToolOptions& o, TProtocolDriver& driver) {
    const bool coils = o.Command == mcReadCoils || o.Command == mcWriteCoils;
    const bool single = o.Values.size() == 1;
    block.SetAutoRead(false);
    block.SetAutoWrite(false);
    block.SetPLCStation(static_cast<uint32_t>(o.Unit));
    block.SetMemAddress(static_cast<uint32_t>(o.Address));
    block.SetMemReadFunction(coils ? 1 : 3);
    block.SetMemWriteFunction(coils ? (single ? 5 : 15) : (single ? 6 : 16));
    block.SetTagType(coils ? pttDefault : pttWord);
    block.SetSize(static_cast<uint32_t>(o.Values.empty() ? o.Count : o.Values.size()));
    block.SetProtocolDriver(&driver);
}

int Run(const TMbToolOptions& o) {
    std::unique_ptr<TCommPortDriver> port = o.Tcp ? MakeTcpPort(o) : MakeSerialPort(o);
    port->SetReadRetries(1); // the time-out given is the whole wait for an answer
    if (!o.LogFile.empty()) {
        port->SetLogFile(o.LogFile);
        port->SetLogIOActions(true);
    }
    std::unique_ptr<TModBusDriver> driver;
    if (o.Tcp)
        driver = std::make_unique<TModBusTCPDriver>();
    else
        driver = std::make_unique<TModBusRTUDriver>();
    driver->SetReadSomethingAlways(false);
    OpenPort(*port, o);
    driver->SetCommunicationPort(port.get());

    TPLCBlock block;
    SetUpBlock(block, o, *driver);
    TProtocolIOResult result;
    if (o.Values.empty()) {
        block.Read();
        result = block.LastSyncReadStatus();
    } else {
        block.Write(o.Values, static_cast<uint32_t>(o.Values.size()), 0);
        result = block.LastSyncWriteStatus();
    }
    block.SetProtocolDriver(nullptr);
    driver->SetCommunicationPort(nullptr);
    if (result != ioOk) {
        std::cerr << ProtocolIOResultText(result) << "\n";
        return 1;
    }
    for (uint32_t i = 0; o.Values.empty() && i < block.Size(); ++i)
        std::cout << o.Address + static_cast<int>(i) << ": " << block.Elements(static_cast<int>(i))
                  << "\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    TMbToolOptions options;
    std::string error;
    if (!ParseMbToolArgs(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "parsetta-mbtool: " << error << "\n" << kMbToolUsage;
        return 2;
    }
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}
