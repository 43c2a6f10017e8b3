#include "platform/program_path.hpp"

namespace melvo::platform {

std::string DirectoryOfPath(std::string_view path, std::string_view separators) {
    const auto cut = path.find_last_of(separators);
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

}  // namespace melvo::platform
