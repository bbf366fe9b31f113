#pragma once

// parsetta-devsim started as a child process for end-to-end tests: its output is read line by
// line, so a test waits for "listening:" instead of sleeping, and learns the TCP port the
// simulator picked when it was given port 0. Any test folder may include this header.
#include <chrono>
#include <csignal>
#include <poll.h>
#include <regex>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The simulator as a child process whose output the test reads line by line.
class TDevsimProcess {
public:
    TDevsimProcess(const std::string& program, const std::string& dbPath,
                   const std::vector<std::string>& args) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            throw std::runtime_error("pipe");
        pid = fork();
        if (pid == 0) {
            dup2(pipeFds[1], STDOUT_FILENO);
            dup2(pipeFds[1], STDERR_FILENO);
            close(pipeFds[0]);
            std::vector<std::string> all = {program, "--db", dbPath};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (auto& arg : all)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(pipeFds[1]);
        output = pipeFds[0];
    }
    TDevsimProcess(const TDevsimProcess&) = delete;
    TDevsimProcess& operator=(const TDevsimProcess&) = delete;
    // Stops the simulator as a user would, so it removes its pseudo-terminal link.
    ~TDevsimProcess() {
        if (pid > 0)
            Stop();
        close(output);
    }

    // The first line (from now on) that matches pattern; empty after the time-out.
    std::string WaitForLine(const std::regex& pattern,
                            std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            for (auto newline = buffer.find('\n'); newline != std::string::npos;
                 newline = buffer.find('\n')) {
                const std::string line = buffer.substr(0, newline);
                buffer.erase(0, newline + 1);
                lines.push_back(line);
                if (std::regex_search(line, pattern))
                    return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd fd{output, POLLIN, 0};
            if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
                return "";
            char chunk[512];
            const ssize_t n = read(output, chunk, sizeof chunk);
            if (n <= 0)
                return "";
            buffer.append(chunk, static_cast<size_t>(n));
        }
    }

    int Port() {
        std::smatch match;
        const std::string line = WaitForLine(std::regex("listening: Modbus TCP on .*:([0-9]+)"));
        const std::regex port(":([0-9]+)$");
        return std::regex_search(line, match, port) ? std::stoi(match[1]) : -1;
    }

    // Asks the simulator to stop and returns its exit status.
    int Stop() {
        kill(pid, SIGTERM);
        return Wait();
    }

    // Waits for the simulator to end by itself and returns its exit status.
    int Wait() {
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::vector<std::string> lines;

private:
    pid_t pid = -1;
    int output = -1;
    std::string buffer;
};
