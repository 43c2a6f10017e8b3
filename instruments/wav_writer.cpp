#include "instruments/wav_writer.hpp"

#include <algorithm>
#include <array>

#include "formats/byte_io.hpp"

namespace melvo::instruments {
namespace {

void PutTag(std::vector<std::uint8_t>& bytes, std::size_t offset, const char (&tag)[5]) {
    std::copy(tag, tag + 4, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

std::vector<std::uint8_t> EncodeWav16Mono(std::span<const std::int16_t> samples, std::uint32_t sampleRate) {
    constexpr std::uint16_t kPcm = 1;
    constexpr std::uint16_t kChannels = 1;
    constexpr std::uint16_t kBytesPerSample = 2;
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * kBytesPerSample);
    std::vector<std::uint8_t> bytes(kPlainWavHeaderSize + dataSize, 0);
    const MutableBytes out(bytes);
    PutTag(bytes, 0, "RIFF");
    WriteU32le(out, 4, static_cast<std::uint32_t>(bytes.size() - 8));
    PutTag(bytes, 8, "WAVE");
    PutTag(bytes, 12, "fmt ");
    WriteU32le(out, 16, 16);  // format chunk length
    WriteU16le(out, 20, kPcm);
    WriteU16le(out, 22, kChannels);
    WriteU32le(out, 24, sampleRate);
    WriteU32le(out, 28, sampleRate * kChannels * kBytesPerSample);
    WriteU16le(out, 32, kChannels * kBytesPerSample);
    WriteU16le(out, 34, 16);  // bits per sample
    PutTag(bytes, 36, "data");
    WriteU32le(out, 40, dataSize);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        WriteU16le(out, kPlainWavHeaderSize + 2 * i, static_cast<std::uint16_t>(samples[i]));
    }
    return bytes;
}

}  // namespace melvo::instruments
