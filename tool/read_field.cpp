#include "tool/read_field.hpp"

namespace melvo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Echo pieces are handed on at this size so a long line costs little memory.
constexpr std::size_t kEchoPieceLength = 4096;

}  // namespace

void FieldScanner::Keep(char c) {
    if (field_.size() < kMaxFieldLength) {
        field_.push_back(c);
    }
}

void FieldScanner::Feed(char c) {
    switch (phase_) {
        case Phase::LeadingBlanks:
            if (IsBlank(c)) {
                return;
            }
            if (c == '"') {
                phase_ = Phase::Quoted;
                return;
            }
            phase_ = Phase::Plain;
            Feed(c);
            return;
        case Phase::Quoted:
            if (c == '"') {
                phase_ = Phase::Done;
            } else {
                Keep(c);
            }
            return;
        case Phase::Plain:
            if (c == ',') {
                phase_ = Phase::Done;
            } else {
                Keep(c);
            }
            return;
        case Phase::Done:
            return;
    }
}

std::string FirstField(std::string_view line) {
    FieldScanner scanner;
    for (const char c : line) {
        scanner.Feed(c);
    }
    return scanner.field();
}

TypedLine ReadTypedLine(const NextByte& next, const EchoSink& echo) {
    FieldScanner scanner;
    std::string piece;
    auto take = [&](char c) {
        scanner.Feed(c);
        piece.push_back(c);
        if (piece.size() >= kEchoPieceLength) {
            echo(piece);
            piece.clear();
        }
    };

    TypedLine line;
    // A carriage return is held back until we know whether the line end follows it.
    bool carriageReturnPending = false;
    for (;;) {
        const std::optional<char> c = next();
        if (!c) {
            line.endedByEndOfInput = true;
            break;
        }
        if (*c == '\n') {
            break;
        }
        if (carriageReturnPending) {
            take('\r');
            carriageReturnPending = false;
        }
        if (*c == '\r') {
            carriageReturnPending = true;
        } else {
            take(*c);
        }
    }
    if (!piece.empty()) {
        echo(piece);
    }
    line.field = scanner.field();
    return line;
}

}  // namespace melvo
