#include "tool/tool_console.hpp"

#include <cstdio>
#include <optional>

#include "platform/console.hpp"
#include "tool/read_field.hpp"

namespace melvo {
namespace {

int ForegroundCode(ScreenColour colour) {
    switch (colour) {
        case ScreenColour::Black:
            return 30;
        case ScreenColour::Red:
            return 31;
        case ScreenColour::BrightWhite:
            return 97;
    }
    return 39;
}

int BackgroundCode(ScreenColour colour) { return ForegroundCode(colour) + 10; }

std::optional<char> NextStandardInputByte() {
    const int c = std::getchar();
    if (c == EOF) {
        return std::nullopt;
    }
    return static_cast<char>(c);
}

}  // namespace

std::string ColourSequence(ScreenColour foreground, ScreenColour background) {
    return "\x1b[" + std::to_string(ForegroundCode(foreground)) + ";" + std::to_string(BackgroundCode(background)) +
           "m";
}

std::string TerminalText(std::string_view text, std::string_view colours) {
    std::string shown;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t lineEnd = text.find('\n', start);
        const std::string_view run =
            text.substr(start, lineEnd == std::string_view::npos ? text.npos : lineEnd - start);
        shown += platform::ForDisplay(run, true);
        if (lineEnd == std::string_view::npos) {
            break;
        }
        if (colours.empty()) {
            shown += '\n';
        } else {
            shown += kResetColours;
            shown += '\n';
            shown += colours;
        }
        start = lineEnd + 1;
    }
    return shown;
}

ToolConsole::ToolConsole()
    : stdinIsTerminal_(platform::StdinIsTerminal()), stdoutIsTerminal_(platform::StdoutIsTerminal()) {}

ToolConsole::~ToolConsole() {
    if (!colours_.empty()) {
        platform::WriteStdout(kResetColours);
        platform::SetSignalExitText({});
    }
}

void ToolConsole::Print(std::string_view text) {
    if (stdoutIsTerminal_) {
        platform::WriteStdout(TerminalText(text, colours_));
    } else {
        platform::WriteStdout(text);
    }
}

std::string ToolConsole::ReadField() {
    // A terminal has echoed the typed line and its Enter already.
    const bool echoLine = !stdinIsTerminal_;
    const TypedLine line = ReadTypedLine(NextStandardInputByte, [&](std::string_view piece) {
        if (echoLine) {
            Print(piece);
        }
    });
    // Closed input leaves the cursor on the prompt's row; an answer always
    // leaves it at the start of the next.
    if (echoLine || line.endedByEndOfInput) {
        Print("\n");
    }
    return line.field;
}

void ToolConsole::SetColours(ScreenColour foreground, ScreenColour background) {
    if (!stdoutIsTerminal_) {
        return;
    }
    colours_ = ColourSequence(foreground, background);
    platform::WriteStdout(colours_);
    // Interrupted at a prompt, the tool must not leave the terminal painted.
    platform::SetSignalExitText(kResetColours);
}

void ToolConsole::WaitForKey() { platform::WaitForKey(); }

}  // namespace melvo
