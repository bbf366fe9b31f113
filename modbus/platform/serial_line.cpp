#include "modbus/platform/serial_line.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

speed_t SpeedFor(int baud) {
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    }
    return B0;
}

bool ParseField(const std::string& key, const std::string& value, TLineSettings& settings) {
    if (value.empty() || value.size() > 6)
        return false;
    if (key == "parity") {
        const char parity = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
        settings.Parity = parity;
        return value.size() == 1 && (parity == 'N' || parity == 'O' || parity == 'E');
    }
    for (char c : value)
        if (c < '0' || c > '9')
            return false;
    const int number = std::stoi(value);
    if (key == "baud") {
        settings.Baud = number;
        return SpeedFor(number) != B0;
    }
    if (key == "stop") {
        settings.StopBits = number;
        return number == 1 || number == 2;
    }
    if (key == "data") {
        settings.DataBits = number;
        return number >= 5 && number <= 8;
    }
    return false;
}

int MillisLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the event on the descriptor: 1 ready, 0 time-out, -1 error or hang-up.
int WaitFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return ready;
        if (entry.revents & events)
            return 1;
        errno = EIO; // hang-up or error without data
        return -1;
    }
}

bool IsPseudoTerminal(int fd) {
    char name[128] = {};
    return ::ttyname_r(fd, name, sizeof(name)) == 0 && std::strncmp(name, "/dev/pts/", 9) == 0;
}

bool SpeedApplied(int fd, const termios& wanted) {
    termios now{};
    return ::tcgetattr(fd, &now) == 0 && ::cfgetospeed(&now) == ::cfgetospeed(&wanted) &&
           (now.c_cflag & CSTOPB) == (wanted.c_cflag & CSTOPB);
}

tcflag_t CharacterSize(int dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    }
    return CS8;
}

} // namespace

bool ParseModeString(const std::string& mode, TLineSettings& settings) {
    std::istringstream words(mode);
    std::string word;
    TLineSettings parsed = settings;
    unsigned seen = 0;
    bool first = true;
    while (words >> word) {
        const bool namePrefix = first && word.back() == ':';
        first = false;
        if (namePrefix)
            continue;
        const auto equals = word.find('=');
        const std::string key = word.substr(0, equals);
        const unsigned bit = key == "baud" ? 1u : key == "parity" ? 2u : key == "stop" ? 4u : 8u;
        if (equals == std::string::npos || (seen & bit) != 0 ||
            !ParseField(key, word.substr(equals + 1), parsed)) {
            errno = EINVAL;
            return false;
        }
        seen |= bit;
    }
    if (seen != 15u) {
        errno = EINVAL;
        return false;
    }
    settings = parsed;
    return true;
}

std::string SerialDevicePath(const std::string& name) {
    return !name.empty() && name.front() == '/' ? name : "/dev/" + name;
}

bool IsSerialDevice(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY || errno == EACCES; // present, but held by another program
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    return terminal;
}

struct TSerialLine::TSaved {
    termios Settings{};
    bool Valid = false;
};

TSerialLine::TSerialLine() : Saved(std::make_unique<TSaved>()) {}

TSerialLine::~TSerialLine() {
    Close();
}

bool TSerialLine::Open(const std::string& path) {
    Close();
    Fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (Fd < 0)
        return false;
    if (::isatty(Fd) != 1) {
        Close();
        errno = ENOTTY;
        return false;
    }
    // TIOCEXCL keeps other programs out, except privileged ones; the advisory lock stops those
    // (and other lines of this program) as well.
    if (::ioctl(Fd, TIOCEXCL) != 0)
        return Close(), false;
    if (::flock(Fd, LOCK_EX | LOCK_NB) != 0) {
        Close();
        errno = EBUSY;
        return false;
    }
    Locked = true;
    return true;
}

void TSerialLine::Close() {
    if (Fd < 0)
        return;
    const int savedErrno = errno; // a failed open reports its own error, not the close's
    ::ioctl(Fd, TIOCNXCL);
    if (Locked)
        ::flock(Fd, LOCK_UN);
    ::close(Fd);
    Fd = -1;
    Locked = false;
    errno = savedErrno;
}

bool TSerialLine::SaveSettings() {
    Saved->Valid = ::tcgetattr(Fd, &Saved->Settings) == 0;
    return Saved->Valid;
}

bool TSerialLine::RestoreSettings() {
    return Saved->Valid && ::tcsetattr(Fd, TCSANOW, &Saved->Settings) == 0;
}

bool TSerialLine::Apply(const TLineSettings& settings) {
    termios tio{};
    if (::tcgetattr(Fd, &tio) != 0)
        return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | CharacterSize(settings.DataBits);
    if (settings.Parity != 'N')
        tio.c_cflag |= PARENB | (settings.Parity == 'O' ? PARODD : 0);
    if (settings.StopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedFor(settings.Baud);
    if (speed == B0) {
        errno = EINVAL;
        return false;
    }
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0)
        return false;
    if (::tcsetattr(Fd, TCSANOW, &tio) == 0)
        return true;
    // A pseudo-terminal has no parity and always eight data bits: its driver drops those
    // settings, and the C library reports that as EINVAL although the line works.
    return errno == EINVAL && IsPseudoTerminal(Fd) && SpeedApplied(Fd, tio);
}

bool TSerialLine::ClearRtsDtr() {
    int bits = TIOCM_RTS | TIOCM_DTR;
    return ::ioctl(Fd, TIOCMBIC, &bits) == 0;
}

bool TSerialLine::Purge() {
    return ::tcflush(Fd, TCIOFLUSH) == 0;
}

std::size_t TSerialLine::DiscardInput() {
    // Asked before every request: the count alone is one system call, a flush only when needed.
    int waiting = 0;
    const bool counted = ::ioctl(Fd, FIONREAD, &waiting) == 0;
    if (!counted || waiting > 0)
        ::tcflush(Fd, TCIFLUSH);
    return waiting > 0 ? static_cast<std::size_t>(waiting) : 0;
}

long TSerialLine::ReadAttempt(std::uint8_t* buffer, std::size_t size, int totalMs, int intervalMs,
                              bool waitFirst) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(totalMs);
    std::size_t got = 0;
    bool pollSaidReadable = false;
    while (got < size) {
        ssize_t n = -1;
        errno = EAGAIN;
        if (!waitFirst)
            n = ::read(Fd, buffer + got, size - got);
        waitFirst = false;
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            pollSaidReadable = false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // Readable with nothing to read is a hang-up (the far end of the line went away); without
        // this check the attempt would spin past its deadline.
        if ((n < 0 && errno != EAGAIN) || (n == 0 && pollSaidReadable))
            return got > 0 ? static_cast<long>(got) : -1;
        // Nothing waiting: wait for the next bytes, after the first one no longer than the
        // interval allowed between two bytes.
        int wait = MillisLeft(deadline);
        if (got > 0 && intervalMs > 0 && intervalMs < wait)
            wait = intervalMs;
        const int ready = WaitFor(Fd, POLLIN, wait);
        if (ready == 0)
            break;
        if (ready < 0)
            return got > 0 ? static_cast<long>(got) : -1;
        pollSaidReadable = true;
    }
    return static_cast<long>(got);
}

long TSerialLine::WriteAll(const std::uint8_t* buffer, std::size_t size, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(Fd, buffer + written, size - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return written > 0 ? static_cast<long>(written) : -1;
        const int ready = WaitFor(Fd, POLLOUT, MillisLeft(deadline));
        if (ready == 0)
            break;
        if (ready < 0)
            return written > 0 ? static_cast<long>(written) : -1;
    }
    return static_cast<long>(written);
}
