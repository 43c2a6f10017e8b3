#include "examples/song_notation.hpp"

#include <gtest/gtest.h>

#include <string>

namespace melvo::notation {
namespace {

std::string Header() { return "title T\nauthor A\ntempo 10\n"; }

// A voice line of `count` beats, all rests.
std::string Rests(int count) {
    std::string line;
    for (int i = 0; i < count; ++i) {
        line += ". ";
    }
    return line + "\n";
}

TEST(SongNotation, CompilesNotesInstrumentsAndHeaderFields) {
    const std::string text =
        "# a comment\n"
        "title  Two  words   # comments end lines\n"
        "author Melvo\n"
        "tempo  255\n"
        "voice 2\n"
        "B3 @snare G5 | . @7 C4\n" +
        Rests(92) + "voice 1\n" + Rests(96);
    const CompileResult result = CompileSong(text);
    ASSERT_TRUE(std::holds_alternative<SongRecord>(result)) << std::get<NotationError>(result).message;
    const SongRecord& song = std::get<SongRecord>(result);
    EXPECT_EQ(FieldText(song.title), "Two  words");
    EXPECT_EQ(FieldText(song.author), "Melvo");
    EXPECT_EQ(FieldText(song.bankName), "default.mvi");
    EXPECT_EQ(song.tempo, 255);
    EXPECT_EQ(song.notes[0][1], (NoteSlot{1, 0}));    // B3 is pitch 1; piano until told otherwise
    EXPECT_EQ(song.notes[1][1], (NoteSlot{13, 11}));  // G5 the top pitch, on the snare
    EXPECT_TRUE(song.notes[2][1].IsEmptyPair());
    EXPECT_EQ(song.notes[3][1], (NoteSlot{2, 7}));  // middle C on instrument 7
    for (const auto& beat : song.notes) {
        EXPECT_TRUE(beat[0].IsEmptyPair());
        EXPECT_TRUE(beat[2].IsEmptyPair());
    }
}

TEST(SongNotation, NamesEveryStaffPitchAndInstrument) {
    const char* const notes[] = {"B3", "C4", "D4", "E4", "F4", "G4", "A4", "B4", "C5", "D5", "E5", "F5", "G5"};
    for (std::uint8_t pitch = 1; pitch <= 13; ++pitch) {
        EXPECT_EQ(StaffPitch(notes[pitch - 1]), pitch);
    }
    EXPECT_EQ(StaffPitch("A3"), std::nullopt);
    EXPECT_EQ(StaffPitch("A5"), std::nullopt);
    EXPECT_EQ(InstrumentNumber("piano"), 0);
    EXPECT_EQ(InstrumentNumber("epiano"), 12);
    EXPECT_EQ(InstrumentNumber("hihat"), 14);
    EXPECT_EQ(InstrumentNumber("14"), 14);
    EXPECT_EQ(InstrumentNumber("15"), std::nullopt);
    EXPECT_EQ(InstrumentNumber("Piano"), std::nullopt);
}

struct ErrorCase {
    const char* name;
    std::string text;
    int line;
    std::string message;
};

void PrintTo(const ErrorCase& testCase, std::ostream* out) { *out << testCase.name; }

class SongNotationErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SongNotationErrors, NameTheLineAndTheFault) {
    const CompileResult result = CompileSong(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<NotationError>(result));
    EXPECT_EQ(std::get<NotationError>(result).line, GetParam().line);
    EXPECT_EQ(std::get<NotationError>(result).message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SongNotationErrors,
    ::testing::Values(
        ErrorCase{"ShortVoice", Header() + "voice 1\n" + Rests(95), 0, "voice 1 holds 95 beats, not 96"},
        ErrorCase{"LongVoice", Header() + "voice 3\n" + Rests(96) + ". .\n", 6, "voice 3 goes past beat 96"},
        ErrorCase{"OffTheStaff", Header() + "voice 1\nC4 A5\n", 5, "not a note, a rest or an instrument: A5"},
        ErrorCase{"UnknownInstrument", Header() + "voice 1\n@kazoo\n", 5, "no instrument kazoo"},
        ErrorCase{"BeatsBeforeAVoice", Header() + "C4\n", 4, "beats before the first voice line"},
        ErrorCase{"VoiceFour", Header() + "voice 4\n", 4, "a voice is 1, 2 or 3"},
        ErrorCase{"TempoTooLarge", "tempo 256\n", 1, "a tempo is a number from 0 to 255"},
        ErrorCase{"TitleTooLong", "title " + std::string(33, 't') + "\n", 1, "longer than 32 characters"},
        ErrorCase{"NoTempo", "title T\nauthor A\n", 0, "a song needs a title, an author and a tempo"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

}  // namespace
}  // namespace melvo::notation
