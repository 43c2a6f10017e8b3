// How fast the player's real-time path runs.
//
//   melvo_player_bench              both figures, medians of several runs
//   melvo_player_bench --samples N  only render N samples, for callgrind:
//       valgrind --tool=callgrind --toggle-collect='*RenderSamples*'
//           melvo_player_bench --samples 3000000
//       (one command line); instructions per sample = Ir / N
//
// 1. NextSample: output samples per second over whole loops of a song in
//    which all three voices sound all the time, as a multiple of real time.
// 2. FillAudioBuffer: one 4096-sample buffer (128 ms of sound) that holds two
//    redraws, the frames written to /dev/null with the player's own writer.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

#include "platform/console.hpp"
#include "player/audio_fill.hpp"
#include "player/sequencer.hpp"
#include "player/staff.hpp"

namespace melvo {
namespace {

using Clock = std::chrono::steady_clock;

// Slots of one second each: long enough to sound through a whole beat even
// at the highest pitch, so three voices sound all the time.
InstrumentBank BenchBank() {
    InstrumentBank bank;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> value(-32768, 32767);
    for (SampleSlot& slot : bank.slots) {
        slot.data.resize(kOutputRate);
        for (std::int16_t& sample : slot.data) {
            sample = static_cast<std::int16_t>(value(random));
        }
        slot.count = static_cast<std::uint32_t>(slot.data.size());
    }
    bank.packName = MakeTextField("Bench Pack");
    bank.author = MakeTextField("Bench");
    return bank;
}

// Three notes on every beat, over all pitches and instruments.
SongRecord BenchSong(std::uint8_t tempo) {
    SongRecord song = EmptySong(tempo);
    song.title = MakeTextField("Three voices on every beat");
    song.author = MakeTextField("Bench");
    for (std::size_t beat = 0; beat < song.notes.size(); ++beat) {
        for (std::size_t slot = 0; slot < 3; ++slot) {
            const std::size_t n = beat * 3 + slot;
            song.notes[beat][slot] = {static_cast<std::uint8_t>(1 + n % 13), static_cast<std::uint8_t>(n % 15)};
        }
    }
    return song;
}

[[gnu::noinline]] std::int64_t RenderSamples(Player& player, std::int64_t count) {
    std::int64_t sum = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        sum += player.NextSample();
    }
    return sum;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// CPU time of this process: the machine may be shared, and time spent waiting
// for a core says nothing about the code.
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void BenchNextSample(const SongRecord& song, const InstrumentBank& bank) {
    constexpr int kRuns = 9;
    constexpr int kLoopsPerRun = 20;
    const std::int64_t perRun = std::int64_t{kLoopsPerRun} * kBeatsPerSong * SamplesPerBeat(song.tempo);
    std::vector<double> cpuRates;
    std::vector<double> wallRates;
    std::int64_t checksum = 0;
    for (int run = 0; run < kRuns; ++run) {
        Player player(song.tempo, song, bank);
        const double cpuStart = CpuSeconds();
        const auto wallStart = Clock::now();
        checksum += RenderSamples(player, perRun);
        const std::chrono::duration<double> wall = Clock::now() - wallStart;
        cpuRates.push_back(static_cast<double>(perRun) / (CpuSeconds() - cpuStart));
        wallRates.push_back(static_cast<double>(perRun) / wall.count());
    }
    std::printf("NextSample, tempo %d, three voices on every beat, %d runs of %lld samples (%d song loops)\n",
                song.tempo, kRuns, static_cast<long long>(perRun), kLoopsPerRun);
    const double cpu = Median(cpuRates);
    std::printf("  CPU time:   median %.1f million samples/s = %.0fx real time (min %.0fx, max %.0fx)\n", cpu / 1e6,
                cpu / kOutputRate, *std::min_element(cpuRates.begin(), cpuRates.end()) / kOutputRate,
                *std::max_element(cpuRates.begin(), cpuRates.end()) / kOutputRate);
    const double wall = Median(wallRates);
    std::printf("  wall clock: median %.1f million samples/s = %.0fx real time  [checksum %lld]\n", wall / 1e6,
                wall / kOutputRate, static_cast<long long>(checksum));
}

// The frame writer under test is the player's own; standard output points at
// /dev/null while it runs.
class StdoutToDevNull {
public:
    StdoutToDevNull() : saved_(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        close(devNull);
    }
    ~StdoutToDevNull() {
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }

private:
    int saved_;
};

void NoFrame(std::string_view /*frame*/) {}

void BenchFillAudio(const InstrumentBank& bank) {
    constexpr std::uint8_t kTempo = 255;  // 2353 samples per beat
    constexpr std::size_t kBufferSamples = 4096;
    constexpr int kRuns = 501;
    const SongRecord song = BenchSong(kTempo);
    const StaffText staves = BuildStaves(song);
    const RedrawFrames frames(song, bank, staves, FrameStyle{});
    std::vector<std::uint8_t> buffer(2 * kBufferSamples);
    std::vector<double> micros;
    {
        StdoutToDevNull quiet;
        for (int run = 0; run < kRuns; ++run) {
            // The second buffer (samples 4096..8191) ends beats 2 and 3.
            Player player(kTempo, song, bank);
            FillAudioBuffer(player, frames, NoFrame, buffer);
            const auto start = Clock::now();
            FillAudioBuffer(player, frames, &platform::WriteStdout, buffer);
            const std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
            micros.push_back(elapsed.count());
        }
    }
    const double bufferMicros = 1e6 * static_cast<double>(kBufferSamples) / kOutputRate;
    const double median = Median(micros);
    std::printf("FillAudioBuffer, 4096 samples with two redraws of %zu bytes each to /dev/null, %d runs\n",
                frames.ForBeat(2).size(), kRuns);
    std::printf("  median %.1f us = %.3f%% of the buffer's %.0f ms (max %.1f us)\n", median,
                100.0 * median / bufferMicros, bufferMicros / 1000, *std::max_element(micros.begin(), micros.end()));
}

int Main(int argc, char** argv) {
    const InstrumentBank bank = BenchBank();
    const SongRecord song = BenchSong(150);
    if (argc == 3 && std::strcmp(argv[1], "--samples") == 0) {
        Player player(song.tempo, song, bank);
        std::printf("checksum %lld\n", static_cast<long long>(RenderSamples(player, std::atoll(argv[2]))));
        return 0;
    }
    BenchNextSample(song, bank);
    BenchFillAudio(bank);
    return 0;
}

}  // namespace
}  // namespace melvo

int main(int argc, char** argv) { return melvo::Main(argc, argv); }
