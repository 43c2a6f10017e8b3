#include "player/bank_file.hpp"

#include <algorithm>
#include <optional>

#include "platform/file_byte_source.hpp"
#include "platform/files.hpp"
#include "player/report_error.hpp"

namespace melvo {
namespace {

// Reads the slot's samples, cut to the whole samples that lie inside the source.
SampleSlot ReadSlot(const ByteSource& source, const BankTableEntry& entry) {
    const std::uint64_t size = source.Size();
    const std::uint64_t available = entry.dataOffset < size ? (size - entry.dataOffset) / 2 : 0;
    const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(entry.byteLength / 2, available));
    std::vector<std::uint8_t> raw(std::size_t{count} * 2);
    const std::size_t got = source.ReadAt(entry.dataOffset, raw);
    SampleSlot slot;
    slot.count = static_cast<std::uint32_t>(got / 2);
    slot.data.resize(slot.count);
    for (std::size_t i = 0; i < slot.count; ++i) {
        slot.data[i] = ReadS16le(raw, 2 * i);
    }
    return slot;
}

}  // namespace

std::string_view BankLoadMessage(BankLoadError error) {
    switch (error) {
        case BankLoadError::FileNotFound:
            return "error loading file";
        case BankLoadError::NotABankFile:
            return "not a valid .mvi file";
        case BankLoadError::CompressionUnsupported:
            return "no compression supported yet";
        case BankLoadError::InvalidVersion:
            return "not a valid version number";
        case BankLoadError::VersionTooNew:
            return "too new version of the format, this version only suports fileformat v1 max";
        case BankLoadError::SampleSizeUnsupported:
            return "only 16 bit samples supported at the moment";
        case BankLoadError::SampleRateUnsupported:
            return "only 32khz samples supported atm";
        case BankLoadError::FileTooShort:
            return "file is too short";
    }
    return "error loading file";
}

BankLoadResult ParseInstrumentBank(const ByteSource& source) {
    std::array<std::uint8_t, kBankTableEnd> header{};
    const std::size_t length = source.ReadAt(0, header);
    ByteReader reader(Bytes(header.data(), length));

    std::array<std::uint8_t, 4> magic{};
    reader.Copy(magic);
    if (!reader.ok()) {
        return BankLoadError::FileTooShort;
    }
    if (magic != kBankMagic) {
        return BankLoadError::NotABankFile;
    }
    const auto version = static_cast<std::int16_t>(reader.U16le());
    const std::uint8_t compression = reader.U8();
    if (!reader.ok()) {
        return BankLoadError::FileTooShort;
    }
    if (compression != 0) {
        return BankLoadError::CompressionUnsupported;
    }
    if (version == 0) {
        return BankLoadError::InvalidVersion;
    }
    if (version != 1) {
        return BankLoadError::VersionTooNew;
    }
    if (length < kBankTableEnd) {
        return BankLoadError::FileTooShort;
    }

    InstrumentBank bank;
    std::copy_n(header.begin() + kBankPackNameOffset, kTextFieldSize, bank.packName.begin());
    std::copy_n(header.begin() + kBankAuthorOffset, kTextFieldSize, bank.author.begin());
    const Bytes table = Bytes(header).subspan(kBankTableOffset);
    for (std::size_t i = 0; i < kBankSlotCount; ++i) {
        const BankTableEntry entry = DecodeBankTableEntry(table, i);
        if (entry.bitsPerSample != kBankBitsPerSample) {
            return BankLoadError::SampleSizeUnsupported;
        }
        if (entry.sampleRate != kBankSampleRate) {
            return BankLoadError::SampleRateUnsupported;
        }
        bank.slots[i] = ReadSlot(source, entry);
    }
    return bank;
}

BankLoadResult TryLoadInstrumentBank(const std::string& directory, const std::string& name) {
    auto file = platform::RegularFile::Open(directory + name);
    if (!file) {
        file = platform::RegularFile::Open(directory + std::string(kDefaultBankName));
    }
    if (!file) {
        return BankLoadError::FileNotFound;
    }
    return ParseInstrumentBank(platform::FileByteSource(*file));
}

InstrumentBank LoadInstrumentBank(const std::string& directory, const std::string& name) {
    auto result = TryLoadInstrumentBank(directory, name);
    if (const auto* error = std::get_if<BankLoadError>(&result)) {
        ReportError(BankLoadMessage(*error));
    }
    return std::get<InstrumentBank>(std::move(result));
}

}  // namespace melvo
