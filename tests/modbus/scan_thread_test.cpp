#include "modbus/scan_thread.h"

#include "modbus/io_types.h"
#include "modbus/plc_block.h"
#include "modbus/scan_update.h"
#include "scripted_protocol_driver.h"
#include "support/test_ui_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using std::chrono::milliseconds;

class ScanThreadTest : public ::testing::Test {
protected:
    ScanThreadTest() { port.SetActive(true); }

    // A block of `size` registers from `address`, scanned by `target`.
    std::unique_ptr<TPLCBlock> ScannedBlock(TRegisterDriver& target, uint32_t address,
                                            int32_t refreshTime, uint32_t size = 2) {
        auto block = std::make_unique<TPLCBlock>();
        block->SetMemReadFunction(3);
        block->SetMemWriteFunction(16);
        block->SetMemAddress(address);
        block->SetSize(size);
        block->SetRefreshTime(refreshTime);
        block->SetProtocolDriver(&target);
        return block;
    }

    // Stamps the block's values `ageMs` milliseconds ago.
    static void RefreshedAgo(TPLCBlock& block, int ageMs) {
        block.CommandResultCallBack(block.RawValues(), Now() - milliseconds(ageMs), tcRead, ioOk,
                                    0);
    }

    TTestUIThread ui;
    TGatedPort port;
};

TEST_F(ScanThreadTest, WorkersStartAndStopWithADriverWithoutTags) {
    for (int round = 0; round < 3; ++round) {
        TRegisterDriver driver;
        driver.SetCommunicationPort(&port);
        ASSERT_TRUE(ui.PumpUntil([&] { return driver.ScanCycles.load() > 1; }, 5000));
        EXPECT_TRUE(driver.ScanThread().Started());
        EXPECT_TRUE(driver.UpdateThread().Started());
    }
}

// The update thread delivers background results on this thread through a blocking hand-over;
// a driver destroyed while a delivery waits must still finish it and stop.
TEST_F(ScanThreadTest, WorkersStopWhileADeliveryIsPendingAndTheDeliveryCompletes) {
    auto driver = std::make_unique<TRegisterDriver>();
    driver->SetCommunicationPort(&port);
    driver->Registers[4] = 99;
    auto block = ScannedBlock(*driver, 4, 1);
    // Without pumping: the update thread collects the due tag and then waits for this thread.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (driver->CacheReads.load() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_GT(driver->CacheReads.load(), 0);
    EXPECT_EQ(block->LastASyncReadStatus(), ioNone);
    driver.reset();
    EXPECT_EQ(block->ProtocolDriver(), nullptr);
    EXPECT_EQ(block->LastASyncReadStatus(), ioOk);
    EXPECT_EQ(block->Elements(0), 99);
}

TEST_F(ScanThreadTest, AttachedTagIsRefreshedInTheBackground) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    driver.Registers[20] = 5;
    auto block = ScannedBlock(driver, 20, 5);
    ASSERT_TRUE(ui.PumpUntil([&] { return block->CommReadsOK() >= 3; }, 5000));
    EXPECT_EQ(block->Elements(0), 5);
    EXPECT_EQ(block->LastASyncReadStatus(), ioOk);
    EXPECT_GE(block->AvgUpdateRate(), 0);
    EXPECT_GE(driver.AvgTagUpdateTime(), 0);
}

TEST_F(ScanThreadTest, CollectDueTagsReportsTheTimeToTheNextDueTag) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    auto waiting = ScannedBlock(driver, 0, 1000);
    RefreshedAgo(*waiting, 400);
    TArrayOfScanUpdateRec results;
    const int32_t untilDue = driver.CollectDueTags(results);
    EXPECT_GT(untilDue, 300); // about 600, less whatever time this slow run took
    EXPECT_LE(untilDue, 600);
    EXPECT_TRUE(results.empty());

    driver.Registers[30] = 12;
    auto due = ScannedBlock(driver, 30, 1000);
    RefreshedAgo(*due, 1500);
    EXPECT_EQ(driver.CollectDueTags(results), 0);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].CallBack.Target, due.get());
    EXPECT_EQ(results[0].LastResult, ioOk);
    EXPECT_EQ(results[0].Values, (TArrayOfDouble{12, 0}));
}

TEST_F(ScanThreadTest, CollectDueTagsMeasuresFromTheLastScanWhenNotReadingAlways) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    driver.SetReadSomethingAlways(false);
    auto block = ScannedBlock(driver, 0, 60000);
    RefreshedAgo(*block, 120000); // old values, but the last scan result is recent
    TArrayOfScanUpdateRec results;
    EXPECT_GT(driver.CollectDueTags(results), 50000);
    EXPECT_TRUE(results.empty());
    driver.SetReadSomethingAlways(true);
    EXPECT_EQ(driver.CollectDueTags(results), 0);
    EXPECT_EQ(results.size(), 1u);
}

TEST_F(ScanThreadTest, CollectDueTagsWaitsForAReadyPortAndPollsWithoutTags) {
    TRegisterDriver driver;
    TArrayOfScanUpdateRec results;
    EXPECT_EQ(driver.CollectDueTags(results), 50); // no port
    driver.SetCommunicationPort(&port);
    EXPECT_EQ(driver.CollectDueTags(results), 0); // ready, nothing attached
    port.SetActive(false);
    auto block = ScannedBlock(driver, 0, 1);
    EXPECT_EQ(driver.CollectDueTags(results), 50);
    EXPECT_TRUE(results.empty());
}

TEST_F(ScanThreadTest, UnscannedTagsAreNotCollected) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    driver.ScanAttachedTags = false;
    auto block = ScannedBlock(driver, 0, 1);
    RefreshedAgo(*block, 100);
    TArrayOfScanUpdateRec results;
    EXPECT_EQ(driver.CollectDueTags(results), 0);
    EXPECT_TRUE(results.empty());
}

TEST_F(ScanThreadTest, QueuedRequestsAreNumberedPerKindAndDeliveredHere) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    driver.Registers[7] = 70;
    TPLCBlock block;
    block.SetAutoRead(false);
    block.SetMemReadFunction(3);
    block.SetMemWriteFunction(16);
    block.SetMemAddress(7);
    block.SetProtocolDriver(&driver);

    TTagRec tagRec;
    block.FillTagRec(tagRec, 0, 0);
    EXPECT_EQ(driver.ScanRead(tagRec), 1u);
    EXPECT_EQ(driver.ScanWrite(tagRec, {71}), 1u);
    EXPECT_EQ(driver.ScanRead(tagRec), 2u);
    block.ScanRead(); // AutoRead is off: the tag queues nothing itself
    ASSERT_TRUE(ui.PumpUntil(
        [&] { return block.CommReadsOK() == 2 && block.LastASyncWriteStatus() == ioOk; }, 5000));
    EXPECT_EQ(driver.Registers[7], 71);
    EXPECT_EQ(block.CommWritesOk(), 1u);
    EXPECT_EQ(driver.ScanRead(tagRec), 3u);
}

TEST_F(ScanThreadTest, QueuedReadOfATagDestroyedMeanwhileIsNotDelivered) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    auto makeBlock = [&] {
        auto block = std::make_unique<TPLCBlock>();
        block->SetAutoRead(false);
        block->SetMemReadFunction(3);
        block->SetMemAddress(7);
        block->SetProtocolDriver(&driver);
        return block;
    };
    auto gone = makeBlock();
    auto kept = makeBlock();
    TTagRec goneRec, keptRec;
    gone->FillTagRec(goneRec, 0, 0);
    kept->FillTagRec(keptRec, 0, 0);
    driver.ScanRead(goneRec);
    driver.ScanRead(keptRec);
    gone.reset();
    // Requests are served in order, so once the second is delivered the first has had its turn;
    // it must have been dropped, not delivered into a destroyed tag.
    ASSERT_TRUE(ui.PumpUntil([&] { return kept->CommReadsOK() == 1; }, 5000));
}

TEST_F(ScanThreadTest, ScannedTagQueuesItsOwnCacheRead) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    driver.Registers[40] = 4;
    auto block = ScannedBlock(driver, 40, 60000);
    RefreshedAgo(*block, 0); // not due for a minute
    block->ScanRead();
    ASSERT_TRUE(ui.PumpUntil([&] { return block->LastASyncReadStatus() == ioOk; }, 5000));
    EXPECT_EQ(block->Elements(0), 4);
}

TEST_F(ScanThreadTest, ElementChangeWithAutoWriteIsWrittenByTheScanThread) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    TPLCBlock block;
    block.SetAutoRead(false);
    block.SetMemReadFunction(3);
    block.SetMemWriteFunction(16);
    block.SetSize(3);
    block.SetProtocolDriver(&driver);
    block.SetElements(2, 42);
    EXPECT_TRUE(block.Modified());
    ASSERT_TRUE(ui.PumpUntil([&] { return block.LastASyncWriteStatus() == ioOk; }, 5000));
    EXPECT_EQ(driver.Registers[2], 42);
    EXPECT_FALSE(block.Modified());
}

TEST_F(ScanThreadTest, ReadOnlyDriverAnswersQueuedWritesAtOnce) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    driver.SetReadOnly(true);
    TPLCBlock block;
    block.SetAutoRead(false);
    block.SetProtocolDriver(&driver);
    TTagRec tagRec;
    block.FillTagRec(tagRec, 0, 0);
    EXPECT_EQ(driver.ScanWrite(tagRec, {1}), 0u);
    EXPECT_EQ(block.LastASyncWriteStatus(), ioReadOnlyProtocol);
    EXPECT_EQ(driver.Writes.load(), 0);
    EXPECT_EQ(port.LastPacketId(), 0u);
}

TEST_F(ScanThreadTest, ResultOfADetachedTagIsDropped) {
    TRegisterDriver driver;
    driver.SetCommunicationPort(&port);
    auto block = ScannedBlock(driver, 0, 1);
    // The update thread collects the due tag and waits for this thread to take the delivery.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (driver.CacheReads.load() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_GT(driver.CacheReads.load(), 0);
    driver.DetachTag(block.get());
    const size_t before = ui.ExecutedCalls();
    ASSERT_TRUE(ui.PumpUntil([&] { return ui.ExecutedCalls() > before; }, 5000));
    EXPECT_EQ(block->LastASyncReadStatus(), ioNone);
    EXPECT_EQ(block->CommReadsOK(), 0u);
}

TEST(ScanThreads, UpdateThreadNeedsAnOwner) {
    try {
        TScanUpdate orphan(nullptr, nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const EStackError& e) {
        EXPECT_STREQ(e.what(),
                     "The component owner of the update thread must be a protocol driver!");
    }
}

TEST(ScanThreads, WritesCannotBeQueuedOnAThreadThatNeverRan) {
    TScanThread idle(nullptr);
    try {
        idle.PostWrite(std::make_shared<TScanWriteRec>());
        ADD_FAILURE() << "no exception";
    } catch (const EStackError& e) {
        EXPECT_STREQ(e.what(), "The thread is suspended?");
    }
}

} // namespace
