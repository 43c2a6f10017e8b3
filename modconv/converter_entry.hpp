// The course of one modmelvo run: banner, command line, load, convert, write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace melvo {

inline constexpr std::string_view kConverterBanner = "modmelvo v0.55\nall n00bs\n\n";
inline constexpr std::string_view kConverterUsageLine = "Usage: modmelvo.exe input.mod [output.mvs] [tempo] [author]\n";
inline constexpr std::string_view kConverterEnterPrompt = "\nPress enter to quit.\n";
inline constexpr std::int32_t kConverterDefaultTempoValue = 150;
inline constexpr std::size_t kConverterAuthorMaxLength = 31;

inline constexpr int kConverterSucceeded = 0;  // also after the usage line
inline constexpr int kConverterFailed = 1;     // module not loaded or song not written

struct ConverterSettings {
    std::string inputPath;
    std::string outputPath;             // the input path + ".mvs" unless given
    std::optional<std::int32_t> tempo;  // none: the default, 150
    std::string author;                 // at most 31 characters, empty unless given
};

// Settings from the arguments after the program name, or none when there
// are not one to four of them.
std::optional<ConverterSettings> ParseConverterArguments(const std::vector<std::string>& arguments);

// The tempo text read as strtol reads decimal text (leading white space, a
// sign, digits up to the first non-digit; none gives 0), clamped to 32 bits.
std::int32_t ParseTempoText(std::string_view text);

// The song's tempo byte: the low eight bits of the run's tempo.
std::uint8_t SongTempoByte(std::int32_t tempo);

using ConsoleWriter = std::function<void(std::string_view)>;

// Runs everything up to, not including, the Enter prompt; every line goes
// to `write` in the order it is shown. Returns the exit status.
int RunConverter(const std::vector<std::string>& arguments, const ConsoleWriter& write, bool toTerminal = false);

// The whole program: the run on standard output, the Enter prompt, one
// character read from standard input.
int ConverterMain(int argc, char** argv);

}  // namespace melvo
