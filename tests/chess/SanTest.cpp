// SAN both ways: a move as real files write it is found on the board (checked by its long
// notation) and written back in its one normalised form; faulty texts are refused with a
// reason.

#include <gtest/gtest.h>

#include "chess/San.h"

namespace {

chess::Position positionOf(const char* fen) {
    chess::Position pos;
    std::string error;
    EXPECT_TRUE(pos.setFen(fen, error)) << error;
    return pos;
}

struct SanCase {
    const char* name;
    const char* fen;
    const char* written;  // as found in a file
    const char* uci;      // the move it must be
    const char* san;      // how our writer prints it
};

class SanRoundTrip : public testing::TestWithParam<SanCase> {};

TEST_P(SanRoundTrip, ReadsTheMoveAndWritesItNormalised) {
    const SanCase& c = GetParam();
    const chess::Position pos = positionOf(c.fen);
    chess::Move move{};
    std::string why;
    ASSERT_TRUE(chess::parseSan(pos, c.written, move, why)) << why;
    EXPECT_EQ(chess::uciText(move), c.uci);
    EXPECT_EQ(chess::sanText(pos, move), c.san);
}

constexpr const char* kStart = chess::kStartFen;
// White knights on b1 and f3 (both reach d2); rooks on a1 and a5 (both reach a3).
constexpr const char* kTwoKnights = "4k3/8/8/R7/8/5N2/8/RN2K3 w - - 0 1";
// Three white queens: a1, a3 and c1 all reach b2 (file, rank and both needed).
constexpr const char* kThreeQueens = "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1";
constexpr const char* kCastling = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
constexpr const char* kPromotion = "1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1";
constexpr const char* kEnPassant = "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2";

INSTANTIATE_TEST_SUITE_P(
    Moves, SanRoundTrip,
    testing::Values(
        SanCase{"PawnPush", kStart, "e4", "e2e4", "e4"},
        SanCase{"KnightMove", kStart, "Nf3", "g1f3", "Nf3"},
        SanCase{"DisambiguationByFile", kTwoKnights, "Nbd2", "b1d2", "Nbd2"},
        SanCase{"DisambiguationByRank", kTwoKnights, "R5a3", "a5a3", "R5a3"},
        SanCase{"DisambiguationBySquare", kThreeQueens, "Qa1b2", "a1b2", "Qa1b2"},
        SanCase{"SuperfluousDisambiguationDropped", kStart, "Ngf3", "g1f3", "Nf3"},
        SanCase{"LongNotationWithHyphen", kStart, "Ng1-f3", "g1f3", "Nf3"},
        SanCase{"UciText", kStart, "g1f3", "g1f3", "Nf3"},
        SanCase{"PawnCaptureWithX", "4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "exd5", "e4d5", "exd5"},
        SanCase{"PawnCaptureWithoutX", "4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "ed5", "e4d5", "exd5"},
        SanCase{"PieceCaptureWithoutX", "4k3/8/8/3p4/8/4N3/8/4K3 w - - 0 1", "Nd5", "e3d5", "Nxd5"},
        SanCase{"CaptureWithColon", "4k3/8/8/3p4/8/4N3/8/4K3 w - - 0 1", "N:d5", "e3d5", "Nxd5"},
        SanCase{"EnPassant", kEnPassant, "exd6", "e5d6", "exd6"},
        SanCase{"CheckMarkIgnoredOnInput", kStart, "Nf3+", "g1f3", "Nf3"},
        SanCase{"CheckAdded", "4k3/8/8/8/8/8/8/R3K3 w - - 0 1", "Ra8", "a1a8", "Ra8+"},
        SanCase{"MateAdded", "6k1/5ppp/8/8/8/8/8/R3K3 w - - 0 1", "Ra8", "a1a8", "Ra8#"},
        SanCase{"CastleKingside", kCastling, "O-O", "e1g1", "O-O"},
        SanCase{"CastleQueenside", kCastling, "O-O-O", "e1c1", "O-O-O"},
        SanCase{"CastleWithZeros", kCastling, "0-0", "e1g1", "O-O"},
        SanCase{"CastleLongWithZeros", kCastling, "0-0-0", "e1c1", "O-O-O"},
        SanCase{"CastleGivingCheck", "5k2/8/8/8/8/8/8/4K2R w K - 0 1", "O-O", "e1g1", "O-O+"},
        SanCase{"PromotionWithEquals", kPromotion, "a8=Q", "a7a8q", "a8=Q"},
        SanCase{"PromotionWithoutEquals", kPromotion, "a8Q", "a7a8q", "a8=Q"},
        SanCase{"UnderPromotion", kPromotion, "a8=N", "a7a8n", "a8=N"},
        SanCase{"PromotionLowerCase", kPromotion, "a8=r", "a7a8r", "a8=R"},
        SanCase{"CapturePromotion", kPromotion, "axb8=Q+", "a7b8q", "axb8=Q+"},
        SanCase{"BlackMove", "4k3/8/8/8/8/8/8/4K3 b - - 0 1", "Kd7", "e8d7", "Kd7"},
        SanCase{"PinnedPieceNeedsNoDisambiguation", "4k3/8/8/8/4r3/8/2N1N3/4K3 w - - 0 1", "Nd4",
                "c2d4", "Nd4"}),
    [](const testing::TestParamInfo<SanCase>& p) { return std::string(p.param.name); });

struct RejectCase {
    const char* name;
    const char* fen;
    const char* written;
    const char* why;  // the reason given
};

class SanRejected : public testing::TestWithParam<RejectCase> {};

TEST_P(SanRejected, GivesTheReason) {
    const RejectCase& c = GetParam();
    chess::Move move{};
    std::string why;
    EXPECT_FALSE(chess::parseSan(positionOf(c.fen), c.written, move, why));
    EXPECT_EQ(why, c.why);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, SanRejected,
    testing::Values(RejectCase{"Ambiguous", kTwoKnights, "Nd2",
                               "white knights on b1 and f3 can both move to d2"},
                    RejectCase{"AmbiguousDespiteFile", kThreeQueens, "Qab2",
                               "white queens on a1 and a3 can both move to b2"},
                    RejectCase{"NoPieceReaches", kStart, "Ne4", "no white knight can reach e4"},
                    RejectCase{"OwnPieceOnTarget", kStart, "Nd2", "a white pawn stands on d2"},
                    RejectCase{"PawnCannotCapture", kStart, "exd3",
                               "no white pawn can capture on d3"},
                    RejectCase{"PinnedPiece", "4k3/8/8/8/4r3/8/4N3/4K3 w - - 0 1", "Nd4",
                               "it would leave the white king in check"},
                    RejectCase{"KingIntoCheck", "4k3/8/8/8/8/8/3r4/4K3 w - - 0 1", "Ke2",
                               "the white king would be in check on e2"},
                    RejectCase{"CastleThroughCheck", "r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1",
                               "O-O", "the king would pass through or land on an attacked square"},
                    RejectCase{"CastleOutOfCheck", "r3k2r/8/8/8/8/8/4r3/R3K2R w KQkq - 0 1",
                               "O-O-O", "the white king is in check"},
                    RejectCase{"CastleWithoutRight", "r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", "O-O",
                               "white may no longer castle kingside"},
                    RejectCase{"CastleBlocked", "r3k2r/8/8/8/8/8/8/RN2K2R w KQkq - 0 1", "O-O-O",
                               "a piece stands between king and rook"},
                    RejectCase{"PromotionMissing", kPromotion, "a8",
                               "a pawn reaching the last rank must promote"},
                    RejectCase{"PromotionTooEarly", kStart, "e4=Q",
                               "only a pawn reaching the last rank can promote"},
                    RejectCase{"NoMove", kStart, "Xe4", "not a move"},
                    RejectCase{"CutShort", kStart, "Nf", "not a move"}),
    [](const testing::TestParamInfo<RejectCase>& p) { return std::string(p.param.name); });

// The syntax reader tells a move cut short (as in a file being rewritten) from text that
// is no move at all.
TEST(SanSyntax, TellsCutShortFromNonsense) {
    chess::SanSyntax syntax;
    size_t used = 0;
    for (const char* cut : {"N", "Bg", "d", "e8=", "O-O-", "Qh4x", "0-"}) {
        EXPECT_EQ(chess::parseSanSyntax(cut, syntax, used), chess::SanSyntaxStatus::Incomplete)
            << cut;
    }
    for (const char* bad : {"Xe4", "Nz3", "e9", "e8=K", "-"}) {
        EXPECT_EQ(chess::parseSanSyntax(bad, syntax, used), chess::SanSyntaxStatus::Invalid) << bad;
    }
    ASSERT_EQ(chess::parseSanSyntax("Nf3+!?", syntax, used), chess::SanSyntaxStatus::Ok);
    EXPECT_EQ(used, 3u);
}

}  // namespace
