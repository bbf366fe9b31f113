#include "modbus/modbus_pdu.h"

#include <cmath>

namespace {

constexpr int kMaxField = 0xFFFF;
constexpr int kMaxByteCount = 0xFF;

bool FitsField(int value) {
    return value >= 0 && value <= kMaxField;
}

void PutWord(std::vector<uint8_t>& pdu, int value) {
    pdu.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    pdu.push_back(static_cast<uint8_t>(value & 0xFF));
}

int WordAt(std::span<const uint8_t> bytes, size_t index) {
    return (bytes[index] << 8) | bytes[index + 1];
}

// Bits travel least significant bit first, byte after byte, in the coil functions.
std::vector<double> UnpackBits(std::span<const uint8_t> data, int quantity) {
    std::vector<double> bits;
    for (int i = 0; i < quantity && static_cast<size_t>(i / 8) < data.size(); ++i)
        bits.push_back((data[i / 8] >> (i % 8)) & 1);
    return bits;
}

std::vector<uint8_t> PackBits(std::span<const double> values, int quantity) {
    std::vector<uint8_t> data((quantity + 7) / 8, 0);
    for (int i = 0; i < quantity; ++i)
        if (values[i] != 0)
            data[i / 8] |= static_cast<uint8_t>(1 << (i % 8));
    return data;
}

std::vector<uint8_t> EncodeMultipleCoils(const TModbusPduRequest& request,
                                         std::span<const double> values) {
    const int start = request.Address + request.WordOffset;
    const int quantity = std::min<int>(request.WordCount, static_cast<int>(values.size()));
    // The byte count follows the quantity actually sent, so that both always agree.
    const std::vector<uint8_t> data = PackBits(values, std::max(quantity, 0));
    if (!FitsField(start) || quantity < 0 || data.size() > kMaxByteCount)
        return {};
    std::vector<uint8_t> pdu{mfWriteMultipleCoils};
    PutWord(pdu, start);
    PutWord(pdu, quantity);
    pdu.push_back(static_cast<uint8_t>(data.size()));
    pdu.insert(pdu.end(), data.begin(), data.end());
    return pdu;
}

std::vector<uint8_t> EncodeMultipleRegisters(const TModbusPduRequest& request,
                                             std::span<const double> values) {
    const int start = request.Address + request.WordOffset;
    const int count = request.WordCount;
    if (!FitsField(start) || count < 0 || 2 * count > kMaxByteCount ||
        values.size() < static_cast<size_t>(count))
        return {};
    std::vector<uint8_t> pdu{mfWriteMultipleRegisters};
    PutWord(pdu, start);
    PutWord(pdu, count);
    pdu.push_back(static_cast<uint8_t>(2 * count));
    for (int i = 0; i < count; ++i)
        PutWord(pdu, ModbusRegisterValue(values[i]));
    return pdu;
}

// Start and quantity (or address and 1 for the single writes) as the request states them.
bool ReadTarget(std::span<const uint8_t> request, TModbusPduAnswer& answer) {
    if (request.size() < 5)
        return false;
    answer.Start = WordAt(request, 1);
    const bool single = request[0] == mfWriteSingleCoil || request[0] == mfWriteSingleRegister;
    answer.Quantity = single ? 1 : WordAt(request, 3);
    return true;
}

void DecodeRegisters(std::span<const uint8_t> data, TRegisterShortfall shortfall,
                     TModbusPduAnswer& answer) {
    if (shortfall == rsReject && data.size() < 2 * static_cast<size_t>(answer.Quantity)) {
        answer.Kind = mpkMalformed;
        return;
    }
    for (int i = 0; i < answer.Quantity; ++i) {
        const size_t at = 2 * static_cast<size_t>(i);
        answer.Values.push_back(at + 1 < data.size() ? WordAt(data, at) : 0);
    }
}

void DecodeData(std::span<const uint8_t> request, std::span<const uint8_t> response,
                bool transferOk, TRegisterShortfall shortfall, TModbusPduAnswer& answer) {
    const uint8_t function = request[0];
    const auto requestData = request.size() > 6 ? request.subspan(6) : std::span<const uint8_t>{};
    const auto responseData =
        response.size() > 2 ? response.subspan(2) : std::span<const uint8_t>{};
    answer.Kind = mpkData;
    answer.CacheOnFailure = true;
    switch (function) {
    case mfReadCoils:
    case mfReadDiscreteInputs:
        answer.Area = ReadArea(function);
        if (transferOk)
            answer.Values = UnpackBits(responseData, answer.Quantity);
        return;
    case mfReadHoldingRegisters:
    case mfReadInputRegisters:
        answer.Area = ReadArea(function);
        if (transferOk)
            DecodeRegisters(responseData, shortfall, answer);
        return;
    case mfWriteSingleCoil:
        answer.Area = maCoils;
        answer.Values = {WordAt(request, 3) != 0 ? 1.0 : 0.0};
        return;
    case mfWriteSingleRegister:
        answer.Area = maHoldingRegisters;
        answer.Values = {static_cast<double>(WordAt(request, 3))};
        return;
    case mfWriteMultipleCoils:
        answer.Area = maCoils;
        answer.Values = UnpackBits(requestData, answer.Quantity);
        return;
    case mfWriteMultipleRegisters:
        answer.Area = maHoldingRegisters;
        DecodeRegisters(requestData, rsZeroFill, answer);
        return;
    default:
        answer.Kind = mpkMalformed;
        answer.CacheOnFailure = false;
    }
}

TModbusPduAnswer DecodeExceptionStatus(std::span<const uint8_t> response, bool transferOk) {
    TModbusPduAnswer answer;
    answer.Area = maExceptionStatus;
    answer.Kind = mpkData;
    if (transferOk) {
        if (response.size() < 2)
            answer.Kind = mpkMalformed;
        else
            answer.ExceptionStatus = response[1];
    }
    return answer;
}

TModbusPduAnswer DecodeException(std::span<const uint8_t> request,
                                 std::span<const uint8_t> response) {
    TModbusPduAnswer answer;
    if (response.size() < 2)
        return answer;
    answer.Kind = mpkException;
    answer.ExceptionCode = response[1];
    if (ReadArea(request[0]) != maNone && ReadTarget(request, answer)) {
        answer.Area = ReadArea(request[0]);
        answer.CacheOnFailure = true;
    }
    return answer;
}

} // namespace

TModbusArea ReadArea(uint8_t function) {
    switch (function) {
    case mfReadCoils:
        return maCoils;
    case mfReadDiscreteInputs:
        return maDiscreteInputs;
    case mfReadHoldingRegisters:
        return maHoldingRegisters;
    case mfReadInputRegisters:
        return maInputRegisters;
    default:
        return maNone;
    }
}

uint16_t ModbusRegisterValue(double value) {
    const double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded))
        return 0;
    // fmod is exact, so the low 16 bits survive for any magnitude; negatives wrap as two's
    // complement would.
    double low = std::fmod(rounded, 65536.0);
    if (low < 0)
        low += 65536.0;
    return static_cast<uint16_t>(low);
}

std::vector<uint8_t> EncodeReadPdu(const TModbusPduRequest& request) {
    if (request.Function == mfReadExceptionStatus)
        return {mfReadExceptionStatus};
    if (request.Function < mfReadCoils || request.Function > mfReadInputRegisters)
        return {};
    if (!FitsField(request.Address) || !FitsField(request.WordCount))
        return {};
    std::vector<uint8_t> pdu{static_cast<uint8_t>(request.Function)};
    PutWord(pdu, request.Address);
    PutWord(pdu, request.WordCount);
    return pdu;
}

std::vector<uint8_t> EncodeWritePdu(const TModbusPduRequest& request,
                                    std::span<const double> values) {
    switch (request.Function) {
    case mfWriteSingleCoil:
    case mfWriteSingleRegister: {
        if (!FitsField(request.Address) || values.empty())
            return {};
        std::vector<uint8_t> pdu{static_cast<uint8_t>(request.Function)};
        PutWord(pdu, request.Address);
        if (request.Function == mfWriteSingleCoil)
            PutWord(pdu, values[0] != 0 ? 0xFF00 : 0x0000);
        else
            PutWord(pdu, ModbusRegisterValue(values[0]));
        return pdu;
    }
    case mfWriteMultipleCoils:
        return EncodeMultipleCoils(request, values);
    case mfWriteMultipleRegisters:
        return EncodeMultipleRegisters(request, values);
    default:
        return {};
    }
}

TModbusPduAnswer DecodeModbusPdu(std::span<const uint8_t> requestPdu,
                                 std::span<const uint8_t> responsePdu, bool transferOk,
                                 TRegisterShortfall shortfall) {
    TModbusPduAnswer answer;
    if (requestPdu.empty())
        return answer;
    const uint8_t function = requestPdu[0];
    const bool exceptionForm =
        !responsePdu.empty() && responsePdu[0] == (function | kModbusExceptionFlag);
    if (exceptionForm)
        return DecodeException(requestPdu, responsePdu);
    if (transferOk && (responsePdu.empty() || responsePdu[0] != function))
        return answer;
    if (function == mfReadExceptionStatus)
        return DecodeExceptionStatus(responsePdu, transferOk);
    if (!ReadTarget(requestPdu, answer))
        return answer;
    DecodeData(requestPdu, responsePdu, transferOk, shortfall, answer);
    return answer;
}
