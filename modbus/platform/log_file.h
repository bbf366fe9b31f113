#pragma once
// An append-only log file: created when missing, opened for reading and writing with the
// position at its end, and locked so that no other writer shares it while it is open.

#include <string>

class TLogFile {
public:
    // Raises std::system_error when the file cannot be created, opened or locked.
    explicit TLogFile(const std::string& path);
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;
    ~TLogFile();

    // Appends the text in one write.
    void Append(const std::string& text);

private:
    int Fd = -1;
};
