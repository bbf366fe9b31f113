#include "modbus/plc_block.h"

#include "modbus/io_types.h"
#include "modbus/tag_manager.h"
#include "scripted_protocol_driver.h"
#include "support/test_ui_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Signals {
    int first = 0;
    int last = 0;
    int updates = 0;
    std::vector<TArrayOfDouble> async;

    void Watch(TPLCBlock& block) {
        block.OnValueChangeFirst = [this](TTag*) { ++first; };
        block.OnValueChangeLast = [this](TTag*) { ++last; };
        block.OnUpdate = [this](TTag*) { ++updates; };
        block.OnAsyncValueChange = [this](TTag*, const TArrayOfDouble& values) {
            async.push_back(values);
        };
    }
};

class PLCBlockTest : public ::testing::Test {
protected:
    PLCBlockTest() {
        port.SetActive(true);
        driver.SetCommunicationPort(&port);
    }

    // The application's identification block as its window stores it.
    void LoadIdentBlock(TPLCBlock& block) {
        block.BeginLoad();
        block.SetTag(-1);
        block.SetTagGUID("{2BCD26BF-3893-400B-93DF-9F94D46CC6F1}");
        block.SetAutoRead(false);
        block.SetAutoWrite(false);
        block.SetPLCStation(68);
        block.SetMemAddress(3000);
        block.SetMemReadFunction(3);
        block.SetMemWriteFunction(16);
        block.SetRetries(3);
        block.SetProtocolDriver(&driver);
        block.SetSize(12);
        block.SetTagType(pttWord);
        block.SetSwapWords(true);
        block.EndLoad();
    }

    TTestUIThread ui;
    TGatedPort port;
    TRegisterDriver driver{4096};
};

TEST_F(PLCBlockTest, IdentBlockAfterLoadingDescribesTwelveRegisters) {
    TPLCBlock block;
    LoadIdentBlock(block);
    EXPECT_EQ(block.RawValues().size(), 12u);
    EXPECT_EQ(block.ElementValues().size(), 12u);
    EXPECT_EQ(block.WordBits(), 16);
    EXPECT_EQ(block.ElementBits(), 16);
    EXPECT_EQ(block.ProtocolTagType(), pttWord);
    EXPECT_EQ(block.ProtocolDriver(), &driver);
    EXPECT_EQ(block.TagGUID(), "{2BCD26BF-3893-400B-93DF-9F94D46CC6F1}");
    EXPECT_TRUE(TTagMananger::Instance().IsRegistered(&block));
    EXPECT_EQ(driver.LinkedTagCount(), 0); // AutoRead is false

    TTagRec tagRec;
    block.FillTagRec(tagRec, 0, 0);
    EXPECT_EQ(tagRec.PLCStation, 68);
    EXPECT_EQ(tagRec.MemAddress, 3000);
    EXPECT_EQ(tagRec.WordCount, 12);
    EXPECT_EQ(tagRec.WordOffset, 0);
    EXPECT_EQ(tagRec.MemReadFunction, 3);
    EXPECT_EQ(tagRec.MemWriteFunction, 16);
    EXPECT_EQ(tagRec.Retries, 3);
    EXPECT_TRUE(block.OwnsCallBack(tagRec.CallBack));
}

TEST_F(PLCBlockTest, SizeResizesBothArraysAndIgnoresZero) {
    TPLCBlock block;
    LoadIdentBlock(block);
    block.SetSize(0);
    EXPECT_EQ(block.Size(), 12u);
    block.SetSize(5);
    EXPECT_EQ(block.ElementValues().size(), 5u);
    EXPECT_EQ(block.RawValues().size(), 5u);
    EXPECT_EQ(driver.LinkedTagCount(), 0);
    EXPECT_EQ(driver.Attaches.load() + driver.Detaches.load(), 0);
}

TEST_F(PLCBlockTest, ReadSignalsChangesOnlyWhenValuesChangeAndCountsEveryRead) {
    TPLCBlock block;
    LoadIdentBlock(block);
    Signals signals;
    signals.Watch(block);
    for (int i = 0; i < 12; ++i)
        driver.Registers[3000 + i] = 7;

    block.Read();
    EXPECT_EQ(block.LastSyncReadStatus(), ioOk);
    EXPECT_EQ(block.Elements(11), 7);
    EXPECT_EQ(signals.last, 1);
    block.Read();
    EXPECT_EQ(signals.first, 1);
    EXPECT_EQ(signals.last, 1);
    EXPECT_EQ(block.CommReadsOK(), 2u);
    EXPECT_EQ(signals.updates, 2);
    EXPECT_EQ(block.LastSyncReadStatus(), ioOk);

    driver.Registers[3005] = 9;
    block.Read();
    EXPECT_EQ(signals.last, 2);
    ASSERT_TRUE(ui.PumpUntil([&] { return signals.async.size() == 2; }, 2000));
    EXPECT_EQ(signals.async[1][5], 9);
}

TEST_F(PLCBlockTest, FirstResultSignalsEvenWhenItFailsLaterFailuresDoNot) {
    TPLCBlock block;
    LoadIdentBlock(block);
    block.SetMemAddress(5000); // beyond the device's registers
    Signals signals;
    signals.Watch(block);
    block.Read();
    EXPECT_EQ(block.LastSyncReadStatus(), ioIllegalRegAddress);
    EXPECT_EQ(block.CommReadErrors(), 1u);
    EXPECT_EQ(signals.last, 1);
    block.Read();
    EXPECT_EQ(block.CommReadErrors(), 2u);
    EXPECT_EQ(signals.last, 1);
    EXPECT_EQ(signals.updates, 0);
}

TEST_F(PLCBlockTest, ReadWithoutDriverDoesNothing) {
    TPLCBlock block;
    block.Read();
    EXPECT_EQ(block.LastSyncReadStatus(), ioNone);
    EXPECT_EQ(block.CommReadErrors() + block.CommReadsOK(), 0u);
}

TEST_F(PLCBlockTest, SwapFlagSetWhileLoadingQueuesOneChangeWithTheInitialValues) {
    TPLCBlock block;
    Signals signals;
    signals.Watch(block);
    LoadIdentBlock(block);
    ASSERT_TRUE(ui.PumpUntil([&] { return !signals.async.empty(); }, 2000));
    ui.PumpQueued();
    ASSERT_EQ(signals.async.size(), 1u);
    EXPECT_EQ(signals.async[0], TArrayOfDouble(12, 0.0)); // the size was loaded before the flag
}

TEST_F(PLCBlockTest, LocalElementChangeWithoutAutoWriteStaysLocalUntilWriteElements) {
    TPLCBlock block;
    LoadIdentBlock(block);
    ui.PumpQueued();
    Signals signals;
    signals.Watch(block);

    block.SetElements(3, 7);
    EXPECT_EQ(block.Elements(3), 7);
    EXPECT_EQ(block.LastASyncWriteStatus(), ioOk);
    EXPECT_EQ(block.CommWritesOk(), 0u);
    EXPECT_FALSE(block.Modified());
    EXPECT_EQ(driver.Writes.load(), 0);
    EXPECT_EQ(port.LastPacketId(), 0u);
    ASSERT_TRUE(ui.PumpUntil([&] { return signals.async.size() == 1; }, 2000));
    EXPECT_EQ(signals.async[0][3], 7);

    block.WriteElements();
    EXPECT_EQ(driver.Writes.load(), 1);
    EXPECT_EQ(block.LastSyncWriteStatus(), ioOk);
    EXPECT_EQ(block.CommWritesOk(), 1u);
    EXPECT_EQ(driver.Registers[3003], 7);
    EXPECT_EQ(driver.Registers[3002], 0);
}

TEST_F(PLCBlockTest, SyncElementWriteGoesToTheDeviceAtOnce) {
    TPLCBlock block;
    LoadIdentBlock(block);
    block.SetSyncWrites(true);
    block.SetElements(2, 513);
    EXPECT_EQ(driver.Registers[3002], 513);
    EXPECT_EQ(driver.Writes.load(), 1);
    EXPECT_EQ(block.LastSyncWriteStatus(), ioOk);
    EXPECT_FALSE(block.Modified());
}

TEST_F(PLCBlockTest, ElementIndexOutsideTheBlockIsRejected) {
    TPLCBlock block;
    LoadIdentBlock(block);
    for (int32_t index : {-1, 12}) {
        try {
            (void)block.Elements(index);
            ADD_FAILURE() << "no exception for " << index;
        } catch (const EStackError& e) {
            EXPECT_STREQ(e.what(), "Out of bounds!");
        }
        EXPECT_THROW(block.SetElements(index, 1), EStackError);
    }
    EXPECT_EQ(driver.Writes.load(), 0);
}

TEST_F(PLCBlockTest, FailedWriteKeepsTheElementsAndCountsTheError) {
    TPLCBlock block;
    LoadIdentBlock(block);
    block.SetMemAddress(4090); // 12 registers do not fit below 4096
    block.SetElements(0, 5);   // local change
    block.WriteElements();
    EXPECT_EQ(block.LastSyncWriteStatus(), ioIllegalRegAddress);
    EXPECT_EQ(block.CommWriteErrors(), 1u);
    EXPECT_EQ(block.Elements(0), 5);
}

TEST_F(PLCBlockTest, DWordElementsOnRegistersFollowSwapWords) {
    TPLCBlock block;
    LoadIdentBlock(block);
    block.SetTagType(pttDWord);
    block.SetSize(1);
    EXPECT_EQ(block.RawValues().size(), 2u);
    driver.Registers[3000] = 1;
    driver.Registers[3001] = 2;
    block.Read();
    EXPECT_EQ(block.Elements(0), 65538);
    block.SetSwapWords(false); // reprocesses the last raw words
    EXPECT_EQ(block.Elements(0), 131073);

    block.SetSyncWrites(true);
    block.SetElements(0, 0x00030004); // low word first without SwapWords
    EXPECT_EQ(driver.Registers[3000], 4);
    EXPECT_EQ(driver.Registers[3001], 3);
}

TEST_F(PLCBlockTest, ByteElementWriteKeepsTheOtherHalfOfItsRegister) {
    TPLCBlock block;
    LoadIdentBlock(block);
    block.SetTagType(pttByte);
    block.SetSize(3);
    EXPECT_EQ(block.RawValues().size(), 2u);
    driver.Registers[3000] = 0x1234;
    driver.Registers[3001] = 0x5678;
    block.Read();
    EXPECT_EQ(block.ElementValues(), (TArrayOfDouble{0x34, 0x12, 0x78}));
    block.SetSyncWrites(true);
    block.SetElements(1, 0xAB);
    EXPECT_EQ(driver.Registers[3000], 0xAB34);
    EXPECT_EQ(driver.Registers[3001], 0x5678);
}

TEST_F(PLCBlockTest, WriteWithoutDriverChangesTheElementAndNoCounter) {
    TPLCBlock block;
    block.Write({5}, 1, 0);
    EXPECT_EQ(block.LastSyncWriteStatus(), ioNullDriver);
    EXPECT_EQ(block.Elements(0), 5);
    EXPECT_EQ(block.CommWritesOk() + block.CommWriteErrors(), 0u);
    EXPECT_EQ(block.CommReadsOK() + block.CommReadErrors(), 0u);
}

TEST_F(PLCBlockTest, AddressChangesReattachAScannedTag) {
    TPLCBlock block;
    block.SetMemReadFunction(3);
    block.SetProtocolDriver(&driver);
    ASSERT_TRUE(driver.HasTag(&block));
    EXPECT_TRUE(block.IsScanEnabled());
    const int attaches = driver.Attaches.load();

    block.SetMemAddress(10);
    block.SetPLCStation(2);
    block.SetRefreshTime(500);
    EXPECT_EQ(driver.Attaches.load(), attaches + 3);
    EXPECT_EQ(driver.Detaches.load(), 3);
    block.SetRetries(5); // not part of the request plan
    block.SetPLCStation(2);
    EXPECT_EQ(driver.Attaches.load(), attaches + 3);
    EXPECT_TRUE(driver.HasTag(&block));

    block.SetMemReadFunction(1); // coils: one bit per protocol word
    EXPECT_EQ(block.WordBits(), 1);
    EXPECT_EQ(block.ProtocolTagType(), pttDefault);

    block.SetAutoRead(false);
    EXPECT_FALSE(driver.HasTag(&block));
    EXPECT_FALSE(block.IsScanEnabled());
    block.SetAutoRead(true);
    EXPECT_TRUE(driver.HasTag(&block));
}

TEST_F(PLCBlockTest, ChangingDriversMovesTheTag) {
    TRegisterDriver other;
    TPLCBlock block;
    block.SetProtocolDriver(&driver);
    block.SetProtocolDriver(&other);
    EXPECT_FALSE(driver.HasTag(&block));
    EXPECT_TRUE(other.HasTag(&block));
    block.SetProtocolDriver(nullptr);
    EXPECT_FALSE(other.HasTag(&block));
    EXPECT_EQ(block.ProtocolDriver(), nullptr);
}

TEST_F(PLCBlockTest, DestroyedTagLeavesItsDriverAndDropsQueuedChanges) {
    int delivered = 0;
    {
        TPLCBlock block;
        block.SetProtocolDriver(&driver);
        block.OnAsyncValueChange = [&](TTag*, const TArrayOfDouble&) { ++delivered; };
        block.Write({1}, 1, 0);
        ASSERT_TRUE(driver.HasTag(&block));
    }
    EXPECT_EQ(driver.LinkedTagCount(), 0);
    const size_t before = ui.ExecutedCalls();
    ui.PumpQueued();
    EXPECT_GT(ui.ExecutedCalls(), before); // the queued change ran and found its tag gone
    EXPECT_EQ(delivered, 0);
}

TEST_F(PLCBlockTest, AverageUpdateRateMeasuresBackgroundResults) {
    TPLCBlock block;
    EXPECT_EQ(block.AvgUpdateRate(), -1);
    const TDateTime start = Now();
    block.CommandResultCallBack({1}, start, tcScanRead, ioOk, 0);
    block.CommandResultCallBack({2}, start + std::chrono::milliseconds(100), tcScanRead, ioOk, 0);
    block.CommandResultCallBack({3}, start + std::chrono::milliseconds(300), tcScanRead, ioOk, 0);
    block.CommandResultCallBack({4}, start + std::chrono::milliseconds(900), tcRead, ioOk, 0);
    EXPECT_EQ(block.AvgUpdateRate(), 150);
    EXPECT_EQ(block.LastASyncReadStatus(), ioOk);
}

TEST_F(PLCBlockTest, RequestFieldsAndScanPeriodAreRangeChecked) {
    TPLCBlock block;
    block.SetMemAddress(0x80000000u);
    TTagRec tagRec;
    EXPECT_THROW(block.FillTagRec(tagRec, 0, 0), std::range_error);
    EXPECT_THROW(block.SetRefreshTime(0), std::out_of_range);
    EXPECT_EQ(block.RefreshTime(), 1000);
    block.SetUpdateTime(250);
    EXPECT_EQ(block.RefreshTime(), 250);
}

TEST(TagIdentity, NewTagsGetDistinctWellFormedIdentifiers) {
    TPLCBlock a, b;
    EXPECT_NE(a.TagGUID(), b.TagGUID());
    ASSERT_EQ(a.TagGUID().size(), 38u);
    EXPECT_EQ(a.TagGUID().front(), '{');
    EXPECT_EQ(a.TagGUID()[9], '-');
    const std::string old = a.TagGUID();
    a.SetTagGUID("{00000000-0000-0000-0000-000000000000}"); // only while loading
    EXPECT_EQ(a.TagGUID(), old);
    a.RenewTagGUID();
    EXPECT_NE(a.TagGUID(), old);
}

} // namespace
