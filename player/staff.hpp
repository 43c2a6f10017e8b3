// The song drawn as text: a header block, a cursor line, and two staves of
// 48 beats each on which every note is its instrument's letter.
//
// Everything here returns text; printing is the caller's business, so the
// audio callback can write finished frames and tests can read them.
#pragma once

#include <array>
#include <string>

#include "formats/song_record.hpp"
#include "player/bank_file.hpp"

namespace melvo {

inline constexpr int kStaffRowCount = 13;      // row 0 (pitch 13) .. row 12 (pitch 1)
inline constexpr int kStaffWidth = 53;         // characters per row
inline constexpr int kBeatsPerStaff = 48;      // staff 0: beats 0..47, staff 1: 48..95
inline constexpr int kFirstBeatColumn = 2;     // beat b sits in column 2 + (b mod 48)
inline constexpr int kHighestStaffPitch = 13;  // pitches above have no row

using StaffRow = std::array<char, kStaffWidth>;
using Staff = std::array<StaffRow, kStaffRowCount>;

struct StaffText {
    std::array<Staff, 2> staves{};
};

// The two staves with every note of the song placed on them; a later slot's
// letter replaces an earlier one in the same cell.
StaffText BuildStaves(const SongRecord& song);

// The six header lines: program name, blank, title, author, bank, blank.
// The texts are the fields' bytes, unchanged.
std::string DrawHeader(const SongRecord& song, const InstrumentBank& bank);

// The cursor line ("@" above the beat's column, beat 0..95) and the 13 rows
// of the beat's staff.
std::string DrawStaff(const StaffText& staves, int beat);

}  // namespace melvo
