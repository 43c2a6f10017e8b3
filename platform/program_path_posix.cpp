#include <unistd.h>

#include <vector>

#include "platform/program_path.hpp"

namespace melvo::platform {

std::string ExecutablePath(const char* argv0) {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            break;
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
    return argv0 != nullptr ? std::string(argv0) : std::string();
}

std::string ProgramDirectory(const char* argv0) { return DirectoryOfPath(ExecutablePath(argv0), "/"); }

}  // namespace melvo::platform
