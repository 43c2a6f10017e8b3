// Menu choice 3: builds an instrument bank from sixteen WAV files that lie in
// one directory under fixed names, copying their sample bytes unchanged.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "formats/bank_layout.hpp"
#include "tool/tool_screen.hpp"

namespace melvo {

// The file of slot i fills slot i of the bank; 13-1 and 13-2 are the low and
// high halves of one instrument.
inline constexpr std::array<std::string_view, kBankSlotCount> WavFileNames = {
    "1.wav", "2.wav",  "3.wav",  "4.wav",  "5.wav",    "6.wav",    "7.wav",  "8.wav",
    "9.wav", "10.wav", "11.wav", "12.wav", "13-1.wav", "13-2.wav", "14.wav", "15.wav"};

// The directory text, the platform's path separator and the file name, with
// nothing added or removed.
std::string JoinWavPath(std::string_view directory, std::string_view fileName);

struct BankBuildAnswers {
    std::string directory;
    std::string bankName;
    std::string packName;
    std::string author;
};

enum class BankBuildOutcome {
    Done,
    WavNotLoaded,  // missing, not a regular file, or empty
    NoRiffHeader,
    LimitExceeded,  // RIFF size above 300000, or data that the table cannot address
    CannotWrite,    // refused, or the bank file could not be created, written or renamed
};

// The build after the prompts: reports its progress on `screen` and leaves
// the bank file in place only when the whole build succeeded.
BankBuildOutcome RunBankBuild(const BankBuildAnswers& answers, ToolScreen& screen);

// Asks the four questions, then builds. Always returns BackToMenu.
AfterOperation BuildBank(ToolScreen& screen);

}  // namespace melvo
