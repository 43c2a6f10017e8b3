#include "modconv/module_loader.hpp"

#include <utility>

#include "platform/console.hpp"
#include "platform/file_byte_source.hpp"
#include "platform/files.hpp"

namespace melvo {
namespace {}  // namespace

std::string ModuleReadLines(const ModuleReadResult& result, std::string_view path, bool toTerminal) {
    std::string lines;
    if (result.error == ModuleReadError::TooShort) {
        lines += "File ";
        lines += path;
        lines += " is too short to be a module!\n";
        return lines;
    }
    lines += "Song name: " + platform::ForDisplay(ModuleNameText(result.module), toTerminal) + "\n";
    if (result.error == ModuleReadError::UnknownMagic) {
        lines += "Unknown module magic! Aborting...\n";
        lines += "Error: Invalid module file!\n";
        return lines;
    }
    lines += "Detected a " + std::to_string(result.channels) + " channel amigamod.\n";
    lines += "Patterns : " + std::to_string(result.module.patternCount) + "\n";
    return lines;
}

int LoadModule(ModuleRecord& module, const std::string& path, std::string& out, bool toTerminal) {
    const auto file = platform::RegularFile::Open(path);
    if (!file) {
        out += "File " + path + " not found!";
        return kModuleNotFound;
    }
    ModuleReadResult result = ReadModule(platform::FileByteSource(*file));
    out += ModuleReadLines(result, path, toTerminal);
    if (result.error != ModuleReadError::None) {
        return kModuleRefused;
    }
    module = std::move(result.module);
    return kModuleLoaded;
}

}  // namespace melvo
