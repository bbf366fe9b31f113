// The TCP driver over our TCP port against libmodbus as the slave on a loopback socket.
#include "modbus/modbus_tcp_driver.h"
#include "modbus/tcp_udp_port.h"
#include "modbus_test_peers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

class TTestTcpDriver : public TModBusTCPDriver {
public:
    TTestTcpDriver() : TModBusTCPDriver(TDeferWorkers{}) { StartWorkers(); }
    ~TTestTcpDriver() override { DestroyDriver(); }
    using TModBusDriver::ReadValues;
    using TModBusDriver::WriteValues;
};

TTagRec Record(int unit, int function, int address, int count) {
    TTagRec r;
    r.PLCStation = unit;
    r.MemReadFunction = function;
    r.MemWriteFunction = function;
    r.MemAddress = address;
    r.WordCount = count;
    return r;
}

bool WaitFor(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}

class TcpAgainstLibmodbus : public ::testing::Test {
protected:
    TcpAgainstLibmodbus() {
        mapping->tab_input_registers[20] = 0x1234;
        mapping->tab_input_bits[9] = 1;
        slave = std::make_unique<TLibmodbusSlave>(listener, mapping.get());
        port.SetHost("127.0.0.1");
        port.SetPort(listener.Port());
        port.SetTimeout(200);
        port.SetReconnectRetryInterval(100);
        port.SetActive(true);
        driver.SetReadSomethingAlways(false);
        driver.SetCommunicationPort(&port);
    }
    ~TcpAgainstLibmodbus() override {
        driver.SetCommunicationPort(nullptr);
        port.SetActive(false);
    }

    TArrayOfDouble Read(int function, int address, int count, TProtocolIOResult expected = ioOk) {
        TArrayOfDouble values;
        EXPECT_EQ(driver.ReadValues(Record(1, function, address, count), values, true), expected)
            << "function " << function << " at " << address;
        return values;
    }

    TLoopbackListener listener;
    TModbusMapping mapping = NewMapping();
    std::unique_ptr<TLibmodbusSlave> slave;
    TTCP_UDPPort port;
    TTestTcpDriver driver;
};

TEST_F(TcpAgainstLibmodbus, RoundTripsOfEveryFunction) {
    ASSERT_TRUE(WaitFor([&] { return port.IsPortReady(); }));
    EXPECT_EQ(driver.WriteValues(Record(1, 5, 3, 1), {1}, true), ioOk);
    EXPECT_EQ(driver.WriteValues(Record(1, 15, 10, 9), {1, 1, 0, 0, 1, 0, 1, 0, 1}, true), ioOk);
    EXPECT_THAT(Read(1, 2, 2), ElementsAre(0, 1));
    EXPECT_THAT(Read(1, 10, 9), ElementsAre(1, 1, 0, 0, 1, 0, 1, 0, 1));
    EXPECT_THAT(Read(2, 8, 3), ElementsAre(0, 1, 0));
    EXPECT_EQ(driver.WriteValues(Record(1, 6, 0, 1), {4711}, true), ioOk);
    EXPECT_EQ(driver.WriteValues(Record(1, 16, 1, 3), {1, 65535, 65536}, true), ioOk);
    EXPECT_THAT(Read(3, 0, 4), ElementsAre(4711, 1, 65535, 0));
    EXPECT_THAT(Read(4, 20, 1), ElementsAre(0x1234));
    EXPECT_EQ(Read(3, 0, 125).size(), 125u);
}

TEST_F(TcpAgainstLibmodbus, ExceptionAnswersAndUnitZero) {
    ASSERT_TRUE(WaitFor([&] { return port.IsPortReady(); }));
    Read(4, 3999, 2, ioIllegalRegAddress);
    slave->RejectFunction(3, MODBUS_EXCEPTION_ILLEGAL_FUNCTION);
    Read(3, 0, 1, ioIllegalFunction);
    EXPECT_EQ(driver.WriteValues(Record(0, 6, 5, 1), {9}, true), ioOk) << "unit 0 is answered";
    EXPECT_THAT(Read(4, 20, 1), ElementsAre(0x1234));
}

TEST_F(TcpAgainstLibmodbus, ServerClosingDuringARequestThenReconnect) {
    ASSERT_TRUE(WaitFor([&] { return port.IsPortReady(); }));
    slave->DropNextRequest();
    Read(4, 20, 1, ioEmptyPacket);
    ASSERT_TRUE(WaitFor([&] { return slave->Connections() == 2 && port.IsPortReady(); }));
    EXPECT_THAT(Read(4, 20, 1), ElementsAre(0x1234));
}

TEST(TcpDriverWithoutServer, RequestsGiveNullDriver) {
    TLoopbackListener listener;
    listener.Stop();
    TTCP_UDPPort port;
    port.SetHost("127.0.0.1");
    port.SetPort(listener.Port());
    port.SetActive(true);
    TTestTcpDriver driver;
    driver.SetCommunicationPort(&port);
    TArrayOfDouble values;
    EXPECT_EQ(driver.ReadValues(Record(1, 3, 0, 1), values, true), ioNullDriver);
    driver.SetCommunicationPort(nullptr);
}

} // namespace
