#include "mbtool_options.h"

#include <charconv>

const char* const kMbToolUsage =
    "usage: parsetta-mbtool (--tcp HOST[:PORT] | --rtu DEVICE [--baud N] [--parity E|O|N] "
    "[--stop 1|2])\n"
    "                       [--unit N] [--timeout MS] [--log FILE] COMMAND\n"
    "commands:\n"
    "  read ADDRESS COUNT          read holding registers (function 3)\n"
    "  read-coils ADDRESS COUNT    read coils (function 1)\n"
    "  write ADDRESS VALUE...      write registers (function 6 for one, 16 for several)\n"
    "  write-coils ADDRESS BIT...  write coils (function 5 for one, 15 for several)\n"
    "defaults: port 502, unit 1, 19200 baud, even parity, 1 stop bit, time-out 1000 ms\n";

namespace {

bool ToInt(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

bool IsSupportedBaud(int baud) {
    for (int b : {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        if (b == baud)
            return true;
    return false;
}

bool ParseHost(const std::string& text, TMbToolOptions& options) {
    const size_t colon = text.rfind(':');
    options.Host = text.substr(0, colon);
    if (colon != std::string::npos && !ToInt(text.substr(colon + 1), 1, 65535, options.Port))
        return false;
    return !options.Host.empty();
}

struct TArgs {
    const std::vector<std::string>& list;
    size_t next = 0;
    bool Take(std::string& value) {
        if (next >= list.size())
            return false;
        value = list[next++];
        return true;
    }
};

// One option with its value; false for an unknown option or a bad value.
bool ParseOption(const std::string& name, TArgs& args, TMbToolOptions& o, std::string& error) {
    std::string value;
    if (!args.Take(value)) {
        error = name + " needs a value";
        return false;
    }
    bool ok = true;
    if (name == "--tcp") {
        o.Tcp = true;
        ok = ParseHost(value, o);
    } else if (name == "--rtu") {
        o.Device = value;
    } else if (name == "--baud") {
        ok = ToInt(value, 1, 1000000, o.Baud) && IsSupportedBaud(o.Baud);
    } else if (name == "--parity") {
        ok = value == "E" || value == "O" || value == "N";
        o.Parity = value.empty() ? ' ' : value[0];
    } else if (name == "--stop") {
        ok = ToInt(value, 1, 2, o.StopBits);
    } else if (name == "--unit") {
        ok = ToInt(value, 0, 255, o.Unit);
    } else if (name == "--timeout") {
        ok = ToInt(value, 1, 600000, o.TimeoutMs);
    } else if (name == "--log") {
        o.LogFile = value;
    } else {
        error = "unknown option " + name;
        return false;
    }
    if (!ok)
        error = "bad value for " + name + ": " + value;
    return ok;
}

bool ParseCommand(TArgs& args, TMbToolOptions& o, std::string& error) {
    std::string name, text;
    args.Take(name);
    if (name == "read")
        o.Command = mcRead;
    else if (name == "read-coils")
        o.Command = mcReadCoils;
    else if (name == "write")
        o.Command = mcWrite;
    else if (name == "write-coils")
        o.Command = mcWriteCoils;
    else {
        error = name.empty() ? "no command" : "unknown command " + name;
        return false;
    }
    if (!args.Take(text) || !ToInt(text, 0, 65535, o.Address)) {
        error = "bad or missing ADDRESS";
        return false;
    }
    const bool reading = o.Command == mcRead || o.Command == mcReadCoils;
    if (reading) {
        const int most = o.Command == mcRead ? 125 : 2000;
        if (!args.Take(text) || !ToInt(text, 1, most, o.Count) || args.next != args.list.size()) {
            error = "COUNT must be 1 to " + std::to_string(most);
            return false;
        }
        return true;
    }
    const bool bits = o.Command == mcWriteCoils;
    while (args.Take(text)) {
        int value = 0;
        if (!ToInt(text, bits ? 0 : -32768, bits ? 1 : 65535, value)) {
            error = "bad value " + text;
            return false;
        }
        o.Values.push_back(value);
    }
    const size_t most = bits ? 1968 : 123;
    if (o.Values.empty() || o.Values.size() > most) {
        error = "give 1 to " + std::to_string(most) + " values";
        return false;
    }
    return true;
}

} // namespace

bool ParseMbToolArgs(const std::vector<std::string>& list, TMbToolOptions& options,
                     std::string& error) {
    TArgs args{list};
    while (args.next < list.size() && list[args.next].rfind("--", 0) == 0) {
        const std::string name = list[args.next++];
        if (!ParseOption(name, args, options, error))
            return false;
    }
    if (options.Tcp == !options.Device.empty()) {
        error = "give either --tcp or --rtu";
        return false;
    }
    return ParseCommand(args, options, error);
}
