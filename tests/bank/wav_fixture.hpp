// WAV files built in code for the bank builder's tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tests/support/test_support.hpp"

namespace melvo::test {

// A plain 16-bit mono PCM WAV: the 44-byte header, then the samples.
ByteVector PlainWav(const std::vector<std::int16_t>& samples, std::uint32_t sampleRate = 32004);

// Samples that differ from slot to slot, in value and in number, so that a
// slot copied to the wrong place or with the wrong length shows.
std::vector<std::int16_t> SlotSamples(std::size_t slot);

// Writes the sixteen files of a bank directory, slot i from SlotSamples(i).
void WriteSixteenWavs(const std::filesystem::path& directory);

// Appends `value` as four little-endian bytes.
void PutU32le(ByteVector& bytes, std::uint32_t value);

}  // namespace melvo::test
