// LoadModule: the module reader over a file on disk, with its printed lines.
#pragma once

#include <string>
#include <string_view>

#include "modconv/module_reader.hpp"

namespace melvo {

// LoadModule results.
inline constexpr int kModuleLoaded = 0;
inline constexpr int kModuleNotFound = 5;
inline constexpr int kModuleRefused = -1;

// The reader's console lines for a result, in the order they are shown.
// `toTerminal` masks control bytes in the module's name.
std::string ModuleReadLines(const ModuleReadResult& result, std::string_view path, bool toTerminal);

// Fills `module` from the regular file at `path` and appends the reader's
// lines to `out`. Returns kModuleLoaded, kModuleNotFound (missing path,
// directory, anything but a regular file) or kModuleRefused (too short,
// unknown kind, no memory).
int LoadModule(ModuleRecord& module, const std::string& path, std::string& out, bool toTerminal = false);

}  // namespace melvo
