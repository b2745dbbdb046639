// FEN reading and writing: what real files carry is accepted (and tidied), what cannot be a
// position is refused with a reason.

#include <gtest/gtest.h>

#include "chess/Position.h"
#include "chess/San.h"

namespace {

struct FenCase {
    const char* name;
    const char* given;
    const char* expected;  // the FEN we write back, or the reason it is refused
    bool accepted = true;
};

class Fen : public testing::TestWithParam<FenCase> {};

TEST_P(Fen, IsWrittenBackTidiedOrRefusedWithReason) {
    chess::Position pos;
    std::string error;
    ASSERT_EQ(pos.setFen(GetParam().given, error), GetParam().accepted) << error;
    EXPECT_EQ(GetParam().accepted ? pos.fen() : error, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fens, Fen,
    testing::Values(
        FenCase{"Start", chess::kStartFen, chess::kStartFen},
        FenCase{"ClocksMissing", "8/8/8/8/8/8/8/K6k w - -", "8/8/8/8/8/8/8/K6k w - - 0 1"},
        FenCase{"MoveNumberZero", "8/8/8/8/8/8/8/K6k b - - 3 0", "8/8/8/8/8/8/8/K6k b - - 3 1"},
        // The black king has left e8: its castling rights cannot hold.
        FenCase{"ImpossibleCastlingDropped", "r4rk1/8/8/8/8/8/8/R3K2R w KQq - 0 1",
                "r4rk1/8/8/8/8/8/8/R3K2R w KQ - 0 1"},
        FenCase{"ImpossibleEnPassantDropped", "4k3/8/8/8/8/8/8/4K3 w - e6 0 1",
                "4k3/8/8/8/8/8/8/4K3 w - - 0 1"},
        FenCase{"EnPassantKept", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2",
                "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2"},
        FenCase{"Empty", "", "it is empty", false},
        FenCase{"ShortRank", "8/8/8/8/8/8/8/K5k w - - 0 1", "rank 1 does not have eight squares",
                false},
        FenCase{"LongRank", "8/8/8/8/8/8/8/K6kK w - - 0 1", "rank 1 has more than eight squares",
                false},
        FenCase{"SevenRanks", "8/8/8/8/8/8/K6k w - - 0 1", "the board does not have eight ranks",
                false},
        FenCase{"NoBlackKing", "8/8/8/8/8/8/8/K7 w - - 0 1", "there is no black king", false},
        FenCase{"TwoWhiteKings", "8/8/8/8/8/8/8/K1K4k w - - 0 1", "more than one white king",
                false},
        FenCase{"PawnOnFirstRank", "4k3/8/8/8/8/8/8/P3K3 w - - 0 1", "a pawn stands on rank 1",
                false},
        FenCase{"BadLetter", "4k3/8/8/8/8/8/8/X3K3 w - - 0 1", "unknown piece letter 'X'", false},
        FenCase{"BadSide", "4k3/8/8/8/8/8/8/4K3 x - - 0 1", "the side to move must be w or b",
                false},
        FenCase{"BadCastling", "4k3/8/8/8/8/8/8/4K3 w X - 0 1", "bad castling field \"X\"", false},
        FenCase{"SideNotToMoveInCheck", "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1",
                "the black king is in check although it is not to move", false}),
    [](const testing::TestParamInfo<FenCase>& p) { return std::string(p.param.name); });

// Playing moves keeps the FEN's counters, castling rights and en-passant square right.
TEST(FenAfterMoves, TracksCountersRightsAndEnPassant) {
    chess::Position pos;
    for (const char* san : {"e4", "Nf6", "e5", "d5", "Ke2"}) {
        chess::Move move{};
        std::string why;
        ASSERT_TRUE(chess::parseSan(pos, san, move, why)) << san << ": " << why;
        pos.makeMove(move);
    }
    EXPECT_EQ(pos.fen(), "rnbqkb1r/ppp1pppp/5n2/3pP3/8/8/PPPPKPPP/RNBQ1BNR b kq - 1 3");
}

}  // namespace
