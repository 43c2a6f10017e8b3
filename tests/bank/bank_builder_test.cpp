#include "tool/bank_builder.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <filesystem>
#include <functional>
#include <string>

#include "formats/byte_io.hpp"
#include "tests/bank/scripted_screen.hpp"
#include "tests/bank/wav_fixture.hpp"

namespace melvo {
namespace {

namespace fs = std::filesystem;
using test::ByteVector;

const std::string kPrompts[] = {"Read from which directory? (example: samples)", "Save as?  (example: instr.mvi) ",
                                "Pack name?", "Author?"};

// What the screen shows of the four questions and their echoed answers.
std::string PromptLines(const BankBuildAnswers& answers) {
    return kPrompts[0] + "\n" + answers.directory + "\n" + kPrompts[1] + "\n" + answers.bankName + "\n" + kPrompts[2] +
           "\n" + answers.packName + "\n" + kPrompts[3] + "\n" + answers.author + "\n";
}

std::string ImportLines(const std::string& directory, std::size_t firstSlot, std::size_t endSlot) {
    std::string lines;
    for (std::size_t slot = firstSlot; slot < endSlot; ++slot) {
        lines += "Importing " + directory + "/" + std::string(WavFileNames[slot]) + " ...\n";
        lines += std::string(WavFileNames[slot]) + ": Imported.\n";
    }
    return lines;
}

std::vector<fs::path> EntriesOf(const fs::path& directory) {
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(directory)) {
        entries.push_back(entry.path().filename());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

class BankBuilderTest : public ::testing::Test {
protected:
    BankBuilderTest() {
        test::WriteSixteenWavs(samples_);
        fs::create_directories(out_);
    }

    BankBuildAnswers Answers(const std::string& bankName) const {
        return BankBuildAnswers{samples_.string(), bankName, "Pack", "Author"};
    }

    // Runs the whole operation as the menu would, with the answers typed.
    std::string Build(const BankBuildAnswers& answers) {
        test::ScriptedScreen screen({answers.directory, answers.bankName, answers.packName, answers.author});
        EXPECT_EQ(BuildBank(screen), AfterOperation::BackToMenu);
        EXPECT_EQ(screen.unreadAnswers(), 0u);
        const std::string prompts = PromptLines(answers);
        EXPECT_EQ(screen.transcript().substr(0, prompts.size()), prompts);
        return screen.transcript().substr(std::min(prompts.size(), screen.transcript().size()));
    }

    std::string SlotPath(std::size_t slot) const { return (samples_ / std::string(WavFileNames[slot])).string(); }

    test::TempDir temp_;
    fs::path samples_ = temp_ / "samples";
    fs::path out_ = temp_ / "out";
};

struct RefusalCase {
    const char* name;
    std::function<void(const fs::path& samples)> arrange;
    std::size_t importedBeforeFailure;  // slots that print both of their lines first
    std::string failureLines;           // with {dir} for the sample directory
    BankBuildOutcome outcome;
};

void PrintTo(const RefusalCase& testCase, std::ostream* out) { *out << testCase.name; }

std::string WithDirectory(std::string text, const std::string& directory) {
    for (auto at = text.find("{dir}"); at != std::string::npos; at = text.find("{dir}")) {
        text.replace(at, 5, directory);
    }
    return text;
}

class BankBuilderRefusals : public BankBuilderTest, public ::testing::WithParamInterface<RefusalCase> {};

// Whatever stops a build, an older bank of the same name stays as it was and
// no temporary file is left beside it.
TEST_P(BankBuilderRefusals, StopAtTheFirstBadFileAndLeaveTheOldBank) {
    const RefusalCase& testCase = GetParam();
    testCase.arrange(samples_);
    const fs::path bank = out_ / "bank.mvi";
    test::WriteTextFile(bank, "old bank");

    const auto answers = Answers(bank.string());
    test::ScriptedScreen screen({});
    EXPECT_EQ(RunBankBuild(answers, screen), testCase.outcome);

    EXPECT_EQ(screen.transcript(), ImportLines(samples_.string(), 0, testCase.importedBeforeFailure) +
                                       WithDirectory(testCase.failureLines, samples_.string()));
    EXPECT_EQ(test::ReadFile(bank), test::BytesOf("old bank"));
    EXPECT_EQ(EntriesOf(out_), std::vector<fs::path>{"bank.mvi"});
}

void Replace(const fs::path& file, const ByteVector& bytes) { test::WriteFile(file, bytes); }

INSTANTIATE_TEST_SUITE_P(
    Cases, BankBuilderRefusals,
    ::testing::Values(
        RefusalCase{"MissingFile", [](const fs::path& dir) { fs::remove(dir / "5.wav"); }, 4,
                    "Error loading: {dir}/5.wav\nAborting.\n", BankBuildOutcome::WavNotLoaded},
        RefusalCase{"EmptyFile", [](const fs::path& dir) { Replace(dir / "1.wav", {}); }, 0,
                    "Error loading: {dir}/1.wav\nAborting.\n", BankBuildOutcome::WavNotLoaded},
        RefusalCase{"DirectoryInItsPlace",
                    [](const fs::path& dir) {
                        fs::remove(dir / "13-2.wav");
                        fs::create_directory(dir / "13-2.wav");
                    },
                    13, "Error loading: {dir}/13-2.wav\nAborting.\n", BankBuildOutcome::WavNotLoaded},
        RefusalCase{"NoRiffTag",
                    [](const fs::path& dir) { Replace(dir / "2.wav", test::BytesOf("RIFX and then some")); }, 1,
                    "Importing {dir}/2.wav ...\nNo RIFF Header for {dir}/2.wav ...\nAborting.\n",
                    BankBuildOutcome::NoRiffHeader},
        RefusalCase{"RiffSizeAboveTheLimit",
                    [](const fs::path& dir) {
                        ByteVector wav = test::PlainWav({1, 2});
                        WriteU32le(wav, 4, 300001);
                        Replace(dir / "15.wav", wav);
                    },
                    15, "Importing {dir}/15.wav ...\nLimit Exceed for {dir}/15.wav ...\nAborting.\n",
                    BankBuildOutcome::LimitExceeded},
        // A small RIFF size says nothing of the file's length: data past what
        // the table's 32-bit offsets reach is refused too. The file is sparse.
        RefusalCase{"DataBeyondWhatTheTableAddresses",
                    [](const fs::path& dir) { fs::resize_file(dir / "1.wav", (std::uint64_t{1} << 32) - 512 + 44); }, 0,
                    "Importing {dir}/1.wav ...\nLimit Exceed for {dir}/1.wav ...\nAborting.\n",
                    BankBuildOutcome::LimitExceeded}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// Limits the size of every file this process writes, the way a full disk
// would, for as long as the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int);
};

TEST_F(BankBuilderTest, DataThatJustFitsTheTableIsCopiedAndAFailedWriteIsReportedInsteadOfDone) {
    // One byte less than the refused case: the sample bytes end exactly at
    // offset 2^32 - 1. The copy then fails on the file size limit, which the
    // build reports at its end; the old bank stays.
    fs::resize_file(samples_ / "1.wav", (std::uint64_t{1} << 32) - 1 - 512 + 44);
    const fs::path bank = out_ / "bank.mvi";
    test::WriteTextFile(bank, "old bank");
    std::string shown;
    {
        const FileSizeLimit limit(64 * 1024);
        shown = Build(Answers(bank.string()));
    }
    EXPECT_EQ(shown, ImportLines(samples_.string(), 0, 16) + "RAW Samples written.\nWriting header.\nCould not write " +
                         bank.string() + ".\nAborting.\n");
    EXPECT_EQ(test::ReadFile(bank), test::BytesOf("old bank"));
    EXPECT_EQ(EntriesOf(out_), std::vector<fs::path>{"bank.mvi"});
}

TEST_F(BankBuilderTest, ABankNameThatNamesOneOfTheWavFilesIsRefusedBeforeAnythingIsWritten) {
    const ByteVector before = test::ReadFile(samples_ / "7.wav");
    for (const std::string& bankName :
         {SlotPath(6), (samples_ / "." / "7.wav").string(), (out_ / ".." / "samples" / "7.wav").string()}) {
        EXPECT_EQ(Build(Answers(bankName)), "Could not write " + bankName + ".\nAborting.\n");
    }
    EXPECT_EQ(test::ReadFile(samples_ / "7.wav"), before);
    EXPECT_EQ(EntriesOf(samples_).size(), 16u);
}

TEST_F(BankBuilderTest, ABankThatCannotBeCreatedIsReportedBeforeAnyImport) {
    const std::string bankName = (temp_ / "no-such-directory" / "bank.mvi").string();
    EXPECT_EQ(Build(Answers(bankName)), "Could not write " + bankName + ".\nAborting.\n");
    EXPECT_EQ(Build(Answers("")), "Could not write .\nAborting.\n");
}

TEST_F(BankBuilderTest, ABankThatCannotBeRenamedIntoPlaceIsReportedInsteadOfDone) {
    const fs::path bank = out_ / "taken";
    fs::create_directories(bank / "inside");
    EXPECT_EQ(Build(Answers(bank.string())), ImportLines(samples_.string(), 0, 16) +
                                                 "RAW Samples written.\nWriting header.\nCould not write " +
                                                 bank.string() + ".\nAborting.\n");
    EXPECT_TRUE(fs::is_directory(bank / "inside"));
    EXPECT_EQ(EntriesOf(out_), std::vector<fs::path>{"taken"});
}

// The table keeps what the files say, not what was copied: the player and
// stored banks rely on each of these.
TEST_F(BankBuilderTest, TheTableTakesTheRiffSizeAndTheNumberAtSixteenAndAlwaysTheRate32004) {
    ByteVector lyingSize = test::PlainWav({10, 20, 30});
    WriteU32le(lyingSize, 4, 1000);
    test::WriteFile(samples_ / "1.wav", lyingSize);
    // A format chunk of 18 bytes moves "data" to 38 and puts 18 at offset 16.
    ByteVector longFormat = test::PlainWav({40, 50}, 44100);
    WriteU32le(longFormat, 16, 18);
    longFormat.insert(longFormat.begin() + 36, {0, 0});
    WriteU32le(longFormat, 4, static_cast<std::uint32_t>(longFormat.size() - 8));
    test::WriteFile(samples_ / "2.wav", longFormat);

    const fs::path bank = out_ / "bank.mvi";
    ASSERT_EQ(Build(Answers(bank.string())).substr(0, 9), "Importing");
    const ByteVector bytes = test::ReadFile(bank);
    const Bytes table = Bytes(bytes).subspan(kBankTableOffset);
    EXPECT_EQ(ReadU32le(table, 0), 1000u);  // byteLength: the RIFF size, not the 6 bytes copied
    EXPECT_EQ(ReadU32le(table, 8), 32004u);
    EXPECT_EQ(ReadU32le(table, 16 + 0), longFormat.size() - 8);
    EXPECT_EQ(ReadU32le(table, 16 + 4), 18u);  // bitsPerSample: whatever stands at offset 16
    EXPECT_EQ(ReadU32le(table, 16 + 8), 32004u);
    EXPECT_EQ(ReadU32le(table, 16 + 12), 512u + 6);
    EXPECT_EQ(ReadS16le(bytes, 512 + 6), 40);  // 2.wav's samples start after its own "data" tag
    EXPECT_EQ(ReadU32le(table, 32 + 12), 512u + 6 + 4);
}

TEST_F(BankBuilderTest, AFileWithoutDataGivesItsSlotNoBytesAndNoLineOfItsOwn) {
    ByteVector noData = test::PlainWav({1, 2, 3});
    noData[36] = 'D';
    test::WriteFile(samples_ / "4.wav", noData);

    const fs::path bank = out_ / "bank.mvi";
    const std::string dir = samples_.string();
    EXPECT_EQ(Build(Answers(bank.string())), ImportLines(dir, 0, 3) + "Importing " + dir + "/4.wav ...\n" +
                                                 ImportLines(dir, 4, 16) +
                                                 "RAW Samples written.\nWriting header.\nDone.\n");
    const ByteVector bytes = test::ReadFile(bank);
    const Bytes table = Bytes(bytes).subspan(kBankTableOffset);
    const std::uint32_t fourthOffset = ReadU32le(table, 3 * 16 + 12);
    EXPECT_EQ(ReadU32le(table, 3 * 16 + 0), noData.size() - 8);
    EXPECT_EQ(ReadU32le(table, 4 * 16 + 12), fourthOffset);
    EXPECT_EQ(ReadU32le(table, 2 * 16 + 12) + 2 * test::SlotSamples(2).size(), fourthOffset);
}

TEST_F(BankBuilderTest, NamesAreCutToTheirFieldsAndTheReservedBytesStayZero) {
    const fs::path bank = out_ / "bank.mvi";
    BankBuildAnswers answers = Answers(bank.string());
    answers.packName = std::string(40, 'p');
    answers.author = "Melvo";
    Build(answers);
    const ByteVector bytes = test::ReadFile(bank);
    ASSERT_GE(bytes.size(), 512u);
    EXPECT_EQ(ByteVector(bytes.begin() + 7, bytes.begin() + 39), ByteVector(32, 'p'));
    EXPECT_EQ(ByteVector(bytes.begin() + 39, bytes.begin() + 71),
              ByteVector({'M', 'e', 'l', 'v', 'o', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                          0,   0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ByteVector(bytes.begin() + 71, bytes.begin() + 80), ByteVector(9, 0));
    EXPECT_EQ(ByteVector(bytes.begin() + 336, bytes.begin() + 512), ByteVector(176, 0));
}

}  // namespace
}  // namespace melvo
