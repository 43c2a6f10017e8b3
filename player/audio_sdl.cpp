#include "player/audio_sdl.hpp"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#include "platform/console.hpp"
#include "player/audio_fill.hpp"

namespace melvo {
namespace {

inline constexpr Uint16 kBufferSamples = 4096;  // about 128 ms at 32004 Hz

// What the callback reaches: set once before the device starts, never changed
// afterwards. `ready` publishes it to the audio thread.
struct Playback {
    Player* player = nullptr;
    std::optional<RedrawFrames> frames;
    std::atomic<bool> ready{false};
};
Playback playback;

void FillAudio(void* /*userdata*/, Uint8* stream, int length) {
    if (length <= 0) {
        return;
    }
    if (!playback.ready.load(std::memory_order_acquire)) {
        std::memset(stream, 0, static_cast<std::size_t>(length));
        return;
    }
    FillAudioBuffer(*playback.player, *playback.frames, &platform::WriteStdout,
                    std::span<std::uint8_t>(stream, static_cast<std::size_t>(length)));
}

// No structure for the obtained format: SDL then converts to whatever the
// device runs at, so the song never plays at another rate.
bool OpenDevice() {
    SDL_AudioSpec wanted{};
    wanted.freq = kOutputRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 1;
    wanted.samples = kBufferSamples;
    wanted.callback = FillAudio;
    wanted.userdata = nullptr;
    return SDL_OpenAudio(&wanted, nullptr) == 0;
}

// SDL offers its dummy driver only when the environment names it, so the
// audio part restarts with that name set.
bool OpenDummyDevice() {
    static char dummyDriverSetting[] = "SDL_AUDIODRIVER=dummy";
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_putenv(dummyDriverSetting);
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && OpenDevice();
}

}  // namespace

std::string NoAudioDeviceWarning(std::string_view reason) {
    std::string line = "Warning: no audio device (";
    line += reason;
    line += "), playing silently.\n";
    return line;
}

AudioStart StartAudio(Player& player, const StaffText& staves) {
    // SDL's audio thread starts with the device, paused, and plays silence
    // until SDL_PauseAudio; the frames are ready first to keep that short.
    FrameStyle style;
    style.clearSequence = platform::ClearScreenSequence();
    style.toTerminal = platform::StdoutIsTerminal();
    playback.player = &player;
    playback.frames.emplace(player.song(), player.bank(), staves, style);

    // The platform layer owns the signal handlers that restore the terminal.
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_NOPARACHUTE);
    if (!OpenDevice()) {
        const std::string warning = NoAudioDeviceWarning(SDL_GetError());
        std::fputs(warning.c_str(), stderr);
        std::fflush(stderr);
        style.silent = true;
        playback.frames.emplace(player.song(), player.bank(), staves, style);
        if (!OpenDummyDevice()) {
            return AudioStart::NotPlaying;
        }
    }
    playback.ready.store(true, std::memory_order_release);
    SDL_PauseAudio(0);
    return style.silent ? AudioStart::PlayingSilently : AudioStart::Playing;
}

bool StopAudio(std::chrono::milliseconds limit) {
    auto finished = std::make_shared<std::promise<void>>();
    std::future<void> done = finished->get_future();
    std::thread quitter([finished] {
        SDL_Quit();
        finished->set_value();
    });
    if (done.wait_for(limit) == std::future_status::ready) {
        quitter.join();
        return true;
    }
    quitter.detach();
    return false;
}

}  // namespace melvo
