// Text routines and the monitor list.

#include <gtest/gtest.h>

#include "core/TextUtils.h"
#include "support/TestProgram.h"

namespace korvane::test {
namespace {

// Latin-1 and UTF-8 letters are letters, so accented names keep them at their ends; letter
// case does not count in either encoding, but two players must stay two games.
TEST(TextUtils, LettersAndLetterCaseInAsciiUtf8AndLatin1) {
    EXPECT_EQ(StripChar("  #key.=", "#."), "#key.");
    EXPECT_EQ(StripChar("\n/home/op/web/", "#."), "home/op/web");
    EXPECT_EQ(StripChar("--", "#."), "");
    EXPECT_EQ(StripChar("\xe9t\xe9", ""), "\xe9t\xe9");
    EXPECT_EQ(StripChar("\xc3\xa9t\xc3\xa9 ", ""), "\xc3\xa9t\xc3\xa9");
    for (unsigned char c : std::string(" .#/\\\t\xd7\xf7")) {
        EXPECT_FALSE(dhIsCharAlphanumeric(c)) << int(c);
    }
    EXPECT_TRUE(EqualsNoCase("Game1.PGN", "game1.pgn"));
    EXPECT_FALSE(EqualsNoCase("game1.pgn", "game11.pgn"));
    EXPECT_TRUE(EqualsNoCase("\xc3\x89TUDE.pgn", "\xc3\xa9tude.PGN"));
    EXPECT_FALSE(EqualsNoCase("M\xfcller.pgn", "M\xf6ller.pgn"));
    EXPECT_TRUE(EqualsNoCase("M\xdcLLER.pgn", "m\xfcller.PGN"));
    EXPECT_EQ(ToLower("M\xdcLLER.HTM"), "m\xfcller.htm") << "remote names keep their bytes";
}

TEST(PgnFiles, KeysIgnoreLetterCaseAndPositionsCloseGaps) {
    TestProgram program;
    PgnFiles& list = program.state.monitorList;
    program.state.addGame("Game1.pgn");
    program.state.addGame("game2.pgn");
    program.state.addGame("b.pgn");
    EXPECT_THROW(program.state.addGame("GAME1.PGN"), PgnFiles::DuplicateKey);
    EXPECT_EQ(list.Count(), 3);

    list.Remove("GAME1.pgn");
    EXPECT_EQ(list.Item(1).Key, "game2.pgn");
    EXPECT_EQ(list.PositionOf("Game2.PGN"), 1);
    EXPECT_THROW(list.Item(3), PgnFiles::NotFound);
    EXPECT_THROW(list.Item("Game1.pgn"), PgnFiles::NotFound);

    std::string keys;
    for (const Pgn& game : list) {
        keys += game.Key + ";";
    }
    EXPECT_EQ(keys, "game2.pgn;b.pgn;");
}

}  // namespace
}  // namespace korvane::test
