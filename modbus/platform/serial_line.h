#pragma once
// A serial line on POSIX termios: exclusive open (TIOCEXCL plus an advisory lock, so that two
// programs cannot share a line even with privileges that bypass TIOCEXCL), line settings from a
// mode string, time-limited reads and writes on a non-blocking descriptor, purge, and RTS/DTR
// control. Failing calls return false and leave the error in errno (see os_error.h).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct TLineSettings {
    int Baud = 0;
    char Parity = 'N'; // N, O or E
    int StopBits = 1;  // 1 or 2
    int DataBits = 8;  // 5 to 8
};

// Parses "baud=9600 parity=E stop=1 data=8" (fields in any order, each at most once; a missing
// field keeps its value in settings). An optional "<name>:" prefix is skipped. False for an
// unknown field, a speed the line cannot use, or any other value out of range.
bool ParseModeString(const std::string& mode, TLineSettings& settings);

// The path for a port name: absolute paths as they are, bare names under /dev/.
std::string SerialDevicePath(const std::string& name);
// True when the path exists and is a terminal device.
bool IsSerialDevice(const std::string& path);

class TSerialLine {
public:
    TSerialLine();
    TSerialLine(const TSerialLine&) = delete;
    TSerialLine& operator=(const TSerialLine&) = delete;
    ~TSerialLine();

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return Fd >= 0; }

    bool SaveSettings();    // remembers the line's current settings
    bool RestoreSettings(); // puts the remembered settings back
    bool Apply(const TLineSettings& settings);
    bool ClearRtsDtr();
    bool Purge(); // discards both queues
    // Discards the input queue; returns the count of bytes it held.
    std::size_t DiscardInput();

    // One read attempt: waits at most totalMs for data and collects bytes as long as they
    // keep coming within intervalMs of each other and totalMs has not passed, up to size bytes.
    // Returns the count read (0 after a time-out); -1 on a line error. waitFirst skips the
    // first try, for an answer that cannot have arrived yet.
    long ReadAttempt(std::uint8_t* buffer, std::size_t size, int totalMs, int intervalMs,
                     bool waitFirst = false);
    // Writes within timeoutMs; returns the count written, -1 on a line error.
    long WriteAll(const std::uint8_t* buffer, std::size_t size, int timeoutMs);

private:
    struct TSaved;
    int Fd = -1;
    bool Locked = false;
    std::unique_ptr<TSaved> Saved;
};
