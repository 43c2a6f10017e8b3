// Save states and song files from strangers, through the rip and the inject.
// Input: a 2-byte little-endian length, that many bytes of song file, and
// the rest as the save state.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/byte_io.hpp"
#include "player/song_file.hpp"
#include "tool/save_state_transfer.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const melvo::Bytes input(data, size);
    const std::size_t songLength = std::min<std::size_t>(melvo::ReadU16le(input, 0), size > 2 ? size - 2 : 0);
    const melvo::Bytes song = input.subspan(std::min<std::size_t>(2, size), songLength);
    const melvo::Bytes state = input.subspan(std::min<std::size_t>(2, size) + songLength);

    std::vector<std::uint8_t> patched(state.begin(), state.end());
    const auto plan = melvo::PlanInjection(song, state);
    if (const auto* patch = std::get_if<melvo::InjectPatch>(&plan)) {
        melvo::ApplyInjection(patched, *patch);
    }

    const auto title = melvo::MakeTextField("t");
    const auto image = melvo::RipSongImage(state, title, title, title);
    if (image) {
        // Whatever a rip writes, the player reads; injecting it back changes nothing
        // in a state long enough to hold the song.
        if (!std::holds_alternative<melvo::SongRecord>(melvo::ParseSongFile(*image))) {
            __builtin_trap();
        }
        std::vector<std::uint8_t> roundTrip(state.begin(), state.end());
        const auto back = melvo::PlanInjection(*image, state);
        if (!std::holds_alternative<melvo::InjectPatch>(back)) {
            __builtin_trap();
        }
        melvo::ApplyInjection(roundTrip, std::get<melvo::InjectPatch>(back));
        if (state.size() >= melvo::kStateSongEnd && !std::equal(roundTrip.begin(), roundTrip.end(), state.begin())) {
            __builtin_trap();
        }
    }
    return 0;
}
