// The song file (".mvs") and its in-memory record.
//
// Version 2 file, 680 bytes: magic "melv" (4), version s16le (2), compression
// (1), then the 673-byte body: title, author, bankName (32 each), notes
// (96 beats x 3 slots x 2 bytes), tempo (1). Version 1 (648 bytes) lacks
// bankName.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "formats/byte_io.hpp"
#include "formats/text_field.hpp"

namespace melvo {

inline constexpr std::array<std::uint8_t, 4> kSongMagic = {'m', 'e', 'l', 'v'};

// Header layout shared by both versions.
inline constexpr std::size_t kSongMagicOffset = 0;
inline constexpr std::size_t kSongVersionOffset = 4;
inline constexpr std::size_t kSongCompressionOffset = 6;
inline constexpr std::size_t kSongHeaderSize = 7;

inline constexpr int kBeatsPerSong = 96;
inline constexpr int kSlotsPerBeat = 3;
inline constexpr std::size_t kNoteBlockSize = 576;  // 96 beats x 3 slots x 2 bytes

// Body layout of version 2 (offsets within the body, which is the SongRecord).
inline constexpr std::size_t kBodyTitleOffset = 0;
inline constexpr std::size_t kBodyAuthorOffset = 32;
inline constexpr std::size_t kBodyBankNameOffset = 64;
inline constexpr std::size_t kBodyNotesOffset = 96;
inline constexpr std::size_t kBodyTempoOffset = 672;
inline constexpr std::size_t kSongBodySizeV2 = 673;
inline constexpr std::size_t kSongFileSizeV2 = kSongHeaderSize + kSongBodySizeV2;  // 680

// Body layout of version 1.
inline constexpr std::size_t kBodyV1TitleOffset = 0;
inline constexpr std::size_t kBodyV1AuthorOffset = 32;
inline constexpr std::size_t kBodyV1NotesOffset = 64;
inline constexpr std::size_t kBodyV1TempoOffset = 640;
inline constexpr std::size_t kSongBodySizeV1 = 641;
inline constexpr std::size_t kSongFileSizeV1 = kSongHeaderSize + kSongBodySizeV1;  // 648

// Where each version keeps its note block and tempo, counted from the file start.
inline constexpr std::size_t kFileNotesOffsetV1 = kSongHeaderSize + kBodyV1NotesOffset;  // 71
inline constexpr std::size_t kFileTempoOffsetV1 = kSongHeaderSize + kBodyV1TempoOffset;  // 647
inline constexpr std::size_t kFileNotesOffsetV2 = kSongHeaderSize + kBodyNotesOffset;    // 103
inline constexpr std::size_t kFileTempoOffsetV2 = kSongHeaderSize + kBodyTempoOffset;    // 679

inline constexpr std::uint8_t kEmptyPitch = 255;
inline constexpr std::uint8_t kEmptyInstrument = 223;

struct NoteSlot {
    std::uint8_t pitch = kEmptyPitch;            // 1..13 on the staff; 255 with 223 = empty
    std::uint8_t instrument = kEmptyInstrument;  // 0..14; 223 with pitch 255 = empty

    bool IsEmptyPair() const { return pitch == kEmptyPitch && instrument == kEmptyInstrument; }
    friend bool operator==(const NoteSlot&, const NoteSlot&) = default;
};

using BeatNotes = std::array<NoteSlot, kSlotsPerBeat>;

struct SongRecord {
    TextField title{};
    TextField author{};
    TextField bankName{};
    std::array<BeatNotes, kBeatsPerSong> notes{};  // beat 0..95, slot 0..2
    std::uint8_t tempo = 0;                        // larger plays faster

    friend bool operator==(const SongRecord&, const SongRecord&) = default;
};

using SongBodyV2 = std::array<std::uint8_t, kSongBodySizeV2>;
using SongBodyV1 = std::array<std::uint8_t, kSongBodySizeV1>;
using SongFileImage = std::array<std::uint8_t, kSongFileSizeV2>;

// Decodes the 576-byte note block (beat after beat, slot after slot).
std::array<BeatNotes, kBeatsPerSong> DecodeNoteBlock(Bytes block);
// Encodes notes into a 576-byte block.
void EncodeNoteBlock(const std::array<BeatNotes, kBeatsPerSong>& notes, MutableBytes block);

// A version-2 body is the record itself, field for field.
SongRecord DecodeSongBodyV2(const SongBodyV2& body);
SongBodyV2 EncodeSongBodyV2(const SongRecord& song);

// A version-1 body with the bank name "default.mvi".
SongRecord UpgradeSongV1(const SongBodyV1& body);

// The 680 bytes of a version-2 song file.
SongFileImage EncodeSongFileV2(const SongRecord& song);

// A record whose 288 slots are all empty and whose texts are empty.
SongRecord EmptySong(std::uint8_t tempo);

}  // namespace melvo
