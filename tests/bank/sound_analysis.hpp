// Measurements of recorded sounds, for checking the default bank and what
// the player makes of the demo songs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace melvo::test {

using Samples = std::span<const std::int16_t>;

// The largest absolute sample value.
int PeakLevel(Samples samples);

// How many samples at the start are exactly zero.
std::size_t LeadingSilence(Samples samples);

// The largest absolute value among the last `count` samples.
int TailLevel(Samples samples, std::size_t count);

// The frequency in Hz of the lowest strong partial (at least `threshold`
// times the strongest one) in the `window` samples from `start`, found in a
// Hann-windowed spectrum and refined between its bins. Below 40 Hz is ignored.
double LowestPartialHz(Samples samples, double sampleRate, std::size_t start, std::size_t window,
                       double threshold = 0.2);

// The sound's spectrum summed into bands a third of an octave wide from
// 50 Hz up, in decibels relative to its strongest band: a fingerprint of its
// colour that ignores loudness.
std::vector<double> BandProfile(Samples samples, double sampleRate);

// The root-mean-square difference of two profiles, in decibels.
double ProfileDistance(const std::vector<double>& a, const std::vector<double>& b);

}  // namespace melvo::test
