#include "modbus/plc_memory_manager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using Span = std::pair<int32_t, int32_t>;

std::vector<Span> Ranges(const TPLCMemoryManager& manager) {
    std::vector<Span> spans;
    for (const TRegisterRange& range : manager.Blocks())
        spans.emplace_back(range.AddressStart(), range.AddressEnd());
    return spans;
}

void ListEach(TPLCMemoryManager& manager, const std::vector<uint32_t>& addresses,
              uint32_t scanTime = 1000) {
    for (uint32_t address : addresses)
        manager.RegisterAddresses(address, 1, 1, scanTime);
}

TArrayOfDouble Sequence(double first, size_t count) {
    TArrayOfDouble values(count);
    for (size_t i = 0; i < count; ++i)
        values[i] = first + static_cast<double>(i);
    return values;
}

struct GroupingCase {
    std::string name;
    std::vector<Span> registrations; // (address, size)
    int32_t maxHole;
    int32_t maxBlockItems;
    std::vector<Span> expected;
};

class Grouping : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(Grouping, FormsRangesUnderHoleAndItemLimits) {
    const GroupingCase& c = GetParam();
    TPLCMemoryManager manager;
    manager.SetMaxHole(c.maxHole);
    manager.SetMaxBlockItems(c.maxBlockItems);
    for (auto [address, size] : c.registrations)
        manager.RegisterAddresses(address, size, 1, 1000);
    EXPECT_EQ(Ranges(manager), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Grouping,
    ::testing::Values(
        GroupingCase{"HoleOfSevenSplits", {{0, 3}, {10, 1}}, 5, 0, {{0, 2}, {10, 10}}},
        GroupingCase{"HoleOfSevenJoinsUnderSeven", {{0, 3}, {10, 1}}, 7, 0, {{0, 10}}},
        GroupingCase{
            "HoleOfSixIsTheLimitForFive", {{0, 1}, {6, 1}, {13, 1}}, 5, 0, {{0, 6}, {13, 13}}},
        GroupingCase{"ItemLimitSplitsLongRun", {{100, 200}}, 10, 125, {{100, 224}, {225, 299}}},
        GroupingCase{"NoItemLimitKeepsOneRange", {{0, 5000}}, 0, 0, {{0, 4999}}},
        GroupingCase{"ZeroHoleNeedsAdjacency", {{0, 2}, {2, 1}, {4, 1}}, 0, 0, {{0, 2}, {4, 4}}},
        GroupingCase{
            "HolesDoNotCountAsItems", {{0, 1}, {4, 1}, {8, 1}, {12, 1}}, 5, 2, {{0, 4}, {8, 12}}},
        GroupingCase{"OverlappingRegistrationsListOnce", {{10, 5}, {12, 5}}, 0, 0, {{10, 16}}},
        GroupingCase{"EmptyWithoutRegistrations", {}, 5, 0, {}}),
    [](const auto& info) { return info.param.name; });

TEST(PLCMemoryManager, StartsWithItsDefaults) {
    TPLCMemoryManager manager;
    EXPECT_EQ(manager.MaxHole(), 5);
    EXPECT_EQ(manager.MaxBlockItems(), 0);
    EXPECT_EQ(manager.Size(), 0);
    EXPECT_TRUE(manager.Blocks().empty());
}

TEST(PLCMemoryManager, CountsUsesAndRebuildsOnlyWhenTheListChanges) {
    TPLCMemoryManager manager;
    manager.RegisterAddresses(40, 2, 1, 500);
    manager.RegisterAddresses(41, 1, 1, 100);
    ASSERT_EQ(manager.Addresses().size(), 2u);
    EXPECT_EQ(manager.Addresses()[0].UseCount, 1);
    EXPECT_EQ(manager.Addresses()[0].ScanTime, 500);
    EXPECT_EQ(manager.Addresses()[1].UseCount, 2);
    EXPECT_EQ(manager.Addresses()[1].ScanTime, 100);
    ASSERT_EQ(manager.Blocks().size(), 1u);
    EXPECT_EQ(manager.Blocks()[0].ScanTime(), 500u); // no rebuild: the list did not grow

    manager.UnregisterAddresses(41, 1, 1);
    ASSERT_EQ(manager.Addresses().size(), 2u);
    EXPECT_EQ(manager.Addresses()[1].UseCount, 1);
    EXPECT_EQ(manager.Blocks()[0].ScanTime(), 500u);

    manager.SetMaxHole(6); // a limit change rebuilds and picks up the smaller scan time
    EXPECT_EQ(manager.Blocks()[0].ScanTime(), 100u);

    manager.UnregisterAddresses(40, 2, 1);
    EXPECT_TRUE(manager.Addresses().empty());
    EXPECT_TRUE(manager.Blocks().empty());
}

TEST(PLCMemoryManager, ElementSizeWidensTheRegistration) {
    TPLCMemoryManager manager;
    manager.RegisterAddresses(10, 3, 2, 1000);
    EXPECT_EQ(Ranges(manager), (std::vector<Span>{{10, 15}}));
    EXPECT_EQ(manager.Size(), 6);
    manager.UnregisterAddresses(10, 1, 2);
    EXPECT_EQ(Ranges(manager), (std::vector<Span>{{12, 15}}));
}

TEST(PLCMemoryManager, UnlistingAnAbsentAddressDoesNothing) {
    TPLCMemoryManager manager;
    manager.RegisterAddresses(5, 1, 1, 1000);
    manager.UnregisterAddresses(6, 3, 1);
    EXPECT_EQ(Ranges(manager), (std::vector<Span>{{5, 5}}));
}

TEST(PLCMemoryManager, RejectsEmptyAndOverlongRegistrationsBeforeChangingAnything) {
    TPLCMemoryManager manager;
    manager.RegisterAddresses(1, 1, 1, 1000);
    for (auto call : {+[](TPLCMemoryManager& m) { m.RegisterAddresses(1, 0, 1, 10); },
                      +[](TPLCMemoryManager& m) { m.RegisterAddresses(1, 1, 0, 10); },
                      +[](TPLCMemoryManager& m) { m.UnregisterAddresses(1, 0, 1); }}) {
        try {
            call(manager);
            ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "The size must be at least 1!");
        }
    }
    EXPECT_THROW(manager.RegisterAddresses(0x7FFFFFF0u, 32, 1, 10), std::overflow_error);
    EXPECT_THROW(manager.RegisterAddresses(0xFFFFFFFFu, 1, 1, 10), std::overflow_error);
    EXPECT_EQ(manager.Addresses().size(), 1u);
    EXPECT_EQ(manager.Addresses()[0].UseCount, 1);
}

TEST(PLCMemoryManager, MergingRangesKeepsValuesAndTheOlderUpdateAndResetsStatistics) {
    TPLCMemoryManager manager;
    ListEach(manager, {0, 1, 2, 10});
    ASSERT_EQ(Ranges(manager), (std::vector<Span>{{0, 2}, {10, 10}}));
    ASSERT_EQ(manager.StoreValues(0, 3, {7, 8, 9}, ioOk), 0);
    const TDateTime older = Now() - std::chrono::seconds(30);
    manager.Blocks()[0].SetLastUpdate(older);
    ASSERT_EQ(manager.StoreValues(10, 1, {42}, ioOk), 0);
    manager.MarkFailed(10, 1, 1, ioTimeOut);

    manager.SetMaxHole(7);
    ASSERT_EQ(Ranges(manager), (std::vector<Span>{{0, 10}}));
    const TRegisterRange& merged = manager.Blocks()[0];
    EXPECT_EQ(merged.Values(), (TArrayOfDouble{7, 8, 9, 0, 0, 0, 0, 0, 0, 0, 42}));
    EXPECT_EQ(merged.LastUpdate(), older);
    EXPECT_EQ(merged.ReadSuccess(), 0u);
    EXPECT_EQ(merged.ReadFaults(), 0u);
    EXPECT_EQ(merged.LastOutcome(), ioNone);
}

TEST(PLCMemoryManager, SplittingKeepsEachAddressValueAndDropsUnlistedOnes) {
    TPLCMemoryManager manager;
    manager.SetMaxHole(10);
    ListEach(manager, {0, 1, 8});
    ASSERT_EQ(manager.StoreValues(0, 9, Sequence(100, 9), ioOk), 0);
    manager.UnregisterAddresses(1, 1, 1);
    manager.SetMaxHole(2);
    ASSERT_EQ(Ranges(manager), (std::vector<Span>{{0, 0}, {8, 8}}));
    EXPECT_EQ(manager.Blocks()[0].Value(0), 100);
    EXPECT_EQ(manager.Blocks()[1].Value(0), 108);
    manager.RegisterAddresses(1, 1, 1, 1000); // newly listed: a fresh 0, not the old cache
    EXPECT_EQ(manager.Blocks()[0].Values(), (TArrayOfDouble{100, 0}));
}

TEST(PLCMemoryManager, StoreValuesFillsTouchedRangesAndReportsDroppedValues) {
    TPLCMemoryManager manager;
    manager.RegisterAddresses(90, 10, 1, 1000);
    manager.RegisterAddresses(102, 9, 1, 1000);
    manager.SetMaxHole(1);
    ASSERT_EQ(Ranges(manager), (std::vector<Span>{{90, 99}, {102, 110}}));

    EXPECT_EQ(manager.StoreValues(95, 10, Sequence(95, 10), ioOk), -1);
    const TRegisterRange& first = manager.Blocks()[0];
    const TRegisterRange& second = manager.Blocks()[1];
    EXPECT_EQ(first.Values(), (TArrayOfDouble{0, 0, 0, 0, 0, 95, 96, 97, 98, 99}));
    EXPECT_EQ(second.Values(), (TArrayOfDouble{102, 103, 104, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(first.ReadSuccess(), 1u);
    EXPECT_EQ(second.ReadSuccess(), 1u);
    EXPECT_EQ(second.LastOutcome(), ioOk);

    EXPECT_EQ(manager.StoreValues(92, 2, {1, 2}, ioPartialOk), 0);
    EXPECT_EQ(first.ReadSuccess(), 2u);
    EXPECT_EQ(first.LastOutcome(), ioPartialOk);
    EXPECT_EQ(second.ReadSuccess(), 1u);
    EXPECT_EQ(manager.StoreValues(200, 1, {1}, ioOk), -1);
}

TEST(PLCMemoryManager, FetchValuesCopiesAcrossRangesAndReportsTheLastRange) {
    TPLCMemoryManager manager;
    manager.SetMaxBlockItems(10);
    manager.RegisterAddresses(90, 21, 1, 1000);
    ASSERT_EQ(Ranges(manager), (std::vector<Span>{{90, 99}, {100, 109}, {110, 110}}));
    manager.StoreValues(90, 21, Sequence(90, 21), ioOk);
    manager.MarkFailed(100, 10, 1, ioTimeOut);
    const TDateTime secondUpdate = Now() - std::chrono::seconds(5);
    manager.Blocks()[1].SetLastUpdate(secondUpdate);

    TArrayOfDouble values(4, -1);
    TProtocolIOResult result = ioNone;
    TDateTime updated{};
    manager.FetchValues(98, 4, 1, values, result, updated);
    EXPECT_EQ(values, (TArrayOfDouble{98, 99, 100, 101}));
    EXPECT_EQ(result, ioTimeOut);
    EXPECT_EQ(updated, secondUpdate);
}

TEST(PLCMemoryManager, FetchValuesLeavesUncoveredElementsAndOutputsAlone) {
    TPLCMemoryManager manager;
    manager.RegisterAddresses(10, 2, 1, 1000);
    manager.StoreValues(10, 2, {5, 6}, ioOk);

    TArrayOfDouble values{-1, -1, -1, -1};
    TProtocolIOResult result = ioNone;
    TDateTime updated{};
    manager.FetchValues(9, 10, 1, values, result, updated); // count is cut to the array's length
    EXPECT_EQ(values, (TArrayOfDouble{-1, 5, 6, -1}));
    EXPECT_EQ(result, ioOk);

    TArrayOfDouble outside{-1, -1};
    result = ioIllegalValue;
    updated = TDateTime{};
    manager.FetchValues(50, 2, 1, outside, result, updated);
    EXPECT_EQ(outside, (TArrayOfDouble{-1, -1}));
    EXPECT_EQ(result, ioIllegalValue);
    EXPECT_EQ(updated, TDateTime{});
}

TEST(PLCMemoryManager, MarkFailedCountsEveryTouchedRangeAndKeepsValues) {
    TPLCMemoryManager manager;
    manager.SetMaxHole(0);
    ListEach(manager, {1, 2, 5, 6, 9});
    manager.StoreValues(1, 2, {11, 12}, ioOk);
    const TDateTime stored = manager.Blocks()[0].LastUpdate();
    manager.MarkFailed(2, 2, 2, ioIllegalRegAddress); // addresses 2..5
    EXPECT_EQ(manager.Blocks()[0].ReadFaults(), 1u);
    EXPECT_EQ(manager.Blocks()[1].ReadFaults(), 1u);
    EXPECT_EQ(manager.Blocks()[2].ReadFaults(), 0u);
    EXPECT_EQ(manager.Blocks()[0].LastOutcome(), ioIllegalRegAddress);
    EXPECT_EQ(manager.Blocks()[0].Values(), (TArrayOfDouble{11, 12}));
    EXPECT_EQ(manager.Blocks()[0].LastUpdate(), stored);
}

TEST(RegisterRange, KeepsLargerStatisticsAndGuardsItsValues) {
    TRegisterRange range(3, 5);
    EXPECT_EQ(range.Size(), 3);
    EXPECT_EQ(range.Values(), (TArrayOfDouble{0, 0, 0}));
    range.SetReadFaults(4);
    range.SetReadFaults(2);
    EXPECT_EQ(range.ReadFaults(), 4u);
    EXPECT_THROW(range.Value(3), std::out_of_range);
    EXPECT_THROW(range.SetValue(-1, 1), std::out_of_range);
    EXPECT_THROW(TRegisterRange(-1, 2), std::invalid_argument);
    EXPECT_THROW(TRegisterRange(4, 3), std::invalid_argument);
}

TEST(RegisterRange, NeedsRefreshOnceItsScanTimeHasPassed) {
    TRegisterRange range(0, 0);
    range.SetScanTime(60000);
    EXPECT_FALSE(range.NeedsRefresh());
    range.SetLastUpdate(Now() - std::chrono::minutes(2));
    EXPECT_TRUE(range.NeedsRefresh());
    EXPECT_GE(range.MilisecondsFromLastUpdate(), 120000);
}

} // namespace
