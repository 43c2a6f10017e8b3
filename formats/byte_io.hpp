// Little- and big-endian field access over byte spans.
//
// Every file field in the suite is read and written through these helpers, so
// byte order is explicit and no struct is ever overlaid on file bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace melvo {

using Bytes = std::span<const std::uint8_t>;
using MutableBytes = std::span<std::uint8_t>;

// Reads a byte at `offset`, or 0 past the end of `bytes`.
inline std::uint8_t ByteAtOrZero(Bytes bytes, std::size_t offset) {
    return offset < bytes.size() ? bytes[offset] : std::uint8_t{0};
}

inline std::uint16_t ReadU16le(Bytes bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(ByteAtOrZero(bytes, offset) | (ByteAtOrZero(bytes, offset + 1) << 8));
}

inline std::int16_t ReadS16le(Bytes bytes, std::size_t offset) {
    return static_cast<std::int16_t>(ReadU16le(bytes, offset));
}

inline std::uint32_t ReadU32le(Bytes bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(ByteAtOrZero(bytes, offset)) |
           (static_cast<std::uint32_t>(ByteAtOrZero(bytes, offset + 1)) << 8) |
           (static_cast<std::uint32_t>(ByteAtOrZero(bytes, offset + 2)) << 16) |
           (static_cast<std::uint32_t>(ByteAtOrZero(bytes, offset + 3)) << 24);
}

inline std::uint16_t ReadU16be(Bytes bytes, std::size_t offset) {
    return static_cast<std::uint16_t>((ByteAtOrZero(bytes, offset) << 8) | ByteAtOrZero(bytes, offset + 1));
}

inline std::uint32_t ReadU32be(Bytes bytes, std::size_t offset) {
    return (static_cast<std::uint32_t>(ByteAtOrZero(bytes, offset)) << 24) |
           (static_cast<std::uint32_t>(ByteAtOrZero(bytes, offset + 1)) << 16) |
           (static_cast<std::uint32_t>(ByteAtOrZero(bytes, offset + 2)) << 8) |
           static_cast<std::uint32_t>(ByteAtOrZero(bytes, offset + 3));
}

// Writers ignore bytes that would fall past the end of `out`; callers size
// their buffers from the format's constants, so this never drops real data.
inline void WriteU8(MutableBytes out, std::size_t offset, std::uint8_t value) {
    if (offset < out.size()) {
        out[offset] = value;
    }
}

inline void WriteU16le(MutableBytes out, std::size_t offset, std::uint16_t value) {
    WriteU8(out, offset, static_cast<std::uint8_t>(value & 0xFFu));
    WriteU8(out, offset + 1, static_cast<std::uint8_t>(value >> 8));
}

inline void WriteU32le(MutableBytes out, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        WriteU8(out, offset + i, static_cast<std::uint8_t>((value >> (8 * i)) & 0xFFu));
    }
}

// Sequential reader with a sticky failure flag: a read past the end yields
// zeros and clears `ok`, so a decoder runs straight through and checks once.
class ByteReader {
public:
    explicit ByteReader(Bytes bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return position_ < bytes_.size() ? bytes_.size() - position_ : 0; }

    std::uint8_t U8() { return Take(1) ? bytes_[position_ - 1] : std::uint8_t{0}; }
    std::uint16_t U16le() {
        const std::size_t at = position_;
        return Take(2) ? ReadU16le(bytes_, at) : std::uint16_t{0};
    }
    std::uint32_t U32le() {
        const std::size_t at = position_;
        return Take(4) ? ReadU32le(bytes_, at) : std::uint32_t{0};
    }
    // Copies `out.size()` bytes; on a short read fills `out` with zeros.
    void Copy(MutableBytes out) {
        const std::size_t at = position_;
        if (Take(out.size())) {
            for (std::size_t i = 0; i < out.size(); ++i) {
                out[i] = bytes_[at + i];
            }
        } else {
            for (auto& b : out) {
                b = 0;
            }
        }
    }

private:
    bool Take(std::size_t count) {
        if (!ok_ || count > remaining()) {
            ok_ = false;
            return false;
        }
        position_ += count;
        return true;
    }

    Bytes bytes_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

}  // namespace melvo
