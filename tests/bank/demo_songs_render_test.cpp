// The demo songs played through the player's sequencer with the default
// bank, sample by sample, as the audio callback would.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <variant>

#include "player/sequencer.hpp"
#include "player/song_file.hpp"
#include "tests/bank/demo_songs.hpp"
#include "tests/bank/sound_analysis.hpp"

namespace melvo {
namespace {

const InstrumentBank& DefaultBank() {
    static const BankLoadResult loaded =
        TryLoadInstrumentBank(std::string(MELVO_BIN_DIR) + "/instruments/", "default.mvi");
    if (!std::holds_alternative<InstrumentBank>(loaded)) {
        static const InstrumentBank none{};
        ADD_FAILURE() << "the default bank does not load";
        return none;
    }
    return std::get<InstrumentBank>(loaded);
}

SongRecord DemoSong(const std::string& name) {
    const SongLoadResult loaded = TryLoadSongFile(test::DemoSongPath(name, ".mvs"));
    EXPECT_TRUE(std::holds_alternative<SongRecord>(loaded)) << name;
    return std::holds_alternative<SongRecord>(loaded) ? std::get<SongRecord>(loaded) : EmptySong(0);
}

// The song's first `beats` beats; one pass through the song by default.
std::vector<std::int16_t> Render(const SongRecord& song, const InstrumentBank& bank,
                                 std::size_t beats = kBeatsPerSong) {
    Player player(song.tempo, song, bank);
    std::vector<std::int16_t> out(beats * static_cast<std::size_t>(SamplesPerBeat(song.tempo)));
    for (std::int16_t& sample : out) {
        sample = player.NextSample();
    }
    return out;
}

// The bank with every slot but `keep` silenced, lengths unchanged.
InstrumentBank OnlySlot(const InstrumentBank& bank, std::size_t keep) {
    InstrumentBank only = bank;
    for (std::size_t slot = 0; slot < only.slots.size(); ++slot) {
        if (slot != keep) {
            std::fill(only.slots[slot].data.begin(), only.slots[slot].data.end(), std::int16_t{0});
        }
    }
    return only;
}

class DemoSongPlayback : public ::testing::TestWithParam<std::string> {};

TEST_P(DemoSongPlayback, EveryNoteOfEveryBankSlotItUsesSounds) {
    const SongRecord song = DemoSong(GetParam());
    const auto beatLength = static_cast<std::size_t>(SamplesPerBeat(song.tempo));
    std::set<std::size_t> slotsUsed;
    for (const BeatNotes& beat : song.notes) {
        for (const NoteSlot& note : beat) {
            if (!note.IsEmptyPair()) {
                slotsUsed.insert(MapInstrumentSlot(note.instrument, note.pitch));
            }
        }
    }
    ASSERT_GE(slotsUsed.size(), 3u);
    for (const std::size_t slot : slotsUsed) {
        // Heard alone, the slot must sound in every beat that starts one of its notes.
        const std::vector<std::int16_t> alone = Render(song, OnlySlot(DefaultBank(), slot));
        for (std::size_t beat = 0; beat < song.notes.size(); ++beat) {
            const bool startsThisSlot = std::any_of(song.notes[beat].begin(), song.notes[beat].end(), [&](auto note) {
                return !note.IsEmptyPair() && MapInstrumentSlot(note.instrument, note.pitch) == slot;
            });
            if (startsThisSlot) {
                const test::Samples beatSamples(alone.data() + beat * beatLength, beatLength);
                EXPECT_GT(test::PeakLevel(beatSamples), 1000) << "slot " << slot << " at beat " << beat;
            }
        }
    }
    const std::vector<std::int16_t> all = Render(song, DefaultBank());
    EXPECT_GT(test::PeakLevel(all), 5000);
}

INSTANTIATE_TEST_SUITE_P(Examples, DemoSongPlayback, ::testing::ValuesIn(test::kDemoSongs), [](const auto& caseInfo) {
    std::string name = caseInfo.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

struct StaffNote {
    std::uint8_t pitch;
    const char* name;
    double hz;
};

void PrintTo(const StaffNote& note, std::ostream* out) { *out << note.name; }

class DefaultBankOnTheStaff : public ::testing::TestWithParam<StaffNote> {};

// With the bank's sounds recorded at B3, the player's pitch table makes the
// staff read as written: pitch 2 is middle C.
TEST_P(DefaultBankOnTheStaff, APianoNoteSoundsAtTheNoteWritten) {
    SongRecord song = EmptySong(0);  // one long beat
    song.notes[0][0] = NoteSlot{GetParam().pitch, 0};
    const std::vector<std::int16_t> played = Render(song, DefaultBank(), 1);
    const double hz = test::LowestPartialHz(played, kOutputRate, 2000, 8192);
    EXPECT_NEAR(hz, GetParam().hz, 0.01 * GetParam().hz);
}

INSTANTIATE_TEST_SUITE_P(Pitches, DefaultBankOnTheStaff,
                         ::testing::Values(StaffNote{1, "B3", 246.94}, StaffNote{2, "C4", 261.63},
                                           StaffNote{6, "G4", 392.00}, StaffNote{8, "B4", 493.88},
                                           StaffNote{13, "G5", 783.99}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

}  // namespace
}  // namespace melvo
