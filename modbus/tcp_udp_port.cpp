#include "modbus/tcp_udp_port.h"

#include "modbus/connect_thread.h"
#include "modbus/platform/ipv4_socket.h"
#include "modbus/platform/os_error.h"

#include <chrono>
#include <thread>

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A decimal part without sign or leading zeros, so that every accepted text means the same
// address to the socket layer (which reads a leading zero as octal or refuses it).
int PartValue(const std::string& part) {
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
        return -1;
    int value = 0;
    for (char c : part) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

bool IsValidIPv4Address(const std::string& text) {
    int values[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t dot = text.find('.', start);
        if ((i < 3) != (dot != std::string::npos))
            return false;
        values[i] = PartValue(text.substr(start, dot - start));
        if (values[i] < 0 || values[i] > 255)
            return false;
        start = dot + 1;
    }
    return values[0] != 0 && values[0] != 255 && values[3] != 0 && values[3] != 255;
}

TTCP_UDPPort::TTCP_UDPPort() : Connector(std::make_unique<TConnectThread>()) {
    Connector->OnConnect = [this] { return Connect(); };
    Connector->OnReconnect = [this] {
        CloseSocket();
        return Connect();
    };
    Connector->OnClose = [this] { CloseSocket(); };
    Connector->OnCheckConnection = [this] { return IsPortReady(); };
    Connector->Start();
}

TTCP_UDPPort::~TTCP_UDPPort() {
    DestroyPort();
    Connector->StopAndWait();
}

std::string TTCP_UDPPort::Host() const {
    std::lock_guard lock(SettingsMutex);
    return HostValue;
}

void TTCP_UDPPort::SetHost(const std::string& text) {
    RaiseIfActive();
    const std::string trimmed = Trimmed(text);
    std::lock_guard lock(SettingsMutex);
    if (trimmed == HostValue)
        return;
    if (trimmed.empty()) {
        HostValue.clear();
        return;
    }
    if (!IsValidIPv4Address(text))
        throw EStackError("The address \"" + text + "\" is not a valid IPv4 address");
    HostValue = text;
}

void TTCP_UDPPort::SetPort(std::int32_t value) {
    RaiseIfActive();
    if (value < 1 || value > 65535)
        throw EStackError("The port value must be between 1 and 65535!");
    PortValue.store(value);
}

void TTCP_UDPPort::SetTimeout(std::int32_t ms) {
    RaiseIfActive();
    TimeoutValue.store(ms);
}

void TTCP_UDPPort::SetPortType(TPortType value) {
    RaiseIfActive();
    PortTypeValue.store(value);
}

bool TTCP_UDPPort::EnableAutoReconnect() const {
    return Connector->EnableAutoReconnect();
}

void TTCP_UDPPort::SetEnableAutoReconnect(bool value) {
    Connector->SetEnableAutoReconnect(value);
    if (!value)
        Connector->PostRequest(TConnectThread::crCancelReconnect);
}

std::int32_t TTCP_UDPPort::ReconnectRetryInterval() const {
    return Connector->ReconnectRetryInterval();
}

void TTCP_UDPPort::SetReconnectRetryInterval(std::int32_t ms) {
    Connector->SetReconnectRetryInterval(ms);
}

bool TTCP_UDPPort::SettingsValid() {
    const std::int32_t port = Port();
    return !Host().empty() && port > 0 && port < 65536;
}

bool TTCP_UDPPort::OpenPort() {
    Connector->PostRequest(TConnectThread::crConnect);
    return true;
}

bool TTCP_UDPPort::ClosePort() {
    Connector->PostRequest(TConnectThread::crDisconnect);
    return true;
}

void TTCP_UDPPort::ReportPortOpenError(TCommPortDriver* sender) {
    Connector->PostRequest(TConnectThread::crConnectionLost);
    TCommPortDriver::ReportPortOpenError(sender);
}

void TTCP_UDPPort::ReportPortDisconnected(TCommPortDriver* sender) {
    Connector->PostRequest(TConnectThread::crConnectionLost);
    TCommPortDriver::ReportPortDisconnected(sender);
}

bool TTCP_UDPPort::Connect() {
    const TPortType type = PortType();
    int fd = -1;
    bool connected = false;
    if (type == ptTCP || type == ptUDP) {
        fd = SocketOpen(type == ptUDP);
        connected = fd >= 0 && SocketConnect(fd, Host(), Port(), Timeout());
        if (!connected)
            RefreshLastOSError();
    }
    if (connected) {
        std::unique_lock use(SocketUse);
        Socket.exchange(fd);
    } else if (fd >= 0) {
        SocketClose(fd);
    }
    if (!connected) {
        CloseSocket();
        DeliverPortOpenError();
        return false;
    }
    DeliverPortOpened();
    return true;
}

void TTCP_UDPPort::CloseSocket() {
    // Waits for a read or write that still uses the socket; a closed descriptor's number may
    // at once belong to another file.
    std::unique_lock use(SocketUse);
    const int fd = Socket.exchange(-1);
    if (fd >= 0)
        SocketClose(fd);
}

TTCP_UDPPort::TCheck TTCP_UDPPort::CheckConnection(int fd) {
    const long waiting = SocketBytesWaiting(fd);
    if (waiting < 0)
        return TCheck::Lost;
    if (waiting > 0)
        return TCheck::Retry;
    const int readable = SocketWait(fd, false, 0);
    if (readable == 0)
        return TCheck::Attempt;
    if (readable < 0)
        return TCheck::Lost;
    // Readable with nothing waiting is the peer's close.
    return SocketBytesWaiting(fd) > 0 ? TCheck::Attempt : TCheck::Lost;
}

void TTCP_UDPPort::ConnectionLost() {
    CloseSocket();
    DeliverPortDisconnected();
}

std::uint32_t TTCP_UDPPort::Transfer(bool sending, std::uint8_t* data, std::uint32_t size,
                                     std::uint32_t& tries, bool answerPending) {
    std::uint32_t done = 0;
    std::uint32_t attempts = 0;
    bool lost = false;
    {
        std::shared_lock use(SocketUse);
        const int fd = Socket.load();
        while (fd >= 0 && done < size && attempts < tries) {
            auto once = [&] {
                return sending ? SocketSend(fd, data + done, size - done)
                               : SocketReceive(fd, data + done, size - done);
            };
            // An answer to the request just sent cannot be there yet, so the first receive
            // waits before it tries; otherwise try, and wait only when nothing is there.
            long n = -1;
            bool wait = answerPending;
            answerPending = false;
            if (!wait) {
                n = once();
                wait = n < 0 && SocketWouldBlock();
            }
            if (wait && SocketWait(fd, sending, Timeout()) == 1)
                n = once();
            if (n > 0) {
                done += static_cast<std::uint32_t>(n);
                continue;
            }
            const TCheck check = CheckConnection(fd);
            if (check == TCheck::Lost) {
                lost = true;
                break;
            }
            if (check == TCheck::Attempt)
                ++attempts;
        }
    }
    if (lost)
        ConnectionLost();
    tries = attempts;
    return done;
}

void TTCP_UDPPort::Read(TIOPacket& packet) {
    if (packet.ReadBuffer.size() < packet.BytesToRead)
        packet.ReadBuffer.resize(packet.BytesToRead, 0);
    const bool answerPending = packet.WriteResult == iorOK && packet.BytesWritten > 0;
    packet.BytesReceived = Transfer(false, packet.ReadBuffer.data(), packet.BytesToRead,
                                    packet.ReadTries, answerPending);
    packet.ReadResult = packet.BytesReceived < packet.BytesToRead ? iorTimeOut : iorOK;
    if (packet.ReadResult != iorOK)
        ReportCommError(false, packet.ReadResult);
}

void TTCP_UDPPort::Write(TIOPacket& packet) {
    packet.BytesWritten =
        Transfer(true, packet.WriteBuffer.data(), packet.BytesToWrite, packet.WriteTries, false);
    packet.WriteResult = packet.BytesWritten < packet.BytesToWrite ? iorTimeOut : iorOK;
    if (packet.WriteResult != iorOK)
        ReportCommError(true, packet.WriteResult);
}

std::size_t TTCP_UDPPort::DiscardReceived() {
    std::shared_lock use(SocketUse);
    const int fd = Socket.load();
    std::size_t dropped = 0;
    std::uint8_t scrap[512];
    // Only what is there already; a peer's close is left for the next read to notice.
    while (fd >= 0 && SocketBytesWaiting(fd) > 0) {
        const long n = SocketReceive(fd, scrap, sizeof(scrap));
        if (n <= 0)
            break;
        dropped += static_cast<std::size_t>(n);
    }
    return dropped;
}

void TTCP_UDPPort::PauseBetweenWriteAndRead() {
    if (const std::uint32_t delay = CurrentDelayMs(); delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
}
