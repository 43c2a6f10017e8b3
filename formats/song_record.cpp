#include "formats/song_record.hpp"

#include <algorithm>

namespace melvo {
namespace {

TextField FieldAt(Bytes bytes, std::size_t offset) {
    TextField field{};
    for (std::size_t i = 0; i < kTextFieldSize; ++i) {
        field[i] = ByteAtOrZero(bytes, offset + i);
    }
    return field;
}

void PutField(MutableBytes out, std::size_t offset, const TextField& field) {
    for (std::size_t i = 0; i < kTextFieldSize; ++i) {
        WriteU8(out, offset + i, field[i]);
    }
}

}  // namespace

std::array<BeatNotes, kBeatsPerSong> DecodeNoteBlock(Bytes block) {
    std::array<BeatNotes, kBeatsPerSong> notes{};
    std::size_t offset = 0;
    for (auto& beat : notes) {
        for (auto& slot : beat) {
            slot.pitch = ByteAtOrZero(block, offset);
            slot.instrument = ByteAtOrZero(block, offset + 1);
            offset += 2;
        }
    }
    return notes;
}

void EncodeNoteBlock(const std::array<BeatNotes, kBeatsPerSong>& notes, MutableBytes block) {
    std::size_t offset = 0;
    for (const auto& beat : notes) {
        for (const auto& slot : beat) {
            WriteU8(block, offset, slot.pitch);
            WriteU8(block, offset + 1, slot.instrument);
            offset += 2;
        }
    }
}

SongRecord DecodeSongBodyV2(const SongBodyV2& body) {
    const Bytes bytes(body);
    SongRecord song;
    song.title = FieldAt(bytes, kBodyTitleOffset);
    song.author = FieldAt(bytes, kBodyAuthorOffset);
    song.bankName = FieldAt(bytes, kBodyBankNameOffset);
    song.notes = DecodeNoteBlock(bytes.subspan(kBodyNotesOffset, kNoteBlockSize));
    song.tempo = bytes[kBodyTempoOffset];
    return song;
}

SongBodyV2 EncodeSongBodyV2(const SongRecord& song) {
    SongBodyV2 body{};
    const MutableBytes out(body);
    PutField(out, kBodyTitleOffset, song.title);
    PutField(out, kBodyAuthorOffset, song.author);
    PutField(out, kBodyBankNameOffset, song.bankName);
    EncodeNoteBlock(song.notes, out.subspan(kBodyNotesOffset, kNoteBlockSize));
    out[kBodyTempoOffset] = song.tempo;
    return body;
}

SongRecord UpgradeSongV1(const SongBodyV1& body) {
    const Bytes bytes(body);
    SongRecord song;
    song.title = FieldAt(bytes, kBodyV1TitleOffset);
    song.author = FieldAt(bytes, kBodyV1AuthorOffset);
    song.notes = DecodeNoteBlock(bytes.subspan(kBodyV1NotesOffset, kNoteBlockSize));
    song.tempo = bytes[kBodyV1TempoOffset];
    song.bankName = MakeTextField("default.mvi");
    return song;
}

SongFileImage EncodeSongFileV2(const SongRecord& song) {
    SongFileImage image{};
    const MutableBytes out(image);
    std::copy(kSongMagic.begin(), kSongMagic.end(), image.begin());
    WriteU16le(out, kSongVersionOffset, 2);
    WriteU8(out, kSongCompressionOffset, 0);
    const SongBodyV2 body = EncodeSongBodyV2(song);
    std::copy(body.begin(), body.end(), image.begin() + kSongHeaderSize);
    return image;
}

SongRecord EmptySong(std::uint8_t tempo) {
    SongRecord song;
    song.tempo = tempo;
    return song;
}

}  // namespace melvo
