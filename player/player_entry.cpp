#include "player/player_entry.hpp"

#include "formats/text_field.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/program_path.hpp"
#include "player/bank_file.hpp"
#include "player/song_file.hpp"

namespace melvo {

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
    (void)bank;
    return 0;
}

}  // namespace melvo
