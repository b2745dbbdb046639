#pragma once
// Steps and squares of the 0x88 board shared by FEN reading and move generation.

#include "chess/Types.h"

namespace chess {

constexpr int kKnightSteps[8] = {33, 31, 18, 14, -33, -31, -18, -14};
constexpr int kKingSteps[8] = {1, -1, 16, -16, 15, 17, -15, -17};
constexpr int kBishopSteps[4] = {15, 17, -15, -17};
constexpr int kRookSteps[4] = {1, -1, 16, -16};

constexpr Square kE1 = makeSquare(4, 0), kA1 = makeSquare(0, 0), kH1 = makeSquare(7, 0);
constexpr Square kE8 = makeSquare(4, 7), kA8 = makeSquare(0, 7), kH8 = makeSquare(7, 7);

inline int pawnStep(Color c) {
    return c == White ? 16 : -16;
}

// The castling rights that survive a move touching sq (king or rook moved or captured).
inline std::uint8_t castlingMaskFor(Square sq) {
    switch (sq) {
        case kE1:
            return static_cast<std::uint8_t>(~(WhiteKingside | WhiteQueenside));
        case kA1:
            return static_cast<std::uint8_t>(~WhiteQueenside);
        case kH1:
            return static_cast<std::uint8_t>(~WhiteKingside);
        case kE8:
            return static_cast<std::uint8_t>(~(BlackKingside | BlackQueenside));
        case kA8:
            return static_cast<std::uint8_t>(~BlackQueenside);
        case kH8:
            return static_cast<std::uint8_t>(~BlackKingside);
        default:
            return 0xff;
    }
}

// The step leading from a to b along a rank, file or diagonal; 0 when they share none.
inline int lineStep(Square a, Square b) {
    const int df = fileOf(b) - fileOf(a), dr = rankOf(b) - rankOf(a);
    if ((df == 0 && dr == 0) || (df != 0 && dr != 0 && df != dr && df != -dr)) {
        return 0;
    }
    return (dr > 0 ? 16 : dr < 0 ? -16 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
}

}  // namespace chess
