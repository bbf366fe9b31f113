// parsetta-devsim as a process, driven by an independent master: libmodbus's client over TCP
// and over the pseudo-terminal the simulator creates.
#include "devsim_process.h"

#include <modbus.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <regex>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

class TSim : public TDevsimProcess {
public:
    explicit TSim(const std::vector<std::string>& args)
        : TDevsimProcess(PARSETTA_DEVSIM, PARSETTA_DEVICES_DB, args) {}
};

struct TContextDeleter {
    void operator()(modbus_t* ctx) const {
        modbus_close(ctx);
        modbus_free(ctx);
    }
};
using TContext = std::unique_ptr<modbus_t, TContextDeleter>;

TContext ConnectTcp(int port) {
    TContext ctx(modbus_new_tcp("127.0.0.1", port));
    if (!ctx || modbus_connect(ctx.get()) != 0)
        return nullptr;
    modbus_set_response_timeout(ctx.get(), 1, 0);
    return ctx;
}

TContext ConnectRtu(const std::string& link) {
    TContext ctx(modbus_new_rtu(link.c_str(), 19200, 'E', 8, 1));
    if (!ctx || modbus_connect(ctx.get()) != 0)
        return nullptr;
    modbus_set_response_timeout(ctx.get(), 0, 500000);
    return ctx;
}

std::vector<uint16_t> Read(modbus_t* ctx, int station, int address, int count) {
    std::vector<uint16_t> values(static_cast<size_t>(count));
    modbus_set_slave(ctx, station);
    if (modbus_read_registers(ctx, address, count, values.data()) != count)
        return {};
    return values;
}

int ReadError(modbus_t* ctx, int station, int address, int count) {
    std::vector<uint16_t> values(static_cast<size_t>(count));
    modbus_set_slave(ctx, station);
    return modbus_read_registers(ctx, address, count, values.data()) < 0 ? errno : 0;
}

std::string Text(const std::vector<uint16_t>& registers, size_t first, size_t count) {
    std::string text;
    for (size_t i = first; i < first + count && i < registers.size(); ++i)
        for (int shift : {8, 0})
            if (const char c = static_cast<char>((registers[i] >> shift) & 0xFF); c >= 32)
                text += c;
    return text;
}

std::vector<uint16_t> FloatRegisters(float value) {
    uint32_t raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    return {static_cast<uint16_t>(raw >> 16), static_cast<uint16_t>(raw & 0xFFFF)};
}

std::string TempLink(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string(name) + "-" + std::to_string(getpid())))
        .string();
}

struct TLineDevice {
    const char* type;
    int address;
    uint16_t typeCode;
    uint16_t firmware;
    const char* name;
};

TEST(DevsimTcp, IdentifiesEveryTypeOfTheLine) {
    const TLineDevice line[] = {
        {"000D", 1, 0x000D, 0x0106, "UT10"}, {"0002", 2, 0x0002, 0x0102, "TT2"},
        {"0006", 3, 0x0006, 0x0100, "AI4"},  {"0106", 4, 0x0106, 0x0100, "AI4-I"},
        {"0007", 5, 0x0007, 0x0100, "AO4"},  {"0008", 6, 0x0008, 0x0100, "DI4"},
        {"0009", 7, 0x0009, 0x0100, "DO4"}};
    std::vector<std::string> args = {"--tcp", "127.0.0.1:0"};
    for (const auto& device : line) {
        args.push_back("--device");
        args.push_back(std::string(device.type) + "@" + std::to_string(device.address));
    }
    TSim sim(args);
    const int port = sim.Port();
    ASSERT_GT(port, 0);
    const TContext ctx = ConnectTcp(port);
    ASSERT_TRUE(ctx);

    std::set<std::string> identifications;
    for (const auto& device : line) {
        SCOPED_TRACE(device.name);
        const auto ident = Read(ctx.get(), device.address, 3000, 12);
        ASSERT_EQ(ident.size(), 12u);
        EXPECT_EQ(ident[0], device.typeCode);
        identifications.insert(Text(ident, 2, 10));
        const auto product = Read(ctx.get(), device.address, 3028, 22);
        ASSERT_EQ(product.size(), 22u);
        EXPECT_EQ(product[0], device.firmware);
        EXPECT_EQ(Text(product, 10, 12), device.name);
        EXPECT_FALSE(Text(product, 2, 8).empty());
        EXPECT_EQ(Read(ctx.get(), device.address, 102, 1), std::vector<uint16_t>{0});
        EXPECT_EQ(Read(ctx.get(), device.address, 5009, 1),
                  std::vector<uint16_t>{static_cast<uint16_t>(device.address)});
        EXPECT_EQ(Read(ctx.get(), device.address, 5150, 8).size(), 8u);
    }
    EXPECT_EQ(identifications.size(), std::size(line));
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(DevsimTcp, KeepsWrittenParametersAndAnswersExceptions) {
    TSim sim({"--tcp", "127.0.0.1:0", "--device", "000D@1"});
    const int port = sim.Port();
    const TContext ctx = ConnectTcp(port);
    ASSERT_TRUE(ctx);
    modbus_set_slave(ctx.get(), 1);

    const auto rangeStart = FloatRegisters(2.5f);
    ASSERT_EQ(modbus_write_registers(ctx.get(), 1010, 2, rangeStart.data()), 2);
    ASSERT_EQ(modbus_write_register(ctx.get(), 1001, 25), 1);
    EXPECT_EQ(Read(ctx.get(), 1, 1010, 2), rangeStart);
    EXPECT_EQ(Read(ctx.get(), 1, 1000, 2), (std::vector<uint16_t>{0x0100, 25}));

    EXPECT_EQ(ReadError(ctx.get(), 1, 9000, 1), EMBXILADD);
    EXPECT_EQ(ReadError(ctx.get(), 1, 3040, 12), EMBXILADD);
    EXPECT_EQ(ReadError(ctx.get(), 9, 3000, 1), EMBXGTAR);
    uint16_t input = 0;
    modbus_set_slave(ctx.get(), 1);
    EXPECT_EQ(modbus_read_input_registers(ctx.get(), 0, 1, &input), -1);
    EXPECT_EQ(errno, EMBXILFUN);
    EXPECT_EQ(modbus_write_register(ctx.get(), 3000, 1), -1);
    EXPECT_EQ(errno, EMBXILADD);

    ASSERT_EQ(modbus_write_register(ctx.get(), 8212, 67), 1);
    EXPECT_FALSE(sim.WaitForLine(std::regex("station 1: parameters stored")).empty());

    // A second master, and one that connects after the first has gone, see the same device.
    const TContext second = ConnectTcp(port);
    ASSERT_TRUE(second);
    EXPECT_EQ(Read(second.get(), 1, 1010, 2), rangeStart);
    modbus_close(ctx.get());
    const TContext later = ConnectTcp(port);
    ASSERT_TRUE(later);
    EXPECT_EQ(Read(later.get(), 1, 1001, 1), std::vector<uint16_t>{25});
}

TEST(DevsimTcp, MovesADeviceAndMapsTheStations) {
    TSim sim({"--tcp", "127.0.0.1:0", "--device", "000D@1", "--device", "0006@2"});
    const TContext ctx = ConnectTcp(sim.Port());
    ASSERT_TRUE(ctx);
    modbus_set_slave(ctx.get(), 1);
    ASSERT_EQ(modbus_write_register(ctx.get(), 5009, 20), 1);
    EXPECT_EQ(ReadError(ctx.get(), 1, 3000, 1), EMBXGTAR);
    EXPECT_EQ(Read(ctx.get(), 20, 3000, 1), std::vector<uint16_t>{0x000D});

    modbus_set_slave(ctx.get(), 2);
    ASSERT_EQ(modbus_write_register(ctx.get(), 1201, 0), 1);
    const auto bus = Read(ctx.get(), 2, 1210, 19);
    ASSERT_EQ(bus.size(), 19u);
    EXPECT_EQ(bus[0], 1); // the read itself, after the reset
    EXPECT_EQ(bus[2], 0);
    EXPECT_EQ(bus[3], 0x0004); // station 2
    EXPECT_EQ(bus[4], 0x0010); // station 20
}

TEST(DevsimPty, ServesSeveralStationsOnOneLine) {
    const std::string link = TempLink("devsim-e2e-pty");
    TSim sim({"--pty", link, "--device", "000D@1", "--device", "0008@5"});
    ASSERT_FALSE(sim.WaitForLine(std::regex("listening: Modbus RTU on")).empty());
    const TContext ctx = ConnectRtu(link);
    ASSERT_TRUE(ctx);

    for (int station : {1, 5, 5, 1, 5}) // answers whichever station was asked last
        EXPECT_EQ(Read(ctx.get(), station, 3000, 1).size(), 1u) << station;
    EXPECT_EQ(Read(ctx.get(), 5, 3000, 1), std::vector<uint16_t>{0x0008});
    EXPECT_EQ(ReadError(ctx.get(), 9, 3000, 1), ETIMEDOUT);

    modbus_set_slave(ctx.get(), 5);
    ASSERT_EQ(modbus_write_register(ctx.get(), 5009, 9), 1);
    EXPECT_EQ(Read(ctx.get(), 9, 5009, 1), std::vector<uint16_t>{9});
    EXPECT_EQ(ReadError(ctx.get(), 5, 5009, 1), ETIMEDOUT);
    const auto map = Read(ctx.get(), 1, 1210, 19);
    ASSERT_EQ(map.size(), 19u);
    EXPECT_EQ(map[3], 0x0202); // stations 1 and 9

    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(DevsimPty, CountsAFrameWithABrokenCheckField) {
    const std::string link = TempLink("devsim-e2e-crc");
    TSim sim({"--pty", link, "--device", "0009@3"});
    ASSERT_FALSE(sim.WaitForLine(std::regex("listening:")).empty());
    const TContext ctx = ConnectRtu(link);
    ASSERT_TRUE(ctx);
    modbus_set_slave(ctx.get(), 3);
    ASSERT_EQ(modbus_write_register(ctx.get(), 1201, 0), 1);

    const uint8_t broken[] = {0x03, 0x03, 0x0B, 0xB8, 0x00, 0x01, 0x00, 0x00};
    ASSERT_EQ(write(modbus_get_socket(ctx.get()), broken, sizeof broken),
              static_cast<ssize_t>(sizeof broken));
    // The simulator drops what follows a broken frame, so a request may go unanswered once.
    std::vector<uint16_t> counters;
    for (int attempt = 0; attempt < 5 && counters.empty(); ++attempt)
        counters = Read(ctx.get(), 3, 1210, 3);
    ASSERT_EQ(counters.size(), 3u);
    EXPECT_GE(counters[2], 1);
}

TEST(DevsimPty, ServiceInterfaceAnswersAtStationSixtyEight) {
    const std::string link = TempLink("devsim-e2e-service");
    TSim sim({"--pty", link, "--service", "--device", "0106@9"});
    ASSERT_FALSE(sim.WaitForLine(std::regex("9600 baud 8E1")).empty());
    TContext ctx(modbus_new_rtu(link.c_str(), 9600, 'E', 8, 1));
    ASSERT_TRUE(ctx && modbus_connect(ctx.get()) == 0);
    modbus_set_response_timeout(ctx.get(), 0, 500000);
    EXPECT_EQ(Read(ctx.get(), 68, 3000, 1), std::vector<uint16_t>{0x0106});
    EXPECT_EQ(Read(ctx.get(), 68, 5009, 1), std::vector<uint16_t>{9});
    EXPECT_EQ(Read(ctx.get(), 9, 3000, 1), std::vector<uint16_t>{0x0106});
}

// --rtu on a terminal the test owns the other end of: the frames on the line, byte for byte.
TEST(DevsimRtu, AnswersOnASerialLine) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    TSim sim({"--rtu", ptsname(master), "--device", "000D@1"});
    ASSERT_FALSE(sim.WaitForLine(std::regex("listening: Modbus RTU on /dev/pts")).empty());

    // Read register 3000 of station 1; the check fields are the standard CRC-16 of the frames.
    const uint8_t request[] = {0x01, 0x03, 0x0B, 0xB8, 0x00, 0x01, 0x06, 0x0B};
    ASSERT_EQ(write(master, request, sizeof request), static_cast<ssize_t>(sizeof request));
    std::vector<uint8_t> answer;
    while (answer.size() < 7) {
        pollfd fd{master, POLLIN, 0};
        ASSERT_GT(poll(&fd, 1, 2000), 0) << "no answer";
        uint8_t chunk[32];
        const ssize_t n = read(master, chunk, sizeof chunk);
        ASSERT_GT(n, 0);
        answer.insert(answer.end(), chunk, chunk + n);
    }
    EXPECT_EQ(answer, (std::vector<uint8_t>{0x01, 0x03, 0x02, 0x00, 0x0D, 0x79, 0x81}));
    EXPECT_EQ(sim.Stop(), 0);
    close(master);
}

TEST(DevsimCommandLine, RefusesAnUnknownTypeAndBadArguments) {
    TSim unknown({"--tcp", "127.0.0.1:0", "--device", "00FF"});
    EXPECT_FALSE(unknown.WaitForLine(std::regex("no template for type 00FF")).empty());
    EXPECT_EQ(unknown.Wait(), 1);
    TSim bad({"--tcp", "127.0.0.1:0"});
    EXPECT_FALSE(bad.WaitForLine(std::regex("usage:")).empty());
    EXPECT_EQ(bad.Wait(), 2);
}

} // namespace
