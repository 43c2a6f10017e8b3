#include "player/song_file.hpp"

#include <algorithm>
#include <array>

#include "platform/files.hpp"
#include "player/report_error.hpp"

namespace melvo {

std::string_view SongLoadMessage(SongLoadError error) {
    switch (error) {
        case SongLoadError::FileNotFound:
            return "file not found";
        case SongLoadError::NotASongFile:
            return "not a valid .mvs file";
        case SongLoadError::CompressionUnsupported:
            return "no compression supported yet";
        case SongLoadError::InvalidVersion:
            return "not a valid version number";
        case SongLoadError::VersionTooNew:
            return "too new version of the format, this version only suports fileformat v2 max";
        case SongLoadError::FileTooShort:
            return "file is too short";
    }
    return "file not found";
}

SongLoadResult ParseSongFile(Bytes file) {
    ByteReader reader(file);
    std::array<std::uint8_t, 4> magic{};
    reader.Copy(magic);
    if (!reader.ok()) {
        return SongLoadError::FileTooShort;
    }
    if (magic != kSongMagic) {
        return SongLoadError::NotASongFile;
    }
    const auto version = static_cast<std::int16_t>(reader.U16le());
    const std::uint8_t compression = reader.U8();
    if (!reader.ok()) {
        return SongLoadError::FileTooShort;
    }
    if (compression != 0) {
        return SongLoadError::CompressionUnsupported;
    }
    if (version == 0) {
        return SongLoadError::InvalidVersion;
    }
    if (version == 1) {
        SongBodyV1 body{};
        reader.Copy(body);
        if (!reader.ok()) {
            return SongLoadError::FileTooShort;
        }
        return UpgradeSongV1(body);
    }
    if (version == 2) {
        SongBodyV2 body{};
        reader.Copy(body);
        if (!reader.ok()) {
            return SongLoadError::FileTooShort;
        }
        return DecodeSongBodyV2(body);
    }
    return SongLoadError::VersionTooNew;
}

SongLoadResult TryLoadSongFile(const std::string& path) {
    const auto file = platform::RegularFile::Open(path);
    if (!file) {
        return SongLoadError::FileNotFound;
    }
    // A song never needs more than a version-2 file's bytes.
    std::array<std::uint8_t, kSongFileSizeV2> buffer{};
    const std::size_t length = file->ReadAt(0, buffer);
    return ParseSongFile(Bytes(buffer.data(), length));
}

SongRecord LoadSongFile(const std::string& path) {
    auto result = TryLoadSongFile(path);
    if (const auto* error = std::get_if<SongLoadError>(&result)) {
        ReportError(SongLoadMessage(*error));
    }
    return std::get<SongRecord>(result);
}

}  // namespace melvo
