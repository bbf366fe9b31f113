// Request PDUs and answer decoding, framing-independent.
#include "modbus/modbus_pdu.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Bytes = std::vector<uint8_t>;

namespace {

struct EncodeCase {
    const char* name;
    TModbusPduRequest request;
    std::vector<double> values; // empty: read request
    Bytes pdu;
};

class EncodePdu : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodePdu, BuildsFrameBytes) {
    const EncodeCase& c = GetParam();
    const Bytes pdu =
        c.values.empty() ? EncodeReadPdu(c.request) : EncodeWritePdu(c.request, c.values);
    EXPECT_EQ(pdu, c.pdu);
}

INSTANTIATE_TEST_SUITE_P(
    Functions, EncodePdu,
    ::testing::Values(
        EncodeCase{"ReadCoils", {1, 19, 37, 0}, {}, {0x01, 0x00, 0x13, 0x00, 0x25}},
        EncodeCase{"ReadDiscrete", {2, 196, 22, 5}, {}, {0x02, 0x00, 0xC4, 0x00, 0x16}},
        EncodeCase{"ReadHolding", {3, 3000, 12, 0}, {}, {0x03, 0x0B, 0xB8, 0x00, 0x0C}},
        EncodeCase{"ReadInput", {4, 8, 1, 0}, {}, {0x04, 0x00, 0x08, 0x00, 0x01}},
        EncodeCase{"ExceptionStatus", {7, 0, 0, 0}, {}, {0x07}},
        EncodeCase{"CoilOn", {5, 172, 1, 9}, {2.0}, {0x05, 0x00, 0xAC, 0xFF, 0x00}},
        EncodeCase{"CoilOff", {5, 172, 1, 0}, {0.0}, {0x05, 0x00, 0xAC, 0x00, 0x00}},
        // Single writes ignore WordOffset; the value is rounded ties-to-even, low 16 bits.
        EncodeCase{"Register", {6, 1, 1, 2}, {3.0}, {0x06, 0x00, 0x01, 0x00, 0x03}},
        EncodeCase{"RegisterWraps", {6, 1, 1, 0}, {65535.6}, {0x06, 0x00, 0x01, 0x00, 0x00}},
        EncodeCase{"RegisterTieToEven", {6, 1, 1, 0}, {2.5}, {0x06, 0x00, 0x01, 0x00, 0x02}},
        EncodeCase{"RegisterNegative", {6, 1, 1, 0}, {-1}, {0x06, 0x00, 0x01, 0xFF, 0xFF}},
        EncodeCase{"Coils",
                   {15, 19, 10, 0},
                   {1, 0, 1, 1, 0, 0, 1, 1, 1, 0},
                   {0x0F, 0x00, 0x13, 0x00, 0x0A, 0x02, 0xCD, 0x01}},
        EncodeCase{"CoilsAtOffset", {15, 100, 3, 2}, {1, 1, 1}, {0x0F, 0, 102, 0, 3, 1, 0x07}},
        EncodeCase{"Registers",
                   {16, 1, 2, 0},
                   {10, 258},
                   {0x10, 0x00, 0x01, 0x00, 0x02, 0x04, 0x00, 0x0A, 0x01, 0x02}},
        EncodeCase{"RegistersAtOffset", {16, 100, 1, 2}, {7}, {0x10, 0, 102, 0, 1, 2, 0, 7}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodePdu, RefusesWhatTheFrameCannotCarry) {
    EXPECT_TRUE(EncodeReadPdu({8, 0, 1, 0}).empty()) << "no read form";
    EXPECT_TRUE(EncodeReadPdu({3, 70000, 1, 0}).empty());
    EXPECT_TRUE(EncodeReadPdu({3, 0, -1, 0}).empty());
    EXPECT_TRUE(EncodeReadPdu({-253, 0, 1, 0}).empty()) << "must not wrap to function 3";
    EXPECT_TRUE(EncodeWritePdu({3, 0, 1, 0}, std::vector<double>{1}).empty()) << "no write form";
    EXPECT_TRUE(EncodeWritePdu({6, 0, 1, 0}, {}).empty()) << "no value";
    // 128 registers would need a byte count of 256.
    EXPECT_TRUE(EncodeWritePdu({16, 0, 128, 0}, std::vector<double>(128, 1)).empty());
    EXPECT_TRUE(EncodeWritePdu({16, 0, 3, 0}, std::vector<double>{1, 2}).empty())
        << "fewer values than registers";
    EXPECT_TRUE(EncodeWritePdu({16, 65535, 1, 1}, std::vector<double>{1}).empty());
}

TEST(EncodePdu, MultipleCoilsByteCountFollowsTheQuantitySent) {
    // Three values for a 16-bit tag: quantity 3, so one data byte, as a slave checks.
    EXPECT_THAT(EncodeWritePdu({15, 0, 16, 0}, std::vector<double>{1, 0, 1}),
                ElementsAre(0x0F, 0, 0, 0, 3, 1, 0x05));
}

TEST(ModbusRegisterValue, NonFiniteAndHugeValuesStayDefined) {
    EXPECT_EQ(ModbusRegisterValue(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ModbusRegisterValue(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(ModbusRegisterValue(65536.0 * 65536.0 * 65536.0 + 5), 5);
    EXPECT_EQ(ModbusRegisterValue(-65536.0 * 3 - 2), 65534);
}

TEST(DecodePdu, RegistersOfAReadAnswer) {
    const Bytes request{0x03, 0x0B, 0xB8, 0x00, 0x02};
    const Bytes response{0x03, 0x04, 0x12, 0x34, 0xFF, 0xFF};
    const TModbusPduAnswer a = DecodeModbusPdu(request, response, true, rsReject);
    EXPECT_EQ(a.Kind, mpkData);
    EXPECT_EQ(a.Area, maHoldingRegisters);
    EXPECT_EQ(a.Start, 3000);
    EXPECT_EQ(a.Quantity, 2);
    EXPECT_THAT(a.Values, ElementsAre(0x1234, 0xFFFF));
}

TEST(DecodePdu, ShortRegisterAnswerIsRejectedOrZeroFilled) {
    const Bytes request{0x04, 0x00, 0x00, 0x00, 0x03};
    const Bytes response{0x04, 0x04, 0x00, 0x01, 0x00, 0x02};
    EXPECT_EQ(DecodeModbusPdu(request, response, true, rsReject).Kind, mpkMalformed);
    const TModbusPduAnswer zero = DecodeModbusPdu(request, response, true, rsZeroFill);
    EXPECT_EQ(zero.Kind, mpkData);
    EXPECT_EQ(zero.Area, maInputRegisters);
    EXPECT_THAT(zero.Values, ElementsAre(1, 2, 0));
}

TEST(DecodePdu, BitsStopAtTheEndOfTheAnswer) {
    const Bytes request{0x02, 0x00, 0x10, 0x00, 0x0C};
    EXPECT_THAT(DecodeModbusPdu(request, Bytes{0x02, 0x02, 0xA5, 0x03}, true, rsReject).Values,
                ElementsAre(1, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0, 0));
    const TModbusPduAnswer cut = DecodeModbusPdu(request, Bytes{0x02, 0x02, 0x01}, true, rsReject);
    EXPECT_EQ(cut.Area, maDiscreteInputs);
    EXPECT_THAT(cut.Values, ElementsAre(1, 0, 0, 0, 0, 0, 0, 0));
}

TEST(DecodePdu, WritesReportTheWrittenValues) {
    struct Row {
        Bytes request;
        TModbusArea area;
        int start;
        std::vector<double> values;
    };
    const std::vector<Row> rows{
        {{0x05, 0x00, 0xAC, 0xFF, 0x00}, maCoils, 172, {1}},
        {{0x06, 0x00, 0x01, 0x00, 0x03}, maHoldingRegisters, 1, {3}},
        {{0x0F, 0x00, 0x13, 0x00, 0x0A, 0x02, 0xCD, 0x01},
         maCoils,
         19,
         {1, 0, 1, 1, 0, 0, 1, 1, 1, 0}},
        {{0x10, 0x00, 0x01, 0x00, 0x02, 0x04, 0x00, 0x0A, 0x01, 0x02},
         maHoldingRegisters,
         1,
         {10, 258}},
    };
    for (const Row& row : rows) {
        const Bytes echo(row.request.begin(), row.request.begin() + 5);
        const TModbusPduAnswer a = DecodeModbusPdu(row.request, echo, true, rsReject);
        EXPECT_EQ(a.Kind, mpkData);
        EXPECT_EQ(a.Area, row.area);
        EXPECT_EQ(a.Start, row.start);
        EXPECT_THAT(a.Values, ElementsAreArray(row.values));
        EXPECT_TRUE(a.CacheOnFailure);
    }
}

TEST(DecodePdu, ExceptionAnswersMarkOnlyReads) {
    const TModbusPduAnswer read =
        DecodeModbusPdu(Bytes{0x03, 0x0B, 0xB8, 0x00, 0x0C}, Bytes{0x83, 0x02}, true, rsReject);
    EXPECT_EQ(read.Kind, mpkException);
    EXPECT_EQ(read.ExceptionCode, 2);
    EXPECT_EQ(read.Area, maHoldingRegisters);
    EXPECT_TRUE(read.CacheOnFailure);
    EXPECT_EQ(read.Quantity, 12);
    const TModbusPduAnswer write = DecodeModbusPdu(
        Bytes{0x10, 0x00, 0x01, 0x00, 0x01, 0x02, 0x00, 0x01}, Bytes{0x90, 0x02}, true, rsReject);
    EXPECT_EQ(write.Kind, mpkException);
    EXPECT_EQ(write.Area, maNone);
    EXPECT_FALSE(write.CacheOnFailure);
}

TEST(DecodePdu, FailedTransferGivesTheTargetWithoutValues) {
    const TModbusPduAnswer a =
        DecodeModbusPdu(Bytes{0x01, 0x00, 0x05, 0x00, 0x08}, Bytes{0x01, 0x01}, false, rsReject);
    EXPECT_EQ(a.Area, maCoils);
    EXPECT_EQ(a.Start, 5);
    EXPECT_EQ(a.Quantity, 8);
    EXPECT_TRUE(a.CacheOnFailure);
    EXPECT_TRUE(a.Values.empty());
}

TEST(DecodePdu, ExceptionStatusByte) {
    const TModbusPduAnswer a = DecodeModbusPdu(Bytes{0x07}, Bytes{0x07, 0x6D}, true, rsReject);
    EXPECT_EQ(a.Area, maExceptionStatus);
    EXPECT_EQ(a.ExceptionStatus, 0x6D);
    EXPECT_TRUE(a.Values.empty());
    EXPECT_EQ(DecodeModbusPdu(Bytes{0x07}, Bytes{0x07}, true, rsReject).Kind, mpkMalformed);
}

TEST(DecodePdu, AnswersThatCannotBelongToTheRequest) {
    const Bytes read{0x03, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(DecodeModbusPdu(read, Bytes{0x04, 0x02, 0, 1}, true, rsReject).Kind, mpkMalformed);
    EXPECT_EQ(DecodeModbusPdu(read, Bytes{}, true, rsReject).Kind, mpkMalformed);
    EXPECT_EQ(DecodeModbusPdu(read, Bytes{0x83}, true, rsReject).Kind, mpkMalformed);
    EXPECT_EQ(DecodeModbusPdu(Bytes{}, Bytes{0x03, 0x02, 0, 1}, true, rsReject).Kind, mpkMalformed);
    EXPECT_EQ(DecodeModbusPdu(Bytes{0x03, 0x00}, Bytes{0x03, 0x02, 0, 1}, true, rsReject).Kind,
              mpkMalformed);
}

} // namespace
