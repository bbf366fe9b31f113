#pragma once
// IPv4 client sockets for the TCP/UDP port: non-blocking, waited on with time limits. Failing
// calls return -1 (or false) and leave the error in errno (see os_error.h).

#include <cstddef>
#include <cstdint>
#include <string>

// Creates a stream (TCP) or datagram (UDP) socket with 16 KiB buffers, no send coalescing and
// non-blocking mode.
int SocketOpen(bool udp);
// Connects to the dotted-decimal host within timeoutMs.
bool SocketConnect(int fd, const std::string& host, int port, int timeoutMs);
// Waits for readability (or writability): 1 ready (a peer's close counts as readable),
// 0 time-out, -1 error.
int SocketWait(int fd, bool writable, int timeoutMs);
// Count received or sent; 0 from a receive means the peer closed; -1 an error, see
// SocketWouldBlock().
long SocketReceive(int fd, std::uint8_t* buffer, std::size_t size);
long SocketSend(int fd, const std::uint8_t* buffer, std::size_t size);
bool SocketWouldBlock();
// Bytes waiting to be received; -1 when the query fails.
long SocketBytesWaiting(int fd);
// Shuts down the sending side, discards what the peer still sent, and closes.
void SocketClose(int fd);
