// The prompt reader's field rule and the reading of one typed line.
//
// From a line: blanks (spaces, tabs) at its start are skipped; a field that
// opens with a double quote runs to the next double quote (commas included,
// quotes dropped, an unclosed quote runs to the line end); any other field
// runs to the first comma. Blanks inside and at the end belong to the field.
// The rest of the line is discarded, and a field keeps at most
// kMaxFieldLength characters.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace melvo {

inline constexpr std::size_t kMaxFieldLength = 4096;

// Applies the field rule one character at a time, so that an overlong line
// never has to be held: only the field itself is kept.
class FieldScanner {
public:
    void Feed(char c);
    const std::string& field() const { return field_; }

private:
    enum class Phase { LeadingBlanks, Quoted, Plain, Done };

    void Keep(char c);

    Phase phase_ = Phase::LeadingBlanks;
    std::string field_;
};

// The first field of a line that holds no line end.
std::string FirstField(std::string_view line);

struct TypedLine {
    std::string field;
    bool endedByEndOfInput = false;  // no line end came: input closed (or failed) first
};

// The next typed byte, or nothing at end of input.
using NextByte = std::function<std::optional<char>()>;
// Receives the line as read, in pieces, without its line end.
using EchoSink = std::function<void(std::string_view)>;

// Reads one line up to its line end (or the end of input) and returns its
// first field. One carriage return right before the line end is dropped.
// Every character of the line goes to `echo`, however long the line; none is
// stored beyond the field.
TypedLine ReadTypedLine(const NextByte& next, const EchoSink& echo);

}  // namespace melvo
