#include "modbus/modbus_driver.h"

#include "modbus/comm_port_driver.h"
#include "modbus/cross_thread.h"
#include "modbus/plc_block.h"

#include <algorithm>

namespace {

constexpr uint32_t kMaxBitBlock = 2000;
constexpr uint32_t kMaxRegisterBlock = 125;
// A peer that never stops talking must not keep the drain going for ever; this is far more than
// any answer a Modbus device sends.
constexpr int kMaxDrainBytes = 4096;

bool IsScannableKind(TPLCTag* tag) {
    return dynamic_cast<TPLCBlock*>(tag) != nullptr;
}

// Gives the port back on every path out of an exchange.
class TPortLock {
public:
    TPortLock(TCommPortDriver& port, uint32_t owner) : FPort(port), FOwner(owner) {
        FPort.Lock(FOwner);
    }
    ~TPortLock() { FPort.Unlock(FOwner); }
    TPortLock(const TPortLock&) = delete;
    TPortLock& operator=(const TPortLock&) = delete;

private:
    TCommPortDriver& FPort;
    uint32_t FOwner;
};

TProtocolIOResult BroadcastWriteResult(TIOResult result) {
    switch (result) {
    case iorOK:
        return ioOk;
    case iorTimeOut:
        return ioTimeOut;
    case iorNone:
        return ioNone;
    default:
        return ioDriverError;
    }
}

bool ValidStation(int32_t station) {
    return station >= 0 && station <= 255;
}

} // namespace

TProtocolIOResult ModbusExceptionResult(uint8_t code) {
    switch (code) {
    case 1:
        return ioIllegalFunction;
    case 2:
        return ioIllegalRegAddress;
    case 3:
        return ioIllegalValue;
    case 4:
        return ioPLCError;
    case 5:
        return ioAcknowledge;
    case 6:
        return ioBusy;
    case 7:
        return ioNACK;
    case 8:
        return ioMemoryParityError;
    case 10:
        return ioGatewayUnavailable;
    case 11:
        return ioDeviceGatewayFailedToRespond;
    default:
        return ioCommError;
    }
}

TProtocolIOResult PortResultToProtocol(TIOResult result) {
    switch (result) {
    case iorOK:
        return ioOk;
    case iorTimeOut:
        return ioTimeOut;
    case iorPortError:
        return ioCommError;
    default:
        return ioDriverError;
    }
}

TModBusDriver::TModBusDriver(int headerLength, int echoPosition, int commandDelayMs)
    : FHeaderLength(headerLength), FEchoPosition(echoPosition), FCommandDelayMs(commandDelayMs) {}

TModBusDriver::~TModBusDriver() {
    DestroyDriver();
}

void TModBusDriver::SetOutputMaxHole(uint32_t value) {
    std::lock_guard lock(IoLock);
    FOutputMaxHole = value;
    for (auto& station : FStations)
        station->Coils.SetMaxHole(static_cast<int32_t>(value));
}

void TModBusDriver::SetInputMaxHole(uint32_t value) {
    std::lock_guard lock(IoLock);
    FInputMaxHole = value;
    for (auto& station : FStations)
        station->DiscreteInputs.SetMaxHole(static_cast<int32_t>(value));
}

void TModBusDriver::SetRegisterMaxHole(uint32_t value) {
    std::lock_guard lock(IoLock);
    FRegisterMaxHole = value;
    for (auto& station : FStations) {
        station->HoldingRegisters.SetMaxHole(static_cast<int32_t>(value));
        station->InputRegisters.SetMaxHole(static_cast<int32_t>(value));
    }
}

BYTES TModBusDriver::EncodeRequest(const TTagRec&, const TArrayOfDouble*) {
    return {};
}

BYTES TModBusDriver::EncodePdu(const TTagRec& tagRec, const TArrayOfDouble* values) {
    if (!ValidStation(tagRec.PLCStation))
        return {};
    const TModbusPduRequest request{values ? tagRec.MemWriteFunction : tagRec.MemReadFunction,
                                    tagRec.MemAddress, tagRec.WordCount, tagRec.WordOffset};
    return values ? EncodeWritePdu(request, *values) : EncodeReadPdu(request);
}

TProtocolIOResult TModBusDriver::DecodeResponse(const TIOPacket&, TArrayOfDouble& values) {
    values.clear();
    return ioDriverError;
}

int32_t TModBusDriver::RemainingBytes(std::span<const uint8_t>) {
    return 0;
}

size_t TModBusDriver::StationCount() {
    std::lock_guard lock(IoLock);
    return FStations.size();
}

bool TModBusDriver::InspectStation(uint32_t station,
                                   const std::function<void(TModbusStation&)>& visit) {
    std::lock_guard lock(IoLock);
    TModbusStation* entry = FindStation(station);
    if (entry)
        visit(*entry);
    return entry != nullptr;
}

TModbusStation* TModBusDriver::FindStation(uint32_t station) {
    for (auto& entry : FStations)
        if (entry->Station == station)
            return entry.get();
    return nullptr;
}

TModbusStation& TModBusDriver::StationEntry(uint32_t station) {
    if (TModbusStation* entry = FindStation(station))
        return *entry;
    auto entry = std::make_unique<TModbusStation>();
    entry->Station = station;
    entry->DiscreteInputs.SetMaxBlockItems(kMaxBitBlock);
    entry->DiscreteInputs.SetMaxHole(static_cast<int32_t>(FInputMaxHole));
    entry->Coils.SetMaxBlockItems(kMaxBitBlock);
    entry->Coils.SetMaxHole(static_cast<int32_t>(FOutputMaxHole));
    entry->HoldingRegisters.SetMaxBlockItems(kMaxRegisterBlock);
    entry->HoldingRegisters.SetMaxHole(static_cast<int32_t>(FRegisterMaxHole));
    entry->InputRegisters.SetMaxBlockItems(kMaxRegisterBlock);
    entry->InputRegisters.SetMaxHole(static_cast<int32_t>(FRegisterMaxHole));
    FStations.push_back(std::move(entry));
    return *FStations.back();
}

TPLCMemoryManager* TModBusDriver::AreaOf(TModbusStation& station, TModbusArea area) {
    switch (area) {
    case maCoils:
        return &station.Coils;
    case maDiscreteInputs:
        return &station.DiscreteInputs;
    case maHoldingRegisters:
        return &station.HoldingRegisters;
    case maInputRegisters:
        return &station.InputRegisters;
    default:
        return nullptr;
    }
}

TPLCMemoryManager* TModBusDriver::ReadArea(TModbusStation& station, int32_t function) {
    if (function < 0 || function > 0xFF)
        return nullptr;
    return AreaOf(station, ::ReadArea(static_cast<uint8_t>(function)));
}

// ---- requests ----------------------------------------------------------------------------

TProtocolIOResult TModBusDriver::ReadValues(const TTagRec& tagRec, TArrayOfDouble& values,
                                            bool synchronous) {
    values.clear();
    if (!ValidStation(tagRec.PLCStation))
        return ioIllegalStationAddress;
    TPortNotifyEvent before, after;
    if (!synchronous) {
        before = [this](TCommPortDriver* sender) { ReleaseIoLock(sender); };
        after = [this](TCommPortDriver* sender) { AcquireIoLock(sender); };
    }
    return Exchange(EncodeRequest(tagRec, nullptr), values, before, after);
}

TProtocolIOResult TModBusDriver::WriteValues(const TTagRec& tagRec, const TArrayOfDouble& values,
                                             bool) {
    if (!ValidStation(tagRec.PLCStation))
        return ioIllegalStationAddress;
    const BYTES request = EncodeRequest(tagRec, &values);
    if (SupportsBroadcast() && tagRec.PLCStation == 0)
        return Broadcast(request);
    TArrayOfDouble written;
    return Exchange(request, written, {}, {});
}

TProtocolIOResult TModBusDriver::Broadcast(const BYTES& request) {
    TCommPortDriver* port = CommunicationPort();
    if (!port || !port->IsPortReady())
        return ioNullDriver;
    if (request.empty())
        return ioIllegalRequest;
    TPortLock lock(*port, DriverID());
    TIOPacket packet;
    port->RunCommand(iocWrite, static_cast<uint32_t>(request.size()), request, 0, DriverID(), 0,
                     &packet);
    return BroadcastWriteResult(packet.WriteResult);
}

// The two-step exchange: the request with the first HeaderLength bytes of the answer, then the
// remainder that the header announces. Only a header that does not match costs a time-out.
TProtocolIOResult TModBusDriver::Exchange(const BYTES& request, TArrayOfDouble& values,
                                          const TPortNotifyEvent& before,
                                          const TPortNotifyEvent& after) {
    TCommPortDriver* port = CommunicationPort();
    if (!port || !port->IsPortReady())
        return ioNullDriver;
    // A record that gives no request (unknown function, a field out of range, a station beyond
    // 255) never reaches the line.
    if (request.empty())
        return ioIllegalRequest;
    TPortLock lock(*port, DriverID());
    // An answer that arrived after an earlier request gave up would otherwise pass for the answer
    // to this one (same station and function, so the echo check cannot tell them apart).
    port->DiscardInput();
    TIOPacket header;
    const uint32_t id = DriverID();
    if (port->RunCommand(iocWriteRead, static_cast<uint32_t>(request.size()), request,
                         static_cast<uint32_t>(FHeaderLength), id,
                         static_cast<uint32_t>(FCommandDelayMs), &header, before, after) == 0 ||
        header.ReadResult != iorOK)
        return ioEmptyPacket;
    const int32_t remaining = RemainingBytes(header.ReadBuffer);
    if (!EchoMatches(request, header.ReadBuffer)) {
        Drain(*port, before, after);
        return ioCommError;
    }
    if (remaining > 0) {
        TIOPacket rest;
        if (port->RunCommand(iocRead, 0, {}, static_cast<uint32_t>(remaining), id, 0, &rest, before,
                             after) == 0)
            return ioDriverError;
        header.ReadBuffer.insert(header.ReadBuffer.end(), rest.ReadBuffer.begin(),
                                 rest.ReadBuffer.end());
        header.BytesReceived += rest.BytesReceived;
        if (rest.ReadResult != iorOK)
            header.ReadResult = rest.ReadResult;
    }
    return DecodeResponse(header, values);
}

bool TModBusDriver::EchoMatches(const BYTES& request, const BYTES& header) const {
    const size_t echo = static_cast<size_t>(FEchoPosition);
    if (request.size() <= echo || header.size() <= echo)
        return false;
    const uint8_t function = request[echo];
    return header[echo - 1] == request[echo - 1] &&
           (header[echo] == function || header[echo] == (function | kModbusExceptionFlag));
}

// Reads the line byte by byte until it stays quiet, so that the next request does not pick up
// the rest of a foreign answer.
void TModBusDriver::Drain(TCommPortDriver& port, const TPortNotifyEvent& before,
                          const TPortNotifyEvent& after) {
    for (int i = 0; i < kMaxDrainBytes; ++i) {
        TIOPacket packet;
        if (port.RunCommand(iocRead, 0, {}, 1, DriverID(), 0, &packet, before, after) == 0 ||
            packet.ReadResult != iorOK)
            return;
    }
}

// ---- decoding ----------------------------------------------------------------------------

TProtocolIOResult TModBusDriver::TransferResult(const TIOPacket& packet) {
    if (packet.WriteResult != iorOK)
        return PortResultToProtocol(packet.WriteResult);
    return PortResultToProtocol(packet.ReadResult);
}

TProtocolIOResult TModBusDriver::DecodePdu(TProtocolIOResult transfer, uint8_t station,
                                           std::span<const uint8_t> requestPdu,
                                           std::span<const uint8_t> responsePdu,
                                           TRegisterShortfall shortfall, TArrayOfDouble& values) {
    values.clear();
    TProtocolIOResult result = transfer;
    const TModbusPduAnswer answer =
        DecodeModbusPdu(requestPdu, responsePdu, result == ioOk, shortfall);
    if (result == ioOk) {
        if (answer.Kind == mpkMalformed)
            return ioCommError; // nothing of such an answer goes into the cache
        if (answer.Kind == mpkException)
            result = ModbusExceptionResult(answer.ExceptionCode);
        else
            values = answer.Values;
    }
    std::lock_guard lock(IoLock);
    ApplyAnswer(FindStation(station), answer, result);
    return result;
}

void TModBusDriver::ApplyAnswer(TModbusStation* station, const TModbusPduAnswer& answer,
                                TProtocolIOResult result) {
    if (!station)
        return;
    if (answer.Area == maExceptionStatus && answer.Kind != mpkException) {
        if (result == ioOk) {
            station->ExceptionStatus = answer.ExceptionStatus;
            station->ExceptionStatusTime = Now();
        }
        station->ExceptionStatusResult = result;
        return;
    }
    TPLCMemoryManager* area = AreaOf(*station, answer.Area);
    if (!area)
        return;
    if (result == ioOk && answer.Kind == mpkData)
        area->StoreValues(answer.Start, answer.Quantity, answer.Values, result);
    else if (answer.CacheOnFailure)
        area->MarkFailed(answer.Start, answer.Quantity, 1, result);
}

// ---- tags and cache ----------------------------------------------------------------------

void TModBusDriver::InternalAttachTag(TPLCTag* tag, bool) {
    const bool kind = IsScannableKind(tag);
    const uint32_t station = kind ? tag->PLCStation() : 0;
    const uint32_t function = kind ? tag->MemReadFunction() : 0;
    if (kind && station >= 1 && station <= 255) {
        std::lock_guard lock(IoLock);
        if (TPLCMemoryManager* area =
                ReadArea(StationEntry(station), static_cast<int32_t>(function)))
            area->RegisterAddresses(tag->MemAddress(),
                                    static_cast<uint32_t>(tag->TagSizeOnProtocol()), 1,
                                    static_cast<uint32_t>(tag->RefreshTime()));
    }
    TProtocolDriver::InternalAttachTag(tag, kind && station >= 1 && station <= 255 &&
                                                function >= 1 && function <= 4);
}

void TModBusDriver::InternalDetachTag(TPLCTag* tag) {
    if (IsScannableKind(tag)) {
        std::lock_guard lock(IoLock);
        if (TModbusStation* station = FindStation(tag->PLCStation()))
            if (TPLCMemoryManager* area =
                    ReadArea(*station, static_cast<int32_t>(tag->MemReadFunction())))
                area->UnregisterAddresses(tag->MemAddress(),
                                          static_cast<uint32_t>(tag->TagSizeOnProtocol()), 1);
    }
    TProtocolDriver::InternalDetachTag(tag);
}

uint8_t TModBusDriver::ProtocolWordBits(TPLCTag* tag, bool isWrite, TTagType& protocolTagType) {
    uint32_t function = 0;
    if (IsScannableKind(tag))
        function = isWrite ? tag->MemWriteFunction() : tag->MemReadFunction();
    switch (function) {
    case mfReadCoils:
    case mfReadDiscreteInputs:
    case mfWriteSingleCoil:
    case mfWriteMultipleCoils:
        protocolTagType = pttDefault;
        return 1;
    case mfReadHoldingRegisters:
    case mfReadInputRegisters:
    case mfWriteSingleRegister:
    case mfWriteMultipleRegisters:
        protocolTagType = pttWord;
        return 16;
    default:
        return 16;
    }
}

void TModBusDriver::ReadFromCache(const TTagRec& tagRec, TScanReadRec& values) {
    const size_t count = static_cast<size_t>(std::max(tagRec.WordCount, 0));
    if (values.Values.size() < count)
        values.Values.resize(count);
    std::fill(values.Values.begin(), values.Values.end(), 0.0);
    std::lock_guard lock(IoLock);
    TModbusStation* station = FindStation(static_cast<uint32_t>(tagRec.PLCStation));
    if (!station) {
        values.ValuesTimeStamp = Now();
        values.ReadsOK = 0;
        values.ReadFaults = 1;
        values.ReadResult = ioDriverError;
        values.Values.clear();
        return;
    }
    if (TPLCMemoryManager* area = ReadArea(*station, tagRec.MemReadFunction))
        area->FetchValues(tagRec.MemAddress, tagRec.WordCount, 1, values.Values, values.ReadResult,
                          values.ValuesTimeStamp);
    const bool ok = values.ReadResult == ioOk;
    values.ReadsOK = ok ? 1 : 0;
    values.ReadFaults = ok ? 0 : 1;
}

std::vector<TReqItem> TModBusDriver::Candidates() {
    std::vector<TReqItem> items;
    for (auto& station : FStations) {
        const std::pair<TPLCMemoryManager*, uint32_t> areas[] = {
            {&station->Coils, mfReadCoils},
            {&station->DiscreteInputs, mfReadDiscreteInputs},
            {&station->HoldingRegisters, mfReadHoldingRegisters},
            {&station->InputRegisters, mfReadInputRegisters}};
        for (const auto& [area, function] : areas)
            for (const TRegisterRange& range : area->Blocks())
                items.push_back(
                    {range.LastUpdate(), station->Station, function, range.AddressStart(),
                     range.Size(), range.ScanTime(),
                     range.MilisecondsFromLastUpdate() >= static_cast<int64_t>(range.ScanTime())});
    }
    return items;
}

void TModBusDriver::ScanReadCycle(TScanThread*, int32_t& needSleep) {
    if (Destroying()) {
        TCrossThread::Yield();
        return;
    }
    std::vector<TReqItem> items = Candidates();
    const TDateTime now = Now();
    auto lateness = [now](const TReqItem& item) {
        return item.ScanTime == 0
                   ? 0.0
                   : static_cast<double>(MillisecondsBetween(item.LastUpdate, now)) / item.ScanTime;
    };
    std::stable_sort(items.begin(), items.end(), [&](const TReqItem& a, const TReqItem& b) {
        if (a.NeedUpdate != b.NeedUpdate)
            return a.NeedUpdate;
        return lateness(a) > lateness(b);
    });
    if (items.empty() || !(items.front().NeedUpdate || ReadSomethingAlways())) {
        needSleep = 1;
        return;
    }
    TTagRec tagRec;
    tagRec.PLCStation = static_cast<int32_t>(items.front().Station);
    tagRec.MemAddress = items.front().Address;
    tagRec.WordCount = items.front().Size;
    tagRec.MemReadFunction = static_cast<int32_t>(items.front().FunctionCode);
    TArrayOfDouble values;
    ReadValues(tagRec, values, false);
}
