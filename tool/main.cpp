#include <string>
#include <vector>

#include "tool/tool_console.hpp"
#include "tool/tool_entry.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    int status = 0;
    {
        // The console resets the terminal's colours when it goes.
        melvo::ToolConsole console;
        status = melvo::RunTool(arguments, console);
    }
    return status;
}
