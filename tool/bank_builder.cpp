#include "tool/bank_builder.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "platform/file_byte_source.hpp"
#include "platform/files.hpp"
#include "tool/wav_file.hpp"

namespace melvo {
namespace {

constexpr std::uint64_t kLargestDataOffset = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kCopyPieceSize = std::size_t{1024} * 1024;

// Appends `count` bytes of `source` from `offset` on; a source that turns out
// shorter than its size said ends the copy early, and so does a failed write,
// which the writer keeps and Commit reports. Returns the bytes read.
std::uint64_t AppendBytes(const ByteSource& source, std::uint64_t offset, std::uint64_t count,
                          platform::AtomicFileWriter& bank) {
    std::vector<std::uint8_t> piece(static_cast<std::size_t>(std::min<std::uint64_t>(count, kCopyPieceSize)));
    std::uint64_t copied = 0;
    while (copied < count) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(count - copied, piece.size()));
        const std::size_t got = source.ReadAt(offset + copied, MutableBytes(piece.data(), want));
        if (got == 0) {
            break;
        }
        copied += got;
        if (!bank.Append(Bytes(piece.data(), got))) {
            break;
        }
    }
    return copied;
}

bool NamesOneOfTheWavFiles(const BankBuildAnswers& answers) {
    return std::any_of(WavFileNames.begin(), WavFileNames.end(), [&](std::string_view name) {
        return platform::IsSameFile(answers.bankName, JoinWavPath(answers.directory, name));
    });
}

BankBuildOutcome Abort(ToolScreen& screen, BankBuildOutcome outcome) {
    screen.PrintLine("Aborting.");
    return outcome;
}

BankBuildOutcome CannotWrite(const BankBuildAnswers& answers, ToolScreen& screen) {
    screen.PrintLine("Could not write " + answers.bankName + ".");
    return Abort(screen, BankBuildOutcome::CannotWrite);
}

// The header block up to the first sample byte: magic, version, compression
// and the two names; the table stays zero until every WAV file is read.
std::vector<std::uint8_t> BankHeaderBlock(const BankBuildAnswers& answers) {
    std::vector<std::uint8_t> block(kBankFirstDataOffset, 0);
    const auto header = EncodeBankHeader(MakeTextField(answers.packName), MakeTextField(answers.author));
    std::copy(header.begin(), header.end(), block.begin());
    return block;
}

// One WAV file into slot `slot`: fills its table entry, copies its sample
// bytes and moves the running data offset on.
class SlotImporter {
public:
    SlotImporter(const BankBuildAnswers& answers, ToolScreen& screen, platform::AtomicFileWriter& bank)
        : answers_(answers), screen_(screen), bank_(bank) {}

    std::optional<BankBuildOutcome> Import(std::size_t slot) {
        const std::string path = JoinWavPath(answers_.directory, WavFileNames[slot]);
        const auto file = platform::RegularFile::Open(path);
        if (!file || file->Size() == 0) {
            screen_.PrintLine("Error loading: " + path);
            return Abort(screen_, BankBuildOutcome::WavNotLoaded);
        }
        screen_.PrintLine("Importing " + path + " ...");
        const platform::FileByteSource wav(*file);
        const WavHeaderFields fields = ReadWavHeaderFields(wav);
        table_[slot] = BankTableEntry{fields.riffSize, fields.numberAt16, kBankSampleRate,
                                      static_cast<std::uint32_t>(dataOffset_)};
        if (!fields.hasRiffTag) {
            screen_.PrintLine("No RIFF Header for " + path + " ...");
            return Abort(screen_, BankBuildOutcome::NoRiffHeader);
        }
        if (fields.riffSize > kMaxWavRiffSize) {
            return LimitExceeded(path);
        }
        const auto tag = FindDataTag(wav);
        if (!tag) {
            return std::nullopt;
        }
        const std::uint64_t count = SampleBytesAfterTag(wav.Size(), *tag);
        if (count > kLargestDataOffset - dataOffset_) {
            return LimitExceeded(path);
        }
        dataOffset_ += AppendBytes(wav, *tag + kDataTagHeaderSize, count, bank_);
        screen_.PrintLine(std::string(WavFileNames[slot]) + ": Imported.");
        return std::nullopt;
    }

    const BankTable& table() const { return table_; }

private:
    BankBuildOutcome LimitExceeded(const std::string& path) {
        screen_.PrintLine("Limit Exceed for " + path + " ...");
        return Abort(screen_, BankBuildOutcome::LimitExceeded);
    }

    const BankBuildAnswers& answers_;
    ToolScreen& screen_;
    platform::AtomicFileWriter& bank_;
    BankTable table_{};
    std::uint64_t dataOffset_ = kBankFirstDataOffset;  // where the next sample bytes go
};

}  // namespace

std::string JoinWavPath(std::string_view directory, std::string_view fileName) {
    std::string path(directory);
    path += platform::kPathSeparator;
    path += fileName;
    return path;
}

BankBuildOutcome RunBankBuild(const BankBuildAnswers& answers, ToolScreen& screen) {
    if (NamesOneOfTheWavFiles(answers)) {
        return CannotWrite(answers, screen);
    }
    auto bank = platform::AtomicFileWriter::Create(answers.bankName);
    if (!bank) {
        return CannotWrite(answers, screen);
    }
    bank->Append(BankHeaderBlock(answers));

    SlotImporter importer(answers, screen, *bank);
    for (std::size_t slot = 0; slot < kBankSlotCount; ++slot) {
        if (const auto failure = importer.Import(slot)) {
            return *failure;  // the writer removes its temporary file; an old bank stays as it was
        }
    }
    screen.PrintLine("RAW Samples written.");
    screen.PrintLine("Writing header.");
    const auto table = EncodeBankTable(importer.table());
    bank->WriteAt(kBankTableOffset, table);
    if (!bank->Commit()) {
        return CannotWrite(answers, screen);
    }
    screen.PrintLine("Done.");
    return BankBuildOutcome::Done;
}

AfterOperation BuildBank(ToolScreen& screen) {
    BankBuildAnswers answers;
    screen.PrintLine("Read from which directory? (example: samples)");
    answers.directory = screen.ReadField();
    screen.PrintLine("Save as?  (example: instr.mvi) ");
    answers.bankName = screen.ReadField();
    screen.PrintLine("Pack name?");
    answers.packName = screen.ReadField();
    screen.PrintLine("Author?");
    answers.author = screen.ReadField();
    RunBankBuild(answers, screen);
    return AfterOperation::BackToMenu;
}

}  // namespace melvo
