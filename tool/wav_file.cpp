#include "tool/wav_file.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "formats/byte_io.hpp"

namespace melvo {
namespace {

constexpr std::array<std::uint8_t, 4> kRiffTag = {'R', 'I', 'F', 'F'};
constexpr std::array<std::uint8_t, 4> kDataTag = {'d', 'a', 't', 'a'};
constexpr std::size_t kHeaderFieldsEnd = 20;
constexpr std::size_t kScanPieceSize = std::size_t{64} * 1024;

bool TagAt(Bytes bytes, std::size_t offset, const std::array<std::uint8_t, 4>& tag) {
    if (offset + tag.size() > bytes.size()) {
        return false;
    }
    const Bytes candidate = bytes.subspan(offset, tag.size());
    return std::equal(tag.begin(), tag.end(), candidate.begin());
}

}  // namespace

WavHeaderFields ReadWavHeaderFields(const ByteSource& source) {
    std::array<std::uint8_t, kHeaderFieldsEnd> head{};
    const std::size_t got = source.ReadAt(0, head);
    const Bytes bytes(head.data(), got);
    WavHeaderFields fields;
    fields.hasRiffTag = TagAt(bytes, 0, kRiffTag);
    fields.riffSize = ReadU32le(bytes, 4);
    fields.numberAt16 = ReadU32le(bytes, 16);
    return fields;
}

std::optional<std::uint64_t> FindDataTag(const ByteSource& source) {
    constexpr std::size_t kCarry = kDataTag.size() - 1;  // a tag may straddle two pieces
    std::vector<std::uint8_t> buffer(kCarry + kScanPieceSize);
    const std::uint64_t size = source.Size();
    std::uint64_t bufferStart = 0;  // file offset of buffer[0]
    std::uint64_t nextRead = 0;
    std::size_t carried = 0;
    while (nextRead < size) {
        const std::size_t got = source.ReadAt(nextRead, MutableBytes(buffer.data() + carried, kScanPieceSize));
        if (got == 0) {
            break;
        }
        const std::size_t filled = carried + got;
        const Bytes piece(buffer.data(), filled);
        const auto match = std::search(piece.begin(), piece.end(), kDataTag.begin(), kDataTag.end());
        if (match != piece.end()) {
            return bufferStart + static_cast<std::uint64_t>(match - piece.begin());
        }
        nextRead += got;
        carried = std::min(kCarry, filled);
        std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(filled - carried),
                  buffer.begin() + static_cast<std::ptrdiff_t>(filled), buffer.begin());
        bufferStart = nextRead - carried;
    }
    return std::nullopt;
}

std::uint64_t SampleBytesAfterTag(std::uint64_t sourceSize, std::uint64_t tagOffset) {
    const std::uint64_t start = tagOffset + kDataTagHeaderSize;
    return sourceSize > start ? sourceSize - start : 0;
}

}  // namespace melvo
