#include "tests/support/test_support.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace melvo::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "melvo-test-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = std::filesystem::path(std::string(name.data()));
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& path, const ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void WriteTextFile(const std::filesystem::path& path, const std::string& text) { WriteFile(path, BytesOf(text)); }

ByteVector ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ByteVector BytesOf(const std::string& text) { return ByteVector(text.begin(), text.end()); }

namespace {

void CloseIfOpen(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// The child's ends of its three pipes, and the parent's.
struct Spawned {
    pid_t pid = -1;
    int stdinFd = -1;   // parent's write end
    int stdoutFd = -1;  // parent's read end, closed when stdout goes to a file
    int stderrFd = -1;  // parent's read end
};

// Starts `argv` with its standard streams on pipes (stdin from /dev/null
// unless `stdinFromPipe`), in the options' environment and directory.
Spawned Spawn(const std::vector<std::string>& argv, const ProcessOptions& options, bool stdinFromPipe) {
    int inPipe[2] = {-1, -1};
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (pipe(inPipe) != 0 || pipe(outPipe) != 0 || pipe(errPipe) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        if (stdinFromPipe) {
            dup2(inPipe[0], STDIN_FILENO);
        } else {
            const int devNull = open("/dev/null", O_RDONLY);
            dup2(devNull, STDIN_FILENO);
        }
        if (options.standardOutputFile) {
            const int outFile = open(options.standardOutputFile->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(outFile, STDOUT_FILENO);
        } else {
            dup2(outPipe[1], STDOUT_FILENO);
        }
        dup2(errPipe[1], STDERR_FILENO);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) {
            close(fd);
        }
        for (const auto& [key, value] : options.environment) {
            setenv(key.c_str(), value.c_str(), 1);
        }
        if (options.workingDirectory && chdir(options.workingDirectory->c_str()) != 0) {
            _exit(126);
        }
        std::vector<char*> args;
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        // A program name without a slash is looked up through PATH, as a shell would.
        execvp(args[0], args.data());
        _exit(127);
    }
    signal(SIGPIPE, SIG_IGN);
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    return Spawned{child, inPipe[1], outPipe[0], errPipe[0]};
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    const Spawned spawned = Spawn(argv, options, options.standardInput || options.holdStandardInputOpen);
    const pid_t child = spawned.pid;
    int stdinFd = spawned.stdinFd;

    std::string input = options.standardInput.value_or("");
    std::size_t written = 0;
    if (options.holdStandardInputOpen) {
        input.clear();
    } else if (input.empty()) {
        CloseIfOpen(stdinFd);
    } else {
        fcntl(stdinFd, F_SETFL, O_NONBLOCK);
    }

    ProcessResult result;
    const auto deadline = std::chrono::steady_clock::now() + options.timeout;
    int outFd = spawned.stdoutFd;
    int errFd = spawned.stderrFd;
    char buffer[65536];
    while (outFd >= 0 || errFd >= 0) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            result.timedOut = true;
            kill(child, SIGKILL);
            break;
        }
        pollfd fds[3];
        int count = 0;
        auto add = [&](int fd, short events) {
            if (fd >= 0) {
                fds[count++] = pollfd{fd, events, 0};
            }
        };
        add(outFd, POLLIN);
        add(errFd, POLLIN);
        if (written < input.size()) {
            add(stdinFd, POLLOUT);
        }
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        if (poll(fds, static_cast<nfds_t>(count), static_cast<int>(std::min<long long>(remaining, 100))) < 0 &&
            errno != EINTR) {
            break;
        }
        for (int i = 0; i < count; ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            if (fds[i].fd == stdinFd) {
                const ssize_t n = write(stdinFd, input.data() + written, input.size() - written);
                if (n > 0) {
                    written += static_cast<std::size_t>(n);
                }
                if (n < 0 || written == input.size()) {
                    CloseIfOpen(stdinFd);
                }
                continue;
            }
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (fds[i].fd == outFd ? result.standardOutput : result.standardError)
                    .append(buffer, static_cast<std::size_t>(n));
            } else {
                if (fds[i].fd == outFd) {
                    CloseIfOpen(outFd);
                } else {
                    CloseIfOpen(errFd);
                }
            }
        }
    }
    CloseIfOpen(stdinFd);
    CloseIfOpen(outFd);
    CloseIfOpen(errFd);
    int status = 0;
    if (result.timedOut) {
        waitpid(child, &status, 0);
        return result;
    }
    // Output closed; the child may still be finishing.
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            result.timedOut = true;
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

RunningProcess::RunningProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    const Spawned spawned = Spawn(argv, options, true);
    pid_ = spawned.pid;
    stdinFd_ = spawned.stdinFd;
    stdoutFd_ = spawned.stdoutFd;
    stderrFd_ = spawned.stderrFd;
    if (options.standardOutputFile) {
        CloseIfOpen(stdoutFd_);
    }
}

RunningProcess::~RunningProcess() {
    if (!finished_) {
        kill(pid_, SIGKILL);
        Reap(true);
    }
    CloseIfOpen(stdinFd_);
    CloseIfOpen(stdoutFd_);
    CloseIfOpen(stderrFd_);
}

bool RunningProcess::WriteStdin(const std::string& text) {
    std::size_t written = 0;
    while (stdinFd_ >= 0 && written < text.size()) {
        const ssize_t n = write(stdinFd_, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return written == text.size();
}

void RunningProcess::CloseStdin() { CloseIfOpen(stdinFd_); }

bool RunningProcess::Reap(bool block) {
    if (finished_) {
        return true;
    }
    int status = 0;
    if (waitpid(pid_, &status, block ? 0 : WNOHANG) != pid_) {
        return false;
    }
    finished_ = true;
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

std::optional<int> RunningProcess::WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Reap(false)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return exitStatus_;
}

ProcessResult RunningProcess::Wait(std::chrono::milliseconds timeout) {
    ProcessResult result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[65536];
    for (;;) {
        pollfd fds[2];
        nfds_t count = 0;
        for (const int fd : {stdoutFd_, stderrFd_}) {
            if (fd >= 0) {
                fds[count++] = pollfd{fd, POLLIN, 0};
            }
        }
        if (count > 0) {
            poll(fds, count, 5);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            const bool isOut = fds[i].fd == stdoutFd_;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (isOut ? result.standardOutput : result.standardError).append(buffer, static_cast<std::size_t>(n));
            } else {
                CloseIfOpen(isOut ? stdoutFd_ : stderrFd_);
            }
        }
        if (Reap(false) && stdoutFd_ < 0 && stderrFd_ < 0) {
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            if (!finished_) {
                result.timedOut = true;
                kill(pid_, SIGKILL);
                Reap(true);
                exitStatus_ = -1;
            }
            break;
        }
    }
    result.exitStatus = exitStatus_;
    return result;
}

}  // namespace melvo::test
