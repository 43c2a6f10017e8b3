// The Amiga module reader: 31-sample MOD layout, 64-row patterns, four or
// eight channels. Only the header fields and the patterns that the song plays
// are read; sample headers and sample data never are.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "formats/byte_io.hpp"
#include "formats/byte_source.hpp"
#include "modconv/module_record.hpp"

namespace melvo {

// Module header layout (multi-byte values big-endian).
inline constexpr std::size_t kModuleNameOffset = 0;
inline constexpr std::size_t kModuleSongLengthOffset = 950;
inline constexpr std::size_t kModuleOrderOffset = 952;
inline constexpr std::size_t kModuleOrderSize = 128;
inline constexpr std::size_t kModuleMagicOffset = 1080;
inline constexpr std::size_t kModuleHeaderSize = 1084;  // patterns begin here
inline constexpr std::size_t kModuleCellSize = 4;

// ClassifyMagic codes.
inline constexpr int kMagicFourChannels = 0;         // "M.K."
inline constexpr int kMagicEightChannels = 1;        // "8CHN"
inline constexpr int kMagicTwentyEightChannels = 2;  // "28CH", known but refused
inline constexpr int kMagicUnknown = 69;

using ModuleMagic = std::array<std::uint8_t, 4>;

// The kind code of the four magic bytes; the comparison is exact, case included.
int ClassifyMagic(const ModuleMagic& magic);
// Cells per row for a kind code, or 0 when the converter refuses that kind.
std::int32_t ChannelsOfKind(int code);

// The note number of an exact finetune-0 period of octaves 1 to 3
// (856 = C-1 = -12, 428 = C-2 = 0, 113 = B-3 = 23), else kNoNote.
std::int32_t PeriodToNote(int period);

enum class ModuleReadError {
    None,
    TooShort,      // fewer bytes than the header
    UnknownMagic,  // the name is known, the kind is refused
    OutOfMemory,
};

struct ModuleReadResult {
    ModuleReadError error = ModuleReadError::None;
    ModuleRecord module;  // complete on success; only `name` after UnknownMagic
    std::int32_t channels = 0;
};

// Decodes a module from any byte source. Reads the header and then only the
// patterns named by the played part of the order list; pattern bytes past
// the end of the source read as zero. A song length above 128 plays 128.
ModuleReadResult ReadModule(const ByteSource& source);

}  // namespace melvo
