#include "formats/bank_layout.hpp"

#include <algorithm>

namespace melvo {

BankTableEntry DecodeBankTableEntry(Bytes tableBytes, std::size_t index) {
    const std::size_t base = index * kBankTableEntrySize;
    BankTableEntry entry;
    entry.byteLength = ReadU32le(tableBytes, base + 0);
    entry.bitsPerSample = ReadU32le(tableBytes, base + 4);
    entry.sampleRate = ReadU32le(tableBytes, base + 8);
    entry.dataOffset = ReadU32le(tableBytes, base + 12);
    return entry;
}

std::array<std::uint8_t, kBankSlotCount * kBankTableEntrySize> EncodeBankTable(const BankTable& table) {
    std::array<std::uint8_t, kBankSlotCount * kBankTableEntrySize> bytes{};
    const MutableBytes out(bytes);
    for (std::size_t i = 0; i < kBankSlotCount; ++i) {
        const std::size_t base = i * kBankTableEntrySize;
        WriteU32le(out, base + 0, table[i].byteLength);
        WriteU32le(out, base + 4, table[i].bitsPerSample);
        WriteU32le(out, base + 8, table[i].sampleRate);
        WriteU32le(out, base + 12, table[i].dataOffset);
    }
    return bytes;
}

std::array<std::uint8_t, kBankAuthorOffset + kTextFieldSize> EncodeBankHeader(const TextField& packName,
                                                                              const TextField& author) {
    std::array<std::uint8_t, kBankAuthorOffset + kTextFieldSize> bytes{};
    std::copy(kBankMagic.begin(), kBankMagic.end(), bytes.begin());
    WriteU16le(MutableBytes(bytes), kBankVersionOffset, 1);
    bytes[kBankCompressionOffset] = 0;
    std::copy(packName.begin(), packName.end(), bytes.begin() + kBankPackNameOffset);
    std::copy(author.begin(), author.end(), bytes.begin() + kBankAuthorOffset);
    return bytes;
}

}  // namespace melvo
