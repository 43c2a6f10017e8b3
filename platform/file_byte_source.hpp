// A regular file seen as a ByteSource, so a reader pulls only the ranges it
// needs straight from disk instead of loading the whole file.
#pragma once

#include <cstdint>

#include "formats/byte_source.hpp"
#include "platform/files.hpp"

namespace melvo::platform {

class FileByteSource final : public ByteSource {
public:
    // The file must outlive the source; its size is taken once, here.
    explicit FileByteSource(const RegularFile& file) : file_(file), size_(file.Size()) {}
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, MutableBytes out) const override { return file_.ReadAt(offset, out); }

private:
    const RegularFile& file_;
    std::uint64_t size_;
};

}  // namespace melvo::platform
