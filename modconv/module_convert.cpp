#include "modconv/module_convert.hpp"

#include <algorithm>

namespace melvo {
namespace {

constexpr std::int32_t kLowestStaffNote = -1;                                                       // B-1
constexpr std::int32_t kHighestStaffNote = static_cast<std::int32_t>(kStaffPitchTable.size()) - 2;  // G-3

// Sample numbers with rules of their own.
constexpr std::int32_t kSampleOfLowHalf = 13;   // the low half of instrument 12
constexpr std::int32_t kSampleOfHighHalf = 16;  // the high half of instrument 12
constexpr std::int32_t kLastPlainSample = 15;
constexpr std::uint8_t kSplitInstrument = 12;
constexpr std::uint8_t kSplitPitch = 7;  // instrument 12 sounds from its high slot from here up

void AppendWarning(std::string& warnings, const char* what, std::int32_t pattern, std::int32_t row,
                   std::int32_t channel) {
    warnings += "Warning: ";
    warnings += what;
    warnings += " at pattern " + std::to_string(pattern) + ", row " + std::to_string(row) + ", channel " +
                std::to_string(channel) + "!\n";
}

}  // namespace

CellConversion ConvertCell(const NoteCell& cell) {
    CellConversion result;
    if (cell.note == kNoNote) {
        return result;
    }
    const bool inRange = cell.note >= kLowestStaffNote && cell.note <= kHighestStaffNote;
    // The table starts at B-1, note -1.
    std::uint8_t pitch = inRange ? kStaffPitchTable[static_cast<std::size_t>(cell.note - kLowestStaffNote)] : kNoPitch;
    std::int32_t instrument = cell.sampleNumber - 1;

    if (cell.sampleNumber == kSampleOfLowHalf) {
        pitch = std::min<std::uint8_t>(pitch, kSplitPitch - 1);
    } else if (cell.sampleNumber == kSampleOfHighHalf && inRange) {
        instrument = kSplitInstrument;
        pitch = std::max(pitch, kSplitPitch);
    } else if (cell.sampleNumber < 1 || cell.sampleNumber > kLastPlainSample) {
        result.instrumentWarning = true;
        instrument = 0;
    }

    if (pitch == kNoPitch) {
        result.noteWarning = true;
        return result;
    }
    result.slot = NoteSlot{pitch, static_cast<std::uint8_t>(instrument)};
    return result;
}

void ConvertModule(const ModuleRecord& module, SongImage& image, std::string& warnings) {
    for (BeatNotes& beat : image.song.notes) {
        beat.fill(NoteSlot{});
    }
    const auto positions = std::min<std::size_t>(static_cast<std::size_t>(std::max(module.songLength, 0)),
                                                 std::min(module.patterns.size(), module.order.size()));
    std::size_t beat = 0;
    for (std::size_t position = 0; position < positions; ++position) {
        const PatternCopy& pattern = module.patterns[position];
        const std::int32_t channels = std::min<std::int32_t>(pattern.channels, kSlotsPerBeat);
        for (std::int32_t row = 0; row < pattern.rows; ++row) {
            // Later rows are never looked at, so they never warn.
            if (beat == image.song.notes.size()) {
                return;
            }
            for (std::int32_t channel = 0; channel < channels; ++channel) {
                const CellConversion converted = ConvertCell(pattern.At(row, channel));
                if (converted.instrumentWarning) {
                    AppendWarning(warnings, "invalid instrument value", module.order[position], row, channel);
                }
                if (converted.noteWarning) {
                    AppendWarning(warnings, "invalid note ignored", module.order[position], row, channel);
                }
                image.song.notes[beat][static_cast<std::size_t>(channel)] = converted.slot;
            }
            ++beat;
        }
    }
}

}  // namespace melvo
