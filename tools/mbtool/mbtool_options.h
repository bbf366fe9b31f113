#pragma once
// Command line of parsetta-mbtool:
//   parsetta-mbtool (--tcp HOST[:PORT] | --rtu DEVICE [--baud N] [--parity E|O|N] [--stop 1|2])
//                   [--unit N] [--timeout MS] [--log FILE] COMMAND
// COMMAND: read ADDRESS COUNT | read-coils ADDRESS COUNT | write ADDRESS VALUE... |
//          write-coils ADDRESS BIT...

#include <cstdint>
#include <string>
#include <vector>

enum TMbToolCommand { mcRead, mcReadCoils, mcWrite, mcWriteCoils };

struct TMbToolOptions {
    bool Tcp = false;
    std::string Host;
    int Port = 502;
    std::string Device;
    int Baud = 19200;
    char Parity = 'E';
    int StopBits = 1;
    int Unit = 1;
    int TimeoutMs = 1000;
    std::string LogFile;
    TMbToolCommand Command = mcRead;
    int Address = 0;
    int Count = 0;              // read commands
    std::vector<double> Values; // write commands
};

// Fills options from argv[1..]; on failure returns false with a short reason in error.
bool ParseMbToolArgs(const std::vector<std::string>& args, TMbToolOptions& options,
                     std::string& error);

extern const char* const kMbToolUsage;
