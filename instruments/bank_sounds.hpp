// The sixteen sounds of the default bank, synthesised from nothing but
// arithmetic, so the suite plays out of the box without borrowed samples.
//
// Every pitched sound is recorded at B3 (about 246.9 Hz), the note of the
// lowest staff pitch, which the player plays at recorded speed; the staff
// then reads as written (the next pitch up is middle C). Each starts with
// silence, since the bank lets a slot run on into the first samples of the
// next one, and each ends faded out.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace melvo::instruments {

inline constexpr std::uint32_t kSoundRate = 32004;       // samples per second
inline constexpr double kLowestStaffNoteHz = 246.94165;  // B3 = 440 * 2^(-10/12)
inline constexpr std::size_t kLeadingSilence = 24;       // samples; the bank shows 18 of the next slot

struct BankSound {
    std::string_view fileName;  // the bank builder's name for the slot
    std::string_view name;      // what it sounds like
    std::vector<std::int16_t> (*synthesise)();
};

// Slot i of the bank, in slot order.
const std::array<BankSound, 16>& BankSounds();

}  // namespace melvo::instruments
