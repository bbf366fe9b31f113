#pragma once
// Shared part of the answer fuzzers: a driver on a scripted port, with an attached block in each
// data area so that decoding also reaches the cache. The input's first bytes choose the request,
// the rest is what the device answers.

#include "modbus/modbus_driver.h"
#include "modbus/plc_block.h"
#include "modbus_scripted_port.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

template <class Driver> class TFuzzDriver : public Driver {
public:
    TFuzzDriver() : Driver(TDeferWorkers{}) { this->StartWorkers(); }
    ~TFuzzDriver() override { this->DestroyDriver(); }
    using TModBusDriver::ReadValues;
    using TModBusDriver::WriteValues;
};

template <class TDriverClass> class TAnswerFuzzer {
public:
    TAnswerFuzzer() {
        Port.SetActive(true);
        Driver.SetReadSomethingAlways(false);
        Driver.SetCommunicationPort(&Port);
        for (int function = 1; function <= 4; ++function) {
            auto& block = Blocks.emplace_back(std::make_unique<TPLCBlock>());
            block->SetPLCStation(1);
            block->SetMemReadFunction(function);
            block->SetMemAddress(0);
            block->SetSize(function <= 2 ? 2000 : 125);
            block->SetRefreshTime(100000000);
            block->SetProtocolDriver(&Driver);
        }
    }

    void Run(const uint8_t* data, size_t size) {
        if (size < 6)
            return;
        // Request: station, function, address, count from the first six bytes.
        static constexpr int kFunctions[] = {1, 2, 3, 4, 5, 6, 7, 15, 16};
        TTagRec tagRec;
        tagRec.PLCStation = data[0] % 3; // 0 is a broadcast on RTU
        tagRec.MemReadFunction = tagRec.MemWriteFunction = kFunctions[data[1] % 9];
        tagRec.MemAddress = data[2] << 4;
        tagRec.WordCount = 1 + (data[3] << 8 | data[4]) % 2000;
        const bool write = data[1] & 0x80;
        const uint8_t results = data[5];
        const BYTES answer(data + 6, data + size);

        Port.Clear();
        Port.SetScript([&answer](const BYTES&) { return answer; });
        TArrayOfDouble values;
        if (write)
            Driver.WriteValues(tagRec, TArrayOfDouble(tagRec.WordCount, 1.0), true);
        else
            Driver.ReadValues(tagRec, values, true);

        // The decoder and RemainingBytes on their own, with any port outcome.
        Driver.RemainingBytes(answer);
        TIOPacket packet;
        const TArrayOfDouble written(tagRec.WordCount, 3.0);
        packet.WriteBuffer = Driver.EncodeRequest(tagRec, write ? &written : nullptr);
        packet.ReadBuffer = answer;
        packet.WriteResult = static_cast<TIOResult>(results % 5);
        packet.ReadResult = static_cast<TIOResult>((results >> 3) % 5);
        Driver.DecodeResponse(packet, values);
    }

private:
    TScriptedPort Port;
    TFuzzDriver<TDriverClass> Driver;
    std::vector<std::unique_ptr<TPLCBlock>> Blocks;
};
