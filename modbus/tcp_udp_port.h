#pragma once
// TTCP_UDPPort: the communication port for an IPv4 client socket (Modbus TCP). Activating the
// port asks its connect thread to connect; the same thread reconnects every
// ReconnectRetryInterval after a failure or a loss. Reads and writes run on the caller's thread
// over a non-blocking socket, each attempt limited by Timeout.
//
// Threads: the caller of RunCommand (reads and writes, under the command mutex), the connect
// thread (connect, close, reconnect) and the user-interface thread (properties, events). The
// socket is published by atomic exchange; SocketUse keeps a socket from being closed while a
// read or write still uses it, so a descriptor number is never reused under a running command.
// Host is guarded by SettingsMutex, the other settings are atomic.

#include "modbus/comm_port_driver.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>

enum TPortType { ptTCP, ptUDP };

class TConnectThread;

// Four dot-separated decimal parts from 0 to 255, the first and the last neither 0 nor 255.
bool IsValidIPv4Address(const std::string& text);

class TTCP_UDPPort : public TCommPortDriver {
public:
    TTCP_UDPPort();
    ~TTCP_UDPPort() override;

    std::string Host() const;
    // An empty (trimmed) text clears Host; any other must be a valid IPv4 address, otherwise
    // "The address "<text>" is not a valid IPv4 address" is raised.
    void SetHost(const std::string& text);
    std::int32_t Port() const { return PortValue.load(); }
    // 1 to 65535, otherwise "The port value must be between 1 and 65535!".
    void SetPort(std::int32_t value);
    std::int32_t Timeout() const { return TimeoutValue.load(); }
    void SetTimeout(std::int32_t ms);
    TPortType PortType() const { return PortTypeValue.load(); }
    void SetPortType(TPortType value);
    bool EnableAutoReconnect() const;
    void SetEnableAutoReconnect(bool value);
    std::int32_t ReconnectRetryInterval() const;
    void SetReconnectRetryInterval(std::int32_t ms);

    bool IsPortReady() override { return Socket.load() >= 0; }
    bool SettingsValid() override;

protected:
    void Read(TIOPacket& packet) override;
    void Write(TIOPacket& packet) override;
    void PauseBetweenWriteAndRead() override;
    std::size_t DiscardReceived() override;
    bool OpenPort() override;
    bool ClosePort() override;
    void ReportPortOpenError(TCommPortDriver* sender) override;
    void ReportPortDisconnected(TCommPortDriver* sender) override;

private:
    enum class TCheck { Lost, Retry, Attempt };

    bool Connect();
    void CloseSocket();
    TCheck CheckConnection(int fd);
    void ConnectionLost();
    std::uint32_t Transfer(bool sending, std::uint8_t* data, std::uint32_t size,
                           std::uint32_t& tries, bool answerPending);

    mutable std::mutex SettingsMutex;
    std::string HostValue; // guarded by SettingsMutex
    std::atomic<std::int32_t> PortValue{102};
    std::atomic<std::int32_t> TimeoutValue{1000};
    std::atomic<TPortType> PortTypeValue{ptTCP};
    std::atomic<int> Socket{-1};
    std::shared_mutex SocketUse;
    std::unique_ptr<TConnectThread> Connector;
};
