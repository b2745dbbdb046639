// Counts of the legal move tree: any fault in move generation, castling, en passant or
// promotion changes them. The positions are the usual ones for this purpose.

#include <gtest/gtest.h>

#include "chess/Position.h"

namespace {

// Depth 4 runs only in optimised builds; debug and sanitizer builds stop at 3.
#ifdef NDEBUG
constexpr int kMaxDepth = 4;
#else
constexpr int kMaxDepth = 3;
#endif

TEST(Perft, MatchesKnownCounts) {
    const struct {
        const char* fen;
        std::uint64_t nodes[4];  // depth 1..4
    } cases[] = {
        {chess::kStartFen, {20, 400, 8902, 197281}},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
         {48, 2039, 97862, 4085603}},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", {14, 191, 2812, 43238}},
        // Promotions and castling, then the same position with colours swapped.
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
         {6, 264, 9467, 422333}},
        {"r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
         {6, 264, 9467, 422333}},
        {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", {44, 1486, 62379, 2103487}},
        {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
         {46, 2079, 89890, 3894594}},
    };
    for (const auto& c : cases) {
        chess::Position pos;
        std::string error;
        ASSERT_TRUE(pos.setFen(c.fen, error)) << error;
        for (int depth = 1; depth <= kMaxDepth; ++depth) {
            EXPECT_EQ(chess::perft(pos, depth), c.nodes[depth - 1]) << c.fen << " depth " << depth;
        }
    }
}

}  // namespace
