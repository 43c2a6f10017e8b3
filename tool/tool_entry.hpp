// One run of the tool: banner, menu, prompt, the operations, and the
// command line that can turn the run into a single rip.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tool/tool_screen.hpp"
#include "tool/tool_state.hpp"

namespace melvo {

inline constexpr int kToolExitSuccess = 0;
// A command-line rip that wrote no song: a script must not take it for success.
inline constexpr int kToolExitRipFailed = 1;

enum class CommandLineVerdict { Interactive, MissingArgument, TooManyArguments, Rip };

struct CommandLineCheck {
    CommandLineVerdict verdict = CommandLineVerdict::Interactive;
    std::string extraArgument;  // the seventh argument, for TooManyArguments
};

// Examines the arguments that follow the program name. For anything but an
// interactive run it fills the five argument texts of `state`.
CommandLineCheck ExamineCommandLine(const std::vector<std::string>& arguments, ToolState& state);

enum class MenuOperation { Rip, Inject, BuildBank, None };

// What the prompt's answer (or the command line) asks for.
MenuOperation ChosenOperation(const ToolState& state);

// Runs the tool over `screen` with the arguments that follow the program
// name, and returns the exit status.
int RunTool(const std::vector<std::string>& arguments, ToolScreen& screen);

}  // namespace melvo
