#include "instruments/bank_sounds.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

namespace melvo::instruments {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kRate = kSoundRate;
constexpr double kNote = kLowestStaffNoteHz;
constexpr double kPeakLevel = 0.85 * 32767.0;  // leaves headroom; the mixer takes a third of each voice

using Signal = std::vector<double>;

Signal Blank(double seconds) { return Signal(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0); }
double TimeOf(std::size_t index) { return static_cast<double>(index) / kRate; }

// A raised-cosine rise over `seconds`, so no sound starts with a click.
double Rise(double t, double seconds) { return t >= seconds ? 1.0 : 0.5 - 0.5 * std::cos(kPi * t / seconds); }

// The player speeds a sample up by as much as 3.2 times (the top staff
// pitch) and does not filter, so partials are thinned out towards the top of
// the band rather than left to fold back as noise.
double BandWeight(double hz) { return 1.0 / (1.0 + std::pow(hz / 5000.0, 4.0)); }

// Adds a sine whose frequency and amplitude follow the given functions of time.
template <class Frequency, class Amplitude>
void AddTone(Signal& out, Frequency frequencyAt, Amplitude amplitudeAt, double phase = 0.0) {
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = TimeOf(i);
        out[i] += amplitudeAt(t) * std::sin(phase);
        phase = std::fmod(phase + kTwoPi * frequencyAt(t) / kRate, kTwoPi);
    }
}

struct Partial {
    double ratio;      // frequency as a multiple of the note
    double amplitude;  // relative to the others
    double decay;      // seconds to fall to 1/e; 0 holds steady
};

// A struck or plucked sound: fixed partials, each dying away at its own rate.
void AddPartials(Signal& out, std::initializer_list<Partial> partials, double attackSeconds, double baseHz = kNote) {
    for (const Partial& partial : partials) {
        const double hz = partial.ratio * baseHz;
        const double level = partial.amplitude * BandWeight(hz);
        AddTone(
            out, [hz](double) { return hz; },
            [&](double t) {
                const double fall = partial.decay > 0.0 ? std::exp(-t / partial.decay) : 1.0;
                return level * fall * Rise(t, attackSeconds);
            });
    }
}

// A reproducible white noise from a linear congruential generator.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;  // -1..1
    }

private:
    std::uint32_t state_;
};

// One-pole low-pass: each output moves `amount` (0..1) of the way to the input.
class Smoother {
public:
    explicit Smoother(double amount) : amount_(amount) {}
    double Next(double input) {
        value_ += amount_ * (input - value_);
        return value_;
    }

private:
    double amount_;
    double value_ = 0.0;
};

// Filtered noise shaped by an envelope: breath, hammer, mallet and drum skins.
template <class Envelope>
void AddNoise(Signal& out, std::uint32_t seed, double smoothing, bool highPass, Envelope envelopeAt) {
    Noise noise(seed);
    Smoother low(smoothing);
    double previous = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double value = low.Next(noise.Next());
        if (highPass) {
            const double difference = value - previous;
            previous = value;
            value = difference;
        }
        out[i] += envelopeAt(TimeOf(i)) * value;
    }
}

// Removes a steady offset, which a speaker cannot play and the mixer would
// only spend headroom on.
void BlockOffset(Signal& signal) {
    double lastIn = 0.0;
    double lastOut = 0.0;
    for (double& value : signal) {
        const double out = value - lastIn + 0.995 * lastOut;
        lastIn = value;
        lastOut = out;
        value = out;
    }
}

// Fades the end to silence, scales to the common peak level and puts the
// leading silence in front.
std::vector<std::int16_t> Finish(Signal signal, double fadeSeconds) {
    const std::size_t fade = std::min(signal.size(), static_cast<std::size_t>(fadeSeconds * kRate));
    for (std::size_t k = 0; k < fade; ++k) {
        signal[signal.size() - fade + k] *=
            0.5 + 0.5 * std::cos(kPi * static_cast<double>(k + 1) / static_cast<double>(fade));
    }
    double peak = 0.0;
    for (const double value : signal) {
        peak = std::max(peak, std::abs(value));
    }
    const double scale = peak > 0.0 ? kPeakLevel / peak : 0.0;
    std::vector<std::int16_t> samples(kLeadingSilence, 0);
    samples.reserve(kLeadingSilence + signal.size());
    for (const double value : signal) {
        samples.push_back(static_cast<std::int16_t>(std::lround(value * scale)));
    }
    return samples;
}

std::vector<std::int16_t> Piano() {
    Signal s = Blank(1.6);
    constexpr double kStiffness = 0.0003;  // string stiffness stretches the upper partials a little
    for (int n = 1; n <= 16; ++n) {
        const double ratio = n * std::sqrt(1.0 + kStiffness * n * n);
        const double amplitude = (1.0 + 0.3 * std::sin(n * 1.1)) / std::pow(n, 1.3);
        const double decay = 1.4 / (1.0 + 0.35 * (n - 1));
        AddPartials(s, {{ratio, amplitude, decay}}, 0.002);
        AddPartials(s, {{ratio * 1.0006, 0.5 * amplitude, decay * 0.8}}, 0.002);  // the second string of the pair
    }
    AddNoise(s, 11, 0.2, false, [](double t) { return 0.08 * std::exp(-t / 0.012) * Rise(t, 0.001); });
    return Finish(s, 0.05);
}

std::vector<std::int16_t> Guitar() {
    Signal s = Blank(1.3);
    constexpr double kPluckPoint = 0.18;  // fraction of the string's length
    for (int n = 1; n <= 24; ++n) {
        const double amplitude = std::abs(std::sin(n * kPi * kPluckPoint)) / n;
        AddPartials(s, {{static_cast<double>(n), amplitude, 1.1 / (1.0 + 0.5 * (n - 1))}}, 0.001);
    }
    AddNoise(s, 23, 0.6, true, [](double t) { return 0.15 * std::exp(-t / 0.004); });
    return Finish(s, 0.05);
}

std::vector<std::int16_t> Organ() {
    Signal s = Blank(1.0);
    const auto swell = [](double t) { return Rise(t, 0.006) * (1.0 + 0.06 * std::sin(kTwoPi * 6.0 * t)); };
    for (const auto& [harmonic, level] :
         {std::pair{1.0, 1.0}, {2.0, 0.75}, {3.0, 0.55}, {4.0, 0.45}, {6.0, 0.25}, {8.0, 0.3}}) {
        const double hz = harmonic * kNote;
        const double amplitude = level * BandWeight(hz);
        AddTone(
            s, [hz](double) { return hz; }, [&](double t) { return amplitude * swell(t); });
    }
    AddNoise(s, 37, 0.5, true, [](double t) { return 0.05 * std::exp(-t / 0.003); });  // key click
    return Finish(s, 0.08);
}

// A slow vibrato that sets in after the attack.
auto Vibrato(double depth, double rate, double delaySeconds) {
    return [=](double t) {
        const double fadeIn = std::clamp((t - delaySeconds) / 0.2, 0.0, 1.0);
        return 1.0 + depth * fadeIn * std::sin(kTwoPi * rate * t);
    };
}

std::vector<std::int16_t> Flute() {
    Signal s = Blank(1.0);
    const auto vibrato = Vibrato(0.003, 5.0, 0.15);
    for (const auto& partial : {std::pair{1.0, 1.0}, {2.0, 0.3}, {3.0, 0.12}, {4.0, 0.04}}) {
        const double harmonic = partial.first;
        const double level = partial.second;
        AddTone(
            s, [&, harmonic](double t) { return harmonic * kNote * vibrato(t); },
            [level](double t) { return level * Rise(t, 0.045); });
    }
    AddNoise(s, 41, 0.35, false, [](double t) { return (0.05 + 0.15 * std::exp(-t / 0.05)) * Rise(t, 0.01); });
    return Finish(s, 0.1);
}

std::vector<std::int16_t> Clarinet() {
    Signal s = Blank(1.0);
    for (const auto& [harmonic, level] : {std::pair{1.0, 1.0},
                                          {2.0, 0.04},
                                          {3.0, 0.6},
                                          {4.0, 0.03},
                                          {5.0, 0.4},
                                          {7.0, 0.25},
                                          {9.0, 0.15},
                                          {11.0, 0.1},
                                          {13.0, 0.06}}) {
        AddPartials(s, {{harmonic, level, 0.0}}, 0.025);
    }
    return Finish(s, 0.1);
}

std::vector<std::int16_t> Trumpet() {
    Signal s = Blank(0.9);
    const auto scoop = [](double t) { return kNote * (1.0 - 0.02 * std::exp(-t / 0.02)); };
    for (int n = 1; n <= 16; ++n) {
        const double weight = BandWeight(n * kNote);
        AddTone(
            s, [&, n](double t) { return n * scoop(t); },
            [n, weight](double t) {
                const double darkness = 0.45 + 0.8 * std::exp(-t / 0.05);  // the tone opens up after the attack
                const double body = Rise(t, 0.02) * (0.85 + 0.15 * std::exp(-t / 0.2));
                return weight * body * std::exp(-(n - 1) * darkness);
            });
    }
    return Finish(s, 0.08);
}

std::vector<std::int16_t> Glockenspiel() {
    Signal s = Blank(1.8);
    AddPartials(s, {{1.0, 1.0, 1.6}, {2.71, 0.45, 0.5}, {5.15, 0.25, 0.2}, {8.43, 0.12, 0.08}}, 0.001);
    return Finish(s, 0.05);
}

std::vector<std::int16_t> Marimba() {
    Signal s = Blank(0.8);
    AddPartials(s, {{1.0, 1.0, 0.45}, {3.93, 0.4, 0.09}, {9.2, 0.15, 0.03}}, 0.0015);
    AddNoise(s, 53, 0.1, false, [](double t) { return 0.2 * std::exp(-t / 0.008) * Rise(t, 0.001); });
    return Finish(s, 0.05);
}

std::vector<std::int16_t> PulseLead() {
    Signal s = Blank(0.7);
    constexpr double kDuty = 0.25;  // a quarter-wave pulse, the sound of old game consoles
    for (int n = 1; n <= 40; ++n) {
        const double level = std::abs(std::sin(n * kPi * kDuty)) / n;
        if (level > 1e-9) {
            AddPartials(s, {{static_cast<double>(n), level, 0.0}}, 0.004);
        }
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] *= 0.8 + 0.2 * std::exp(-TimeOf(i) / 0.1);
    }
    return Finish(s, 0.06);
}

std::vector<std::int16_t> Strings() {
    Signal s = Blank(1.2);
    int section = 0;
    for (const double detune : {0.9975, 1.0, 1.0025}) {
        const auto vibrato = Vibrato(0.002, 5.5 + 0.3 * section, 0.1);
        for (int n = 1; n <= 40; ++n) {
            const double level = std::exp(-n / 12.0) / n * BandWeight(n * kNote);
            AddTone(
                s, [&, n](double t) { return n * kNote * detune * vibrato(t); },
                [level](double t) { return level * Rise(t, 0.09); }, 0.4 * section * n);
        }
        ++section;
    }
    return Finish(s, 0.15);
}

std::vector<std::int16_t> Timpani() {
    Signal s = Blank(1.4);
    const auto glide = [](double t) { return kNote * (1.0 + 0.025 * std::exp(-t / 0.03)); };  // the skin settles
    for (const Partial& mode : {Partial{1.0, 1.0, 0.8}, Partial{1.5, 0.45, 0.55}, Partial{1.98, 0.3, 0.45},
                                Partial{2.44, 0.18, 0.3}, Partial{2.9, 0.1, 0.2}}) {
        AddTone(
            s, [&](double t) { return mode.ratio * glide(t); },
            [&](double t) { return mode.amplitude * std::exp(-t / mode.decay) * Rise(t, 0.002); });
    }
    AddNoise(s, 61, 0.08, false, [](double t) { return 0.4 * std::exp(-t / 0.02) * Rise(t, 0.001); });
    return Finish(s, 0.05);
}

std::vector<std::int16_t> Snare() {
    Signal s = Blank(0.4);
    AddNoise(s, 71, 0.7, true, [](double t) { return std::exp(-t / 0.09) * Rise(t, 0.001); });
    AddPartials(s, {{1.0, 0.5, 0.04}, {330.0 / 185.0, 0.3, 0.03}}, 0.001, 185.0);  // the drum's shell
    return Finish(s, 0.04);
}

// The low and high halves of one electric piano: a frequency-modulated tine
// whose brightness falls away as it rings. The high half is recorded with a
// harder, shorter strike, as the upper keys of such a piano sound.
std::vector<std::int16_t> ElectricPiano(double toneIndex, double toneFade, double tineLevel, double ring) {
    Signal s = Blank(1.6);
    double carrier = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = TimeOf(i);
        const double index = 0.3 + toneIndex * std::exp(-t / toneFade);
        const double body = std::sin(carrier + index * std::sin(carrier));
        const double bell = tineLevel * std::exp(-t / 0.05) * std::sin(7.0 * carrier + 1.5 * std::sin(carrier));
        s[i] = std::exp(-t / ring) * Rise(t, 0.002) * (body + bell);
        carrier = std::fmod(carrier + kTwoPi * kNote / kRate, kTwoPi);
    }
    BlockOffset(s);
    return Finish(s, 0.05);
}

std::vector<std::int16_t> ElectricPianoLow() { return ElectricPiano(1.6, 0.25, 0.15, 1.1); }
std::vector<std::int16_t> ElectricPianoHigh() { return ElectricPiano(0.8, 0.12, 0.6, 0.7); }

std::vector<std::int16_t> Choir() {
    struct Formant {
        double hz, level, width;
    };
    constexpr Formant kAh[] = {{730.0, 1.0, 80.0}, {1090.0, 0.5, 90.0}, {2440.0, 0.25, 120.0}};
    std::vector<double> levels;
    for (int n = 1; n <= 40; ++n) {
        double level = 0.3 / n;
        for (const Formant& formant : kAh) {
            const double distance = (n * kNote - formant.hz) / formant.width;
            level += formant.level / (1.0 + distance * distance);
        }
        levels.push_back(level * BandWeight(n * kNote));
    }
    levels[0] = std::max(levels[0], 0.8 * *std::max_element(levels.begin(), levels.end()));  // keep the pitch clear

    Signal s = Blank(1.3);
    int singer = 0;
    for (const double detune : {0.998, 1.0, 1.002}) {
        const auto vibrato = Vibrato(0.004, 5.2 + 0.25 * singer, 0.12);
        for (int n = 1; n <= 40; ++n) {
            const double level = levels[static_cast<std::size_t>(n - 1)];
            AddTone(
                s, [&, n](double t) { return n * kNote * detune * vibrato(t); },
                [level](double t) { return level * Rise(t, 0.12); }, 0.35 * singer * n);
        }
        ++singer;
    }
    return Finish(s, 0.2);
}

std::vector<std::int16_t> HiHat() {
    Signal s = Blank(0.3);
    const auto fall = [](double t) { return std::exp(-t / 0.05) * Rise(t, 0.0005); };
    AddNoise(s, 89, 0.9, true, [&](double t) { return 1.2 * fall(t); });
    for (const double hz : {2050.0, 3000.0, 3690.0, 4360.0, 5400.0, 6100.0}) {  // metal that rings out of tune
        AddTone(
            s, [hz](double) { return hz; }, [&](double t) { return 0.08 * fall(t); });
    }
    return Finish(s, 0.03);
}

}  // namespace

const std::array<BankSound, 16>& BankSounds() {
    static const std::array<BankSound, 16> sounds = {{
        {"1.wav", "piano", Piano},
        {"2.wav", "plucked guitar", Guitar},
        {"3.wav", "drawbar organ", Organ},
        {"4.wav", "flute", Flute},
        {"5.wav", "clarinet", Clarinet},
        {"6.wav", "trumpet", Trumpet},
        {"7.wav", "glockenspiel", Glockenspiel},
        {"8.wav", "marimba", Marimba},
        {"9.wav", "pulse-wave lead", PulseLead},
        {"10.wav", "string section", Strings},
        {"11.wav", "timpani", Timpani},
        {"12.wav", "snare drum", Snare},
        {"13-1.wav", "electric piano, low half", ElectricPianoLow},
        {"13-2.wav", "electric piano, high half", ElectricPianoHigh},
        {"14.wav", "choir singing \"ah\"", Choir},
        {"15.wav", "hi-hat", HiHat},
    }};
    return sounds;
}

}  // namespace melvo::instruments
