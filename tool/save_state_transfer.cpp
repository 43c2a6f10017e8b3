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
bool StartsWith(const RegularFile& file, const std::array<std::uint8_t, N>& magic) {
    const std::vector<std::uint8_t> head = ReadZeroFilled(file, 0, N);
    return std::equal(magic.begin(), magic.end(), head.begin());
}

// A file that opens as a regular file and holds at least one byte.
std::optional<RegularFile> OpenNonEmpty(const std::string& path, FileMode mode) {
    std::optional<RegularFile> file = RegularFile::Open(path, mode);
    if (file && file->Size() == 0) {
        return std::nullopt;
    }
    return file;
}

SongRecord SongOfSaveState(const RegularFile& saveState) {
    SongRecord song;
    const std::vector<std::uint8_t> noteBlock = ReadZeroFilled(saveState, kStateNotesOffset, kNoteBlockSize);
    song.notes = DecodeNoteBlock(noteBlock);
    song.tempo = ReadZeroFilled(saveState, kStateTempoOffset, 1).front();
    return song;
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

    if (!StartsWith(*saveState, kStateMagic)) {
        screen.PrintLine("Not a supported ZST file. Aborting.");
        return AfterOperation::BackToMenu;
    }
    // Replacing the save state with the song would lose the state.
    if (platform::IsSameFile(songPath, statePath)) {
        PrintCouldNotWrite(screen, songPath);
        return AfterOperation::BackToMenu;
    }

    SongRecord song = SongOfSaveState(*saveState);
    saveState.reset();
    song.title = title;
    song.author = author;
    song.bankName = bankName;
    if (!platform::WriteFileAtomically(songPath, EncodeSongFileV2(song))) {
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

    if (!StartsWith(*saveState, kStateMagic)) {
        screen.PrintLine("Dest is not a ZST file. Aborting.");
        return AfterOperation::BackToPrompt;
    }
    if (!StartsWith(*song, kSongMagic)) {
        screen.PrintLine("Source is not a MVS file. Aborting.");
        return AfterOperation::BackToPrompt;
    }
    const std::uint16_t version = ReadU16le(ReadZeroFilled(*song, kSongVersionOffset, 2), 0);
    const std::optional<SongNotesPlace> place = SongNotesPlaceFor(version);
    if (!place) {
        screen.PrintLine("Incompatible version of MVS file. Aborting.");
        return AfterOperation::BackToMenu;
    }

    screen.PrintLine("MVS Version " + std::to_string(version) + " ");
    screen.PrintLine("Injecting...");
    const std::vector<std::uint8_t> noteBlock = ReadZeroFilled(*song, place->notesOffset, kNoteBlockSize);
    const std::vector<std::uint8_t> tempo = ReadZeroFilled(*song, place->tempoOffset, 1);
    // Writing past the end of a short state lengthens it; the gap reads as zeros.
    if (!saveState->WriteAt(kStateNotesOffset, noteBlock) || !saveState->WriteAt(kStateTempoOffset, tempo)) {
        PrintCouldNotWrite(screen, statePath);
        return AfterOperation::BackToMenu;
    }

    screen.PrintLine("Complete.");
    screen.PrintLine("");
    return AfterOperation::BackToMenu;
}

}  // namespace melvo
