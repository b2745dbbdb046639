// The scanner's structure and error texts, and the last-move finder's number, move, side
// and paste point.

#include <gtest/gtest.h>

#include <map>

#include "pgn/MoveMerge.h"

namespace korvane {
namespace {

const std::string kTag = "[A \"1\"]";

// The pieces after the header in text order: <stretch>, {comment}, (variation).
std::string Describe(const std::string& text, const MovetextPieces& p) {
    std::map<long, std::string> byStart;
    auto add = [&](const Positions& starts, const Positions& ends, const char* open,
                   const char* close, long skip) {
        for (std::size_t i = 0; i < starts.size(); ++i) {
            byStart[starts[i]] =
                open + text.substr(starts[i] - 1 + skip, ends[i] - starts[i] + 1 - 2 * skip) +
                close;
        }
    };
    add(p.gameStart, p.gameEnd, "<", ">", 0);
    add(p.comStart, p.comEnd, "", "", 0);
    add(p.varStart, p.varEnd, "", "", 0);
    std::string out;
    for (const auto& [start, piece] : byStart) {
        out += piece;
    }
    return out;
}

struct ScanCase {
    std::string name;
    std::string text;
    std::string expected;  // Describe() of the pieces, or the error message
};
void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

class Scanner : public testing::TestWithParam<ScanCase> {};

TEST_P(Scanner, FindsPiecesOrReportsError) {
    const ScanCase& c = GetParam();
    EditedScan scan;
    const PgnError error = ParsePgnText(c.text, "g.pgn", scan);
    if (error && scan.steps < 2) {
        EXPECT_EQ(*error, c.expected);
    } else {
        EXPECT_EQ(Describe(c.text, scan.pieces), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Structure, Scanner,
    testing::Values(
        ScanCase{"TagsOnly", kTag, ""},
        ScanCase{"CommentVariationStretches", kTag + " 1. e4 {good} e5 (1... c5) 2. Nf3",
                 "< 1. e4 >{good}< e5 >(1... c5)< 2. Nf3>"},
        ScanCase{"SingleBlankIsNoStretch", kTag + " 1. e4 {a} (b) c5 {d}",
                 "< 1. e4 >{a}(b)< c5 >{d}"},
        ScanCase{"NestedVariationEndsAtLastParen", kTag + " 1. e4 (a (b) c) e5",
                 "< 1. e4 >(a (b) c)< e5>"},
        ScanCase{"NestedThreeDeepEndsAtItsOwnParen", kTag + " 1. e4 (a (b (c)) d) e5",
                 "< 1. e4 >(a (b (c)) d)< e5>"},
        ScanCase{"ParenInCommentInVariation", kTag + " 1. e4 (a {b :) (c} d) e5",
                 "< 1. e4 >(a {b :) (c} d)< e5>"},
        ScanCase{"ClockNoteInCommentIsNoTag", kTag + "\r\n1. e4 {[%clk 1:00:00]} e5",
                 "<\r\n1. e4 >{[%clk 1:00:00]}< e5>"},
        ScanCase{"BracketsWithoutCommentsAreTags", kTag + "\r\n[B \"2\"]\r\n1. e4 [x] e5", "< e5>"},
        ScanCase{"MissingCloseWithoutComments", kTag + "\r\n[B \"2\"\r\n1. e4", "Missing ] in pgn"},
        ScanCase{"MissingCloseInHeader", kTag + "\r\n[B \"2\"\r\n1. e4 {c}",
                 "Missing ] in header tags."},
        ScanCase{"NoTagAtAll", "1. e4 e5", "Error in procedure FindLastTag."},
        ScanCase{"UnclosedCommentBeforeVariation", kTag + " 1. e4 {a (b) e5",
                 "There's a missing } to close a comment."},
        ScanCase{"UnclosedCommentAfterVariations", kTag + " 1. e4 (b) e5 {a",
                 "There's a comment with no closing tag }"},
        // A quote left open on its line does not swallow the tags and moves after it.
        ScanCase{"UnclosedQuoteEndsAtFirstBracket", kTag + "\r\n[B \"x]\r\n1. e4", "<\r\n1. e4>"},
        ScanCase{"LineCommentsArePieces",
                 kTag + " 1. e4 ; a {b (c\r\ne5 % x\r\n%esc (\r\nd4 (d5 ; )\r\n)",
                 "< 1. e4 >; a {b (c\r\n<e5 % x\r\n>%esc (\r\n<d4 >(d5 ; )\r\n)"},
        ScanCase{"UnclosedVariation", kTag + " 1. e4 (b e5",
                 "There's a variation not closed with )."}),
    [](const auto& row) { return row.param.name; });

struct LastMoveCase {
    std::string name;
    std::string moves;  // text after kTag
    long number;
    std::string move;
    char side;         // 'W', 'B' (Black when both flags are set) or '-'
    std::string kept;  // the moves text before the paste point
};
void PrintTo(const LastMoveCase& c, std::ostream* os) {
    *os << c.name;
}

class LastMove : public testing::TestWithParam<LastMoveCase> {};

TEST_P(LastMove, FindsNumberMoveSideAndPastePoint) {
    const LastMoveCase& c = GetParam();
    const std::string text = kTag + c.moves;
    EditedScan scan;
    ASSERT_FALSE(ParsePgnText(text, "g.pgn", scan));
    EXPECT_EQ(scan.last.LastMove, c.number);
    EXPECT_EQ(scan.last.sLastMove, c.move);
    EXPECT_EQ(scan.last.bBlackLast ? 'B' : scan.last.bWhiteLast ? 'W' : '-', c.side);
    EXPECT_EQ(text.substr(kTag.size(), scan.last.PastePoint - 1 - kTag.size()), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, LastMove,
    testing::Values(
        LastMoveCase{"TagsOnly", "\r\n\r\n*\r\n", 0, "", '-', "\r\n"},
        LastMoveCase{"TagsOnlyLfLineEnds", "\n*\n", 0, "", '-', "\n"},
        LastMoveCase{"PreGameCommentKept", "\r\n{Live from round 5}\r\n*", 0, "", '-',
                     "\r\n{Live from round 5}"},
        LastMoveCase{"White", "\r\n1. e4 e5 2. Nf3\r\n", 2, "Nf3", 'W', "\r\n1. e4 e5 2. Nf3"},
        LastMoveCase{"Black", "\r\n1. e4 e5 2. Nf3 Nc6\r\n", 2, "Nc6", 'B',
                     "\r\n1. e4 e5 2. Nf3 Nc6"},
        LastMoveCase{"NagSkipped", " 1. e4 e5 2. Nf3 $1 Nc6 *", 2, "Nc6", 'B',
                     " 1. e4 e5 2. Nf3 $1 Nc6"},
        LastMoveCase{"ReplyAfterComment", " 1. e4 e5 2. Nf3 {good} Nc6\r\n", 2, "Nc6", 'B',
                     " 1. e4 e5 2. Nf3 {good} Nc6"},
        LastMoveCase{"NumberedReplyAfterComment", " 1. e4 e5 2. Nf3 {good} 2... Nc6\r\n", 2, "Nc6",
                     'B', " 1. e4 e5 2. Nf3 {good} 2... Nc6"},
        LastMoveCase{"ZeroCastlingIsNoMove", " 1. e4 e5 2. O-O 0-0 *", 2, "O-O", 'W',
                     " 1. e4 e5 2. O-O"},
        LastMoveCase{"MoveBeforeBrace", " 1. e4 e5 2. Nf3 {a} e6{b}", 2, "e6", 'B',
                     " 1. e4 e5 2. Nf3 {a} e6{b}"}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace korvane
