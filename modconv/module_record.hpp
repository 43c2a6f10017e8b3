// The module as the converter walks it: the song's positions in play order,
// each holding its own decoded copy of the pattern that the order list names.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace melvo {

inline constexpr std::int32_t kRowsPerPattern = 64;
inline constexpr std::int32_t kNoNote = -999;  // a cell without a note, or a period off the table
inline constexpr std::size_t kModuleNameSize = 20;

// One channel of one row, in the converter's units.
struct NoteCell {
    std::int32_t note = kNoNote;       // -12..23 (C-1..B-3, 0 = C-2), or kNoNote
    std::int32_t sampleNumber = 0;     // 0..31; 0 means no sample given
    std::int32_t effect = 0;           // 0..15; carried, never used
    std::int32_t effectParameter = 0;  // 0..255

    friend bool operator==(const NoteCell&, const NoteCell&) = default;
};

struct PatternCopy {
    std::int32_t rows = kRowsPerPattern;  // always 64
    std::int32_t channels = 4;            // cells per row: 4 or 8
    std::vector<NoteCell> cells;          // rows x channels, row after row, channel 0 first

    const NoteCell& At(std::int32_t row, std::int32_t channel) const {
        const auto index = static_cast<std::size_t>(row) * static_cast<std::size_t>(channels);
        return cells[index + static_cast<std::size_t>(channel)];
    }
    friend bool operator==(const PatternCopy&, const PatternCopy&) = default;
};

struct ModuleRecord {
    std::array<std::uint8_t, kModuleNameSize> name{};  // as stored: text, then zero bytes
    std::int32_t songLength = 0;                       // positions in play order, 0..128
    std::vector<std::int32_t> order;                   // pattern number per position, 0..255
    std::int32_t patternCount = 0;                     // 1 + the highest of all 128 order entries
    std::vector<PatternCopy> patterns;                 // one per position, patterns[i] is pattern order[i]
};

// The song name as text: up to the first zero byte, at most 20 characters.
std::string ModuleNameText(const ModuleRecord& module);

}  // namespace melvo
