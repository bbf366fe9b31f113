#include "devsim_options.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace {

bool IsHexCode(const std::string& text) {
    return text.size() == 4 && std::all_of(text.begin(), text.end(),
                                           [](unsigned char c) { return std::isxdigit(c) != 0; });
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ::toupper);
    return text;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    value = std::stoi(text);
    return value >= low && value <= high;
}

bool ParseDevice(const std::string& text, TDeviceArgument& argument, std::string& error) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        parts.push_back(text.substr(start, comma - start));
    parts.push_back(text.substr(start));

    const std::string& head = parts.front();
    const auto at = head.find('@');
    argument.typeCode = Upper(head.substr(0, at));
    if (!IsHexCode(argument.typeCode)) {
        error = "device type must be four hexadecimal digits: " + head;
        return false;
    }
    int address = 1;
    if (at != std::string::npos && !ParseNumber(head.substr(at + 1), 1, 247, address)) {
        error = "device address must be 1 to 247: " + head;
        return false;
    }
    argument.address = static_cast<uint8_t>(address);
    for (size_t i = 1; i < parts.size(); ++i) {
        if (parts[i].rfind("version=", 0) == 0 && IsHexCode(parts[i].substr(8))) {
            argument.version = Upper(parts[i].substr(8));
        } else if (parts[i].rfind("rfid=", 0) == 0 && parts[i].size() > 5 &&
                   parts[i].size() <= 25) {
            argument.rfid = parts[i].substr(5);
        } else {
            error = "unknown device setting (version=HHHH or rfid=TEXT of up to 20 characters): " +
                    parts[i];
            return false;
        }
    }
    return true;
}

bool ParseTcp(const std::string& text, TDevsimOptions& options, std::string& error) {
    const auto colon = text.rfind(':');
    if (colon != std::string::npos)
        options.host = text.substr(0, colon);
    if (!ParseNumber(text.substr(colon == std::string::npos ? 0 : colon + 1), 0, 65535,
                     options.port) ||
        options.host.empty()) {
        error = "--tcp needs [HOST:]PORT: " + text;
        return false;
    }
    return true;
}

bool SetTransport(TDevsimOptions& options, TDevsimOptions::TTransport transport,
                  std::string& error) {
    if (options.transport != TDevsimOptions::NoTransport) {
        error = "give exactly one of --tcp, --rtu and --pty";
        return false;
    }
    options.transport = transport;
    return true;
}

bool Check(const TDevsimOptions& options, std::string& error) {
    if (options.transport == TDevsimOptions::NoTransport)
        error = "give one of --tcp, --rtu and --pty";
    else if (options.devices.empty())
        error = "give at least one --device";
    else if (options.service && options.devices.size() != 1)
        error = "--service needs exactly one device: the service interface belongs to one device";
    std::set<int> addresses;
    for (const TDeviceArgument& argument : options.devices)
        if (error.empty() && !addresses.insert(argument.address).second)
            error = "two devices at address " + std::to_string(argument.address);
    return error.empty();
}

} // namespace

bool TDevsimOptions::Parse(const std::vector<std::string>& args, TDevsimOptions& options,
                           std::string& error) {
    options = TDevsimOptions();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return true;
        }
        if (arg == "--service") {
            options.service = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if ((arg == "--db" || arg == "--tcp" || arg == "--rtu" || arg == "--pty" ||
                    arg == "--device") &&
                   !hasValue) {
            error = arg + " needs a value";
            return false;
        } else if (arg == "--db") {
            options.dbPath = args[++i];
        } else if (arg == "--tcp") {
            if (!SetTransport(options, Tcp, error) || !ParseTcp(args[++i], options, error))
                return false;
        } else if (arg == "--rtu" || arg == "--pty") {
            if (!SetTransport(options, arg == "--rtu" ? Rtu : Pty, error))
                return false;
            options.path = args[++i];
        } else if (arg == "--device") {
            TDeviceArgument argument;
            if (!ParseDevice(args[++i], argument, error))
                return false;
            options.devices.push_back(argument);
        } else {
            error = "unknown argument: " + arg;
            return false;
        }
    }
    return Check(options, error);
}

const char* TDevsimOptions::Usage() {
    return "usage: parsetta-devsim [--db PATH] (--tcp [HOST:]PORT | --rtu DEVICE | --pty LINK)\n"
           "                       [--service] [--verbose]\n"
           "                       --device TYPE[@ADDRESS][,version=HHHH][,rfid=TEXT] ...\n"
           "  TYPE       type code of four hexadecimal digits (000D, 0006, 0106, 0007, 0008,\n"
           "             0009, 0002)\n"
           "  --tcp      Modbus TCP server; unit identifiers are the device addresses;\n"
           "             port 0 picks a free port\n"
           "  --rtu      Modbus RTU slave on a serial line\n"
           "  --pty      Modbus RTU slave on a new pseudo-terminal, reached through LINK\n"
           "  --service  the single device answers at station 68 as well\n"
           "  --verbose  one line per request\n";
}
