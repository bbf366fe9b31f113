// The Modbus driver's exchange, decoding, cache and scan planning against a scripted port, for
// the RTU and the TCP framing.
#include "modbus/modbus_rtu_driver.h"
#include "modbus/modbus_tcp_driver.h"
#include "modbus/plc_block.h"
#include "modbus/rtu_framing.h"
#include "modbus/tcp_framing.h"
#include "modbus_scripted_port.h"
#include "support/test_ui_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::Each;
using ::testing::ElementsAre;

namespace {

template <class Driver> class TExposed : public Driver {
public:
    TExposed() : Driver(TDeferWorkers{}) { this->StartWorkers(); }
    ~TExposed() override { this->DestroyDriver(); }
    using TModBusDriver::ProtocolWordBits;
    using TModBusDriver::ReadFromCache;
    using TModBusDriver::ReadValues;
    using TModBusDriver::WriteValues;
    // A scan cycle with the locks the scan thread would hold.
    int32_t RunScanCycle() {
        typename Driver::TPauseScan pause(*this);
        int32_t needSleep = 0;
        this->ScanReadCycle(nullptr, needSleep);
        return needSleep;
    }
};

TTagRec Record(int station, int function, int address, int count, int offset = 0) {
    TTagRec r;
    r.PLCStation = station;
    r.MemReadFunction = function;
    r.MemWriteFunction = function;
    r.MemAddress = address;
    r.WordCount = count;
    r.WordOffset = offset;
    return r;
}

BYTES Registers(std::initializer_list<int> values) {
    BYTES data{static_cast<uint8_t>(2 * values.size())};
    for (int v : values) {
        data.push_back(static_cast<uint8_t>(v >> 8));
        data.push_back(static_cast<uint8_t>(v & 0xFF));
    }
    return data;
}

BYTES Pdu(uint8_t function, const BYTES& data) {
    BYTES pdu(data.size() + 1);
    pdu[0] = function;
    std::copy(data.begin(), data.end(), pdu.begin() + 1);
    return pdu;
}

// The block of a station as the application's tags would attach it: AutoRead with a scan time
// so long that the scan thread leaves it alone.
struct TAttachedBlock {
    TAttachedBlock(TProtocolDriver& driver, int station, int function, int address, int size) {
        block.SetPLCStation(station);
        block.SetMemReadFunction(function);
        block.SetMemAddress(address);
        block.SetSize(size);
        block.SetTagType(pttWord);
        block.SetRefreshTime(100000000);
        block.SetProtocolDriver(&driver);
    }
    ~TAttachedBlock() { block.SetProtocolDriver(nullptr); }
    TPLCBlock block;
};

template <class Driver> class DriverFixture : public ::testing::Test {
protected:
    DriverFixture() {
        port.SetActive(true);
        driver.SetReadSomethingAlways(false);
        driver.SetCommunicationPort(&port);
    }
    ~DriverFixture() override { driver.SetCommunicationPort(nullptr); }

    // The range of the attached block at station/function: reads of the cache statistics.
    TRegisterRange Range(int station, TModbusArea area) {
        std::optional<TRegisterRange> range;
        driver.InspectStation(station, [&](TModbusStation& s) {
            TPLCMemoryManager* m = area == maCoils            ? &s.Coils
                                   : area == maDiscreteInputs ? &s.DiscreteInputs
                                   : area == maInputRegisters ? &s.InputRegisters
                                                              : &s.HoldingRegisters;
            if (!m->Blocks().empty())
                range = m->Blocks().front();
        });
        if (!range)
            throw std::runtime_error("no range");
        return *range;
    }

    TScriptedPort port;
    TExposed<Driver> driver;
};

using RtuDriver = DriverFixture<TModBusRTUDriver>;
using TcpDriver = DriverFixture<TModBusTCPDriver>;

BYTES RtuAnswer(uint8_t station, uint8_t function, const BYTES& data) {
    return RtuFrame(station, Pdu(function, data));
}

TEST_F(RtuDriver, ReadsTwelveRegistersInTwoSteps) {
    port.SetScript([](const BYTES&) {
        return RtuAnswer(0x44, 0x03, Registers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0xFFFF}));
    });
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(68, 3, 3000, 12), values, true), ioOk);
    EXPECT_THAT(values, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 65535));
    EXPECT_THAT(port.WrittenRequests(),
                ElementsAre(RtuFrame(0x44, BYTES{0x03, 0x0B, 0xB8, 0x00, 0x0C})));
    EXPECT_THAT(port.ReadSizes(), ElementsAre(3, 24 + 2));
}

TEST_F(RtuDriver, ExceptionAnswersMapToResultsAndMarkOnlyReadRanges) {
    TAttachedBlock attached(driver, 68, 3, 3000, 12);
    const std::vector<std::pair<uint8_t, TProtocolIOResult>> codes{
        {1, ioIllegalFunction},
        {2, ioIllegalRegAddress},
        {3, ioIllegalValue},
        {4, ioPLCError},
        {5, ioAcknowledge},
        {6, ioBusy},
        {7, ioNACK},
        {8, ioMemoryParityError},
        {9, ioCommError},
        {10, ioGatewayUnavailable},
        {11, ioDeviceGatewayFailedToRespond},
        {0x80, ioCommError}};
    for (const auto& [code, expected] : codes) {
        port.SetScript([code](const BYTES& r) { return RtuAnswer(r[0], r[1] | 0x80, {code}); });
        TArrayOfDouble values{9};
        EXPECT_EQ(driver.ReadValues(Record(68, 3, 3000, 12), values, true), expected) << int(code);
        EXPECT_TRUE(values.empty());
    }
    EXPECT_EQ(Range(68, maHoldingRegisters).ReadFaults(), codes.size());
    EXPECT_EQ(Range(68, maHoldingRegisters).LastOutcome(), ioCommError);

    port.SetScript([](const BYTES& r) { return RtuAnswer(r[0], 0x90, {0x02}); });
    EXPECT_EQ(driver.WriteValues(Record(68, 16, 3000, 1), {5}, true), ioIllegalRegAddress);
    EXPECT_EQ(Range(68, maHoldingRegisters).ReadFaults(), codes.size()) << "writes mark nothing";
}

TEST_F(RtuDriver, AnswerOfAnotherStationIsDrained) {
    port.SetScript([](const BYTES&) { return RtuAnswer(0x45, 0x03, Registers({1, 2})); });
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(0x44, 3, 0, 2), values, true), ioCommError);
    EXPECT_EQ(port.Pending(), 0u);
    EXPECT_THAT(port.ReadSizes(), ElementsAre(3, 1, 1, 1, 1, 1, 1, 1));
    // A foreign function code is drained as well.
    port.Clear();
    port.SetScript([](const BYTES&) { return RtuAnswer(0x44, 0x04, Registers({1})); });
    EXPECT_EQ(driver.ReadValues(Record(0x44, 3, 0, 1), values, true), ioCommError);
    EXPECT_EQ(port.Pending(), 0u);
}

TEST_F(RtuDriver, CorruptedCheckFieldGivesCommErrorAndLeavesTheCache) {
    TAttachedBlock attached(driver, 1, 3, 0, 2);
    for (size_t flip : {size_t{3}, size_t{7}, size_t{8}}) {
        port.SetScript([flip](const BYTES&) {
            BYTES answer = RtuAnswer(1, 0x03, Registers({7, 8}));
            answer[flip] ^= 0x10;
            return answer;
        });
        TArrayOfDouble values;
        EXPECT_EQ(driver.ReadValues(Record(1, 3, 0, 2), values, true), ioCommError) << flip;
        EXPECT_TRUE(values.empty());
    }
    const TRegisterRange range = Range(1, maHoldingRegisters);
    EXPECT_EQ(range.ReadFaults(), 0u);
    EXPECT_EQ(range.ReadSuccess(), 0u);
    EXPECT_THAT(range.Values(), Each(0.0));
}

TEST_F(RtuDriver, AnswerWithFewerRegistersThanAskedIsRejected) {
    port.SetScript([](const BYTES&) { return RtuAnswer(1, 0x03, Registers({7, 8})); });
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 0, 3), values, true), ioCommError);
    EXPECT_TRUE(values.empty());
}

TEST_F(RtuDriver, TruncatedAnswerTimesOutAndMarksTheRangeFailed) {
    TAttachedBlock attached(driver, 1, 3, 10, 4);
    port.SetScript([](const BYTES&) {
        BYTES answer = RtuAnswer(1, 0x03, Registers({1, 2, 3, 4}));
        answer.resize(answer.size() - 3);
        return answer;
    });
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 10, 4), values, true), ioTimeOut);
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(Range(1, maHoldingRegisters).ReadFaults(), 1u);
    EXPECT_EQ(Range(1, maHoldingRegisters).LastOutcome(), ioTimeOut);
    // No header at all.
    port.SetScript([](const BYTES&) { return BYTES{0x01, 0x03}; });
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 10, 4), values, true), ioEmptyPacket);
    // An exception answer whose check field never arrives is not taken at its word.
    port.SetScript([](const BYTES&) { return BYTES{0x01, 0x83, 0x02}; });
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 10, 4), values, true), ioTimeOut);
    EXPECT_EQ(Range(1, maHoldingRegisters).ReadFaults(), 2u);
}

TEST_F(RtuDriver, SuccessfulReadsAndWritesRefreshTheCache) {
    TAttachedBlock attached(driver, 2, 3, 100, 3);
    port.SetScript([](const BYTES& r) {
        if (r[1] == 0x10)
            return RtuFrame(r[0], BYTES(r.begin() + 1, r.begin() + 6));
        return RtuAnswer(2, 0x03, Registers({11, 12, 13}));
    });
    TArrayOfDouble values;
    ASSERT_EQ(driver.ReadValues(Record(2, 3, 100, 3), values, true), ioOk);
    ASSERT_EQ(driver.WriteValues(Record(2, 16, 100, 2, 1), {21, 22}, true), ioOk);
    TScanReadRec cached;
    driver.ReadFromCache(Record(2, 3, 100, 3), cached);
    EXPECT_EQ(cached.ReadResult, ioOk);
    EXPECT_EQ(cached.ReadsOK, 1u);
    EXPECT_THAT(cached.Values, ElementsAre(11, 21, 22));
    EXPECT_EQ(Range(2, maHoldingRegisters).ReadSuccess(), 2u);
}

TEST_F(RtuDriver, ExceptionStatusGoesToTheStation) {
    TAttachedBlock attached(driver, 6, 3, 0, 1);
    port.SetScript([](const BYTES&) { return RtuAnswer(6, 0x07, {0x6D}); });
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(6, 7, 0, 0), values, true), ioOk);
    EXPECT_TRUE(values.empty());
    EXPECT_THAT(port.ReadSizes(), ElementsAre(3, 2));
    port.SetScript([](const BYTES&) { return BYTES{6, 0x07}; });
    EXPECT_EQ(driver.ReadValues(Record(6, 7, 0, 0), values, true), ioEmptyPacket);
    port.SetScript([](const BYTES&) { return BYTES{6, 0x07, 0x11}; });
    EXPECT_EQ(driver.ReadValues(Record(6, 7, 0, 0), values, true), ioTimeOut);
    driver.InspectStation(6, [](TModbusStation& s) {
        EXPECT_EQ(s.ExceptionStatus, 0x6D) << "kept from the last good answer";
        EXPECT_EQ(s.ExceptionStatusResult, ioTimeOut);
        EXPECT_NE(s.ExceptionStatusTime, TDateTime{});
    });
}

TEST_F(RtuDriver, ReadFromCacheWithoutStation) {
    TScanReadRec cached;
    cached.Values = {1, 2};
    driver.ReadFromCache(Record(9, 3, 0, 4), cached);
    EXPECT_EQ(cached.ReadResult, ioDriverError);
    EXPECT_EQ(cached.ReadFaults, 1u);
    EXPECT_TRUE(cached.Values.empty());
}

TEST_F(RtuDriver, BroadcastWriteWaitsForNoAnswer) {
    EXPECT_EQ(driver.WriteValues(Record(0, 16, 5, 2), {1, 2}, true), ioOk);
    EXPECT_THAT(port.WrittenRequests(),
                ElementsAre(RtuFrame(0, BYTES{0x10, 0, 5, 0, 2, 4, 0, 1, 0, 2})));
    EXPECT_TRUE(port.ReadSizes().empty());
}

TEST_F(RtuDriver, RequestsThatCannotBeSentNeverReachTheLine) {
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(256, 3, 0, 1), values, true), ioIllegalStationAddress);
    EXPECT_EQ(driver.WriteValues(Record(-1, 6, 0, 1), {1}, true), ioIllegalStationAddress);
    EXPECT_EQ(driver.ReadValues(Record(1, 8, 0, 1), values, true), ioIllegalRequest);
    EXPECT_EQ(driver.WriteValues(Record(1, 16, 0, 3), {1}, true), ioIllegalRequest);
    EXPECT_TRUE(port.WrittenRequests().empty());
}

TEST_F(RtuDriver, PortThatIsMissingOrStopsBeingReady) {
    TArrayOfDouble values;
    port.SetActive(false);
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 0, 1), values, true), ioNullDriver);
    port.SetActive(true);
    // Ready for the header command only: the continuation is not executed.
    port.SetScript([](const BYTES&) { return RtuAnswer(1, 0x03, Registers({1})); });
    port.SetReadyCommands(1);
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 0, 1), values, true), ioDriverError);
    // The drain ends as well when the port goes away.
    port.SetReadyCommands(1);
    port.SetScript([](const BYTES&) { return RtuAnswer(2, 0x03, Registers({1})); });
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 0, 1), values, true), ioCommError);
    port.SetReadyCommands(-1);
    driver.SetCommunicationPort(nullptr);
    EXPECT_EQ(driver.WriteValues(Record(1, 6, 0, 1), {1}, true), ioNullDriver);
}

TEST_F(RtuDriver, ScanCycleReadsOnlyDueBlocksUnlessAskedToReadAlways) {
    TAttachedBlock attached(driver, 3, 4, 50, 2);
    port.SetScript([](const BYTES&) { return RtuAnswer(3, 0x04, Registers({4, 5})); });
    EXPECT_EQ(driver.RunScanCycle(), 1);
    EXPECT_TRUE(port.WrittenRequests().empty());
    driver.SetReadSomethingAlways(true);
    driver.RunScanCycle();
    driver.SetReadSomethingAlways(false);
    EXPECT_THAT(port.WrittenRequests(), ElementsAre(RtuFrame(3, BYTES{0x04, 0, 50, 0, 2})));
    TScanReadRec cached;
    driver.ReadFromCache(Record(3, 4, 50, 2), cached);
    EXPECT_EQ(cached.ReadResult, ioOk);
    EXPECT_THAT(cached.Values, ElementsAre(4, 5));
}

TEST_F(RtuDriver, HolePropertiesReachExistingStations) {
    TAttachedBlock a(driver, 4, 1, 0, 1);
    TAttachedBlock b(driver, 4, 1, 30, 1);
    driver.InspectStation(4, [](TModbusStation& s) {
        EXPECT_EQ(s.Coils.MaxHole(), 50);
        EXPECT_EQ(s.Coils.MaxBlockItems(), 2000);
        EXPECT_EQ(s.HoldingRegisters.MaxBlockItems(), 125);
        EXPECT_EQ(s.Coils.Blocks().size(), 1u);
    });
    driver.SetOutputMaxHole(5);
    driver.SetRegisterMaxHole(3);
    driver.InspectStation(4, [](TModbusStation& s) {
        EXPECT_EQ(s.Coils.Blocks().size(), 2u);
        EXPECT_EQ(s.HoldingRegisters.MaxHole(), 3);
        EXPECT_EQ(s.InputRegisters.MaxHole(), 3);
        EXPECT_EQ(s.DiscreteInputs.MaxHole(), 50);
    });
}

TEST_F(RtuDriver, ProtocolWordBitsByFunction) {
    TPLCBlock block;
    block.SetAutoRead(false);
    const std::vector<std::tuple<int, bool, uint8_t, TTagType>> rows{
        {1, false, 1, pttDefault}, {2, false, 1, pttDefault}, {5, true, 1, pttDefault},
        {15, true, 1, pttDefault}, {3, false, 16, pttWord},   {4, false, 16, pttWord},
        {6, true, 16, pttWord},    {16, true, 16, pttWord},   {7, false, 16, pttDouble}};
    for (const auto& [function, write, bits, type] : rows) {
        block.SetMemReadFunction(write ? 3 : function);
        block.SetMemWriteFunction(write ? function : 6);
        TTagType protocolType = pttDouble;
        EXPECT_EQ(driver.ProtocolWordBits(&block, write, protocolType), bits) << function;
        EXPECT_EQ(protocolType, type) << function;
    }
}

// The application's own path: a register block reading and writing through the driver.
TEST_F(RtuDriver, RegisterBlockReadsAndWrites) {
    port.SetScript([](const BYTES& r) {
        if (r[1] == 0x10)
            return RtuFrame(r[0], BYTES(r.begin() + 1, r.begin() + 6));
        return RtuAnswer(r[0], 0x03, Registers({100, 200}));
    });
    TPLCBlock block;
    block.SetAutoRead(false);
    block.SetPLCStation(68);
    block.SetMemAddress(3000);
    block.SetMemReadFunction(3);
    block.SetMemWriteFunction(16);
    block.SetTagType(pttWord);
    block.SetSize(2);
    block.SetProtocolDriver(&driver);
    block.Read();
    EXPECT_EQ(block.LastSyncReadStatus(), ioOk);
    EXPECT_EQ(block.Elements(1), 200);
    block.WriteElements();
    EXPECT_EQ(block.LastSyncWriteStatus(), ioOk);
    EXPECT_EQ(port.WrittenRequests().back(),
              RtuFrame(68, BYTES{0x10, 0x0B, 0xB8, 0, 2, 4, 0, 100, 0, 200}));
    block.SetProtocolDriver(nullptr);
}

// ---- TCP ---------------------------------------------------------------------------------

BYTES TcpAnswer(uint8_t unit, uint8_t function, const BYTES& data) {
    return TcpFrame(unit, Pdu(function, data));
}

TEST_F(TcpDriver, ReadsTwelveRegistersInTwoSteps) {
    port.SetScript([](const BYTES&) {
        BYTES answer = TcpAnswer(0x44, 0x03, Registers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
        answer[0] = 0x12; // the transaction identifier of the answer is not examined
        answer[1] = 0x34;
        return answer;
    });
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(68, 3, 3000, 12), values, true), ioOk);
    EXPECT_EQ(values.size(), 12u);
    EXPECT_EQ(values.back(), 12);
    EXPECT_THAT(port.WrittenRequests(),
                ElementsAre(BYTES{0, 0, 0, 0, 0, 6, 0x44, 0x03, 0x0B, 0xB8, 0x00, 0x0C}));
    EXPECT_THAT(port.ReadSizes(), ElementsAre(9, 27 - 3));
}

TEST_F(TcpDriver, ExceptionAnswerAfterNineBytes) {
    port.SetScript([](const BYTES&) { return BYTES{0, 0, 0, 0, 0, 3, 0x44, 0x83, 0x02}; });
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(68, 3, 3000, 12), values, true), ioIllegalRegAddress);
    EXPECT_THAT(port.ReadSizes(), ElementsAre(9));
}

TEST_F(TcpDriver, ShortAnswerReadsMissingRegistersAsZero) {
    port.SetScript([](const BYTES&) { return TcpAnswer(1, 0x03, Registers({7, 8})); });
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 0, 4), values, true), ioOk);
    EXPECT_THAT(values, ElementsAre(7, 8, 0, 0));
}

TEST_F(TcpDriver, UnitZeroIsAnOrdinaryRequest) {
    port.SetScript([](const BYTES& r) { return TcpFrame(0, BYTES(r.begin() + 7, r.end())); });
    EXPECT_EQ(driver.WriteValues(Record(0, 6, 9, 1), {3}, true), ioOk);
    EXPECT_THAT(port.ReadSizes(), ElementsAre(9, 3));
}

TEST_F(TcpDriver, AnswerOfAnotherUnitIsDrained) {
    port.SetScript([](const BYTES&) { return TcpAnswer(2, 0x03, Registers({1})); });
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 0, 1), values, true), ioCommError);
    EXPECT_EQ(port.Pending(), 0u);
}

} // namespace

namespace {

// Background scanning end to end: the scan thread reads the attached block's range when it is
// due, and the update thread answers the block from the cache on the user-interface thread.
TEST(ModbusBackgroundScan, AttachedBlockIsReadAndServedFromTheCache) {
    TTestUIThread ui;
    TScriptedPort port;
    port.SetActive(true);
    port.SetScript([](const BYTES& r) { return RtuAnswer(r[0], 0x03, Registers({7, 8})); });
    TModBusRTUDriver driver;
    driver.SetReadSomethingAlways(false);
    driver.SetCommunicationPort(&port);
    TPLCBlock block;
    block.SetPLCStation(5);
    block.SetMemReadFunction(3);
    block.SetMemAddress(40);
    block.SetTagType(pttWord);
    block.SetSize(2);
    block.SetRefreshTime(20);
    block.SetProtocolDriver(&driver);
    EXPECT_TRUE(ui.PumpUntil(
        [&] { return block.LastASyncReadStatus() == ioOk && block.Elements(1) == 8; }));
    EXPECT_EQ(block.Elements(0), 7);
    const std::vector<BYTES> requests = port.WrittenRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), RtuFrame(5, BYTES{0x03, 0, 40, 0, 2}));
    block.SetProtocolDriver(nullptr);
    driver.SetCommunicationPort(nullptr);
}

} // namespace
