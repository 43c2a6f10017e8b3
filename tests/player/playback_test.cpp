// melvoplay playing for real: its sound captured through SDL's disk driver and
// its console output captured to a file, both checked against what this test
// works out on its own from the song and bank it builds.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "tests/player/empty_staves.hpp"
#include "tests/support/fixtures.hpp"

namespace melvo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test::ProcessOptions;
using test::RunningProcess;

const std::string kPlayer = std::string(MELVO_BIN_DIR) + "/melvoplay";

constexpr std::uint8_t kTempo = 255;
constexpr int kSamplesPerBeat = 2353;  // 10 + 600000 / 256
constexpr int kSongSamples = 96 * kSamplesPerBeat;
// Into the second pass far enough for its beats 0 and 1 and the frame of beat 2.
constexpr int kCheckedSamples = kSongSamples + 2 * kSamplesPerBeat;
constexpr int kCheckedFrames = 97;  // beats 1..95, then 0 and 1 of the second pass

// --- The bank: slot s holds a ramp of its own (negative for slots 2 and 3),
// except the two slots of instrument 12, which hold one value throughout.
constexpr int kHeld[16] = {100, 4000, 1000, 3000, 200, 200, 200, 200, 200, 200, 200, 200, 6000, 6000, 3001, 500};
constexpr std::int16_t kSlot12Value = 3003;
constexpr std::int16_t kSlot13Value = -6006;
constexpr int kOverlapSamples = 18;   // slot 0's table length reaches 36 bytes into slot 1
constexpr int kSlot15Claimed = 1500;  // more than the file holds after slot 15's offset

std::int16_t HeldSample(int slot, int i) {
    if (slot == 12) {
        return kSlot12Value;
    }
    if (slot == 13) {
        return kSlot13Value;
    }
    const int value = (slot + 1) * 1000 + i % 700;
    return static_cast<std::int16_t>(slot == 2 || slot == 3 ? -value : value);
}

test::ByteVector TestBank() {
    BankTable table{};
    test::ByteVector data;
    for (int slot = 0; slot < 16; ++slot) {
        std::uint32_t byteLength = static_cast<std::uint32_t>(2 * kHeld[slot]);
        if (slot == 0) {
            byteLength += 2 * kOverlapSamples;
        }
        if (slot == 15) {
            byteLength = 2 * kSlot15Claimed;
        }
        table[static_cast<std::size_t>(slot)] = {byteLength, 16, 32004,
                                                 static_cast<std::uint32_t>(kBankFirstDataOffset + data.size())};
        for (int i = 0; i < kHeld[slot]; ++i) {
            const auto value = static_cast<std::uint16_t>(HeldSample(slot, i));
            data.push_back(static_cast<std::uint8_t>(value & 0xFF));
            data.push_back(static_cast<std::uint8_t>(value >> 8));
        }
    }
    return test::BankFileBytesWithTable(table, data, "Test Pack", "Bank Maker");
}

// What bank slot s sounds like at pitch 1, as the file's table defines it.
std::vector<int> SlotSound(int slot) {
    std::vector<int> sound;
    for (int i = 0; i < kHeld[slot]; ++i) {
        sound.push_back(HeldSample(slot, i));
    }
    if (slot == 0) {
        for (int i = 0; i < kOverlapSamples; ++i) {
            sound.push_back(HeldSample(1, i));
        }
    }
    return sound;
}

// --- The song. Each note says how it must sound.
enum class Sound { AtPitchOne, AtPitchEight, HeldValue };

struct TestNote {
    int beat;
    int slot;  // note slot, which is also the voice
    std::uint8_t pitch;
    std::uint8_t instrument;
    int bankSlot;  // worked out here by hand from the instrument table
    Sound sound;
};

const std::vector<TestNote> kNotes = {
    {0, 0, 1, 0, 0, Sound::AtPitchOne},  // three voices at once; slot 0 runs into slot 1's samples
    {0, 1, 1, 1, 1, Sound::AtPitchOne},  // rings on through the empty beat 1
    {0, 2, 1, 2, 2, Sound::AtPitchOne},     {2, 2, 6, 12, 12, Sound::HeldValue},  // instrument 12 below the split
    {3, 0, 7, 12, 13, Sound::HeldValue},                                          // instrument 12 from pitch 7 on
    {4, 1, 1, 14, 15, Sound::AtPitchOne},    // slot 15, cut short by the end of the file
    {5, 2, 8, 13, 14, Sound::AtPitchEight},  // one octave up: every second sample
    {6, 0, 1, 3, 3, Sound::AtPitchOne},      // rings into the empty beat 7
    {47, 0, 7, 12, 13, Sound::HeldValue},   {48, 1, 3, 12, 12, Sound::HeldValue}, {49, 2, 1, 0, 0, Sound::AtPitchOne},
    {95, 0, 1, 5, 5, Sound::AtPitchOne},    {95, 1, 5, 12, 12, Sound::HeldValue},  // cut by beat 0 of the second pass
};

SongRecord TestSong() {
    SongRecord song = EmptySong(kTempo);
    song.title = MakeTextField("E2E Song");
    song.author = MakeTextField("Tester");
    song.bankName = MakeTextField("e2e.mvi");
    for (const TestNote& note : kNotes) {
        song.notes[static_cast<std::size_t>(note.beat)][static_cast<std::size_t>(note.slot)] = {note.pitch,
                                                                                                note.instrument};
    }
    return song;
}

// The output, sample by sample: every beat with a note silences all three
// voices, then each of its notes sounds on its own voice until its sound
// ends or the next beat with a note. Notes held at one value outlast a beat
// (6000 samples at a step below 1.8), and each is followed by a beat with a
// note, so they sound for exactly one beat.
std::vector<std::int16_t> ExpectedSamples(int count) {
    std::vector<std::vector<int>> voices(3, std::vector<int>(static_cast<std::size_t>(count), 0));
    for (int start = 0; start < count; start += kSamplesPerBeat) {
        const int beat = (start / kSamplesPerBeat) % 96;
        std::vector<const TestNote*> starting;
        for (const TestNote& note : kNotes) {
            if (note.beat == beat) {
                starting.push_back(&note);
            }
        }
        if (starting.empty()) {
            continue;
        }
        for (auto& voice : voices) {
            std::fill(voice.begin() + start, voice.end(), 0);
        }
        for (const TestNote* note : starting) {
            std::vector<int> sound;
            const std::vector<int> held = SlotSound(note->bankSlot);
            switch (note->sound) {
                case Sound::AtPitchOne:
                    sound = held;
                    break;
                case Sound::AtPitchEight:
                    for (std::size_t i = 0; i < held.size(); i += 2) {
                        sound.push_back(held[i]);
                    }
                    break;
                case Sound::HeldValue:
                    sound.assign(kSamplesPerBeat, held[0]);
                    break;
            }
            auto& voice = voices[static_cast<std::size_t>(note->slot)];
            for (std::size_t i = 0; i < sound.size() && start + static_cast<int>(i) < count; ++i) {
                voice[static_cast<std::size_t>(start) + i] = sound[i];
            }
        }
    }
    std::vector<std::int16_t> samples;
    for (std::size_t n = 0; n < static_cast<std::size_t>(count); ++n) {
        samples.push_back(static_cast<std::int16_t>(voices[0][n] / 3 + voices[1][n] / 3 + voices[2][n] / 3));
    }
    return samples;
}

std::string ExpectedFrame(int beat, bool silent) {
    std::vector<std::string> rows = beat < 48 ? test::kEmptyStaff0 : test::kEmptyStaff1;
    for (const TestNote& note : kNotes) {
        if ((note.beat < 48) == (beat < 48)) {
            rows[static_cast<std::size_t>(13 - note.pitch)][static_cast<std::size_t>(2 + note.beat % 48)] =
                static_cast<char>('a' + note.instrument);
        }
    }
    std::string frame =
        "Melvo Player v1.0\n\nTitle:      E2E Song\nAuthor:     Tester\nSamplebank: Test Pack by Bank Maker\n\n";
    frame += std::string(static_cast<std::size_t>(2 + beat % 48), ' ') + "@\n";
    for (const auto& row : rows) {
        frame += row + "\n";
    }
    frame += "press any key to exit\n";
    if (silent) {
        frame += "(no audio device: playing silently)\n";
    }
    return frame;
}

// The frames of the beats that begin after the first one, in playing order.
std::string ExpectedFrames(int count, bool silent) {
    std::string frames;
    for (int i = 1; i <= count; ++i) {
        frames += ExpectedFrame(i % 96, silent);
    }
    return frames;
}

// SDL's audio thread starts paused and writes silent device buffers (8192
// bytes) until the player lets it play; the song starts after them.
constexpr std::size_t kDeviceBufferBytes = 8192;

test::ByteVector WithoutLeadingSilence(const test::ByteVector& raw) {
    std::size_t start = 0;
    while (start + kDeviceBufferBytes <= raw.size() &&
           std::all_of(raw.begin() + static_cast<std::ptrdiff_t>(start),
                       raw.begin() + static_cast<std::ptrdiff_t>(start + kDeviceBufferBytes),
                       [](std::uint8_t byte) { return byte == 0; })) {
        start += kDeviceBufferBytes;
    }
    return test::ByteVector(raw.begin() + static_cast<std::ptrdiff_t>(start), raw.end());
}

std::vector<std::int16_t> SamplesOf(const test::ByteVector& raw) {
    std::vector<std::int16_t> samples;
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
        samples.push_back(static_cast<std::int16_t>(raw[i] | (raw[i + 1] << 8)));
    }
    return samples;
}

std::string ReadText(const fs::path& path) {
    const test::ByteVector bytes = test::ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::uintmax_t FileSize(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : size;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

struct Capture {
    test::ProcessResult result;
    test::ByteVector raw;
    std::string console;
    std::chrono::milliseconds keyToExit{};
};

// A copy of the player beside the test bank, and the test song.
class Playback : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_ / "app" / "instruments");
        fs::copy_file(kPlayer, player_);
        test::WriteFile(dir_ / "app" / "instruments" / "e2e.mvi", TestBank());
        test::WriteFile(song_, test::SongFileBytes(TestSong()));
    }

    ProcessOptions Options(const std::string& driver, const std::string& rawName) const {
        ProcessOptions options;
        options.environment["SDL_AUDIODRIVER"] = driver;
        options.environment["SDL_DISKAUDIOFILE"] = (dir_ / rawName).string();
        options.environment["SDL_DISKAUDIODELAY"] = "2";
        return options;
    }

    // Plays until the capture holds `samples` samples (or the console shows
    // `frames` frames when nothing is captured), then presses a key.
    Capture Play(const std::string& driver, const std::string& name, int samples, std::size_t frames = 0) {
        ProcessOptions options = Options(driver, name + ".raw");
        options.standardOutputFile = dir_ / (name + ".txt");
        RunningProcess process({player_.string(), song_.string()}, options);
        const bool ready = WaitFor(
            [&] {
                const auto wanted = 2u * static_cast<std::uintmax_t>(samples) + 4 * kDeviceBufferBytes;
                return (samples == 0 || FileSize(dir_ / (name + ".raw")) >= wanted) &&
                       CountOf(ReadText(dir_ / (name + ".txt")), "press any key to exit\n") >= frames;
            },
            std::chrono::seconds(30));
        EXPECT_TRUE(ready) << name;
        const auto keyTime = Clock::now();
        process.WriteStdin("q");
        Capture capture;
        capture.result = process.Wait(std::chrono::seconds(10));
        capture.keyToExit = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - keyTime);
        capture.raw = WithoutLeadingSilence(test::ReadFile(dir_ / (name + ".raw")));
        capture.console = ReadText(dir_ / (name + ".txt"));
        return capture;
    }

    test::TempDir dir_;
    fs::path player_ = dir_ / "app" / "melvoplay";
    fs::path song_ = dir_ / "song.mvs";
};

TEST_F(Playback, EverySampleAndFrameIsAsTheSongAndBankDefine) {
    const Capture capture = Play("disk", "first", kCheckedSamples);
    EXPECT_FALSE(capture.result.timedOut);
    EXPECT_EQ(capture.result.exitStatus, 0) << capture.result.standardError;
    EXPECT_LT(capture.keyToExit.count(), 1000);

    const std::vector<std::int16_t> captured = SamplesOf(capture.raw);
    ASSERT_GE(captured.size(), static_cast<std::size_t>(kCheckedSamples));
    const std::vector<std::int16_t> expected = ExpectedSamples(kCheckedSamples);
    for (std::size_t n = 0; n < expected.size(); ++n) {
        ASSERT_EQ(captured[n], expected[n]) << "sample " << n << " in beat " << n / kSamplesPerBeat;
    }

    // No clearing when the console is a file; the first beat of the first
    // pass gets no frame, the first beat of the second pass does.
    const std::string frames = ExpectedFrames(kCheckedFrames, false);
    ASSERT_GE(capture.console.size(), frames.size());
    EXPECT_EQ(capture.console.substr(0, frames.size()), frames);
    EXPECT_EQ(capture.console.rfind("Melvo Player v1.0\n", 0), 0u);
}

TEST_F(Playback, TwoRunsCaptureTheSameSamplesAndFrames) {
    const Capture first = Play("disk", "first", kCheckedSamples);
    const Capture second = Play("disk", "second", kCheckedSamples);
    ASSERT_EQ(first.result.exitStatus, 0);
    ASSERT_EQ(second.result.exitStatus, 0);
    // Whole device buffers only: the last one may not have reached the file.
    const std::size_t common = std::min(first.raw.size(), second.raw.size()) / kDeviceBufferBytes * kDeviceBufferBytes;
    ASSERT_GE(common, 2u * kCheckedSamples);
    EXPECT_TRUE(
        std::equal(first.raw.begin(), first.raw.begin() + static_cast<std::ptrdiff_t>(common), second.raw.begin()));
    const std::size_t frames = std::min(first.console.size(), second.console.size());
    EXPECT_EQ(first.console.substr(0, frames), second.console.substr(0, frames));
}

TEST_F(Playback, WithoutAnAudioDeviceTheSongPlaysSilentlyAfterAWarning) {
    const Capture capture = Play("bogus", "silent", 0, 3);
    EXPECT_FALSE(capture.result.timedOut);
    EXPECT_EQ(capture.result.exitStatus, 0);
    EXPECT_LT(capture.keyToExit.count(), 1000);
    EXPECT_EQ(capture.result.standardError,
              "Warning: no audio device (No available audio device), playing silently.\n");
    const std::string frames = ExpectedFrames(3, true);
    EXPECT_EQ(capture.console.substr(0, frames.size()), frames);
    EXPECT_EQ(CountOf(capture.console, "Melvo Player v1.0\n"),
              CountOf(capture.console, "press any key to exit\n(no audio device: playing silently)\n"));
}

// With nobody reading the console, the audio thread blocks in the middle of
// a redraw; a key must still end the player at once.
TEST_F(Playback, AKeyEndsThePlayerWhileTheAudioThreadIsBlockedOnAFullConsole) {
    ProcessOptions options = Options("disk", "blocked.raw");
    RunningProcess process({player_.string(), song_.string()}, options);
    std::uintmax_t lastSize = 0;
    auto lastChange = Clock::now();
    const bool stalled = WaitFor(
        [&] {
            const auto size = FileSize(dir_ / "blocked.raw");
            if (size != lastSize) {
                lastSize = size;
                lastChange = Clock::now();
            }
            return size > 0 && Clock::now() - lastChange > std::chrono::milliseconds(500);
        },
        std::chrono::seconds(30));
    ASSERT_TRUE(stalled);
    const auto keyTime = Clock::now();
    process.WriteStdin("q");
    const std::optional<int> status = process.WaitForExit(std::chrono::seconds(10));
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - keyTime);
    EXPECT_EQ(status, std::optional<int>(0));
    EXPECT_LT(elapsed.count(), 1000);
    const auto result = process.Wait(std::chrono::seconds(10));
    EXPECT_GT(result.standardOutput.size(), 30000u);  // the pipe really was full
}

// On a real terminal: the player clears it before each frame, keeps a song's
// escape bytes off it, takes one key without Enter and without echo, and
// leaves the terminal settings as it found them.
TEST_F(Playback, OnATerminalOneKeyEndsItAndTheSettingsComeBack) {
    if (std::system("command -v script >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "needs script(1) from util-linux for a pseudo-terminal";
    }
    SongRecord song = TestSong();
    song.title = MakeTextField("Bad\x1b[2JTitle");
    test::WriteFile(dir_ / "escape.mvs", test::SongFileBytes(song));
    const std::string command =
        "stty -g > before; '" + player_.string() + "' escape.mvs; echo status=$? > status; stty -g > after";
    ProcessOptions options;
    options.environment["SDL_AUDIODRIVER"] = "dummy";
    options.workingDirectory = dir_.path();
    options.standardOutputFile = dir_ / "terminal.txt";
    RunningProcess script({"script", "-q", "-e", "-c", command, "/dev/null"}, options);
    ASSERT_TRUE(WaitFor([&] { return CountOf(ReadText(dir_ / "terminal.txt"), "press any key to exit") >= 1; },
                        std::chrono::seconds(20)));

    const auto keyTime = Clock::now();
    script.WriteStdin("Z");
    const std::optional<int> status = script.WaitForExit(std::chrono::seconds(10));
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - keyTime);
    ASSERT_EQ(status, std::optional<int>(0));
    EXPECT_LT(elapsed.count(), 1000);
    EXPECT_EQ(ReadText(dir_ / "status"), "status=0\n");
    const std::string before = ReadText(dir_ / "before");
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(ReadText(dir_ / "after"), before);

    const std::string shown = ReadText(dir_ / "terminal.txt");
    EXPECT_EQ(shown.rfind("\x1b[H\x1b[2JMelvo Player v1.0\r\n", 0), 0u);
    EXPECT_NE(shown.find("Title:      Bad?[2JTitle\r\n"), std::string::npos);
    EXPECT_EQ(shown.find("Bad\x1b"), std::string::npos);
    EXPECT_EQ(shown.find('Z'), std::string::npos) << "the key was echoed";
}

}  // namespace
}  // namespace melvo
