// The delay note: a pgn headed by "%vis3 delay, N" makes both kinds of page say that their
// moves run N minutes behind the boards, inside the part a refresh swaps in.

#include <gtest/gtest.h>

#include "chess/PgnReader.h"
#include "vistrel/DelayNote.h"
#include "vistrel/Page.h"

namespace {

chess::PgnFile readFile(const std::string& text) {
    chess::PgnFile file;
    chess::PgnError error;
    EXPECT_TRUE(chess::readPgn(text, "board1.pgn", file, error)) << error.message;
    return file;
}

const std::string kGame = "[White \"Kovacs, Anna\"]\r\n[Black \"Lind\"]\r\n\r\n1. e4 e5 *\r\n";

TEST(DelayNoteTest, DirectiveLineGivesTheMinutes) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(vistrel::delayMinutes(Lines{"vis3 delay, 15"}), 15);
    EXPECT_EQ(vistrel::delayMinutes(Lines{"VIS3 Delay,1\r", "vis3 over,board1.htm"}), 1);
    EXPECT_EQ(vistrel::delayMinutes(Lines{"vis3 over,board1.htm"}), 0);
    for (const char* bad : {"vis3 delay, 15 min", "vis3 delay, -5", "vis3 delay, 1 5",
                            "vis3 delay, 99999999999", "vis3 delay,"}) {
        EXPECT_EQ(vistrel::delayMinutes(Lines{bad}), 0) << bad;
    }
}

TEST(DelayNoteTest, PagesMadeUnderADelaySaySo) {
    const chess::PgnFile delayed = readFile("%vis3 delay, 15\r\n" + kGame);
    const chess::PgnFile live = readFile(kGame);
    vistrel::PageIni overviewIni;
    overviewIni.overview = true;
    for (const std::string& page : {vistrel::renderGamePage(delayed, {}),
                                    vistrel::renderOverviewPage(delayed, overviewIni)}) {
        const auto note = page.find("<p class=\"delay-note\">moves delayed by 15 minutes</p>");
        ASSERT_NE(note, std::string::npos);
        EXPECT_LT(page.find("<main id=\"kv-content\">"), note);
    }
    EXPECT_EQ(vistrel::renderGamePage(live, {}).find("delay-note\">"), std::string::npos);
    EXPECT_EQ(vistrel::renderOverviewPage(live, overviewIni).find("delay-note\">"),
              std::string::npos);
    EXPECT_NE(vistrel::renderGamePage(readFile("%vis3 delay, 1\r\n" + kGame), {})
                  .find("moves delayed by 1 minute<"),
              std::string::npos);
}

}  // namespace
