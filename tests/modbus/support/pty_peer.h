#pragma once
// A pseudo-terminal pair for serial-line tests: the port under test opens SlavePath(), the test
// plays the device on the master side.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TPtyPeer {
public:
    TPtyPeer();
    TPtyPeer(const TPtyPeer&) = delete;
    TPtyPeer& operator=(const TPtyPeer&) = delete;
    ~TPtyPeer();

    const std::string& SlavePath() const { return Path; }
    void Send(const std::vector<std::uint8_t>& bytes);
    // Collects up to count bytes, waiting at most timeoutMs for the whole of them.
    std::vector<std::uint8_t> Receive(std::size_t count, int timeoutMs);
    // Bytes the device side could read right now, without waiting.
    std::vector<std::uint8_t> Drain();
    // Closes the device end, as when an adapter is pulled: the port sees a hang-up.
    void HangUp();
    // True once bytes sent to the port wait in its input queue.
    bool WaitUntilPortCanRead(int timeoutMs) const;
    // The slave's current speed setting (as the port applied it), e.g. 9600.
    int SlaveBaud() const;

private:
    int Master = -1;
    int Slave = -1; // kept open so the master never sees a hang-up between port opens
    std::string Path;
};
