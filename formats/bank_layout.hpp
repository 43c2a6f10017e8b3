// The instrument bank file (".mvi"), version 1.
//
// Offset 0 magic "meli" (4), 4 version s16le (2), 6 compression (1),
// 7 packName (32), 39 author (32), 71 reserved (9), 80 table of 16 entries
// of 16 bytes, 336 reserved (176), 512 sample data where the table points.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "formats/byte_io.hpp"
#include "formats/text_field.hpp"

namespace melvo {

inline constexpr std::array<std::uint8_t, 4> kBankMagic = {'m', 'e', 'l', 'i'};
inline constexpr std::size_t kBankMagicOffset = 0;
inline constexpr std::size_t kBankVersionOffset = 4;
inline constexpr std::size_t kBankCompressionOffset = 6;
inline constexpr std::size_t kBankHeaderSize = 7;
inline constexpr std::size_t kBankPackNameOffset = 7;
inline constexpr std::size_t kBankAuthorOffset = 39;
inline constexpr std::size_t kBankTableOffset = 80;
inline constexpr std::size_t kBankTableEntrySize = 16;
inline constexpr std::size_t kBankSlotCount = 16;
inline constexpr std::size_t kBankTableEnd = kBankTableOffset + kBankSlotCount * kBankTableEntrySize;  // 336
inline constexpr std::size_t kBankFirstDataOffset = 512;

inline constexpr std::uint32_t kBankSampleRate = 32004;  // samples per second, also the output rate
inline constexpr std::uint32_t kBankBitsPerSample = 16;

struct BankTableEntry {
    std::uint32_t byteLength = 0;     // bytes of sound; the slot holds byteLength / 2 samples
    std::uint32_t bitsPerSample = 0;  // must be 16
    std::uint32_t sampleRate = 0;     // must be 32004
    std::uint32_t dataOffset = 0;     // from the start of the file

    friend bool operator==(const BankTableEntry&, const BankTableEntry&) = default;
};

using BankTable = std::array<BankTableEntry, kBankSlotCount>;

// Entry `index` of a table that starts at `tableBytes[0]`.
BankTableEntry DecodeBankTableEntry(Bytes tableBytes, std::size_t index);
// The 256 bytes of the table.
std::array<std::uint8_t, kBankSlotCount * kBankTableEntrySize> EncodeBankTable(const BankTable& table);
// Offsets 0..70: magic, version 1, compression 0, packName, author.
std::array<std::uint8_t, kBankAuthorOffset + kTextFieldSize> EncodeBankHeader(const TextField& packName,
                                                                              const TextField& author);

}  // namespace melvo
