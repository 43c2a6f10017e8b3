// Running the real melvotool with piped answers, and the screen texts that
// its transcripts are compared against.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.hpp"

namespace melvo::test {

inline const std::string kToolProgram = std::string(MELVO_BIN_DIR) + "/melvotool";

inline const std::string kBanner =
    "--------------------------------------------\n"
    "Melvo Tool v1.1a - Vornak - 1st May 2007    \n"
    "- ZSNES States / Mario Paint Music Ripper - \n"
    "--------------------------------------------\n";

inline const std::string kMenu =
    "\n"
    "[1] Rip .ZST file for Mario Paint Audio.\n"
    "[2] Insert .MVS into .ZST File\n"
    "[3] Make MVI Instrument File. (Read manual!!)\n"
    "\n"
    "Note: Only compatible with ZSNES Save States,\n"
    "      Version V143.\n"
    "\n"
    "For commandline usage:\n"
    "melvotool.exe -c in.zst out.mvs \"name\" \"author\" default.mvi\n"
    "\n";

inline const std::string kPrompt = "\nWaiting --> ";

// What a run shows up to its first prompt.
inline const std::string kOpening = kBanner + kMenu + kPrompt;

// Runs melvotool in `directory` with `arguments` after the program name and
// `answers` as its standard input.
inline ProcessResult RunToolIn(const std::filesystem::path& directory, const std::vector<std::string>& arguments,
                               const std::string& answers) {
    std::vector<std::string> argv{kToolProgram};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ProcessOptions options;
    options.standardInput = answers;
    options.workingDirectory = directory;
    options.timeout = std::chrono::seconds(20);
    return RunProcess(argv, options);
}

// A save state of `size` bytes that begins with `magic`; every other byte
// depends on its offset, so a copy from a wrong place shows.
inline ByteVector SaveStateBytes(std::size_t size, const std::string& magic = "ZSNE") {
    ByteVector bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + 3) % 251);
    }
    for (std::size_t i = 0; i < magic.size() && i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(magic[i]);
    }
    return bytes;
}

inline ByteVector Slice(const ByteVector& bytes, std::size_t offset, std::size_t size) {
    return ByteVector(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                      bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

}  // namespace melvo::test
