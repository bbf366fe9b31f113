// The RTU driver over our serial port against libmodbus as the slave on a pseudo-terminal. A
// relay between the two lines can change, hold back or cut the slave's answers.
#include "modbus/modbus_rtu_driver.h"
#include "modbus/rtu_framing.h"
#include "modbus/serial_port_driver.h"
#include "modbus_test_peers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::SizeIs;

namespace {

class TTestRtuDriver : public TModBusRTUDriver {
public:
    TTestRtuDriver() : TModBusRTUDriver(TDeferWorkers{}) { StartWorkers(); }
    ~TTestRtuDriver() override { DestroyDriver(); }
    using TModBusDriver::ReadValues;
    using TModBusDriver::WriteValues;
};

TTagRec Record(int station, int function, int address, int count) {
    TTagRec r;
    r.PLCStation = station;
    r.MemReadFunction = function;
    r.MemWriteFunction = function;
    r.MemAddress = address;
    r.WordCount = count;
    return r;
}

void WaitFor(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

class RtuAgainstLibmodbus : public ::testing::Test {
protected:
    RtuAgainstLibmodbus() {
        mapping->tab_input_registers[20] = 0x1234;
        mapping->tab_input_registers[21] = 0xFEDC;
        mapping->tab_input_bits[7] = 1;
        mapping->tab_input_bits[9] = 1;
        slave = std::make_unique<TLibmodbusSlave>(deviceLine.SlaveName(), 1, mapping.get());
        port.SetCOMPort(masterLine.SlaveName());
        port.SetTimeout(400); // roomy: the sanitizer runs slow the slave and the relay down
        port.SetWriteReadDelay(0);
        port.SetReadRetries(2);
        port.SetActive(true);
        driver.SetReadSomethingAlways(false);
        driver.SetCommunicationPort(&port);
    }
    ~RtuAgainstLibmodbus() override {
        driver.SetCommunicationPort(nullptr);
        port.SetActive(false);
    }

    TArrayOfDouble Read(int function, int address, int count, TProtocolIOResult expected = ioOk) {
        TArrayOfDouble values;
        EXPECT_EQ(driver.ReadValues(Record(1, function, address, count), values, true), expected)
            << "function " << function << " at " << address;
        return values;
    }

    TPtyPair masterLine;
    TPtyPair deviceLine;
    TModbusMapping mapping = NewMapping();
    std::unique_ptr<TLibmodbusSlave> slave;
    TLineRelay relay{masterLine, deviceLine};
    TSerialPortDriver port;
    TTestRtuDriver driver;
};

TEST_F(RtuAgainstLibmodbus, RoundTripsOfEveryFunction) {
    ASSERT_TRUE(port.Active());
    EXPECT_EQ(driver.WriteValues(Record(1, 5, 3, 1), {1}, true), ioOk);
    EXPECT_EQ(driver.WriteValues(Record(1, 15, 10, 10), {1, 0, 1, 1, 0, 0, 1, 1, 1, 0}, true),
              ioOk);
    EXPECT_THAT(Read(1, 3, 1), ElementsAre(1));
    EXPECT_THAT(Read(1, 10, 10), ElementsAre(1, 0, 1, 1, 0, 0, 1, 1, 1, 0));
    EXPECT_THAT(Read(2, 6, 4), ElementsAre(0, 1, 0, 1));
    EXPECT_EQ(driver.WriteValues(Record(1, 6, 100, 1), {65535}, true), ioOk);
    TArrayOfDouble block(125);
    for (int i = 0; i < 125; ++i)
        block[i] = i * 500;
    EXPECT_EQ(driver.WriteValues(Record(1, 16, 101, 123), block, true), ioOk);
    const TArrayOfDouble read = Read(3, 100, 125);
    ASSERT_EQ(read.size(), 125u);
    EXPECT_EQ(read[0], 65535);
    EXPECT_EQ(read[1], 0);
    EXPECT_EQ(read[123], 122 * 500);
    EXPECT_EQ(read[124], 0);
    EXPECT_THAT(Read(4, 20, 2), ElementsAre(0x1234, 0xFEDC));
}

TEST_F(RtuAgainstLibmodbus, ExceptionAnswers) {
    Read(3, 3999, 5, ioIllegalRegAddress);
    Read(1, 0, 0, ioIllegalValue);
    slave->RejectFunction(2, MODBUS_EXCEPTION_ILLEGAL_FUNCTION);
    Read(2, 0, 8, ioIllegalFunction);
    EXPECT_EQ(driver.WriteValues(Record(1, 16, 3999, 2), {1, 2}, true), ioIllegalRegAddress);
    EXPECT_THAT(Read(4, 20, 1), ElementsAre(0x1234)) << "the line stays in step";
}

TEST_F(RtuAgainstLibmodbus, AnswerFromAnotherStationIsDrained) {
    relay.MutateNextAnswer([](std::vector<uint8_t> answer) {
        answer[0] = 7;
        return RtuFrame(7, RtuPdu(answer));
    });
    Read(4, 20, 2, ioCommError);
    EXPECT_THAT(Read(4, 20, 2), ElementsAre(0x1234, 0xFEDC));
}

TEST_F(RtuAgainstLibmodbus, CorruptedCheckField) {
    relay.MutateNextAnswer([](std::vector<uint8_t> answer) {
        answer[3] ^= 0x01;
        return answer;
    });
    EXPECT_TRUE(Read(4, 20, 2, ioCommError).empty());
    EXPECT_THAT(Read(4, 20, 2), ElementsAre(0x1234, 0xFEDC));
}

TEST_F(RtuAgainstLibmodbus, TruncatedAnswerTimesOut) {
    relay.MutateNextAnswer([](std::vector<uint8_t> answer) {
        answer.resize(answer.size() - 2);
        return answer;
    });
    Read(4, 20, 2, ioTimeOut);
    EXPECT_THAT(Read(4, 20, 2), ElementsAre(0x1234, 0xFEDC));
}

TEST_F(RtuAgainstLibmodbus, LateAnswerDoesNotPassForALaterRequest) {
    // The answer comes after both read attempts of the header have timed out.
    relay.MutateNextAnswer([](std::vector<uint8_t> answer) { return answer; }, 1000);
    Read(4, 20, 2, ioEmptyPacket);
    WaitFor([&] { return relay.AnswersDelivered() == 1; });
    // The late answer to function 4 is still on the line, with the same station and function as
    // the next request: it must be dropped, not taken for that request's answer.
    EXPECT_THAT(Read(4, 21, 1), ElementsAre(0xFEDC));
    EXPECT_THAT(Read(3, 0, 1), SizeIs(1));
}

TEST_F(RtuAgainstLibmodbus, BroadcastWriteReachesTheSlaveWithoutAnswer) {
    EXPECT_EQ(driver.WriteValues(Record(0, 6, 40, 1), {777}, true), ioOk);
    EXPECT_EQ(driver.WriteValues(Record(0, 16, 41, 2), {1, 2}, true), ioOk);
    EXPECT_THAT(Read(3, 40, 3), ElementsAre(777, 1, 2));
    EXPECT_EQ(relay.AnswersDelivered(), 1) << "only the read was answered";
}

} // namespace
