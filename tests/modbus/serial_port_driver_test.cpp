#include "modbus/serial_port_driver.h"

#include "support/pty_peer.h"
#include "support/test_ui_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

const Bytes Request = {0x11, 0x03, 0x00, 0x6B, 0x00, 0x01, 0xF6, 0x8A};
const Bytes Response = {0x11, 0x03, 0x02, 0x12, 0x34, 0xB5, 0x33};

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EStackError& error) {
        return error.what();
    }
    return "no exception";
}

class SerialPortDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        Port.SetCOMPort(Peer.SlavePath());
        Port.SetTimeout(40);
        Port.SetWriteReadDelay(0);
        Port.OnCommErrorReading = [this](TIOResult error) { ReadErrors.push_back(error); };
    }

    // Runs the command while the test thread plays the device: it takes the request and
    // answers with the pieces, the later ones after the pause.
    TIOPacket Exchange(const std::vector<Bytes>& pieces, std::uint32_t bytesToRead,
                       std::chrono::milliseconds pauseBetweenPieces = {}) {
        TIOPacket packet;
        std::thread master([&] {
            Port.RunCommand(iocWriteRead, Request.size(), Request, bytesToRead, 1, 0, &packet);
        });
        EXPECT_EQ(Request, Peer.Receive(Request.size(), 2000));
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0)
                std::this_thread::sleep_for(pauseBetweenPieces);
            Peer.Send(pieces[i]);
        }
        master.join();
        return packet;
    }

    TTestUIThread Ui;
    std::vector<TIOResult> ReadErrors; // on the user-interface thread; outlives the port
    TPtyPeer Peer;
    TSerialPortDriver Port;
};

TEST_F(SerialPortDriverTest, ModeStringFollowsTheSettings) {
    EXPECT_EQ("baud=19200 parity=N stop=1 data=8", Port.ModeString());
    Port.SetBaudRate(br110);
    EXPECT_EQ("baud=110 parity=N stop=1 data=8", Port.ModeString());
    Port.SetBaudRate(br9600);
    Port.SetParidade(spEven);
    EXPECT_EQ("baud=9600 parity=E stop=1 data=8", Port.ModeString());
    Port.SetBaudRate(br115200);
    Port.SetParidade(spOdd);
    Port.SetStopBits(sb2);
    Port.SetDataBits(db7);
    EXPECT_EQ("baud=115200 parity=O stop=2 data=7", Port.ModeString());
}

TEST_F(SerialPortDriverTest, InvalidModeKeepsTheOldValue) {
    EXPECT_EQ("Invalid mode!",
              MessageOf([&] { Port.SetBaudRate(static_cast<TSerialBaudRate>(11)); }));
    EXPECT_EQ(br19200, Port.BaudRate());
    EXPECT_EQ("Invalid mode!", MessageOf([&] { Port.SetParidade(static_cast<TSerialParity>(3)); }));
    EXPECT_EQ(spNone, Port.Paridade());
    EXPECT_TRUE(Port.SettingsValid());
}

TEST_F(SerialPortDriverTest, PortNames) {
    const std::string relative = Peer.SlavePath().substr(std::string("/dev/").size());
    const auto plainFile = std::filesystem::temp_directory_path() / "ports-not-a-tty";
    std::ofstream(plainFile) << "x";
    struct TCase {
        std::string Name;
        std::string Stored;  // COMPort afterwards
        std::string Message; // empty: accepted
    };
    const TCase cases[] = {
        {Peer.SlavePath(), Peer.SlavePath(), ""},
        {relative, relative, ""}, // looked up under /dev/
        {"", "", ""},
        {"(none)", "", ""},
        {"COM9", "KEEP", "COM9: Serial port does not exists!"},
        {"/dev/null", "KEEP", "/dev/null: Serial port does not exists!"},
        {plainFile.string(), "KEEP", plainFile.string() + ": Serial port does not exists!"},
    };
    for (const TCase& c : cases) {
        Port.SetCOMPort(Peer.SlavePath());
        const std::string message = MessageOf([&] { Port.SetCOMPort(c.Name); });
        EXPECT_EQ(c.Message.empty() ? "no exception" : c.Message, message) << c.Name;
        EXPECT_EQ(c.Stored == "KEEP" ? Peer.SlavePath() : c.Stored, Port.COMPort()) << c.Name;
    }
    Port.SetAcceptAnyPortName(true);
    Port.SetCOMPort("COM9");
    EXPECT_EQ("COM9", Port.COMPort());
    std::filesystem::remove(plainFile);
}

TEST_F(SerialPortDriverTest, OpeningWithoutANameFails) {
    int openErrors = 0;
    Port.OnCommPortOpenError = [&](TCommPortDriver*) { ++openErrors; };
    Port.SetCOMPort("");
    EXPECT_FALSE(Port.SettingsValid());
    Port.SetActive(true);
    EXPECT_FALSE(Port.Active());
    EXPECT_EQ(1, openErrors);
    EXPECT_EQ(ENOENT, Port.LastOSErrorNumber());
}

TEST_F(SerialPortDriverTest, RequestAndResponseOverTheLine) {
    Port.SetBaudRate(br9600);
    Port.SetActive(true);
    ASSERT_TRUE(Port.Active());
    EXPECT_EQ(9600, Peer.SlaveBaud());
    const TIOPacket packet = Exchange({Response}, Response.size());
    EXPECT_EQ(iorOK, packet.WriteResult);
    EXPECT_EQ(Request.size(), packet.BytesWritten);
    EXPECT_EQ(iorOK, packet.ReadResult);
    EXPECT_EQ(Response, packet.ReadBuffer);
    EXPECT_EQ(1u, packet.ReadTries);
    EXPECT_EQ(static_cast<std::int64_t>(Request.size()), Port.TXBytes());
    EXPECT_EQ(static_cast<std::int64_t>(Response.size()), Port.RXBytes());
    EXPECT_TRUE(ReadErrors.empty());
}

TEST_F(SerialPortDriverTest, ReadEndsWhenTheFarEndHangsUp) {
    Port.SetActive(true);
    ASSERT_TRUE(Port.Active());
    Peer.HangUp();
    // A hung-up line keeps reporting readable with nothing to read: the read must end, not spin.
    TIOPacket packet;
    Port.RunCommand(iocRead, 0, {}, Response.size(), 1, 0, &packet);
    EXPECT_NE(iorOK, packet.ReadResult);
    EXPECT_EQ(0u, packet.BytesReceived);
}

TEST_F(SerialPortDriverTest, SplitResponseIsCollectedOverAttempts) {
    Port.SetReadRetries(200);
    Port.SetActive(true);
    // Each attempt for the missing four bytes lasts 18 ms, so the second piece comes many
    // attempts later, well within the two hundred allowed.
    const TIOPacket packet = Exchange({{0x11, 0x03, 0x02}, {0x12, 0x34, 0xB5, 0x33}},
                                      Response.size(), std::chrono::milliseconds(300));
    EXPECT_EQ(iorOK, packet.ReadResult);
    EXPECT_EQ(Response, packet.ReadBuffer);
    EXPECT_GT(packet.ReadTries, 1u);
    EXPECT_LT(packet.ReadTries, 200u);
}

TEST_F(SerialPortDriverTest, SplitResponseWithOneAttemptTimesOut) {
    Port.SetReadRetries(1);
    Port.SetTimeout(400); // the one attempt lasts 114 ms: time enough for the first piece
    Port.SetActive(true);
    const TIOPacket packet = Exchange({{0x11, 0x03, 0x02}}, Response.size());
    EXPECT_EQ(iorTimeOut, packet.ReadResult);
    EXPECT_EQ(3u, packet.BytesReceived);
    EXPECT_EQ(1u, packet.ReadTries);
    EXPECT_THAT(packet.ReadBuffer, ElementsAre(0x11, 0x03, 0x02, 0, 0, 0, 0));
    // The read ran on a worker: its error event reaches the user-interface thread.
    ASSERT_TRUE(Ui.PumpUntil([&] { return !ReadErrors.empty(); }));
    EXPECT_THAT(ReadErrors, ElementsAre(iorTimeOut));
}

TEST_F(SerialPortDriverTest, NoAnswerTimesOutAfterEveryAttempt) {
    Port.SetActive(true);
    const TIOPacket packet = Exchange({}, Response.size());
    EXPECT_EQ(iorOK, packet.WriteResult);
    EXPECT_EQ(iorTimeOut, packet.ReadResult);
    EXPECT_EQ(3u, packet.ReadTries);
    EXPECT_EQ(0u, packet.BytesReceived);
    EXPECT_EQ(Bytes(Response.size(), 0), packet.ReadBuffer);
}

TEST_F(SerialPortDriverTest, NoReadAttemptsLeaveTheLineAloneAndErrorsPurgeIt) {
    for (bool purge : {false, true}) {
        SCOPED_TRACE(purge ? "purging" : "not purging");
        ReadErrors.clear();
        Port.SetClearBuffersOnCommErrors(purge);
        Port.SetActive(true);
        Peer.Send({0xA1, 0xA2, 0xA3});
        ASSERT_TRUE(Peer.WaitUntilPortCanRead(2000));
        Port.SetReadRetries(0);
        TIOPacket packet;
        Port.RunCommand(iocRead, 0, {}, 3, 1, 0, &packet);
        EXPECT_EQ(iorTimeOut, packet.ReadResult);
        EXPECT_EQ(0u, packet.ReadTries);
        EXPECT_EQ(0u, packet.BytesReceived);
        EXPECT_THAT(ReadErrors, ElementsAre(iorTimeOut)); // directly: we are the UI thread
        // The bytes were not read; they are still there unless the error purged the line.
        Port.SetReadRetries(3);
        Port.RunCommand(iocRead, 0, {}, 3, 1, 0, &packet);
        EXPECT_EQ(purge ? iorTimeOut : iorOK, packet.ReadResult);
        EXPECT_EQ(purge ? Bytes(3, 0) : Bytes({0xA1, 0xA2, 0xA3}), packet.ReadBuffer);
        Port.SetActive(false);
    }
}

TEST_F(SerialPortDriverTest, PseudoTerminalOpensWithAnyParityAndCharacterSize) {
    // A pseudo-terminal drops parity and character size; that is no reason to refuse it,
    // neither at the first open nor at the next ones.
    Port.SetParidade(spEven);
    Port.SetDataBits(db7);
    for (int open = 0; open < 3; ++open) {
        Port.SetActive(true);
        EXPECT_TRUE(Port.Active()) << open << ": " << Port.LastOSErrorMessage();
        Port.SetActive(false);
        Port.SetParidade(spOdd);
    }
}

TEST_F(SerialPortDriverTest, DiscardInputDropsALateAnswer) {
    Port.SetActive(true);
    const Bytes late = {0x11, 0x03, 0x02, 0xDE, 0xAD, 0x00, 0x00};
    Peer.Send(late);
    ASSERT_TRUE(Peer.WaitUntilPortCanRead(2000));
    EXPECT_EQ(late.size(), Port.DiscardInput());
    const TIOPacket packet = Exchange({Response}, Response.size());
    EXPECT_EQ(Response, packet.ReadBuffer);
    Port.SetActive(false);
    EXPECT_EQ(0u, Port.DiscardInput()); // not ready: nothing to do
}

TEST_F(SerialPortDriverTest, SecondOpenerIsRefused) {
    TSerialPortDriver second;
    second.SetCOMPort(Peer.SlavePath());
    int openErrors = 0;
    second.OnCommPortOpenError = [&](TCommPortDriver*) { ++openErrors; };
    Port.SetActive(true);
    ASSERT_TRUE(Port.Active());
    second.SetActive(true);
    EXPECT_FALSE(second.Active());
    EXPECT_EQ(1, openErrors);
    EXPECT_EQ(EBUSY, second.LastOSErrorNumber());
    Port.SetActive(false);
    second.SetActive(true);
    EXPECT_TRUE(second.Active());
}

TEST_F(SerialPortDriverTest, SettingsAreRefusedWhileActive) {
    Port.SetActive(true);
    const std::string refused =
        "Cannot change the communication port properties while it's active!";
    const std::vector<std::function<void()>> setters = {
        [&] { Port.SetBaudRate(br9600); },  [&] { Port.SetParidade(spEven); },
        [&] { Port.SetStopBits(sb2); },     [&] { Port.SetDataBits(db7); },
        [&] { Port.SetCOMPort(""); },       [&] { Port.SetTimeout(5); },
        [&] { Port.SetWriteReadDelay(5); },
    };
    for (const auto& set : setters)
        EXPECT_EQ(refused, MessageOf(set));
    EXPECT_EQ("baud=19200 parity=N stop=1 data=8", Port.ModeString());
    EXPECT_EQ(Peer.SlavePath(), Port.COMPort());
    EXPECT_EQ(40, Port.Timeout());
    EXPECT_EQ(0, Port.WriteReadDelay());
}

TEST_F(SerialPortDriverTest, BackupPortSettingsRestoresTheLineOnClose) {
    for (bool backup : {false, true}) {
        TPtyPeer peer; // its line starts at 9600 baud
        TSerialPortDriver port;
        port.SetCOMPort(peer.SlavePath());
        port.SetBackupPortSettings(backup);
        port.SetActive(true);
        ASSERT_TRUE(port.Active());
        EXPECT_EQ(19200, peer.SlaveBaud());
        port.SetActive(false);
        EXPECT_EQ(backup ? 9600 : 19200, peer.SlaveBaud()) << backup;
    }
}

TEST(SerialTimeouts, FollowTheTimeout) {
    const TSerialTimeouts t = SerialTimeoutsFor(500);
    EXPECT_EQ(500, t.ReadIntervalTimeout);
    EXPECT_EQ(2, t.ReadTotalTimeoutMultiplier);
    EXPECT_EQ(125, t.ReadTotalTimeoutConstant);
    EXPECT_EQ(2, t.WriteTotalTimeoutMultiplier);
    EXPECT_EQ(125, t.WriteTotalTimeoutConstant);
    EXPECT_EQ(0, SerialTimeoutsFor(3).ReadTotalTimeoutConstant);
}

} // namespace
