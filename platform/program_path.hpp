// Where the running program lives, so it can find files installed beside it.
#pragma once

#include <string>
#include <string_view>

namespace melvo::platform {

// The executable's own path as the operating system knows it (symbolic links
// resolved), or `argv0` when the system cannot tell.
std::string ExecutablePath(const char* argv0);

// Everything up to and including the last of `separators`; empty (the current
// directory) when there is none. Pure, so it can be checked for any platform.
std::string DirectoryOfPath(std::string_view path, std::string_view separators);

// The directory of the running program, ending in a separator, or empty.
std::string ProgramDirectory(const char* argv0);

}  // namespace melvo::platform
