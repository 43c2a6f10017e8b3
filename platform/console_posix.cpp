#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>

#include "platform/console.hpp"

namespace melvo::platform {
namespace {

struct termios savedSettings {};
std::atomic<bool> keyModeActive{false};

// Written by the signal handler, so held in a fixed buffer: no allocation there.
char signalExitText[64] = {};
std::atomic<std::size_t> signalExitTextLength{0};

void RestoreOnSignal(int signalNumber) {
    if (keyModeActive.exchange(false)) {
        tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    }
    const std::size_t length = signalExitTextLength.load();
    if (length > 0) {
        [[maybe_unused]] const ssize_t written = write(STDOUT_FILENO, signalExitText, length);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void InstallRestoreHandlers() {
    for (const int signalNumber : {SIGINT, SIGTERM, SIGPIPE, SIGHUP, SIGQUIT}) {
        struct sigaction action {};
        action.sa_handler = RestoreOnSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
}

bool ReadOneByte(unsigned char& byte) {
    for (;;) {
        const ssize_t n = read(STDIN_FILENO, &byte, 1);
        if (n == 1) {
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

// An arrow or function key arrives as several bytes at once; take them all so
// they do not leak into the shell after exit.
void DrainPendingBytes() {
    struct pollfd waiting {};
    waiting.fd = STDIN_FILENO;
    waiting.events = POLLIN;
    unsigned char byte = 0;
    while (poll(&waiting, 1, 20) > 0 && (waiting.revents & POLLIN) != 0) {
        if (!ReadOneByte(byte)) {
            break;
        }
    }
}

}  // namespace

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }
bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void EnterKeyMode() {
    if (!StdinIsTerminal() || keyModeActive.load()) {
        return;
    }
    if (tcgetattr(STDIN_FILENO, &savedSettings) != 0) {
        return;
    }
    struct termios keySettings = savedSettings;
    // Only line editing and echo go; signals and output processing stay.
    keySettings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    keySettings.c_cc[VMIN] = 1;
    keySettings.c_cc[VTIME] = 0;
    InstallRestoreHandlers();
    keyModeActive.store(true);
    if (tcsetattr(STDIN_FILENO, TCSANOW, &keySettings) != 0) {
        keyModeActive.store(false);
    }
}

void SetSignalExitText(std::string_view text) {
    const std::size_t length = std::min(text.size(), sizeof signalExitText);
    signalExitTextLength.store(0);
    std::copy_n(text.data(), length, signalExitText);
    signalExitTextLength.store(length);
    if (length > 0) {
        InstallRestoreHandlers();
    }
}

void RestoreTerminal() {
    if (keyModeActive.exchange(false)) {
        tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    }
}

bool ReadKey() {
    unsigned char byte = 0;
    const bool gotKey = ReadOneByte(byte);
    if (gotKey && keyModeActive.load()) {
        DrainPendingBytes();
    }
    return gotKey;
}

void WaitForKey() {
    EnterKeyMode();
    ReadKey();
    RestoreTerminal();
}

void WriteStdout(std::string_view text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string_view ClearScreenSequence() { return StdoutIsTerminal() ? "\x1b[H\x1b[2J" : ""; }

std::string ForDisplay(std::string_view text, bool toTerminal) {
    std::string shown(text);
    if (toTerminal) {
        for (char& c : shown) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7F) {
                c = '?';
            }
        }
    }
    return shown;
}

std::string ForDisplay(std::string_view text) { return ForDisplay(text, StdoutIsTerminal()); }

}  // namespace melvo::platform
