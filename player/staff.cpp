#include "player/staff.hpp"

#include "formats/text_field.hpp"

namespace melvo {
namespace {

inline constexpr int kLastBeatColumn = kFirstBeatColumn + kBeatsPerStaff - 1;  // 49
inline constexpr int kEdgeColumn = kStaffWidth - 1;                            // 52
inline constexpr int kTopLineRow = 1;
inline constexpr int kBottomLineRow = 11;

bool IsLineRow(int row) { return row % 2 == 1; }
bool IsBarColumn(int column) { return (column - kFirstBeatColumn) % 4 == 0; }

// The line and space rows between the edges: "+"/"|" marks in the columns of
// every fourth beat and once more after the last beat.
char InnerCharacter(int row, int column) {
    if (IsLineRow(row)) {
        return column >= kFirstBeatColumn && column <= kLastBeatColumn + 1 && IsBarColumn(column) ? '+' : '-';
    }
    return column >= kFirstBeatColumn && column <= kLastBeatColumn + 1 && IsBarColumn(column) ? '|' : ' ';
}

// Staff 0 opens on the left and points right into staff 1; staff 1 comes in
// from the left and closes on the right.
char EdgeCharacter(int staff, int row, int column) {
    const bool outerLeft = staff == 0 && column == 0;
    const bool outerRight = staff == 1 && column == kEdgeColumn;
    if (outerLeft || outerRight) {
        if (row == kTopLineRow) {
            return outerLeft ? '/' : '\\';
        }
        if (row == kBottomLineRow) {
            return outerLeft ? '\\' : '/';
        }
        return '|';
    }
    return staff == 0 ? '>' : '<';
}

Staff EmptyStaff(int staff) {
    Staff rows{};
    for (int row = 0; row < kStaffRowCount; ++row) {
        StaffRow& text = rows[static_cast<std::size_t>(row)];
        const bool blank = row < kTopLineRow || row > kBottomLineRow;
        for (int column = 0; column < kStaffWidth; ++column) {
            char c = ' ';
            if (!blank) {
                c = column == 0 || column == kEdgeColumn ? EdgeCharacter(staff, row, column)
                                                         : InnerCharacter(row, column);
            }
            text[static_cast<std::size_t>(column)] = c;
        }
    }
    return rows;
}

std::string FieldLine(std::string_view label, const TextField& field) {
    std::string line(label);
    line += FieldText(field);
    line += '\n';
    return line;
}

}  // namespace

StaffText BuildStaves(const SongRecord& song) {
    StaffText text;
    text.staves = {EmptyStaff(0), EmptyStaff(1)};
    for (int beat = 0; beat < kBeatsPerSong; ++beat) {
        for (const NoteSlot& note : song.notes[static_cast<std::size_t>(beat)]) {
            if (note.IsEmptyPair() || note.pitch == 0 || note.pitch > kHighestStaffPitch) {
                continue;
            }
            Staff& staff = text.staves[static_cast<std::size_t>(beat / kBeatsPerStaff)];
            const int row = kHighestStaffPitch - note.pitch;
            const int column = kFirstBeatColumn + beat % kBeatsPerStaff;
            staff[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] =
                static_cast<char>(static_cast<std::uint8_t>(note.instrument + 'a'));
        }
    }
    return text;
}

std::string DrawHeader(const SongRecord& song, const InstrumentBank& bank) {
    std::string header = "Melvo Player v1.0\n\n";
    header += FieldLine("Title:      ", song.title);
    header += FieldLine("Author:     ", song.author);
    header += "Samplebank: ";
    header += FieldText(bank.packName);
    header += " by ";
    header += FieldLine("", bank.author);
    header += '\n';
    return header;
}

std::string DrawStaff(const StaffText& staves, int beat) {
    const int column = kFirstBeatColumn + beat % kBeatsPerStaff;
    std::string text(static_cast<std::size_t>(column), ' ');
    text += "@\n";
    const Staff& staff = staves.staves[beat < kBeatsPerStaff ? 0 : 1];
    for (const StaffRow& row : staff) {
        text.append(row.begin(), row.end());
        text += '\n';
    }
    return text;
}

}  // namespace melvo
