#include "modbus/tcp_udp_port.h"

#include "support/loopback_server.h"
#include "support/test_ui_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes Request = {0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
const Bytes Response = {0x00, 0x01, 0x00, 0x00, 0x00, 0x05, 0x01, 0x03, 0x02, 0x12, 0x34};

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EStackError& error) {
        return error.what();
    }
    return "no exception";
}

TEST(TcpUdpPortSettings, HostMustBeAnIPv4Address) {
    TTCP_UDPPort port;
    port.SetHost("192.168.0.10");
    EXPECT_EQ("192.168.0.10", port.Host());
    for (const std::string bad :
         {"192.168.0.255", "0.1.2.3", "255.255.255.255", "10.0.0", "10.0.0.1.5", "plc.example.com",
          "10.0.0.256", "10..0.1", "10.0.0.1.", "10.0.010.1", "-1.0.0.1"}) {
        EXPECT_EQ("The address \"" + bad + "\" is not a valid IPv4 address",
                  MessageOf([&] { port.SetHost(bad); }));
        EXPECT_EQ("192.168.0.10", port.Host());
    }
    port.SetHost(" 192.168.0.10 "); // the same address: nothing changes
    EXPECT_EQ("192.168.0.10", port.Host());
    port.SetHost("  ");
    EXPECT_EQ("", port.Host());
    EXPECT_FALSE(port.SettingsValid());
}

TEST(TcpUdpPortSettings, PortRangeAndDefaults) {
    TTCP_UDPPort port;
    EXPECT_EQ(102, port.Port());
    EXPECT_EQ(1000, port.Timeout());
    EXPECT_EQ(5000, port.ReconnectRetryInterval());
    EXPECT_TRUE(port.EnableAutoReconnect());
    EXPECT_FALSE(port.ExclusiveDevice());
    for (std::int32_t bad : {0, -1, 65536, 70000})
        EXPECT_EQ("The port value must be between 1 and 65535!",
                  MessageOf([&] { port.SetPort(bad); }));
    port.SetPort(502);
    EXPECT_EQ(502, port.Port());
    port.SetHost("10.1.2.3");
    EXPECT_TRUE(port.SettingsValid());
}

class TcpUdpPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        Port.SetHost("127.0.0.1");
        Port.SetPort(Server.Port());
        Port.SetTimeout(30);
        Port.SetReconnectRetryInterval(50);
        Port.OnCommPortOpened = [this](TCommPortDriver*) { ++Opened; };
        Port.OnCommPortOpenError = [this](TCommPortDriver*) {
            ++OpenErrors;
            OpenErrorsOnUi = OpenErrorsOnUi && Ui.IsCurrent();
        };
        Port.OnCommPortDisconnected = [this](TCommPortDriver*) { ++Disconnects; };
    }

    void Connect() {
        Port.SetActive(true);
        ASSERT_TRUE(Server.Accept(2000));
        ASSERT_TRUE(Ui.PumpUntil([&] { return Port.IsPortReady(); }));
    }

    TIOPacket Exchange(const std::function<void()>& device) {
        TIOPacket packet;
        std::thread master([&] {
            Port.RunCommand(iocWriteRead, Request.size(), Request, Response.size(), 1, 0, &packet);
        });
        device();
        master.join();
        return packet;
    }

    TTestUIThread Ui;
    int Opened = 0, OpenErrors = 0, Disconnects = 0; // on the user-interface thread
    bool OpenErrorsOnUi = true;
    TLoopbackServer Server;
    TTCP_UDPPort Port;
};

TEST_F(TcpUdpPortTest, ExchangesOverTheConnection) {
    EXPECT_EQ(0u, Port.RunCommand(iocWrite, 1, {1}, 0, 1)); // not connected: nothing runs
    Connect();
    EXPECT_TRUE(Port.Active());
    const TIOPacket packet = Exchange([&] {
        EXPECT_EQ(Request, Server.Receive(Request.size(), 2000));
        Server.Send({Response.begin(), Response.begin() + 4}); // the answer in two pieces
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Server.Send({Response.begin() + 4, Response.end()});
    });
    EXPECT_EQ(iorOK, packet.WriteResult);
    EXPECT_EQ(iorOK, packet.ReadResult);
    EXPECT_EQ(Response, packet.ReadBuffer);
    EXPECT_EQ(0u, packet.ReadTries); // no attempt failed
    EXPECT_EQ(static_cast<std::int64_t>(Request.size()), Port.TXBytes());
    EXPECT_EQ(0, OpenErrors);
    EXPECT_TRUE(Ui.PumpUntil([&] { return Opened == 2; })); // activation, then the connection
}

TEST_F(TcpUdpPortTest, SilentDeviceTimesOutAfterEveryAttempt) {
    Connect();
    std::vector<TIOResult> readErrors;
    Port.OnCommErrorReading = [&](TIOResult error) { readErrors.push_back(error); };
    const TIOPacket packet =
        Exchange([&] { EXPECT_EQ(Request, Server.Receive(Request.size(), 2000)); });
    EXPECT_EQ(iorTimeOut, packet.ReadResult);
    EXPECT_EQ(3u, packet.ReadTries);
    EXPECT_TRUE(Port.IsPortReady());
    ASSERT_TRUE(Ui.PumpUntil([&] { return !readErrors.empty(); }));
    EXPECT_EQ(iorTimeOut, readErrors[0]);
}

TEST_F(TcpUdpPortTest, PeerClosingDuringAReadEndsItAndReconnects) {
    Port.SetTimeout(2000); // the close, not the time limit, must end the read
    Connect();
    const TIOPacket lost = Exchange([&] {
        EXPECT_EQ(Request, Server.Receive(Request.size(), 2000));
        Server.CloseClient();
    });
    EXPECT_EQ(iorTimeOut, lost.ReadResult);
    EXPECT_EQ(0u, lost.ReadTries);
    EXPECT_FALSE(Port.IsPortReady());
    ASSERT_TRUE(Ui.PumpUntil([&] { return Disconnects == 1; }));
    // The connect thread reconnects after the interval; the next request succeeds.
    ASSERT_TRUE(Server.Accept(2000));
    ASSERT_TRUE(Ui.PumpUntil([&] { return Port.IsPortReady(); }));
    const TIOPacket next = Exchange([&] {
        EXPECT_EQ(Request, Server.Receive(Request.size(), 2000));
        Server.Send(Response);
    });
    EXPECT_EQ(iorOK, next.ReadResult);
    EXPECT_EQ(Response, next.ReadBuffer);
}

TEST_F(TcpUdpPortTest, NoServerGivesOpenErrorsAtTheIntervalUntilItAppears) {
    const int port = TLoopbackServer::UnusedPort();
    Port.SetPort(port);
    Port.SetActive(true);
    EXPECT_TRUE(Port.Active());
    ASSERT_TRUE(Ui.PumpUntil([&] { return OpenErrors >= 3; }));
    EXPECT_FALSE(Port.IsPortReady());
    EXPECT_TRUE(OpenErrorsOnUi);
    EXPECT_EQ(ECONNREFUSED, Port.LastOSErrorNumber());
    TLoopbackServer late(port);
    ASSERT_TRUE(late.Accept(2000));
    EXPECT_TRUE(Ui.PumpUntil([&] { return Port.IsPortReady(); }));
}

TEST_F(TcpUdpPortTest, DisablingAutoReconnectCancelsThePendingAttempt) {
    const int port = TLoopbackServer::UnusedPort();
    Port.SetPort(port);
    Port.SetActive(true);
    ASSERT_TRUE(Ui.PumpUntil([&] { return OpenErrors >= 1; }));
    Port.SetEnableAutoReconnect(false);
    TLoopbackServer late(port);
    EXPECT_FALSE(late.Accept(300)); // six intervals without an attempt
    Port.SetEnableAutoReconnect(true);
    EXPECT_TRUE(late.Accept(2000));
}

TEST_F(TcpUdpPortTest, DiscardInputDropsALateAnswer) {
    Connect();
    Server.Send(Response);
    std::size_t dropped = 0;
    ASSERT_TRUE(Ui.PumpUntil([&] {
        dropped += Port.DiscardInput();
        return dropped == Response.size();
    }));
    const Bytes fresh = {0x00, 0x02, 0x00, 0x00, 0x00, 0x05, 0x01, 0x03, 0x02, 0x56, 0x78};
    const TIOPacket packet = Exchange([&] {
        EXPECT_EQ(Request, Server.Receive(Request.size(), 2000));
        Server.Send(fresh);
    });
    EXPECT_EQ(fresh, packet.ReadBuffer);
    EXPECT_TRUE(Port.IsPortReady());
}

TEST_F(TcpUdpPortTest, DeactivatingClosesTheConnection) {
    Connect();
    Port.SetActive(false);
    EXPECT_FALSE(Port.Active());
    // The device sees the close.
    EXPECT_TRUE(Ui.PumpUntil([&] { return !Port.IsPortReady(); }));
    EXPECT_TRUE(Server.Receive(1, 2000).empty());
    EXPECT_EQ("Cannot change the communication port properties while it's active!", MessageOf([&] {
                  Port.SetActive(true);
                  Port.SetTimeout(5);
              }));
    EXPECT_EQ(30, Port.Timeout());
}

TEST(TcpUdpPortUdp, ExchangesDatagrams) {
    TTestUIThread ui;
    TLoopbackServer server(0, true);
    TTCP_UDPPort port;
    port.SetHost("127.0.0.1");
    port.SetPort(server.Port());
    port.SetPortType(ptUDP);
    port.SetTimeout(200);
    port.SetActive(true);
    ASSERT_TRUE(ui.PumpUntil([&] { return port.IsPortReady(); }));
    TIOPacket packet;
    std::thread master([&] {
        port.RunCommand(iocWriteRead, Request.size(), Request, Response.size(), 1, 0, &packet);
    });
    EXPECT_EQ(Request, server.Receive(Request.size(), 2000));
    server.Send(Response);
    master.join();
    EXPECT_EQ(iorOK, packet.ReadResult);
    EXPECT_EQ(Response, packet.ReadBuffer);
}

} // namespace
