// The PGN reader: the game model it builds, the text forms real files use, and the message
// for each kind of fault.

#include <gtest/gtest.h>

#include <tuple>

#include "chess/PgnReader.h"

namespace {

chess::PgnFile readOk(const std::string& text) {
    chess::PgnFile file;
    chess::PgnError error;
    EXPECT_TRUE(chess::readPgn(text, "t.pgn", file, error)) << error.message;
    return file;
}

std::string sans(const chess::Line& line) {
    std::string out;
    for (const auto& m : line.moves) {
        out += (out.empty() ? "" : " ") + m.san;
    }
    return out;
}

TEST(PgnReader, BuildsGameWithCommentsNagsAndVariations) {
    const chess::PgnFile file = readOk(
        "[Event \"Say \\\"hi\\\"\"]\n[White \"Kovacs\"]\n[Black \"Lindqvist\"]\n\n"
        "{Opening remark} 1. e4 $1 e5!? {after e5} {second} "
        "(1... c5 {Sicilian} 2. Nf3 (2. c3 d5) 2... d6) (1... e6) "
        "2. Nf3 Nc6 ; rest of line\n3. Bb5 1-0\n");
    ASSERT_EQ(file.games.size(), 1u);
    const chess::PgnGame& g = file.games[0];
    EXPECT_EQ(g.tag("Event"), "Say \"hi\"");
    EXPECT_EQ(g.result, "1-0");
    EXPECT_EQ(g.initialComments, std::vector<std::string>{"Opening remark"});
    EXPECT_EQ(sans(g.mainLine), "e4 e5 Nf3 Nc6 Bb5");
    EXPECT_EQ(g.mainLine.moves.back().fenAfter,
              "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3");

    const chess::MoveNode& e5 = g.mainLine.moves[1];
    EXPECT_EQ(g.mainLine.moves[0].nags, std::vector<int>{1});
    EXPECT_EQ(e5.nags, std::vector<int>{5});
    EXPECT_EQ(e5.commentsAfter, (std::vector<std::string>{"after e5", "second"}));
    EXPECT_EQ(e5.moveNumber, 1);
    EXPECT_FALSE(e5.white);
    EXPECT_EQ(g.mainLine.moves[3].commentsAfter, std::vector<std::string>{"rest of line"});

    // Both variations replace 1... e5 and start from the position after 1. e4.
    ASSERT_EQ(e5.variations.size(), 2u);
    const chess::Line& sicilian = e5.variations[0];
    EXPECT_EQ(sans(sicilian), "c5 Nf3 d6");
    EXPECT_EQ(sicilian.moves[0].uci, "c7c5");
    EXPECT_EQ(sicilian.moves[0].fenAfter,
              "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq c6 0 2");
    EXPECT_EQ(sicilian.moves[0].commentsAfter, std::vector<std::string>{"Sicilian"});
    ASSERT_EQ(sicilian.moves[1].variations.size(), 1u);
    EXPECT_EQ(sans(sicilian.moves[1].variations[0]), "c3 d5");
    EXPECT_EQ(sans(e5.variations[1]), "e6");
}

TEST(PgnReader, CommentBeforeVariationMoveAndGameFromFen) {
    const chess::PgnFile file = readOk(
        "[FEN \"4k3/P7/8/8/8/8/8/4K3 w - - 0 40\"]\n[SetUp \"1\"]\n"
        "40. a8=Q+ ({or} 40. a8N Kd7) Kd7 *");
    const chess::PgnGame& g = file.games[0];
    EXPECT_EQ(g.startFen, "4k3/P7/8/8/8/8/8/4K3 w - - 0 40");
    EXPECT_EQ(sans(g.mainLine), "a8=Q+ Kd7");
    const chess::Line& alt = g.mainLine.moves[0].variations.at(0);
    EXPECT_EQ(alt.moves[0].commentsBefore, std::vector<std::string>{"or"});
    EXPECT_EQ(alt.moves[0].san, "a8=N");
    EXPECT_EQ(alt.moves[1].moveNumber, 40);
}

// Forms found in real files: Latin-1 names, CR LF, a byte-order mark, doubled quotes,
// numbers glued to moves, no move numbers at all, no result, and files of tags only.
TEST(PgnReader, AcceptsTheFormsRealFilesUse) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        // text, White, the moves and the result
        {"[White \"Polg\xe1r\"]\r\n\r\n1.e4 e5 2.Nf3 *\r\n", "Polg\xc3\xa1r", "e4 e5 Nf3 *"},
        {"\xEF\xBB\xBF[White \"\xC3\x89mile\"]\n1. d4 1...d5 *", "\xC3\x89mile", "d4 d5 *"},
        // A mark before bytes of a single-byte code page: the mark goes, the rest is Windows-1252.
        {"\xEF\xBB\xBF[White \"Polg\xe1r\"]\n1. d4 *", "Polg\xc3\xa1r", "d4 *"},
        {"[White \"\"Socrates Expert\"\"]\n1. e4", "\"Socrates Expert\"", "e4 "},
        {"e4 e5 Nf3 Nc6", "", "e4 e5 Nf3 Nc6 "},
    };
    for (const auto& [text, white, moves] : cases) {
        const chess::PgnGame game = readOk(text).games.at(0);
        EXPECT_EQ(game.tag("White"), white) << text;
        EXPECT_EQ(sans(game.mainLine) + " " + game.result, moves) << text;
    }

    const chess::PgnFile tagsOnly =
        readOk("[Event \"\"]\n[White \"x\"]\n\n[Event \"B\"]\n[White \"y\"]\n");
    ASSERT_EQ(tagsOnly.games.size(), 2u);
    EXPECT_EQ(tagsOnly.games[1].tag("White"), "y");

    // A game without a result runs until the next game's tags; "%" lines are kept in file
    // order, one among the tags too.
    const chess::PgnFile live = readOk(
        "%vis3 over,round1.htm\r\n%vis3 over, 2, Down\r\n\r\n[Round \"1\"]\r\n1. e4\r\n"
        "[Round \"2\"]\r\n% inside\r\n1. d4 *\r\n");
    ASSERT_EQ(live.games.size(), 2u);
    EXPECT_EQ(sans(live.games[1].mainLine), "d4");
    EXPECT_EQ(live.escapeLines,
              (std::vector<std::string>{"vis3 over,round1.htm", "vis3 over, 2, Down", " inside"}));
}

TEST(PgnReader, FinalPositionWithoutAPositionPerMove) {
    const std::string text = "1. e4 e5 (1... c5 2. Nf3) 2. Nf3 *\n\n[White \"B\"]\n\n*\n";
    chess::PgnFile file;
    chess::PgnError error;
    ASSERT_TRUE(chess::readPgn(text, "t.pgn", file, error, false)) << error.message;
    ASSERT_EQ(file.games.size(), 2u);
    // The main line's end, not the variation's; a game without moves ends where it starts.
    EXPECT_EQ(file.games[0].finalFen,
              "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2");
    EXPECT_EQ(file.games[1].finalFen, file.games[1].startFen);
    for (const auto& move : file.games[0].mainLine.moves) {
        EXPECT_TRUE(move.fenAfter.empty());
    }
    EXPECT_EQ(readOk(text).games[0].mainLine.moves.back().fenAfter, file.games[0].finalFen);
}

// Each fault names file, line, game, move and reason. More kinds, in files of several
// games, are in the corpus test's broken files.
TEST(PgnReader, NamesFileLineGameMoveAndReasonOfEachFault) {
    const std::string game = "[White \"Kovacs\"]\n[Black \"Lindqvist\"]\n\n";
    const auto fault = [](const std::string& what, int line = 4) {
        return "t.pgn, line " + std::to_string(line) + ": " + what +
               " in game 1, Kovacs - Lindqvist";
    };
    std::string nested;  // variations 30000 deep
    for (int i = 0; i < 30000; ++i) {
        nested += "(1. d4 ";
    }
    const std::pair<std::string, std::string> cases[] = {
        {"", "t.pgn: there is no game in the file"},
        {"%vis3 over,a.htm\n\n", "t.pgn: there is no game in the file"},
        {game + "1. e4 e5 (1... Nc5) *",
         fault("illegal move 1... Nc5 (no black knight can reach c5)")},
        {game + "1. Nc3 d5 2. e3 e5 3. Nge2 Nc6 4. Ng3 Nf6 5. Ne4",
         fault("ambiguous move 5. Ne4 (white knights on c3 and g3 can both move to e4)")},
        {game + "1. e4 (1. d4\n\n[White \"x\"]\n1. e4 *",
         fault("the variation opened after 1. e4 is never closed")},
        {game + "1. e4 e5 2. Nf3 hello *", fault("unknown text \"hello\" after 2. Nf3")},
        {game + "1. e4 ) *", fault("\")\" after 1. e4 closes no variation")},
        {game + "1. e4 e5 1/2-",
         fault("the move text breaks off in the middle of the result \"1/2-\"")},
        {game + "1. e4 Bg 2. d4 *", fault("incomplete move 1... Bg")},
        {game + "[FEN \"8/8/8 w - - 0 1\"]\n1. e4 *",
         fault("bad FEN \"8/8/8 w - - 0 1\" (the board does not have eight ranks)", 1)},
        {game + "[SetUp \"1\"]\n1. e4 *",
         fault("the SetUp tag asks for a start position but there is no FEN tag", 1)},
        {game + "1. e4 " + nested + std::string(30000, ')') + " *",
         fault("the variation opened after 1. d4 is nested more than 200 deep")},
        {game + "1. e4 -- 2. d4 *", fault("null move 1... -- is not supported")},
        {"[Variant \"Crazyhouse\"]\n" + game + "1. e4 *",
         fault("the variant \"Crazyhouse\" is not supported (only standard chess is)", 1)},
    };
    for (const auto& [text, message] : cases) {
        chess::PgnFile file;
        chess::PgnError error;
        EXPECT_FALSE(chess::readPgn(text, "t.pgn", file, error)) << message;
        EXPECT_EQ(error.message, message);
    }
}

}  // namespace
