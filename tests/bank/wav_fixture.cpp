#include "tests/bank/wav_fixture.hpp"

#include <string>

#include "tool/bank_builder.hpp"

namespace melvo::test {
namespace {

void PutText(ByteVector& bytes, const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }

void PutU16le(ByteVector& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFFu));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

void PutU32le(ByteVector& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFFu));
    }
}

ByteVector PlainWav(const std::vector<std::int16_t>& samples, std::uint32_t sampleRate) {
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    ByteVector bytes;
    PutText(bytes, "RIFF");
    PutU32le(bytes, 36 + dataSize);
    PutText(bytes, "WAVEfmt ");
    PutU32le(bytes, 16);
    PutU16le(bytes, 1);  // PCM
    PutU16le(bytes, 1);  // mono
    PutU32le(bytes, sampleRate);
    PutU32le(bytes, sampleRate * 2);
    PutU16le(bytes, 2);
    PutU16le(bytes, 16);
    PutText(bytes, "data");
    PutU32le(bytes, dataSize);
    for (const std::int16_t sample : samples) {
        PutU16le(bytes, static_cast<std::uint16_t>(sample));
    }
    return bytes;
}

std::vector<std::int16_t> SlotSamples(std::size_t slot) {
    std::vector<std::int16_t> samples(10 + 3 * slot);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<int>(slot * 1000 + i) * (i % 2 == 0 ? 1 : -1));
    }
    return samples;
}

void WriteSixteenWavs(const std::filesystem::path& directory) {
    std::filesystem::create_directories(directory);
    for (std::size_t slot = 0; slot < WavFileNames.size(); ++slot) {
        WriteFile(directory / std::string(WavFileNames[slot]), PlainWav(SlotSamples(slot)));
    }
}

}  // namespace melvo::test
