// A deeper perft run: too slow for every build, labelled "slow".

#include <gtest/gtest.h>

#include "chess/Position.h"

namespace {

TEST(PerftDeep, EnPassantPinsDepth6) {
    chess::Position pos;
    std::string error;
    ASSERT_TRUE(pos.setFen("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", error));
    EXPECT_EQ(chess::perft(pos, 6), 11030083u);
}

}  // namespace
