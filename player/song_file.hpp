// The player's song reader: versions 1 and 2, checked in a fixed order.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "formats/byte_io.hpp"
#include "formats/song_record.hpp"

namespace melvo {

enum class SongLoadError {
    FileNotFound,
    NotASongFile,
    CompressionUnsupported,
    InvalidVersion,
    VersionTooNew,
    FileTooShort,
};

using SongLoadResult = std::variant<SongRecord, SongLoadError>;

// The user-facing text for each failure.
std::string_view SongLoadMessage(SongLoadError error);

// Decodes a song file held in memory. Checks come in this order: magic,
// compression, version; a file is refused as short only when a read needs
// bytes it does not have. Bytes after the body are ignored.
SongLoadResult ParseSongFile(Bytes file);

// Reads the song at `path` (a regular file only) and parses it.
SongLoadResult TryLoadSongFile(const std::string& path);

// The player's entry to the reader: returns the song or ends the program
// through ReportError with the reader's message.
SongRecord LoadSongFile(const std::string& path);

}  // namespace melvo
