#include "modconv/module_record.hpp"

#include <algorithm>

namespace melvo {

std::string ModuleNameText(const ModuleRecord& module) {
    const auto end = std::find(module.name.begin(), module.name.end(), std::uint8_t{0});
    return std::string(module.name.begin(), end);
}

}  // namespace melvo
