#include "tests/modconv/module_fixture.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace melvo::test {
namespace {

constexpr std::size_t kOrderOffset = 952;
constexpr std::size_t kHeaderSize = 1084;
constexpr int kRows = 64;

// Period = 428 * 2^(-(12 * (octave - 2) + semitone) / 12), rounded as the
// Amiga tables have it; written out so the test does not share the
// converter's own table.
constexpr std::array<std::array<int, 12>, 3> kPeriods = {{
    {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453},
    {428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226},
    {214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113},
}};
constexpr std::array<std::string_view, 12> kSemitones = {"C-", "C#", "D-", "D#", "E-", "F-",
                                                         "F#", "G-", "G#", "A-", "A#", "B-"};

}  // namespace

int PeriodOf(std::string_view noteName) {
    if (noteName.size() != 3 || noteName[2] < '1' || noteName[2] > '3') {
        throw std::invalid_argument("note name");
    }
    const auto semitone = std::find(kSemitones.begin(), kSemitones.end(), noteName.substr(0, 2));
    if (semitone == kSemitones.end()) {
        throw std::invalid_argument("note name");
    }
    return kPeriods[static_cast<std::size_t>(noteName[2] - '1')]
                   [static_cast<std::size_t>(semitone - kSemitones.begin())];
}

ModuleBuilder::ModuleBuilder(std::string magic, int channels) : magic_(std::move(magic)), channels_(channels) {}

ModuleBuilder& ModuleBuilder::Name(const std::string& name) {
    name_ = name.substr(0, 20);
    return *this;
}

ModuleBuilder& ModuleBuilder::SongLength(std::uint8_t length) {
    songLength_ = length;
    return *this;
}

ModuleBuilder& ModuleBuilder::Order(const std::vector<std::uint8_t>& patterns) {
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        OrderEntry(i, patterns[i]);
    }
    return *this;
}

ModuleBuilder& ModuleBuilder::OrderEntry(std::size_t position, std::uint8_t pattern) {
    if (order_.size() <= position) {
        order_.resize(position + 1, 0);
    }
    order_[position] = pattern;
    return *this;
}

ModuleBuilder& ModuleBuilder::Cell(int pattern, int row, int channel, int period, int sample, int effect,
                                   int parameter) {
    ByteVector& bytes = patterns_[pattern];
    bytes.resize(static_cast<std::size_t>(kRows * channels_ * 4), 0);
    const auto at = static_cast<std::size_t>((row * channels_ + channel) * 4);
    bytes[at] = static_cast<std::uint8_t>((sample & 0xF0) | ((period >> 8) & 0x0F));
    bytes[at + 1] = static_cast<std::uint8_t>(period & 0xFF);
    bytes[at + 2] = static_cast<std::uint8_t>(((sample & 0x0F) << 4) | (effect & 0x0F));
    bytes[at + 3] = static_cast<std::uint8_t>(parameter);
    return *this;
}

ModuleBuilder& ModuleBuilder::StoredPatterns(int count) {
    storedPatterns_ = count;
    return *this;
}

ModuleBuilder& ModuleBuilder::SampleData(std::size_t bytes) {
    sampleData_ = bytes;
    return *this;
}

ByteVector ModuleBuilder::Build() const {
    ByteVector bytes(kHeaderSize, 0);
    std::copy(name_.begin(), name_.end(), bytes.begin());
    // Sample headers: names that would show if the song name ran on.
    for (std::size_t sample = 0; sample < 31; ++sample) {
        bytes[20 + 30 * sample] = static_cast<std::uint8_t>('a' + sample % 26);
    }
    bytes[950] = songLength_;
    bytes[951] = 127;
    std::copy(order_.begin(), order_.end(), bytes.begin() + kOrderOffset);
    std::copy(magic_.begin(), magic_.end(), bytes.begin() + 1080);

    const int named = order_.empty() ? 1 : *std::max_element(order_.begin(), order_.end()) + 1;
    const int stored = storedPatterns_ >= 0 ? storedPatterns_ : named;
    const ByteVector emptyPattern(static_cast<std::size_t>(kRows * channels_ * 4), 0);
    for (int pattern = 0; pattern < stored; ++pattern) {
        const auto found = patterns_.find(pattern);
        const ByteVector& data = found != patterns_.end() ? found->second : emptyPattern;
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    // Sample data made of C-2 cells with sample 1, so a reader that took it
    // for pattern data would find notes.
    constexpr std::array<std::uint8_t, 4> kLookalikeCell = {0x01, 0xAC, 0x10, 0x00};
    for (std::size_t i = 0; i < sampleData_; ++i) {
        bytes.push_back(kLookalikeCell[i % kLookalikeCell.size()]);
    }
    return bytes;
}

}  // namespace melvo::test
