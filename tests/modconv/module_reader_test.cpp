// The module reader: kinds, periods, header fields and which bytes it reads.
#include "modconv/module_reader.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "modconv/module_loader.hpp"
#include "tests/modconv/module_fixture.hpp"

namespace melvo {
namespace {

using test::ByteVector;
using test::ModuleBuilder;

ModuleReadResult Read(const ByteVector& bytes) { return ReadModule(MemoryByteSource(bytes)); }

std::string Lines(const ModuleReadResult& result, std::string_view path = "song.mod") {
    return ModuleReadLines(result, path, false);
}

ModuleMagic MagicOf(std::string_view text) {
    ModuleMagic magic{};
    std::copy_n(text.begin(), magic.size(), magic.begin());
    return magic;
}

struct MagicCase {
    const char* name;
    std::string magic;
    int code;
    int channels;  // 0: refused
};

void PrintTo(const MagicCase& testCase, std::ostream* out) { *out << testCase.name; }

class ModuleKinds : public ::testing::TestWithParam<MagicCase> {};

TEST_P(ModuleKinds, AreClassifiedExactlyAndOnlyFourAndEightChannelsLoad) {
    const MagicCase& kind = GetParam();
    EXPECT_EQ(ClassifyMagic(MagicOf(kind.magic)), kind.code);

    const auto result = Read(ModuleBuilder(kind.magic, std::max(kind.channels, 4)).Name("Tune").Build());
    if (kind.channels == 0) {
        EXPECT_EQ(result.error, ModuleReadError::UnknownMagic);
        EXPECT_EQ(Lines(result), "Song name: Tune\nUnknown module magic! Aborting...\nError: Invalid module file!\n");
        return;
    }
    ASSERT_EQ(result.error, ModuleReadError::None);
    EXPECT_EQ(result.channels, kind.channels);
    ASSERT_EQ(result.module.patterns.size(), 1u);
    EXPECT_EQ(result.module.patterns[0].channels, kind.channels);
    EXPECT_EQ(Lines(result),
              "Song name: Tune\nDetected a " + std::to_string(kind.channels) + " channel amigamod.\nPatterns : 1\n");
}

INSTANTIATE_TEST_SUITE_P(
    Magic, ModuleKinds,
    ::testing::Values(MagicCase{"FourChannels", "M.K.", 0, 4}, MagicCase{"EightChannels", "8CHN", 1, 8},
                      MagicCase{"TwentyEightChannelsKnownButRefused", "28CH", 2, 0},
                      MagicCase{"LowerCase", "m.k.", 69, 0}, MagicCase{"OneByteOff", "M.K!", 69, 0},
                      MagicCase{"SixChannels", "6CHN", 69, 0}, MagicCase{"OtherTracker", "FLT4", 69, 0},
                      MagicCase{"ZeroBytes", std::string(4, '\0'), 69, 0}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(PeriodToNote, OnlyExactFinetuneZeroPeriodsOfOctavesOneToThreeAreNotes) {
    const std::pair<int, std::int32_t> cases[] = {
        {214, 12},       {453, -1},      {113, 23},    {856, -12},
        {428, 0},        {857, kNoNote}, {0, kNoNote}, {907, kNoNote},  // B-0 and below are off the table
        {107, kNoNote},                                                 // C-4
        {4095, kNoNote},
    };
    for (const auto& [period, note] : cases) {
        EXPECT_EQ(PeriodToNote(period), note) << period;
    }
    // Every note name of the three octaves, C to B: note 0 is C-2.
    const char* semitones[] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    for (int octave = 1; octave <= 3; ++octave) {
        for (int semitone = 0; semitone < 12; ++semitone) {
            const std::string note = std::string(semitones[semitone]) + static_cast<char>('0' + octave);
            EXPECT_EQ(PeriodToNote(test::PeriodOf(note)), 12 * (octave - 2) + semitone) << note;
        }
    }
}

TEST(ModuleReader, DecodesEveryFieldOfACell) {
    const auto result = Read(ModuleBuilder()
                                 .Cell(0, 0, 0, 214, 31, 0xC, 0x40)
                                 .Cell(0, 0, 1, 0, 16, 0xF, 0xFF)  // no note, high sample nibble only
                                 .Cell(0, 63, 3, 1712, 1)          // a period off the table
                                 .Build());
    ASSERT_EQ(result.error, ModuleReadError::None);
    const PatternCopy& pattern = result.module.patterns[0];
    EXPECT_EQ(pattern.rows, 64);
    EXPECT_EQ(pattern.cells.size(), 256u);
    EXPECT_EQ(pattern.At(0, 0), (NoteCell{12, 31, 0xC, 0x40}));
    EXPECT_EQ(pattern.At(0, 1), (NoteCell{kNoNote, 16, 0xF, 0xFF}));
    EXPECT_EQ(pattern.At(63, 3), (NoteCell{kNoNote, 1, 0, 0}));
    EXPECT_EQ(pattern.At(0, 2), (NoteCell{kNoNote, 0, 0, 0}));
}

TEST(ModuleReader, PatternCountCoversAllOrderEntriesButOnlyPlayedPositionsAreCopied) {
    const auto result = Read(ModuleBuilder().SongLength(2).Order({0, 1}).OrderEntry(5, 9).StoredPatterns(2).Build());
    ASSERT_EQ(result.error, ModuleReadError::None);
    EXPECT_EQ(result.module.patternCount, 10);
    EXPECT_EQ(result.module.songLength, 2);
    EXPECT_EQ(result.module.order, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(result.module.patterns.size(), 2u);
    EXPECT_EQ(Lines(result), "Song name: \nDetected a 4 channel amigamod.\nPatterns : 10\n");
}

TEST(ModuleReader, NameOfTwentyCharactersStopsAtTheField) {
    const auto result = Read(ModuleBuilder().Name("ABCDEFGHIJKLMNOPQRST").Build());
    ASSERT_EQ(result.error, ModuleReadError::None);
    EXPECT_EQ(ModuleNameText(result.module), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(Lines(result).substr(0, 32), "Song name: ABCDEFGHIJKLMNOPQRST\n");
}

TEST(ModuleReader, NameWithControlBytesIsMaskedOnlyForATerminal) {
    const auto result = Read(ModuleBuilder().Name("a\x1b[2Jb").Build());
    EXPECT_EQ(ModuleReadLines(result, "x", true).substr(0, 18), "Song name: a?[2Jb\n");
    EXPECT_EQ(ModuleReadLines(result, "x", false).substr(0, 18), "Song name: a\x1b[2Jb\n");
}

TEST(ModuleReader, SongLengthZeroLoadsWithoutPatternCopies) {
    const auto result = Read(ModuleBuilder().SongLength(0).OrderEntry(0, 3).Build());
    ASSERT_EQ(result.error, ModuleReadError::None);
    EXPECT_EQ(result.module.songLength, 0);
    EXPECT_TRUE(result.module.order.empty());
    EXPECT_TRUE(result.module.patterns.empty());
    EXPECT_EQ(result.module.patternCount, 4);
}

TEST(ModuleReader, EachPositionGetsItsOwnCopyOfItsPattern) {
    const auto result =
        Read(ModuleBuilder().SongLength(3).Order({0, 1, 0}).Note(0, 0, 0, "C-2", 1).Note(1, 0, 0, "D-2", 2).Build());
    ASSERT_EQ(result.error, ModuleReadError::None);
    const auto& patterns = result.module.patterns;
    ASSERT_EQ(patterns.size(), 3u);
    EXPECT_EQ(result.module.order, (std::vector<std::int32_t>{0, 1, 0}));
    EXPECT_EQ(patterns[0], patterns[2]);
    EXPECT_EQ(patterns[0].At(0, 0).note, 0);
    EXPECT_EQ(patterns[1].At(0, 0).note, 2);
}

TEST(ModuleReader, EightChannelRowsHoldEightCellsChannelZeroFirst) {
    const auto result =
        Read(ModuleBuilder("8CHN", 8).Note(0, 5, 7, "B-1", 7).Note(0, 6, 0, "G-3", 8).Note(0, 63, 7, "E-2", 9).Build());
    ASSERT_EQ(result.error, ModuleReadError::None);
    const PatternCopy& pattern = result.module.patterns[0];
    EXPECT_EQ(pattern.channels, 8);
    ASSERT_EQ(pattern.cells.size(), 64u * 8u);
    EXPECT_EQ(pattern.cells[5 * 8 + 7], (NoteCell{-1, 7, 0, 0}));
    EXPECT_EQ(pattern.cells[6 * 8], (NoteCell{19, 8, 0, 0}));
    EXPECT_EQ(pattern.cells[63 * 8 + 7], (NoteCell{4, 9, 0, 0}));
}

TEST(ModuleReader, SongLengthAbove128PlaysTheWholeOrderListAndNoMore) {
    ModuleBuilder builder;
    builder.SongLength(200);
    for (std::size_t position = 0; position < 128; ++position) {
        builder.OrderEntry(position, static_cast<std::uint8_t>(position % 3));
    }
    const auto result = Read(builder.Build());
    ASSERT_EQ(result.error, ModuleReadError::None);
    EXPECT_EQ(result.module.songLength, 128);
    ASSERT_EQ(result.module.order.size(), 128u);
    ASSERT_EQ(result.module.patterns.size(), 128u);
    EXPECT_EQ(result.module.order[127], 127 % 3);
}

TEST(ModuleReader, FileShorterThanTheHeaderIsRefused) {
    ByteVector bytes = ModuleBuilder().Name("Short").Build();
    bytes.resize(1083);
    const auto result = Read(bytes);
    EXPECT_EQ(result.error, ModuleReadError::TooShort);
    EXPECT_EQ(Lines(result, "dir/short.mod"), "File dir/short.mod is too short to be a module!\n");
    EXPECT_EQ(Read({}).error, ModuleReadError::TooShort);
}

TEST(ModuleReader, PatternBytesPastTheEndOfTheFileAreCellsWithoutANote) {
    ByteVector bytes =
        ModuleBuilder().SongLength(2).Order({0, 1}).Note(0, 9, 3, "A-2", 4).Note(0, 10, 0, "A-2", 4).Build();
    bytes.resize(1084 + 10 * 16 + 2);  // cut inside the first cell of row 10
    const auto result = Read(bytes);
    ASSERT_EQ(result.error, ModuleReadError::None);
    const auto& patterns = result.module.patterns;
    ASSERT_EQ(patterns.size(), 2u);
    EXPECT_EQ(patterns[0].At(9, 3), (NoteCell{9, 4, 0, 0}));
    // Bytes 0 and 1 of the cut cell are there (sample high nibble 0, period 254), 2 and 3 are not.
    EXPECT_EQ(patterns[0].At(10, 0), (NoteCell{9, 0, 0, 0}));
    EXPECT_EQ(patterns[0].At(63, 3), NoteCell{});
    EXPECT_TRUE(std::all_of(patterns[1].cells.begin(), patterns[1].cells.end(),
                            [](const NoteCell& cell) { return cell == NoteCell{}; }));

    bytes.resize(1084);  // the header alone
    const auto headerOnly = Read(bytes);
    ASSERT_EQ(headerOnly.error, ModuleReadError::None);
    EXPECT_EQ(headerOnly.module.patterns.size(), 2u);
}

// Records every range the reader asks for, of a source that claims to be huge.
class RecordingSource final : public ByteSource {
public:
    explicit RecordingSource(const ByteVector& bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return std::uint64_t{1} << 40; }
    std::size_t ReadAt(std::uint64_t offset, MutableBytes out) const override {
        reads_.emplace_back(offset, out.size());
        return MemoryByteSource(bytes_).ReadAt(offset, out);
    }
    const std::vector<std::pair<std::uint64_t, std::size_t>>& reads() const { return reads_; }

private:
    const ByteVector& bytes_;
    mutable std::vector<std::pair<std::uint64_t, std::size_t>> reads_;
};

TEST(ModuleReader, ReadsOnlyTheHeaderAndThePatternsThatArePlayed) {
    // Patterns 0 and 2 and the sample data lie in the file but are never played.
    const ByteVector bytes = ModuleBuilder("8CHN", 8)
                                 .SongLength(3)
                                 .Order({3, 1, 3})
                                 .OrderEntry(7, 5)
                                 .StoredPatterns(6)
                                 .SampleData(100000)
                                 .Build();
    const RecordingSource source(bytes);
    const auto result = ReadModule(source);
    ASSERT_EQ(result.error, ModuleReadError::None);
    constexpr std::uint64_t kPattern = 64 * 8 * 4;
    for (const auto& [offset, size] : source.reads()) {
        const bool header = offset == 0 && size == 1084;
        const bool played = (offset == 1084 + 3 * kPattern || offset == 1084 + 1 * kPattern) && size == kPattern;
        EXPECT_TRUE(header || played) << "read of " << size << " bytes at " << offset;
    }
}

class LoadModuleFromDisk : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
    test::TempDir dir_;
};

TEST_F(LoadModuleFromDisk, ReportsEachOutcomeWithItsStatusAndLines) {
    test::WriteFile(dir_ / "good.mod", ModuleBuilder().Name("Good").Note(0, 0, 0, "C-2", 1).Build());
    test::WriteFile(dir_ / "short.mod", ByteVector(1000, 0));
    test::WriteFile(dir_ / "odd.mod", ModuleBuilder("OKTA").Name("Odd").Build());
    std::filesystem::create_directory(dir_ / "folder.mod");

    struct Case {
        std::string name;
        int status;
        std::string lines;
    };
    const Case cases[] = {
        {"good.mod", kModuleLoaded, "Song name: Good\nDetected a 4 channel amigamod.\nPatterns : 1\n"},
        {"missing.mod", kModuleNotFound, "File " + PathOf("missing.mod") + " not found!"},
        {"folder.mod", kModuleNotFound, "File " + PathOf("folder.mod") + " not found!"},
        {"short.mod", kModuleRefused, "File " + PathOf("short.mod") + " is too short to be a module!\n"},
        {"odd.mod", kModuleRefused, "Song name: Odd\nUnknown module magic! Aborting...\nError: Invalid module file!\n"},
    };
    for (const Case& testCase : cases) {
        ModuleRecord module;
        std::string out = "before|";
        EXPECT_EQ(LoadModule(module, PathOf(testCase.name), out), testCase.status) << testCase.name;
        EXPECT_EQ(out, "before|" + testCase.lines) << testCase.name;
        if (testCase.status == kModuleLoaded) {
            ASSERT_EQ(module.patterns.size(), 1u);
            EXPECT_EQ(module.patterns[0].At(0, 0), (NoteCell{0, 1, 0, 0}));
        }
    }
}

}  // namespace
}  // namespace melvo
