// The console frames the audio callback writes at each beat, built in full
// before audio starts so that a redraw is one write of finished text.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "formats/song_record.hpp"
#include "player/bank_file.hpp"
#include "player/staff.hpp"

namespace melvo {

inline constexpr std::string_view kExitPromptLine = "press any key to exit\n";
inline constexpr std::string_view kSilentPlayLine = "(no audio device: playing silently)\n";

struct FrameStyle {
    std::string_view clearSequence;  // written first; empty when not a terminal
    bool toTerminal = false;         // show control bytes from the files as '?'
    bool silent = false;             // no device: add the silent-play line
};

// One redraw for `beat` (0..95): clear, header, cursor line and staff, the
// exit prompt, and in silent play one line more.
std::string RedrawFrame(const SongRecord& song, const InstrumentBank& bank, const StaffText& staves, int beat,
                        const FrameStyle& style);

// The frames of all 96 beats.
class RedrawFrames {
public:
    RedrawFrames(const SongRecord& song, const InstrumentBank& bank, const StaffText& staves, const FrameStyle& style);

    std::string_view ForBeat(int beat) const { return frames_[static_cast<std::size_t>(beat)]; }

private:
    std::array<std::string, kBeatsPerSong> frames_;
};

}  // namespace melvo
