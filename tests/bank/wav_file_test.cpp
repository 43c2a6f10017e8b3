#include "tool/wav_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/bank/wav_fixture.hpp"

namespace melvo {
namespace {

using test::ByteVector;

// Hands out at most `pieceSize` bytes per read, as a pipe or a slow disk may.
class TricklingSource final : public ByteSource {
public:
    TricklingSource(Bytes bytes, std::size_t pieceSize) : inner_(bytes), pieceSize_(pieceSize) {}
    std::uint64_t Size() const override { return inner_.Size(); }
    std::size_t ReadAt(std::uint64_t offset, MutableBytes out) const override {
        return inner_.ReadAt(offset, out.first(std::min(out.size(), pieceSize_)));
    }

private:
    MemoryByteSource inner_;
    std::size_t pieceSize_;
};

ByteVector ZerosWithTextAt(std::size_t size, std::size_t offset, const std::string& text) {
    ByteVector bytes(size, 0);
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
}

TEST(WavHeaderFields, ReadsTheTagAndTheNumbersAtFourAndSixteen) {
    const ByteVector wav = test::PlainWav({1, 2, 3});
    const WavHeaderFields fields = ReadWavHeaderFields(MemoryByteSource(wav));
    EXPECT_TRUE(fields.hasRiffTag);
    EXPECT_EQ(fields.riffSize, 42u);
    EXPECT_EQ(fields.numberAt16, 16u);
}

TEST(WavHeaderFields, BytesPastTheEndOfAShortFileReadAsZero) {
    // "RIFF", a size whose top byte is missing, nothing at 16.
    const ByteVector shortFile = {'R', 'I', 'F', 'F', 0x34, 0x12, 0x05};
    const WavHeaderFields fields = ReadWavHeaderFields(MemoryByteSource(shortFile));
    EXPECT_TRUE(fields.hasRiffTag);
    EXPECT_EQ(fields.riffSize, 0x051234u);
    EXPECT_EQ(fields.numberAt16, 0u);

    const ByteVector threeBytes = {'R', 'I', 'F'};
    EXPECT_FALSE(ReadWavHeaderFields(MemoryByteSource(threeBytes)).hasRiffTag);
}

TEST(WavHeaderFields, TheTagIsCaseSensitive) {
    ByteVector wav = test::PlainWav({});
    wav[0] = 'r';
    EXPECT_FALSE(ReadWavHeaderFields(MemoryByteSource(wav)).hasRiffTag);
}

struct DataTagCase {
    const char* name;
    ByteVector file;
    std::optional<std::uint64_t> expected;
};

void PrintTo(const DataTagCase& testCase, std::ostream* out) { *out << testCase.name; }

class DataTagScan : public ::testing::TestWithParam<DataTagCase> {};

TEST_P(DataTagScan, FindsTheFirstWholeTag) {
    const Bytes file(GetParam().file);
    EXPECT_EQ(FindDataTag(MemoryByteSource(file)), GetParam().expected);
    // The answer must not depend on how the reads are cut up.
    for (const std::size_t pieceSize : {1u, 3u, 5u, 4096u}) {
        EXPECT_EQ(FindDataTag(TricklingSource(file, pieceSize)), GetParam().expected) << "pieces of " << pieceSize;
    }
}

constexpr std::size_t kPiece = 64 * 1024;  // the scanner's own read size

INSTANTIATE_TEST_SUITE_P(Cases, DataTagScan,
                         ::testing::Values(DataTagCase{"PlainHeader", test::PlainWav({7, 8}), 36},
                                           DataTagCase{"AtTheStart", ZerosWithTextAt(10, 0, "data"), 0},
                                           DataTagCase{"FirstOfTwo", ZerosWithTextAt(100, 50, "data-data"), 50},
                                           DataTagCase{"InTheLastFourBytes", ZerosWithTextAt(12, 8, "data"), 8},
                                           DataTagCase{"CutOffByTheEnd", ZerosWithTextAt(12, 9, "dat"), std::nullopt},
                                           DataTagCase{"OtherCase", ZerosWithTextAt(12, 2, "DATA"), std::nullopt},
                                           DataTagCase{"Empty", ByteVector{}, std::nullopt},
                                           DataTagCase{"AcrossTheScannersPieces",
                                                       ZerosWithTextAt(kPiece + 10, kPiece - 2, "data"), kPiece - 2},
                                           DataTagCase{"InTheSecondPiece",
                                                       ZerosWithTextAt(3 * kPiece, 2 * kPiece + 1, "data"),
                                                       2 * kPiece + 1}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(SampleBytesAfterTag, CountsFromEightBytesAfterTheTagToTheEnd) {
    EXPECT_EQ(SampleBytesAfterTag(50, 36), 6u);
    EXPECT_EQ(SampleBytesAfterTag(44, 36), 0u);
    EXPECT_EQ(SampleBytesAfterTag(40, 36), 0u);  // "data" in the last 8 bytes
    EXPECT_EQ(SampleBytesAfterTag(5'000'000'000, 36), 5'000'000'000u - 44);
}

}  // namespace
}  // namespace melvo
