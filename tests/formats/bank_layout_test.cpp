#include "formats/bank_layout.hpp"

#include <gtest/gtest.h>

namespace melvo {
namespace {

TEST(BankLayout, TableRoundTripInFieldOrder) {
    BankTable table{};
    for (std::size_t i = 0; i < kBankSlotCount; ++i) {
        table[i] = BankTableEntry{static_cast<std::uint32_t>(1000 + i), 16, kBankSampleRate,
                                  static_cast<std::uint32_t>(512 + 100 * i)};
    }
    const auto bytes = EncodeBankTable(table);
    // Entry 1 starts 16 bytes in: byteLength 1001 = E9 03 00 00.
    EXPECT_EQ(bytes[16], 0xE9);
    EXPECT_EQ(bytes[17], 0x03);
    EXPECT_EQ(bytes[16 + 8], 0x04);  // 32004 = 0x7D04
    EXPECT_EQ(bytes[16 + 9], 0x7D);
    for (std::size_t i = 0; i < kBankSlotCount; ++i) {
        EXPECT_EQ(DecodeBankTableEntry(bytes, i), table[i]);
    }
}

TEST(BankLayout, HeaderHoldsMagicVersionAndNames) {
    const auto header = EncodeBankHeader(MakeTextField("Pack"), MakeTextField("Someone"));
    EXPECT_EQ(std::string(header.begin(), header.begin() + 4), "meli");
    EXPECT_EQ(header[4], 1);
    EXPECT_EQ(header[5], 0);
    EXPECT_EQ(header[6], 0);
    EXPECT_EQ(header[7], 'P');
    EXPECT_EQ(header[39], 'S');
    EXPECT_EQ(header.size(), 71u);
}

}  // namespace
}  // namespace melvo
