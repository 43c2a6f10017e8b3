// melvo_compose: compiles a song written in the text notation into a
// version-2 song file, e.g. melvo_compose ode-to-joy.txt ode-to-joy.mvs
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <variant>

#include "examples/song_notation.hpp"
#include "platform/files.hpp"

int main(int argc, char** argv) {
    using namespace melvo;
    if (argc != 3) {
        std::fputs("usage: melvo_compose <notation.txt> <song.mvs>\n", stderr);
        return 2;
    }
    const std::string source = argv[1];
    const std::string target = argv[2];
    std::ifstream in(source, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "%s: cannot be read\n", source.c_str());
        return 1;
    }
    if (platform::IsSameFile(source, target)) {
        std::fprintf(stderr, "%s: the song would replace its own notation\n", target.c_str());
        return 1;
    }
    const notation::CompileResult result = notation::CompileSong(text.str());
    if (const auto* error = std::get_if<notation::NotationError>(&result)) {
        std::fprintf(stderr, "%s:%d: %s\n", source.c_str(), error->line, error->message.c_str());
        return 1;
    }
    const SongFileImage image = EncodeSongFileV2(std::get<SongRecord>(result));
    if (!platform::WriteFileAtomically(target, image)) {
        std::fprintf(stderr, "%s: cannot be written\n", target.c_str());
        return 1;
    }
    return 0;
}
