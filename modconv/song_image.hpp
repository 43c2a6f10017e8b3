// The converter's song file in memory: the version-2 header and the record,
// and its writer.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "formats/song_record.hpp"

namespace melvo {

inline constexpr std::uint8_t kConverterDefaultTempo = 150;

struct SongImage {
    std::array<std::uint8_t, 4> magic{};  // "melv"
    std::int16_t version = 0;             // 2
    std::uint8_t compression = 0;         // 0
    SongRecord song;
};

// "melv", version 2, no compression, empty texts, tempo 150. The notes are
// left for ConvertModule.
void InitSongImage(SongImage& image);

// The 680 bytes of the file: magic, version, compression, title, author,
// bankName, notes, tempo.
SongFileImage EncodeSongImage(const SongImage& image);

// Replaces `path` with the image, atomically; false when any step fails,
// and then an existing file at `path` is left as it was.
bool WriteSongImage(const SongImage& image, const std::string& path);

}  // namespace melvo
