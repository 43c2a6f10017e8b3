// A small text notation for songs, compiled into the song record that a
// version-2 song file holds. The demo songs are written in it.
//
//   # a comment runs to the end of its line
//   title  Ode to Joy          (at most 32 characters; so are author and bank)
//   author Melvo
//   bank   default.mvi         (optional; default.mvi when left out)
//   tempo  74                  (0..255; larger is faster)
//   voice 1                    (1..3: the note slot that the following beats fill)
//   @flute E4 . E4 F4 | G4 ...
//
// After "voice N", each word is one beat of that voice: a note from B3 to
// G5 (the thirteen staff pitches, B3 lowest), or "." for no note. "@name" or
// "@number" chooses the instrument for the voice's following notes; "|" is
// a bar line for the reader and takes no beat. A voice that is used must
// hold exactly 96 beats; a voice that is never named stays empty.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "formats/song_record.hpp"

namespace melvo::notation {

struct NotationError {
    int line = 0;  // 1-based; 0 for the song as a whole
    std::string message;
};

using CompileResult = std::variant<SongRecord, NotationError>;

CompileResult CompileSong(std::string_view text);

// The instrument number for a name of the default bank ("piano", "snare", ...)
// or a number 0..14.
std::optional<std::uint8_t> InstrumentNumber(std::string_view word);

// The pitch byte for a staff note "B3".."G5".
std::optional<std::uint8_t> StaffPitch(std::string_view word);

}  // namespace melvo::notation
