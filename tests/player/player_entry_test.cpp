// The player run as a user starts it: arguments, the song, and the bank found
// beside the program however it was started.
#include "player/player_entry.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/fixtures.hpp"

namespace melvo {
namespace {

namespace fs = std::filesystem;
using test::ProcessOptions;
using test::RunProcess;

const std::string kPlayer = std::string(MELVO_BIN_DIR) + "/melvoplay";

ProcessOptions Quiet() {
    ProcessOptions options;
    options.environment["SDL_AUDIODRIVER"] = "dummy";
    return options;
}

TEST(PlayerEntry, WrongArgumentCountPrintsSyntaxWithoutWaiting) {
    for (const std::vector<std::string>& argv :
         {std::vector<std::string>{kPlayer}, std::vector<std::string>{kPlayer, "a.mvs", "b.mvs"}}) {
        ProcessOptions options = Quiet();
        options.holdStandardInputOpen = true;  // a wait for a key would hang
        options.timeout = std::chrono::seconds(10);
        const auto result = RunProcess(argv, options);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.standardOutput, "Syntax: melvoplay.exe <filename>\n");
    }
}

TEST(PlayerEntry, UnusableSongIsReportedAndEndsWithStatusOne) {
    test::TempDir dir;
    for (const fs::path& song : {dir / "missing.mvs", dir.path()}) {
        const auto result = RunProcess({kPlayer, song.string()}, Quiet());
        EXPECT_EQ(result.exitStatus, 1) << song;
        EXPECT_EQ(result.standardOutput, "Error: file not found\npress any key to quit\n");
    }
}

TEST(PlayerEntry, BadSongIsReportedBeforeTheBankIsTried) {
    test::TempDir dir;
    test::WriteFile(dir / "bad.mvs", test::BytesOf("MELV\x02"));
    const auto result = RunProcess({kPlayer, (dir / "bad.mvs").string()}, Quiet());
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardOutput, "Error: not a valid .mvs file\npress any key to quit\n");
}

TEST(PlayerEntry, InstrumentsDirectoryIsBesideTheProgram) {
    EXPECT_EQ(InstrumentsDirectory("/opt/melvo/"), "/opt/melvo/instruments/");
    EXPECT_EQ(InstrumentsDirectory(""), "instruments/");
}

// A copy of the player in app/ with a good default bank beside it, and a
// working directory whose own instruments/ holds a broken bank: only the
// bank beside the program may be used.
class BankBesideProgram : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_ / "app" / "instruments");
        fs::copy_file(kPlayer, dir_ / "app" / "melvoplay");
        test::WriteFile(dir_ / "app" / "instruments" / "default.mvi", test::BankFileBytes({{1, 2, 3}}));
        fs::create_directories(dir_ / "elsewhere" / "instruments");
        test::WriteFile(dir_ / "elsewhere" / "instruments" / "default.mvi", test::BytesOf("not a bank at all"));
        SongRecord song = EmptySong(150);
        song.bankName = MakeTextField("drums.mvi");
        test::WriteFile(dir_ / "elsewhere" / "song.mvs", test::SongFileBytes(song));
    }

    test::ProcessResult RunFromElsewhere(const std::string& program, ProcessOptions options = Quiet()) {
        options.workingDirectory = dir_ / "elsewhere";
        return RunProcess({program, "song.mvs"}, options);
    }

    static void ExpectBankFound(const test::ProcessResult& result) {
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.standardOutput.find("Error:"), std::string::npos) << result.standardOutput;
    }

    test::TempDir dir_;
};

TEST_F(BankBesideProgram, StartedByAbsolutePath) {
    ExpectBankFound(RunFromElsewhere((dir_ / "app" / "melvoplay").string()));
}

TEST_F(BankBesideProgram, StartedByRelativePathFromAnotherDirectory) {
    ExpectBankFound(RunFromElsewhere("../app/melvoplay"));
}

TEST_F(BankBesideProgram, StartedThroughPath) {
    ProcessOptions options = Quiet();
    options.environment["PATH"] = (dir_ / "app").string() + ":" + std::getenv("PATH");
    ExpectBankFound(RunFromElsewhere("melvoplay", options));
}

TEST_F(BankBesideProgram, StartedThroughASymbolicLink) {
    fs::create_directories(dir_ / "links");
    fs::create_symlink(dir_ / "app" / "melvoplay", dir_ / "links" / "mp");
    ExpectBankFound(RunFromElsewhere((dir_ / "links" / "mp").string()));
}

TEST_F(BankBesideProgram, BrokenBankBesideTheProgramIsReported) {
    test::WriteFile(dir_ / "app" / "instruments" / "default.mvi", test::ByteVector{'m', 'e', 'l', 'i', 1, 0, 1});
    const auto result = RunFromElsewhere((dir_ / "app" / "melvoplay").string());
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardOutput, "Error: no compression supported yet\npress any key to quit\n");
}

}  // namespace
}  // namespace melvo
