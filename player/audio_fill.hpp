// What the audio callback does with each buffer, without the audio library:
// samples from the sequencer, and at each beat the ready-made frame.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "player/redraw_frames.hpp"
#include "player/sequencer.hpp"

namespace melvo {

// Writes one frame to the console; must not allocate.
using FrameWriter = void (*)(std::string_view frame);

// Fills `buffer` with length / 2 signed 16-bit little-endian samples, one
// NextSample each, in order. When a beat ends, the next beat's frame is
// written at once, before the next sample is made. Allocates nothing.
void FillAudioBuffer(Player& player, const RedrawFrames& frames, FrameWriter writeFrame,
                     std::span<std::uint8_t> buffer);

}  // namespace melvo
