#include "loopback_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Readable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) == 1;
}

} // namespace

TLoopbackServer::TLoopbackServer(int port, bool udp) : Udp(udp) {
    Listener = ::socket(AF_INET, udp ? SOCK_DGRAM : SOCK_STREAM, 0);
    const int on = 1;
    ::setsockopt(Listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    sockaddr_in address = Loopback(port);
    if (::bind(Listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        (!udp && ::listen(Listener, 4) != 0))
        throw std::runtime_error("cannot listen on loopback");
    socklen_t length = sizeof(address);
    ::getsockname(Listener, reinterpret_cast<sockaddr*>(&address), &length);
    PortNumber = ntohs(address.sin_port);
    if (udp)
        Client = Listener;
}

TLoopbackServer::~TLoopbackServer() {
    if (!Udp)
        CloseClient();
    ::close(Listener);
}

bool TLoopbackServer::Accept(int timeoutMs) {
    if (Udp || !Readable(Listener, timeoutMs))
        return Udp;
    CloseClient();
    Client = ::accept(Listener, nullptr, nullptr);
    return Client >= 0;
}

void TLoopbackServer::Send(const std::vector<std::uint8_t>& bytes) {
    if (Udp) {
        ::sendto(Client, bytes.data(), bytes.size(), 0,
                 reinterpret_cast<const sockaddr*>(PeerAddress.data()),
                 static_cast<socklen_t>(PeerAddress.size()));
        return;
    }
    ::send(Client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::vector<std::uint8_t> TLoopbackServer::Receive(std::size_t count, int timeoutMs) {
    std::vector<std::uint8_t> bytes;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || !Readable(Client, static_cast<int>(left)))
            break;
        std::uint8_t buffer[512];
        sockaddr_in from{};
        socklen_t length = sizeof(from);
        const ssize_t n = ::recvfrom(Client, buffer, sizeof(buffer), 0,
                                     reinterpret_cast<sockaddr*>(&from), &length);
        if (n <= 0)
            break;
        if (Udp)
            PeerAddress.assign(reinterpret_cast<std::uint8_t*>(&from),
                               reinterpret_cast<std::uint8_t*>(&from) + length);
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

void TLoopbackServer::CloseClient() {
    if (!Udp && Client >= 0) {
        ::close(Client);
        Client = -1;
    }
}

int TLoopbackServer::UnusedPort() {
    TLoopbackServer probe;
    return probe.Port();
}
