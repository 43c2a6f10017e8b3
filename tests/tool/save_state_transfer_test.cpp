// Rip and inject through the real melvotool: whole transcripts, and every
// byte of the files they write or leave alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <variant>

#include "formats/song_record.hpp"
#include "formats/text_field.hpp"
#include "player/song_file.hpp"
#include "tests/tool/tool_transcript.hpp"

namespace melvo {
namespace {

namespace fs = std::filesystem;
using test::ByteVector;
using test::kMenu;
using test::kOpening;
using test::kPrompt;
using test::RunToolIn;
using test::SaveStateBytes;
using test::Slice;

constexpr std::size_t kNotesAt = 5623;
constexpr std::size_t kTempoAt = 6203;

// A song file of `size` bytes with the given header; the rest depends on the
// offset, so the injector's source offsets show.
ByteVector SongBytes(std::uint16_t version, std::size_t size, std::uint8_t compression = 0) {
    ByteVector bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 13 + 5) % 241);
    }
    const ByteVector header = {
        'm',        'e', 'l', 'v', static_cast<std::uint8_t>(version & 0xFF), static_cast<std::uint8_t>(version >> 8),
        compression};
    std::copy(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(std::min(size, header.size())),
              bytes.begin());
    return bytes;
}

ByteVector FieldBytes(const std::string& text) {
    const TextField field = MakeTextField(text);
    return ByteVector(field.begin(), field.end());
}

std::string RipAnswers(const std::string& state, const std::string& song, const std::string& title = "Tune",
                       const std::string& author = "Me", const std::string& bank = "drums.mvi") {
    return "1\n" + state + "\n" + song + "\n" + title + "\n" + author + "\n" + bank + "\n";
}

// The screen from the rip's first prompt to its last answer, as piped answers show it.
std::string RipDialogue(const std::string& state, const std::string& song, const std::string& title = "Tune",
                        const std::string& author = "Me", const std::string& bank = "drums.mvi") {
    return "1\nZST Filename: " + state + "\nSaved music file name? \n" + song + "\nSongName?\n" + title +
           "\nAuthor?\n" + author + "\nPreferred MVI Instrument filename?\n" + bank + "\n";
}

std::string InjectDialogue(const std::string& song, const std::string& state) {
    return "2\nMVS Filename (source): " + song + "\nZST Filename (destination):" + state + "\n";
}

std::string InjectedTail(int version) {
    return "MVS Version " + std::to_string(version) + " \nInjecting...\nComplete.\n\n";
}

class Transfer : public ::testing::Test {
protected:
    test::TempDir dir_;
};

TEST_F(Transfer, RipWritesTheStateSongAsVersionTwoThatThePlayerLoads) {
    const ByteVector state = SaveStateBytes(7000);
    test::WriteFile(dir_ / "state.zst", state);

    const auto result = RunToolIn(dir_.path(), {}, RipAnswers("state.zst", "song.mvs") + "x\n");
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kOpening + RipDialogue("state.zst", "song.mvs") +
                                         "Ripped music data to song.mvs.\n\n" + kMenu + kPrompt + "x\n");

    const ByteVector song = test::ReadFile(dir_ / "song.mvs");
    ASSERT_EQ(song.size(), 680u);
    EXPECT_EQ(Slice(song, 0, 7), (ByteVector{'m', 'e', 'l', 'v', 2, 0, 0}));
    EXPECT_EQ(Slice(song, 7, 32), FieldBytes("Tune"));
    EXPECT_EQ(Slice(song, 39, 32), FieldBytes("Me"));
    EXPECT_EQ(Slice(song, 71, 32), FieldBytes("drums.mvi"));
    EXPECT_EQ(Slice(song, 103, 576), Slice(state, kNotesAt, 576));
    EXPECT_EQ(song[679], state[kTempoAt]);
    EXPECT_EQ(test::ReadFile(dir_ / "state.zst"), state);

    const SongLoadResult loaded = TryLoadSongFile((dir_ / "song.mvs").string());
    ASSERT_TRUE(std::holds_alternative<SongRecord>(loaded));
    const SongRecord& record = std::get<SongRecord>(loaded);
    EXPECT_EQ(FieldText(record.title), "Tune");
    EXPECT_EQ(FieldText(record.author), "Me");
    EXPECT_EQ(FieldText(record.bankName), "drums.mvi");
    EXPECT_EQ(record.notes, DecodeNoteBlock(Slice(state, kNotesAt, 576)));
    EXPECT_EQ(record.tempo, state[kTempoAt]);
}

TEST_F(Transfer, RipAnswersFollowTheFieldRule) {
    test::WriteFile(dir_ / "state.zst", SaveStateBytes(6204));
    const std::string longAuthor(40, 'A');
    const auto result = RunToolIn(
        dir_.path(), {},
        RipAnswers("  state.zst, ignored", "song.mvs,x", "\"Hello, World\"", longAuthor, "  drums.mvi , more"));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kOpening +
                                         RipDialogue("  state.zst, ignored", "song.mvs,x", "\"Hello, World\"",
                                                     longAuthor, "  drums.mvi , more") +
                                         "Ripped music data to song.mvs.\n\n" + kMenu + kPrompt + "\n");
    const SongLoadResult loaded = TryLoadSongFile((dir_ / "song.mvs").string());
    ASSERT_TRUE(std::holds_alternative<SongRecord>(loaded));
    const SongRecord& record = std::get<SongRecord>(loaded);
    EXPECT_EQ(FieldText(record.title), "Hello, World");
    EXPECT_EQ(FieldText(record.author), std::string(32, 'A'));  // the whole field, no zero byte
    EXPECT_EQ(FieldText(record.bankName), "drums.mvi ");
}

TEST_F(Transfer, LowerCaseMagicIsRefusedAfterAllPromptsAndLeavesTheSongFile) {
    test::WriteFile(dir_ / "lower.zst", SaveStateBytes(7000, "zsne"));
    test::WriteTextFile(dir_ / "song.mvs", "an older song");
    const auto result = RunToolIn(dir_.path(), {}, RipAnswers("lower.zst", "song.mvs"));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kOpening + RipDialogue("lower.zst", "song.mvs") +
                                         "Not a supported ZST file. Aborting.\n" + kMenu + kPrompt + "\n");
    EXPECT_EQ(test::ReadFile(dir_ / "song.mvs"), test::BytesOf("an older song"));
}

TEST_F(Transfer, ShortStateRipsZerosBeyondItsEnd) {
    const ByteVector state = SaveStateBytes(6000);
    test::WriteFile(dir_ / "state.zst", state);
    const auto result = RunToolIn(dir_.path(), {}, RipAnswers("state.zst", "song.mvs"));
    EXPECT_EQ(result.exitStatus, 0);
    const ByteVector song = test::ReadFile(dir_ / "song.mvs");
    ASSERT_EQ(song.size(), 680u);
    const std::size_t held = 6000 - kNotesAt;
    EXPECT_EQ(Slice(song, 103, held), Slice(state, kNotesAt, held));
    EXPECT_EQ(Slice(song, 103 + held, 576 - held), ByteVector(576 - held, 0));
    EXPECT_EQ(song[679], 0);
}

TEST_F(Transfer, RipThatCannotOpenItsStateReturnsToThePrompt) {
    fs::create_directory(dir_ / "folder.zst");
    test::WriteFile(dir_ / "empty.zst", {});
    for (const std::string name : {"missing.zst", "folder.zst", "empty.zst", ""}) {
        const auto result = RunToolIn(dir_.path(), {}, "1\n" + name + "\nx\n");
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.standardOutput,
                  kOpening + "1\nZST Filename: " + name + "\nFile not found.\n" + kPrompt + "x\n")
            << name;
    }
}

TEST_F(Transfer, RipThatCannotWriteItsSongSaysSoAndKeepsTheFiles) {
    const ByteVector state = SaveStateBytes(7000);
    test::WriteFile(dir_ / "state.zst", state);
    fs::create_directory(dir_ / "songs");
    // The song file may not replace the state it comes from, however named.
    for (const std::string song : {"songs", "./state.zst", "no/such/dir/song.mvs", ""}) {
        const auto result = RunToolIn(dir_.path(), {}, RipAnswers("state.zst", song));
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.standardOutput, kOpening + RipDialogue("state.zst", song) + "Could not write " + song + ".\n" +
                                             kMenu + kPrompt + "\n")
            << song;
        EXPECT_EQ(test::ReadFile(dir_ / "state.zst"), state);
        EXPECT_TRUE(fs::is_directory(dir_ / "songs"));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 2);
}

TEST_F(Transfer, InjectVersionTwoChangesOnlyTheSongBytes) {
    const ByteVector state = SaveStateBytes(7000);
    const ByteVector song = SongBytes(2, 680);
    test::WriteFile(dir_ / "state.zst", state);
    test::WriteFile(dir_ / "song.mvs", song);

    const auto result = RunToolIn(dir_.path(), {}, "2\nsong.mvs\nstate.zst, more text\n");
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput,
              kOpening + InjectDialogue("song.mvs", "state.zst, more text") + InjectedTail(2) + kMenu + kPrompt + "\n");

    ByteVector expected = state;
    std::copy(song.begin() + 103, song.begin() + 679, expected.begin() + kNotesAt);
    expected[kTempoAt] = song[679];
    EXPECT_EQ(test::ReadFile(dir_ / "state.zst"), expected);
    EXPECT_EQ(test::ReadFile(dir_ / "song.mvs"), song);
}

TEST_F(Transfer, InjectVersionOneLengthensAShortStateWithZeros) {
    const ByteVector state = SaveStateBytes(100);
    const ByteVector song = SongBytes(1, 648);
    test::WriteFile(dir_ / "state.zst", state);
    test::WriteFile(dir_ / "song.mvs", song);

    const auto result = RunToolIn(dir_.path(), {}, "2\nsong.mvs\nstate.zst\nx\n");
    EXPECT_EQ(result.standardOutput,
              kOpening + InjectDialogue("song.mvs", "state.zst") + InjectedTail(1) + kMenu + kPrompt + "x\n");

    const ByteVector after = test::ReadFile(dir_ / "state.zst");
    ASSERT_EQ(after.size(), 6204u);
    EXPECT_EQ(Slice(after, 0, 100), state);
    EXPECT_EQ(Slice(after, 100, kNotesAt - 100), ByteVector(kNotesAt - 100, 0));
    EXPECT_EQ(Slice(after, kNotesAt, 576), Slice(song, 71, 576));
    EXPECT_EQ(Slice(after, 6199, 4), ByteVector(4, 0));
    EXPECT_EQ(after[kTempoAt], song[647]);
}

TEST_F(Transfer, InjectOfAShortCompressedSongTakesMissingBytesAsZero) {
    const ByteVector state = SaveStateBytes(7000);
    const ByteVector song = SongBytes(2, 400, 1);
    test::WriteFile(dir_ / "state.zst", state);
    test::WriteFile(dir_ / "song.mvs", song);

    const auto result = RunToolIn(dir_.path(), {}, "2\nsong.mvs\nstate.zst\n");
    EXPECT_EQ(result.standardOutput,
              kOpening + InjectDialogue("song.mvs", "state.zst") + InjectedTail(2) + kMenu + kPrompt + "\n");
    const ByteVector after = test::ReadFile(dir_ / "state.zst");
    ASSERT_EQ(after.size(), 7000u);
    EXPECT_EQ(Slice(after, kNotesAt, 400 - 103), Slice(song, 103, 400 - 103));
    EXPECT_EQ(Slice(after, kNotesAt + 400 - 103, 679 - 400), ByteVector(679 - 400, 0));
    EXPECT_EQ(after[kTempoAt], 0);
    EXPECT_EQ(Slice(after, 6199, 4), Slice(state, 6199, 4));
}

TEST_F(Transfer, RipThenInjectLeavesTheStateAsItWas) {
    const ByteVector state = SaveStateBytes(7000);
    test::WriteFile(dir_ / "state.zst", state);
    const auto result = RunToolIn(dir_.path(), {}, RipAnswers("state.zst", "song.mvs") + "2\nsong.mvs\nstate.zst\nx\n");
    EXPECT_EQ(result.standardOutput,
              kOpening + RipDialogue("state.zst", "song.mvs") + "Ripped music data to song.mvs.\n\n" + kMenu + kPrompt +
                  InjectDialogue("song.mvs", "state.zst") + InjectedTail(2) + kMenu + kPrompt + "x\n");
    EXPECT_EQ(test::ReadFile(dir_ / "state.zst"), state);
}

TEST_F(Transfer, InjectRefusesUnknownVersionsAndReturnsToTheMenu) {
    const ByteVector state = SaveStateBytes(7000);
    test::WriteFile(dir_ / "state.zst", state);
    for (const std::uint16_t version : {std::uint16_t{0}, std::uint16_t{3}, std::uint16_t{0x0102}}) {
        test::WriteFile(dir_ / "song.mvs", SongBytes(version, 680));
        const auto result = RunToolIn(dir_.path(), {}, "2\nsong.mvs\nstate.zst\n");
        EXPECT_EQ(result.standardOutput, kOpening + InjectDialogue("song.mvs", "state.zst") +
                                             "Incompatible version of MVS file. Aborting.\n" + kMenu + kPrompt + "\n")
            << version;
        EXPECT_EQ(test::ReadFile(dir_ / "state.zst"), state);
    }
}

TEST_F(Transfer, InjectChecksComeInOrderAndReturnToThePrompt) {
    const ByteVector state = SaveStateBytes(7000);
    const ByteVector song = SongBytes(2, 680);
    test::WriteFile(dir_ / "state.zst", state);
    test::WriteFile(dir_ / "song.mvs", song);
    test::WriteFile(dir_ / "other.zst", SaveStateBytes(7000, "ZSNF"));
    test::WriteFile(dir_ / "other.mvs", [] {
        ByteVector bytes = SongBytes(2, 680);
        bytes[0] = 'M';
        return bytes;
    }());
    test::WriteFile(dir_ / "empty", {});
    fs::create_directory(dir_ / "folder");

    struct Case {
        std::string answers;
        std::string screen;  // after the echoed choice
    };
    const std::string notFound = "MVS Filename (source): ";
    for (const Case& c : {
             Case{"missing.mvs\n", notFound + "missing.mvs\nMVS File not found.\n"},
             Case{"folder\n", notFound + "folder\nMVS File not found.\n"},
             Case{"empty\n", notFound + "empty\nMVS File not found.\n"},
             Case{"song.mvs\nmissing.zst\n",
                  notFound + "song.mvs\nZST Filename (destination):missing.zst\nZST File not found.\n"},
             Case{"song.mvs\nfolder\n",
                  notFound + "song.mvs\nZST Filename (destination):folder\nZST File not found.\n"},
             Case{"song.mvs\nempty\n", notFound + "song.mvs\nZST Filename (destination):empty\nZST File not found.\n"},
             Case{"song.mvs\nother.zst\n",
                  notFound + "song.mvs\nZST Filename (destination):other.zst\nDest is not a ZST file. Aborting.\n"},
             Case{"other.mvs\nother.zst\n",
                  notFound + "other.mvs\nZST Filename (destination):other.zst\nDest is not a ZST file. Aborting.\n"},
             Case{"other.mvs\nstate.zst\n",
                  notFound + "other.mvs\nZST Filename (destination):state.zst\nSource is not a MVS file. Aborting.\n"},
         }) {
        const auto result = RunToolIn(dir_.path(), {}, "2\n" + c.answers + "x\n");
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.standardOutput, kOpening + "2\n" + c.screen + kPrompt + "x\n") << c.answers;
        EXPECT_EQ(test::ReadFile(dir_ / "state.zst"), state);
        EXPECT_EQ(test::ReadFile(dir_ / "empty").size(), 0u);
    }
}

}  // namespace
}  // namespace melvo
