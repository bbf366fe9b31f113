#include "modbus/comm_port_driver.h"

#include "modbus/platform/os_error.h"
#include "support/test_ui_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>
#include <sstream>
#include <thread>

namespace {

using ::testing::ElementsAre;

// A medium that plays back scripted bytes and records the primitives called, in order.
class TScriptedPort : public TCommPortDriver {
public:
    ~TScriptedPort() override { DestroyPort(); }

    std::vector<std::string> Calls; // touched only under the command mutex
    BYTES Incoming;                 // what a read delivers, at most BytesToRead of it
    bool OpenSucceeds = true;
    int OpenError = 0;
    std::atomic<int> ReadyChecks{-1}; // checks of IsPortReady still answered true; -1: always
    std::function<void()> DuringRead;

    bool IsPortReady() override {
        if (!Active())
            return false;
        int left = ReadyChecks.load();
        if (left < 0)
            return true;
        if (left == 0)
            return false;
        ReadyChecks.store(left - 1);
        return true;
    }
    using TCommPortDriver::DeliverPortDisconnected;
    using TCommPortDriver::ReportCommError;

protected:
    void Read(TIOPacket& p) override {
        Calls.push_back("Read");
        if (DuringRead)
            DuringRead();
        const std::size_t n = std::min<std::size_t>(Incoming.size(), p.BytesToRead);
        std::copy_n(Incoming.begin(), n, p.ReadBuffer.begin());
        p.BytesReceived = static_cast<std::uint32_t>(n);
        p.ReadTries = 1;
        p.ReadResult = n == p.BytesToRead ? iorOK : iorTimeOut;
    }
    void Write(TIOPacket& p) override {
        Calls.push_back("Write");
        p.BytesWritten = p.BytesToWrite;
        p.WriteResult = iorOK;
    }
    void PauseBetweenWriteAndRead() override { Calls.push_back("Pause"); }
    bool OpenPort() override {
        SetLastOSError(OpenError);
        return OpenSucceeds;
    }
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Log lines with their time stamps replaced by a marker, after checking the stamp's form.
std::string WithoutStamps(const std::string& log) {
    static const std::regex stamp(R"(([A-Za-z]{3}-\d\d \d\d:\d\d:\d\d\.\d{3}), )");
    std::string result;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch match;
        EXPECT_TRUE(std::regex_search(line, match, stamp) && match.position(0) == 0) << line;
        result += "<stamp>, " + line.substr(match.length(0)) + "\n";
    }
    return result;
}

class CommPortDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        LogDir = std::filesystem::temp_directory_path() /
                 ("ports-log-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(LogDir);
    }
    void TearDown() override { std::filesystem::remove_all(LogDir); }

    TTestUIThread Ui; // outlives the port
    TScriptedPort Port;
    std::filesystem::path LogDir;
};

TEST_F(CommPortDriverTest, CommandOnInactivePortRunsNothingAndLogsNothing) {
    Port.SetLogFile((LogDir / "io.log").string());
    Port.SetLogIOActions(true);
    TIOPacket packet;
    packet.PacketId = 77;
    EXPECT_EQ(0u, Port.RunCommand(iocWriteRead, 2, {1, 2}, 4, 1, 0, &packet));
    EXPECT_EQ(77u, packet.PacketId);
    EXPECT_EQ(iorNone, packet.ReadResult);
    EXPECT_TRUE(Port.Calls.empty());
    EXPECT_EQ(0u, Port.LastPacketId());
    EXPECT_EQ("", ReadFile(LogDir / "io.log"));
}

TEST_F(CommPortDriverTest, PrimitivesRunInTheOrderOfTheCommand) {
    struct TCase {
        TIOCommand Command;
        std::vector<std::string> Calls;
    };
    const TCase cases[] = {
        {iocNone, {}},
        {iocRead, {"Read"}},
        {iocReadWrite, {"Read", "Pause", "Write"}},
        {iocWrite, {"Write"}},
        {iocWriteRead, {"Write", "Pause", "Read"}},
    };
    Port.SetActive(true);
    for (const TCase& c : cases) {
        Port.Calls.clear();
        EXPECT_NE(0u, Port.RunCommand(c.Command, 1, {9}, 0, 1));
        EXPECT_EQ(c.Calls, Port.Calls) << IOCommandName(c.Command);
    }
}

TEST_F(CommPortDriverTest, PreparesThePacketAndCountsBytes) {
    Port.SetActive(true);
    Port.SetReadRetries(5);
    Port.SetWriteRetries(7);
    Port.Incoming = {0xA1, 0xA2, 0xA3};
    TIOPacket packet;
    packet.ReadBuffer = {9, 9, 9, 9, 9, 9, 9, 9};
    packet.Reserved1 = &packet;
    EXPECT_EQ(1u, Port.RunCommand(iocWriteRead, 2, {0x10, 0x20}, 4, 1, 33, &packet));
    EXPECT_EQ(1u, packet.PacketId);
    EXPECT_EQ(7u, packet.WriteTries);
    EXPECT_EQ(33u, packet.DelayMs);
    EXPECT_EQ(nullptr, packet.Reserved1);
    // The buffer is exactly BytesToRead long; what did not arrive stays zero.
    EXPECT_THAT(packet.ReadBuffer, ElementsAre(0xA1, 0xA2, 0xA3, 0x00));
    EXPECT_EQ(iorTimeOut, packet.ReadResult);
    EXPECT_EQ(iorOK, packet.WriteResult);
    EXPECT_EQ(2u, Port.RunCommand(iocRead, 0, {}, 3, 1));
    EXPECT_EQ(2u, Port.LastPacketId());
    EXPECT_EQ(2, Port.TXBytes());
    EXPECT_EQ(6, Port.RXBytes());
}

TEST_F(CommPortDriverTest, WriteReadOfZeroBytesSucceedsAtOnce) {
    Port.SetActive(true);
    TIOPacket packet;
    Port.RunCommand(iocWriteRead, 1, {0x55}, 0, 1, 0, &packet);
    EXPECT_EQ((std::vector<std::string>{"Write", "Pause", "Read"}), Port.Calls);
    EXPECT_EQ(iorOK, packet.ReadResult);
    EXPECT_TRUE(packet.ReadBuffer.empty());
}

TEST_F(CommPortDriverTest, NeverSendsBeyondTheWriteBuffer) {
    Port.SetActive(true);
    TIOPacket packet;
    Port.RunCommand(iocWrite, 10, {1, 2, 3}, 0, 1, 0, &packet);
    EXPECT_EQ(3u, packet.BytesToWrite);
    EXPECT_EQ(3, Port.TXBytes());
}

TEST_F(CommPortDriverTest, PortThatStopsBeingReadyMarksEveryDirectionNotReady) {
    struct TCase {
        TIOCommand Command;
        TIOResult Read, Write;
    };
    const TCase cases[] = {{iocRead, iorNotReady, iorNone},
                           {iocWrite, iorNone, iorNotReady},
                           {iocReadWrite, iorNotReady, iorNotReady},
                           {iocWriteRead, iorNotReady, iorNotReady}};
    Port.SetActive(true);
    for (const TCase& c : cases) {
        Port.ReadyChecks = 1; // the first check passes, the one before executing fails
        TIOPacket packet;
        EXPECT_NE(0u, Port.RunCommand(c.Command, 1, {1}, 1, 1, 0, &packet));
        EXPECT_EQ(c.Read, packet.ReadResult) << IOCommandName(c.Command);
        EXPECT_EQ(c.Write, packet.WriteResult) << IOCommandName(c.Command);
    }
    EXPECT_TRUE(Port.Calls.empty());
}

TEST_F(CommPortDriverTest, LockBelongsToOneOwner) {
    EXPECT_TRUE(Port.Lock(1));
    EXPECT_FALSE(Port.Lock(2));
    EXPECT_FALSE(Port.Lock(1)); // also when the caller holds it already
    EXPECT_EQ(1u, Port.LockedBy());
    EXPECT_FALSE(Port.Unlock(2));
    EXPECT_TRUE(Port.Locked());
    EXPECT_TRUE(Port.Unlock(1));
    EXPECT_FALSE(Port.Locked());
    EXPECT_TRUE(Port.Unlock(3)); // nobody holds it
    EXPECT_FALSE(Port.Lock(0));
}

TEST_F(CommPortDriverTest, CommandOfAnotherDriverWaitsForTheUnlock) {
    Port.SetActive(true);
    ASSERT_TRUE(Port.Lock(1));
    std::atomic<std::uint32_t> otherResult{0};
    std::promise<void> otherStarting;
    std::thread other([&] {
        otherStarting.set_value();
        otherResult = Port.RunCommand(iocWrite, 1, {2}, 0, 2);
    });
    otherStarting.get_future().wait();
    // The holder's own commands go on while the other driver waits.
    EXPECT_EQ(1u, Port.RunCommand(iocWrite, 1, {1}, 0, 1));
    EXPECT_EQ(2u, Port.RunCommand(iocWrite, 1, {1}, 0, 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(0u, otherResult.load());
    EXPECT_TRUE(Port.Unlock(1));
    other.join();
    EXPECT_EQ(3u, otherResult.load());
}

TEST_F(CommPortDriverTest, LockWaitsUntilNoCommandIsPending) {
    Port.SetActive(true);
    std::promise<void> readEntered;
    std::promise<void> releaseRead;
    auto release = releaseRead.get_future().share();
    Port.DuringRead = [&] {
        readEntered.set_value();
        release.wait();
    };
    std::thread command([&] { Port.RunCommand(iocRead, 0, {}, 0, 1); });
    readEntered.get_future().wait();
    EXPECT_EQ(1, Port.PendingCommands());
    auto locked = std::async(std::launch::async, [&] { return Port.Lock(2); });
    EXPECT_EQ(std::future_status::timeout, locked.wait_for(std::chrono::milliseconds(30)));
    releaseRead.set_value();
    EXPECT_TRUE(locked.get());
    command.join();
    EXPECT_EQ(0, Port.PendingCommands());
    EXPECT_EQ(2u, Port.LockedBy());
}

TEST_F(CommPortDriverTest, FailingPrimitiveReleasesEverything) {
    Port.SetActive(true);
    Port.DuringRead = [] { throw std::runtime_error("medium broke"); };
    bool afterCalled = false;
    EXPECT_THROW(Port.RunCommand(iocRead, 0, {}, 1, 1, 0, nullptr, {},
                                 [&](TCommPortDriver*) { afterCalled = true; }),
                 std::runtime_error);
    EXPECT_FALSE(afterCalled);
    EXPECT_EQ(0, Port.PendingCommands());
    Port.DuringRead = nullptr;
    // Neither mutex is left held: another thread can still run a command and lock.
    auto next = std::async(std::launch::async, [&] {
        return Port.RunCommand(iocWrite, 1, {1}, 0, 2) != 0 && Port.Lock(2);
    });
    EXPECT_TRUE(next.get());
}

TEST_F(CommPortDriverTest, HandlersRunAroundTheCommand) {
    Port.SetActive(true);
    std::vector<std::string> seen;
    Port.DuringRead = [&] { seen.push_back("read"); };
    Port.RunCommand(
        iocRead, 0, {}, 0, 1, 0, nullptr,
        [&](TCommPortDriver* sender) { seen.push_back(sender == &Port ? "before" : "?"); },
        [&](TCommPortDriver* sender) { seen.push_back(sender == &Port ? "after" : "?"); });
    EXPECT_EQ((std::vector<std::string>{"before", "read", "after"}), seen);
}

TEST_F(CommPortDriverTest, LogLinesByteForByte) {
    Port.SetLogFile((LogDir / "io.log").string());
    Port.SetLogIOActions(true);
    Port.SetActive(true);
    Port.Incoming = {0x01, 0x03, 0x04};
    Port.RunCommand(iocWriteRead, 3, {0x01, 0x03, 0xAB}, 5, 1);
    Port.RunCommand(iocReadWrite, 1, {0xFF}, 2, 1);
    Port.RunCommand(iocRead, 0, {}, 0, 1);
    Port.RunCommand(iocWrite, 2, {0x00, 0x7F}, 0, 1);
    Port.RunCommand(iocNone, 0, {}, 0, 1);
    Port.ReadyChecks = 1;
    Port.RunCommand(iocWrite, 1, {0x0A}, 0, 1);
    const std::string raw = ReadFile(LogDir / "io.log");
    EXPECT_EQ(7, std::count(raw.begin(), raw.end(), '\r')); // every line ends in CR LF
    std::string crlfFree = raw;
    crlfFree.erase(std::remove(crlfFree.begin(), crlfFree.end(), '\r'), crlfFree.end());
    EXPECT_EQ("<stamp>, iocWriteRead, Result=iorOK, Written:    01 03 AB \n"
              "<stamp>, iocWriteRead, Result=iorTimeOut, Received: 01 03 04 00 00 \n"
              "<stamp>, iocReadWrite, Result=iorOK, Received: 01 03 \n"
              "<stamp>, iocReadWrite, Result=iorOK, Written:    FF \n"
              "<stamp>, iocRead     , Result=iorOK, Received: \n"
              "<stamp>, iocWrite    , Result=iorOK, Written:    00 7F \n"
              "<stamp>, iocWrite    , Result=iorNotReady, Written:    0A \n",
              WithoutStamps(crlfFree));
}

TEST_F(CommPortDriverTest, LogSettings) {
    const auto first = LogDir / "first.log";
    const auto second = LogDir / "second.log";
    {
        std::ofstream existing(second);
        existing << "earlier\r\n";
    }
    Port.SetActive(true);
    Port.SetLogFile(first.string());
    Port.SetLogIOActions(true);
    Port.SetLogIOActions(true); // no effect: still on, file still open
    Port.RunCommand(iocWrite, 1, {0x01}, 0, 1);
    Port.SetLogFile(second.string()); // closes the first, appends to the second
    EXPECT_TRUE(Port.LogIOActions());
    Port.RunCommand(iocWrite, 1, {0x02}, 0, 1);
    Port.SetLogIOActions(false);
    Port.RunCommand(iocWrite, 1, {0x03}, 0, 1);
    EXPECT_THAT(ReadFile(first), ::testing::HasSubstr("Written:    01 \r\n"));
    EXPECT_EQ(std::string::npos, ReadFile(first).find("Written:    02"));
    const std::string text = ReadFile(second);
    EXPECT_EQ(0u, text.find("earlier\r\n"));
    EXPECT_THAT(text, ::testing::HasSubstr("Written:    02 \r\n"));
    EXPECT_EQ(std::string::npos, text.find("Written:    03"));

    Port.SetLogFile((LogDir / "missing" / "io.log").string());
    EXPECT_THROW(Port.SetLogIOActions(true), std::system_error);
    EXPECT_FALSE(Port.LogIOActions());
}

TEST_F(CommPortDriverTest, ActivationDeliversItsEventsAndError) {
    std::vector<std::string> events;
    Port.OnCommPortOpened = [&](TCommPortDriver* s) {
        events.push_back(s == &Port ? "opened" : "?");
    };
    Port.OnCommPortOpenError = [&](TCommPortDriver*) {
        events.push_back("open error " + std::to_string(Port.LastOSErrorNumber()));
    };
    Port.OnCommPortClosed = [&](TCommPortDriver*) { events.push_back("closed"); };
    Port.OpenSucceeds = false;
    Port.OpenError = EACCES;
    Port.SetActive(true);
    EXPECT_FALSE(Port.Active());
    EXPECT_EQ(EACCES, Port.LastOSErrorNumber());
    EXPECT_FALSE(Port.LastOSErrorMessage().empty());
    Port.OpenSucceeds = true;
    Port.OpenError = 0;
    Port.SetActive(true);
    EXPECT_TRUE(Port.Active());
    Port.SetActive(false);
    EXPECT_FALSE(Port.Active());
    EXPECT_EQ((std::vector<std::string>{"open error 13", "opened", "closed"}), events);
}

TEST_F(CommPortDriverTest, EventsFromWorkersRunOnTheUIThreadInPostingOrder) {
    std::vector<std::string> events;
    std::vector<bool> onUi;
    auto note = [&](std::string what) {
        events.push_back(std::move(what));
        onUi.push_back(Ui.IsCurrent());
    };
    Port.OnCommPortOpened = [&](TCommPortDriver*) { note("opened"); };
    Port.OnCommErrorReading = [&](TIOResult e) { note(std::string("read ") + IOResultName(e)); };
    Port.OnCommErrorWriting = [&](TIOResult e) { note(std::string("write ") + IOResultName(e)); };
    Port.OnCommPortDisconnected = [&](TCommPortDriver*) { note("disconnected"); };
    std::thread worker([&] {
        Port.SetActive(true);
        Port.ReportCommError(false, iorTimeOut);
        Port.ReportCommError(true, iorPortError);
        Port.DeliverPortDisconnected();
    });
    worker.join(); // the worker never waited for a handler
    EXPECT_TRUE(events.empty());
    ASSERT_TRUE(Ui.PumpUntil([&] { return events.size() == 4; }));
    EXPECT_EQ((std::vector<std::string>{"opened", "read iorTimeOut", "write iorPortError",
                                        "disconnected"}),
              events);
    EXPECT_EQ(std::vector<bool>(4, true), onUi);
}

TEST_F(CommPortDriverTest, DestroyingOnTheUIThreadDoesNotWaitForAnUnservedEvent) {
    std::atomic<int> errors{0};
    {
        TScriptedPort port;
        port.OnCommErrorReading = [&](TIOResult) { ++errors; };
        std::thread worker([&] { port.ReportCommError(false, iorTimeOut); });
        worker.join();
        // Nobody pumps: the notification thread may be waiting for this thread to run the
        // event. Destruction serves it instead of waiting forever.
    }
    EXPECT_LE(errors.load(), 1);
}

class TRecordingDriver : public IPortDriverEventNotification {
public:
    std::uint32_t Wanted = 0;
    std::atomic<int> Opened{0};
    std::atomic<bool> OpenedOnUi{false};
    std::atomic<bool> SenderEmpty{false};
    TCommPortDriver* Removed = nullptr;
    TTestUIThread* Ui = nullptr;

    std::uint32_t WantedPortEvents() override { return Wanted; }
    TPortNotifyEvent GetPortOpenedHandler() override {
        return [this](TCommPortDriver* sender) {
            SenderEmpty = sender == nullptr;
            OpenedOnUi = Ui->IsCurrent();
            ++Opened;
        };
    }
    TPortNotifyEvent GetPortClosedHandler() override { return nullptr; }
    TPortNotifyEvent GetPortDisconnectedHandler() override { return nullptr; }
    void PortRemoved(TCommPortDriver* port) override {
        Removed = port;
        port->RemoveProtocolDriver(this);
    }
};

TEST_F(CommPortDriverTest, RegisteredDriversHearTheEventsTheyWant) {
    TRecordingDriver wanting, silent;
    wanting.Wanted = pefOpened;
    wanting.Ui = silent.Ui = &Ui;
    TScriptedPort port; // destroyed before the drivers it tells
    EXPECT_THROW(port.AddProtocolDriver(nullptr), EStackError);
    port.AddProtocolDriver(&wanting);
    port.AddProtocolDriver(&wanting);
    port.AddProtocolDriver(&silent);
    EXPECT_EQ(2u, port.RegisteredDriverCount());
    port.SetActive(true);
    // The driver's handler runs on the notification thread, not on the user-interface thread.
    ASSERT_TRUE(Ui.PumpUntil([&] { return wanting.Opened == 1; }));
    EXPECT_FALSE(wanting.OpenedOnUi);
    EXPECT_TRUE(wanting.SenderEmpty);
    EXPECT_EQ(0, silent.Opened);
    port.RemoveProtocolDriver(&silent);
    EXPECT_EQ(1u, port.RegisteredDriverCount());
}

TEST_F(CommPortDriverTest, DestroyedPortTellsItsDriversAndSendsNoEvents) {
    TRecordingDriver driver;
    driver.Ui = &Ui;
    bool closedEvent = false;
    {
        TScriptedPort port;
        port.OnCommPortClosed = [&](TCommPortDriver*) { closedEvent = true; };
        port.AddProtocolDriver(&driver);
        port.SetActive(true);
        EXPECT_TRUE(port.Active());
    }
    EXPECT_NE(nullptr, driver.Removed);
    EXPECT_FALSE(closedEvent);
}

} // namespace
