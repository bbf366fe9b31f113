#pragma once
// A port without a medium for driver tests and fuzzing: every written request is recorded and
// answered by a script; reads take the scripted bytes in order and time out when they run short.

#include "modbus/comm_port_driver.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class TScriptedPort : public TCommPortDriver {
public:
    using TScript = std::function<BYTES(const BYTES& request)>;

    TScriptedPort() = default;
    ~TScriptedPort() override { DestroyPort(); }

    void SetScript(TScript script) {
        std::lock_guard lock(Mutex);
        Script = std::move(script);
    }
    // Bytes that arrive without a request (a late answer, noise on the line).
    void Feed(const BYTES& bytes) {
        std::lock_guard lock(Mutex);
        Incoming.insert(Incoming.end(), bytes.begin(), bytes.end());
    }
    void Clear() {
        std::lock_guard lock(Mutex);
        Incoming.clear();
        Requests.clear();
        Reads.clear();
    }
    std::vector<BYTES> WrittenRequests() const {
        std::lock_guard lock(Mutex);
        return Requests;
    }
    // BytesToRead of every read command, in order.
    std::vector<uint32_t> ReadSizes() const {
        std::lock_guard lock(Mutex);
        return Reads;
    }
    size_t Pending() const {
        std::lock_guard lock(Mutex);
        return Incoming.size();
    }
    // A port that stops being ready after this many further commands (-1: never).
    void SetReadyCommands(int count) { ReadyCommands = count; }

    bool IsPortReady() override { return Active() && ReadyCommands.load() != 0; }

protected:
    bool OpenPort() override { return true; }
    bool ClosePort() override { return true; }

    void Write(TIOPacket& packet) override {
        CountCommand();
        BYTES request(packet.WriteBuffer.begin(), packet.WriteBuffer.begin() + packet.BytesToWrite);
        std::lock_guard lock(Mutex);
        Requests.push_back(request);
        packet.BytesWritten = packet.BytesToWrite;
        packet.WriteResult = iorOK;
        if (Script) {
            const BYTES answer = Script(request);
            Incoming.insert(Incoming.end(), answer.begin(), answer.end());
        }
    }
    void Read(TIOPacket& packet) override {
        if (packet.WriteBuffer.empty() || packet.BytesToWrite == 0)
            CountCommand();
        std::lock_guard lock(Mutex);
        Reads.push_back(packet.BytesToRead);
        const size_t n = std::min<size_t>(packet.BytesToRead, Incoming.size());
        std::copy_n(Incoming.begin(), n, packet.ReadBuffer.begin());
        Incoming.erase(Incoming.begin(), Incoming.begin() + static_cast<std::ptrdiff_t>(n));
        packet.BytesReceived = static_cast<uint32_t>(n);
        packet.ReadTries = 1;
        packet.ReadResult = n == packet.BytesToRead ? iorOK : iorTimeOut;
    }

private:
    void CountCommand() {
        int left = ReadyCommands.load();
        if (left > 0)
            ReadyCommands.store(left - 1);
    }

    mutable std::mutex Mutex;
    TScript Script;
    std::deque<uint8_t> Incoming;
    std::vector<BYTES> Requests;
    std::vector<uint32_t> Reads;
    std::atomic<int> ReadyCommands{-1};
};
