#include "tests/bank/sound_analysis.hpp"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <numbers>

namespace melvo::test {
namespace {

using Complex = std::complex<double>;

// In-place radix-2 transform; the size must be a power of two.
void Transform(std::vector<Complex>& values) {
    const std::size_t size = values.size();
    for (std::size_t i = 1, j = 0; i < size; ++i) {
        std::size_t bit = size >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(values[i], values[j]);
        }
    }
    for (std::size_t length = 2; length <= size; length <<= 1) {
        const Complex turn = std::polar(1.0, -2.0 * std::numbers::pi / static_cast<double>(length));
        for (std::size_t start = 0; start < size; start += length) {
            Complex factor = 1.0;
            for (std::size_t k = 0; k < length / 2; ++k) {
                const Complex even = values[start + k];
                const Complex odd = values[start + k + length / 2] * factor;
                values[start + k] = even + odd;
                values[start + k + length / 2] = even - odd;
                factor *= turn;
            }
        }
    }
}

std::size_t PowerOfTwoAtLeast(std::size_t count) {
    std::size_t size = 1;
    while (size < count) {
        size <<= 1;
    }
    return size;
}

// Magnitudes of the Hann-windowed samples, zero-padded to `size` points.
std::vector<double> Magnitudes(Samples samples, std::size_t size) {
    std::vector<Complex> values(size);
    const double count = static_cast<double>(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (static_cast<double>(i) + 0.5) / count);
        values[i] = hann * samples[i];
    }
    Transform(values);
    std::vector<double> magnitudes(size / 2);
    for (std::size_t i = 0; i < magnitudes.size(); ++i) {
        magnitudes[i] = std::abs(values[i]);
    }
    return magnitudes;
}

}  // namespace

int PeakLevel(Samples samples) {
    int peak = 0;
    for (const std::int16_t sample : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

std::size_t LeadingSilence(Samples samples) {
    const auto firstSound = std::find_if(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; });
    return static_cast<std::size_t>(firstSound - samples.begin());
}

int TailLevel(Samples samples, std::size_t count) { return PeakLevel(samples.last(std::min(count, samples.size()))); }

double LowestPartialHz(Samples samples, double sampleRate, std::size_t start, std::size_t window, double threshold) {
    if (start >= samples.size()) {
        return 0.0;
    }
    const Samples piece = samples.subspan(start, std::min(window, samples.size() - start));
    const std::size_t size = 4 * PowerOfTwoAtLeast(piece.size());
    const std::vector<double> magnitudes = Magnitudes(piece, size);
    const double binHz = sampleRate / static_cast<double>(size);
    const auto lowest = static_cast<std::size_t>(40.0 / binHz) + 1;
    const double strongest =
        *std::max_element(magnitudes.begin() + static_cast<std::ptrdiff_t>(lowest), magnitudes.end());
    for (std::size_t bin = lowest; bin + 1 < magnitudes.size(); ++bin) {
        const double here = magnitudes[bin];
        if (here >= threshold * strongest && here >= magnitudes[bin - 1] && here > magnitudes[bin + 1]) {
            // A parabola through the logarithms of the three bins places the peak between them.
            const double left = std::log(magnitudes[bin - 1]);
            const double middle = std::log(here);
            const double right = std::log(magnitudes[bin + 1]);
            const double shift = 0.5 * (left - right) / (left - 2.0 * middle + right);
            return (static_cast<double>(bin) + shift) * binHz;
        }
    }
    return 0.0;
}

std::vector<double> BandProfile(Samples samples, double sampleRate) {
    const std::size_t size = PowerOfTwoAtLeast(samples.size());
    const std::vector<double> magnitudes = Magnitudes(samples, size);
    const double binHz = sampleRate / static_cast<double>(size);
    std::vector<double> energies;
    for (double low = 50.0; low * std::cbrt(2.0) < sampleRate / 2.0; low *= std::cbrt(2.0)) {
        const double high = low * std::cbrt(2.0);
        double energy = 1e-12;
        for (auto bin = static_cast<std::size_t>(low / binHz);
             bin < magnitudes.size() && static_cast<double>(bin) * binHz < high; ++bin) {
            energy += magnitudes[bin] * magnitudes[bin];
        }
        energies.push_back(energy);
    }
    const double strongest = *std::max_element(energies.begin(), energies.end());
    for (double& energy : energies) {
        energy = std::max(-80.0, 10.0 * std::log10(energy / strongest));
    }
    return energies;
}

double ProfileDistance(const std::vector<double>& a, const std::vector<double>& b) {
    const std::size_t count = std::min(a.size(), b.size());
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    }
    return count > 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

}  // namespace melvo::test
