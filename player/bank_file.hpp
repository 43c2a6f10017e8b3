// The player's instrument bank reader, with its fallback to "default.mvi".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "formats/bank_layout.hpp"
#include "formats/byte_source.hpp"

namespace melvo {

inline constexpr std::string_view kDefaultBankName = "default.mvi";

// One loaded sound: signed 16-bit mono samples at 32004 per second.
struct SampleSlot {
    std::vector<std::int16_t> data;
    std::uint32_t count = 0;  // samples held; equals data.size()
};

struct InstrumentBank {
    TextField packName{};
    TextField author{};
    std::array<SampleSlot, kBankSlotCount> slots{};
};

enum class BankLoadError {
    FileNotFound,
    NotABankFile,
    CompressionUnsupported,
    InvalidVersion,
    VersionTooNew,
    SampleSizeUnsupported,
    SampleRateUnsupported,
    FileTooShort,
};

using BankLoadResult = std::variant<InstrumentBank, BankLoadError>;

std::string_view BankLoadMessage(BankLoadError error);

// Decodes a bank. Checks come in this order: magic, compression, version,
// then per slot its sample size and rate. The header and the table must be
// there whole. A slot keeps only the whole samples that lie inside the
// source, however large its table entry claims it is.
BankLoadResult ParseInstrumentBank(const ByteSource& source);

// Opens directory + name, or directory + "default.mvi" when that cannot be
// opened (only then), and parses it.
BankLoadResult TryLoadInstrumentBank(const std::string& directory, const std::string& name);

// The player's entry to the reader: returns the bank or ends the program
// through ReportError with the reader's message.
InstrumentBank LoadInstrumentBank(const std::string& directory, const std::string& name);

}  // namespace melvo
