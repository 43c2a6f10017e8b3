// The tool's text screen on the terminal it runs in: standard output for
// printing, standard input for answers.
//
// Colours are escape sequences written only when standard output is a
// terminal, and reset when the console goes. When standard input is not a
// terminal nothing echoes what is read, so the console writes each answer
// line back itself and a piped transcript reads like the screen.
#pragma once

#include <string>
#include <string_view>

#include "tool/tool_screen.hpp"

namespace melvo {

// The escape sequence that selects `foreground` on `background`.
std::string ColourSequence(ScreenColour foreground, ScreenColour background);

// The sequence that returns the terminal to its own colours.
inline constexpr std::string_view kResetColours = "\x1b[0m";

// What Print writes for `text` on a terminal painting in `colours` (an escape
// sequence, or empty for the terminal's own): control bytes that a file name
// could smuggle in become '?', and each line end is written in the terminal's
// own colours, so that a scrolled-in row is not filled with the background.
std::string TerminalText(std::string_view text, std::string_view colours);

class ToolConsole final : public ToolScreen {
public:
    ToolConsole();
    ~ToolConsole() override;
    ToolConsole(const ToolConsole&) = delete;
    ToolConsole& operator=(const ToolConsole&) = delete;

    void Print(std::string_view text) override;
    std::string ReadField() override;
    void SetColours(ScreenColour foreground, ScreenColour background) override;
    void WaitForKey() override;

private:
    bool stdinIsTerminal_;
    bool stdoutIsTerminal_;
    std::string colours_;  // the sequence in force on a terminal; empty before any is set
};

}  // namespace melvo
