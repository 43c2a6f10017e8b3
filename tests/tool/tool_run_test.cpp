// melvotool as a user runs it: the menu and its prompt, the choices, and the
// one-line command-line rip with its argument checks.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/song_record.hpp"
#include "tests/tool/tool_transcript.hpp"
#include "tool/tool_entry.hpp"

namespace melvo {
namespace {

namespace fs = std::filesystem;
using test::kOpening;
using test::kPrompt;
using test::RunToolIn;

TEST(ToolMenu, ClosedInputAtThePromptEndsTheRun) {
    test::TempDir dir;
    const auto result = RunToolIn(dir.path(), {}, "");
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kOpening + "\n");
}

TEST(ToolMenu, AnswerThatIsNoMenuNumberEndsAtOnce) {
    for (const std::string answer : {"help", "x", "", "4", "  ", ",1"}) {
        test::TempDir dir;
        const auto result = RunToolIn(dir.path(), {}, answer + "\n1\n");
        EXPECT_EQ(result.exitStatus, 0) << answer;
        EXPECT_EQ(result.standardOutput, kOpening + answer + "\n") << answer;
    }
}

TEST(ToolMenu, FirstCharacterOfTheFieldChoosesTheOperation) {
    struct Case {
        std::string answer;
        std::string afterEcho;
    };
    // Closed input then answers every prompt with an empty line, so each
    // operation fails at its first file and comes back to the prompt.
    for (const Case& c : {Case{"2", "MVS Filename (source): \nMVS File not found.\n" + kPrompt + "\n"},
                          Case{"12", "ZST Filename: \nFile not found.\n" + kPrompt + "\n"},
                          Case{"1,2", "ZST Filename: \nFile not found.\n" + kPrompt + "\n"},
                          Case{"\"1\"", "ZST Filename: \nFile not found.\n" + kPrompt + "\n"},
                          Case{"\t2, x", "MVS Filename (source): \nMVS File not found.\n" + kPrompt + "\n"}}) {
        test::TempDir dir;
        const auto result = RunToolIn(dir.path(), {}, c.answer + "\n");
        EXPECT_EQ(result.exitStatus, 0) << c.answer;
        EXPECT_EQ(result.standardOutput, kOpening + c.answer + "\n" + c.afterEcho) << c.answer;
    }
}

TEST(ToolMenu, ThreeWithLeadingBlanksStartsTheBankBuilder) {
    ToolState state;
    state.choice = '3';
    EXPECT_EQ(ChosenOperation(state), MenuOperation::BuildBank);

    test::TempDir dir;
    const auto result = RunToolIn(dir.path(), {}, "  3\n");
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0);
    const std::string upToEcho = kOpening + "  3\n";
    ASSERT_GT(result.standardOutput.size(), upToEcho.size());
    EXPECT_EQ(result.standardOutput.substr(0, upToEcho.size()), upToEcho);
}

TEST(ToolMenu, CarriageReturnsOfTypedLinesAreDropped) {
    test::TempDir dir;
    const auto result = RunToolIn(dir.path(), {}, "2\r\nnone.mvs\r\nx\r\n");
    EXPECT_EQ(result.standardOutput,
              kOpening + "2\nMVS Filename (source): none.mvs\nMVS File not found.\n" + kPrompt + "x\n");
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { test::WriteFile(dir_ / "s.zst", test::SaveStateBytes(6204)); }

    test::TempDir dir_;
};

const std::string kRipPromptsInOneRow =
    "ZST Filename: Saved music file name? \nSongName?\nAuthor?\nPreferred MVI Instrument filename?\n";

TEST_F(CommandLine, FiveValuesRipOnceWithoutReadingAnything) {
    // The answers on standard input must neither be read nor echoed.
    const auto result =
        RunToolIn(dir_.path(), {"-c", "s.zst", "out.mvs", "Hello, World", "  Me", "drums.mvi"}, "2\nx\n");
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kOpening + kRipPromptsInOneRow + "Ripped music data to out.mvs.\n\n");

    const auto song = test::ReadFile(dir_ / "out.mvs");
    ASSERT_EQ(song.size(), kSongFileSizeV2);
    // Values from the command line are taken whole, without the field rule.
    EXPECT_EQ(test::Slice(song, 7, 32),
              test::Slice(test::BytesOf(std::string("Hello, World") + std::string(20, '\0')), 0, 32));
    EXPECT_EQ(test::Slice(song, 39, 5), test::BytesOf(std::string("  Me\0", 5)));
    EXPECT_EQ(test::Slice(song, 71, 10), test::BytesOf(std::string("drums.mvi\0", 10)));
}

TEST_F(CommandLine, EmptySeventhArgumentIsNoExtraArgument) {
    const auto result = RunToolIn(dir_.path(), {"-c", "s.zst", "out.mvs", "T", "A", "B", ""}, "");
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kOpening + kRipPromptsInOneRow + "Ripped music data to out.mvs.\n\n");
    EXPECT_TRUE(fs::exists(dir_ / "out.mvs"));
}

TEST_F(CommandLine, MissingValueListsAllFiveAfterAKey) {
    struct Case {
        std::vector<std::string> arguments;
        std::string listing;
    };
    for (const Case& c : {Case{{"-c", "s.zst", "out.mvs", "T", "A"},
                               "CMDLoad: s.zst \nCMDSave: out.mvs \nCMDSong: T \nCMDAuthor: A \nCMDMvi:  \n"},
                          Case{{"-c", "s.zst", "", "T", "A", "B"},
                               "CMDLoad: s.zst \nCMDSave:  \nCMDSong: T \nCMDAuthor: A \nCMDMvi: B \n"},
                          Case{{"-c"}, "CMDLoad:  \nCMDSave:  \nCMDSong:  \nCMDAuthor:  \nCMDMvi:  \n"}}) {
        const auto result = RunToolIn(dir_.path(), c.arguments, "k");
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.standardOutput, test::kBanner + test::kMenu + "Commandline Missing Argument.\n" + c.listing);
        EXPECT_FALSE(fs::exists(dir_ / "out.mvs"));
    }
}

TEST_F(CommandLine, SeventhArgumentIsRefusedAfterAKey) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-c", "s.zst", "out.mvs", "T", "A", "B", "extra"},
          std::vector<std::string>{"-c", "s.zst", "out.mvs", "T", "A", "B", "extra", "more", "args"}}) {
        const auto result = RunToolIn(dir_.path(), arguments, "");
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.standardOutput, test::kBanner + test::kMenu + "Too many arguments.\nArg: extra \n");
        EXPECT_FALSE(fs::exists(dir_ / "out.mvs"));
    }
}

TEST_F(CommandLine, ArgumentErrorWaitsForItsKey) {
    test::ProcessOptions options;
    options.holdStandardInputOpen = true;
    options.workingDirectory = dir_.path();
    options.timeout = std::chrono::milliseconds(1500);
    const auto result = test::RunProcess({test::kToolProgram, "-c", "s.zst"}, options);
    EXPECT_TRUE(result.timedOut);
    EXPECT_NE(result.standardOutput.find("Commandline Missing Argument.\n"), std::string::npos);
}

TEST_F(CommandLine, FailedRipEndsWithStatusOne) {
    test::WriteFile(dir_ / "lower.zst", test::SaveStateBytes(6204, "zsne"));
    struct Case {
        std::vector<std::string> arguments;
        std::string afterOpening;
    };
    for (const Case& c : {Case{{"-c", "missing.zst", "out.mvs", "T", "A", "B"}, "ZST Filename: File not found.\n"},
                          Case{{"-c", ".", "out.mvs", "T", "A", "B"}, "ZST Filename: File not found.\n"},
                          Case{{"-c", "lower.zst", "out.mvs", "T", "A", "B"},
                               kRipPromptsInOneRow + "Not a supported ZST file. Aborting.\n"},
                          Case{{"-c", "s.zst", "no/such/dir/out.mvs", "T", "A", "B"},
                               kRipPromptsInOneRow + "Could not write no/such/dir/out.mvs.\n"}}) {
        const auto result = RunToolIn(dir_.path(), c.arguments, "1\n");
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitStatus, 1) << c.arguments[1];
        EXPECT_EQ(result.standardOutput, kOpening + c.afterOpening) << c.arguments[1];
        EXPECT_FALSE(fs::exists(dir_ / "out.mvs"));
    }
}

TEST_F(CommandLine, OtherFirstArgumentsRunInteractively) {
    for (const std::string first : {"-C", "s.zst", "--c", "-c "}) {
        const auto result = RunToolIn(dir_.path(), {first, "s.zst", "out.mvs", "T", "A", "B"}, "");
        EXPECT_EQ(result.exitStatus, 0) << first;
        EXPECT_EQ(result.standardOutput, kOpening + "\n") << first;
        EXPECT_FALSE(fs::exists(dir_ / "out.mvs"));
    }
}

}  // namespace
}  // namespace melvo
