#include "pseudo_terminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

TPseudoTerminal::TPseudoTerminal(std::string linkPath) : link(std::move(linkPath)) {
    try {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            throw SystemError("pseudo-terminal");
        terminalPath = ptsname(master);
        terminal = open(terminalPath.c_str(), O_RDWR | O_NOCTTY);
        if (terminal < 0)
            throw SystemError(terminalPath);
        termios settings{};
        tcgetattr(terminal, &settings);
        cfmakeraw(&settings);
        tcsetattr(terminal, TCSANOW, &settings);

        // Replace a stale link from an earlier run, but never a file that is not a link.
        struct stat existing {};
        if (lstat(link.c_str(), &existing) == 0) {
            if (!S_ISLNK(existing.st_mode))
                throw std::runtime_error(link + " exists and is not a symbolic link");
            unlink(link.c_str());
        }
        if (symlink(terminalPath.c_str(), link.c_str()) != 0)
            throw SystemError(link);
        linked = true;
    } catch (...) {
        Release();
        throw;
    }
}

TPseudoTerminal::~TPseudoTerminal() {
    Release();
}

void TPseudoTerminal::Release() {
    if (linked)
        unlink(link.c_str());
    linked = false;
    if (terminal >= 0)
        close(terminal);
    if (master >= 0)
        close(master);
    terminal = master = -1;
}
