#pragma once
// Modbus application protocol data units (function code + data), independent of any framing.
// The framings (RTU: address byte and CRC, TCP: MBAP header) wrap these PDUs; the driver maps
// the decoded outcome onto its results and its station cache.

#include <cstdint>
#include <span>
#include <vector>

enum TModbusFunction : uint8_t {
    mfReadCoils = 1,
    mfReadDiscreteInputs = 2,
    mfReadHoldingRegisters = 3,
    mfReadInputRegisters = 4,
    mfWriteSingleCoil = 5,
    mfWriteSingleRegister = 6,
    mfReadExceptionStatus = 7,
    mfWriteMultipleCoils = 15,
    mfWriteMultipleRegisters = 16,
};

// The exception form of a response carries the request's function code with this bit set.
constexpr uint8_t kModbusExceptionFlag = 0x80;

// What a request asks for; the driver fills it from a tag record.
struct TModbusPduRequest {
    int Function = 0;
    int Address = 0;
    int WordCount = 0;
    int WordOffset = 0;
};

// A register value as sent: rounded to the nearest integer (ties to even), its low 16 bits.
// Values that are not finite are sent as 0.
uint16_t ModbusRegisterValue(double value);

// The read request PDU of the record's function (1, 2, 3, 4 or 7). Empty when the function has
// no read form or a field does not fit into the PDU.
std::vector<uint8_t> EncodeReadPdu(const TModbusPduRequest& request);

// The write request PDU of the record's function (5, 6, 15 or 16). Empty when the function has no
// write form, a field does not fit into the PDU or fewer values than registers are given (16).
std::vector<uint8_t> EncodeWritePdu(const TModbusPduRequest& request,
                                    std::span<const double> values);

// Which data area of a station an exchange touches.
enum TModbusArea {
    maNone,
    maCoils,
    maDiscreteInputs,
    maHoldingRegisters,
    maInputRegisters,
    maExceptionStatus
};

// The area a read function reads; maNone for any other function.
TModbusArea ReadArea(uint8_t function);

enum TModbusPduKind {
    mpkData,      // a normal answer to the request
    mpkException, // an exception answer; ExceptionCode holds the device's code
    mpkMalformed  // an answer that cannot belong to the request or lacks data
};

// How a register answer with fewer data bytes than requested registers is treated.
enum TRegisterShortfall {
    rsReject,  // the answer is malformed
    rsZeroFill // the missing registers read as 0
};

struct TModbusPduAnswer {
    TModbusPduKind Kind = mpkMalformed;
    uint8_t ExceptionCode = 0;
    TModbusArea Area = maNone;
    bool CacheOnFailure = false; // a failed exchange marks Start..Start+Quantity-1 failed
    int Start = 0;
    int Quantity = 0;
    std::vector<double> Values;  // only filled when transferOk and Kind is mpkData
    uint8_t ExceptionStatus = 0; // function 7
};

// Decodes an answer PDU against its request PDU. With transferOk false only the target
// (Area, Start, Quantity, CacheOnFailure) is worked out, so that the caller can mark it failed.
// Never reads outside either span.
TModbusPduAnswer DecodeModbusPdu(std::span<const uint8_t> requestPdu,
                                 std::span<const uint8_t> responsePdu, bool transferOk,
                                 TRegisterShortfall shortfall);
