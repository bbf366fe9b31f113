#pragma once
// A TCP (or UDP) server on 127.0.0.1 for port tests: the test plays the device on the accepted
// connection.

#include <cstddef>
#include <cstdint>
#include <vector>

class TLoopbackServer {
public:
    // Listens on the given port (0: a free one).
    explicit TLoopbackServer(int port = 0, bool udp = false);
    TLoopbackServer(const TLoopbackServer&) = delete;
    TLoopbackServer& operator=(const TLoopbackServer&) = delete;
    ~TLoopbackServer();

    int Port() const { return PortNumber; }
    // Waits for the next connection and makes it the current one.
    bool Accept(int timeoutMs);
    void Send(const std::vector<std::uint8_t>& bytes);
    std::vector<std::uint8_t> Receive(std::size_t count, int timeoutMs);
    void CloseClient();

    // A loopback port on which nobody listens (free right after the call).
    static int UnusedPort();

private:
    int Listener = -1;
    int Client = -1;
    bool Udp = false;
    int PortNumber = 0;
    // UDP: where the last datagram came from.
    std::vector<std::uint8_t> PeerAddress;
};
