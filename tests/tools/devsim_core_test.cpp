// The simulator's register logic without sockets: encoding by type, the image built from the
// template, the bus's answers, address moves, counters, live values and device commands.
#include "device_template.h"
#include "devsim_options.h"
#include "modbus_adu.h"
#include "sim_value_encoder.h"
#include "simulated_bus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

using TBytes = std::vector<uint8_t>;

struct TEncodeCase {
    const char* type;
    const char* text;
    int byteCount;
    TBytes bytes;
};

class SimValueEncoder : public testing::TestWithParam<TEncodeCase> {};

TEST_P(SimValueEncoder, EncodesByType) {
    const TEncodeCase& c = GetParam();
    EXPECT_EQ(TSimValueEncoder::Encode(c.type, c.text, c.byteCount), c.bytes)
        << c.type << " " << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Types, SimValueEncoder,
    testing::Values(
        TEncodeCase{"INT16", "-2", 2, {0xFF, 0xFE}}, TEncodeCase{"INT16", "70000", 2, {0x00, 0x00}},
        TEncodeCase{"UINT16", "70000", 2, {0x00, 0x00}},
        TEncodeCase{"UINT16", "abc", 2, {0x00, 0x00}},
        TEncodeCase{"UINT16", "65534", 2, {0xFF, 0xFE}},
        TEncodeCase{"INT32", "65536", 4, {0x00, 0x01, 0x00, 0x00}},
        TEncodeCase{"INT32", "-1", 4, {0xFF, 0xFF, 0xFF, 0xFF}},
        TEncodeCase{"UINT32", "-5", 4, {0x00, 0x00, 0x00, 0x00}},
        TEncodeCase{"UINT32", "4294967296", 4, {0x00, 0x00, 0x00, 0x00}},
        TEncodeCase{"UINT32", "4294967295", 4, {0xFF, 0xFF, 0xFF, 0xFF}},
        TEncodeCase{"FLOAT", "1.5", 4, {0x3F, 0xC0, 0x00, 0x00}},
        TEncodeCase{"FLOAT", "1,5", 4, {0x3F, 0xC0, 0x00, 0x00}},
        TEncodeCase{"FLOAT", "x", 4, {0x00, 0x00, 0x00, 0x00}},
        TEncodeCase{
            "ASCII16",
            "AB",
            16,
            {'A', 'B', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}},
        TEncodeCase{"SELECT_X", "7", 1, {0x07}}, TEncodeCase{"SELECT_X", "300", 1, {0x00}},
        TEncodeCase{"BINARY_X", "300", 2, {0x01, 0x2C}}, TEncodeCase{"RESERVED", "5", 2, {}}));

TEST(SimValueEncoderText, LongTextIsCutToItsWidth) {
    const auto bytes = TSimValueEncoder::Encode("ASCII24", std::string(30, 'x'), 24);
    EXPECT_EQ(bytes, TBytes(24, 'x'));
}

std::unique_ptr<TSimulatedDevice> MakeDevice(const std::string& type, uint8_t address,
                                             const std::string& version = "") {
    return std::make_unique<TSimulatedDevice>(
        TDeviceTemplate::Load(PARSETTA_DEVICES_DB, type, version), address,
        "SN" + type + std::to_string(address));
}

std::string Text(const std::vector<uint16_t>& registers) {
    std::string text;
    for (uint16_t reg : registers)
        for (int shift : {8, 0})
            if (const char c = static_cast<char>((reg >> shift) & 0xFF); c != 0)
                text += c;
    return text;
}

TEST(DeviceTemplate, ChoosesTheTemplateByFirmwareVersion) {
    const auto newest = TDeviceTemplate::Load(PARSETTA_DEVICES_DB, "000d", "");
    EXPECT_EQ(newest.Version(), "0106");
    EXPECT_EQ(newest.NodeId(), 39);
    EXPECT_EQ(newest.ModelName(), "UT10");
    EXPECT_EQ(TDeviceTemplate::Load(PARSETTA_DEVICES_DB, "000D", "0105").NodeId(), 13);
    EXPECT_EQ(TDeviceTemplate::Load(PARSETTA_DEVICES_DB, "0106", "").ModelName(), "AI4-I");

    const auto oldTt2 = TDeviceTemplate::Load(PARSETTA_DEVICES_DB, "0002", "0101");
    EXPECT_TRUE(oldTt2.DiagRows().empty());
    EXPECT_FALSE(TDeviceTemplate::Load(PARSETTA_DEVICES_DB, "0002", "").DiagRows().empty());
    EXPECT_THROW(TDeviceTemplate::Load(PARSETTA_DEVICES_DB, "00FF", ""), std::runtime_error);
}

TEST(SimulatedDevice, AnswersIdentificationAndBusSettings) {
    const auto device = MakeDevice("000D", 12);
    const TRegisterImage& image = device->Image();
    EXPECT_EQ(image.Get(3000), 0x000D);
    EXPECT_EQ(Text(image.Read(3002, 10)), "SN000D12");
    EXPECT_EQ(image.Read(3012, 2), (std::vector<uint16_t>{0, 0}));
    EXPECT_EQ(image.Get(3028), 0x0106);
    EXPECT_EQ(Text(image.Read(3030, 8)), "KOLVANE");
    EXPECT_EQ(Text(image.Read(3038, 12)), "UT10");
    EXPECT_EQ(image.Get(102), 0);
    EXPECT_EQ(image.Read(5009, 4), (std::vector<uint16_t>{12, 6, 0, 0}));
    EXPECT_TRUE(image.IsMapped(5150, 8));
    EXPECT_TRUE(image.IsMapped(1210, 19));
}

// Factory values by type, in blocks and alone, and only for rows whose condition holds under
// the factory labels (the output's error value in mA, not the one in V on the same register).
TEST(SimulatedDevice, HoldsFactoryValuesOfApplicableRows) {
    const auto device = MakeDevice("000D", 1);
    const TRegisterImage& image = device->Image();
    EXPECT_EQ(image.Get(1000), 0x0100); // input type 4-20 mA; connection applies to RTD only
    EXPECT_EQ(image.Get(1001), 10);     // filter time
    EXPECT_FLOAT_EQ(image.GetFloat(1010), 4.0f);
    EXPECT_FLOAT_EQ(image.GetFloat(1012), 20.0f);
    EXPECT_FLOAT_EQ(image.GetFloat(1101), 3.5f);
    EXPECT_EQ(image.Get(1100), 1);
    EXPECT_TRUE(image.IsMapped(1014, 4)); // temperature range rows exist though they do not apply
    EXPECT_TRUE(image.IsMapped(1022, 1)); // the reserved row of an unknown type
    EXPECT_FALSE(image.IsWritable(1022, 1));
    EXPECT_FALSE(image.IsMapped(1024, 1));

    const auto tt2 = MakeDevice("0002", 3);
    EXPECT_FALSE(tt2->Image().IsMapped(1210, 1)); // no bus diagnostics in this family
    EXPECT_EQ(tt2->Image().Get(1000), 0x0003);    // RTD, 3-wire
    EXPECT_EQ(tt2->Image().Get(1001), 0);         // the RTD's Pt100, not the thermocouple's K

    const auto do4 = MakeDevice("0009", 4);
    EXPECT_EQ(do4->Image().Get(1040), 0x0101); // channel 3: switching, transistor

    const auto di4 = MakeDevice("0008", 5);
    EXPECT_EQ(di4->Image().Get(1000), 0x0200); // channel 1 counts on the rising edge
    EXPECT_EQ(di4->Image().Get(1001), 10);     // with its debounce time
    EXPECT_EQ(di4->Image().Get(1020), 0x0300); // channel 2 measures a frequency
    EXPECT_EQ(di4->Image().Get(1021), 0);      // where no debounce time applies
}

TBusRequest Request(uint8_t station, uint8_t function, uint16_t address, uint16_t quantity,
                    std::vector<uint16_t> values = {}) {
    TBusRequest request;
    request.station = station;
    request.function = function;
    request.address = address;
    request.quantity = quantity;
    request.values = std::move(values);
    return request;
}

class SimulatedBusTest : public testing::Test {
protected:
    SimulatedBusTest() : bus(false, false) {
        bus.Add(MakeDevice("000D", 1));
        bus.Add(MakeDevice("0008", 17));
        bus.OnLog = [this](const std::string& line) { log.push_back(line); };
    }

    TBusReply Send(TBusRequest request) { return bus.Process(request, 0); }

    TSimulatedBus bus;
    std::vector<std::string> log;
};

struct TExceptionCase {
    const char* what;
    TBusRequest request;
    int exception;
};

TEST_F(SimulatedBusTest, AnswersExceptionsForWhatTheDeviceRefuses) {
    const TExceptionCase cases[] = {
        {"unknown register", Request(1, 3, 9000, 1), 2},
        {"block reaching past the image", Request(1, 3, 3040, 12), 2},
        {"read input registers", Request(1, 4, 0, 1), 1},
        {"write single coil", Request(1, 5, 0, 1), 1},
        {"no registers", Request(1, 3, 3000, 0), 3},
        {"too many registers", Request(1, 3, 3000, 126), 3},
        {"write to the identification", Request(1, 6, 3000, 1, {5}), 2},
        {"address 0", Request(1, 6, 5009, 1, {0}), 3},
        {"address 248", Request(1, 16, 5009, 1, {248}), 3},
        {"address of another station", Request(1, 6, 5009, 1, {17}), 3},
        {"counter reset with 1", Request(1, 6, 1201, 1, {1}), 3},
        {"quantity and values differ", Request(1, 16, 1010, 2, {1}), 3},
    };
    for (const auto& c : cases) {
        const TBusReply reply = Send(c.request);
        EXPECT_EQ(reply.kind, TBusReply::Exception) << c.what;
        EXPECT_EQ(reply.exception, c.exception) << c.what;
    }
    EXPECT_EQ(bus.Find(1)->Image().Get(5009), 1);
}

TEST_F(SimulatedBusTest, KeepsWrittenValuesAndAnswersReads) {
    ASSERT_EQ(Send(Request(1, 16, 1010, 2, {0x4120, 0x0000})).kind, TBusReply::Written);
    ASSERT_EQ(Send(Request(17, 6, 1001, 1, {250})).kind, TBusReply::Written);
    const TBusReply reply = Send(Request(1, 3, 1010, 2));
    ASSERT_EQ(reply.kind, TBusReply::Registers);
    EXPECT_EQ(reply.values, (std::vector<uint16_t>{0x4120, 0x0000}));
    EXPECT_EQ(Send(Request(17, 3, 1001, 1)).values, std::vector<uint16_t>{250});
    EXPECT_EQ(Send(Request(1, 3, 1001, 1)).values, std::vector<uint16_t>{10});
}

TEST_F(SimulatedBusTest, AddressChangeMovesTheDeviceFromTheNextRequestOn) {
    ASSERT_EQ(Send(Request(1, 6, 5009, 1, {33})).kind, TBusReply::Written);
    EXPECT_EQ(Send(Request(1, 3, 3000, 1)).kind, TBusReply::NoReply);
    const TBusReply moved = Send(Request(33, 3, 5009, 1));
    EXPECT_EQ(moved.values, std::vector<uint16_t>{33});
    EXPECT_EQ(log.back(), "station 1: address changed to 33");

    // All four bus registers at once, as the settings are written back.
    ASSERT_EQ(Send(Request(33, 16, 5009, 4, {2, 5, 3, 10})).kind, TBusReply::Written);
    EXPECT_EQ(Send(Request(2, 3, 5009, 4)).values, (std::vector<uint16_t>{2, 5, 3, 10}));
}

TEST_F(SimulatedBusTest, CountsTelegramsAndMapsTheStations) {
    Send(Request(17, 3, 3000, 1));
    Send(Request(99, 3, 3000, 1));
    Send(Request(1, 3, 9000, 1)); // answered with exception 2: an error
    bus.CountBadFrame();
    const TBusReply counters = Send(Request(1, 3, 1210, 19));
    ASSERT_EQ(counters.values.size(), 19u);
    EXPECT_EQ(counters.values[0], 2);      // telegrams for station 1, this read included
    EXPECT_EQ(counters.values[1], 5);      // all telegrams on the bus
    EXPECT_EQ(counters.values[2], 2);      // the exception and the broken frame
    EXPECT_EQ(counters.values[3], 0x0002); // station 1
    EXPECT_EQ(counters.values[4], 0x0002); // station 17
    for (size_t w = 5; w < 19; ++w)
        EXPECT_EQ(counters.values[w], 0) << w;

    ASSERT_EQ(Send(Request(1, 6, 1201, 1, {0})).kind, TBusReply::Written);
    const TBusReply reset = Send(Request(1, 3, 1210, 3));
    EXPECT_EQ(reset.values, (std::vector<uint16_t>{1, 1, 0}));
    EXPECT_EQ(Send(Request(17, 3, 1210, 2)).values, (std::vector<uint16_t>{2, 8}));
}

TEST_F(SimulatedBusTest, LogsTheStoreCommand) {
    ASSERT_EQ(Send(Request(1, 6, 8212, 1, {67})).kind, TBusReply::Written);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "station 1: parameters stored");
}

TEST_F(SimulatedBusTest, FactoryResetRestoresSettingsButKeepsTheAddress) {
    Send(Request(1, 16, 1010, 2, {0x40E0, 0})); // range start 7
    Send(Request(1, 6, 5009, 1, {5}));
    ASSERT_EQ(Send(Request(5, 6, 8200, 1, {1})).kind, TBusReply::Written);
    EXPECT_FLOAT_EQ(bus.Find(5)->Image().GetFloat(1010), 4.0f);
    EXPECT_EQ(bus.Find(5)->Image().Get(8200), 0);
    EXPECT_EQ(log.back(), "station 5: factory settings restored");
}

TEST_F(SimulatedBusTest, BroadcastWritesReachEveryDeviceWithoutAnswer) {
    EXPECT_EQ(bus.Process(Request(0, 6, 8212, 1, {67}), 0).kind, TBusReply::NoReply);
    EXPECT_EQ(bus.Find(1)->Image().Get(8212), 67);
    EXPECT_EQ(bus.Find(17)->Image().Get(8212), 67);
}

TEST(SimulatedBusService, StationSixtyEightReachesTheSingleDevice) {
    TSimulatedBus bus(true, true);
    bus.Add(MakeDevice("0006", 9));
    EXPECT_EQ(bus.Process(Request(68, 3, 3000, 1), 0).values, std::vector<uint16_t>{6});
    EXPECT_EQ(bus.Process(Request(9, 3, 3000, 1), 0).values, std::vector<uint16_t>{6});
    const TBusReply absent = bus.Process(Request(10, 3, 3000, 1), 0);
    EXPECT_EQ(absent.kind, TBusReply::Exception);
    EXPECT_EQ(absent.exception, TSimulatedBus::GatewayTargetFailed);
}

TEST(SimulatedDeviceLive, ValuesMoveAndStatusFollowsTheSetpoints) {
    auto device = MakeDevice("000D", 1);
    std::vector<float> measured;
    for (double t : {0.0, 30.0, 90.0}) {
        device->UpdateLive(t);
        measured.push_back(device->Image().GetFloat(2000));
    }
    EXPECT_FLOAT_EQ(measured[0], 12.0f); // sine 3..21, middle at the start
    EXPECT_FLOAT_EQ(measured[1], 21.0f); // a quarter of its 120 s period
    EXPECT_FLOAT_EQ(measured[2], 3.0f);
    device->UpdateLive(30);
    EXPECT_EQ(device->Image().Get(2005) & 0x02, 0x02); // over-range: 21 > range end 20
    EXPECT_EQ(device->Image().Get(2005) & 0x08, 0x08); // above relay 1's setpoint 16
    device->Write(1302, {0x41C8, 0});                  // relay 1 setpoint 25
    device->UpdateLive(30);
    EXPECT_EQ(device->Image().Get(2005) & 0x08, 0);

    device->UpdateLive(0);
    const uint32_t hoursAtStart = (device->Image().Get(2003) << 16) | device->Image().Get(2004);
    device->UpdateLive(100);
    const uint32_t hoursLater = (device->Image().Get(2003) << 16) | device->Image().Get(2004);
    EXPECT_EQ(hoursAtStart, 12000u);
    EXPECT_EQ(hoursLater, 12010u);
    const int terminal = static_cast<int16_t>(device->Image().Get(2002));
    EXPECT_NEAR((terminal - 2732) * 0.1, 35.0, 1.6); // terminal temperature near 35 degrees
}

struct TOptionsCase {
    std::vector<std::string> args;
    bool valid;
};

TEST(DevsimOptions, AcceptsTheCommandLineAndRejectsMistakes) {
    const TOptionsCase cases[] = {
        {{"--tcp", "127.0.0.1:1502", "--device", "000D@1", "--device", "0006@2"}, true},
        {{"--tcp", "1502", "--device", "000d"}, true},
        {{"--pty", "/tmp/link", "--service", "--verbose", "--device",
          "0002@5,version=0101,rfid=ABC"},
         true},
        {{"--db", "x.db", "--rtu", "/dev/ttyS0", "--device", "0009@247"}, true},
        {{"--device", "000D"}, false},
        {{"--tcp", "1502"}, false},
        {{"--tcp", "1502", "--rtu", "/dev/ttyS0", "--device", "000D"}, false},
        {{"--tcp", "70000", "--device", "000D"}, false},
        {{"--tcp", "1502", "--device", "UT10"}, false},
        {{"--tcp", "1502", "--device", "000D@0"}, false},
        {{"--tcp", "1502", "--device", "000D@248"}, false},
        {{"--tcp", "1502", "--device", "000D@3", "--device", "0006@3"}, false},
        {{"--tcp", "1502", "--service", "--device", "000D@1", "--device", "0006@2"}, false},
        {{"--tcp", "1502", "--device", "000D,version=106"}, false},
        {{"--tcp", "1502", "--device", "000D,rfid=" + std::string(21, 'x')}, false},
        {{"--tcp", "1502", "--device", "000D", "--colour"}, false},
        {{"--tcp"}, false},
    };
    for (const auto& c : cases) {
        TDevsimOptions options;
        std::string error;
        std::string line;
        for (const auto& arg : c.args)
            line += arg + " ";
        EXPECT_EQ(TDevsimOptions::Parse(c.args, options, error), c.valid) << line << error;
        EXPECT_EQ(error.empty(), c.valid) << line;
    }

    TDevsimOptions options;
    std::string error;
    ASSERT_TRUE(TDevsimOptions::Parse({"--tcp", "1502", "--device", "0002@5,version=0101,rfid=ABC"},
                                      options, error));
    EXPECT_EQ(options.host, "127.0.0.1");
    EXPECT_EQ(options.port, 1502);
    EXPECT_EQ(options.devices[0].typeCode, "0002");
    EXPECT_EQ(options.devices[0].address, 5);
    EXPECT_EQ(options.devices[0].version, "0101");
    EXPECT_EQ(options.devices[0].rfid, "ABC");
}

TEST(ModbusAdu, ParsesFramesAndChecksTheRtuCheckField) {
    // Read 10 registers from 0 at station 1, check field C5 CD (low byte first).
    const uint8_t read[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};
    EXPECT_TRUE(TModbusAdu::RtuCheckFieldValid(read, 8));
    EXPECT_EQ(TModbusAdu::RtuRequestLength(read, 8), 8);
    const TBusRequest request = TModbusAdu::Parse(read, 8, 1);
    EXPECT_EQ(request.station, 1);
    EXPECT_EQ(request.function, 3);
    EXPECT_EQ(request.quantity, 10);
    uint8_t corrupt[sizeof read];
    std::memcpy(corrupt, read, sizeof read);
    corrupt[5] = 0x0B;
    EXPECT_FALSE(TModbusAdu::RtuCheckFieldValid(corrupt, 8));

    const uint8_t write[] = {0x00, 0x01, 0x00, 0x00, 0x00, 0x0B, 0x07, 0x10, 0x13,
                             0x91, 0x00, 0x02, 0x04, 0x00, 0x05, 0x00, 0x06};
    const TBusRequest tcp = TModbusAdu::Parse(write, sizeof write, 7);
    EXPECT_EQ(tcp.station, 7);
    EXPECT_EQ(tcp.address, 5009);
    EXPECT_EQ(tcp.values, (std::vector<uint16_t>{5, 6}));
    EXPECT_FALSE(tcp.malformed);
    EXPECT_TRUE(TModbusAdu::Parse(write, sizeof write - 1, 7).malformed);
}

} // namespace
