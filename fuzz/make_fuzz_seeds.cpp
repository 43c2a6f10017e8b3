// Writes the starting corpus of every fuzz target: small, valid and
// nearly-valid files of each format, built from the suite's own encoders.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/bank_layout.hpp"
#include "formats/byte_io.hpp"
#include "formats/song_record.hpp"

namespace {

namespace fs = std::filesystem;
using ByteVector = std::vector<std::uint8_t>;

void Save(const fs::path& directory, const std::string& name, const ByteVector& bytes) {
    fs::create_directories(directory);
    std::ofstream out(directory / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

melvo::SongRecord DemoSong() {
    melvo::SongRecord song = melvo::EmptySong(200);
    song.title = melvo::MakeTextField("Seed");
    song.author = melvo::MakeTextField("Melvo");
    song.bankName = melvo::MakeTextField("default.mvi");
    for (int beat = 0; beat < melvo::kBeatsPerSong; beat += 3) {
        for (int slot = 0; slot < melvo::kSlotsPerBeat; ++slot) {
            song.notes[static_cast<std::size_t>(beat)][static_cast<std::size_t>(slot)] = melvo::NoteSlot{
                static_cast<std::uint8_t>(1 + (beat + slot) % 13), static_cast<std::uint8_t>((beat / 3 + slot) % 15)};
        }
    }
    return song;
}

ByteVector SongV2() {
    const auto image = melvo::EncodeSongFileV2(DemoSong());
    return ByteVector(image.begin(), image.end());
}

ByteVector SongV1() {
    ByteVector v2 = SongV2();
    ByteVector v1(v2.begin(), v2.begin() + melvo::kSongHeaderSize + 64);
    v1[melvo::kSongVersionOffset] = 1;
    v1.insert(v1.end(), v2.begin() + static_cast<std::ptrdiff_t>(melvo::kFileNotesOffsetV2), v2.end());
    return v1;
}

ByteVector Bank(std::uint32_t lengthBonus) {
    melvo::BankTable table{};
    ByteVector data;
    for (std::size_t slot = 0; slot < melvo::kBankSlotCount; ++slot) {
        const std::size_t samples = 8 + slot * 3;
        table[slot] =
            melvo::BankTableEntry{static_cast<std::uint32_t>(samples * 2) + lengthBonus, 16, melvo::kBankSampleRate,
                                  static_cast<std::uint32_t>(melvo::kBankFirstDataOffset + data.size())};
        for (std::size_t i = 0; i < samples; ++i) {
            const auto value = static_cast<std::uint16_t>((i * 4099 + slot * 77) & 0xFFFF);
            data.push_back(static_cast<std::uint8_t>(value & 0xFF));
            data.push_back(static_cast<std::uint8_t>(value >> 8));
        }
    }
    ByteVector bytes(melvo::kBankFirstDataOffset, 0);
    const auto header = melvo::EncodeBankHeader(melvo::MakeTextField("Seeds"), melvo::MakeTextField("Melvo"));
    std::copy(header.begin(), header.end(), bytes.begin());
    const auto tableBytes = melvo::EncodeBankTable(table);
    std::copy(tableBytes.begin(), tableBytes.end(), bytes.begin() + melvo::kBankTableOffset);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

// An Amiga module: 1084-byte header, then `patterns` patterns of 64 rows.
ByteVector Module(const char* magic, int channels, std::vector<std::uint8_t> order) {
    const std::uint8_t patternCount = static_cast<std::uint8_t>(1 + *std::max_element(order.begin(), order.end()));
    ByteVector bytes(1084 + static_cast<std::size_t>(patternCount) * 256 * static_cast<std::size_t>(channels), 0);
    const std::string name = "seed module";
    std::copy(name.begin(), name.end(), bytes.begin());
    bytes[950] = static_cast<std::uint8_t>(order.size());
    std::copy(order.begin(), order.end(), bytes.begin() + 952);
    std::copy(magic, magic + 4, bytes.begin() + 1080);
    static constexpr std::array<std::uint16_t, 8> kPeriods = {428, 381, 339, 320, 285, 254, 226, 453};
    for (std::size_t cell = 0; cell < static_cast<std::size_t>(patternCount) * 64 * static_cast<std::size_t>(channels);
         cell += 3) {
        const std::uint16_t period = kPeriods[cell % kPeriods.size()];
        const auto sample = static_cast<std::uint8_t>(1 + cell % 16);
        const std::size_t at = 1084 + cell * 4;
        bytes[at] = static_cast<std::uint8_t>((sample & 0xF0) | (period >> 8));
        bytes[at + 1] = static_cast<std::uint8_t>(period & 0xFF);
        bytes[at + 2] = static_cast<std::uint8_t>((sample & 0x0F) << 4);
    }
    return bytes;
}

// A plain 44-byte-header PCM WAV file.
ByteVector Wav(std::size_t samples) {
    ByteVector bytes(44 + samples * 2, 0);
    const melvo::MutableBytes out(bytes);
    std::copy_n("RIFF", 4, bytes.begin());
    melvo::WriteU32le(out, 4, static_cast<std::uint32_t>(bytes.size() - 8));
    std::copy_n("WAVEfmt ", 8, bytes.begin() + 8);
    melvo::WriteU32le(out, 16, 16);
    melvo::WriteU16le(out, 20, 1);
    melvo::WriteU16le(out, 22, 1);
    melvo::WriteU32le(out, 24, 32004);
    melvo::WriteU32le(out, 28, 64008);
    melvo::WriteU16le(out, 32, 2);
    melvo::WriteU16le(out, 34, 16);
    std::copy_n("data", 4, bytes.begin() + 36);
    melvo::WriteU32le(out, 40, static_cast<std::uint32_t>(samples * 2));
    for (std::size_t i = 0; i < samples; ++i) {
        melvo::WriteU16le(out, 44 + 2 * i, static_cast<std::uint16_t>(i * 1000));
    }
    return bytes;
}

// A save state: "ZSNE", then the song's notes at 5623 and its tempo at 6203.
ByteVector SaveState(std::size_t length) {
    ByteVector bytes(length, 0);
    std::copy_n("ZSNE", 4, bytes.begin());
    const ByteVector song = SongV2();
    for (std::size_t i = 0; i < melvo::kNoteBlockSize && 5623 + i < length; ++i) {
        bytes[5623 + i] = song[melvo::kFileNotesOffsetV2 + i];
    }
    if (length > 6203) {
        bytes[6203] = song[melvo::kFileTempoOffsetV2];
    }
    return bytes;
}

// The rip and inject target reads a 2-byte little-endian length, that many
// bytes of song file, and the rest as the save state.
ByteVector SongAndState(const ByteVector& song, const ByteVector& state) {
    ByteVector bytes = {static_cast<std::uint8_t>(song.size() & 0xFF), static_cast<std::uint8_t>(song.size() >> 8)};
    bytes.insert(bytes.end(), song.begin(), song.end());
    bytes.insert(bytes.end(), state.begin(), state.end());
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <output directory>\n");
        return 2;
    }
    const fs::path root = argv[1];
    Save(root / "fuzz_song_reader", "v2.mvs", SongV2());
    Save(root / "fuzz_song_reader", "v1.mvs", SongV1());
    Save(root / "fuzz_song_reader", "header-only.mvs", {'m', 'e', 'l', 'v', 3, 0, 0});
    Save(root / "fuzz_bank_playback", "exact.mvi", Bank(0));
    Save(root / "fuzz_bank_playback", "overlong.mvi", Bank(36));
    Save(root / "fuzz_module_convert", "mk.mod", Module("M.K.", 4, {0, 1, 0}));
    Save(root / "fuzz_module_convert", "8chn.mod", Module("8CHN", 8, {1, 0}));
    Save(root / "fuzz_wav_import", "plain.wav", Wav(64));
    Save(root / "fuzz_wav_import", "tiny.wav", Wav(0));
    Save(root / "fuzz_rip_inject", "v2-full.bin", SongAndState(SongV2(), SaveState(6204)));
    Save(root / "fuzz_rip_inject", "v1-short.bin", SongAndState(SongV1(), SaveState(100)));
    return 0;
}
