// Audio output through SDL 1.2: 32004 Hz, signed 16-bit little-endian, mono,
// 4096-sample buffers, fed by FillAudio on SDL's audio thread.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "player/sequencer.hpp"
#include "player/staff.hpp"

namespace melvo {

enum class AudioStart {
    Playing,          // the sound device plays the song
    PlayingSilently,  // no device: the song and its staff run on SDL's dummy driver
    NotPlaying,       // not even the dummy driver opened
};

// The line written on standard error when no device opens.
std::string NoAudioDeviceWarning(std::string_view reason);

// Opens the device and starts FillAudio on `player`, whose song, bank and
// `staves` must stay unchanged until the process ends. When the device cannot
// be opened, warns on standard error and plays on the dummy driver instead,
// with every frame saying so.
AudioStart StartAudio(Player& player, const StaffText& staves);

// Shuts SDL down, which stops the callback and closes the device. A callback
// blocked on a full console must not hold up the exit, so this gives up after
// `limit` and returns false; the caller should then end the process at once.
bool StopAudio(std::chrono::milliseconds limit);

}  // namespace melvo
