// The real melvotool building banks with its answers piped in.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>

#include "formats/byte_io.hpp"
#include "player/bank_file.hpp"
#include "tests/bank/wav_fixture.hpp"
#include "tests/tool/tool_transcript.hpp"
#include "tool/bank_builder.hpp"

namespace melvo {
namespace {

namespace fs = std::filesystem;
using test::ByteVector;

struct Build {
    std::string directory;
    std::string bankName;
    std::string packName = "Test Pack";
    std::string author = "Melvo";
};

// What one menu choice 3 shows, from the echoed choice to the prompts'
// answers; the build's own lines follow.
std::string PromptsOf(const Build& build) {
    return "3\nRead from which directory? (example: samples)\n" + build.directory +
           "\nSave as?  (example: instr.mvi) \n" + build.bankName + "\nPack name?\n" + build.packName + "\nAuthor?\n" +
           build.author + "\n";
}

std::string AnswersFor(const std::vector<Build>& builds) {
    std::string answers;
    for (const Build& build : builds) {
        answers += "3\n" + build.directory + "\n" + build.bankName + "\n" + build.packName + "\n" + build.author + "\n";
    }
    return answers + "x\n";
}

std::string ImportLines(const std::string& directory, std::size_t endSlot) {
    std::string lines;
    for (std::size_t slot = 0; slot < endSlot; ++slot) {
        const std::string name(WavFileNames[slot]);
        lines += "Importing " + directory + "/" + name + " ...\n" + name + ": Imported.\n";
    }
    return lines;
}

const std::string kFinished = "RAW Samples written.\nWriting header.\nDone.\n";

// A whole run: the opening, each build with the lines it printed, and the
// menu and prompt at which "x" ends the run.
std::string RunTranscript(const std::vector<std::pair<Build, std::string>>& builds) {
    std::string transcript = test::kOpening;
    for (const auto& [build, lines] : builds) {
        transcript += PromptsOf(build) + lines + test::kMenu + test::kPrompt;
    }
    return transcript + "x\n";
}

ByteVector Slice(const ByteVector& bytes, std::size_t offset, std::size_t size) {
    return ByteVector(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                      bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

BankTableEntry EntryOf(const ByteVector& bank, std::size_t slot) {
    const std::size_t at = kBankTableOffset + 16 * slot;
    return BankTableEntry{ReadU32le(bank, at), ReadU32le(bank, at + 4), ReadU32le(bank, at + 8),
                          ReadU32le(bank, at + 12)};
}

class BankBuilderRun : public ::testing::Test {
protected:
    BankBuilderRun() { test::WriteSixteenWavs(temp_ / "samples"); }

    test::ProcessResult Run(const std::vector<Build>& builds) {
        const test::ProcessResult result = test::RunToolIn(temp_.path(), {}, AnswersFor(builds));
        EXPECT_EQ(result.exitStatus, 0);
        return result;
    }

    fs::path Sample(const std::string& name) const { return temp_ / "samples" / name; }

    test::TempDir temp_;
};

TEST_F(BankBuilderRun, BuildsTheBankFromAllSixteenFiles) {
    const Build build{"samples", "bank.mvi"};
    EXPECT_EQ(Run({build}).standardOutput, RunTranscript({{build, ImportLines("samples", 16) + kFinished}}));

    const ByteVector bank = test::ReadFile(temp_ / "bank.mvi");
    ASSERT_GE(bank.size(), 512u);
    EXPECT_EQ(Slice(bank, 0, 7), ByteVector({'m', 'e', 'l', 'i', 1, 0, 0}));
    EXPECT_EQ(Slice(bank, 7, 32), test::BytesOf("Test Pack" + std::string(23, '\0')));
    EXPECT_EQ(Slice(bank, 39, 32), test::BytesOf("Melvo" + std::string(27, '\0')));
    EXPECT_EQ(Slice(bank, 71, 9), ByteVector(9, 0));
    EXPECT_EQ(Slice(bank, 336, 176), ByteVector(176, 0));

    std::uint32_t offset = 512;
    ByteVector data;
    for (std::size_t slot = 0; slot < 16; ++slot) {
        const ByteVector wav = test::ReadFile(Sample(std::string(WavFileNames[slot])));
        const auto length = static_cast<std::uint32_t>(wav.size());
        EXPECT_EQ(EntryOf(bank, slot), (BankTableEntry{length - 8, 16, 32004, offset})) << "slot " << slot;
        offset += length - 44;
        data.insert(data.end(), wav.begin() + 44, wav.end());
    }
    EXPECT_EQ(ByteVector(bank.begin() + 512, bank.end()), data);
}

// The RIFF size counts the 36 header bytes before "data" too, so in the
// player each slot runs on into the next slot's first 18 samples, and the
// last one reaches past the end of the file, where the reader stops.
TEST_F(BankBuilderRun, TheBuiltBankLoadsInThePlayersReader) {
    Run({Build{"samples", "bank.mvi"}});
    const auto loaded = TryLoadInstrumentBank((temp_ / "").string(), "bank.mvi");
    ASSERT_TRUE(std::holds_alternative<InstrumentBank>(loaded));
    const InstrumentBank& bank = std::get<InstrumentBank>(loaded);
    EXPECT_EQ(FieldText(bank.packName), "Test Pack");
    EXPECT_EQ(FieldText(bank.author), "Melvo");
    std::vector<std::int16_t> all;  // every slot's samples, back to back as in the file
    std::vector<std::size_t> starts;
    for (std::size_t slot = 0; slot < 16; ++slot) {
        starts.push_back(all.size());
        const std::vector<std::int16_t> samples = test::SlotSamples(slot);
        all.insert(all.end(), samples.begin(), samples.end());
    }
    for (std::size_t slot = 0; slot < 16; ++slot) {
        const std::size_t end = std::min(all.size(), starts[slot] + test::SlotSamples(slot).size() + 18);
        const std::vector<std::int16_t> expected(all.begin() + static_cast<std::ptrdiff_t>(starts[slot]),
                                                 all.begin() + static_cast<std::ptrdiff_t>(end));
        EXPECT_EQ(bank.slots[slot].data, expected) << "slot " << slot;
    }
}

TEST_F(BankBuilderRun, AMissingFileEndsTheBuildAndLeavesTheOldBankAlone) {
    fs::remove(Sample("5.wav"));
    test::WriteTextFile(temp_ / "bank.mvi", "the bank from last week");
    const Build build{"samples", "bank.mvi"};
    EXPECT_EQ(Run({build}).standardOutput,
              RunTranscript({{build, ImportLines("samples", 4) + "Error loading: samples/5.wav\nAborting.\n"}}));
    EXPECT_EQ(test::ReadFile(temp_ / "bank.mvi"), test::BytesOf("the bank from last week"));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp_.path()), fs::directory_iterator()), 2);
}

TEST_F(BankBuilderRun, ADirectoryWhereAWavFileShouldBeCannotBeLoaded) {
    fs::remove(Sample("11.wav"));
    fs::create_directory(Sample("11.wav"));
    const Build build{"samples", "bank.mvi"};
    EXPECT_EQ(Run({build}).standardOutput,
              RunTranscript({{build, ImportLines("samples", 10) + "Error loading: samples/11.wav\nAborting.\n"}}));
    EXPECT_FALSE(fs::exists(temp_ / "bank.mvi"));
}

struct SizeCase {
    std::uint32_t riffSize;
    bool accepted;
};

class BankBuilderSizeLimit : public BankBuilderRun, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(BankBuilderSizeLimit, TheRiffSizeMayBeAtMost300000) {
    // A real file of that size: 36 header bytes before "data" and the rest samples.
    const std::size_t sampleCount = (GetParam().riffSize - 36) / 2;
    ByteVector wav = test::PlainWav(std::vector<std::int16_t>(sampleCount, 100));
    wav.resize(GetParam().riffSize + 8, 0);
    WriteU32le(wav, 4, GetParam().riffSize);
    test::WriteFile(Sample("9.wav"), wav);

    const Build build{"samples", "bank.mvi"};
    const std::string lines = GetParam().accepted
                                  ? ImportLines("samples", 16) + kFinished
                                  : ImportLines("samples", 8) +
                                        "Importing samples/9.wav ...\nLimit Exceed for samples/9.wav ...\nAborting.\n";
    EXPECT_EQ(Run({build}).standardOutput, RunTranscript({{build, lines}}));
    ASSERT_EQ(fs::exists(temp_ / "bank.mvi"), GetParam().accepted);
    if (GetParam().accepted) {
        EXPECT_EQ(EntryOf(test::ReadFile(temp_ / "bank.mvi"), 8).byteLength, 300000u);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BankBuilderSizeLimit,
                         ::testing::Values(SizeCase{300000, true}, SizeCase{300001, false}));

TEST_F(BankBuilderRun, AChunkAfterTheDataChunkIsCopiedAsSampleBytes) {
    ByteVector wav = test::PlainWav(test::SlotSamples(2));
    const ByteVector trailer = test::BytesOf("LIST\x04\0\0\0INFO");
    wav.insert(wav.end(), trailer.begin(), trailer.end());
    WriteU32le(wav, 4, static_cast<std::uint32_t>(wav.size() - 8));
    test::WriteFile(Sample("3.wav"), wav);

    Run({Build{"samples", "bank.mvi"}});
    const ByteVector bank = test::ReadFile(temp_ / "bank.mvi");
    const BankTableEntry third = EntryOf(bank, 2);
    EXPECT_EQ(third.byteLength, wav.size() - 8);
    EXPECT_EQ(Slice(bank, third.dataOffset, wav.size() - 44), ByteVector(wav.begin() + 44, wav.end()));
    EXPECT_EQ(EntryOf(bank, 3).dataOffset, third.dataOffset + wav.size() - 44);
}

TEST_F(BankBuilderRun, DataInTheLastEightBytesCopiesNothing) {
    ByteVector wav = test::PlainWav({});
    wav[36] = 'D';  // the usual tag no longer counts
    const ByteVector tail = test::BytesOf("data\x01\x02\x03");
    wav.insert(wav.end(), tail.begin(), tail.end());
    WriteU32le(wav, 4, static_cast<std::uint32_t>(wav.size() - 8));
    test::WriteFile(Sample("6.wav"), wav);

    const Build build{"samples", "bank.mvi"};
    EXPECT_EQ(Run({build}).standardOutput, RunTranscript({{build, ImportLines("samples", 16) + kFinished}}));
    const ByteVector bank = test::ReadFile(temp_ / "bank.mvi");
    EXPECT_EQ(EntryOf(bank, 5).byteLength, wav.size() - 8);
    EXPECT_EQ(EntryOf(bank, 5).dataOffset, EntryOf(bank, 6).dataOffset);
}

TEST_F(BankBuilderRun, EachBuildOfARunStartsAgainAtTheFirstFile) {
    test::WriteSixteenWavs(temp_ / "broken");
    fs::remove(temp_ / "broken" / "5.wav");
    const Build failing{"broken", "first.mvi"};
    const Build succeeding{"samples", "second.mvi", "Second", "Someone"};
    EXPECT_EQ(Run({failing, succeeding}).standardOutput,
              RunTranscript({{failing, ImportLines("broken", 4) + "Error loading: broken/5.wav\nAborting.\n"},
                             {succeeding, ImportLines("samples", 16) + kFinished}}));
    EXPECT_FALSE(fs::exists(temp_ / "first.mvi"));
    EXPECT_TRUE(std::holds_alternative<InstrumentBank>(TryLoadInstrumentBank((temp_ / "").string(), "second.mvi")));
}

}  // namespace
}  // namespace melvo
