#include "player/song_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/fixtures.hpp"

namespace melvo {
namespace {

using test::ByteVector;

ByteVector Header(const std::string& magic, std::uint8_t v0, std::uint8_t v1, std::uint8_t compression) {
    ByteVector bytes(magic.begin(), magic.end());
    bytes.insert(bytes.end(), {v0, v1, compression});
    return bytes;
}

ByteVector WithBody(ByteVector header, std::size_t bodySize) {
    header.resize(header.size() + bodySize, 0);
    return header;
}

struct SongErrorCase {
    const char* name;
    ByteVector file;
    const char* message;
};

void PrintTo(const SongErrorCase& testCase, std::ostream* out) { *out << testCase.name; }

class SongReaderMessages : public ::testing::TestWithParam<SongErrorCase> {};

TEST_P(SongReaderMessages, RefusesWithTheFirstFailingCheck) {
    const auto result = ParseSongFile(GetParam().file);
    ASSERT_TRUE(std::holds_alternative<SongLoadError>(result));
    EXPECT_EQ(SongLoadMessage(std::get<SongLoadError>(result)), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, SongReaderMessages,
    ::testing::Values(
        SongErrorCase{"Empty", {}, "file is too short"}, SongErrorCase{"TwoBytes", {'m', 'e'}, "file is too short"},
        SongErrorCase{"FourBytesWrongMagic", {'X', 'X', 'X', 'X'}, "not a valid .mvs file"},
        SongErrorCase{"CapitalMagic", WithBody(Header("MELV", 2, 0, 0), 673), "not a valid .mvs file"},
        SongErrorCase{"MagicOnly", {'m', 'e', 'l', 'v'}, "file is too short"},
        SongErrorCase{"NoCompressionByte", {'m', 'e', 'l', 'v', 2, 0}, "file is too short"},
        SongErrorCase{"CompressionBeforeVersion", Header("melv", 0, 0, 1), "no compression supported yet"},
        SongErrorCase{"VersionZero", WithBody(Header("melv", 0, 0, 0), 673), "not a valid version number"},
        SongErrorCase{"VersionThreeHeaderOnly", Header("melv", 3, 0, 0),
                      "too new version of the format, this version only suports fileformat v2 max"},
        SongErrorCase{"VersionMinusOne", WithBody(Header("melv", 0xFF, 0xFF, 0), 673),
                      "too new version of the format, this version only suports fileformat v2 max"},
        SongErrorCase{"VersionTwoShortBody", WithBody(Header("melv", 2, 0, 0), 672), "file is too short"},
        SongErrorCase{"VersionOneShortBody", WithBody(Header("melv", 1, 0, 0), 640), "file is too short"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(SongReader, VersionTwoRecordIsTheFileBody) {
    SongRecord song = EmptySong(146);
    song.title = MakeTextField(std::string(32, 'T'));  // no zero byte: the author is not part of it
    song.author = MakeTextField("Me");
    song.notes[4][1] = NoteSlot{2, 12};
    ByteVector file = test::SongFileBytes(song);
    file.insert(file.end(), {1, 2, 3});  // trailing bytes are ignored
    const auto result = ParseSongFile(file);
    ASSERT_TRUE(std::holds_alternative<SongRecord>(result));
    const SongRecord& loaded = std::get<SongRecord>(result);
    EXPECT_EQ(loaded, song);
    EXPECT_EQ(FieldText(loaded.title), std::string(32, 'T'));
    EXPECT_EQ(FieldText(loaded.bankName), "");
}

TEST(SongReader, VersionOneIsUpgradedWithTheDefaultBank) {
    ByteVector file = Header("melv", 1, 0, 0);
    for (std::size_t i = 0; i < kSongBodySizeV1; ++i) {
        file.push_back(static_cast<std::uint8_t>(i % 251));
    }
    const auto result = ParseSongFile(file);
    ASSERT_TRUE(std::holds_alternative<SongRecord>(result));
    SongBodyV1 body{};
    std::copy(file.begin() + 7, file.end(), body.begin());
    EXPECT_EQ(std::get<SongRecord>(result), UpgradeSongV1(body));
    EXPECT_EQ(FieldText(std::get<SongRecord>(result).bankName), "default.mvi");
}

TEST(SongReader, MissingPathAndDirectoryAreNotFound) {
    test::TempDir dir;
    for (const auto& path : {dir.path(), dir / "missing.mvs"}) {
        const auto result = TryLoadSongFile(path.string());
        ASSERT_TRUE(std::holds_alternative<SongLoadError>(result)) << path;
        EXPECT_EQ(std::get<SongLoadError>(result), SongLoadError::FileNotFound);
    }
}

}  // namespace
}  // namespace melvo
