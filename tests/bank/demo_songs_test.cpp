// The demo songs in examples/: compiled again from their notation by the
// real melvo_compose, they must come out as the committed song files.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <variant>

#include "player/song_file.hpp"
#include "tests/bank/demo_songs.hpp"
#include "tests/support/test_support.hpp"

namespace melvo {
namespace {

class DemoSong : public ::testing::TestWithParam<std::string> {};

TEST_P(DemoSong, CompilesToTheCommittedSongFile) {
    test::TempDir temp;
    const auto compiled = temp / "song.mvs";
    const test::ProcessResult result =
        test::RunProcess({MELVO_COMPOSE_PROGRAM, test::DemoSongPath(GetParam(), ".txt"), compiled.string()});
    ASSERT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(test::ReadFile(compiled), test::ReadFile(test::DemoSongPath(GetParam(), ".mvs")));
}

TEST_P(DemoSong, IsAVersionTwoSongByMelvoThatUsesEveryNoteSlotAndSeveralInstruments) {
    const test::ByteVector file = test::ReadFile(test::DemoSongPath(GetParam(), ".mvs"));
    ASSERT_EQ(file.size(), kSongFileSizeV2);
    EXPECT_EQ(ReadU16le(file, kSongVersionOffset), 2);
    const SongLoadResult loaded = ParseSongFile(file);
    ASSERT_TRUE(std::holds_alternative<SongRecord>(loaded));
    const SongRecord& song = std::get<SongRecord>(loaded);
    EXPECT_FALSE(FieldText(song.title).empty());
    EXPECT_EQ(FieldText(song.author), "Melvo");
    EXPECT_EQ(FieldText(song.bankName), "default.mvi");

    std::set<int> instruments;
    std::array<int, kSlotsPerBeat> notesPerSlot{};
    for (const BeatNotes& beat : song.notes) {
        for (std::size_t k = 0; k < beat.size(); ++k) {
            if (!beat[k].IsEmptyPair()) {
                ++notesPerSlot[k];
                instruments.insert(beat[k].instrument);
                EXPECT_GE(beat[k].pitch, 1);  // on the staff
                EXPECT_LE(beat[k].pitch, 13);
            }
        }
    }
    for (const int count : notesPerSlot) {
        EXPECT_GT(count, 0);
    }
    EXPECT_GE(instruments.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Examples, DemoSong, ::testing::ValuesIn(test::kDemoSongs), [](const auto& caseInfo) {
    std::string name = caseInfo.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

TEST(DemoSongs, EachHasATempoAndTitleOfItsOwn) {
    std::set<int> tempos;
    std::set<std::string> titles;
    for (const std::string& name : test::kDemoSongs) {
        const auto loaded = TryLoadSongFile(test::DemoSongPath(name, ".mvs"));
        ASSERT_TRUE(std::holds_alternative<SongRecord>(loaded)) << name;
        tempos.insert(std::get<SongRecord>(loaded).tempo);
        titles.insert(FieldText(std::get<SongRecord>(loaded).title));
    }
    EXPECT_EQ(tempos.size(), test::kDemoSongs.size());
    EXPECT_EQ(titles.size(), test::kDemoSongs.size());
}

}  // namespace
}  // namespace melvo
