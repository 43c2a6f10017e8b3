#include "player/audio_fill.hpp"

namespace melvo {

void FillAudioBuffer(Player& player, const RedrawFrames& frames, FrameWriter writeFrame,
                     std::span<std::uint8_t> buffer) {
    const std::size_t sampleCount = buffer.size() / 2;
    std::uint8_t* out = buffer.data();
    for (std::size_t i = 0; i < sampleCount; ++i) {
        const auto sample = static_cast<std::uint16_t>(player.NextSample());
        out[2 * i] = static_cast<std::uint8_t>(sample & 0xFFu);
        out[2 * i + 1] = static_cast<std::uint8_t>(sample >> 8);
        if (player.redrawPending()) {
            writeFrame(frames.ForBeat(player.beat()));
        }
    }
}

}  // namespace melvo
