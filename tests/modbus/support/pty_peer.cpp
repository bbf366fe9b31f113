#include "pty_peer.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

TPtyPeer::TPtyPeer() {
    termios raw{};
    ::cfmakeraw(&raw);
    ::cfsetspeed(&raw, B9600);
    char name[256] = {};
    if (::openpty(&Master, &Slave, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    Path = name;
    ::fcntl(Master, F_SETFL, ::fcntl(Master, F_GETFL) | O_NONBLOCK);
}

TPtyPeer::~TPtyPeer() {
    ::close(Slave);
    ::close(Master);
}

void TPtyPeer::Send(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(Master, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else {
            pollfd entry{Master, POLLOUT, 0};
            ::poll(&entry, 1, 100);
        }
    }
}

std::vector<std::uint8_t> TPtyPeer::Receive(std::size_t count, int timeoutMs) {
    std::vector<std::uint8_t> bytes;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes.size() < count) {
        std::uint8_t buffer[256];
        const std::size_t want = std::min(sizeof(buffer), count - bytes.size());
        const ssize_t n = ::read(Master, buffer, want);
        if (n > 0) {
            bytes.insert(bytes.end(), buffer, buffer + n);
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            break;
        pollfd entry{Master, POLLIN, 0};
        ::poll(&entry, 1, static_cast<int>(left));
    }
    return bytes;
}

void TPtyPeer::HangUp() {
    ::close(Master);
    Master = -1;
}

std::vector<std::uint8_t> TPtyPeer::Drain() {
    return Receive(4096, 0);
}

int TPtyPeer::SlaveBaud() const {
    termios tio{};
    ::tcgetattr(Slave, &tio);
    switch (::cfgetospeed(&tio)) {
    case B110:
        return 110;
    case B1200:
        return 1200;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B115200:
        return 115200;
    default:
        return -1;
    }
}

bool TPtyPeer::WaitUntilPortCanRead(int timeoutMs) const {
    pollfd entry{Slave, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) == 1;
}
