// The staff display: the empty staves row for row, where notes land, the
// cursor line, the header block, and the finished redraw frames.
#include "player/staff.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/redraw_frames.hpp"
#include "tests/player/empty_staves.hpp"

namespace melvo {
namespace {

using test::kBlankRow;
using test::kEmptyStaff0;
using test::kEmptyStaff1;

std::string Row(const StaffText& staves, int staff, int row) {
    const StaffRow& text = staves.staves[static_cast<std::size_t>(staff)][static_cast<std::size_t>(row)];
    return std::string(text.begin(), text.end());
}

std::vector<std::string> Rows(const StaffText& staves, int staff) {
    std::vector<std::string> rows;
    for (int row = 0; row < kStaffRowCount; ++row) {
        rows.push_back(Row(staves, staff, row));
    }
    return rows;
}

std::string Lines(const std::vector<std::string>& rows) {
    std::string text;
    for (const auto& row : rows) {
        text += row + "\n";
    }
    return text;
}

TEST(BuildStaves, ASongWithoutNotesGivesTheEmptyStaves) {
    const StaffText staves = BuildStaves(EmptySong(150));
    EXPECT_EQ(Rows(staves, 0), kEmptyStaff0);
    EXPECT_EQ(Rows(staves, 1), kEmptyStaff1);
}

struct PlacedNote {
    int beat;
    int slot;
    NoteSlot note;
};

struct PlacementCase {
    const char* name;
    std::vector<PlacedNote> notes;
    int staff;
    int row;
    std::string expectedRow;  // empty: both staves stay empty
};

std::string WithCell(std::string row, int column, char c) {
    row[static_cast<std::size_t>(column)] = c;
    return row;
}

class StaffPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(StaffPlacement, LetterLandsInItsRowAndColumn) {
    const PlacementCase& c = GetParam();
    SongRecord song = EmptySong(150);
    for (const PlacedNote& placed : c.notes) {
        song.notes[static_cast<std::size_t>(placed.beat)][static_cast<std::size_t>(placed.slot)] = placed.note;
    }
    const StaffText staves = BuildStaves(song);
    if (c.expectedRow.empty()) {
        EXPECT_EQ(Rows(staves, 0), kEmptyStaff0);
        EXPECT_EQ(Rows(staves, 1), kEmptyStaff1);
        return;
    }
    EXPECT_EQ(Row(staves, c.staff, c.row), c.expectedRow);
    // Nothing else changed.
    std::vector<std::string> expected = c.staff == 0 ? kEmptyStaff0 : kEmptyStaff1;
    expected[static_cast<std::size_t>(c.row)] = c.expectedRow;
    EXPECT_EQ(Rows(staves, c.staff), expected);
    EXPECT_EQ(Rows(staves, 1 - c.staff), c.staff == 0 ? kEmptyStaff1 : kEmptyStaff0);
}

INSTANTIATE_TEST_SUITE_P(
    Notes, StaffPlacement,
    ::testing::Values(
        PlacementCase{"Pitch13OnBeat0", {{0, 0, {13, 0}}}, 0, 0, "  a" + std::string(50, ' ')},
        PlacementCase{"Pitch1Instrument14OnBeat95", {{95, 1, {1, 14}}}, 1, 12, WithCell(kBlankRow, 49, 'o')},
        PlacementCase{"LetterReplacesAPlus", {{4, 2, {2, 3}}}, 0, 11, WithCell(kEmptyStaff0[11], 6, 'd')},
        PlacementCase{"LetterReplacesABar", {{48, 0, {3, 1}}}, 1, 10, WithCell(kEmptyStaff1[10], 2, 'b')},
        PlacementCase{
            "HigherSlotWinsTheCell", {{10, 0, {5, 2}}, {10, 2, {5, 7}}}, 0, 8, WithCell(kEmptyStaff0[8], 12, 'h')},
        PlacementCase{"Beat47IsTheLastColumnOfStaff0", {{47, 0, {7, 5}}}, 0, 6, WithCell(kEmptyStaff0[6], 49, 'f')},
        PlacementCase{"InstrumentByteWrapsModulo256",
                      {{20, 0, {9, 200}}},
                      0,
                      4,
                      WithCell(kEmptyStaff0[4], 22, static_cast<char>(41))},
        PlacementCase{"Pitch0HasNoRow", {{3, 0, {0, 1}}}, 0, 0, ""},
        PlacementCase{"PitchAbove13IsLeftOut", {{3, 0, {14, 1}}, {4, 1, {255, 1}}}, 0, 0, ""},
        PlacementCase{"EmptyPairDrawsNothing", {{3, 0, {255, 223}}}, 0, 0, ""}),
    [](const ::testing::TestParamInfo<PlacementCase>& param) { return std::string(param.param.name); });

TEST(DrawStaff, CursorStandsAboveTheBeatsColumnOnTheBeatsStaff) {
    const StaffText staves = BuildStaves(EmptySong(150));
    const struct {
        int beat;
        int spaces;
        const std::vector<std::string>* staff;
    } cases[] = {{0, 2, &kEmptyStaff0}, {47, 49, &kEmptyStaff0}, {48, 2, &kEmptyStaff1}, {95, 49, &kEmptyStaff1}};
    for (const auto& c : cases) {
        EXPECT_EQ(DrawStaff(staves, c.beat),
                  std::string(static_cast<std::size_t>(c.spaces), ' ') + "@\n" + Lines(*c.staff))
            << "beat " << c.beat;
    }
}

TEST(DrawHeader, SixLinesWithAlignedValues) {
    SongRecord song = EmptySong(150);
    song.title = MakeTextField("Ode");
    song.author = MakeTextField("Someone");
    InstrumentBank bank;
    bank.packName = MakeTextField("Default");
    bank.author = MakeTextField("Melvo");
    EXPECT_EQ(DrawHeader(song, bank),
              "Melvo Player v1.0\n\nTitle:      Ode\nAuthor:     Someone\nSamplebank: Default by Melvo\n\n");
}

TEST(DrawHeader, FullFieldsShowAll32BytesAndAnEmptyBankAuthorEndsWithBy) {
    SongRecord song = EmptySong(150);
    const std::string title(32, 'T');
    song.title = MakeTextField(title);
    song.author = MakeTextField("A");
    InstrumentBank bank;
    bank.packName = MakeTextField(std::string(32, 'P'));
    EXPECT_EQ(DrawHeader(song, bank), "Melvo Player v1.0\n\nTitle:      " + title +
                                          "\nAuthor:     A\nSamplebank: " + std::string(32, 'P') + " by \n\n");
}

class RedrawFrameTest : public ::testing::Test {
protected:
    RedrawFrameTest() : song_(EmptySong(150)) {
        song_.title = MakeTextField("Ti\x1b[2Jtle");
        song_.author = MakeTextField("Au\x7fthor");
        bank_.packName = MakeTextField("Pack\x07");
        bank_.author = MakeTextField("Maker");
        song_.notes[0][0] = {13, 159};  // letter byte 0
        song_.notes[1][0] = {13, 30};   // letter byte 0x7F
        song_.notes[2][0] = {13, 2};
    }

    std::string ExpectedFrame(const std::string& clear, const std::string& title, const std::string& author,
                              const std::string& pack, const std::string& letters, bool silent) const {
        std::vector<std::string> rows = kEmptyStaff0;
        rows[0] = "  " + letters + std::string(48, ' ');
        return clear + "Melvo Player v1.0\n\nTitle:      " + title + "\nAuthor:     " + author +
               "\nSamplebank: " + pack + " by Maker\n\n" + std::string(3, ' ') + "@\n" + Lines(rows) +
               "press any key to exit\n" + (silent ? "(no audio device: playing silently)\n" : "");
    }

    SongRecord song_;
    InstrumentBank bank_;
};

TEST_F(RedrawFrameTest, CapturedOutputKeepsEveryByte) {
    const StaffText staves = BuildStaves(song_);
    const FrameStyle style{"", false, false};
    EXPECT_EQ(RedrawFrame(song_, bank_, staves, 1, style), ExpectedFrame("", "Ti\x1b[2Jtle", "Au\x7fthor", "Pack\x07",
                                                                         std::string("\0\x7f"
                                                                                     "c",
                                                                                     3),
                                                                         false));
}

TEST_F(RedrawFrameTest, OnATerminalControlBytesShowAsQuestionMarksAfterTheClearSequence) {
    const StaffText staves = BuildStaves(song_);
    const FrameStyle style{"\x1b[H\x1b[2J", true, false};
    EXPECT_EQ(RedrawFrame(song_, bank_, staves, 1, style),
              ExpectedFrame("\x1b[H\x1b[2J", "Ti?[2Jtle", "Au?thor", "Pack?", "??c", false));
}

TEST_F(RedrawFrameTest, SilentPlayAddsOneLineAndTheTableHoldsEveryBeat) {
    const StaffText staves = BuildStaves(song_);
    const FrameStyle style{"", false, true};
    const RedrawFrames frames(song_, bank_, staves, style);
    EXPECT_EQ(frames.ForBeat(1), ExpectedFrame("", "Ti\x1b[2Jtle", "Au\x7fthor", "Pack\x07",
                                               std::string("\0\x7f"
                                                           "c",
                                                           3),
                                               true));
    for (int beat = 0; beat < kBeatsPerSong; ++beat) {
        EXPECT_EQ(frames.ForBeat(beat), RedrawFrame(song_, bank_, staves, beat, style)) << beat;
    }
}

}  // namespace
}  // namespace melvo
