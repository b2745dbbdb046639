// Real files read without a fault, hand-made broken ones with the right message. With the
// environment variable KORVANE_CORPUS naming a checkout of the shared PGN corpus, every file
// of it that holds valid games is checked too.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "chess/PgnReader.h"

namespace {

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(RealFiles, ReadEveryGame) {
    const struct {
        const char* name;
        size_t games;
        int live;  // games without a result yet
    } files[] = {{"gnuchess-book-first40.pgn", 40, 0},
                 {"networkx-wcc-first20.pgn", 20, 0},
                 {"chessjs-lichess2013-first10.pgn", 10, 0},
                 {"mliebelt-sampleGames.pgn", 9, 0},
                 {"broadcast-round5-snapshot3.pgn", 16, 8}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const std::string bytes = fileBytes(std::string(KORVANE_TEST_DATA) + "/pgn/real/" + f.name);
        chess::PgnFile file;
        chess::PgnError error;
        ASSERT_TRUE(chess::readPgn(bytes, f.name, file, error)) << error.message;
        EXPECT_EQ(file.games.size(), f.games);
        int live = 0;
        for (const chess::PgnGame& game : file.games) {
            ASSERT_FALSE(game.mainLine.moves.empty());
            EXPECT_FALSE(game.mainLine.moves.back().fenAfter.empty());
            live += game.result == "*";
            if (f.live > 0) {  // a broadcast round: every move carries [%clk ...]
                EXPECT_FALSE(game.mainLine.moves.front().commentsAfter.empty());
            }
        }
        EXPECT_EQ(live, f.live);
    }
}

// The hand-made broken files: each names the broken game (the second one) and its move.
TEST(BrokenFiles, NameTheRightGameAndMove) {
    const std::pair<const char*, const char*> expected[] = {
        {"illegal-move.pgn", "line 19: illegal move 6. Ke2 (the white king cannot reach e2)"},
        {"missing-bracket-tag.pgn", "line 12: tag [Site \"?\" has no closing \"]\""},
        {"truncated-at-eof.pgn",
         "line 19: the move text breaks off in the middle of the move 3. d"},
        {"truncated-game.pgn", "line 19: the move text breaks off in the middle of the move 4. Bg"},
        {"unclosed-comment.pgn", "line 19: the comment opened after 2. c4 is never closed"},
        {"unclosed-variation.pgn", "line 19: the variation opened after 2. c4 is never closed"},
    };
    for (const auto& [name, message] : expected) {
        chess::PgnFile file;
        chess::PgnError error;
        const std::string text = fileBytes(std::string(KORVANE_TEST_DATA) + "/pgn/bad/" + name);
        ASSERT_FALSE(text.empty()) << name;
        EXPECT_FALSE(chess::readPgn(text, name, file, error));
        EXPECT_EQ(error.message, std::string(name) + ", " + message + " in game 2, C - D");
    }
}

TEST(SharedCorpus, ValidFilesReadWithoutFaults) {
    const char* root = std::getenv("KORVANE_CORPUS");
    if (root == nullptr) {
        GTEST_SKIP() << "set KORVANE_CORPUS to the shared PGN corpus to run this check";
    }
    size_t games = 0;
    std::vector<std::string> faults;
    for (const char* dir : {"real", "annotated", "broadcast"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(root) / dir)) {
            if (entry.path().extension() != ".pgn") {
                continue;
            }
            chess::PgnFile file;
            std::vector<chess::PgnError> found;
            chess::readPgnSkippingFaults(fileBytes(entry.path()), entry.path().filename().string(),
                                         file, found);
            games += file.games.size();
            for (const chess::PgnError& e : found) {
                faults.push_back(e.message.substr(e.message.find("line ")));
            }
        }
    }
    EXPECT_GT(games, 8000u);
    // Study games in the corpus whose moves really are illegal.
    EXPECT_EQ(faults,
              (std::vector<std::string>{
                  "line 1466: illegal move 1... Kf8 (a black rook stands on f8) in game 92",
                  "line 2450: illegal move 1. Nxg5 (no white knight can reach g5) in game 153",
                  "line 2705: illegal move 1... Bxc6+ (no black bishop can reach c6) in game 169",
                  "line 2721: illegal move 1. Nxg5 (no white knight can reach g5) in game 170",
              }));
}

}  // namespace
