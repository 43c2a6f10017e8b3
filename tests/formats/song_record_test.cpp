#include "formats/song_record.hpp"

#include <gtest/gtest.h>

#include <string>

namespace melvo {
namespace {

SongRecord SampleSong() {
    SongRecord song;
    song.title = MakeTextField("Tune");
    song.author = MakeTextField("Me");
    song.bankName = MakeTextField("drums.mvi");
    song.notes[0][0] = NoteSlot{13, 0};
    song.notes[95][2] = NoteSlot{1, 14};
    song.notes[10][1] = NoteSlot{0, 222};
    song.tempo = 150;
    return song;
}

TEST(TextField, CutsAtThirtyTwoBytesAndReadsUpToTheFirstZero) {
    const std::string forty(40, 'x');
    const TextField full = MakeTextField(forty);
    EXPECT_EQ(FieldText(full), std::string(32, 'x'));
    EXPECT_EQ(FieldText(MakeTextField(forty, 31)), std::string(31, 'x'));
    TextField withZero = MakeTextField("ab");
    withZero[5] = 'z';  // bytes after the first zero are not part of the text
    EXPECT_EQ(FieldText(withZero), "ab");
}

TEST(SongRecord, VersionTwoImageHasTheFileLayout) {
    const SongFileImage image = EncodeSongFileV2(SampleSong());
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "melv");
    EXPECT_EQ(image[4], 2);
    EXPECT_EQ(image[5], 0);
    EXPECT_EQ(image[6], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[7])), "Tune");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[39])), "Me");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[71])), "drums.mvi");
    EXPECT_EQ(image[103], 13);              // beat 0 slot 0 pitch
    EXPECT_EQ(image[104], 0);               // and instrument
    EXPECT_EQ(image[103 + 6 * 95 + 4], 1);  // beat 95 slot 2
    EXPECT_EQ(image[103 + 6 * 95 + 5], 14);
    EXPECT_EQ(image[103 + 2], kEmptyPitch);  // untouched slots stay empty
    EXPECT_EQ(image[103 + 3], kEmptyInstrument);
    EXPECT_EQ(image[679], 150);
}

TEST(SongRecord, BodyRoundTrip) {
    const SongRecord song = SampleSong();
    EXPECT_EQ(DecodeSongBodyV2(EncodeSongBodyV2(song)), song);
}

TEST(SongRecord, UpgradeFromVersionOneNamesTheDefaultBank) {
    SongBodyV1 body{};
    for (std::size_t i = 0; i < body.size(); ++i) {
        body[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    const SongRecord song = UpgradeSongV1(body);
    const SongBodyV2 upgraded = EncodeSongBodyV2(song);
    for (std::size_t i = 0; i < 64; ++i) {
        EXPECT_EQ(upgraded[i], body[i]) << "title/author byte " << i;
    }
    for (std::size_t i = 0; i < kNoteBlockSize; ++i) {
        EXPECT_EQ(upgraded[96 + i], body[64 + i]) << "note byte " << i;
    }
    EXPECT_EQ(upgraded[672], body[640]);
    TextField expectedBank{};
    const std::string name = "default.mvi";
    std::copy(name.begin(), name.end(), expectedBank.begin());
    EXPECT_EQ(song.bankName, expectedBank);
}

}  // namespace
}  // namespace melvo
