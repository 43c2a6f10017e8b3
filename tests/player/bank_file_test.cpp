#include "player/bank_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/fixtures.hpp"

namespace melvo {
namespace {

using test::ByteVector;

BankTable PlainTable() {
    BankTable table{};
    for (auto& entry : table) {
        entry = BankTableEntry{0, 16, kBankSampleRate, 512};
    }
    return table;
}

ByteVector BankWith(const BankTable& table, const ByteVector& data = {}) {
    return test::BankFileBytesWithTable(table, data);
}

ByteVector Patched(ByteVector bytes, std::size_t offset, std::initializer_list<std::uint8_t> patch) {
    std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
}

ByteVector Truncated(ByteVector bytes, std::size_t length) {
    bytes.resize(length);
    return bytes;
}

struct BankErrorCase {
    const char* name;
    ByteVector file;
    const char* message;
};

void PrintTo(const BankErrorCase& testCase, std::ostream* out) { *out << testCase.name; }

class BankReaderMessages : public ::testing::TestWithParam<BankErrorCase> {};

TEST_P(BankReaderMessages, RefusesWithTheFirstFailingCheck) {
    const auto result = ParseInstrumentBank(MemoryByteSource(GetParam().file));
    ASSERT_TRUE(std::holds_alternative<BankLoadError>(result));
    EXPECT_EQ(BankLoadMessage(std::get<BankLoadError>(result)), GetParam().message);
}

BankTable WithEntry(std::size_t index, BankTableEntry entry) {
    BankTable table = PlainTable();
    table[index] = entry;
    return table;
}

const char* const kTooNew = "too new version of the format, this version only suports fileformat v1 max";

INSTANTIATE_TEST_SUITE_P(
    Checks, BankReaderMessages,
    ::testing::Values(
        BankErrorCase{"ThreeBytes", {'m', 'e', 'l'}, "file is too short"},
        BankErrorCase{"WrongMagic", Patched(BankWith(PlainTable()), 0, {'M'}), "not a valid .mvi file"},
        BankErrorCase{"SongMagic", Patched(BankWith(PlainTable()), 0, {'m', 'e', 'l', 'v'}), "not a valid .mvi file"},
        BankErrorCase{"NoCompressionByte", {'m', 'e', 'l', 'i', 1, 0}, "file is too short"},
        BankErrorCase{"CompressionBeforeVersion", Patched(BankWith(PlainTable()), 4, {0, 0, 1}),
                      "no compression supported yet"},
        BankErrorCase{"VersionZero", Patched(BankWith(PlainTable()), 4, {0, 0}), "not a valid version number"},
        BankErrorCase{"VersionTwo", Patched(BankWith(PlainTable()), 4, {2, 0}), kTooNew},
        BankErrorCase{"VersionNegative", Patched(BankWith(PlainTable()), 4, {0xFF, 0xFF}), kTooNew},
        BankErrorCase{"HeaderOnlyVersionTwo", {'m', 'e', 'l', 'i', 2, 0, 0}, kTooNew},
        BankErrorCase{"TableCutShort", Truncated(BankWith(PlainTable()), 335), "file is too short"},
        BankErrorCase{"EightBitSlot", BankWith(WithEntry(3, {0, 8, kBankSampleRate, 512})),
                      "only 16 bit samples supported at the moment"},
        BankErrorCase{"BitsCheckedBeforeRate", BankWith(WithEntry(0, {0, 8, 44100, 512})),
                      "only 16 bit samples supported at the moment"},
        BankErrorCase{"ThirtyTwoThousand", BankWith(WithEntry(7, {0, 16, 32000, 512})),
                      "only 32khz samples supported atm"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(BankReader, SlotsHoldByteLengthOverTwoSamplesFromTheirOffset) {
    ByteVector data;
    for (int i = 0; i < 1200; ++i) {
        data.push_back(static_cast<std::uint8_t>(i));
    }
    BankTable table = PlainTable();
    table[0] = {1001, 16, kBankSampleRate, 512};  // odd length: 500 samples
    table[1] = {4, 16, kBankSampleRate, 514};     // overlaps slot 0
    table[2] = {0, 16, kBankSampleRate, 512};
    const auto result = ParseInstrumentBank(MemoryByteSource(BankWith(table, data)));
    ASSERT_TRUE(std::holds_alternative<InstrumentBank>(result));
    const InstrumentBank& bank = std::get<InstrumentBank>(result);
    EXPECT_EQ(FieldText(bank.packName), "Pack");
    EXPECT_EQ(FieldText(bank.author), "Author");
    EXPECT_EQ(bank.slots[0].count, 500u);
    ASSERT_EQ(bank.slots[0].data.size(), 500u);
    EXPECT_EQ(bank.slots[0].data[0], 0x0100);
    EXPECT_EQ(bank.slots[1].data, (std::vector<std::int16_t>{0x0302, 0x0504}));
    EXPECT_EQ(bank.slots[2].count, 0u);
}

TEST(BankReader, SlotsPastTheEndKeepOnlyWholeSamplesInsideTheFile) {
    const ByteVector data = {1, 0, 2, 0, 3};  // two whole samples and a stray byte
    BankTable table = PlainTable();
    table[0] = {100, 16, kBankSampleRate, 512};          // reaches past the end
    table[1] = {0xFFFFFFFEu, 16, kBankSampleRate, 514};  // huge: must not allocate 4 GiB
    table[2] = {10, 16, kBankSampleRate, 0xFFFFFFF0u};   // begins beyond the end
    table[3] = {2, 16, kBankSampleRate, 512};            // read after the others, unaffected
    const auto result = ParseInstrumentBank(MemoryByteSource(BankWith(table, data)));
    ASSERT_TRUE(std::holds_alternative<InstrumentBank>(result));
    const InstrumentBank& bank = std::get<InstrumentBank>(result);
    EXPECT_EQ(bank.slots[0].data, (std::vector<std::int16_t>{1, 2}));
    EXPECT_EQ(bank.slots[1].data, (std::vector<std::int16_t>{2}));
    EXPECT_EQ(bank.slots[2].count, 0u);
    EXPECT_EQ(bank.slots[3].data, (std::vector<std::int16_t>{1}));
}

// The fallback to "default.mvi" in the same directory, exactly when the
// named file cannot be opened.
class BankFallback : public ::testing::Test {
protected:
    std::string Directory() const { return (dir_.path() / "instruments").string() + "/"; }
    void Put(const std::string& name, const ByteVector& bytes) {
        std::filesystem::create_directories(dir_.path() / "instruments");
        test::WriteFile(dir_.path() / "instruments" / name, bytes);
    }
    static ByteVector NamedBank(const std::string& pack) { return test::BankFileBytes({{1, 2}}, pack); }

    test::TempDir dir_;
};

TEST_F(BankFallback, NamedBankIsUsedWhenItOpens) {
    Put("drums.mvi", NamedBank("Drums"));
    Put("default.mvi", NamedBank("Default"));
    const auto result = TryLoadInstrumentBank(Directory(), "drums.mvi");
    ASSERT_TRUE(std::holds_alternative<InstrumentBank>(result));
    EXPECT_EQ(FieldText(std::get<InstrumentBank>(result).packName), "Drums");
}

TEST_F(BankFallback, MissingEmptyOrDirectoryNameFallsBackToDefault) {
    Put("default.mvi", NamedBank("Default"));
    std::filesystem::create_directory(dir_.path() / "instruments" / "folder.mvi");
    for (const std::string name : {"drums.mvi", "", "folder.mvi"}) {
        const auto result = TryLoadInstrumentBank(Directory(), name);
        ASSERT_TRUE(std::holds_alternative<InstrumentBank>(result)) << "name '" << name << "'";
        EXPECT_EQ(FieldText(std::get<InstrumentBank>(result).packName), "Default");
    }
}

TEST_F(BankFallback, BadNamedBankIsReportedNotReplaced) {
    Put("drums.mvi", Patched(NamedBank("Drums"), 0, {'X'}));
    Put("default.mvi", NamedBank("Default"));
    const auto result = TryLoadInstrumentBank(Directory(), "drums.mvi");
    ASSERT_TRUE(std::holds_alternative<BankLoadError>(result));
    EXPECT_EQ(std::get<BankLoadError>(result), BankLoadError::NotABankFile);
}

TEST_F(BankFallback, NeitherPresentIsErrorLoadingFile) {
    const auto result = TryLoadInstrumentBank(Directory(), "drums.mvi");
    ASSERT_TRUE(std::holds_alternative<BankLoadError>(result));
    EXPECT_EQ(BankLoadMessage(std::get<BankLoadError>(result)), "error loading file");
}

}  // namespace
}  // namespace melvo
