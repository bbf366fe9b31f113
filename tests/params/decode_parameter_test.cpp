#include "params/decimal_text.h"
#include "params/decode_parameter.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A device memory of holding registers by five-digit number; every read is recorded.
class FakeRegisters : public TRegisterSource {
public:
    std::map<int, uint16_t> Memory;
    std::vector<std::pair<int, int>> Reads;
    bool Fail = false;

    bool ReadRegisters(int startRegister, int count, std::vector<uint16_t>& registers) override {
        Reads.emplace_back(startRegister, count);
        if (Fail)
            return false;
        registers.clear();
        for (int i = 0; i < count; ++i)
            registers.push_back(Memory[startRegister + i]);
        return true;
    }
};

TParameterRow OwnRow(int modreg, int regcnt, const std::string& type) {
    TParameterRow row;
    row.modreg = modreg;
    row.regcnt = regcnt;
    row.type = type;
    return row;
}

TParameterRow BlockRow(const std::string& block, const std::string& byteofs,
                       const std::string& type) {
    TParameterRow row = OwnRow(45001, 1, type);
    row.block = block;
    row.byteofs = byteofs;
    return row;
}

class DecodeParameterTest : public testing::Test {
protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        device.Memory = {{45001, 0x0102}, {45002, 0x0304}, {45003, 0x3FC0}, {45004, 0x0000}};
    }
    FakeRegisters device;
    TArrParaCache cache;
};

TEST_F(DecodeParameterTest, BlockOffsetsPickBytesOfTheStream) {
    struct Case {
        const char* byteofs;
        const char* type;
        const char* text;
    } cases[] = {{"3:1", "SELECT_M", "4"},      {"2:2", "SELECT_M", "772"},
                 {"0:1", "BINARY_B", "1"},      {"0:2", "UINT16", "258"},
                 {"4:4", "FLOAT", "1.5"},       {"1:2", "INT16", "515"},
                 {"0:4", "UINT32", "16909060"}, {"7:1", "SELECT_M", "0"}};
    for (const Case& c : cases) {
        const TArrResult result =
            DecodeParameter(BlockRow("45001:8", c.byteofs, c.type), cache, device);
        EXPECT_EQ(result.Status, 0) << c.byteofs;
        EXPECT_EQ(result.Text, c.text) << c.byteofs << " " << c.type;
        EXPECT_EQ(result.TypeName, c.type);
    }
    ASSERT_EQ(device.Reads.size(), 1u) << "rows of one block share one read";
    EXPECT_EQ(device.Reads[0], std::make_pair(45001, 4));
}

TEST_F(DecodeParameterTest, OddBlockByteCountRoundsRegistersUp) {
    const TArrResult result =
        DecodeParameter(BlockRow("45001:3", "2:1", "SELECT_M"), cache, device);
    EXPECT_EQ(result.Text, "3");
    EXPECT_EQ(device.Reads.at(0), std::make_pair(45001, 2));
    EXPECT_EQ(result.Dump, "01 02 03 04 ");
}

TEST_F(DecodeParameterTest, OwnRegistersOfAnOptionListAlwaysGiveSixteenBits) {
    const TArrResult result = DecodeParameter(OwnRow(45001, 1, "SELECT_M"), cache, device);
    EXPECT_EQ(result.Text, "258");
    EXPECT_EQ(result.IntValue, 258);
}

TEST_F(DecodeParameterTest, CacheServesTheSameRegistersAndOnlyThose) {
    DecodeParameter(OwnRow(45001, 2, "INT32"), cache, device);
    const TArrResult again = DecodeParameter(OwnRow(45001, 2, "UINT32"), cache, device);
    EXPECT_EQ(again.Text, "16909060");
    EXPECT_TRUE(again.Dump.empty()) << "a cache hit reads nothing, so it dumps nothing";
    DecodeParameter(OwnRow(45001, 1, "INT16"), cache, device);
    DecodeParameter(BlockRow("45001:2", "0:2", "INT16"), cache, device);
    EXPECT_EQ(device.Reads.size(), 3u);
}

TEST_F(DecodeParameterTest, BlockIsReadFromItsFirstRegister) {
    TParameterRow row = BlockRow("45002:2", "0:2", "UINT16");
    row.modreg = 45001;
    EXPECT_EQ(DecodeParameter(row, cache, device).Text, "772");
    EXPECT_EQ(cache.StartRegister, 45002);
    EXPECT_EQ(cache.block, "45002:2");
}

TEST_F(DecodeParameterTest, MalformedBlockFailsWithoutReading) {
    for (const char* block : {"", "45001", "45001:", ":4", "abc:4", "45001:x", "45001:0",
                              "45001:-2", "1:2", "45001:99999999999", "45001:2000"}) {
        cache.StoreRegisters(45001, {1});
        const TArrResult result = DecodeParameter(BlockRow(block, "0:1", "INT16"), cache, device);
        EXPECT_EQ(result.Status, -1) << block;
        EXPECT_EQ(result.Text, "Error") << block;
        EXPECT_FALSE(cache.HoldsData()) << block;
    }
    EXPECT_TRUE(device.Reads.empty());
}

TEST_F(DecodeParameterTest, MalformedByteofsReadsTheBlockThenFailsAndEmptiesTheCache) {
    for (const char* byteofs : {"", "0", "3", "a:1", "3:", ":1", "1:2:3"}) {
        device.Reads.clear();
        const TArrResult result =
            DecodeParameter(BlockRow("45001:4", byteofs, "INT16"), cache, device);
        EXPECT_EQ(result.Status, -1) << byteofs;
        EXPECT_EQ(result.Text, "Error");
        EXPECT_EQ(device.Reads.size(), 1u) << byteofs;
        EXPECT_FALSE(cache.HoldsData());
    }
}

TEST_F(DecodeParameterTest, ValueBeyondTheBlockIsAnErrorButKeepsTheBlock) {
    const TArrResult result = DecodeParameter(BlockRow("45001:4", "3:1", "INT16"), cache, device);
    EXPECT_EQ(result.Text, "Error");
    EXPECT_TRUE(cache.HoldsData());
    EXPECT_EQ(DecodeParameter(BlockRow("45001:4", "1000:2", "INT16"), cache, device).Status, -1);
    EXPECT_EQ(device.Reads.size(), 1u);
}

TEST_F(DecodeParameterTest, FailedReadEmptiesTheCacheAndTheNextRowReadsAgain) {
    device.Fail = true;
    const TArrResult failed = DecodeParameter(BlockRow("45001:4", "0:2", "INT16"), cache, device);
    EXPECT_EQ(failed.Status, -1);
    EXPECT_EQ(failed.Text, "Error");
    EXPECT_FALSE(cache.HoldsData());
    device.Fail = false;
    EXPECT_EQ(DecodeParameter(BlockRow("45001:4", "0:2", "INT16"), cache, device).Text, "258");
    EXPECT_EQ(device.Reads.size(), 2u);
}

TEST_F(DecodeParameterTest, ShortAnswerIsAFailure) {
    class ShortSource : public TRegisterSource {
        bool ReadRegisters(int, int, std::vector<uint16_t>& registers) override {
            registers = {1};
            return true;
        }
    } source;
    EXPECT_EQ(DecodeParameter(OwnRow(45001, 2, "INT32"), cache, source).Status, -1);
    EXPECT_FALSE(cache.HoldsData());
}

TEST_F(DecodeParameterTest, UnknownTypeDecodesToAnEmptyLiteral) {
    const TArrResult result = DecodeParameter(OwnRow(45001, 1, "BITFIELD"), cache, device);
    EXPECT_EQ(result.Status, 0);
    EXPECT_EQ(result.Text, "''");
}

TEST_F(DecodeParameterTest, RegistersOutsideTheDeviceAddressRangeAreNotRead) {
    for (const auto& row :
         {OwnRow(40000, 1, "INT16"), OwnRow(0, 1, "INT16"), OwnRow(105537, 1, "INT16"),
          OwnRow(45001, 0, "INT16"), OwnRow(45001, -3, "INT16"), OwnRow(45001, 600, "INT16")}) {
        EXPECT_EQ(DecodeParameter(row, cache, device).Status, -1)
            << row.modreg << "/" << row.regcnt;
    }
    EXPECT_TRUE(device.Reads.empty());
    EXPECT_EQ(DecodeParameter(OwnRow(105536, 1, "UINT16"), cache, device).Status, 0);
}

TEST(ParaCache, StartsEmptyAndClearsToTheSameState) {
    TArrParaCache cache;
    EXPECT_EQ(cache.StartRegister, -1);
    EXPECT_EQ(cache.block, "0");
    ASSERT_TRUE(cache.StoreRegisters(45001, {0xABCD, 0x0102}));
    EXPECT_EQ(cache.Registers(), (std::vector<uint16_t>{0xABCD, 0x0102}));
    cache.block = "45001:4";
    cache.Clear();
    EXPECT_EQ(cache.StartRegister, -1);
    EXPECT_EQ(cache.RegisterCount, 0);
    EXPECT_EQ(cache.block, "0");
    EXPECT_EQ(cache.DataBytes[0], 0);
    EXPECT_FALSE(cache.StoreRegisters(1, std::vector<uint16_t>(513)));
}

TEST(ByteStream, SplitNumberPair) {
    EXPECT_EQ(SplitNumberPair("3:1"), std::make_pair(3, 1));
    EXPECT_EQ(SplitNumberPair(" 2 : 2 "), std::make_pair(2, 2));
    EXPECT_FALSE(SplitNumberPair("2"));
    EXPECT_FALSE(SplitNumberPair("2:"));
    EXPECT_FALSE(SplitNumberPair("2:3:4"));
    EXPECT_FALSE(SplitNumberPair("1.5:2"));
}

} // namespace
