#include "tests/support/fixtures.hpp"

#include <algorithm>

namespace melvo::test {

ByteVector SongFileBytes(const SongRecord& song) {
    const SongFileImage image = EncodeSongFileV2(song);
    return ByteVector(image.begin(), image.end());
}

ByteVector BankFileBytesWithTable(const BankTable& table, const ByteVector& data, const std::string& packName,
                                  const std::string& author) {
    ByteVector bytes(kBankFirstDataOffset, 0);
    const auto header = EncodeBankHeader(MakeTextField(packName), MakeTextField(author));
    std::copy(header.begin(), header.end(), bytes.begin());
    const auto tableBytes = EncodeBankTable(table);
    std::copy(tableBytes.begin(), tableBytes.end(), bytes.begin() + kBankTableOffset);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

ByteVector BankFileBytes(const std::vector<std::vector<std::int16_t>>& slots, const std::string& packName,
                         const std::string& author) {
    BankTable table{};
    ByteVector data;
    for (std::size_t i = 0; i < kBankSlotCount; ++i) {
        const std::vector<std::int16_t> samples = i < slots.size() ? slots[i] : std::vector<std::int16_t>{};
        table[i] = BankTableEntry{static_cast<std::uint32_t>(samples.size() * 2), kBankBitsPerSample, kBankSampleRate,
                                  static_cast<std::uint32_t>(kBankFirstDataOffset + data.size())};
        for (const std::int16_t sample : samples) {
            const auto value = static_cast<std::uint16_t>(sample);
            data.push_back(static_cast<std::uint8_t>(value & 0xFF));
            data.push_back(static_cast<std::uint8_t>(value >> 8));
        }
    }
    return BankFileBytesWithTable(table, data, packName, author);
}

}  // namespace melvo::test
