// How the player ends on an input file it cannot use.
#pragma once

#include <string_view>

namespace melvo {

inline constexpr int kReportErrorExitStatus = 1;

// The two lines ReportError prints for `message`.
std::string ReportErrorText(std::string_view message);

// Prints "Error: " + message and "press any key to quit", waits for one key,
// and ends the process with exit status 1.
[[noreturn]] void ReportError(std::string_view message);

}  // namespace melvo
