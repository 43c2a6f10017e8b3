// Plain PCM WAV files: a 44-byte header, then signed 16-bit mono samples.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace melvo::instruments {

inline constexpr std::size_t kPlainWavHeaderSize = 44;

std::vector<std::uint8_t> EncodeWav16Mono(std::span<const std::int16_t> samples, std::uint32_t sampleRate);

}  // namespace melvo::instruments
