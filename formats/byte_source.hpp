// Random access to a file's bytes, whether on disk or in memory, so readers
// that must not load a whole file can still be driven from memory in tests.
#pragma once

#include <algorithm>
#include <cstdint>

#include "formats/byte_io.hpp"

namespace melvo {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to out.size() bytes at `offset`; returns how many were read.
    virtual std::size_t ReadAt(std::uint64_t offset, MutableBytes out) const = 0;
};

class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(Bytes bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, MutableBytes out) const override {
        if (offset >= bytes_.size()) {
            return 0;
        }
        const auto start = static_cast<std::size_t>(offset);
        const std::size_t count = std::min(out.size(), bytes_.size() - start);
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(start), count, out.begin());
        return count;
    }

private:
    Bytes bytes_;
};

}  // namespace melvo
