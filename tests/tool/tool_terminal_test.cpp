// melvotool on a real pseudo-terminal: the banner in colour, the terminal's
// own echo of a typed answer (and no second one), the colours reset at the
// end, and the terminal settings as they were after a key was waited for.
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>

#include "tests/tool/tool_transcript.hpp"
#include "tool/tool_console.hpp"

namespace melvo {
namespace {

// A shell command run on a fresh pseudo-terminal, driven like a user at it.
class TerminalSession {
public:
    explicit TerminalSession(const std::string& command) {
        child_ = forkpty(&master_, nullptr, nullptr, nullptr);
        if (child_ == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~TerminalSession() {
        if (child_ > 0 && !reaped_) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        if (master_ >= 0) {
            close(master_);
        }
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    bool started() const { return child_ > 0 && master_ >= 0; }
    const std::string& output() const { return output_; }

    // Reads until `text` shows up after what was already waited for.
    bool WaitFor(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            const std::size_t found = output_.find(text, searchFrom_);
            if (found != std::string::npos) {
                searchFrom_ = found + text.size();
                return true;
            }
            if (std::chrono::steady_clock::now() >= deadline || !ReadSome(100)) {
                return false;
            }
        }
    }

    // Waits until the program on the terminal has turned its echo off, as a
    // key wait does; a key typed earlier would be echoed by the terminal.
    bool WaitForEchoOff() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            termios settings{};
            if (tcgetattr(master_, &settings) == 0 && (settings.c_lflag & ECHO) == 0) {
                return true;
            }
            ReadSome(10);
        }
        return false;
    }

    void Type(const std::string& keys) {
        EXPECT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Reads everything up to the session's end and returns its exit status,
    // or -1 when a signal ended it.
    int Finish() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline && ReadSome(100)) {
        }
        int status = 0;
        waitpid(child_, &status, 0);
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    // False once the terminal's other side is closed.
    bool ReadSome(int timeoutMs) {
        pollfd waiting{master_, POLLIN, 0};
        const int ready = poll(&waiting, 1, timeoutMs);
        if (ready <= 0) {
            return ready == 0 || errno == EINTR;
        }
        char buffer[4096];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        output_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int master_ = -1;
    pid_t child_ = -1;
    bool reaped_ = false;
    std::string output_;
    std::size_t searchFrom_ = 0;
};

// The first and the last line of a session that ran "stty -g" around the tool.
struct SettingsLines {
    std::string before;
    std::string after;
};

SettingsLines SettingsAround(const std::string& output) {
    const std::size_t firstEnd = output.find("\r\n");
    const std::size_t lastEnd = output.rfind("\r\n");
    const std::size_t lastStart = output.rfind("\r\n", lastEnd - 1);
    if (firstEnd == std::string::npos || lastStart == std::string::npos) {
        return {};
    }
    std::string after = output.substr(lastStart + 2, lastEnd - lastStart - 2);
    // The tool's colour reset may precede the line that stty printed.
    const std::size_t reset = after.rfind(kResetColours);
    if (reset != std::string::npos) {
        after = after.substr(reset + kResetColours.size());
    }
    return {output.substr(0, firstEnd), after};
}

std::string AroundTool(const std::string& arguments) {
    return "stty -g; '" + test::kToolProgram + "' " + arguments + "; stty -g";
}

TEST(ToolTerminal, ColouredBannerSingleEchoAndColoursResetAtTheEnd) {
    TerminalSession session(AroundTool(""));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("Waiting --> "));
    session.Type("2\n");
    ASSERT_TRUE(session.WaitFor("(source): "));
    session.Type("NoSuchSong.mvs\n");
    ASSERT_TRUE(session.WaitFor("MVS File not found."));
    ASSERT_TRUE(session.WaitFor("Waiting --> "));
    session.Type("x\n");
    EXPECT_EQ(session.Finish(), 0);
    const std::string& out = session.output();

    const std::string redBanner = ColourSequence(ScreenColour::BrightWhite, ScreenColour::Red) +
                                  "--------------------------------------------" + std::string(kResetColours) + "\r\n";
    EXPECT_NE(out.find(redBanner), std::string::npos) << out;
    const std::string whiteOnBlack = ColourSequence(ScreenColour::BrightWhite, ScreenColour::Black);
    EXPECT_NE(out.find(whiteOnBlack + "[1] Rip .ZST file for Mario Paint Audio."), std::string::npos) << out;

    // The terminal echoes what is typed; the tool adds no echo of its own.
    EXPECT_NE(out.find("Waiting --> 2\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find("(source): NoSuchSong.mvs\r\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("NoSuchSong.mvs"), out.rfind("NoSuchSong.mvs")) << out;

    // Nothing after the last answer but the reset and the closing stty line.
    const std::size_t lastAnswer = out.rfind("Waiting --> x\r\n");
    ASSERT_NE(lastAnswer, std::string::npos) << out;
    const std::string tail = out.substr(lastAnswer + 15);
    EXPECT_EQ(tail.find(kResetColours), tail.rfind("\x1b[")) << tail;
    EXPECT_NE(tail.find(kResetColours), std::string::npos) << tail;

    const SettingsLines settings = SettingsAround(out);
    EXPECT_FALSE(settings.before.empty());
    EXPECT_EQ(settings.before, settings.after);
}

TEST(ToolTerminal, KeyWaitRestoresTheTerminalSettings) {
    TerminalSession session(AroundTool("-c in.zst out.mvs"));
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("CMDMvi: "));
    ASSERT_TRUE(session.WaitForEchoOff());
    session.Type("k");
    EXPECT_EQ(session.Finish(), 0);
    const std::string& out = session.output();
    EXPECT_NE(out.find("Commandline Missing Argument."), std::string::npos) << out;
    // The key is taken without echo.
    EXPECT_EQ(out.find('k', out.find("CMDMvi: ")), std::string::npos) << out;

    const SettingsLines settings = SettingsAround(out);
    EXPECT_FALSE(settings.before.empty());
    EXPECT_EQ(settings.before, settings.after);
}

TEST(ToolTerminal, InterruptAtThePromptResetsTheColours) {
    TerminalSession session("exec '" + test::kToolProgram + "'");
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.WaitFor("Waiting --> "));
    session.Type("\x03");
    EXPECT_EQ(session.Finish(), -1);
    const std::string& out = session.output();
    const std::string afterPrompt = out.substr(out.rfind("Waiting --> "));
    EXPECT_NE(afterPrompt.find(kResetColours), std::string::npos) << afterPrompt;
}

}  // namespace
}  // namespace melvo
