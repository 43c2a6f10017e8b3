// The module-to-song conversion: the first 96 rows in play order become the
// 96 beats, channels 0 to 2 the three slots; notes map to staff pitches and
// sample numbers to instruments.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "formats/song_record.hpp"
#include "modconv/module_record.hpp"
#include "modconv/song_image.hpp"

namespace melvo {

inline constexpr std::uint8_t kNoPitch = 0;  // a note without a place on the staff

// Staff pitch by note number + 1: the naturals B-1 (note -1) to G-3 (note 19)
// are pitches 1 to 13; sharps have none.
inline constexpr std::array<std::uint8_t, 21> kStaffPitchTable = {
    1,         // B-1
    2,         // C-2
    kNoPitch,  // C#2
    3,         // D-2
    kNoPitch,  // D#2
    4,         // E-2
    5,         // F-2
    kNoPitch,  // F#2
    6,         // G-2
    kNoPitch,  // G#2
    7,
    kNoPitch,  // A#2
    8,         // B-2
    9,         // C-3
    kNoPitch,  // C#3
    10,        // D-3
    kNoPitch,  // D#3
    11,        // E-3
    12,        // F-3
    kNoPitch,  // F#3
    13,        // G-3
};

// What one cell puts in its slot, and what it warns about.
struct CellConversion {
    NoteSlot slot;  // the empty pair when nothing is placed
    bool instrumentWarning = false;
    bool noteWarning = false;
};

// The slot rule for one cell: note to pitch through the table, sample number
// to instrument (13 keeps to pitches 1..6, 16 plays instrument 12 from pitch
// 7 up, 0 and 17..31 fall back to instrument 0 with a warning).
CellConversion ConvertCell(const NoteCell& cell);

// Fills the image's notes from the module and appends a warning line for
// every note it cannot place. Always completes.
void ConvertModule(const ModuleRecord& module, SongImage& image, std::string& warnings);

}  // namespace melvo
