#include "tool/save_state_transfer.hpp"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "formats/byte_io.hpp"
#include "formats/song_record.hpp"
#include "formats/text_field.hpp"
#include "platform/files.hpp"

namespace melvo {
namespace {

using platform::FileMode;
using platform::RegularFile;

// `size` bytes from `offset`, zeros where the file ends before them.
std::vector<std::uint8_t> ReadZeroFilled(const RegularFile& file, std::size_t offset, std::size_t size) {
    std::vector<std::uint8_t> bytes(size, 0);
    file.ReadAt(offset, bytes);
    return bytes;
}

template <std::size_t N>
bool StartsWith(Bytes head, const std::array<std::uint8_t, N>& magic) {
    for (std::size_t i = 0; i < N; ++i) {
        if (ByteAtOrZero(head, i) != magic[i]) {
            return false;
        }
    }
    return true;
}

// A file that opens as a regular file and holds at least one byte.
std::optional<RegularFile> OpenNonEmpty(const std::string& path, FileMode mode) {
    std::optional<RegularFile> file = RegularFile::Open(path, mode);
    if (file && file->Size() == 0) {
        return std::nullopt;
    }
    return file;
}

void PrintCouldNotWrite(ToolScreen& screen, const std::string& path) {
    screen.PrintLine("Could not write " + path + ".");
}

}  // namespace

std::optional<SongNotesPlace> SongNotesPlaceFor(std::uint16_t version) {
    switch (version) {
        case 1:
            return SongNotesPlace{kFileNotesOffsetV1, kFileTempoOffsetV1};
        case 2:
            return SongNotesPlace{kFileNotesOffsetV2, kFileTempoOffsetV2};
        default:
            return std::nullopt;
    }
}

std::optional<SongFileImage> RipSongImage(Bytes saveStateHead, const TextField& title, const TextField& author,
                                          const TextField& bankName) {
    if (!StartsWith(saveStateHead, kStateMagic)) {
        return std::nullopt;
    }
    SongRecord song;
    const std::size_t notesEnd = std::min(saveStateHead.size(), kStateNotesOffset + kNoteBlockSize);
    const Bytes noteBlock =
        notesEnd > kStateNotesOffset ? saveStateHead.subspan(kStateNotesOffset, notesEnd - kStateNotesOffset) : Bytes();
    song.notes = DecodeNoteBlock(noteBlock);  // missing note bytes decode as zero
    song.tempo = ByteAtOrZero(saveStateHead, kStateTempoOffset);
    song.title = title;
    song.author = author;
    song.bankName = bankName;
    return EncodeSongFileV2(song);
}

std::variant<InjectPatch, InjectRefusal> PlanInjection(Bytes songHead, Bytes saveStateHead) {
    if (!StartsWith(saveStateHead, kStateMagic)) {
        return InjectRefusal::DestinationNotState;
    }
    if (!StartsWith(songHead, kSongMagic)) {
        return InjectRefusal::SourceNotSong;
    }
    InjectPatch patch;
    patch.version = ReadU16le(songHead, kSongVersionOffset);
    const std::optional<SongNotesPlace> place = SongNotesPlaceFor(patch.version);
    if (!place) {
        return InjectRefusal::IncompatibleVersion;
    }
    for (std::size_t i = 0; i < kNoteBlockSize; ++i) {
        patch.notes[i] = ByteAtOrZero(songHead, place->notesOffset + i);
    }
    patch.tempo = ByteAtOrZero(songHead, place->tempoOffset);
    return patch;
}

void ApplyInjection(std::vector<std::uint8_t>& saveState, const InjectPatch& patch) {
    if (saveState.size() < kStateSongEnd) {
        saveState.resize(kStateSongEnd, 0);
    }
    std::copy(patch.notes.begin(), patch.notes.end(), saveState.begin() + kStateNotesOffset);
    saveState[kStateTempoOffset] = patch.tempo;
}

AfterOperation RipSong(const ToolState& state, ToolScreen& screen) {
    // In a command-line run the answers are the arguments and nothing is read.
    auto answer = [&](const std::string& argument) { return state.commandLineMode ? argument : screen.ReadField(); };

    screen.Print("ZST Filename: ");
    const std::string statePath = answer(state.stateFileArg);
    std::optional<RegularFile> saveState = OpenNonEmpty(statePath, FileMode::Read);
    if (!saveState) {
        screen.PrintLine("File not found.");
        return AfterOperation::BackToPrompt;
    }

    screen.PrintLine("Saved music file name? ");
    const std::string songPath = answer(state.songFileArg);
    screen.PrintLine("SongName?");
    const TextField title = MakeTextField(answer(state.songNameArg));
    screen.PrintLine("Author?");
    const TextField author = MakeTextField(answer(state.authorArg));
    screen.PrintLine("Preferred MVI Instrument filename?");
    const TextField bankName = MakeTextField(answer(state.bankNameArg));

    const std::vector<std::uint8_t> stateHead = ReadZeroFilled(*saveState, 0, kStateSongEnd);
    saveState.reset();
    const std::optional<SongFileImage> image = RipSongImage(stateHead, title, author, bankName);
    if (!image) {
        screen.PrintLine("Not a supported ZST file. Aborting.");
        return AfterOperation::BackToMenu;
    }
    // Replacing the save state with the song would lose the state.
    if (platform::IsSameFile(songPath, statePath)) {
        PrintCouldNotWrite(screen, songPath);
        return AfterOperation::BackToMenu;
    }
    if (!platform::WriteFileAtomically(songPath, *image)) {
        PrintCouldNotWrite(screen, songPath);
        return AfterOperation::BackToMenu;
    }

    screen.PrintLine("Ripped music data to " + songPath + ".");
    screen.PrintLine("");
    return state.commandLineMode ? AfterOperation::EndTool : AfterOperation::BackToMenu;
}

AfterOperation InjectSong(ToolScreen& screen) {
    screen.Print("MVS Filename (source): ");
    const std::string songPath = screen.ReadField();
    const std::optional<RegularFile> song = OpenNonEmpty(songPath, FileMode::Read);
    if (!song) {
        screen.PrintLine("MVS File not found.");
        return AfterOperation::BackToPrompt;
    }

    screen.Print("ZST Filename (destination):");
    const std::string statePath = screen.ReadField();
    // Patched in place: the state is never shortened or replaced.
    std::optional<RegularFile> saveState = OpenNonEmpty(statePath, FileMode::ReadWrite);
    if (!saveState) {
        screen.PrintLine("ZST File not found.");
        return AfterOperation::BackToPrompt;
    }

    const auto plan = PlanInjection(ReadZeroFilled(*song, 0, kSongFileSizeV2), ReadZeroFilled(*saveState, 0, 4));
    if (const auto* refusal = std::get_if<InjectRefusal>(&plan)) {
        switch (*refusal) {
            case InjectRefusal::DestinationNotState:
                screen.PrintLine("Dest is not a ZST file. Aborting.");
                return AfterOperation::BackToPrompt;
            case InjectRefusal::SourceNotSong:
                screen.PrintLine("Source is not a MVS file. Aborting.");
                return AfterOperation::BackToPrompt;
            case InjectRefusal::IncompatibleVersion:
                screen.PrintLine("Incompatible version of MVS file. Aborting.");
                return AfterOperation::BackToMenu;
        }
    }
    const InjectPatch& patch = std::get<InjectPatch>(plan);

    screen.PrintLine("MVS Version " + std::to_string(patch.version) + " ");
    screen.PrintLine("Injecting...");
    const std::array<std::uint8_t, 1> tempo = {patch.tempo};
    // Writing past the end of a short state lengthens it; the gap reads as zeros.
    if (!saveState->WriteAt(kStateNotesOffset, patch.notes) || !saveState->WriteAt(kStateTempoOffset, tempo)) {
        PrintCouldNotWrite(screen, statePath);
        return AfterOperation::BackToMenu;
    }

    screen.PrintLine("Complete.");
    screen.PrintLine("");
    return AfterOperation::BackToMenu;
}

}  // namespace melvo
