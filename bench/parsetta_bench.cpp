// parsetta-bench [SECONDS [tcp|rtu]]: reads holding registers as fast as possible for SECONDS
// (default 5) per master and line, first with our driver, then with libmodbus's master, from the
// same libmodbus slave: over loopback TCP and over a pseudo-terminal RTU line (WriteReadDelay 0), 1
// and 125 registers.
#include "modbus/modbus_rtu_driver.h"
#include "modbus/modbus_tcp_driver.h"
#include "modbus/plc_block.h"
#include "modbus/serial_port_driver.h"
#include "modbus/tcp_udp_port.h"
#include "modbus_test_peers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using TClock = std::chrono::steady_clock;

// Forwards bytes between two pseudo-terminal masters as soon as they arrive, so that two
// programs that both need a device path can talk over a line.
class TFastLink {
public:
    TFastLink(const TPtyPair& a, const TPtyPair& b)
        : a_(a.MasterFd()), b_(b.MasterFd()), thread_([this] { Run(); }) {}
    ~TFastLink() {
        stop_ = true;
        thread_.join();
    }

private:
    void Run() {
        uint8_t buffer[512];
        while (!stop_) {
            pollfd fds[2] = {{a_, POLLIN, 0}, {b_, POLLIN, 0}};
            if (poll(fds, 2, 10) <= 0)
                continue;
            for (int i = 0; i < 2; ++i) {
                if (!(fds[i].revents & POLLIN))
                    continue;
                const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0)
                    WriteAll(i == 0 ? b_ : a_, std::vector<uint8_t>(buffer, buffer + n));
            }
        }
    }
    int a_, b_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Runs request() until the time is up; returns requests per second, or -1 after a failure.
double Rate(double seconds, const std::function<bool()>& request) {
    const auto start = TClock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    long count = 0;
    while (TClock::now() < end) {
        if (!request())
            return -1;
        ++count;
    }
    return count / std::chrono::duration<double>(TClock::now() - start).count();
}

double OursRate(TModBusDriver& driver, int count, double seconds) {
    TPLCBlock block;
    block.SetAutoRead(false);
    block.SetPLCStation(1);
    block.SetMemReadFunction(3);
    block.SetTagType(pttWord);
    block.SetSize(static_cast<uint32_t>(count));
    block.SetProtocolDriver(&driver);
    const double rate = Rate(seconds, [&] {
        block.Read();
        return block.LastSyncReadStatus() == ioOk;
    });
    block.SetProtocolDriver(nullptr);
    return rate;
}

double LibmodbusRate(modbus_t* ctx, int count, double seconds) {
    uint16_t registers[125];
    return Rate(seconds, [&] { return modbus_read_registers(ctx, 0, count, registers) == count; });
}

void PrintLine(const char* line, int count, double ours, double theirs) {
    std::printf("%-10s %9d %16.0f %16.0f %8.2f\n", line, count, ours, theirs,
                theirs > 0 ? ours / theirs : 0.0);
}

// The machine may be busy with other work: each figure is the best of several short slices,
// taken in turn for both masters so that both see the same conditions.
constexpr int kRounds = 10;

struct TBest {
    double ours = -1;
    double theirs = -1;
    void Add(double o, double t) {
        ours = std::max(ours, o);
        theirs = std::max(theirs, t);
    }
};

double OursTcpSlice(int port, int count, double seconds) {
    TTCP_UDPPort tcp;
    tcp.SetHost("127.0.0.1");
    tcp.SetPort(port);
    tcp.SetActive(true);
    const auto end = TClock::now() + std::chrono::seconds(3);
    while (!tcp.IsPortReady() && TClock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    TModBusTCPDriver driver;
    driver.SetReadSomethingAlways(false);
    driver.SetCommunicationPort(&tcp);
    const double rate = OursRate(driver, count, seconds);
    driver.SetCommunicationPort(nullptr);
    tcp.SetActive(false);
    return rate;
}

double TheirsTcpSlice(int port, int count, double seconds) {
    TModbusContext ctx(modbus_new_tcp("127.0.0.1", port));
    return modbus_connect(ctx.get()) == 0 ? LibmodbusRate(ctx.get(), count, seconds) : -1;
}

void BenchTcp(double seconds) {
    TLoopbackListener listener;
    TModbusMapping mapping = NewMapping();
    TLibmodbusSlave slave(listener, mapping.get());
    for (int count : {1, 125}) {
        TBest best;
        for (int round = 0; round < kRounds; ++round)
            best.Add(OursTcpSlice(listener.Port(), count, seconds / kRounds),
                     TheirsTcpSlice(listener.Port(), count, seconds / kRounds));
        PrintLine("tcp", count, best.ours, best.theirs);
    }
}

double OursRtuSlice(const std::string& device, int count, double seconds) {
    TSerialPortDriver port;
    port.SetCOMPort(device);
    port.SetBaudRate(br115200);
    port.SetWriteReadDelay(0);
    port.SetActive(true);
    TModBusRTUDriver driver;
    driver.SetReadSomethingAlways(false);
    driver.SetCommunicationPort(&port);
    const double rate = OursRate(driver, count, seconds);
    driver.SetCommunicationPort(nullptr);
    port.SetActive(false);
    return rate;
}

double TheirsRtuSlice(const std::string& device, int count, double seconds) {
    TModbusContext ctx(modbus_new_rtu(device.c_str(), 115200, 'N', 8, 1));
    if (modbus_connect(ctx.get()) != 0)
        return -1;
    modbus_set_slave(ctx.get(), 1);
    return LibmodbusRate(ctx.get(), count, seconds);
}

void BenchRtu(double seconds) {
    TPtyPair masterLine, deviceLine;
    TModbusMapping mapping = NewMapping();
    TLibmodbusSlave slave(deviceLine.SlaveName(), 1, mapping.get());
    TFastLink link(masterLine, deviceLine);
    for (int count : {1, 125}) {
        TBest best;
        for (int round = 0; round < kRounds; ++round)
            best.Add(OursRtuSlice(masterLine.SlaveName(), count, seconds / kRounds),
                     TheirsRtuSlice(masterLine.SlaveName(), count, seconds / kRounds));
        PrintLine("rtu (pty)", count, best.ours, best.theirs);
    }
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    const std::string only = argc > 2 ? argv[2] : "";
    if (seconds <= 0 || (only != "" && only != "tcp" && only != "rtu")) {
        std::fprintf(stderr, "usage: parsetta-bench [SECONDS [tcp|rtu]]\n");
        return 2;
    }
    std::printf("requests per second, best of %d slices over %.1f s per master and line "
                "(-1: a request failed)\n",
                kRounds, seconds);
    std::printf("%-10s %9s %16s %16s %8s\n", "line", "registers", "parsetta", "libmodbus", "ratio");
    if (only != "rtu")
        BenchTcp(seconds);
    if (only != "tcp")
        BenchRtu(seconds);
    return 0;
}
