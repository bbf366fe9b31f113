#include "modbus/platform/ipv4_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool Configure(int fd, bool udp) {
    const int size = 16384;
    const int on = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof(size)) != 0 ||
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof(size)) != 0)
        return false;
    if (!udp && ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on)) != 0)
        return false;
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

} // namespace

int SocketOpen(bool udp) {
    const int fd = ::socket(AF_INET, (udp ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC,
                            udp ? IPPROTO_UDP : IPPROTO_TCP);
    if (fd < 0)
        return -1;
    if (!Configure(fd, udp)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool SocketConnect(int fd, const std::string& host, int port, int timeoutMs) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
        errno = EINVAL;
        return false;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
        return true;
    if (errno != EINPROGRESS)
        return false;
    const int ready = SocketWait(fd, true, timeoutMs);
    if (ready == 0)
        errno = ETIMEDOUT;
    if (ready != 1)
        return false;
    // A refused connection also makes the socket writable; its error tells the two apart.
    int error = 0;
    socklen_t length = sizeof(error);
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return false;
    errno = error;
    return error == 0;
}

int SocketWait(int fd, bool writable, int timeoutMs) {
    const short wanted = writable ? POLLOUT : POLLIN;
    pollfd entry{fd, wanted, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return ready;
        if (entry.revents & (wanted | POLLHUP))
            return 1;
        errno = ECONNRESET;
        return -1;
    }
}

long SocketReceive(int fd, std::uint8_t* buffer, std::size_t size) {
    ssize_t n;
    do
        n = ::recv(fd, buffer, size, 0);
    while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

long SocketSend(int fd, const std::uint8_t* buffer, std::size_t size) {
    ssize_t n;
    do
        n = ::send(fd, buffer, size, MSG_NOSIGNAL);
    while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

bool SocketWouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

long SocketBytesWaiting(int fd) {
    int count = 0;
    if (::ioctl(fd, FIONREAD, &count) != 0)
        return -1;
    return count;
}

void SocketClose(int fd) {
    ::shutdown(fd, SHUT_WR);
    std::uint8_t byte;
    while (::recv(fd, &byte, 1, MSG_PEEK) == 1)
        if (::recv(fd, &byte, 1, 0) != 1)
            break;
    ::close(fd);
}
