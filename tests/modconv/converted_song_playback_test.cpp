// A converted song is an ordinary song to the player: its song reader takes
// it, its bank lookup falls back to the default bank, and melvoplay plays it.
//
// Set MELVO_KEEP_CONVERTED_SONG=<path> to keep the converted demo song, e.g.
// to listen to it with melvoplay by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "player/bank_file.hpp"
#include "player/sequencer.hpp"
#include "player/song_file.hpp"
#include "tests/modconv/module_fixture.hpp"
#include "tests/support/fixtures.hpp"

namespace melvo {
namespace {

namespace fs = std::filesystem;
using test::ModuleBuilder;

const std::string kConverter = std::string(MELVO_BIN_DIR) + "/modmelvo";
const std::string kPlayer = std::string(MELVO_BIN_DIR) + "/melvoplay";

const char* const kNaturals[] = {"B-1", "C-2", "D-2", "E-2", "F-2", "G-2", "A-2",
                                 "B-2", "C-3", "D-3", "E-3", "F-3", "G-3"};

// Two patterns that between them sound every one of the bank's 16 slots:
// a melody up the staff through samples 1 to 16, a bass and a drum part.
test::ByteVector DemoModule() {
    ModuleBuilder builder;
    builder.Name("Melvo demo").SongLength(2).Order({0, 1}).SampleData(2048);
    for (int row = 0; row < 64; ++row) {
        const int step = row % 13;
        builder.Note(0, row, 0, kNaturals[step], row % 16 + 1);
        builder.Note(1, row, 0, kNaturals[12 - step], (row + 7) % 16 + 1);
        if (row % 4 == 0) {
            builder.Note(0, row, 1, "C-2", 14).Note(1, row, 1, "G-2", 14);
        }
        if (row % 8 == 4) {
            builder.Note(0, row, 2, "D-2", 13).Note(1, row, 2, "A-2", 16);
        }
    }
    return builder.Build();
}

class ConvertedSong : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFile(dir_ / "demo.mod", DemoModule());
        const auto result = test::RunProcess({kConverter, (dir_ / "demo.mod").string(), songPath_, "140", "Melvo"});
        ASSERT_EQ(result.exitStatus, 0) << result.standardOutput;
        ASSERT_EQ(result.standardOutput.find("Warning"), std::string::npos) << result.standardOutput;
        if (const char* keep = std::getenv("MELVO_KEEP_CONVERTED_SONG")) {
            fs::copy_file(songPath_, keep, fs::copy_options::overwrite_existing);
        }
    }

    test::TempDir dir_;
    const std::string songPath_ = (dir_ / "demo.mvs").string();
};

TEST_F(ConvertedSong, LoadsInThePlayersSongReader) {
    const SongLoadResult loaded = TryLoadSongFile(songPath_);
    ASSERT_TRUE(std::holds_alternative<SongRecord>(loaded));
    const SongRecord& song = std::get<SongRecord>(loaded);
    EXPECT_EQ(FieldText(song.title), "Melvo demo");
    EXPECT_EQ(FieldText(song.author), "Melvo");
    EXPECT_EQ(song.bankName, TextField{});
    EXPECT_EQ(song.tempo, 140);
    // Row 0: melody B-1 on sample 1, bass C-2 on sample 14; row 4: the low drum D-2 on sample 13.
    EXPECT_EQ(song.notes[0], (BeatNotes{NoteSlot{1, 0}, NoteSlot{2, 13}, NoteSlot{}}));
    EXPECT_EQ(song.notes[4], (BeatNotes{NoteSlot{5, 4}, NoteSlot{2, 13}, NoteSlot{3, 12}}));
    // Beat 64 is row 0 of the second pattern: G-3 on sample 8, G-2 on sample 14.
    EXPECT_EQ(song.notes[64], (BeatNotes{NoteSlot{13, 7}, NoteSlot{6, 13}, NoteSlot{}}));
    // Row 12: G-3 on sample 13 stays on the low half of instrument 12; row 8 of the
    // second pattern: F-2 on sample 16 is raised to its high half.
    EXPECT_EQ(song.notes[12][0], (NoteSlot{6, 12}));
    EXPECT_EQ(song.notes[64 + 8][0], (NoteSlot{7, 12}));
    for (const BeatNotes& beat : song.notes) {
        for (const NoteSlot& slot : beat) {
            EXPECT_TRUE(slot.IsEmptyPair() || (slot.pitch >= 1 && slot.pitch <= 13 && slot.instrument <= 14));
        }
    }
}

TEST_F(ConvertedSong, NamesNoBankSoThePlayerTakesItsDefaultBank) {
    const SongRecord song = std::get<SongRecord>(TryLoadSongFile(songPath_));
    fs::create_directory(dir_ / "instruments");
    test::WriteFile(dir_ / "instruments" / "default.mvi", test::BankFileBytes({{1, 2, 3}}, "Default pack"));
    const BankLoadResult bank = TryLoadInstrumentBank((dir_ / "instruments").string() + "/", FieldText(song.bankName));
    ASSERT_TRUE(std::holds_alternative<InstrumentBank>(bank));
    EXPECT_EQ(FieldText(std::get<InstrumentBank>(bank).packName), "Default pack");
}

TEST_F(ConvertedSong, SoundsWithTheDefaultBankAtEveryBeatWithANote) {
    const SongRecord song = std::get<SongRecord>(TryLoadSongFile(songPath_));
    const BankLoadResult loaded =
        TryLoadInstrumentBank(std::string(MELVO_BIN_DIR) + "/instruments/", FieldText(song.bankName));
    ASSERT_TRUE(std::holds_alternative<InstrumentBank>(loaded)) << "the build places the default bank in bin/";
    const InstrumentBank& bank = std::get<InstrumentBank>(loaded);
    Player player(song.tempo, song, bank);
    for (int beat = 0; beat < kBeatsPerSong; ++beat) {
        int peak = 0;
        for (int i = 0; i < player.samplesPerBeat(); ++i) {
            peak = std::max(peak, std::abs(int{player.NextSample()}));
        }
        const bool hasNote = std::any_of(song.notes[static_cast<std::size_t>(beat)].begin(),
                                         song.notes[static_cast<std::size_t>(beat)].end(),
                                         [](const NoteSlot& slot) { return !slot.IsEmptyPair(); });
        if (hasNote) {
            EXPECT_GT(peak, 300) << "beat " << beat;
        }
    }
}

TEST_F(ConvertedSong, PlaysInMelvoplayWithTheDefaultBank) {
    test::ProcessOptions options;
    options.environment["SDL_AUDIODRIVER"] = "dummy";
    options.standardInput = "q";
    options.standardOutputFile = dir_ / "player-output.txt";
    const auto result = test::RunProcess({kPlayer, songPath_}, options);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0);
    const std::string shown = [&] {
        const auto bytes = test::ReadFile(dir_ / "player-output.txt");
        return std::string(bytes.begin(), bytes.end());
    }();
    EXPECT_EQ(shown.find("Error:"), std::string::npos) << shown;
}

}  // namespace
}  // namespace melvo
