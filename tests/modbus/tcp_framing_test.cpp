// TCP framing: MBAP header, RemainingBytes and the PDU inside a frame. Request frames are compared
// with those of libmodbus's TCP master (apart from its transaction identifier).
#include "modbus/modbus_pdu.h"
#include "modbus/tcp_framing.h"
#include "modbus_test_peers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using Bytes = std::vector<uint8_t>;

namespace {

TEST(TcpFraming, ReadOfTwelveRegistersOfUnit68) {
    EXPECT_THAT(
        TcpFrame(0x44, EncodeReadPdu({3, 3000, 12, 0})),
        ElementsAre(0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x44, 0x03, 0x0B, 0xB8, 0x00, 0x0C));
}

TEST(TcpFraming, LengthFieldCountsUnitAndPdu) {
    EXPECT_THAT(TcpFrame(0, Bytes{0x07}), ElementsAre(0, 0, 0, 0, 0, 2, 0, 0x07));
    const Bytes pdu = EncodeWritePdu({16, 0, 100, 0}, std::vector<double>(100, 1));
    const Bytes frame = TcpFrame(1, pdu);
    ASSERT_EQ(frame.size(), 13u + 200u);
    EXPECT_EQ(frame[4], 0x00);
    EXPECT_EQ(frame[5], 7 + 200);
    EXPECT_TRUE(TcpFrame(1, Bytes{}).empty());
}

TEST(TcpFraming, RemainingBytesFromTheLengthField) {
    EXPECT_EQ(TcpRemainingBytes(Bytes{0, 0, 0, 0, 0, 0x1B, 0x44, 0x03, 0x18}), 27 - 3);
    EXPECT_EQ(TcpRemainingBytes(Bytes{0, 0, 0, 0, 0, 0x03, 0x44, 0x83, 0x02}), 0);
    EXPECT_EQ(TcpRemainingBytes(Bytes{0x12, 0x34, 0, 0, 0, 0x06, 0x01, 0x06, 0x00}), 3);
    EXPECT_EQ(TcpRemainingBytes(Bytes{0, 0, 0, 0, 0x01, 0x01, 0x01, 0x03, 0x00}), 1 - 3)
        << "the high byte of the length is not used";
    EXPECT_EQ(TcpRemainingBytes(Bytes{0, 0, 0}), 0);
}

TEST(TcpFraming, PduBehindTheHeader) {
    EXPECT_THAT(TcpPdu(Bytes{0, 0, 0, 0, 0, 3, 0x44, 0x83, 0x02}), ElementsAre(0x83, 0x02));
    EXPECT_TRUE(TcpPdu(Bytes{0, 0, 0, 0, 0, 1, 0x44}).empty());
}

TEST(TcpFraming, RequestsMatchAnIndependentMaster) {
    TCapturingTcpMaster master(0x2A);
    uint16_t registers[] = {1, 2};
    uint8_t coils[] = {1, 1, 0};
    struct Row {
        std::function<void(modbus_t*)> send;
        Bytes pdu;
    };
    const std::vector<Row> rows{
        {[](modbus_t* c) {
             uint16_t r[125];
             modbus_read_registers(c, 0, 125, r);
         },
         EncodeReadPdu({3, 0, 125, 0})},
        {[](modbus_t* c) {
             uint8_t b[2000];
             modbus_read_bits(c, 65535, 1, b);
         },
         EncodeReadPdu({1, 65535, 1, 0})},
        {[](modbus_t* c) { modbus_write_bit(c, 3, 0); }, EncodeWritePdu({5, 3, 1, 0}, {{0.0}})},
        {[&](modbus_t* c) { modbus_write_bits(c, 9, 3, coils); },
         EncodeWritePdu({15, 9, 3, 0}, {{1, 1, 0}})},
        {[&](modbus_t* c) { modbus_write_registers(c, 7, 2, registers); },
         EncodeWritePdu({16, 7, 2, 0}, {{1, 2}})},
    };
    for (const Row& row : rows) {
        Bytes sent = master.Capture(row.send);
        ASSERT_GE(sent.size(), 2u);
        sent[0] = sent[1] = 0; // libmodbus counts its transactions; ours are always 0
        EXPECT_EQ(TcpFrame(0x2A, row.pdu), sent);
    }
}

} // namespace
