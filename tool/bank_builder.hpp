// Menu choice 3: builds an instrument bank from sixteen WAV files.
#pragma once

#include "tool/tool_screen.hpp"

namespace melvo {

AfterOperation BuildBank(ToolScreen& screen);

}  // namespace melvo
