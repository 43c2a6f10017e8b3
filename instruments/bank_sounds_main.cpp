// Writes the sixteen WAV files of the default bank into the directory given.
#include <cstdio>
#include <string>

#include "instruments/bank_sounds.hpp"
#include "instruments/wav_writer.hpp"
#include "platform/files.hpp"

int main(int argc, char** argv) {
    using namespace melvo;
    if (argc != 2) {
        std::fputs("usage: melvo_bank_sounds <directory>\n", stderr);
        return 2;
    }
    const std::string directory = argv[1];
    for (const instruments::BankSound& sound : instruments::BankSounds()) {
        const std::string path = directory + platform::kPathSeparator + std::string(sound.fileName);
        const auto wav = instruments::EncodeWav16Mono(sound.synthesise(), instruments::kSoundRate);
        if (!platform::WriteFileAtomically(path, wav)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
