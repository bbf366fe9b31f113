#pragma once
// Independent peers for the Modbus tests: pseudo-terminal pairs, libmodbus masters that capture
// the frames they send, and libmodbus slaves on a pseudo-terminal or a loopback socket.

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <modbus.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

// A pseudo-terminal pair in raw mode; the slave side stays open so that the master never sees
// a hang-up between two users of the slave device.
class TPtyPair {
public:
    TPtyPair() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        name_ = name;
        termios tio{};
        tcgetattr(slave_, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave_, TCSANOW, &tio);
    }
    ~TPtyPair() {
        close(master_);
        close(slave_);
    }
    TPtyPair(const TPtyPair&) = delete;
    TPtyPair& operator=(const TPtyPair&) = delete;

    const std::string& SlaveName() const { return name_; }
    int MasterFd() const { return master_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string name_;
};

// Reads what arrives on fd until it stays quiet for quietMs.
inline std::vector<uint8_t> ReadUntilQuiet(int fd, int quietMs) {
    std::vector<uint8_t> bytes;
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, quietMs) > 0 && (p.revents & POLLIN)) {
        uint8_t buffer[512];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

inline void WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

struct TModbusContextDeleter {
    void operator()(modbus_t* ctx) const {
        modbus_close(ctx);
        modbus_free(ctx);
    }
};
using TModbusContext = std::unique_ptr<modbus_t, TModbusContextDeleter>;

// libmodbus's RTU master on the slave side of a pty; each request it sends is read back from the
// master side, and its wait for an answer ends after a short time-out.
class TCapturingRtuMaster {
public:
    TCapturingRtuMaster(const std::string& device, int station)
        : ctx_(modbus_new_rtu(device.c_str(), 19200, 'N', 8, 1)) {
        if (!ctx_ || modbus_connect(ctx_.get()) != 0)
            throw std::runtime_error("libmodbus RTU master cannot open " + device);
        modbus_set_slave(ctx_.get(), station);
        modbus_set_response_timeout(ctx_.get(), 0, 20000);
    }
    std::vector<uint8_t> Capture(const TPtyPair& line, const std::function<void(modbus_t*)>& send) {
        ReadUntilQuiet(line.MasterFd(), 0);
        send(ctx_.get());
        return ReadUntilQuiet(line.MasterFd(), 20);
    }

private:
    TModbusContext ctx_;
};

// A listening IPv4 socket on a free loopback port.
class TLoopbackListener {
public:
    TLoopbackListener() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd_, 4) != 0)
            throw std::runtime_error("cannot listen on loopback");
        socklen_t len = sizeof addr;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }
    ~TLoopbackListener() {
        if (fd_ >= 0)
            close(fd_);
    }
    TLoopbackListener(const TLoopbackListener&) = delete;
    TLoopbackListener& operator=(const TLoopbackListener&) = delete;
    int Fd() const { return fd_; }
    int Port() const { return port_; }
    // Closes the listening socket, so that new connections are refused.
    void Stop() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

class TCapturingTcpMaster {
public:
    explicit TCapturingTcpMaster(int unit) : ctx_(modbus_new_tcp("127.0.0.1", listener_.Port())) {
        if (!ctx_ || modbus_connect(ctx_.get()) != 0)
            throw std::runtime_error("libmodbus TCP master cannot connect");
        peer_ = accept(listener_.Fd(), nullptr, nullptr);
        modbus_set_slave(ctx_.get(), unit);
        modbus_set_response_timeout(ctx_.get(), 0, 20000);
    }
    ~TCapturingTcpMaster() {
        if (peer_ >= 0)
            close(peer_);
    }
    std::vector<uint8_t> Capture(const std::function<void(modbus_t*)>& send) {
        send(ctx_.get());
        return ReadUntilQuiet(peer_, 20);
    }

private:
    TLoopbackListener listener_;
    TModbusContext ctx_;
    int peer_ = -1;
};

// The register and bit tables a libmodbus slave answers from.
struct TModbusMappingDeleter {
    void operator()(modbus_mapping_t* m) const { modbus_mapping_free(m); }
};
using TModbusMapping = std::unique_ptr<modbus_mapping_t, TModbusMappingDeleter>;

inline TModbusMapping NewMapping(int size = 4000) {
    return TModbusMapping(modbus_mapping_new(size, size, size, size));
}

// A libmodbus slave serving one mapping in a thread of its own, either on the slave side of a
// pseudo-terminal (RTU) or on a loopback listener (TCP, one connection after the other).
class TLibmodbusSlave {
public:
    // RTU slave answering for station on device.
    TLibmodbusSlave(const std::string& device, int station, modbus_mapping_t* mapping)
        : mapping_(mapping), ctx_(modbus_new_rtu(device.c_str(), 19200, 'N', 8, 1)) {
        if (!ctx_ || modbus_connect(ctx_.get()) != 0)
            throw std::runtime_error("libmodbus RTU slave cannot open " + device);
        modbus_set_slave(ctx_.get(), station);
        thread_ = std::thread([this] { ServeConnection(); });
    }
    // TCP slave accepting on listener.
    TLibmodbusSlave(const TLoopbackListener& listener, modbus_mapping_t* mapping)
        : mapping_(mapping), ctx_(modbus_new_tcp("127.0.0.1", listener.Port())), tcp_(true) {
        listenFd_ = listener.Fd();
        thread_ = std::thread([this] { ServeTcp(); });
    }
    ~TLibmodbusSlave() {
        stop_ = true;
        thread_.join();
    }
    TLibmodbusSlave(const TLibmodbusSlave&) = delete;
    TLibmodbusSlave& operator=(const TLibmodbusSlave&) = delete;

    // Makes the slave close the current TCP connection after receiving the next request,
    // without answering it.
    void DropNextRequest() { dropNext_ = true; }
    // Answers every request of the function with libmodbus's exception answer of that code, as a
    // device that does not offer the function would.
    void RejectFunction(int function, int code) {
        rejectedFunction_ = function;
        rejectCode_ = code;
    }
    int Connections() const { return connections_; }

private:
    void ServeTcp() {
        while (!stop_) {
            pollfd p{listenFd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            int listenFd = listenFd_;
            if (modbus_tcp_accept(ctx_.get(), &listenFd) < 0)
                continue;
            ++connections_;
            ServeConnection();
            modbus_close(ctx_.get());
        }
    }
    void ServeConnection() {
        modbus_set_indication_timeout(ctx_.get(), 0, 20000);
        // libmodbus waits this long before an "illegal value" answer; keep it short.
        modbus_set_response_timeout(ctx_.get(), 0, 1000);
        uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
        while (!stop_) {
            const int n = modbus_receive(ctx_.get(), query);
            if (n > 0 && dropNext_.exchange(false))
                return;
            if (n > 0 && query[modbus_get_header_length(ctx_.get())] == rejectedFunction_)
                modbus_reply_exception(ctx_.get(), query,
                                       static_cast<unsigned>(rejectCode_.load()));
            else if (n > 0)
                modbus_reply(ctx_.get(), query, n, mapping_);
            else if (n < 0 && tcp_ && errno != ETIMEDOUT)
                return; // the master closed the connection
        }
    }

    modbus_mapping_t* mapping_;
    TModbusContext ctx_;
    bool tcp_ = false;
    int listenFd_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<bool> dropNext_{false};
    std::atomic<int> connections_{0};
    std::atomic<int> rejectedFunction_{-1};
    std::atomic<int> rejectCode_{0};
    std::thread thread_;
};

// Carries the bytes between the master's line (the master side of the pty whose slave side the
// port under test opens) and the device's line (the master side of the pty of a libmodbus slave).
// Each answer of the device may be changed, held back or dropped on its way back.
class TLineRelay {
public:
    using TMutation = std::function<std::vector<uint8_t>(std::vector<uint8_t> answer)>;

    TLineRelay(const TPtyPair& masterLine, const TPtyPair& deviceLine)
        : toMaster_(masterLine.MasterFd()), toDevice_(deviceLine.MasterFd()),
          thread_([this] { Run(); }) {}
    ~TLineRelay() {
        stop_ = true;
        thread_.join();
    }
    TLineRelay(const TLineRelay&) = delete;
    TLineRelay& operator=(const TLineRelay&) = delete;

    // Applies to the next answer only.
    void MutateNextAnswer(TMutation mutation, int delayMs = 0) {
        std::lock_guard lock(mutex_);
        mutation_ = std::move(mutation);
        delayMs_ = delayMs;
    }
    int AnswersDelivered() const { return delivered_; }

private:
    void Run() {
        while (!stop_) {
            pollfd fds[2] = {{toMaster_, POLLIN, 0}, {toDevice_, POLLIN, 0}};
            if (poll(fds, 2, 10) <= 0)
                continue;
            if (fds[0].revents & POLLIN)
                WriteAll(toDevice_, ReadUntilQuiet(toMaster_, 0));
            if (fds[1].revents & POLLIN)
                Deliver(ReadUntilQuiet(toDevice_, 3));
        }
    }
    void Deliver(std::vector<uint8_t> answer) {
        TMutation mutation;
        int delayMs = 0;
        {
            std::lock_guard lock(mutex_);
            mutation = std::exchange(mutation_, nullptr);
            delayMs = std::exchange(delayMs_, 0);
        }
        if (mutation)
            answer = mutation(std::move(answer));
        if (delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        WriteAll(toMaster_, answer);
        ++delivered_;
    }

    int toMaster_;
    int toDevice_;
    std::mutex mutex_;
    TMutation mutation_;
    int delayMs_ = 0;
    std::atomic<int> delivered_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
