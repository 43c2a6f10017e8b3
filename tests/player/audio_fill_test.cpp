// What the audio callback does with a buffer: little-endian samples from the
// sequencer, in order, and each beat's frame written between the beat's last
// sample and the next beat's first.
#include "player/audio_fill.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace melvo {
namespace {

struct WrittenFrame {
    std::string text;
    std::int64_t afterSample;  // samples made when the frame was written
};

std::vector<WrittenFrame> written;
const Player* watchedPlayer = nullptr;

void RecordFrame(std::string_view frame) { written.push_back({std::string(frame), watchedPlayer->sampleCount()}); }

class AudioFill : public ::testing::Test {
protected:
    AudioFill() : song_(EmptySong(255)) {
        bank_.slots[0].data = {30000, -30000, 2, -3, 300};
        bank_.slots[0].count = 5;
        song_.notes[0][1] = {1, 0};
        song_.notes[1][0] = {1, 0};
        written.clear();
        watchedPlayer = &player_;
    }
    ~AudioFill() override { watchedPlayer = nullptr; }

    SongRecord song_;
    InstrumentBank bank_;
    StaffText staves_ = BuildStaves(song_);
    RedrawFrames frames_{song_, bank_, staves_, FrameStyle{}};
    Player player_{song_.tempo, song_, bank_};
};

TEST_F(AudioFill, AFullBufferHolds4096SamplesFromTheSequencerInOrder) {
    Player& player = player_;
    Player reference(song_.tempo, song_, bank_);
    for (int buffer = 0; buffer < 3; ++buffer) {
        std::vector<std::uint8_t> bytes(8192, 0xAA);
        FillAudioBuffer(player, frames_, RecordFrame, bytes);
        for (std::size_t i = 0; i < 4096; ++i) {
            const auto expected = static_cast<std::uint16_t>(reference.NextSample());
            ASSERT_EQ(bytes[2 * i], expected & 0xFF) << buffer << ":" << i;
            ASSERT_EQ(bytes[2 * i + 1], expected >> 8) << buffer << ":" << i;
        }
    }
    EXPECT_EQ(player.sampleCount(), 3 * 4096);
    // Spot values: thirds of the first five samples, then silence.
    std::vector<std::uint8_t> again(16, 0);
    Player fresh(song_.tempo, song_, bank_);
    FillAudioBuffer(fresh, frames_, RecordFrame, again);
    EXPECT_EQ(again, (std::vector<std::uint8_t>{0x10, 0x27, 0xF0, 0xD8, 0, 0, 0xFF, 0xFF, 100, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(AudioFill, FramesComeRightAfterEachBeatsLastSampleTwoInOneBufferAtFastTempos) {
    Player& player = player_;
    std::vector<std::uint8_t> bytes(8192);
    FillAudioBuffer(player, frames_, RecordFrame, bytes);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].afterSample, 2353);
    EXPECT_EQ(written[0].text, frames_.ForBeat(1));

    FillAudioBuffer(player, frames_, RecordFrame, bytes);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[1].afterSample, 2 * 2353);
    EXPECT_EQ(written[1].text, frames_.ForBeat(2));
    EXPECT_EQ(written[2].afterSample, 3 * 2353);
    EXPECT_EQ(written[2].text, frames_.ForBeat(3));
}

TEST_F(AudioFill, AnEmptyBufferMakesNothingAndAnOddByteIsLeftAlone) {
    Player& player = player_;
    std::vector<std::uint8_t> none;
    FillAudioBuffer(player, frames_, RecordFrame, none);
    EXPECT_EQ(player.sampleCount(), 0);

    std::vector<std::uint8_t> odd(5, 0xAA);
    FillAudioBuffer(player, frames_, RecordFrame, odd);
    EXPECT_EQ(player.sampleCount(), 2);
    EXPECT_EQ(odd, (std::vector<std::uint8_t>{0x10, 0x27, 0xF0, 0xD8, 0xAA}));
    EXPECT_TRUE(written.empty());
}

}  // namespace
}  // namespace melvo
