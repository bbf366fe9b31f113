#include "modbus/protocol_driver.h"

#include "modbus/io_types.h"
#include "modbus/plc_block.h"
#include "scripted_protocol_driver.h"
#include "support/test_ui_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// A driver whose device access fails with an exception (a broken port, say).
class TThrowingDriver : public TRegisterDriver {
public:
    TProtocolIOResult ReadValues(const TTagRec&, TArrayOfDouble&, bool) override {
        throw std::runtime_error("medium gone");
    }
    TProtocolIOResult WriteValues(const TTagRec&, const TArrayOfDouble&, bool) override {
        throw std::runtime_error("medium gone");
    }
};

class ProtocolDriverTest : public ::testing::Test {
protected:
    ProtocolDriverTest() {
        port.SetActive(true);
        driver.SetCommunicationPort(&port);
        block.SetAutoRead(false);
        block.SetMemAddress(10);
        block.SetMemReadFunction(3);
        block.SetMemWriteFunction(16);
        block.SetSize(4);
        block.SetProtocolDriver(&driver);
    }

    void ExpectRaises(const std::function<void()>& call, const std::string& text) {
        try {
            call();
            ADD_FAILURE() << "no exception, expected: " << text;
        } catch (const EStackError& e) {
            EXPECT_EQ(std::string(e.what()), text);
        }
    }

    TTestUIThread ui;
    TGatedPort port;
    TRegisterDriver driver;
    TPLCBlock block;
};

TEST_F(ProtocolDriverTest, DriversNumberThemselvesInTurn) {
    TRegisterDriver first;
    TRegisterDriver second;
    EXPECT_GE(driver.DriverID(), 1u);
    EXPECT_EQ(first.DriverID(), driver.DriverID() + 1);
    EXPECT_EQ(second.DriverID(), first.DriverID() + 1);
}

TEST_F(ProtocolDriverTest, ReadAndWriteAnswerThroughTheCallbackBeforeReturning) {
    driver.Registers[12] = 33;
    block.Read();
    EXPECT_EQ(block.LastSyncReadStatus(), ioOk);
    EXPECT_EQ(block.Elements(2), 33);
    block.Write({1, 2}, 2, 1);
    EXPECT_EQ(block.LastSyncWriteStatus(), ioOk);
    EXPECT_EQ(driver.Registers[11], 1);
    EXPECT_EQ(driver.Registers[12], 2);
    EXPECT_FALSE(port.Locked()); // each request gives the port back
}

TEST_F(ProtocolDriverTest, WithoutAReadyPortRequestsEndAsNullDriver) {
    port.SetActive(false);
    block.Read();
    EXPECT_EQ(block.LastSyncReadStatus(), ioNullDriver);
    driver.SetCommunicationPort(nullptr);
    block.Write({1}, 1, 0);
    EXPECT_EQ(block.LastSyncWriteStatus(), ioNullDriver);
}

TEST_F(ProtocolDriverTest, ReadOnlyDriverRefusesWritesWithoutTrafficAndStillReads) {
    driver.SetReadOnly(true);
    block.Write({5}, 1, 0);
    EXPECT_EQ(block.LastSyncWriteStatus(), ioReadOnlyProtocol);
    EXPECT_EQ(block.CommWriteErrors(), 1u);
    EXPECT_EQ(driver.Writes.load(), 0);
    EXPECT_EQ(port.LastPacketId(), 0u);
    EXPECT_EQ(driver.Registers[10], 0);

    driver.Registers[10] = 8;
    block.Read();
    EXPECT_EQ(block.LastSyncReadStatus(), ioOk);
    EXPECT_EQ(block.Elements(0), 8);
}

TEST_F(ProtocolDriverTest, AnExceptionOfTheDeviceAccessReachesTheCallerWithLocksReleased) {
    TThrowingDriver broken;
    broken.SetCommunicationPort(&port);
    block.SetProtocolDriver(&broken);
    EXPECT_THROW(block.Read(), std::runtime_error);
    EXPECT_THROW(block.Write({1}, 1, 0), std::runtime_error);
    EXPECT_EQ(block.LastSyncReadStatus(), ioNone);
    EXPECT_EQ(block.LastSyncWriteStatus(), ioNone);

    // Another thread can take the driver: nothing was left locked or paused.
    const int cycles = broken.ScanCycles.load();
    auto attach = std::async(std::launch::async, [&] {
        TPLCBlock other;
        other.SetProtocolDriver(&broken);
        return broken.HasTag(&other);
    });
    ASSERT_EQ(attach.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(attach.get());
    ASSERT_TRUE(ui.PumpUntil([&] { return broken.ScanCycles.load() > cycles + 2; }, 5000));
}

TEST_F(ProtocolDriverTest, AttachingKeepsTheListFreeOfDuplicates) {
    driver.AttachTag(&block);
    ExpectRaises([&] { driver.AttachTag(&block); },
                 "This Tag already linked with this protocol driver!");
    EXPECT_EQ(driver.LinkedTagCount(), 1);
    EXPECT_EQ(driver.LinkedTags(0), &block);
    ExpectRaises([&] { driver.LinkedTags(1); }, "Out of bounds!");
    ExpectRaises([&] { driver.LinkedTags(-1); }, "Out of bounds!");

    TPLCBlock stranger;
    driver.DetachTag(&stranger);
    EXPECT_EQ(driver.LinkedTagCount(), 1);
    driver.DetachTag(&block);
    EXPECT_EQ(driver.LinkedTagCount(), 0);
    EXPECT_FALSE(block.IsScanEnabled());
}

TEST_F(ProtocolDriverTest, OnlyScanableTagsCanBeAttached) {
    TTagBlock plain;
    ExpectRaises([&] { driver.AttachTag(&plain); },
                 "The IScanableTagInterface Interface isn't supported!");
    EXPECT_EQ(driver.LinkedTagCount(), 0);
}

TEST_F(ProtocolDriverTest, ChangingPortsGivesBackTheOldPortsLock) {
    TGatedPort other;
    EXPECT_EQ(port.RegisteredDriverCount(), 1u);
    driver.SetCommunicationPort(&port); // the same port: nothing changes
    EXPECT_EQ(port.RegisteredDriverCount(), 1u);

    ASSERT_TRUE(port.Lock(driver.DriverID()));
    driver.SetCommunicationPort(&other);
    EXPECT_FALSE(port.Locked());
    EXPECT_EQ(port.RegisteredDriverCount(), 0u);
    EXPECT_EQ(other.RegisteredDriverCount(), 1u);

    // A lock held by another driver is not ours to give back.
    ASSERT_TRUE(other.Lock(driver.DriverID() + 1000));
    driver.SetCommunicationPort(nullptr);
    EXPECT_EQ(other.LockedBy(), driver.DriverID() + 1000);
    EXPECT_EQ(other.RegisteredDriverCount(), 0u);
    other.Unlock(driver.DriverID() + 1000);
}

TEST_F(ProtocolDriverTest, DestroyedDriverLeavesItsTagsAndItsPort) {
    auto doomed = std::make_unique<TRegisterDriver>();
    doomed->SetCommunicationPort(&port);
    TPLCBlock first, second;
    first.SetProtocolDriver(doomed.get());
    second.SetProtocolDriver(doomed.get());
    ASSERT_EQ(doomed->LinkedTagCount(), 2);
    ASSERT_EQ(port.RegisteredDriverCount(), 2u);
    doomed.reset();
    EXPECT_EQ(first.ProtocolDriver(), nullptr);
    EXPECT_EQ(second.ProtocolDriver(), nullptr);
    EXPECT_EQ(port.RegisteredDriverCount(), 1u);
}

TEST_F(ProtocolDriverTest, DestroyedDriverIsForgottenAlsoByTagsThatAreNotScanned) {
    auto doomed = std::make_unique<TRegisterDriver>();
    block.SetProtocolDriver(doomed.get()); // AutoRead is false: never attached
    ASSERT_FALSE(doomed->HasTag(&block));
    doomed.reset();
    EXPECT_EQ(block.ProtocolDriver(), nullptr);
    block.Read(); // no driver: nothing happens
    EXPECT_EQ(block.LastSyncReadStatus(), ioNone);
}

TEST_F(ProtocolDriverTest, DestroyedPortIsDroppedByItsDriver) {
    auto doomed = std::make_unique<TGatedPort>();
    driver.SetCommunicationPort(doomed.get());
    doomed.reset();
    EXPECT_EQ(driver.CommunicationPort(), nullptr);
    block.Read();
    EXPECT_EQ(block.LastSyncReadStatus(), ioNullDriver);
}

TEST_F(ProtocolDriverTest, PortEventHandlersRunUnderTheDriversLocks) {
    // The handler takes the pause: a further synchronous request from the same thread still
    // runs (the locks are recursive), while the scan thread waits.
    std::atomic<bool> ran{false};
    class TEventDriver : public TRegisterDriver {
    public:
        std::function<void()> OnOpened;
        void HandlePortOpened(TCommPortDriver*) override { OnOpened(); }
    } eventDriver;
    eventDriver.SetCommunicationPort(&port);
    block.SetProtocolDriver(&eventDriver);
    eventDriver.OnOpened = [&] {
        block.Read();
        ran = true;
    };
    eventDriver.NotifyPortOpened(&port);
    EXPECT_TRUE(ran.load());
    EXPECT_EQ(block.LastSyncReadStatus(), ioOk);
    EXPECT_EQ(eventDriver.WantedPortEvents(), 0u);
}

// While the scan cycle waits for the device it holds CommandLock but has handed IoLock back:
// synchronous requests wait for the cycle, the update thread's cache answers do not.
TEST_F(ProtocolDriverTest, ScanCycleWaitingForTheDeviceBlocksRequestsButNotCacheAnswers) {
    block.SetAutoRead(true); // attached and scanned
    driver.Registers[10] = 21;
    port.CloseGate();
    driver.ScanThroughPort = true;
    ASSERT_TRUE(port.WaitForBlockedCommand(5000));

    auto syncRead = std::async(std::launch::async, [&] {
        TTagRec tagRec;
        block.FillTagRec(tagRec, 0, 0);
        tagRec.CallBack = {};
        driver.Read(tagRec);
    });
    EXPECT_EQ(syncRead.wait_for(std::chrono::milliseconds(30)), std::future_status::timeout);

    TTagRec tagRec;
    block.FillTagRec(tagRec, 0, 0);
    EXPECT_EQ(driver.ScanRead(tagRec), 1u);
    ASSERT_TRUE(ui.PumpUntil([&] { return block.LastASyncReadStatus() == ioOk; }, 5000));
    EXPECT_EQ(block.Elements(0), 21);
    EXPECT_EQ(syncRead.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);

    driver.ScanThroughPort = false;
    port.OpenGate();
    ASSERT_EQ(syncRead.wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

// A synchronous request resets ScanAllowed first, so no new scan cycle starts while it runs.
TEST_F(ProtocolDriverTest, SynchronousRequestKeepsNewScanCyclesFromStarting) {
    ASSERT_TRUE(ui.PumpUntil([&] { return driver.ScanCycles.load() > 0; }, 5000));
    int cyclesDuringRead = -1;
    block.OnValueChangeLast = [&](TTag*) {
        const int before = driver.ScanCycles.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cyclesDuringRead = driver.ScanCycles.load() - before;
    };
    block.Read();
    EXPECT_EQ(cyclesDuringRead, 0);
    const int after = driver.ScanCycles.load();
    ASSERT_TRUE(ui.PumpUntil([&] { return driver.ScanCycles.load() > after; }, 5000));
}

TEST(ProtocolIOResultTexts, NameTheApplicationsMessages) {
    EXPECT_STREQ(ProtocolIOResultText(ioNone), "Unknown bug!");
    EXPECT_STREQ(ProtocolIOResultText(ioOk), "Sucessfull request.");
    EXPECT_STREQ(ProtocolIOResultText(ioTimeOut), "Communication timeout.");
    EXPECT_STREQ(ProtocolIOResultText(ioIllegalRegAddress), "Invalid memory address.");
    EXPECT_STREQ(ProtocolIOResultText(ioNullDriver), "Tag without a driver.");
    EXPECT_STREQ(ProtocolIOResultText(ioObjectAccessNotAllowed), "Unknown bug!");
    EXPECT_STREQ(ProtocolIOResultText(ioIllegalMemoryAddress),
                 "The request is out of bound of the memory space of device.");
    EXPECT_STREQ(ProtocolIOResultText(ioPartialOk), "An action was partially successful.");
    EXPECT_STREQ(ProtocolIOResultText(ioReadOnlyProtocol), "Unknown bug!");
}

} // namespace
