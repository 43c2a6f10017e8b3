#include "player/sequencer.hpp"

#include <algorithm>
#include <cmath>

namespace melvo {
namespace {

inline constexpr std::uint8_t kEmptySlotMarker = 223;  // MapInstrumentSlot of the empty pair

bool IsOccupied(const NoteSlot& note, std::uint8_t bankSlot) {
    return !(note.pitch == kEmptyPitch && bankSlot == kEmptySlotMarker);
}

}  // namespace

double PitchStep(std::int32_t semitones) {
    const double pitched = 27.5 * std::pow(2.0, semitones / 12.0);
    const double base = 27.5 * std::pow(2.0, 1 / 12.0);
    return pitched / base;
}

std::uint8_t MapInstrumentSlot(std::uint8_t instrument, std::uint8_t pitch) {
    if (instrument <= 11) {
        return instrument;
    }
    switch (instrument) {
        case 12:
            return pitch <= 6 ? std::uint8_t{12} : std::uint8_t{13};
        case 13:
            return 14;
        case 14:
            return 15;
        case kEmptyInstrument:
            return kEmptySlotMarker;
        default:
            return static_cast<std::uint8_t>(instrument + 1);
    }
}

std::int32_t SamplesPerBeat(std::uint8_t tempo) { return (10 * tempo + 600010) / (tempo + 1); }

Player::Player(std::uint8_t tempo, const SongRecord& song, const InstrumentBank& bank) : Player(tempo, song, bank, 0) {}

Player::Player(std::uint8_t tempo, const SongRecord& song, const InstrumentBank& bank, std::int64_t sampleCount)
    : song_(&song), bank_(&bank), samplesPerBeat_(SamplesPerBeat(tempo)) {
    sampleCount_ = std::max<std::int64_t>(sampleCount, 0);
    sampleInBeat_ = static_cast<std::int32_t>(sampleCount_ % samplesPerBeat_);
    beat_ = static_cast<std::int32_t>((sampleCount_ / samplesPerBeat_) % kBeatsPerSong);
    for (std::size_t pitch = 0; pitch < PitchTable.size(); ++pitch) {
        steps_[pitch] = PitchStep(PitchTable[pitch]);
    }
}

void Player::StartBeat() {
    const BeatNotes& notes = song_->notes[static_cast<std::size_t>(beat_)];
    std::array<std::uint8_t, kVoiceCount> bankSlots{};
    bool anyOccupied = false;
    for (std::size_t k = 0; k < kVoiceCount; ++k) {
        bankSlots[k] = MapInstrumentSlot(notes[k].instrument, notes[k].pitch);
        anyOccupied = anyOccupied || IsOccupied(notes[k], bankSlots[k]);
    }
    if (!anyOccupied) {
        return;  // an empty beat lets every voice ring on
    }
    for (Voice& voice : voices_) {
        voice.position = 0.0;
        voice.active = false;
    }
    for (std::size_t k = 0; k < kVoiceCount; ++k) {
        if (IsOccupied(notes[k], bankSlots[k])) {
            StartNote(voices_[k], notes[k], bankSlots[k]);
        }
    }
}

// A note that names no bank slot or no pitch step, or a slot without
// samples, still took the voice (it stopped the others) but stays silent.
void Player::StartNote(Voice& voice, const NoteSlot& note, std::uint8_t bankSlot) const {
    voice.pitch = note.pitch;
    if (bankSlot >= bank_->slots.size()) {
        voice.sample = nullptr;
        return;
    }
    const SampleSlot& slot = bank_->slots[bankSlot];
    voice.sample = &slot;
    const std::size_t playable = std::min<std::size_t>(slot.count, slot.data.size());
    if (note.pitch >= steps_.size() || playable == 0) {
        return;
    }
    voice.samples = slot.data.data();
    voice.length = static_cast<double>(playable);
    voice.step = steps_[note.pitch];
    voice.active = true;
}

}  // namespace melvo
