#pragma once

#include <string>

// A pseudo-terminal pair in raw mode and a symbolic link to its terminal end, which a master
// opens like a serial port. The simulator talks through the other end. The terminal end stays
// open here as well, so a master may close and reopen the link without the pair hanging up.
class TPseudoTerminal {
public:
    // Throws std::runtime_error when the pair or the link cannot be made.
    explicit TPseudoTerminal(std::string link);
    ~TPseudoTerminal();
    TPseudoTerminal(const TPseudoTerminal&) = delete;
    TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

    int MasterFd() const { return master; }
    const std::string& TerminalPath() const { return terminalPath; }
    const std::string& Link() const { return link; }

private:
    void Release();

    std::string link;
    std::string terminalPath;
    int master = -1;
    int terminal = -1;
    bool linked = false;
};
