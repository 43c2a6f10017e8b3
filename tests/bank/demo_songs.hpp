// The demo songs that ship in examples/, by name.
#pragma once

#include <string>
#include <vector>

namespace melvo::test {

inline const std::vector<std::string> kDemoSongs = {"ode-to-joy", "melvo-march", "pixel-waltz"};

// examples/<name><extension> in the source tree.
inline std::string DemoSongPath(const std::string& name, const std::string& extension) {
    return std::string(MELVO_SOURCE_DIR) + "/examples/" + name + extension;
}

}  // namespace melvo::test
