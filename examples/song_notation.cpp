#include "examples/song_notation.hpp"

#include <array>
#include <charconv>
#include <cstdint>

namespace melvo::notation {
namespace {

// The default bank's instruments, by instrument number.
constexpr std::array<std::string_view, 15> kInstrumentNames = {
    "piano", "guitar",  "organ",   "flute", "clarinet", "trumpet", "glockenspiel", "marimba",
    "pulse", "strings", "timpani", "snare", "epiano",   "choir",   "hihat"};

// The staff from its lowest line up; pitch byte 1 is B3.
constexpr std::array<std::string_view, 13> kStaffNotes = {"B3", "C4", "D4", "E4", "F4", "G4", "A4",
                                                          "B4", "C5", "D5", "E5", "F5", "G5"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Splits off the first word of `text`, leaving the rest in it.
std::string_view TakeWord(std::string_view& text) {
    text = Trim(text);
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) {
        ++end;
    }
    const std::string_view word = text.substr(0, end);
    text = Trim(text.substr(end));
    return word;
}

std::optional<int> Number(std::string_view word) {
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

SongRecord WithDefaultBank(SongRecord song) {
    song.bankName = MakeTextField("default.mvi");
    return song;
}

struct VoiceTrack {
    bool used = false;
    int beats = 0;
    std::uint8_t instrument = 0;
};

class Compiler {
public:
    std::optional<NotationError> Line(int number, std::string_view line) {
        line_ = number;
        if (const auto comment = line.find('#'); comment != std::string_view::npos) {
            line = line.substr(0, comment);
        }
        std::string_view rest = line;
        const std::string_view keyword = TakeWord(rest);
        if (keyword.empty()) {
            return std::nullopt;
        }
        if (keyword == "title") {
            return Text(rest, song_.title, seenTitle_);
        }
        if (keyword == "author") {
            return Text(rest, song_.author, seenAuthor_);
        }
        if (keyword == "bank") {
            return Text(rest, song_.bankName, seenBank_);
        }
        if (keyword == "tempo") {
            return Tempo(rest);
        }
        if (keyword == "voice") {
            return Voice(rest);
        }
        return Beats(line);
    }

    CompileResult Finish() {
        line_ = 0;
        if (!seenTitle_ || !seenAuthor_ || !seenTempo_) {
            return Error("a song needs a title, an author and a tempo");
        }
        for (std::size_t k = 0; k < tracks_.size(); ++k) {
            if (tracks_[k].used && tracks_[k].beats != kBeatsPerSong) {
                return Error("voice " + std::to_string(k + 1) + " holds " + std::to_string(tracks_[k].beats) +
                             " beats, not 96");
            }
        }
        return song_;
    }

private:
    NotationError Error(std::string message) const { return NotationError{line_, std::move(message)}; }

    std::optional<NotationError> Text(std::string_view value, TextField& field, bool& seen) {
        if (value.size() > kTextFieldSize) {
            return Error("longer than 32 characters");
        }
        field = MakeTextField(value);
        seen = true;
        return std::nullopt;
    }

    std::optional<NotationError> Tempo(std::string_view rest) {
        const auto value = Number(TakeWord(rest));
        if (!value || *value < 0 || *value > 255 || !rest.empty()) {
            return Error("a tempo is a number from 0 to 255");
        }
        song_.tempo = static_cast<std::uint8_t>(*value);
        seenTempo_ = true;
        return std::nullopt;
    }

    std::optional<NotationError> Voice(std::string_view rest) {
        const auto value = Number(TakeWord(rest));
        if (!value || *value < 1 || *value > kSlotsPerBeat || !rest.empty()) {
            return Error("a voice is 1, 2 or 3");
        }
        voice_ = *value - 1;
        tracks_[static_cast<std::size_t>(voice_)].used = true;
        return std::nullopt;
    }

    std::optional<NotationError> Beats(std::string_view rest) {
        if (voice_ < 0) {
            return Error("beats before the first voice line");
        }
        VoiceTrack& track = tracks_[static_cast<std::size_t>(voice_)];
        for (std::string_view word = TakeWord(rest); !word.empty(); word = TakeWord(rest)) {
            if (word == "|") {
                continue;
            }
            if (word.front() == '@') {
                const auto instrument = InstrumentNumber(word.substr(1));
                if (!instrument) {
                    return Error("no instrument " + std::string(word.substr(1)));
                }
                track.instrument = *instrument;
                continue;
            }
            if (track.beats == kBeatsPerSong) {
                return Error("voice " + std::to_string(voice_ + 1) + " goes past beat 96");
            }
            NoteSlot& slot = song_.notes[static_cast<std::size_t>(track.beats)][static_cast<std::size_t>(voice_)];
            if (word != ".") {
                const auto pitch = StaffPitch(word);
                if (!pitch) {
                    return Error("not a note, a rest or an instrument: " + std::string(word));
                }
                slot = NoteSlot{*pitch, track.instrument};
            }
            ++track.beats;
        }
        return std::nullopt;
    }

    SongRecord song_ = WithDefaultBank(EmptySong(0));
    std::array<VoiceTrack, kSlotsPerBeat> tracks_{};
    int voice_ = -1;
    int line_ = 0;
    bool seenTitle_ = false;
    bool seenBank_ = false;
    bool seenAuthor_ = false;
    bool seenTempo_ = false;
};

}  // namespace

std::optional<std::uint8_t> InstrumentNumber(std::string_view word) {
    for (std::size_t i = 0; i < kInstrumentNames.size(); ++i) {
        if (word == kInstrumentNames[i]) {
            return static_cast<std::uint8_t>(i);
        }
    }
    const auto number = Number(word);
    if (number && *number >= 0 && *number < static_cast<int>(kInstrumentNames.size())) {
        return static_cast<std::uint8_t>(*number);
    }
    return std::nullopt;
}

std::optional<std::uint8_t> StaffPitch(std::string_view word) {
    for (std::size_t i = 0; i < kStaffNotes.size(); ++i) {
        if (word == kStaffNotes[i]) {
            return static_cast<std::uint8_t>(i + 1);
        }
    }
    return std::nullopt;
}

CompileResult CompileSong(std::string_view text) {
    Compiler compiler;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (auto error = compiler.Line(number, line)) {
            return *std::move(error);
        }
    }
    return compiler.Finish();
}

}  // namespace melvo::notation
