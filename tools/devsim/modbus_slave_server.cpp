#include "modbus_slave_server.h"

#include "modbus_adu.h"
#include "pseudo_terminal.h"

#include <modbus.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int PollMilliseconds = 200;

struct TContextDeleter {
    void operator()(modbus_t* ctx) const { modbus_free(ctx); }
};
using TContext = std::unique_ptr<modbus_t, TContextDeleter>;

struct TMappingDeleter {
    void operator()(modbus_mapping_t* mapping) const { modbus_mapping_free(mapping); }
};

// A socket or descriptor this server opened and closes.
class TFd {
public:
    explicit TFd(int fd = -1) : fd(fd) {}
    ~TFd() {
        if (fd >= 0)
            close(fd);
    }
    TFd(TFd&& other) noexcept : fd(other.fd) { other.fd = -1; }
    TFd& operator=(TFd&& other) noexcept {
        std::swap(fd, other.fd);
        return *this;
    }
    int Get() const { return fd; }

private:
    int fd;
};

std::runtime_error ModbusError(const std::string& what) {
    return std::runtime_error(what + ": " + modbus_strerror(errno));
}

// Baud rate and framing of the line: the service interface runs at 9600 8E1, a bus device
// at the rate and framing its bus registers hold.
struct TLineSettings {
    int baud = 9600;
    char parity = 'E';
    int stopBits = 1;
};

TLineSettings LineSettings(const TSimulatedBus& bus, bool service) {
    TLineSettings line;
    if (service || bus.Devices().empty())
        return line;
    static const int Rates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    const TRegisterImage& image = bus.Devices().front()->Image();
    const uint16_t rate = image.Get(TSimulatedDevice::AddressRegister + 1);
    line.baud = rate < 10 ? Rates[rate] : 19200;
    switch (image.Get(TSimulatedDevice::AddressRegister + 2)) {
    case 1:
        line.parity = 'O';
        break;
    case 2:
        line.parity = 'N';
        line.stopBits = 2;
        break;
    case 3:
        line.parity = 'N';
        break;
    default:
        break;
    }
    return line;
}

} // namespace

struct TModbusSlaveServer::TState {
    TContext tcp;
    TFd listener;
    std::vector<TFd> clients;
    std::unique_ptr<TPseudoTerminal> pty;
    TContext line;   // owns the serial device (--rtu)
    TContext worker; // receives and answers on the line
    TLineSettings settings;
    int lineFd = -1;
};

TModbusSlaveServer::TModbusSlaveServer(TSimulatedBus& bus, const TDevsimOptions& options)
    : bus(bus), options(options), state(std::make_unique<TState>()),
      started(std::chrono::steady_clock::now()) {}

TModbusSlaveServer::~TModbusSlaveServer() {
    if (state->tcp)
        modbus_set_socket(state->tcp.get(), -1); // the sockets are closed by their owners
    if (state->worker)
        modbus_set_socket(state->worker.get(), -1);
    if (state->line)
        modbus_close(state->line.get());
}

std::string TModbusSlaveServer::Open() {
    return options.transport == TDevsimOptions::Tcp ? OpenTcp() : OpenRtu();
}

std::string TModbusSlaveServer::OpenTcp() {
    const std::string host = options.host == "localhost" ? "127.0.0.1" : options.host;
    state->tcp.reset(modbus_new_tcp(host.c_str(), options.port));
    if (!state->tcp)
        throw ModbusError("Modbus TCP on " + host);
    state->listener = TFd(modbus_tcp_listen(state->tcp.get(), 8));
    if (state->listener.Get() < 0)
        throw ModbusError("Modbus TCP on " + host + ":" + std::to_string(options.port));
    sockaddr_in bound{};
    socklen_t size = sizeof bound;
    getsockname(state->listener.Get(), reinterpret_cast<sockaddr*>(&bound), &size);
    return "Modbus TCP on " + host + ":" + std::to_string(ntohs(bound.sin_port));
}

std::string TModbusSlaveServer::OpenRtu() {
    state->settings = LineSettings(bus, options.service);
    const TLineSettings& line = state->settings;
    std::string where;
    if (options.transport == TDevsimOptions::Pty) {
        state->pty = std::make_unique<TPseudoTerminal>(options.path);
        state->lineFd = state->pty->MasterFd();
        where = options.path + " (pseudo-terminal " + state->pty->TerminalPath() + ")";
    } else {
        state->line.reset(
            modbus_new_rtu(options.path.c_str(), line.baud, line.parity, 8, line.stopBits));
        if (!state->line || modbus_connect(state->line.get()) != 0)
            throw ModbusError("Modbus RTU on " + options.path);
        state->lineFd = modbus_get_socket(state->line.get());
        where = options.path;
    }
    RenewRtuWorker(bus.Devices().front()->Address());
    return "Modbus RTU on " + where + ", " + std::to_string(line.baud) + " baud 8" + line.parity +
           std::to_string(line.stopBits);
}

// libmodbus's RTU slave answers one station and, after a request for another one, takes the
// next frame for that station's reply and drops it. The simulated stations share the line, so
// a fresh receiving context follows every request for a station it did not expect.
void TModbusSlaveServer::RenewRtuWorker(int station) {
    if (state->worker)
        modbus_set_socket(state->worker.get(), -1);
    const TLineSettings& line = state->settings;
    state->worker.reset(
        modbus_new_rtu(options.path.c_str(), line.baud, line.parity, 8, line.stopBits));
    if (!state->worker)
        throw ModbusError("Modbus RTU context");
    modbus_set_slave(state->worker.get(), station);
    modbus_set_socket(state->worker.get(), state->lineFd);
}

void TModbusSlaveServer::Run(const std::atomic<bool>& stop) {
    if (options.transport == TDevsimOptions::Tcp)
        RunTcp(stop);
    else
        RunRtu(stop);
}

void TModbusSlaveServer::RunTcp(const std::atomic<bool>& stop) {
    std::vector<uint8_t> adu(MODBUS_TCP_MAX_ADU_LENGTH);
    while (!stop) {
        std::vector<pollfd> fds{{state->listener.Get(), POLLIN, 0}};
        for (const TFd& client : state->clients)
            fds.push_back({client.Get(), POLLIN, 0});
        if (poll(fds.data(), fds.size(), PollMilliseconds) <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            int listener = state->listener.Get();
            const int client = modbus_tcp_accept(state->tcp.get(), &listener);
            if (client >= 0)
                state->clients.emplace_back(client);
        }
        for (size_t i = fds.size() - 1; i >= 1; --i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            modbus_set_socket(state->tcp.get(), fds[i].fd);
            const int length = modbus_receive(state->tcp.get(), adu.data());
            if (length < 0) // closed by the master, or a broken frame
                state->clients.erase(state->clients.begin() + static_cast<long>(i - 1));
            else if (length > 0)
                Serve(state->tcp.get(), adu.data(), length,
                      TModbusAdu::Parse(adu.data(), length,
                                        modbus_get_header_length(state->tcp.get())));
        }
        modbus_set_socket(state->tcp.get(), -1);
    }
}

void TModbusSlaveServer::RunRtu(const std::atomic<bool>& stop) {
    while (!stop) {
        pollfd fd{state->lineFd, POLLIN, 0};
        if (poll(&fd, 1, PollMilliseconds) > 0 && (fd.revents & POLLIN))
            ReceiveRtu();
        else if (fd.revents & (POLLHUP | POLLERR))
            usleep(PollMilliseconds * 1000); // no terminal end open: wait for a master
    }
}

void TModbusSlaveServer::ReceiveRtu() {
    std::vector<uint8_t> adu(MODBUS_RTU_MAX_ADU_LENGTH);
    modbus_t* worker = state->worker.get();
    const int length = modbus_receive(worker, adu.data());
    if (length > 0) {
        Serve(worker, adu.data(), length, TModbusAdu::Parse(adu.data(), length, 1));
        return;
    }
    if (length < 0) {
        if (errno == EMBBADCRC)
            bus.CountBadFrame();
        modbus_flush(worker);
        return;
    }
    // A frame for another station: libmodbus read it whole but did not check it.
    const int station = adu[0];
    const int frameLength = TModbusAdu::RtuRequestLength(adu.data(), static_cast<int>(adu.size()));
    if (frameLength > 0 && !TModbusAdu::RtuCheckFieldValid(adu.data(), frameLength)) {
        bus.CountBadFrame();
    } else {
        TBusRequest request = TModbusAdu::Parse(adu.data(), frameLength > 0 ? frameLength : 2, 1);
        Serve(worker, adu.data(), frameLength > 0 ? frameLength : 4, request);
    }
    RenewRtuWorker(station >= 1 && station <= 247 ? station : bus.Devices().front()->Address());
}

void TModbusSlaveServer::Serve(modbus_t* ctx, const uint8_t* adu, int length,
                               const TBusRequest& request) {
    const double t =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const TBusReply reply = bus.Process(request, t);
    if (options.verbose)
        LogRequest(request, reply);
    Reply(ctx, adu, length, request, reply);
}

void TModbusSlaveServer::Reply(modbus_t* ctx, const uint8_t* adu, int length,
                               const TBusRequest& request, const TBusReply& reply) {
    modbus_set_slave(ctx, request.station);
    if (reply.kind == TBusReply::Exception) {
        modbus_reply_exception(ctx, adu, static_cast<unsigned>(reply.exception));
        return;
    }
    if (reply.kind == TBusReply::NoReply)
        return;
    // A mapping of exactly the registers asked for: libmodbus builds the answer from it.
    const int count = reply.kind == TBusReply::Registers ? static_cast<int>(reply.values.size())
                                                         : static_cast<int>(request.values.size());
    std::unique_ptr<modbus_mapping_t, TMappingDeleter> mapping(
        modbus_mapping_new_start_address(0, 0, 0, 0, request.address, count, 0, 0));
    if (!mapping)
        return;
    for (int i = 0; i < count && reply.kind == TBusReply::Registers; ++i)
        mapping->tab_registers[i] = reply.values[static_cast<size_t>(i)];
    modbus_reply(ctx, adu, length, mapping.get());
}

void TModbusSlaveServer::LogRequest(const TBusRequest& request, const TBusReply& reply) const {
    if (!OnLog)
        return;
    std::string line = "station " + std::to_string(request.station) + " function " +
                       std::to_string(request.function) + " register " +
                       std::to_string(request.address) + " count " +
                       std::to_string(request.function == 6 ? 1 : request.quantity) + ": ";
    switch (reply.kind) {
    case TBusReply::Registers:
        line += "read";
        break;
    case TBusReply::Written:
        line += "written";
        break;
    case TBusReply::Exception:
        line += "exception " + std::to_string(reply.exception);
        break;
    case TBusReply::NoReply:
        line += "no answer";
        break;
    }
    OnLog(line);
}
