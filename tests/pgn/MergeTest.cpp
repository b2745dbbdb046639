// The text-level merge: where the source's continuation is taken from, where it goes in the
// edited text, its failure messages, and the header-tag refresh. The plain cases (either
// side last, comments, glyphs, clock notes, line breaks) are covered by the real-game test;
// these are the texts that once merged wrongly or that real games rarely hold.

#include <gtest/gtest.h>

#include "pgn/MoveMerge.h"
#include "pgn/TagsToChange.h"

namespace korvane {
namespace {

const std::string kHeader = "[Event \"Open\"]\r\n[Date \"2026.05.12\"]\r\n[Result \"*\"]\r\n\r\n";
const std::string kTakeBack =
    " isn't in the source file.If moves have been removed from the source file you must edit "
    "the target pgn file too.";

// Texts that bring no header of their own (nor are an error) get kHeader in front.
std::string Full(const std::string& text) {
    return text[0] == '[' || text[0] == '!' ? text : kHeader + text;
}

struct MergeCase {
    std::string name;
    std::string edited;
    std::string source;
    std::string expected;  // the merged text, or "!" and the error message
};

// Header-tag refresh: only the listed tags come from the source, as whole tag names; a
// listed tag the edited header lacks is not added.
MergeCase TagRow(std::string name, std::string edited, std::string source, std::string merged) {
    const std::string moves = "\r\n\r\n1. e4 *\r\n";
    return {"Tags" + name, edited + moves, source + moves, merged + "\r\n\r\n1. e4  *\r\n"};
}

// A finished game (with a comment) before the live one keeps its moves and its own result.
const std::string kOldGame =
    "[Event \"Old\"]\r\n[Result \"1-0\"]\r\n\r\n1. d4 {[%clk 1:00:00]} d5 2. c4 1-0\r\n\r\n";
const std::string kLiveGame =
    "[Event \"E\"]\r\n[Result \"0-1\"]\r\n\r\n1. e4 e5 2. Nf3 Nc6 0-1\r\n";
const std::string kLiveEdited =
    "[Event \"E\"]\r\n\r\n[Result \"*\"]\r\n\r\n1. e4 {Operator: fine} e5 2. Nf3\r\n*\r\n";
const std::string kLiveMerged =
    "[Event \"E\"]\r\n[Result \"0-1\"]\r\n\r\n1. e4 {Operator: fine} e5 2. Nf3  Nc6 0-1\r\n";

TEST(MergeMoves, KeepsEditedTextAndAppendsContinuation) {
    const MergeCase cases[] = {
        {"NoMovesYet", "*\r\n", "1. d4 d5 *", "1. d4 d5 *"},
        {"NoMovesInEither", "*\r\n", "*\r\n", "*\r\n"},
        {"PreGameCommentKept", "{Live from round 5}\r\n*", "1. d4 d5 *",
         "{Live from round 5}\r\n1. d4 d5 *"},
        {"NoMovesLfLineEnds", "[Event \"E\"]\n\n*\n", "[Event \"E\"]\n\n1. d4 *\n",
         "[Event \"E\"]\n\n1. d4 *\n"},
        {"MovesTakenBack", "1. e4 e5 2. Nf3 Nc6 *", "1. e4 e5 *",
         "!The last movenumber 2" + kTakeBack},
        // A move the board corrected is not taken from a later move of the same text.
        {"CorrectedWhiteMove", "1. e4 e5 2. Nf3\r\n*", "1. e4 e5 2. d4 Nf6 3. Nf3 d5 *",
         "!The last move, Nf3" + kTakeBack},
        {"CorrectedBlackMove", "1. e4 e5 2. Nf3 Nc6\r\n*", "1. e4 e5 2. Nf3 Nf6 3. Bc4 Nc6 4. d3 *",
         "!The last move, Nc6" + kTakeBack},
        {"CorrectedWhiteMoveFurtherBack", "1. e4 e5 2. Nf3 Nc6 3. Bb5\r\n*",
         "1. e4 e5 2. d4 Nc6 3. Bb5 a6 *", "!The move 2. Nf3" + kTakeBack},
        {"CorrectedBlackMoveFurtherBack", "1. e4 e5 2. Nf3 Nc6 3. Bb5\r\n*",
         "1. e4 e5 2. Nf3 Nf6 3. Bb5 a6 *", "!The move 2... Nc6" + kTakeBack},
        {"LonePieceLetter", "1. e4 e5 2. N *", "1. e4 e5 2. Nf3 *",
         "!2. N is not a valid move. Error in /f/game.pgn. Korvane will use the source file."},
        // The move number is looked for as a marker in the move text, not as digits in the
        // header's date (5 in 2026.05.12), so 5. Rd1 is not found at 2. Rd1.
        {"NumberNotTakenFromDate", "1. e4 e5 2. Rd1 Rd8 3. Kf1 Kf8 4. Ke1 Ke8 5. Rd1\r\n",
         "1. e4 e5 2. Rd1 Rd8 3. Kf1 Kf8 4. Ke1 Ke8 5. Rd1 Re8 6. h3 *",
         "1. e4 e5 2. Rd1 Rd8 3. Kf1 Kf8 4. Ke1 Ke8 5. Rd1  Re8 6. h3 *"},
        {"MarkerNotTakenFromEval", "1. e4 e5 {[%eval 2.35]} 2. Nf3 Nc6 {op}",
         "1. e4 e5 {[%eval 2.35]} 2. Nf3 Nc6 {[%eval 3.10]} 3. Bb5 *",
         "1. e4 e5 {[%eval 2.35]} 2. Nf3 Nc6 {op} 3. Bb5 *"},
        {"ReplyBehindLoneGlyph", "1. e4 {c} $1 {d} e5 {e}", "1. e4 e5 2. Nf3 *",
         "1. e4 {c} $1 {d} e5 {e} 2. Nf3 *"},
        // Variations nested three deep after the last move stay whole.
        {"DeepVariationKept", "1. e4 e5 2. Nf3 (2. f4 (2. Nc3 (2. d4 exd4)) 2... exf4) *",
         "1. e4 e5 2. Nf3 Nc6 *", "1. e4 e5 2. Nf3 (2. f4 (2. Nc3 (2. d4 exd4)) 2... exf4)  Nc6 *"},
        {"GlyphsAfterLastCommentKept", "1. e4 e5 2. Nf3 Nc6 $22 {z}\r\n$146 !?\r\n*",
         "1. e4 e5 2. Nf3 Nc6 3. Bb5 *", "1. e4 e5 2. Nf3 Nc6 $22 {z}\r\n$146 !? 3. Bb5 *"},
        // Rest-of-line comments and escape lines: kept whole, new moves go on the next line,
        // a marker inside one in the source is not where the game goes on, and a bracket in
        // one is no header tag.
        {"SemicolonCommentAfterLastMoveKept", "1. e4 e5 2. Nf3 {c} Nc6 ; my note\r\n*",
         "1. e4 e5 2. Nf3 Nc6 3. Bb5 *", "1. e4 e5 2. Nf3 {c} Nc6 ; my note\r\n 3. Bb5 *"},
        {"SemicolonCommentEndsTheText", "1. e4 e5 ; see [Old 1886]\r\n2. Nf3 Nc6 ; 3. d4 next",
         "1. e4 e5 2. Nf3 Nc6 3. Bb5 *",
         "1. e4 e5 ; see [Old 1886]\r\n2. Nf3 Nc6 ; 3. d4 next\r\n3. Bb5 *"},
        {"EscapeLineBeforeLastMove", "1. e4 e5\r\n% [Round \"6\"] 3. d4 {\r\n2. Nf3\r\n*",
         "1. e4 e5 2. Nf3 Nc6 *", "1. e4 e5\r\n% [Round \"6\"] 3. d4 {\r\n2. Nf3  Nc6 *"},
        {"MarkerInSourceLineCommentSkipped", "1. e4 e5 2. Nf3 Nc6\r\n*",
         "1. e4 e5 ; see [Old 1886]\r\n2. Nf3 Nc6 ; 3. d4 was expected\r\n3. Bb5 *",
         "1. e4 e5 2. Nf3 Nc6 3. Bb5 *"},
        {"MoveEndsTheText", "1. e4 e5 2. Nf3 $1 Nc6", "1. e4 e5 2. Nf3 Nc6 3. Bb5 *",
         "1. e4 e5 2. Nf3 $1 Nc6 3. Bb5 *"},
        {"ReplyAfterCommentEndsTheText", "1. e4 e5 2. Nf3 {good} Nc6",
         "1. e4 e5 2. Nf3 Nc6 3. Bb5 *", "1. e4 e5 2. Nf3 {good} Nc6 3. Bb5 *"},
        {"ReplyBeforeBrace", "1. e4 e5 2. Nf3 {a} e6{b}", "1. e4 e5 2. Nf3 e6 3. d4 *",
         "1. e4 e5 2. Nf3 {a} e6{b} 3. d4 *"},
        // No new move, the result arrives: Black's move is not taken from White's Bxf6.
        {"FinalResultAfterSameMoveText", "1. d4 Nf6 2. Bg5 e6 3. Bxf6 Bxf6 {[%clk 1:00:00]}\r\n*",
         "1. d4 Nf6 2. Bg5 e6 3. Bxf6 Bxf6 {[%clk 1:00:00]} 1-0",
         "1. d4 Nf6 2. Bg5 e6 3. Bxf6 Bxf6 {[%clk 1:00:00]}  1-0"},
        TagRow(
            "WholeWordOnly",
            "[White \"A\"]\r\n[TimeControl \"40/7200\"]\r\n[WhiteClock \"1:00\"]\r\n[Result \"*\"]",
            "[White \"B\"]\r\n[TimeControl \"G/60\"]\r\n[WhiteClock \"0:50\"]\r\n[Time "
            "\"12:00\"]\r\n[Clock \"x\"]\r\n[Result \"1-0\"]",
            "[White \"A\"]\r\n[TimeControl \"G/60\"]\r\n[WhiteClock \"0:50\"]\r\n[Result \"1-0\"]"),
        TagRow("ValueIsNotAName", "[Event \"Blitz Time Cup\"]\r\n[Time \"10:00\"]",
               "[Event \"Other\"]\r\n[Time \"10:05\"]\r\n[Annotator \"Time keeper\"]",
               "[Event \"Blitz Time Cup\"]\r\n[Time \"10:05\"]"),
        TagRow("HeaderRebuiltOnePerLine", "[Event \"E\"]\r\n\r\n; note\r\n[Result \"*\"]",
               "[Result \"0-1\"]", "[Event \"E\"]\r\n[Result \"0-1\"]"),
        TagRow("BracketInsideValueKept",
               "[Site \"Barcelona 47/564 [Nogueiras,J; Garcia,P.J]\"]\r\n[Result \"*\"]",
               "[Result \"1-0\"]",
               "[Site \"Barcelona 47/564 [Nogueiras,J; Garcia,P.J]\"]\r\n[Result \"1-0\"]"),
        {"EarlierGameInEditedFileKept", kOldGame + kLiveEdited, kLiveGame, kOldGame + kLiveMerged},
        {"EarlierGameInBothFilesKept", kOldGame + kLiveEdited, kOldGame + kLiveGame,
         kOldGame + kLiveMerged},
    };
    for (const MergeCase& c : cases) {
        const MergeOutcome out =
            MergeNewMoves(Full(c.edited), Full(c.source), DefaultTagsToChange(), "/f/game.pgn");
        EXPECT_EQ(out.error ? "!" + *out.error : out.merged, Full(c.expected)) << c.name;
    }
}

// A game of pairs "n. Nf3 Nf6 n+1. Ng1 Ng8 ...", numbered from 1 to pairs, with note after
// every move.
std::string KnightShuffle(long pairs, const std::string& note) {
    std::string text;
    for (long n = 1; n <= pairs; ++n) {
        text += std::to_string(n) + (n % 2 == 1 ? ". Nf3" : ". Ng1") + note +
                (n % 2 == 1 ? " Nf6" : " Ng8") + note + " ";
    }
    return text;
}

// Long edited games merge whole: one with thousands of clock comments and a ";" note at the
// end, one long stretch of moves without any comment (each a few hundred KB).
TEST(MergeLongGames, KeepEveryNoteAndAppendTheNewMove) {
    for (const std::string& note : {std::string(" {[%clk 1:29:51]}"), std::string()}) {
        const long pairs = note.empty() ? 20000 : 8000;
        const std::string moves = KnightShuffle(pairs, note);
        const std::string edited = kHeader + moves + "; my note\r\n";
        const std::string source =
            kHeader + KnightShuffle(pairs, "") + std::to_string(pairs + 1) + ". Nf3 *\r\n";
        ASSERT_GT(edited.size(), 150000u);
        const MergeOutcome out =
            MergeNewMoves(edited, source, DefaultTagsToChange(), "/f/game.pgn");
        ASSERT_FALSE(out.error.has_value()) << *out.error;
        EXPECT_EQ(out.merged, edited + " " + std::to_string(pairs + 1) + ". Nf3 *\r\n");
    }
}

}  // namespace
}  // namespace korvane
