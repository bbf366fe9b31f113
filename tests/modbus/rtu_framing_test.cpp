// RTU framing: CRC, frames, RemainingBytes and the check field. Request frames are compared with
// those that libmodbus's RTU master puts on a pseudo-terminal.
#include "modbus/modbus_pdu.h"
#include "modbus/rtu_framing.h"
#include "modbus_test_peers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using Bytes = std::vector<uint8_t>;

namespace {

TEST(RtuFraming, CrcOfTheStandardVector) {
    const Bytes body{0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(ModbusCrc16(body), 0x0A84);
    EXPECT_THAT(RtuFrame(0x01, std::span(body).subspan(1)),
                ElementsAre(0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A));
    EXPECT_EQ(ModbusCrc16(Bytes{}), 0xFFFF);
}

TEST(RtuFraming, EmptyPduGivesNoFrame) {
    EXPECT_TRUE(RtuFrame(1, Bytes{}).empty());
}

TEST(RtuFraming, CheckFieldMustMatchBothBytes) {
    Bytes frame = RtuFrame(0x44, Bytes{0x83, 0x02});
    EXPECT_TRUE(RtuCheckFieldValid(frame));
    for (size_t i : {size_t{0}, frame.size() - 2, frame.size() - 1}) {
        Bytes bad = frame;
        bad[i] ^= 0x01;
        EXPECT_FALSE(RtuCheckFieldValid(bad)) << "byte " << i;
    }
    EXPECT_FALSE(RtuCheckFieldValid(Bytes{0xFF, 0xFF}));
    EXPECT_FALSE(RtuCheckFieldValid(Bytes{}));
}

TEST(RtuFraming, PduBetweenAddressAndCheckField) {
    const Bytes frame{0x44, 0x03, 0x02, 0x00, 0x07, 0xAA, 0xBB};
    EXPECT_THAT(RtuPdu(frame), ElementsAre(0x03, 0x02, 0x00, 0x07));
    EXPECT_TRUE(RtuPdu(Bytes{0x44, 0xAA, 0xBB}).empty());
}

TEST(RtuFraming, RemainingBytesAfterTheHeader) {
    struct Row {
        Bytes header;
        int remaining;
    };
    const std::vector<Row> rows{
        {{0x44, 0x03, 0x18}, 24 + 2}, // 12 registers
        {{0x01, 0x01, 0x05}, 5 + 2},  {{0x01, 0x02, 0x00}, 2},   {{0x01, 0x04, 0xFA}, 252},
        {{0x44, 0x83, 0x02}, 2},      {{0x01, 0x90, 0x04}, 2},   {{0x01, 0x05, 0x00}, 5},
        {{0x01, 0x06, 0x00}, 5},      {{0x01, 0x0F, 0x00}, 5},   {{0x01, 0x10, 0x00}, 5},
        {{0x01, 0x07, 0x6D}, 2},      {{0x01, 0x08, 0x00}, 255}, {{0x01, 0x03}, 255},
    };
    for (const Row& row : rows)
        EXPECT_EQ(RtuRemainingBytes(row.header), row.remaining)
            << "function " << int(row.header.size() > 1 ? row.header[1] : 0);
}

// libmodbus's master writes each request onto the line; our frame for the same request must be
// byte for byte the same.
TEST(RtuFraming, RequestsMatchAnIndependentMaster) {
    TPtyPair line;
    TCapturingRtuMaster master(line.SlaveName(), 0x11);
    struct Row {
        const char* name;
        std::function<void(modbus_t*)> send;
        TModbusPduRequest request;
        std::vector<double> values;
    };
    uint16_t registers[] = {10, 258, 65535};
    uint8_t coils[] = {1, 0, 1, 1, 0, 0, 1, 1, 1, 0};
    const std::vector<Row> rows{
        {"read coils",
         [](modbus_t* c) {
             uint8_t b[37];
             modbus_read_bits(c, 19, 37, b);
         },
         {1, 19, 37, 0},
         {}},
        {"read inputs",
         [](modbus_t* c) {
             uint8_t b[22];
             modbus_read_input_bits(c, 196, 22, b);
         },
         {2, 196, 22, 0},
         {}},
        {"read holding",
         [](modbus_t* c) {
             uint16_t r[12];
             modbus_read_registers(c, 3000, 12, r);
         },
         {3, 3000, 12, 0},
         {}},
        {"read input",
         [](modbus_t* c) {
             uint16_t r[1];
             modbus_read_input_registers(c, 8, 1, r);
         },
         {4, 8, 1, 0},
         {}},
        {"write coil", [](modbus_t* c) { modbus_write_bit(c, 172, 1); }, {5, 172, 1, 0}, {1}},
        {"write register", [](modbus_t* c) { modbus_write_register(c, 1, 3); }, {6, 1, 1, 0}, {3}},
        {"write coils",
         [&](modbus_t* c) { modbus_write_bits(c, 19, 10, coils); },
         {15, 19, 10, 0},
         {1, 0, 1, 1, 0, 0, 1, 1, 1, 0}},
        {"write registers",
         [&](modbus_t* c) { modbus_write_registers(c, 1, 3, registers); },
         {16, 1, 3, 0},
         {10, 258, 65535}},
    };
    for (const Row& row : rows) {
        const Bytes sent = master.Capture(line, row.send);
        const Bytes pdu = row.values.empty() ? EncodeReadPdu(row.request)
                                             : EncodeWritePdu(row.request, row.values);
        EXPECT_EQ(RtuFrame(0x11, pdu), sent) << row.name;
    }
}

} // namespace
