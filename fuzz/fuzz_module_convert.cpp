// Modules downloaded from archives: any bytes through the module reader and,
// when it accepts them, the conversion to a song that the player must read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/byte_source.hpp"
#include "modconv/module_convert.hpp"
#include "modconv/module_loader.hpp"
#include "modconv/module_reader.hpp"
#include "modconv/song_image.hpp"
#include "player/song_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const melvo::MemoryByteSource source(melvo::Bytes(data, size));
    const melvo::ModuleReadResult result = melvo::ReadModule(source);
    const std::string lines = melvo::ModuleReadLines(result, "fuzz.mod", true);
    if (result.error != melvo::ModuleReadError::None) {
        return 0;
    }
    melvo::SongImage image;
    melvo::InitSongImage(image);
    std::string warnings;
    melvo::ConvertModule(result.module, image, warnings);
    const melvo::SongFileImage file = melvo::EncodeSongImage(image);
    if (!std::holds_alternative<melvo::SongRecord>(melvo::ParseSongFile(file))) {
        __builtin_trap();
    }
    // The converter places only staff notes of the 15 instruments.
    for (const auto& beat : image.song.notes) {
        for (const auto& slot : beat) {
            if (!slot.IsEmptyPair() && (slot.pitch < 1 || slot.pitch > 13 || slot.instrument > 14)) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
