#include "player/redraw_frames.hpp"

#include <algorithm>

#include "formats/text_field.hpp"
#include "platform/console.hpp"

namespace melvo {
namespace {

TextField ShownField(const TextField& field, bool toTerminal) {
    return MakeTextField(platform::ForDisplay(FieldText(field), toTerminal));
}

// Texts and letters come from files that strangers share; on a terminal their
// control bytes must not reach it. Masking the inputs rather than the drawn
// text keeps the line ends of the drawing itself.
SongRecord ShownSong(const SongRecord& song, bool toTerminal) {
    SongRecord shown = song;
    shown.title = ShownField(song.title, toTerminal);
    shown.author = ShownField(song.author, toTerminal);
    return shown;
}

InstrumentBank ShownBankNames(const InstrumentBank& bank, bool toTerminal) {
    InstrumentBank names;
    names.packName = ShownField(bank.packName, toTerminal);
    names.author = ShownField(bank.author, toTerminal);
    return names;
}

StaffText ShownStaves(const StaffText& staves, bool toTerminal) {
    StaffText shown = staves;
    for (Staff& staff : shown.staves) {
        for (StaffRow& row : staff) {
            const std::string text = platform::ForDisplay(std::string_view(row.data(), row.size()), toTerminal);
            std::copy(text.begin(), text.end(), row.begin());
        }
    }
    return shown;
}

std::string AssembleFrame(const std::string& header, const StaffText& staves, int beat, const FrameStyle& style) {
    std::string frame(style.clearSequence);
    frame += header;
    frame += DrawStaff(staves, beat);
    frame += kExitPromptLine;
    if (style.silent) {
        frame += kSilentPlayLine;
    }
    return frame;
}

}  // namespace

std::string RedrawFrame(const SongRecord& song, const InstrumentBank& bank, const StaffText& staves, int beat,
                        const FrameStyle& style) {
    const std::string header = DrawHeader(ShownSong(song, style.toTerminal), ShownBankNames(bank, style.toTerminal));
    return AssembleFrame(header, ShownStaves(staves, style.toTerminal), beat, style);
}

RedrawFrames::RedrawFrames(const SongRecord& song, const InstrumentBank& bank, const StaffText& staves,
                           const FrameStyle& style) {
    const std::string header = DrawHeader(ShownSong(song, style.toTerminal), ShownBankNames(bank, style.toTerminal));
    const StaffText shownStaves = ShownStaves(staves, style.toTerminal);
    for (int beat = 0; beat < kBeatsPerSong; ++beat) {
        frames_[static_cast<std::size_t>(beat)] = AssembleFrame(header, shownStaves, beat, style);
    }
}

}  // namespace melvo
