#include "modconv/module_reader.hpp"

#include <algorithm>
#include <new>
#include <vector>

namespace melvo {
namespace {

struct ModuleKind {
    ModuleMagic magic;
    int code;
    std::int32_t channels;  // 0: refused
};

constexpr std::array<ModuleKind, 3> kModuleKinds = {{
    {{'M', '.', 'K', '.'}, kMagicFourChannels, 4},
    {{'8', 'C', 'H', 'N'}, kMagicEightChannels, 8},
    {{'2', '8', 'C', 'H'}, kMagicTwentyEightChannels, 0},
}};

// Finetune-0 periods of octaves 1, 2 and 3, C to B; index - 12 is the note number.
constexpr std::array<int, 36> kPeriodTable = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,  // octave 1
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,  // octave 2
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,  // octave 3
};
constexpr std::int32_t kFirstTableNote = -12;

std::size_t PatternSize(std::int32_t channels) {
    return static_cast<std::size_t>(kRowsPerPattern) * static_cast<std::size_t>(channels) * kModuleCellSize;
}

// Cell bytes b0 b1 b2 b3: sample high nibble | period (12 bits), b2 high
// nibble = sample low nibble, b2 low nibble = effect, b3 = parameter.
NoteCell DecodeCell(Bytes cell) {
    const std::uint8_t b0 = cell[0];
    const std::uint8_t b2 = cell[2];
    NoteCell decoded;
    decoded.note = PeriodToNote(ReadU16be(cell, 0) & 0x0FFF);
    decoded.sampleNumber = (b0 & 0xF0) | (b2 >> 4);
    decoded.effect = b2 & 0x0F;
    decoded.effectParameter = cell[3];
    return decoded;
}

PatternCopy ReadPattern(const ByteSource& source, std::int32_t patternNumber, std::int32_t channels) {
    const std::size_t size = PatternSize(channels);
    // Bytes that the source does not hold stay zero: cells without a note.
    std::vector<std::uint8_t> raw(size, 0);
    source.ReadAt(kModuleHeaderSize + static_cast<std::size_t>(patternNumber) * size, raw);

    PatternCopy pattern;
    pattern.rows = kRowsPerPattern;
    pattern.channels = channels;
    pattern.cells.reserve(size / kModuleCellSize);
    for (std::size_t offset = 0; offset < size; offset += kModuleCellSize) {
        pattern.cells.push_back(DecodeCell(Bytes(raw).subspan(offset, kModuleCellSize)));
    }
    return pattern;
}

}  // namespace

int ClassifyMagic(const ModuleMagic& magic) {
    for (const ModuleKind& kind : kModuleKinds) {
        if (kind.magic == magic) {
            return kind.code;
        }
    }
    return kMagicUnknown;
}

std::int32_t ChannelsOfKind(int code) {
    for (const ModuleKind& kind : kModuleKinds) {
        if (kind.code == code) {
            return kind.channels;
        }
    }
    return 0;
}

std::int32_t PeriodToNote(int period) {
    const auto found = std::find(kPeriodTable.begin(), kPeriodTable.end(), period);
    if (found == kPeriodTable.end()) {
        return kNoNote;
    }
    return kFirstTableNote + static_cast<std::int32_t>(found - kPeriodTable.begin());
}

ModuleReadResult ReadModule(const ByteSource& source) {
    ModuleReadResult result;
    std::array<std::uint8_t, kModuleHeaderSize> header{};
    if (source.Size() < kModuleHeaderSize || source.ReadAt(0, header) < kModuleHeaderSize) {
        result.error = ModuleReadError::TooShort;
        return result;
    }
    const Bytes bytes(header);
    ModuleRecord& module = result.module;
    std::copy_n(bytes.begin() + kModuleNameOffset, kModuleNameSize, module.name.begin());

    ModuleMagic magic{};
    std::copy_n(bytes.begin() + kModuleMagicOffset, magic.size(), magic.begin());
    result.channels = ChannelsOfKind(ClassifyMagic(magic));
    if (result.channels == 0) {
        result.error = ModuleReadError::UnknownMagic;
        return result;
    }

    const Bytes orderList = bytes.subspan(kModuleOrderOffset, kModuleOrderSize);
    module.patternCount = *std::max_element(orderList.begin(), orderList.end()) + 1;
    // The order list holds 128 positions; a longer song plays those.
    module.songLength =
        std::min<std::int32_t>(bytes[kModuleSongLengthOffset], static_cast<std::int32_t>(kModuleOrderSize));

    try {
        for (std::int32_t position = 0; position < module.songLength; ++position) {
            const std::int32_t patternNumber = orderList[static_cast<std::size_t>(position)];
            module.order.push_back(patternNumber);
            module.patterns.push_back(ReadPattern(source, patternNumber, result.channels));
        }
    } catch (const std::bad_alloc&) {
        module.order.clear();
        module.patterns.clear();
        result.error = ModuleReadError::OutOfMemory;
    }
    return result;
}

}  // namespace melvo
