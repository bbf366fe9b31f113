#include "modbus/platform/os_error.h"

#include <cerrno>
#include <cstring>

int LastOSError() {
    return errno;
}

void SetLastOSError(int code) {
    errno = code;
}

std::string OSErrorMessage(int code) {
    if (code == 0)
        return {};
    char buffer[256] = {};
    // The GNU variant may return a static text instead of filling the buffer.
    const char* text = strerror_r(code, buffer, sizeof(buffer));
    return text ? std::string(text) : std::string();
}
