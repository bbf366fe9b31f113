#pragma once
// What a communication port needs from the protocol drivers registered with it.

#include <cstdint>
#include <functional>

class TCommPortDriver;

// The sender of a port notification: the port, or nullptr where a handler runs on behalf of the
// port's notification thread.
using TPortNotifyEvent = std::function<void(TCommPortDriver* sender)>;

// Flags of WantedPortEvents.
enum TPortEventFlag : std::uint32_t {
    pefOpened = 1u << 0,
    pefClosed = 1u << 1,
    pefDisconnected = 1u << 2,
};

class IPortDriverEventNotification {
public:
    virtual ~IPortDriverEventNotification() = default;
    virtual std::uint32_t WantedPortEvents() = 0;
    virtual TPortNotifyEvent GetPortOpenedHandler() = 0;
    virtual TPortNotifyEvent GetPortClosedHandler() = 0;
    virtual TPortNotifyEvent GetPortDisconnectedHandler() = 0;
    // The port is being destroyed; a driver using it lets go of it (it may call
    // RemoveProtocolDriver from here).
    virtual void PortRemoved(TCommPortDriver* port) = 0;
};
