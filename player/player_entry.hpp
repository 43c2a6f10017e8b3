// The course of one player run: arguments, program directory, song, bank, play.
#pragma once

#include <string>
#include <string_view>

namespace melvo {

inline constexpr std::string_view kPlayerSyntaxLine = "Syntax: melvoplay.exe <filename>\n";

// The directory where banks are looked for: the program directory followed
// by "instruments" and the path separator.
std::string InstrumentsDirectory(std::string_view programDirectory);

// Runs the player and returns its exit status (ReportError ends the process
// itself with status 1).
int RunPlayer(int argc, char** argv);

}  // namespace melvo
