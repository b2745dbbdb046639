// The scanner's pieces of the move text (stretches, comments, variations) and its error
// texts. Where the last move is found is checked through the merge's result.

#include <gtest/gtest.h>

#include <map>

#include "pgn/MoveMerge.h"

namespace korvane {
namespace {

// The pieces after the header in text order: <stretch>, {comment}, (variation).
std::string Describe(const std::string& text, const MovetextPieces& p) {
    std::map<long, std::string> byStart;
    auto add = [&](const Positions& starts, const Positions& ends, const char* open,
                   const char* close) {
        for (std::size_t i = 0; i < starts.size(); ++i) {
            byStart[starts[i]] = open + text.substr(starts[i] - 1, ends[i] - starts[i] + 1) + close;
        }
    };
    add(p.gameStart, p.gameEnd, "<", ">");
    add(p.comStart, p.comEnd, "", "");
    add(p.varStart, p.varEnd, "", "");
    std::string out;
    for (const auto& [start, piece] : byStart) {
        out += piece;
    }
    return out;
}

TEST(Scanner, FindsPiecesOrReportsError) {
    const std::string tag = "[A \"1\"]";
    const std::pair<std::string, std::string> cases[] = {
        // text, Describe() or the error
        {tag, ""},
        {tag + " 1. e4 {good} e5 (1... c5) 2. Nf3", "< 1. e4 >{good}< e5 >(1... c5)< 2. Nf3>"},
        {tag + " 1. e4 {a} (b) c5 {d}", "< 1. e4 >{a}(b)< c5 >{d}"},  // one blank is no stretch
        {tag + " 1. e4 (a (b) c) e5", "< 1. e4 >(a (b) c)< e5>"},
        {tag + " 1. e4 (a (b (c)) d) e5", "< 1. e4 >(a (b (c)) d)< e5>"},
        {tag + " 1. e4 (a {b :) (c} d) e5", "< 1. e4 >(a {b :) (c} d)< e5>"},
        {tag + "\r\n1. e4 {[%clk 1:00:00]} e5", "<\r\n1. e4 >{[%clk 1:00:00]}< e5>"},
        // Without comments in the text, brackets are tags wherever they stand.
        {tag + "\r\n[B \"2\"]\r\n1. e4 [x] e5", "< e5>"},
        // A quote left open on its line does not swallow the tags and moves after it.
        {tag + "\r\n[B \"x]\r\n1. e4", "<\r\n1. e4>"},
        {tag + " 1. e4 ; a {b (c\r\ne5 % x\r\n%esc (\r\nd4 (d5 ; )\r\n)",
         "< 1. e4 >; a {b (c\r\n<e5 % x\r\n>%esc (\r\n<d4 >(d5 ; )\r\n)"},
        {tag + "\r\n[B \"2\"\r\n1. e4", "Missing ] in pgn"},
        {tag + "\r\n[B \"2\"\r\n1. e4 {c}", "Missing ] in header tags."},
        {"1. e4 e5", "Error in procedure FindLastTag."},
        {tag + " 1. e4 {a (b) e5", "There's a missing } to close a comment."},
        {tag + " 1. e4 (b) e5 {a", "There's a comment with no closing tag }"},
        {tag + " 1. e4 (b e5", "There's a variation not closed with )."},
    };
    for (const auto& [text, expected] : cases) {
        EditedScan scan;
        const PgnError error = ParsePgnText(text, "g.pgn", scan);
        EXPECT_EQ(error && scan.steps < 2 ? *error : Describe(text, scan.pieces), expected) << text;
    }
}

}  // namespace
}  // namespace korvane
