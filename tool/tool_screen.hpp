// What every tool operation sees of the user: a text screen to print on and
// a prompt reader, and the result that tells the menu loop where to go next.
#pragma once

#include <string>
#include <string_view>

namespace melvo {

enum class AfterOperation { BackToMenu, BackToPrompt, EndTool };

class ToolScreen {
public:
    virtual ~ToolScreen() = default;
    // Prints `text` as it stands; a "\n" in it is a line end.
    virtual void Print(std::string_view text) = 0;
    void PrintLine(std::string_view text) {
        Print(text);
        Print("\n");
    }
    // Reads one typed line and returns its first field (the field rule);
    // end of input gives an empty answer.
    virtual std::string ReadField() = 0;
};

}  // namespace melvo
