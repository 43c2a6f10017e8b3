// The state of one run of the tool: what the command line asked for and what
// the user chose at the prompt.
#pragma once

#include <optional>
#include <string>

namespace melvo {

struct ToolState {
    bool commandLineChecked = false;  // examined on the first arrival at the prompt only
    bool commandLineMode = false;     // "-c" with its five values: one rip, no prompts read
    std::string stateFileArg;         // save state to rip from
    std::string songFileArg;          // song file to write
    std::string songNameArg;          // the song's title
    std::string authorArg;            // the song's author
    std::string bankNameArg;          // bank file name written into the song
    std::optional<char> choice;       // first character of the prompt answer; none for an empty one
};

}  // namespace melvo
