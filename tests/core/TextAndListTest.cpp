// Text routines, the game record and the monitor list.

#include <gtest/gtest.h>

#include "core/TextUtils.h"
#include "support/TestProgram.h"

namespace korvane::test {
namespace {

TEST(StripChar, KeepsOnlyWhatIsAsked) {
    EXPECT_EQ(StripChar("  #key.=", "#."), "#key.");
    EXPECT_EQ(StripChar("\n/home/op/web/", "#./"), "/home/op/web/");
    EXPECT_EQ(StripChar("\n/home/op/web/", "#."), "home/op/web");
    EXPECT_EQ(StripChar("--", "#."), "");
    EXPECT_EQ(StripChar("\xe9t\xe9", ""), "\xe9t\xe9") << "Latin-1 letters are letters";
    EXPECT_EQ(StripChar("\xc3\xa9t\xc3\xa9 ", ""), "\xc3\xa9t\xc3\xa9") << "so are UTF-8 ones";
    EXPECT_EQ(ExtractComVal(1, 9, "=C:/web/ \r"), "C:/web/");
}

TEST(DhIsCharAlphanumeric, Bytes) {
    for (unsigned char c : std::string("aZ09\xc0\xe1\xff\x80\xbf")) {
        EXPECT_TRUE(dhIsCharAlphanumeric(c)) << int(c);
    }
    for (unsigned char c : std::string(" .#/\\\t\xd7\xf7")) {
        EXPECT_FALSE(dhIsCharAlphanumeric(c)) << int(c);
    }
}

TEST(FindLineEnd, FindsCrLfOnly) {
    EXPECT_EQ(FindLineEnd("ab\r\ncd", 0), 2u);
    EXPECT_EQ(FindLineEnd("ab\r\ncd", 3), std::string::npos);
    EXPECT_EQ(FindLineEnd("ab\ncd", 0), std::string::npos);
}

TEST(EqualsNoCase, AsciiAndUtf8) {
    EXPECT_TRUE(EqualsNoCase("Game1.PGN", "game1.pgn"));
    EXPECT_FALSE(EqualsNoCase("game1.pgn", "game11.pgn"));
    EXPECT_TRUE(EqualsNoCase("\xc3\x89TUDE.pgn", "\xc3\xa9tude.PGN"));
    // Latin-1 names: two players must stay two games, and case still does not count.
    EXPECT_FALSE(EqualsNoCase("M\xfcller.pgn", "M\xf6ller.pgn"));
    EXPECT_TRUE(EqualsNoCase("M\xdcLLER.pgn", "m\xfcller.PGN"));
    EXPECT_EQ(ToLower("M\xdcLLER.HTM"), "m\xfcller.htm") << "remote names keep their bytes";
}

TEST(PgnFiles, KeysIgnoreLetterCaseAndPositionsCloseGaps) {
    TestProgram program;
    ProgramState& state = program.state;
    Pgn& first = state.addGame("Game1.pgn");
    EXPECT_EQ(first.ClassDebugID(), 1);
    EXPECT_EQ(state.addGame("game2.pgn").ClassDebugID(), 2);
    EXPECT_THROW(state.addGame("GAME1.PGN"), PgnFiles::DuplicateKey);
    EXPECT_EQ(state.monitorList.Count(), 2);

    Pgn& unkeyed = state.monitorList.Add("loose.pgn", "", state.nextClassDebugId());
    EXPECT_EQ(&state.monitorList.Item(3), &unkeyed);
    EXPECT_THROW(state.monitorList.Item("loose.pgn"), PgnFiles::NotFound);

    state.monitorList.Remove("GAME1.pgn");
    EXPECT_EQ(state.monitorList.Count(), 2);
    EXPECT_EQ(state.monitorList.Item(1).Key, "game2.pgn");
    EXPECT_EQ(state.monitorList.PositionOf("Game2.PGN"), 1);
    EXPECT_THROW(state.monitorList.Item(3), PgnFiles::NotFound);

    std::string keys;
    for (const Pgn& game : state.monitorList) {
        keys += game.Key + ";";
    }
    EXPECT_EQ(keys, "game2.pgn;loose.pgn;");

    // A fresh program counts its records from 1 again.
    TestProgram other;
    EXPECT_EQ(other.state.addGame("a.pgn").ClassDebugID(), 1);
}

TEST(Pgn, AssigningUseFinalMarksTheSwitch) {
    Pgn game(1);
    EXPECT_FALSE(game.ChangedToFromFinal);
    game.setUseFinal(false);
    EXPECT_TRUE(game.ChangedToFromFinal);
    EXPECT_FALSE(game.bUseFinal());
}

}  // namespace
}  // namespace korvane::test
