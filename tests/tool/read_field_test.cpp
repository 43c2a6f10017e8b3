// The prompt reader: the field rule over a line, and the reading of a typed
// line with its echo, its carriage return and its end of input.
#include "tool/read_field.hpp"

#include <gtest/gtest.h>

#include <string>

namespace melvo {
namespace {

struct FieldCase {
    const char* name;
    std::string line;
    std::string field;
};

class FieldRule : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldRule, FirstFieldOfLine) { EXPECT_EQ(FirstField(GetParam().line), GetParam().field); }

INSTANTIATE_TEST_SUITE_P(
    Lines, FieldRule,
    ::testing::Values(FieldCase{"PlainStopsAtComma", "Hello, World", "Hello"},
                      FieldCase{"QuotedKeepsComma", "\"Hello, World\"", "Hello, World"},
                      FieldCase{"TextAfterClosingQuoteIsDropped", "\"Hello, World\" and more, x", "Hello, World"},
                      FieldCase{"LeadingBlanksSkippedTrailingKept", "  Hello \t", "Hello \t"},
                      FieldCase{"BlanksInsideQuotesKept", " \t\"  a b \"", "  a b "},
                      FieldCase{"MissingClosingQuoteRunsToLineEnd", "\"Hello, World", "Hello, World"},
                      FieldCase{"LaterQuoteIsOrdinary", "say \"hi\", there", "say \"hi\""},
                      FieldCase{"FileNameBeforeComma", "Mario.zst, more text", "Mario.zst"},
                      FieldCase{"EmptyLine", "", ""}, FieldCase{"OnlyBlanks", "   \t ", ""},
                      FieldCase{"LeadingComma", ",Hello", ""}, FieldCase{"EmptyQuotes", "\"\",Hello", ""},
                      FieldCase{"FirstCharacterOfChoice", "12", "12"},
                      FieldCase{"LongLineKeepsFirst4096", std::string(10000, 'a') + "b", std::string(4096, 'a')},
                      FieldCase{"LongQuotedKeepsFirst4096", "\"" + std::string(5000, 'q') + "\"",
                                std::string(4096, 'q')},
                      FieldCase{"CapCountsFieldNotLeadingBlanks", std::string(10, ' ') + std::string(4100, 'z'),
                                std::string(4096, 'z')}),
    [](const ::testing::TestParamInfo<FieldCase>& param) { return std::string(param.param.name); });

// Feeds `input` byte by byte and collects the echo.
struct ScriptedInput {
    explicit ScriptedInput(std::string text) : input(std::move(text)) {}

    TypedLine ReadLine() {
        return ReadTypedLine(
            [this]() -> std::optional<char> {
                if (position == input.size()) {
                    return std::nullopt;
                }
                return input[position++];
            },
            [this](std::string_view piece) {
                echo += piece;
                ++echoPieces;
                largestPiece = std::max(largestPiece, piece.size());
            });
    }

    std::string input;
    std::size_t position = 0;
    std::string echo;
    std::size_t echoPieces = 0;
    std::size_t largestPiece = 0;
};

struct LineCase {
    const char* name;
    std::string input;
    std::string field;
    std::string echo;  // the first line as read, without its line end
    bool endedByEndOfInput;
    std::size_t consumed;  // bytes taken from the input
};

class TypedLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(TypedLines, ReadsOneLine) {
    const LineCase& c = GetParam();
    ScriptedInput input(c.input);
    const TypedLine line = input.ReadLine();
    EXPECT_EQ(line.field, c.field);
    EXPECT_EQ(input.echo, c.echo);
    EXPECT_EQ(line.endedByEndOfInput, c.endedByEndOfInput);
    EXPECT_EQ(input.position, c.consumed);
}

INSTANTIATE_TEST_SUITE_P(
    Input, TypedLines,
    ::testing::Values(LineCase{"StopsAtLineEnd", "Hello, World\nnext\n", "Hello", "Hello, World", false, 13},
                      LineCase{"CarriageReturnBeforeLineEndDropped", "song.mvs\r\nnext", "song.mvs", "song.mvs", false,
                               10},
                      LineCase{"OnlyOneCarriageReturnDropped", "a\r\r\n", "a\r", "a\r", false, 4},
                      LineCase{"CarriageReturnInsideKept", "a\rb\n", "a\rb", "a\rb", false, 4},
                      LineCase{"CarriageReturnBeforeEndOfInputDropped", "abc\r", "abc", "abc", true, 4},
                      LineCase{"LastLineWithoutLineEnd", "2", "2", "2", true, 1},
                      LineCase{"ClosedInputIsEmptyAnswer", "", "", "", true, 0},
                      LineCase{"EmptyLine", "\nx\n", "", "", false, 1}),
    [](const ::testing::TestParamInfo<LineCase>& param) { return std::string(param.param.name); });

TEST(TypedLines, OverlongLineIsEchoedWholeInPiecesAndTheNextLineIsIntact) {
    const std::string longLine = "  " + std::string(20000, 'x') + ",tail";
    ScriptedInput input(longLine + "\nsecond\n");
    const TypedLine first = input.ReadLine();
    EXPECT_EQ(first.field, std::string(kMaxFieldLength, 'x'));
    EXPECT_EQ(input.echo, longLine);
    EXPECT_GT(input.echoPieces, 1u);
    EXPECT_LE(input.largestPiece, kMaxFieldLength);

    input.echo.clear();
    const TypedLine second = input.ReadLine();
    EXPECT_EQ(second.field, "second");
    EXPECT_EQ(input.echo, "second");
}

}  // namespace
}  // namespace melvo
