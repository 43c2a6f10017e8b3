// Banks shared online: any bytes through the bank reader and, when it
// accepts them, a few thousand samples of playback over every slot, with
// notes both on and off the staff.
#include <cstddef>
#include <cstdint>

#include "formats/byte_source.hpp"
#include "player/bank_file.hpp"
#include "player/sequencer.hpp"

namespace {

melvo::SongRecord EdgeSong() {
    melvo::SongRecord song = melvo::EmptySong(255);
    // Six beats reach every bank slot, both halves of instrument 12 and
    // notes the staff has no place for.
    static constexpr std::uint8_t kPitches[] = {1, 8, 13, 0, 14, 15, 16, 255, 7, 6, 2, 3, 4, 5, 9, 10, 11, 12};
    static constexpr std::uint8_t kInstruments[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 12, 13, 14, 255, 254};
    for (std::size_t i = 0; i < sizeof kPitches; ++i) {
        song.notes[i / 3][i % 3] = melvo::NoteSlot{kPitches[i], kInstruments[i]};
    }
    return song;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const melvo::MemoryByteSource source(melvo::Bytes(data, size));
    const auto result = melvo::ParseInstrumentBank(source);
    const auto* bank = std::get_if<melvo::InstrumentBank>(&result);
    if (bank == nullptr) {
        return 0;
    }
    for (const auto& slot : bank->slots) {
        // A slot never claims more samples than the file holds.
        if (slot.count != slot.data.size() || slot.count * 2ULL > size) {
            __builtin_trap();
        }
    }
    static const melvo::SongRecord song = EdgeSong();
    melvo::Player player(song.tempo, song, *bank);
    const std::int64_t samples = 6LL * player.samplesPerBeat();
    static volatile std::int64_t sink = 0;
    for (std::int64_t i = 0; i < samples; ++i) {
        sink = sink + player.NextSample();
    }
    return 0;
}
