#pragma once
// A protocol driver for tests of the driver framework and the tags: a device with a bank of
// 16-bit registers (and a bank of coils) answers its requests directly, without framing. It keeps
// the port rules of the real drivers (no ready port: ioNullDriver; the port is locked around each
// request) and serves reads from its cache from the same registers. Its scan cycle runs one port
// command with IoLock released, as a polling driver does while it waits for the device.

#include "modbus/comm_port_driver.h"
#include "modbus/cross_event.h"
#include "modbus/plc_tag.h"
#include "modbus/protocol_driver.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <vector>

// A port without a medium: it opens at once, and a read of zero bytes waits while the gate is
// closed, standing for a device that takes its time to answer.
class TGatedPort : public TCommPortDriver {
public:
    ~TGatedPort() override { DestroyPort(); }

    void CloseGate() { Gate.ResetEvent(); }
    void OpenGate() { Gate.SetEvent(); }
    // True once a command is waiting at the closed gate.
    bool WaitForBlockedCommand(uint32_t timeoutMs) {
        return Blocked.WaitFor(timeoutMs) == wrSignaled;
    }

protected:
    bool OpenPort() override { return true; }
    bool ClosePort() override { return true; }
    void Read(TIOPacket& packet) override {
        if (!Gate.IsSet()) {
            Blocked.SetEvent();
            Gate.WaitFor(TCrossEvent::INFINITE);
        }
        packet.ReadResult = iorOK;
    }
    void Write(TIOPacket& packet) override {
        packet.BytesWritten = packet.BytesToWrite;
        packet.WriteResult = iorOK;
    }

private:
    TCrossEvent Gate{true, true};
    TCrossEvent Blocked{false, false};
};

class TRegisterDriver : public TProtocolDriver {
public:
    explicit TRegisterDriver(size_t registers = 256) : Registers(registers, 0) { StartWorkers(); }
    ~TRegisterDriver() override { DestroyDriver(); }

    std::vector<uint16_t> Registers;
    std::atomic<int> Reads{0};
    std::atomic<int> Writes{0};
    std::atomic<int> ScanCycles{0};
    std::atomic<int> CacheReads{0};
    // The scan cycle's port command waits at the port's gate while this is set.
    std::atomic<bool> ScanThroughPort{false};

    std::atomic<int> Attaches{0};
    std::atomic<int> Detaches{0};
    // Whether attached tags are scanned (a real driver decides by the tag's read function).
    bool ScanAttachedTags = true;

    using TProtocolDriver::CollectDueTags;

    void InternalAttachTag(TPLCTag* tag, bool) override {
        TProtocolDriver::InternalAttachTag(tag, ScanAttachedTags);
        ++Attaches;
    }
    void InternalDetachTag(TPLCTag* tag) override {
        ++Detaches;
        TProtocolDriver::InternalDetachTag(tag);
    }

    void ScanReadCycle(TScanThread*, int32_t& needSleep) override {
        ++ScanCycles;
        TCommPortDriver* port = CommunicationPort();
        if (ScanThroughPort.load() && port != nullptr) {
            port->RunCommand(
                iocRead, 0, {}, 0, DriverID(), 0, nullptr,
                [this](TCommPortDriver* sender) { ReleaseIoLock(sender); },
                [this](TCommPortDriver* sender) { AcquireIoLock(sender); });
        }
        needSleep = 1;
    }

    void ReadFromCache(const TTagRec& tagRec, TScanReadRec& values) override {
        ++CacheReads;
        values.ValuesTimeStamp = Now();
        TArrayOfDouble read;
        values.ReadResult = Fetch(tagRec, read);
        if (values.ReadResult == ioOk)
            values.Values = read;
        values.ReadsOK = values.ReadResult == ioOk ? 1 : 0;
        values.ReadFaults = values.ReadResult == ioOk ? 0 : 1;
    }

    TProtocolIOResult ReadValues(const TTagRec& tagRec, TArrayOfDouble& values, bool) override {
        ++Reads;
        values.clear();
        if (!PortReady())
            return ioNullDriver;
        TPortLock lock(*this);
        return Fetch(tagRec, values);
    }

    TProtocolIOResult WriteValues(const TTagRec& tagRec, const TArrayOfDouble& values,
                                  bool) override {
        ++Writes;
        if (!PortReady())
            return ioNullDriver;
        TPortLock lock(*this);
        const int64_t first = int64_t{tagRec.MemAddress} + tagRec.WordOffset;
        if (first < 0 || first + tagRec.WordCount > static_cast<int64_t>(Registers.size()) ||
            values.size() < static_cast<size_t>(tagRec.WordCount))
            return ioIllegalRegAddress;
        for (int32_t i = 0; i < tagRec.WordCount; ++i)
            Registers[static_cast<size_t>(first + i)] =
                static_cast<uint16_t>(static_cast<int64_t>(std::nearbyint(values[i])) & 0xFFFF);
        return ioOk;
    }

    // Functions 1, 2, 5 and 15 carry bits, every other function 16-bit registers.
    uint8_t ProtocolWordBits(TPLCTag* tag, bool isWrite, TTagType& protocolTagType) override {
        const uint32_t function = isWrite ? tag->MemWriteFunction() : tag->MemReadFunction();
        if (function == 1 || function == 2 || function == 5 || function == 15) {
            protocolTagType = pttDefault;
            return 1;
        }
        protocolTagType = pttWord;
        return 16;
    }

private:
    class TPortLock {
    public:
        explicit TPortLock(TRegisterDriver& driver) : Driver(driver) {
            Driver.CommunicationPort()->Lock(Driver.DriverID());
        }
        ~TPortLock() { Driver.CommunicationPort()->Unlock(Driver.DriverID()); }

    private:
        TRegisterDriver& Driver;
    };

    bool PortReady() {
        TCommPortDriver* port = CommunicationPort();
        return port != nullptr && port->IsPortReady();
    }

    TProtocolIOResult Fetch(const TTagRec& tagRec, TArrayOfDouble& values) const {
        const int64_t first = tagRec.MemAddress;
        if (first < 0 || first + tagRec.WordCount > static_cast<int64_t>(Registers.size()))
            return ioIllegalRegAddress;
        values.assign(Registers.begin() + first, Registers.begin() + first + tagRec.WordCount);
        return ioOk;
    }
};
