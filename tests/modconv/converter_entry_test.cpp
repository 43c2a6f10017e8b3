// modmelvo as a user runs it: arguments, the whole console text, the exit
// status and the 680 bytes it writes.
#include "modconv/converter_entry.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "tests/modconv/module_fixture.hpp"
#include "tests/support/fixtures.hpp"

namespace melvo {
namespace {

namespace fs = std::filesystem;
using test::ByteVector;
using test::ModuleBuilder;
using test::ProcessOptions;
using test::RunProcess;

const std::string kConverter = std::string(MELVO_BIN_DIR) + "/modmelvo";
const std::string kBanner = "modmelvo v0.55\nall n00bs\n\n";
const std::string kPrompt = "\nPress enter to quit.\n";
const std::string kUsage = "Usage: modmelvo.exe input.mod [output.mvs] [tempo] [author]\n";

TEST(TempoText, IsReadAsDecimalTextClampedToThirtyTwoBits) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"abc", 0},
        {"300", 300},
        {"-1", -1},
        {"120bpm", 120},
        {"99999999999", std::numeric_limits<std::int32_t>::max()},
        {"-99999999999", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {" \t\n42", 42},
        {"+7", 7},
        {"", 0},
        {"- 5", 0},
        {"0x10", 0},
        {"1 2", 1},
    };
    for (const auto& [text, tempo] : cases) {
        EXPECT_EQ(ParseTempoText(text), tempo) << '"' << text << '"';
    }
}

TEST(TempoText, SongKeepsTheLowEightBits) {
    EXPECT_EQ(SongTempoByte(150), 150);
    EXPECT_EQ(SongTempoByte(300), 44);
    EXPECT_EQ(SongTempoByte(-1), 255);
    EXPECT_EQ(SongTempoByte(256), 0);
    EXPECT_EQ(SongTempoByte(std::numeric_limits<std::int32_t>::max()), 255);
    EXPECT_EQ(SongTempoByte(std::numeric_limits<std::int32_t>::min()), 0);
}

TEST(ConverterArguments, TakeOneToFourPositionalValuesWithDefaults) {
    EXPECT_FALSE(ParseConverterArguments({}));
    EXPECT_FALSE(ParseConverterArguments({"a", "b", "1", "c", "e"}));

    const auto defaults = ParseConverterArguments({"music/tune.mod"});
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->inputPath, "music/tune.mod");
    EXPECT_EQ(defaults->outputPath, "music/tune.mod.mvs");
    EXPECT_FALSE(defaults->tempo);
    EXPECT_EQ(defaults->author, "");

    const auto all = ParseConverterArguments({"in", "out.mvs", "99", std::string(40, 'x')});
    ASSERT_TRUE(all);
    EXPECT_EQ(all->outputPath, "out.mvs");
    EXPECT_EQ(all->tempo, 99);
    EXPECT_EQ(all->author, std::string(31, 'x'));
}

// A module with something for every rule: plain notes, both halves of
// instrument 12, a sharp, a note below the staff and a missing sample.
ByteVector SampleModule() {
    return ModuleBuilder()
        .Name("Overworld Theme")
        .SongLength(2)
        .Order({0, 1})
        .Note(0, 0, 0, "C-2", 1)
        .Note(0, 0, 1, "E-2", 13)
        .Note(0, 0, 2, "B-2", 16)
        .Note(0, 0, 3, "C-2", 1)  // channel 3: never converted
        .Note(0, 1, 0, "C#2", 2)
        .Note(0, 2, 2, "C-1", 16)
        .Note(1, 0, 1, "G-3", 15)
        .Note(1, 31, 0, "A-2", 0)
        .Note(1, 32, 0, "C#2", 1)  // past beat 95
        .SampleData(4096)
        .Build();
}

const std::string kSampleModuleReport =
    "Song name: Overworld Theme\n"
    "Detected a 4 channel amigamod.\n"
    "Patterns : 2\n";

const std::string kSampleModuleWarnings =
    "Warning: invalid note ignored at pattern 0, row 1, channel 0!\n"
    "Warning: invalid instrument value at pattern 0, row 2, channel 2!\n"
    "Warning: invalid note ignored at pattern 0, row 2, channel 2!\n"
    "Warning: invalid instrument value at pattern 1, row 31, channel 0!\n";

SongRecord SampleModuleSong(std::uint8_t tempo, const std::string& author) {
    SongRecord song = EmptySong(tempo);
    song.title = MakeTextField("Overworld Theme");
    song.author = MakeTextField(author);
    song.notes[0] = {NoteSlot{2, 0}, NoteSlot{4, 12}, NoteSlot{8, 12}};
    song.notes[64][1] = NoteSlot{13, 14};
    song.notes[95][0] = NoteSlot{7, 0};
    return song;
}

std::string ConvertedText(const std::string& input, const std::string& output, const std::string& tempoLine,
                          const std::string& author) {
    return kBanner + tempoLine + kSampleModuleReport + "Author: " + author + "\nAmigamod " + input +
           " loaded successfully.\n\nConverting...\n" + kSampleModuleWarnings + "MVS saved successfully to " + output +
           "\n" + kPrompt;
}

class ConverterRun : public ::testing::Test {
protected:
    test::ProcessResult Run(std::vector<std::string> arguments, ProcessOptions options = {}) {
        arguments.insert(arguments.begin(), kConverter);
        if (!options.workingDirectory) {
            options.workingDirectory = dir_.path();
        }
        return RunProcess(arguments, options);
    }
    void WriteModule(const std::string& name, const ByteVector& bytes) { test::WriteFile(dir_ / name, bytes); }

    test::TempDir dir_;
};

TEST_F(ConverterRun, OnlyAnInputWritesBesideItWithTheDefaults) {
    WriteModule("tune.mod", SampleModule());
    const auto result = Run({"tune.mod"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, ConvertedText("tune.mod", "tune.mod.mvs", "Using the default tempo of 150\n", ""));
    EXPECT_EQ(test::ReadFile(dir_ / "tune.mod.mvs"), test::SongFileBytes(SampleModuleSong(150, "")));
}

TEST_F(ConverterRun, TempoTextIsShownAsReadAndStoredAsItsLowByte) {
    WriteModule("tune.mod", SampleModule());
    struct Case {
        const char* text;
        const char* shown;
        std::uint8_t stored;
    };
    for (const Case& c : {Case{"abc", "0", 0}, Case{"300", "300", 44}, Case{"-1", "-1", 255},
                          Case{"120bpm", "120", 120}, Case{"99999999999", "2147483647", 255}}) {
        const auto result = Run({"tune.mod", "out.mvs", c.text});
        EXPECT_EQ(result.exitStatus, 0) << c.text;
        EXPECT_EQ(result.standardOutput,
                  ConvertedText("tune.mod", "out.mvs", "Tempo: " + std::string(c.shown) + "\n", ""))
            << c.text;
        EXPECT_EQ(test::ReadFile(dir_ / "out.mvs"), test::SongFileBytes(SampleModuleSong(c.stored, ""))) << c.text;
    }
}

TEST_F(ConverterRun, AuthorIsCutToThirtyOneCharacters) {
    WriteModule("tune.mod", SampleModule());
    const std::string author = "0123456789abcdefghijklmnopqrstuvwxyzABCD";  // 40 characters
    const std::string cut = "0123456789abcdefghijklmnopqrstu";
    const auto result = Run({"tune.mod", "out.mvs", "150", author});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, ConvertedText("tune.mod", "out.mvs", "Tempo: 150\n", cut));
    const ByteVector written = test::ReadFile(dir_ / "out.mvs");
    EXPECT_EQ(written, test::SongFileBytes(SampleModuleSong(150, cut)));
    ASSERT_EQ(written.size(), 680u);
    EXPECT_EQ(written[39 + 30], 'u');
    EXPECT_EQ(written[39 + 31], 0);
}

TEST_F(ConverterRun, WrongArgumentCountShowsTheUsageLine) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"a.mod", "b.mvs", "150", "me", "extra"}}) {
        const auto result = Run(arguments);
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.standardOutput, kBanner + kUsage + kPrompt);
    }
    EXPECT_TRUE(fs::is_empty(dir_.path()));
}

TEST_F(ConverterRun, WaitsForEnterAndEndsAtOnceAtEndOfInput) {
    ProcessOptions held;
    held.holdStandardInputOpen = true;
    held.timeout = std::chrono::milliseconds(500);
    EXPECT_TRUE(Run({}, held).timedOut);

    ProcessOptions enter;
    enter.standardInput = "\n";
    const auto answered = Run({}, enter);
    EXPECT_FALSE(answered.timedOut);
    EXPECT_EQ(answered.exitStatus, 0);

    const auto closed = Run({});  // standard input is /dev/null
    EXPECT_FALSE(closed.timedOut);
    EXPECT_EQ(closed.standardOutput, kBanner + kUsage + kPrompt);
}

TEST_F(ConverterRun, ModulesThatCannotBeLoadedWriteNothingAndEndWithStatusOne) {
    fs::create_directory(dir_ / "folder.mod");
    WriteModule("short.mod", ByteVector(1083, 0));
    WriteModule("odd.mod", ModuleBuilder("m.k.").Name("Lower").Build());
    WriteModule("wide.mod", ModuleBuilder("28CH").Name("Wide").Build());
    const std::pair<std::string, std::string> cases[] = {
        {"missing.mod", "File missing.mod not found!"},
        {"folder.mod", "File folder.mod not found!"},
        {"short.mod", "File short.mod is too short to be a module!\n"},
        {"odd.mod", "Song name: Lower\nUnknown module magic! Aborting...\nError: Invalid module file!\n"},
        {"wide.mod", "Song name: Wide\nUnknown module magic! Aborting...\nError: Invalid module file!\n"},
    };
    for (const auto& [input, readerText] : cases) {
        const auto result = Run({input, "out.mvs", "7", "me"});
        EXPECT_EQ(result.exitStatus, 1) << input;
        EXPECT_EQ(result.standardOutput,
                  kBanner + "Tempo: 7\n" + readerText + "Error: Couldn't load amigamod " + input + "!\n" + kPrompt)
            << input;
        EXPECT_FALSE(fs::exists(dir_ / "out.mvs")) << input;
    }
}

TEST_F(ConverterRun, SongThatCannotBeWrittenIsASaveErrorAfterTheConversion) {
    WriteModule("tune.mod", SampleModule());
    fs::create_directory(dir_ / "taken.mvs");
    const std::string failed = kBanner + "Using the default tempo of 150\n" + kSampleModuleReport +
                               "Author: \nAmigamod tune.mod loaded successfully.\n\nConverting...\n" +
                               kSampleModuleWarnings + "Save error!\n" + kPrompt;
    for (const std::string output : {"no/such/dir/out.mvs", "taken.mvs", ""}) {
        const auto result = Run({"tune.mod", output});
        EXPECT_EQ(result.exitStatus, 1) << output;
        EXPECT_EQ(result.standardOutput, failed) << output;
    }
    EXPECT_TRUE(fs::is_directory(dir_ / "taken.mvs"));
    EXPECT_TRUE(fs::is_empty(dir_ / "taken.mvs"));
    // Nothing is left behind: no temporary files beside the targets.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 2);
}

TEST_F(ConverterRun, OutputNamingTheModuleItselfIsRefusedAndTheModuleKept) {
    const ByteVector module = SampleModule();
    WriteModule("tune.mod", module);
    fs::create_directory(dir_ / "sub");
    fs::create_symlink("../tune.mod", dir_ / "sub" / "link.mod");
    for (const std::string output : {"tune.mod", "./tune.mod", "sub/link.mod"}) {
        const auto result = Run({"tune.mod", output});
        EXPECT_EQ(result.exitStatus, 1) << output;
        const std::string& text = result.standardOutput;
        EXPECT_GE(text.size(), kPrompt.size() + 12);
        EXPECT_EQ(text.substr(text.size() - kPrompt.size() - 12), "Save error!\n" + kPrompt) << output;
        EXPECT_EQ(test::ReadFile(dir_ / "tune.mod"), module) << output;
    }
    EXPECT_TRUE(fs::is_symlink(dir_ / "sub" / "link.mod"));
}

TEST_F(ConverterRun, ExistingSongIsReplacedWhole) {
    WriteModule("tune.mod", SampleModule());
    test::WriteFile(dir_ / "old.mvs", ByteVector(5000, 0xAB));
    const auto result = Run({(dir_ / "tune.mod").string(), (dir_ / "old.mvs").string(), "-1"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(test::ReadFile(dir_ / "old.mvs"), test::SongFileBytes(SampleModuleSong(255, "")));
}

TEST_F(ConverterRun, PathsLongerThanAnyFixedBufferWork) {
    fs::path relative;
    for (int level = 0; level < 6; ++level) {
        relative /= std::string(200, static_cast<char>('a' + level));
    }
    fs::create_directories(dir_ / relative);
    const std::string input = (relative / "tune.mod").string();
    ASSERT_GT(input.size(), 1200u);
    WriteModule(input, SampleModule());
    const auto result = Run({input});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, ConvertedText(input, input + ".mvs", "Using the default tempo of 150\n", ""));
    EXPECT_EQ(test::ReadFile(dir_ / (input + ".mvs")), test::SongFileBytes(SampleModuleSong(150, "")));
}

TEST_F(ConverterRun, EightChannelModuleConvertsItsFirstThreeChannels) {
    ModuleBuilder builder("8CHN", 8);
    builder.Name("Eight").Note(0, 0, 0, "D-3", 3).Note(0, 0, 2, "F-2", 14);
    for (int channel = 3; channel < 8; ++channel) {
        builder.Note(0, 0, channel, "C#2", 25);
    }
    WriteModule("eight.mod", builder.Build());
    const auto result = Run({"eight.mod", "eight.mvs", "90"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kBanner +
                                         "Tempo: 90\nSong name: Eight\nDetected a 8 channel amigamod.\nPatterns : 1\n"
                                         "Author: \nAmigamod eight.mod loaded successfully.\n\nConverting...\n"
                                         "MVS saved successfully to eight.mvs\n" +
                                         kPrompt);
    SongRecord song = EmptySong(90);
    song.title = MakeTextField("Eight");
    song.notes[0][0] = NoteSlot{10, 2};
    song.notes[0][2] = NoteSlot{5, 13};
    EXPECT_EQ(test::ReadFile(dir_ / "eight.mvs"), test::SongFileBytes(song));
}

}  // namespace
}  // namespace melvo
