// The sequencer and mixer, driven directly: the beat clock, which voice plays
// what, the exact pitch steps and the exact mix.
#include "player/sequencer.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <numeric>
#include <vector>

namespace melvo {
namespace {

constexpr std::uint8_t kFastTempo = 255;  // 2353 samples per beat
constexpr int kFastBeat = 2353;

std::vector<std::int16_t> Ramp(int length, int start = 0) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(length));
    std::iota(samples.begin(), samples.end(), static_cast<std::int16_t>(start));
    return samples;
}

std::vector<std::int16_t> Constant(int length, std::int16_t value) {
    return std::vector<std::int16_t>(static_cast<std::size_t>(length), value);
}

void SetSlot(InstrumentBank& bank, std::size_t slot, std::vector<std::int16_t> samples) {
    bank.slots[slot].count = static_cast<std::uint32_t>(samples.size());
    bank.slots[slot].data = std::move(samples);
}

void SetNote(SongRecord& song, int beat, int slot, std::uint8_t pitch, std::uint8_t instrument) {
    song.notes[static_cast<std::size_t>(beat)][static_cast<std::size_t>(slot)] = NoteSlot{pitch, instrument};
}

std::vector<std::int16_t> Render(Player& player, int count) {
    std::vector<std::int16_t> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        out.push_back(player.NextSample());
    }
    return out;
}

// Samples a voice gives at pitch 1, seen through the mix: a third each.
std::int16_t Third(int value) { return static_cast<std::int16_t>(value / 3); }

TEST(SamplesPerBeat, FollowsTheTempoByte) {
    const struct {
        std::uint8_t tempo;
        std::int32_t samples;
    } cases[] = {{0, 600010}, {1, 300010}, {145, 4119}, {146, 4091}, {150, 3983}, {255, 2353}};
    for (const auto& c : cases) {
        EXPECT_EQ(SamplesPerBeat(c.tempo), c.samples) << int{c.tempo};
    }
}

TEST(PitchStep, EveryPitchBitForBit) {
    // Ratios of 27.5 * 2^(e / 12) to 27.5 * 2^(1 / 12) in doubles; pitches 5,
    // 12 and 13 differ in the last bit from 2^((e - 1) / 12).
    const double expected[16] = {
        0x1.e3437e7101344p-1,
        0x1p+0,
        0x1.0f38f92d97963p+0,
        0x1.306fe0a31b715p+0,
        0x1.55b8108f0ec5ep+0,
        0x1.6a09e667f3bccp+0,
        0x1.965fea53d6e3cp+0,
        0x1.c823e074ec129p+0,
        0x1p+1,
        0x1.0f38f92d97963p+1,
        0x1.306fe0a31b715p+1,
        0x1.55b8108f0ec5ep+1,
        0x1.6a09e667f3bccp+1,
        0x1.965fea53d6e3cp+1,
        0x1.c823e074ec129p+1,
        0x1p+2,
    };
    for (std::size_t pitch = 0; pitch < 16; ++pitch) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(PitchStep(PitchTable[pitch])),
                  std::bit_cast<std::uint64_t>(expected[pitch]))
            << "pitch " << pitch << ": " << PitchStep(PitchTable[pitch]);
    }
}

TEST(MapInstrumentSlot, InstrumentTwelveSplitsAndHighBytesShiftByOne) {
    const struct {
        std::uint8_t instrument;
        std::uint8_t pitch;
        std::uint8_t slot;
    } cases[] = {
        {0, 1, 0},       {11, 13, 11},    {12, 0, 12},   {12, 6, 12},   {12, 7, 13},
        {12, 255, 13},   {13, 1, 14},     {14, 13, 15},  {15, 1, 16},   {221, 1, 222},
        {222, 255, 223}, {223, 255, 223}, {223, 1, 223}, {224, 1, 225}, {255, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MapInstrumentSlot(c.instrument, c.pitch), c.slot)
            << "instrument " << int{c.instrument} << " pitch " << int{c.pitch};
    }
}

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest() : song_(EmptySong(kFastTempo)) {}

    Player MakePlayer() { return Player(song_.tempo, song_, bank_); }

    SongRecord song_;
    InstrumentBank bank_;
};

TEST_F(PlayerTest, TheVeryFirstSamplePlaysBeatZero) {
    SetSlot(bank_, 3, {300, 600, 900});
    SetNote(song_, 0, 0, 1, 3);
    Player player = MakePlayer();
    EXPECT_EQ(Render(player, 4), (std::vector<std::int16_t>{100, 200, 300, 0}));
    EXPECT_FALSE(player.redrawPending());
}

TEST_F(PlayerTest, AtPitchOneASampleSoundsForExactlyItsLengthThenStops) {
    SetSlot(bank_, 0, Ramp(1000, 3));
    SetNote(song_, 0, 1, 1, 0);
    Player player = MakePlayer();
    const auto out = Render(player, 999);
    for (int i = 0; i < 999; ++i) {
        ASSERT_EQ(out[static_cast<std::size_t>(i)], Third(i + 3)) << i;
    }
    EXPECT_TRUE(player.voices()[1].active);
    EXPECT_EQ(player.NextSample(), Third(1002));
    EXPECT_FALSE(player.voices()[1].active);
    EXPECT_EQ(player.voices()[1].position, 0.0);
    EXPECT_EQ(player.NextSample(), 0);
}

TEST_F(PlayerTest, PitchEightReadsEverySecondSampleAndEndsInHalfTheTime) {
    SetSlot(bank_, 5, Ramp(1001));
    SetNote(song_, 0, 2, 8, 5);
    Player player = MakePlayer();
    const auto out = Render(player, 502);
    for (int i = 0; i < 501; ++i) {
        ASSERT_EQ(out[static_cast<std::size_t>(i)], Third(2 * i)) << i;
    }
    EXPECT_EQ(out[501], 0);
}

TEST_F(PlayerTest, OtherPitchesStepByTheirExactRatio) {
    SetSlot(bank_, 1, Ramp(3000));
    SetNote(song_, 0, 0, 13, 1);
    Player player = MakePlayer();
    const auto out = Render(player, 900);
    double position = 0.0;
    const double step = 0x1.965fea53d6e3cp+1;
    for (int i = 0; i < 900; ++i) {
        ASSERT_EQ(out[static_cast<std::size_t>(i)], Third(static_cast<int>(position))) << i;
        position += step;
    }
}

TEST_F(PlayerTest, EmptyBeatsLetANoteRingOnUntilItsSampleEnds) {
    SetSlot(bank_, 0, Constant(3 * kFastBeat + 10, 3000));
    SetNote(song_, 0, 0, 1, 0);
    Player player = MakePlayer();
    const auto out = Render(player, 3 * kFastBeat + 20);
    for (int i = 0; i < 3 * kFastBeat + 10; ++i) {
        ASSERT_EQ(out[static_cast<std::size_t>(i)], 1000) << i;
    }
    for (int i = 3 * kFastBeat + 10; i < 3 * kFastBeat + 20; ++i) {
        ASSERT_EQ(out[static_cast<std::size_t>(i)], 0) << i;
    }
}

TEST_F(PlayerTest, AnOccupiedSlotStopsTheOtherVoicesAndStartsItsOwn) {
    SetSlot(bank_, 0, Constant(10000, 300));
    SetSlot(bank_, 1, Constant(10000, 3000));
    SetSlot(bank_, 2, Constant(10000, 30000));
    for (int slot = 0; slot < 3; ++slot) {
        SetNote(song_, 0, slot, 1, static_cast<std::uint8_t>(slot));
    }
    SetNote(song_, 1, 2, 1, 0);
    Player player = MakePlayer();
    const auto out = Render(player, kFastBeat + 1);
    EXPECT_EQ(out[kFastBeat - 1], 100 + 1000 + 10000);
    EXPECT_EQ(out[kFastBeat], 100);
    EXPECT_FALSE(player.voices()[0].active);
    EXPECT_FALSE(player.voices()[1].active);
    EXPECT_TRUE(player.voices()[2].active);
    EXPECT_EQ(player.voices()[2].sample, &bank_.slots[0]);
}

TEST_F(PlayerTest, EachOccupiedSlotPlaysOnItsOwnVoiceFromItsMappedBankSlot) {
    const struct {
        std::uint8_t instrument;
        std::uint8_t pitch;
        std::size_t bankSlot;
    } cases[] = {{12, 6, 12}, {12, 7, 13}, {13, 1, 14}, {14, 1, 15}, {255, 1, 0}, {4, 0, 4}};
    for (std::size_t i = 0; i < 16; ++i) {
        SetSlot(bank_, i, Constant(50, static_cast<std::int16_t>(300 * (i + 1))));
    }
    for (const auto& c : cases) {
        song_ = EmptySong(kFastTempo);
        SetNote(song_, 0, 2, c.pitch, c.instrument);
        Player player = MakePlayer();
        EXPECT_EQ(player.NextSample(), static_cast<int>(100 * (c.bankSlot + 1))) << int{c.instrument};
        EXPECT_EQ(player.voices()[2].sample, &bank_.slots[c.bankSlot]) << int{c.instrument};
        EXPECT_EQ(player.voices()[2].pitch, c.pitch);
        EXPECT_FALSE(player.voices()[0].active);
        EXPECT_FALSE(player.voices()[1].active);
    }
}

// Notes the bank cannot play still take the beat: they stop the voices that
// were ringing, and make no sound themselves. Only the empty pair, and 222
// with pitch 255 (it maps onto the empty marker), leave the beat empty.
TEST_F(PlayerTest, NotesOutsideTheBankOrPitchTableAreSilentButStillStopTheVoices) {
    const struct {
        NoteSlot note;
        bool stopsOthers;
    } cases[] = {
        {{255, 223}, false}, {{255, 222}, false}, {{1, 222}, true}, {{1, 223}, true}, {{1, 15}, true},
        {{1, 254}, true},    {{16, 0}, true},     {{255, 0}, true}, {{1, 9}, true},  // slot 9 holds no samples
    };
    SetSlot(bank_, 0, Constant(20000, 3000));
    for (const auto& c : cases) {
        song_ = EmptySong(kFastTempo);
        SetNote(song_, 0, 0, 1, 0);
        song_.notes[1][1] = c.note;
        Player player = MakePlayer();
        const auto out = Render(player, kFastBeat + 100);
        EXPECT_EQ(out[kFastBeat + 99], c.stopsOthers ? 0 : 1000)
            << "pitch " << int{c.note.pitch} << " instrument " << int{c.note.instrument};
        EXPECT_FALSE(player.voices()[1].active);
    }
}

TEST_F(PlayerTest, MixGivesEachVoiceAThirdTruncatedTowardZero) {
    const struct {
        std::int16_t values[3];  // bank slots 0..2, played on voices 0..2; 0 = silent
        std::int16_t mixed;
    } cases[] = {
        {{-32768, -32768, -32768}, -32766},
        {{32767, 32767, 32767}, 32766},
        {{32767, 0, 0}, 10922},
        {{-2, 0, 0}, 0},
        {{-2, 5, 0}, 1},
        {{-4, -4, -4}, -3},
        {{300, 300, 0}, 200},
    };
    for (const auto& c : cases) {
        song_ = EmptySong(kFastTempo);
        for (std::size_t voice = 0; voice < 3; ++voice) {
            if (c.values[voice] != 0) {
                SetSlot(bank_, voice, {c.values[voice]});
                SetNote(song_, 0, static_cast<int>(voice), 1, static_cast<std::uint8_t>(voice));
            }
        }
        Player player = MakePlayer();
        EXPECT_EQ(player.NextSample(), c.mixed) << c.values[0] << " " << c.values[1] << " " << c.values[2];
    }
}

TEST_F(PlayerTest, RedrawIsPendingAfterTheLastSampleOfEachBeatAndTheBeatWrapsAfter95) {
    Player player = MakePlayer();
    const int total = (kBeatsPerSong + 2) * kFastBeat;
    int redraws = 0;
    for (int call = 1; call <= total; ++call) {
        player.NextSample();
        const bool beatEnded = call % kFastBeat == 0;
        ASSERT_EQ(player.redrawPending(), beatEnded) << "call " << call;
        if (beatEnded) {
            ++redraws;
            ASSERT_EQ(player.beat(), (call / kFastBeat) % kBeatsPerSong);
        }
    }
    EXPECT_EQ(redraws, kBeatsPerSong + 2);
    EXPECT_EQ(player.beat(), 2);
}

TEST_F(PlayerTest, TheSongStartsAgainAtBeatZeroAfterBeat95) {
    SetSlot(bank_, 7, Constant(10, 3));
    SetSlot(bank_, 8, Constant(10000, 30));
    SetNote(song_, 0, 0, 1, 7);
    SetNote(song_, 95, 1, 1, 8);
    Player player = MakePlayer();
    const auto out = Render(player, (kBeatsPerSong + 1) * kFastBeat);
    const int secondPass = kBeatsPerSong * kFastBeat;
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[secondPass - 1], 10);
    EXPECT_EQ(out[secondPass], 1);  // beat 0 again, and it cut beat 95's note
    EXPECT_EQ(out[secondPass + 10], 0);
}

TEST_F(PlayerTest, BeatsStayExactlyOneBeatApartPastTwoToThe31Samples) {
    constexpr std::int64_t kBoundary = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    const std::int64_t start = (kBoundary / kFastBeat) * kFastBeat - 5;  // 5 samples before a beat
    Player player(song_.tempo, song_, bank_, start);
    const int firstBeat = player.beat();
    std::vector<std::int64_t> boundaries;
    for (int call = 0; call < 4 * kFastBeat; ++call) {
        player.NextSample();
        if (player.redrawPending()) {
            boundaries.push_back(player.sampleCount());
        }
    }
    ASSERT_EQ(boundaries.size(), 4u);
    EXPECT_EQ(boundaries[0], start + 5);
    for (std::size_t i = 1; i < boundaries.size(); ++i) {
        EXPECT_EQ(boundaries[i] - boundaries[i - 1], kFastBeat);
    }
    EXPECT_GT(boundaries[1], kBoundary);
    EXPECT_EQ(player.beat(), (firstBeat + 4) % kBeatsPerSong);
    EXPECT_EQ(player.sampleCount(), start + 4 * kFastBeat);
}

}  // namespace
}  // namespace melvo
