// The conversion: each cell's slot and warnings, the walk over rows and
// positions, and the song image it fills.
#include "modconv/module_convert.hpp"

#include <gtest/gtest.h>

#include "modconv/module_reader.hpp"
#include "tests/modconv/module_fixture.hpp"
#include "tests/support/fixtures.hpp"

namespace melvo {
namespace {

using test::ModuleBuilder;

constexpr NoteSlot kEmpty{};

struct CellCase {
    const char* name;
    const char* note;  // tracker name, or nullptr for a cell without a note
    int sample;
    NoteSlot slot;
    bool instrumentWarning;
    bool noteWarning;
};

void PrintTo(const CellCase& testCase, std::ostream* out) { *out << testCase.name; }

class CellRules : public ::testing::TestWithParam<CellCase> {};

TEST_P(CellRules, GiveTheSlotAndWarnings) {
    const CellCase& c = GetParam();
    NoteCell cell;
    cell.note = c.note != nullptr ? PeriodToNote(test::PeriodOf(c.note)) : kNoNote;
    cell.sampleNumber = c.sample;
    const CellConversion converted = ConvertCell(cell);
    EXPECT_EQ(converted.slot, c.slot);
    EXPECT_EQ(converted.instrumentWarning, c.instrumentWarning);
    EXPECT_EQ(converted.noteWarning, c.noteWarning);
}

INSTANTIATE_TEST_SUITE_P(
    NotesAndSamples, CellRules,
    ::testing::Values(
        // Naturals from B-1 to G-3 are the 13 staff pitches; samples 1 to 15 are instruments 0 to 14.
        CellCase{"C2Sample1", "C-2", 1, {2, 0}, false, false}, CellCase{"B1Sample12", "B-1", 12, {1, 11}, false, false},
        CellCase{"G3Sample15", "G-3", 15, {13, 14}, false, false},
        CellCase{"F3Sample14", "F-3", 14, {12, 13}, false, false},
        CellCase{"D3Sample2", "D-3", 2, {10, 1}, false, false}, CellCase{"Sharp", "C#2", 1, kEmpty, false, true},
        CellCase{"SharpHigh", "F#3", 3, kEmpty, false, true}, CellCase{"BelowTheStaff", "C-1", 5, kEmpty, false, true},
        CellCase{"AboveTheStaff", "G#3", 5, kEmpty, false, true},
        CellCase{"TopOfTheTable", "B-3", 5, kEmpty, false, true},
        // Sample 13 is the low half of instrument 12: at most pitch 6.
        CellCase{"A2Sample13Capped", "A-2", 13, {6, 12}, false, false},
        CellCase{"G3Sample13Capped", "G-3", 13, {6, 12}, false, false},
        CellCase{"E2Sample13", "E-2", 13, {4, 12}, false, false},
        CellCase{"SharpSample13", "C#2", 13, kEmpty, false, true},
        // Sample 16 is the high half of instrument 12: at least pitch 7.
        CellCase{"E2Sample16Raised", "E-2", 16, {7, 12}, false, false},
        CellCase{"SharpSample16Raised", "C#2", 16, {7, 12}, false, false},
        CellCase{"B2Sample16", "B-2", 16, {8, 12}, false, false},
        CellCase{"C1Sample16BothWarnings", "C-1", 16, kEmpty, true, true},
        // No usable sample: instrument 0 with a warning.
        CellCase{"A2Sample0", "A-2", 0, {7, 0}, true, false}, CellCase{"A2Sample17", "A-2", 17, {7, 0}, true, false},
        CellCase{"A2Sample20", "A-2", 20, {7, 0}, true, false}, CellCase{"A2Sample31", "A-2", 31, {7, 0}, true, false},
        CellCase{"SharpSample0", "D#2", 0, kEmpty, true, true},
        // A cell without a note is silent whatever its sample.
        CellCase{"NoNoteSample20", nullptr, 20, kEmpty, false, false},
        CellCase{"NoNoteSample16", nullptr, 16, kEmpty, false, false}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct Converted {
    SongImage image;
    std::string warnings;
};

Converted Convert(const test::ByteVector& moduleBytes) {
    const ModuleReadResult read = ReadModule(MemoryByteSource(moduleBytes));
    EXPECT_EQ(read.error, ModuleReadError::None);
    Converted converted;
    InitSongImage(converted.image);
    ConvertModule(read.module, converted.image, converted.warnings);
    return converted;
}

// A natural note per row, so each beat shows which row it came from.
const char* const kRowNotes[] = {"B-1", "C-2", "D-2", "E-2", "F-2", "G-2", "A-2",
                                 "B-2", "C-3", "D-3", "E-3", "F-3", "G-3"};

std::uint8_t RowPitch(int row) { return static_cast<std::uint8_t>(row % 13 + 1); }

TEST(ConvertModule, OnePositionFillsBeatsZeroTo63AndLeavesTheRestEmpty) {
    ModuleBuilder builder;
    for (int row = 0; row < 64; ++row) {
        builder.Note(0, row, 0, kRowNotes[row % 13], row % 12 + 1);
    }
    const Converted converted = Convert(builder.Build());
    EXPECT_EQ(converted.warnings, "");
    const auto& notes = converted.image.song.notes;
    for (int beat = 0; beat < 96; ++beat) {
        const auto b = static_cast<std::size_t>(beat);
        const NoteSlot expected = beat < 64 ? NoteSlot{RowPitch(beat), static_cast<std::uint8_t>(beat % 12)} : kEmpty;
        EXPECT_EQ(notes[b][0], expected) << "beat " << beat;
        EXPECT_EQ(notes[b][1], kEmpty) << "beat " << beat;
        EXPECT_EQ(notes[b][2], kEmpty) << "beat " << beat;
    }
}

TEST(ConvertModule, SecondPositionStopsAfterRow31WithoutLaterWarnings) {
    ModuleBuilder builder;
    builder.SongLength(3).Order({4, 7, 4});
    for (int row = 0; row < 64; ++row) {
        builder.Note(7, row, 1, kRowNotes[row % 13], 2);
        builder.Note(7, row, 2, "C#2", 2);  // warns on every row that is converted
    }
    const Converted converted = Convert(builder.Build());
    const auto& notes = converted.image.song.notes;
    EXPECT_EQ(notes[63][1], kEmpty);
    EXPECT_EQ(notes[64][1], (NoteSlot{RowPitch(0), 1}));
    EXPECT_EQ(notes[95][1], (NoteSlot{RowPitch(31), 1}));
    std::string expected;
    for (int row = 0; row < 32; ++row) {
        expected += "Warning: invalid note ignored at pattern 7, row " + std::to_string(row) + ", channel 2!\n";
    }
    EXPECT_EQ(converted.warnings, expected);
}

TEST(ConvertModule, WarningsNameThePatternNotThePositionAndKeepTheirOrder) {
    const Converted converted = Convert(ModuleBuilder()
                                            .SongLength(2)
                                            .Order({9, 9})
                                            .StoredPatterns(10)
                                            .Note(9, 3, 0, "C#2", 1)
                                            .Note(9, 3, 2, "C-1", 16)
                                            .Note(9, 20, 1, "A-2", 20)
                                            .Build());
    const std::string once =
        "Warning: invalid note ignored at pattern 9, row 3, channel 0!\n"
        "Warning: invalid instrument value at pattern 9, row 3, channel 2!\n"
        "Warning: invalid note ignored at pattern 9, row 3, channel 2!\n"
        "Warning: invalid instrument value at pattern 9, row 20, channel 1!\n";
    EXPECT_EQ(converted.warnings, once + once);
    EXPECT_EQ(converted.image.song.notes[20][1], (NoteSlot{7, 0}));
    EXPECT_EQ(converted.image.song.notes[84][1], (NoteSlot{7, 0}));
}

TEST(ConvertModule, ChannelsFromThreeUpNeverReachTheSongOrWarn) {
    for (const auto& [magic, channels] : {std::pair<const char*, int>{"M.K.", 4}, {"8CHN", 8}}) {
        ModuleBuilder builder(magic, channels);
        builder.SongLength(2).Order({0, 0});
        for (int row = 0; row < 64; ++row) {
            for (int channel = 3; channel < channels; ++channel) {
                builder.Note(0, row, channel, channel % 2 == 0 ? "C#2" : "C-2", 20);
            }
        }
        builder.Note(0, 1, 2, "G-3", 15);
        const Converted converted = Convert(builder.Build());
        EXPECT_EQ(converted.warnings, "") << magic;
        for (std::size_t beat = 0; beat < 96; ++beat) {
            const BeatNotes expected = beat == 1 || beat == 65 ? BeatNotes{kEmpty, kEmpty, NoteSlot{13, 14}}
                                                               : BeatNotes{kEmpty, kEmpty, kEmpty};
            EXPECT_EQ(converted.image.song.notes[beat], expected) << magic << " beat " << beat;
        }
    }
}

TEST(ConvertModule, SongLengthZeroGivesAnEmptySongWithoutWarnings) {
    const Converted converted = Convert(ModuleBuilder().SongLength(0).Note(0, 0, 0, "C#2", 0).Build());
    EXPECT_EQ(converted.warnings, "");
    EXPECT_EQ(converted.image.song, EmptySong(150));
}

TEST(ConvertModule, OverwritesWhateverTheNotesHeldBefore) {
    SongImage image;
    InitSongImage(image);
    for (BeatNotes& beat : image.song.notes) {
        beat.fill(NoteSlot{3, 3});
    }
    std::string warnings;
    ConvertModule(ModuleRecord{}, image, warnings);
    EXPECT_EQ(image.song.notes, EmptySong(0).notes);
}

TEST(SongImage, InitialisedImageEncodesAsAnEmptyVersionTwoSong) {
    SongImage image;
    image.song.title = MakeTextField("leftover");
    image.song.bankName = MakeTextField("leftover.mvi");
    InitSongImage(image);
    for (BeatNotes& beat : image.song.notes) {
        beat.fill(NoteSlot{});
    }
    const SongFileImage file = EncodeSongImage(image);
    EXPECT_EQ(test::ByteVector(file.begin(), file.end()), test::SongFileBytes(EmptySong(150)));
}

TEST(SongImage, FieldsLandAtTheirFileOffsets) {
    SongImage image;
    InitSongImage(image);
    image.song.title = MakeTextField("Title");
    image.song.author = MakeTextField("Me");
    image.song.notes[0][0] = NoteSlot{1, 2};
    image.song.notes[95][2] = NoteSlot{13, 14};
    image.song.tempo = 44;
    const SongFileImage file = EncodeSongImage(image);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 7), std::string("melv\x02\x00\x00", 7));
    EXPECT_EQ(std::string(file.begin() + 7, file.begin() + 13), std::string("Title\0", 6));
    EXPECT_EQ(std::string(file.begin() + 39, file.begin() + 42), std::string("Me\0", 3));
    EXPECT_EQ(file[103], 1);
    EXPECT_EQ(file[104], 2);
    EXPECT_EQ(file[103 + 6 * 95 + 4], 13);
    EXPECT_EQ(file[103 + 6 * 95 + 5], 14);
    EXPECT_EQ(file[679], 44);
}

}  // namespace
}  // namespace melvo
