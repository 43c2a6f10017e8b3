#include "player/player_entry.hpp"

#include <chrono>
#include <cstdlib>

#include "formats/text_field.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/program_path.hpp"
#include "player/audio_sdl.hpp"
#include "player/bank_file.hpp"
#include "player/sequencer.hpp"
#include "player/song_file.hpp"
#include "player/staff.hpp"

namespace melvo {
namespace {

// Half of the one second within which a key must end the process.
inline constexpr std::chrono::milliseconds kAudioShutdownLimit{500};

}  // namespace

std::string InstrumentsDirectory(std::string_view programDirectory) {
    std::string directory(programDirectory);
    directory += "instruments";
    directory += platform::kPathSeparator;
    return directory;
}

int RunPlayer(int argc, char** argv) {
    if (argc != 2) {
        platform::WriteStdout(kPlayerSyntaxLine);
        return 0;
    }
    const std::string programDirectory = platform::ProgramDirectory(argv[0]);
    const SongRecord song = LoadSongFile(argv[1]);
    const InstrumentBank bank = LoadInstrumentBank(InstrumentsDirectory(programDirectory), FieldText(song.bankName));

    // Everything the audio thread reads exists before it starts and is not
    // touched here again.
    Player player(song.tempo, song, bank);
    const StaffText staves = BuildStaves(song);

    // Key mode first, so that keys typed while the song plays are not echoed
    // into the staff.
    platform::EnterKeyMode();
    StartAudio(player, staves);
    platform::ReadKey();
    platform::RestoreTerminal();

    if (!StopAudio(kAudioShutdownLimit)) {
        // The audio thread is stuck (say, on a full console pipe) and still
        // uses what this function owns: end without unwinding.
        std::_Exit(0);
    }
    return 0;
}

}  // namespace melvo
