#include "modconv/converter_entry.hpp"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "formats/text_field.hpp"
#include "modconv/module_convert.hpp"
#include "modconv/module_loader.hpp"
#include "modconv/song_image.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

namespace melvo {
namespace {

constexpr std::size_t kMaxArguments = 4;
constexpr std::string_view kSongExtension = ".mvs";

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string TempoLine(const std::optional<std::int32_t>& tempo) {
    if (tempo) {
        return "Tempo: " + std::to_string(*tempo) + "\n";
    }
    return "Using the default tempo of " + std::to_string(kConverterDefaultTempoValue) + "\n";
}

// Only ever called from ConverterMain: on a console the line discipline
// holds the read until Enter; closed or empty input returns at once.
void WaitForEnter() { static_cast<void>(std::getchar()); }

}  // namespace

std::optional<ConverterSettings> ParseConverterArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.size() > kMaxArguments) {
        return std::nullopt;
    }
    ConverterSettings settings;
    settings.inputPath = arguments[0];
    settings.outputPath = arguments.size() > 1 ? arguments[1] : arguments[0] + std::string(kSongExtension);
    if (arguments.size() > 2) {
        settings.tempo = ParseTempoText(arguments[2]);
    }
    if (arguments.size() > 3) {
        settings.author = arguments[3].substr(0, kConverterAuthorMaxLength);
    }
    return settings;
}

std::int32_t ParseTempoText(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsCSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // Saturate just past the 32-bit range; more digits cannot bring it back.
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        magnitude = std::min(kLimit, magnitude * 10 + (text[at] - '0'));
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::uint8_t SongTempoByte(std::int32_t tempo) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(tempo) & 0xFFu);
}

int RunConverter(const std::vector<std::string>& arguments, const ConsoleWriter& write, bool toTerminal) {
    write(kConverterBanner);
    const std::optional<ConverterSettings> settings = ParseConverterArguments(arguments);
    if (!settings) {
        write(kConverterUsageLine);
        return kConverterSucceeded;
    }
    write(TempoLine(settings->tempo));

    ModuleRecord module;
    std::string readerLines;
    const int loadStatus = LoadModule(module, settings->inputPath, readerLines, toTerminal);
    write(readerLines);
    if (loadStatus != kModuleLoaded) {
        write("Error: Couldn't load amigamod " + settings->inputPath + "!\n");
        return kConverterFailed;
    }
    write("Author: " + settings->author + "\n");
    write("Amigamod " + settings->inputPath + " loaded successfully.\n");
    write("\nConverting...\n");

    SongImage image;
    InitSongImage(image);
    std::string warnings;
    ConvertModule(module, image, warnings);
    write(warnings);
    image.song.title = MakeTextField(ModuleNameText(module), kModuleNameSize);
    image.song.tempo = SongTempoByte(settings->tempo.value_or(kConverterDefaultTempoValue));
    image.song.author = MakeTextField(settings->author, kConverterAuthorMaxLength);

    // Replacing the module with its own song would destroy the input.
    if (platform::IsSameFile(settings->inputPath, settings->outputPath) ||
        !WriteSongImage(image, settings->outputPath)) {
        write("Save error!\n");
        return kConverterFailed;
    }
    write("MVS saved successfully to " + settings->outputPath + "\n");
    return kConverterSucceeded;
}

int ConverterMain(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    const int status = RunConverter(arguments, platform::WriteStdout, platform::StdoutIsTerminal());
    platform::WriteStdout(kConverterEnterPrompt);
    WaitForEnter();
    return status;
}

}  // namespace melvo
