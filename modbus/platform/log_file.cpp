#include "modbus/platform/log_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

TLogFile::TLogFile(const std::string& path) {
    Fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (Fd < 0)
        throw std::system_error(errno, std::generic_category(), path);
    // Others may read the log while it is open, but no second writer may share it.
    if (::flock(Fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(Fd);
        Fd = -1;
        throw std::system_error(error, std::generic_category(), path);
    }
}

TLogFile::~TLogFile() {
    if (Fd >= 0)
        ::close(Fd);
}

void TLogFile::Append(const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(Fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // a full disk loses log lines, never the command
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}
