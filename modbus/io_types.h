#pragma once
// Base types shared by the ports and the protocol drivers of the Modbus master stack.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A growable byte array; an empty array stands for "no data". Buffers are moved into a packet,
// so a command does not copy the bytes it sends.
using BYTES = std::vector<std::uint8_t>;

// Outcome of one direction of a command.
enum TIOResult {
    iorOK,      // done completely
    iorTimeOut, // fewer bytes than requested within the time allowed, or the write did not complete
    iorNotReady,  // the channel was not open or not connected
    iorNone,      // nothing done yet
    iorPortError, // the medium reported an error
};

// What a command does.
enum TIOCommand {
    iocNone,
    iocRead,
    iocReadWrite, // read first, then write
    iocWrite,
    iocWriteRead, // write first, then read: the normal request/response exchange
};

// The record of one command, filled by the port and handed back to the caller.
struct TIOPacket {
    std::uint32_t PacketId = 0;
    TIOResult WriteResult = iorNone;
    std::uint32_t BytesToWrite = 0;
    std::uint32_t BytesWritten = 0;
    std::uint32_t WriteTries = 0; // on entry the attempts allowed; a medium may report those made
    BYTES WriteBuffer;
    std::uint32_t DelayMs = 0; // pause the caller asks for between write and read
    TIOResult ReadResult = iorNone;
    std::uint32_t BytesToRead = 0;
    std::uint32_t BytesReceived = 0;
    std::uint32_t ReadTries = 0; // on entry the attempts allowed; on return the attempts made
    BYTES ReadBuffer;            // exactly BytesToRead bytes, filled from index 0
    void* Reserved1 = nullptr;
    void* Reserved2 = nullptr;
};

// Names as they appear in the I/O log: results bare, commands padded to 12 characters.
const char* IOResultName(TIOResult result);
const char* IOCommandName(TIOCommand command);

// Misuse of the communication classes (settings changed while active, bad arguments) raises this,
// with the fixed English message of the case.
class EStackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
