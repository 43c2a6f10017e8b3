// The default bank that the build places beside melvoplay, as the player's
// reader loads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <variant>

#include "formats/byte_io.hpp"
#include "player/bank_file.hpp"
#include "tests/bank/sound_analysis.hpp"
#include "tests/support/test_support.hpp"

namespace melvo {
namespace {

constexpr double kRate = 32004.0;
constexpr double kB3 = 246.94;  // the note of staff pitch 1, played at recorded speed
const std::string kInstrumentsDirectory = std::string(MELVO_BIN_DIR) + "/instruments/";

struct SlotCase {
    std::size_t slot;
    const char* sound;
    bool pitched;
};

void PrintTo(const SlotCase& testCase, std::ostream* out) { *out << testCase.slot << " " << testCase.sound; }

const SlotCase kSlots[] = {
    {0, "Piano", true},
    {1, "Guitar", true},
    {2, "Organ", true},
    {3, "Flute", true},
    {4, "Clarinet", true},
    {5, "Trumpet", true},
    {6, "Glockenspiel", true},
    {7, "Marimba", true},
    {8, "PulseLead", true},
    {9, "Strings", true},
    {10, "Timpani", true},
    {11, "Snare", false},
    {12, "ElectricPianoLow", true},
    {13, "ElectricPianoHigh", true},
    {14, "Choir", true},
    {15, "HiHat", false},
};

const InstrumentBank& DefaultBank() {
    static const BankLoadResult loaded = TryLoadInstrumentBank(kInstrumentsDirectory, "default.mvi");
    if (!std::holds_alternative<InstrumentBank>(loaded)) {
        static const InstrumentBank none{};
        ADD_FAILURE() << "the default bank does not load: " << BankLoadMessage(std::get<BankLoadError>(loaded));
        return none;
    }
    return std::get<InstrumentBank>(loaded);
}

test::Samples SlotSamples(std::size_t slot) { return test::Samples(DefaultBank().slots[slot].data); }

TEST(DefaultBank, LiesBesideThePlayerAndNamesItself) {
    EXPECT_EQ(FieldText(DefaultBank().packName), "Melvo default sounds");
    EXPECT_EQ(FieldText(DefaultBank().author), "Melvo");
    // Every slot's RIFF size stays under the builder's limit.
    const test::ByteVector file = test::ReadFile(kInstrumentsDirectory + "default.mvi");
    for (std::size_t slot = 0; slot < kBankSlotCount; ++slot) {
        EXPECT_LT(ReadU32le(file, kBankTableOffset + 16 * slot), 300000u) << "slot " << slot;
    }
}

class DefaultBankSlot : public ::testing::TestWithParam<SlotCase> {};

TEST_P(DefaultBankSlot, IsARecordedSoundThatStartsSilentAndEndsFadedOut) {
    const test::Samples samples = SlotSamples(GetParam().slot);
    EXPECT_GE(samples.size(), static_cast<std::size_t>(0.25 * kRate));
    EXPECT_LE(samples.size(), static_cast<std::size_t>(3.0 * kRate));
    const int peak = test::PeakLevel(samples);
    EXPECT_GE(peak, 16384);  // within 6 dB of full scale
    EXPECT_LT(peak, 32767);  // and never clipped
    EXPECT_GE(test::LeadingSilence(samples), 18u);
    // The slot ends with the next slot's leading silence, after its own fade.
    EXPECT_LE(test::TailLevel(samples, 18 + 64), peak / 100);
}

INSTANTIATE_TEST_SUITE_P(Slots, DefaultBankSlot, ::testing::ValuesIn(kSlots),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.sound); });

class DefaultBankPitchedSlot : public ::testing::TestWithParam<SlotCase> {};

TEST_P(DefaultBankPitchedSlot, IsRecordedAtB3) {
    const test::Samples samples = SlotSamples(GetParam().slot);
    // A quarter of a second from just after the attack.
    const double hz = test::LowestPartialHz(samples, kRate, test::LeadingSilence(samples) + 1600, 8192);
    EXPECT_NEAR(hz, kB3, 0.01 * kB3);
}

std::vector<SlotCase> PitchedSlots() {
    std::vector<SlotCase> pitched;
    std::copy_if(std::begin(kSlots), std::end(kSlots), std::back_inserter(pitched),
                 [](const SlotCase& slot) { return slot.pitched; });
    return pitched;
}

INSTANTIATE_TEST_SUITE_P(Slots, DefaultBankPitchedSlot, ::testing::ValuesIn(PitchedSlots()),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.sound); });

TEST(DefaultBank, NoTwoSlotsSoundAlike) {
    std::vector<std::vector<double>> profiles;
    for (std::size_t slot = 0; slot < kBankSlotCount; ++slot) {
        profiles.push_back(test::BandProfile(SlotSamples(slot), kRate));
    }
    for (std::size_t a = 0; a < kBankSlotCount; ++a) {
        for (std::size_t b = a + 1; b < kBankSlotCount; ++b) {
            EXPECT_GT(test::ProfileDistance(profiles[a], profiles[b]), 2.0)
                << kSlots[a].sound << " and " << kSlots[b].sound << " have the same colour";
            EXPECT_NE(DefaultBank().slots[a].data, DefaultBank().slots[b].data);
        }
    }
}

}  // namespace
}  // namespace melvo
