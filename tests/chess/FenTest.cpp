// FEN reading and writing: what real files carry is accepted (and tidied), what cannot be a
// position is refused with a reason.

#include <gtest/gtest.h>

#include "chess/Position.h"

namespace {

TEST(Fen, IsWrittenBackTidiedOrRefusedWithReason) {
    const struct {
        const char* given;
        const char* expected;  // the FEN we write back, or "!" and the reason it is refused
    } cases[] = {
        {chess::kStartFen, chess::kStartFen},
        {"8/8/8/8/8/8/8/K6k w - -", "8/8/8/8/8/8/8/K6k w - - 0 1"},
        {"8/8/8/8/8/8/8/K6k b - - 3 0", "8/8/8/8/8/8/8/K6k b - - 3 1"},
        // The black king has left e8: its castling rights cannot hold.
        {"r4rk1/8/8/8/8/8/8/R3K2R w KQq - 0 1", "r4rk1/8/8/8/8/8/8/R3K2R w KQ - 0 1"},
        {"4k3/8/8/8/8/8/8/4K3 w - e6 0 1", "4k3/8/8/8/8/8/8/4K3 w - - 0 1"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2"},
        {"", "!it is empty"},
        {"8/8/8/8/8/8/8/K5k w - - 0 1", "!rank 1 does not have eight squares"},
        {"8/8/8/8/8/8/8/K6kK w - - 0 1", "!rank 1 has more than eight squares"},
        {"8/8/8/8/8/8/K6k w - - 0 1", "!the board does not have eight ranks"},
        {"8/8/8/8/8/8/8/K7 w - - 0 1", "!there is no black king"},
        {"8/8/8/8/8/8/8/K1K4k w - - 0 1", "!more than one white king"},
        {"4k3/8/8/8/8/8/8/P3K3 w - - 0 1", "!a pawn stands on rank 1"},
        {"4k3/8/8/8/8/8/8/X3K3 w - - 0 1", "!unknown piece letter 'X'"},
        {"4k3/8/8/8/8/8/8/4K3 x - - 0 1", "!the side to move must be w or b"},
        {"4k3/8/8/8/8/8/8/4K3 w X - 0 1", "!bad castling field \"X\""},
        {"4k3/8/8/8/8/8/8/4R1K1 w - - 0 1",
         "!the black king is in check although it is not to move"},
    };
    for (const auto& c : cases) {
        chess::Position pos;
        std::string error;
        const bool accepted = pos.setFen(c.given, error);
        EXPECT_EQ(accepted ? pos.fen() : "!" + error, c.expected) << c.given;
    }
}

}  // namespace
