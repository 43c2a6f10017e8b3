#include "modconv/song_image.hpp"

#include <algorithm>

#include "platform/files.hpp"

namespace melvo {

void InitSongImage(SongImage& image) {
    image.magic = kSongMagic;
    image.version = 2;
    image.compression = 0;
    image.song.title = TextField{};
    image.song.author = TextField{};
    image.song.bankName = TextField{};
    image.song.tempo = kConverterDefaultTempo;
}

SongFileImage EncodeSongImage(const SongImage& image) {
    SongFileImage file{};
    const MutableBytes out(file);
    std::copy(image.magic.begin(), image.magic.end(), file.begin() + kSongMagicOffset);
    WriteU16le(out, kSongVersionOffset, static_cast<std::uint16_t>(image.version));
    WriteU8(out, kSongCompressionOffset, image.compression);
    const SongBodyV2 body = EncodeSongBodyV2(image.song);
    std::copy(body.begin(), body.end(), file.begin() + kSongHeaderSize);
    return file;
}

bool WriteSongImage(const SongImage& image, const std::string& path) {
    const SongFileImage file = EncodeSongImage(image);
    return platform::WriteFileAtomically(path, file);
}

}  // namespace melvo
