// Console matters: terminal detection, one-key reads with the terminal
// restored on every way out, clearing, and safe display of file texts.
#pragma once

#include <string>
#include <string_view>

namespace melvo::platform {

bool StdinIsTerminal();
bool StdoutIsTerminal();

// Waits for one key. On a terminal: no echo, no Enter, the rest of a
// multi-byte key drained. Otherwise one byte; end of input counts as a key.
void WaitForKey();

// Puts the terminal in key mode (no echo, no line editing) until
// RestoreTerminal; signals that end the process restore it as well.
// Does nothing when standard input is not a terminal.
void EnterKeyMode();
void RestoreTerminal();
// Text written to standard output when a signal ends the process (such as
// the sequence that gives a terminal back its own colours); empty for none.
// At most 64 bytes are kept.
void SetSignalExitText(std::string_view text);

// Reads one key in key mode (or one byte without a terminal); false at end
// of input or on a read error.
bool ReadKey();

// Writes all of `text` to standard output without stdio buffering.
// A single write call when the pipe takes it whole.
void WriteStdout(std::string_view text);

// The escape sequence that clears a terminal and homes the cursor, or
// nothing when standard output is not a terminal.
std::string_view ClearScreenSequence();

// On a terminal, bytes below 0x20 and 0x7F become '?', so a shared file cannot
// steer the user's terminal; captured output stays exact.
std::string ForDisplay(std::string_view text);
// The same rule with the terminal test given, for callers that decided once.
std::string ForDisplay(std::string_view text, bool toTerminal);

}  // namespace melvo::platform
