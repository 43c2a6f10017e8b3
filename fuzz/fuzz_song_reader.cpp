// Song files from strangers: any bytes must decode or be refused cleanly.
#include <cstddef>
#include <cstdint>

#include "player/song_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto result = melvo::ParseSongFile(melvo::Bytes(data, size));
    if (const auto* song = std::get_if<melvo::SongRecord>(&result)) {
        // The record round-trips through the writer without change.
        const auto body = melvo::EncodeSongBodyV2(*song);
        if (melvo::DecodeSongBodyV2(body) != *song) {
            __builtin_trap();
        }
    }
    return 0;
}
