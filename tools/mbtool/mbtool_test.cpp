// parsetta-mbtool as a technician runs it: against libmodbus slaves over TCP and over a
// pseudo-terminal, with its exit status, output and log file.
#include "mbtool_options.h"
#include "modbus_test_peers.h"

#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace {

struct TRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TRun RunTool(std::vector<std::string> args) {
    // ctest runs the cases of this program side by side: one pair of files per process.
    const std::string stem = testing::TempDir() + "mbtool-" + std::to_string(getpid());
    const std::string out = stem + ".out";
    const std::string err = stem + ".err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    args.insert(args.begin(), MBTOOL_PATH);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    TRun run;
    if (posix_spawn(&pid, MBTOOL_PATH, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = Slurp(out);
    run.err = Slurp(err);
    return run;
}

TEST(MbToolArguments, DefaultsAndChoices) {
    TMbToolOptions o;
    std::string error;
    ASSERT_TRUE(ParseMbToolArgs({"--rtu", "/dev/ttyUSB0", "read", "3000", "12"}, o, error));
    EXPECT_EQ(o.Baud, 19200);
    EXPECT_EQ(o.Parity, 'E');
    EXPECT_EQ(o.StopBits, 1);
    EXPECT_EQ(o.Unit, 1);
    EXPECT_EQ(o.TimeoutMs, 1000);
    EXPECT_EQ(o.Count, 12);
    TMbToolOptions t;
    ASSERT_TRUE(
        ParseMbToolArgs({"--tcp", "10.0.0.5", "--unit", "68", "write", "7", "1", "-1"}, t, error));
    EXPECT_EQ(t.Port, 502);
    EXPECT_EQ(t.Host, "10.0.0.5");
    EXPECT_EQ(t.Command, mcWrite);
    EXPECT_EQ(t.Values, (std::vector<double>{1, -1}));
}

TEST(MbToolArguments, BadArgumentsExitWithUsage) {
    const std::vector<std::vector<std::string>> bad{
        {},
        {"read", "0", "1"},
        {"--tcp", "h", "--rtu", "/dev/x", "read", "0", "1"},
        {"--tcp", "h:0", "read", "0", "1"},
        {"--tcp", "h", "read", "0", "126"},
        {"--tcp", "h", "read-coils", "0", "2001"},
        {"--tcp", "h", "read", "65536", "1"},
        {"--tcp", "h", "read", "0", "1", "2"},
        {"--tcp", "h", "write", "0"},
        {"--tcp", "h", "write", "0", "65536"},
        {"--tcp", "h", "write-coils", "0", "2"},
        {"--rtu", "/dev/x", "--baud", "1000", "read", "0", "1"},
        {"--rtu", "/dev/x", "--parity", "X", "read", "0", "1"},
        {"--rtu", "/dev/x", "--stop", "3", "read", "0", "1"},
        {"--tcp", "h", "--unit", "256", "read", "0", "1"},
        {"--tcp", "h", "--bogus", "1", "read", "0", "1"},
        {"--tcp", "h", "erase", "0", "1"},
    };
    for (const auto& args : bad) {
        const TRun run = RunTool(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("usage: parsetta-mbtool"), std::string::npos);
    }
}

class MbToolOverTcp : public ::testing::Test {
protected:
    MbToolOverTcp() : slave(listener, mapping.get()) {}
    std::string Target() const { return "127.0.0.1:" + std::to_string(listener.Port()); }

    TLoopbackListener listener;
    TModbusMapping mapping = NewMapping();
    TLibmodbusSlave slave;
};

TEST_F(MbToolOverTcp, WritesAndReadsRegistersAndCoils) {
    EXPECT_EQ(RunTool({"--tcp", Target(), "write", "10", "1", "65535", "300"}).status, 0);
    EXPECT_EQ(RunTool({"--tcp", Target(), "write", "13", "-2"}).status, 0);
    TRun read = RunTool({"--tcp", Target(), "--unit", "5", "read", "10", "4"});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, "10: 1\n11: 65535\n12: 300\n13: 65534\n");
    EXPECT_EQ(RunTool({"--tcp", Target(), "write-coils", "3", "1", "0", "1"}).status, 0);
    EXPECT_EQ(RunTool({"--tcp", Target(), "write-coils", "6", "1"}).status, 0);
    read = RunTool({"--tcp", Target(), "read-coils", "2", "6"});
    EXPECT_EQ(read.out, "2: 0\n3: 1\n4: 0\n5: 1\n6: 1\n7: 0\n");
}

TEST_F(MbToolOverTcp, DeviceExceptionIsAFailure) {
    const TRun run = RunTool({"--tcp", Target(), "read", "3999", "5"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Invalid memory address.\n");
    EXPECT_TRUE(run.out.empty());
}

TEST(MbToolWithoutServer, ConnectionFailureIsAFailure) {
    TLoopbackListener listener;
    listener.Stop();
    const TRun run = RunTool({"--tcp", "127.0.0.1:" + std::to_string(listener.Port()), "--timeout",
                              "200", "read", "0", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Tag without a driver."), std::string::npos) << run.err;
}

TEST(MbToolOverRtu, ReadsAndWritesThroughAPseudoTerminalAndLogs) {
    TPtyPair masterLine, deviceLine;
    TModbusMapping mapping = NewMapping();
    TLibmodbusSlave slave(deviceLine.SlaveName(), 7, mapping.get());
    TLineRelay relay(masterLine, deviceLine);
    const std::string log = testing::TempDir() + "mbtool-io-" + std::to_string(getpid()) + ".log";
    std::remove(log.c_str());
    // Pseudo-terminals keep no parity setting.
    const std::vector<std::string> line{"--rtu",     masterLine.SlaveName(),
                                        "--parity",  "N",
                                        "--unit",    "7",
                                        "--timeout", "300",
                                        "--log",     log};
    auto with = [&](std::vector<std::string> command) {
        std::vector<std::string> args = line;
        args.insert(args.end(), command.begin(), command.end());
        return RunTool(args);
    };
    EXPECT_EQ(with({"write", "100", "42", "43"}).status, 0);
    const TRun read = with({"read", "100", "2"});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, "100: 42\n101: 43\n");
    EXPECT_NE(Slurp(log).find("iocWriteRead, Result=iorOK, Written:    07 03 00 64 00 02"),
              std::string::npos)
        << Slurp(log);
    const TRun silent = RunTool({"--rtu", masterLine.SlaveName(), "--parity", "N", "--unit", "9",
                                 "--timeout", "100", "read", "0", "1"});
    EXPECT_EQ(silent.status, 1);
    EXPECT_EQ(silent.err, "A empty packet was returned.\n");
}

} // namespace
