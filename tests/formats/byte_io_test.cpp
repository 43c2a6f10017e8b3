#include "formats/byte_io.hpp"

#include <gtest/gtest.h>

#include <array>

namespace melvo {
namespace {

TEST(ByteIo, EachHelperUsesItsByteOrder) {
    const std::array<std::uint8_t, 4> bytes = {0x01, 0x02, 0x03, 0x04};
    EXPECT_EQ(ReadU16le(bytes, 0), 0x0201);
    EXPECT_EQ(ReadU32le(bytes, 0), 0x04030201u);
    EXPECT_EQ(ReadU16be(bytes, 0), 0x0102);
    EXPECT_EQ(ReadU32be(bytes, 0), 0x01020304u);
    EXPECT_EQ(ReadS16le(std::array<std::uint8_t, 2>{0xFF, 0xFF}, 0), -1);
}

TEST(ByteIo, ReadsPastTheEndGiveZeroBytes) {
    const std::array<std::uint8_t, 3> bytes = {0xAA, 0xBB, 0xCC};
    EXPECT_EQ(ReadU32le(bytes, 1), 0x0000CCBBu);
    EXPECT_EQ(ReadU16le(bytes, 100), 0);
}

TEST(ByteIo, WritersMirrorReaders) {
    std::array<std::uint8_t, 6> out{};
    WriteU16le(out, 0, 0xBEEF);
    WriteU32le(out, 2, 0xDEADBEEFu);
    EXPECT_EQ(out, (std::array<std::uint8_t, 6>{0xEF, 0xBE, 0xEF, 0xBE, 0xAD, 0xDE}));
    WriteU32le(out, 4, 0x11223344u);  // only the two bytes that fit are written
    EXPECT_EQ(out[4], 0x44);
    EXPECT_EQ(out[5], 0x33);
}

TEST(ByteReader, ShortReadClearsOkAndStaysCleared) {
    const std::array<std::uint8_t, 3> bytes = {1, 2, 3};
    ByteReader reader(bytes);
    EXPECT_EQ(reader.U16le(), 0x0201);
    EXPECT_TRUE(reader.ok());
    EXPECT_EQ(reader.U16le(), 0);
    EXPECT_FALSE(reader.ok());
    EXPECT_EQ(reader.U8(), 0);  // even a read that would fit now fails
    EXPECT_FALSE(reader.ok());
}

}  // namespace
}  // namespace melvo
