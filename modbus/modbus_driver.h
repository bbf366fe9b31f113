#pragma once
// TModBusDriver: the protocol driver that speaks the Modbus application protocol as a master.
// It turns a tag record into a request, runs the exchange over the port (the header first, then
// the remainder that the header announces), checks the echo of address and function code, decodes
// the answer, maps exception codes onto TProtocolIOResult and keeps a cache of the four data areas
// of every station met in attached tags. The framing (RTU or TCP) is supplied by the subclass
// through SupportsBroadcast, EncodeRequest, DecodeResponse and RemainingBytes.
//
// Threads and locks: as TProtocolDriver. The station table and its managers are guarded by IoLock;
// ReadValues and WriteValues run with CommandLock held, and during a scan read IoLock is given
// up for the duration of each port command (ReleaseIoLock / AcquireIoLock as port handlers).

#include "modbus/io_types.h"
#include "modbus/modbus_pdu.h"
#include "modbus/plc_memory_manager.h"
#include "modbus/protocol_driver.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

struct TModbusStation {
    uint32_t Station = 0;
    TPLCMemoryManager DiscreteInputs;
    TPLCMemoryManager Coils;
    TPLCMemoryManager HoldingRegisters;
    TPLCMemoryManager InputRegisters;
    double ExceptionStatus = 0;
    TDateTime ExceptionStatusTime{};
    TProtocolIOResult ExceptionStatusResult = ioNone;
};

// One candidate block of a scan cycle.
struct TReqItem {
    TDateTime LastUpdate{};
    uint32_t Station = 0;
    uint32_t FunctionCode = 0;
    int32_t Address = 0;
    int32_t Size = 0;
    uint32_t ScanTime = 0;
    bool NeedUpdate = false;
};

// TProtocolIOResult of a Modbus exception code.
TProtocolIOResult ModbusExceptionResult(uint8_t code);
// TProtocolIOResult of a port result (decoding and the two-step exchange).
TProtocolIOResult PortResultToProtocol(TIOResult result);

// Constructor tag of the concrete drivers: the derived class starts the worker threads itself.
struct TDeferWorkers {};

class TModBusDriver : public TProtocolDriver {
public:
    ~TModBusDriver() override;

    uint32_t OutputMaxHole() const { return FOutputMaxHole; }
    void SetOutputMaxHole(uint32_t value);
    uint32_t InputMaxHole() const { return FInputMaxHole; }
    void SetInputMaxHole(uint32_t value);
    uint32_t RegisterMaxHole() const { return FRegisterMaxHole; }
    void SetRegisterMaxHole(uint32_t value);

    int HeaderLength() const { return FHeaderLength; }
    int EchoPosition() const { return FEchoPosition; }
    int CommandDelayMs() const { return FCommandDelayMs; }

    // Framing operations. A request to device address 0 is a broadcast without answer when
    // SupportsBroadcast is true.
    virtual bool SupportsBroadcast() const { return false; }
    // The request frame of the record: the write request of MemWriteFunction when values are
    // given, otherwise the read request of MemReadFunction. Empty when there is none.
    virtual BYTES EncodeRequest(const TTagRec& tagRec, const TArrayOfDouble* values);
    // Validates the exchange held in the packet (request in WriteBuffer, answer in ReadBuffer),
    // updates the cache and returns the values.
    virtual TProtocolIOResult DecodeResponse(const TIOPacket& packet, TArrayOfDouble& values);
    // Bytes of the answer still to be read after its first HeaderLength bytes.
    virtual int32_t RemainingBytes(std::span<const uint8_t> header);

    // The station table for diagnostics and tests; both take IoLock. InspectStation calls visit
    // with the entry of the station and returns false when there is none.
    size_t StationCount();
    bool InspectStation(uint32_t station, const std::function<void(TModbusStation&)>& visit);

protected:
    TModBusDriver(int headerLength, int echoPosition, int commandDelayMs);

    void InternalAttachTag(TPLCTag* tag, bool scanEnabled) override;
    void InternalDetachTag(TPLCTag* tag) override;
    void ScanReadCycle(TScanThread* sender, int32_t& needSleep) override;
    void ReadFromCache(const TTagRec& tagRec, TScanReadRec& values) override;
    TProtocolIOResult WriteValues(const TTagRec& tagRec, const TArrayOfDouble& values,
                                  bool synchronous) override;
    TProtocolIOResult ReadValues(const TTagRec& tagRec, TArrayOfDouble& values,
                                 bool synchronous) override;
    uint8_t ProtocolWordBits(TPLCTag* tag, bool isWrite, TTagType& protocolTagType) override;

    // The shared decoding rules: the answer PDU against the request PDU after a transfer that
    // ended with `transfer`, with the cache of the request's station updated.
    TProtocolIOResult DecodePdu(TProtocolIOResult transfer, uint8_t station,
                                std::span<const uint8_t> requestPdu,
                                std::span<const uint8_t> responsePdu, TRegisterShortfall shortfall,
                                TArrayOfDouble& values);
    // The PDU of the record: the write request of MemWriteFunction with values, otherwise the
    // read request of MemReadFunction; empty when there is none or the station is beyond 255.
    static BYTES EncodePdu(const TTagRec& tagRec, const TArrayOfDouble* values);
    // Result of the packet's port results: the write side first, then the read side.
    static TProtocolIOResult TransferResult(const TIOPacket& packet);

private:
    TProtocolIOResult Exchange(const BYTES& request, TArrayOfDouble& values,
                               const TPortNotifyEvent& before, const TPortNotifyEvent& after);
    TProtocolIOResult Broadcast(const BYTES& request);
    bool EchoMatches(const BYTES& request, const BYTES& header) const;
    void Drain(TCommPortDriver& port, const TPortNotifyEvent& before,
               const TPortNotifyEvent& after);
    void ApplyAnswer(TModbusStation* station, const TModbusPduAnswer& answer,
                     TProtocolIOResult result);
    TModbusStation* FindStation(uint32_t station);
    TModbusStation& StationEntry(uint32_t station);
    static TPLCMemoryManager* AreaOf(TModbusStation& station, TModbusArea area);
    static TPLCMemoryManager* ReadArea(TModbusStation& station, int32_t function);
    std::vector<TReqItem> Candidates();

    const int FHeaderLength;
    const int FEchoPosition;
    const int FCommandDelayMs;
    uint32_t FOutputMaxHole = 50;
    uint32_t FInputMaxHole = 50;
    uint32_t FRegisterMaxHole = 10;
    std::vector<std::unique_ptr<TModbusStation>> FStations; // guarded by IoLock
};
