// SAN both ways: a move as real files write it is found on the board (checked by its long
// notation) and written back in its one normalised form; faulty texts are refused with a
// reason.

#include <gtest/gtest.h>

#include "chess/San.h"

namespace {

constexpr const char* kStart = chess::kStartFen;
// White knights on b1 and f3 (both reach d2); rooks on a1 and a5 (both reach a3).
constexpr const char* kTwoKnights = "4k3/8/8/R7/8/5N2/8/RN2K3 w - - 0 1";
// Three white queens: a1, a3 and c1 all reach b2 (file, rank and both needed).
constexpr const char* kThreeQueens = "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1";
constexpr const char* kCastling = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
constexpr const char* kPromotion = "1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1";
constexpr const char* kPawnTakes = "4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1";
constexpr const char* kKnightTakes = "4k3/8/8/3p4/8/4N3/8/4K3 w - - 0 1";

struct SanCase {
    const char* fen;
    const char* written;   // as found in a file
    const char* expected;  // "<long notation> <how our writer prints it>", or "!" and the reason
};

TEST(San, ReadsTheMoveAndWritesItNormalisedOrGivesTheReason) {
    const SanCase cases[] = {
        {kStart, "e4", "e2e4 e4"},
        {kStart, "Nf3+", "g1f3 Nf3"},
        {kStart, "Ngf3", "g1f3 Nf3"},
        {kStart, "Ng1-f3", "g1f3 Nf3"},
        {kStart, "g1f3", "g1f3 Nf3"},
        {kTwoKnights, "Nbd2", "b1d2 Nbd2"},
        {kTwoKnights, "R5a3", "a5a3 R5a3"},
        {kThreeQueens, "Qa1b2", "a1b2 Qa1b2"},
        {kPawnTakes, "exd5", "e4d5 exd5"},
        {kPawnTakes, "ed5", "e4d5 exd5"},
        {kKnightTakes, "Nd5", "e3d5 Nxd5"},
        {kKnightTakes, "N:d5", "e3d5 Nxd5"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2", "exd6", "e5d6 exd6"},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", "Ra8", "a1a8 Ra8+"},
        {"6k1/5ppp/8/8/8/8/8/R3K3 w - - 0 1", "Ra8", "a1a8 Ra8#"},
        {kCastling, "O-O", "e1g1 O-O"},
        {kCastling, "O-O-O", "e1c1 O-O-O"},
        {kCastling, "0-0", "e1g1 O-O"},
        {kCastling, "0-0-0", "e1c1 O-O-O"},
        {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "O-O", "e1g1 O-O+"},
        {kPromotion, "a8=Q", "a7a8q a8=Q"},
        {kPromotion, "a8Q", "a7a8q a8=Q"},
        {kPromotion, "a8=N", "a7a8n a8=N"},
        {kPromotion, "a8=r", "a7a8r a8=R"},
        {kPromotion, "axb8=Q+", "a7b8q axb8=Q+"},
        {"4k3/8/8/8/8/8/8/4K3 b - - 0 1", "Kd7", "e8d7 Kd7"},
        // The knight on e2 is pinned, so Nd4 needs no file.
        {"4k3/8/8/8/4r3/8/2N1N3/4K3 w - - 0 1", "Nd4", "c2d4 Nd4"},

        {kTwoKnights, "Nd2", "!white knights on b1 and f3 can both move to d2"},
        {kThreeQueens, "Qab2", "!white queens on a1 and a3 can both move to b2"},
        {kStart, "Ne4", "!no white knight can reach e4"},
        {kStart, "Nd2", "!a white pawn stands on d2"},
        {kStart, "exd3", "!no white pawn can capture on d3"},
        {"4k3/8/8/8/4r3/8/4N3/4K3 w - - 0 1", "Nd4", "!it would leave the white king in check"},
        {"4k3/8/8/8/8/8/3r4/4K3 w - - 0 1", "Ke2", "!the white king would be in check on e2"},
        {"r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1", "O-O",
         "!the king would pass through or land on an attacked square"},
        {"r3k2r/8/8/8/8/8/4r3/R3K2R w KQkq - 0 1", "O-O-O", "!the white king is in check"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", "O-O", "!white may no longer castle kingside"},
        {"r3k2r/8/8/8/8/8/8/RN2K2R w KQkq - 0 1", "O-O-O", "!a piece stands between king and rook"},
        {kPromotion, "a8", "!a pawn reaching the last rank must promote"},
        {kStart, "e4=Q", "!only a pawn reaching the last rank can promote"},
        {kStart, "Xe4", "!not a move"},
        {kStart, "Nf", "!not a move"},
    };
    for (const SanCase& c : cases) {
        chess::Position pos;
        std::string why;
        ASSERT_TRUE(pos.setFen(c.fen, why)) << why;
        chess::Move move{};
        const std::string got = chess::parseSan(pos, c.written, move, why)
                                    ? chess::uciText(move) + " " + chess::sanText(pos, move)
                                    : "!" + why;
        EXPECT_EQ(got, c.expected) << c.written << " in " << c.fen;
    }
}

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
