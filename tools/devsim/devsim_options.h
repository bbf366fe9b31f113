#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One --device TYPE[@ADDRESS][,version=HHHH][,rfid=TEXT] argument.
struct TDeviceArgument {
    std::string typeCode; // four hexadecimal digits
    uint8_t address = 1;
    std::string version; // empty: the newest the template knows
    std::string rfid;    // empty: a unique text is made up
};

// The command line of parsetta-devsim:
//   parsetta-devsim [--db PATH] (--tcp [HOST:]PORT | --rtu DEVICE | --pty LINK) [--service]
//                   [--verbose] --device TYPE[@ADDRESS][,version=HHHH][,rfid=TEXT] ...
struct TDevsimOptions {
    enum TTransport { NoTransport, Tcp, Rtu, Pty };

    std::string dbPath;
    TTransport transport = NoTransport;
    std::string host = "127.0.0.1";
    int port = 0;
    std::string path; // serial device or pseudo-terminal link
    bool service = false;
    bool verbose = false;
    bool help = false;
    std::vector<TDeviceArgument> devices;

    // False with a message in error when the arguments are not a valid command line.
    static bool Parse(const std::vector<std::string>& args, TDevsimOptions& options,
                      std::string& error);
    static const char* Usage();
};
