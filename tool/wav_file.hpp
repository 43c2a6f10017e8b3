// What the bank builder reads of a WAV file: the "RIFF" tag, the numbers at
// offsets 4 and 16, and where the first "data" tag stands. The format fields
// are not interpreted; the bank takes the sample bytes as they are.
//
// Offset 0 "RIFF" (4), 4 RIFF chunk size u32le, 16 u32le copied into the
// bank table (the format chunk's length in a plain PCM file); sample bytes
// run from 8 bytes after the first "data" tag to the end of the file.
#pragma once

#include <cstdint>
#include <optional>

#include "formats/byte_source.hpp"

namespace melvo {

inline constexpr std::uint32_t kMaxWavRiffSize = 300000;  // bytes; larger files are refused
inline constexpr std::uint64_t kDataTagHeaderSize = 8;    // "data" and the chunk's own length

struct WavHeaderFields {
    bool hasRiffTag = false;
    std::uint32_t riffSize = 0;    // offset 4: the file's length less 8 when well formed
    std::uint32_t numberAt16 = 0;  // offset 16: 16 for plain PCM
};

// Bytes beyond the end of the source read as zero, so a short file still
// gets its fields.
WavHeaderFields ReadWavHeaderFields(const ByteSource& source);

// The first offset, scanning from 0, at which the four bytes "data" stand
// wholly inside the source; none when there is no such offset. Reads the
// source in pieces, so a file of any size is scanned in bounded memory.
std::optional<std::uint64_t> FindDataTag(const ByteSource& source);

// How many sample bytes follow a "data" tag at `tagOffset`: everything from
// 8 bytes after the tag to the end, or none when the file ends before that.
std::uint64_t SampleBytesAfterTag(std::uint64_t sourceSize, std::uint64_t tagOffset);

}  // namespace melvo
