// Moving a song between a ZSNES 1.43 save state and a song file.
//
// Of a save state the tool knows three things: it begins with "ZSNE", the
// song's 576-byte note block (the song file's layout) lies at offset 5623,
// and the song's tempo byte at offset 6203. Everything else in it is left
// alone. Bytes that a file does not hold are read as zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "formats/byte_io.hpp"
#include "formats/song_record.hpp"
#include "tool/tool_screen.hpp"
#include "tool/tool_state.hpp"

namespace melvo {

inline constexpr std::array<std::uint8_t, 4> kStateMagic = {'Z', 'S', 'N', 'E'};
inline constexpr std::size_t kStateNotesOffset = 5623;
inline constexpr std::size_t kStateTempoOffset = 6203;
inline constexpr std::size_t kStateSongEnd = kStateTempoOffset + 1;  // 6204: what a rip reads of a state

// Where a song file of `version` keeps its note block and tempo byte;
// nothing for a version the injector does not know.
struct SongNotesPlace {
    std::size_t notesOffset;
    std::size_t tempoOffset;
};
std::optional<SongNotesPlace> SongNotesPlaceFor(std::uint16_t version);

// The song file that a rip writes for a save state, given the state's first
// bytes (missing bytes count as zero); nothing when it is not a save state.
std::optional<SongFileImage> RipSongImage(Bytes saveStateHead, const TextField& title, const TextField& author,
                                          const TextField& bankName);

enum class InjectRefusal { DestinationNotState, SourceNotSong, IncompatibleVersion };

// What an inject writes into a save state: the note block at
// kStateNotesOffset and the tempo byte at kStateTempoOffset.
struct InjectPatch {
    std::uint16_t version = 0;
    std::array<std::uint8_t, kNoteBlockSize> notes{};
    std::uint8_t tempo = 0;
};

// Checks a song file's and a save state's first bytes in the injector's
// order and works out the patch. Missing bytes count as zero.
std::variant<InjectPatch, InjectRefusal> PlanInjection(Bytes songHead, Bytes saveStateHead);

// Applies a patch to a save state held in memory, lengthening it with zero
// bytes when it ends before the tempo byte.
void ApplyInjection(std::vector<std::uint8_t>& saveState, const InjectPatch& patch);

// Menu choice 1, and the one operation of a command-line run: asks for (or
// takes from `state`) the save state, the song file, the title, the author
// and the bank name, and writes the save state's song as a version-2 file.
AfterOperation RipSong(const ToolState& state, ToolScreen& screen);

// Menu choice 2: copies a song file's notes and tempo into a save state, in
// place.
AfterOperation InjectSong(ToolScreen& screen);

}  // namespace melvo
