#include "tool/tool_entry.hpp"

#include <array>
#include <string_view>

#include "tool/bank_builder.hpp"
#include "tool/save_state_transfer.hpp"

namespace melvo {
namespace {

// Argument positions after the program name.
constexpr std::size_t kSwitchArgument = 0;
constexpr std::size_t kFirstValueArgument = 1;
constexpr std::size_t kValueCount = 5;
constexpr std::size_t kExtraArgument = kFirstValueArgument + kValueCount;

constexpr std::array<std::string_view, 4> kBanner = {
    "--------------------------------------------",
    "Melvo Tool v1.1a - Vornak - 1st May 2007    ",
    "- ZSNES States / Mario Paint Music Ripper - ",
    "--------------------------------------------",
};

constexpr std::array<std::string_view, 11> kMenu = {
    "",
    "[1] Rip .ZST file for Mario Paint Audio.",
    "[2] Insert .MVS into .ZST File",
    "[3] Make MVI Instrument File. (Read manual!!)",
    "",
    "Note: Only compatible with ZSNES Save States,",
    "      Version V143.",
    "",
    "For commandline usage:",
    "melvotool.exe -c in.zst out.mvs \"name\" \"author\" default.mvi",
    "",
};

constexpr std::array<std::string_view, kValueCount> kValueLabels = {
    "CMDLoad: ", "CMDSave: ", "CMDSong: ", "CMDAuthor: ", "CMDMvi: "};

std::string ArgumentOrEmpty(const std::vector<std::string>& arguments, std::size_t index) {
    return index < arguments.size() ? arguments[index] : std::string();
}

std::array<std::string*, kValueCount> ValueFields(ToolState& state) {
    return {&state.stateFileArg, &state.songFileArg, &state.songNameArg, &state.authorArg, &state.bankNameArg};
}

void PrintBanner(ToolScreen& screen) {
    screen.SetColours(ScreenColour::BrightWhite, ScreenColour::Red);
    for (const std::string_view line : kBanner) {
        screen.PrintLine(line);
    }
    screen.SetColours(ScreenColour::BrightWhite, ScreenColour::Black);
}

void PrintMenu(ToolScreen& screen) {
    for (const std::string_view line : kMenu) {
        screen.PrintLine(line);
    }
}

// Prints the refusal of a command line; the run then ends after a key.
void PrintCommandLineRefusal(const CommandLineCheck& check, ToolState& state, ToolScreen& screen) {
    if (check.verdict == CommandLineVerdict::MissingArgument) {
        screen.PrintLine("Commandline Missing Argument.");
        const auto values = ValueFields(state);
        for (std::size_t i = 0; i < kValueCount; ++i) {
            screen.PrintLine(std::string(kValueLabels[i]) + *values[i] + " ");
        }
    } else {
        screen.PrintLine("Too many arguments.");
        screen.PrintLine("Arg: " + check.extraArgument + " ");
    }
}

AfterOperation Perform(MenuOperation operation, const ToolState& state, ToolScreen& screen) {
    switch (operation) {
        case MenuOperation::Rip:
            return RipSong(state, screen);
        case MenuOperation::Inject:
            return InjectSong(screen);
        case MenuOperation::BuildBank:
            return BuildBank(screen);
        case MenuOperation::None:
            break;
    }
    return AfterOperation::EndTool;
}

}  // namespace

CommandLineCheck ExamineCommandLine(const std::vector<std::string>& arguments, ToolState& state) {
    if (ArgumentOrEmpty(arguments, kSwitchArgument) != "-c") {
        return {};
    }
    const auto values = ValueFields(state);
    bool anyMissing = false;
    for (std::size_t i = 0; i < kValueCount; ++i) {
        *values[i] = ArgumentOrEmpty(arguments, kFirstValueArgument + i);
        anyMissing = anyMissing || values[i]->empty();
    }
    if (anyMissing) {
        return {CommandLineVerdict::MissingArgument, {}};
    }
    const std::string extra = ArgumentOrEmpty(arguments, kExtraArgument);
    if (!extra.empty()) {
        return {CommandLineVerdict::TooManyArguments, extra};
    }
    return {CommandLineVerdict::Rip, {}};
}

MenuOperation ChosenOperation(const ToolState& state) {
    if (state.commandLineMode || state.choice == '1') {
        return MenuOperation::Rip;
    }
    if (state.choice == '2') {
        return MenuOperation::Inject;
    }
    if (state.choice == '3') {
        return MenuOperation::BuildBank;
    }
    return MenuOperation::None;
}

int RunTool(const std::vector<std::string>& arguments, ToolScreen& screen) {
    ToolState state;
    PrintBanner(screen);
    bool showMenu = true;
    for (;;) {
        if (showMenu) {
            PrintMenu(screen);
        }
        if (!state.commandLineChecked) {
            const CommandLineCheck check = ExamineCommandLine(arguments, state);
            if (check.verdict == CommandLineVerdict::MissingArgument ||
                check.verdict == CommandLineVerdict::TooManyArguments) {
                PrintCommandLineRefusal(check, state, screen);
                screen.WaitForKey();
                return kToolExitSuccess;
            }
            state.commandLineMode = check.verdict == CommandLineVerdict::Rip;
        }
        screen.PrintLine("");
        screen.Print("Waiting --> ");
        if (!state.commandLineMode) {
            const std::string answer = screen.ReadField();
            state.choice = answer.empty() ? std::nullopt : std::optional<char>(answer.front());
        }
        state.commandLineChecked = true;

        const MenuOperation operation = ChosenOperation(state);
        if (operation == MenuOperation::None) {
            return kToolExitSuccess;
        }
        const AfterOperation after = Perform(operation, state, screen);
        // A command-line run performs its one rip and ends either way.
        if (state.commandLineMode) {
            return after == AfterOperation::EndTool ? kToolExitSuccess : kToolExitRipFailed;
        }
        if (after == AfterOperation::EndTool) {
            return kToolExitSuccess;
        }
        showMenu = after == AfterOperation::BackToMenu;
    }
}

}  // namespace melvo
