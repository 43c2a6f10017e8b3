// The sequencer and mixer: turns a song and its bank into 16-bit mono samples
// at 32004 per second, one call at a time, with a beat clock that loops the
// song's 96 beats forever and flags each new beat for a redraw.
//
// Free of any audio or console code, so tests and offline rendering drive it
// directly.
#pragma once

#include <array>
#include <cstdint>

#include "formats/song_record.hpp"
#include "player/bank_file.hpp"

namespace melvo {

inline constexpr int kOutputRate = 32004;  // samples per second
inline constexpr int kVoiceCount = 3;

// Semitones for each pitch byte 0..15; pitch 1 is the sample's own speed.
inline constexpr std::array<std::int32_t, 16> PitchTable = {0, 1, 2, 4, 6, 7, 9, 11, 13, 14, 16, 18, 19, 21, 23, 25};

// The read-position step for `semitones`, as the ratio of two pitches 27.5 Hz
// apart by semitone count. Kept in this exact form: the shorter 2^((e-1)/12)
// rounds differently in the last bit for some entries.
double PitchStep(std::int32_t semitones);

// The bank slot that plays a note. Instrument 12 has two slots, split at
// pitch 7. Bytes above 14 land on "instrument + 1" (8 bits), which is how
// stored songs have always sounded: 255 plays slot 0, and 222 becomes the
// empty marker 223.
std::uint8_t MapInstrumentSlot(std::uint8_t instrument, std::uint8_t pitch);

// Output samples per beat for a tempo byte; a larger byte plays faster.
std::int32_t SamplesPerBeat(std::uint8_t tempo);

struct Voice {
    double position = 0.0;               // read position in the sample, in samples
    std::int32_t pitch = 255;            // pitch byte of the note, 0..255
    const SampleSlot* sample = nullptr;  // the slot being played, or none
    bool active = false;                 // sounding

    // Worked out when the note starts, so the per-sample path only adds.
    double step = 0.0;                      // read positions per output sample
    double length = 0.0;                    // sample->count, as a position
    const std::int16_t* samples = nullptr;  // sample->data
};

// One voice's value for this output sample; moves the voice on and stops it
// when its sample runs out.
inline std::int16_t StepVoice(Voice& voice) {
    if (!voice.active) {
        return 0;
    }
    // position lies in 0..length-1 (below 2^32), so a signed conversion
    // suffices and spares the check an unsigned one needs.
    const std::int16_t value = voice.samples[static_cast<std::int64_t>(voice.position)];
    voice.position += voice.step;
    if (voice.position >= voice.length) {
        voice.active = false;
        voice.position = 0.0;
    }
    return value;
}

class Player {
public:
    // A player at the very start of the song.
    Player(std::uint8_t tempo, const SongRecord& song, const InstrumentBank& bank);
    // A player whose clock stands as after `sampleCount` samples (beat and
    // position within it), with all voices stopped: for long-run checks.
    Player(std::uint8_t tempo, const SongRecord& song, const InstrumentBank& bank, std::int64_t sampleCount);

    // The next output sample. Afterwards redrawPending() tells whether a beat
    // has just ended; beat() is then the beat the next sample starts.
    inline std::int16_t NextSample();

    bool redrawPending() const { return redrawPending_; }
    const SongRecord& song() const { return *song_; }
    const InstrumentBank& bank() const { return *bank_; }
    std::int32_t beat() const { return beat_; }
    const std::array<Voice, kVoiceCount>& voices() const { return voices_; }
    std::int64_t sampleCount() const { return sampleCount_; }
    std::int32_t samplesPerBeat() const { return samplesPerBeat_; }

private:
    void StartBeat();
    void StartNote(Voice& voice, const NoteSlot& note, std::uint8_t bankSlot) const;

    bool redrawPending_ = false;
    const SongRecord* song_;
    const InstrumentBank* bank_;
    std::int32_t beat_ = 0;  // 0..95
    std::array<Voice, kVoiceCount> voices_{};
    std::int64_t sampleCount_ = 0;  // since playback began; never wraps in practice
    std::int32_t samplesPerBeat_;
    // sampleCount_ modulo samplesPerBeat_, kept by counting so that the
    // per-sample path needs no division.
    std::int32_t sampleInBeat_ = 0;
    std::array<double, PitchTable.size()> steps_{};
};

inline std::int16_t Player::NextSample() {
    if (sampleInBeat_ == 0) {
        StartBeat();
    }
    const int value2 = StepVoice(voices_[2]);
    const int value1 = StepVoice(voices_[1]);
    const int value0 = StepVoice(voices_[0]);
    redrawPending_ = false;
    // Each voice gives a third, truncated toward zero: the sum stays within
    // -32766..32766 and needs no clipping.
    const auto mixed = static_cast<std::int16_t>(value0 / 3 + value1 / 3 + value2 / 3);
    ++sampleCount_;
    if (++sampleInBeat_ == samplesPerBeat_) {
        sampleInBeat_ = 0;
        beat_ = (beat_ + 1) % kBeatsPerSong;
        redrawPending_ = true;
    }
    return mixed;
}

}  // namespace melvo
