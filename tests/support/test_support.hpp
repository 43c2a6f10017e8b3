// Helpers shared by the test suites: scratch directories, file fixtures, and
// running the real programs as a user would.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace melvo::test {

using ByteVector = std::vector<std::uint8_t>;

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const ByteVector& bytes);
void WriteTextFile(const std::filesystem::path& path, const std::string& text);
ByteVector ReadFile(const std::filesystem::path& path);
ByteVector BytesOf(const std::string& text);

struct ProcessOptions {
    std::optional<std::string> standardInput;        // nullopt: /dev/null
    bool holdStandardInputOpen = false;              // never send end of input
    std::map<std::string, std::string> environment;  // added to (or replacing) the inherited environment
    std::optional<std::filesystem::path> workingDirectory;
    std::optional<std::filesystem::path> standardOutputFile;  // write stdout here instead of capturing
    std::chrono::milliseconds timeout{20000};
};

struct ProcessResult {
    int exitStatus = -1;  // exit code, or -1 when killed by a signal or timed out
    bool timedOut = false;
    std::string standardOutput;
    std::string standardError;
};

// Runs `argv` (argv[0] is the program path, used as given) and waits for it.
ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// A program left running so that a test can watch it and send it input later
// (a key once its output shows what the test waits for). Its standard input
// is a pipe that stays open until CloseStdin or Wait; standard output goes to
// options.standardOutputFile, or to a pipe that is read only in Wait (so a
// test can let it fill up). Standard error is read only in Wait, too.
// options.standardInput, holdStandardInputOpen and timeout are not used.
class RunningProcess {
public:
    RunningProcess(const std::vector<std::string>& argv, const ProcessOptions& options);
    ~RunningProcess();  // kills the program if it still runs
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    bool WriteStdin(const std::string& text);
    void CloseStdin();
    // Waits for the end without reading the pipes (so a full pipe stays
    // full); the exit status, or nothing if the program still runs.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    // Reads the pipes until the program ends or `timeout` passes (then kills
    // it and sets timedOut).
    ProcessResult Wait(std::chrono::milliseconds timeout);

private:
    bool Reap(bool block);

    int pid_ = -1;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    int stderrFd_ = -1;
    bool finished_ = false;
    int exitStatus_ = -1;
};

}  // namespace melvo::test
