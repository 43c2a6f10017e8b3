#include "player/report_error.hpp"

#include <cstdlib>
#include <string>

#include "platform/console.hpp"

namespace melvo {

std::string ReportErrorText(std::string_view message) {
    std::string text = "Error: ";
    text += message;
    text += "\npress any key to quit\n";
    return text;
}

void ReportError(std::string_view message) {
    platform::WriteStdout(ReportErrorText(message));
    platform::WaitForKey();
    std::exit(kReportErrorExitStatus);
}

}  // namespace melvo
