// What every tool operation sees of the user: a text screen to print on and
// a prompt reader, and the result that tells the menu loop where to go next.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace melvo {

enum class AfterOperation { BackToMenu, BackToPrompt, EndTool };

// Palette numbers of the standard 16-colour set that the tool paints with.
enum class ScreenColour : std::uint8_t { Black = 0, Red = 4, BrightWhite = 15 };

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
    // Colours for everything printed from now on; a screen without colours
    // ignores them.
    virtual void SetColours(ScreenColour /*foreground*/, ScreenColour /*background*/) {}
    // Waits for one key press; end of input counts as one.
    virtual void WaitForKey() {}
};

}  // namespace melvo
