// An HTML directory that turns full or read-only during the round: one entry with the
// system's reason and one alarm however many pages and cycles fail, no game lost, then one
// line when it works again and every page caught up at the first cycle after.

#include "PipelineFixture.h"
#include "pipeline/ProcessingCycle.h"
#include "support/FaultyDirectory.h"

namespace korvane::test {
namespace {

struct DirectoryFault {
    const char* name;
    FaultyDirectory::Fault fault;
};

class HtmlDirectoryFaultTest : public PipelineTest,
                               public ::testing::WithParamInterface<DirectoryFault> {
protected:
    std::size_t count(const std::string& text) const {
        std::size_t n = 0;
        for (auto at = ui.logText().find(text); at != std::string::npos;
             at = ui.logText().find(text, at + 1)) {
            ++n;
        }
        return n;
    }
};

TEST_P(HtmlDirectoryFaultTest, IsReportedOnceAndCaughtUpAfter) {
    useFakeConverter();
    FaultyDirectory html(program.dir.path() + "/faulty html");
    state.settings.spubPathHtml = html.path() + "/";
    Pgn& a = addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    writeSource("a.pgn", "1. e4 e5 *", 1);
    writeSource("b.pgn", "1. d4 d5 *", 1);
    CheckPgnFiles(pipeline);
    ASSERT_EQ(htmlPage("a.htm"), "1. e4 e5 *");

    if (!html.inject(GetParam().fault)) {
        GTEST_SKIP() << "no way to make a directory fail here";
    }
    for (int cycle = 2; cycle <= 4; ++cycle) {
        writeSource("a.pgn", "1. e4 e5 " + std::to_string(cycle) + ". Nf3 *", cycle);
        writeSource("b.pgn", "1. d4 d5 " + std::to_string(cycle) + ". c4 *", cycle);
        CheckPgnFiles(pipeline);
    }
    EXPECT_EQ(count("Error copying "), 1u) << ui.logText();
    EXPECT_EQ(count(": " + html.reason() + "\r\n"), 1u) << ui.logText();
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_FALSE(a.bSleep);
    EXPECT_FALSE(b.bSleep);

    html.clear();
    CheckPgnFiles(pipeline);  // no new move: the pages that did not go out are made again
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 4. Nf3 *");
    EXPECT_EQ(htmlPage("b.htm"), "1. d4 d5 4. c4 *");
    EXPECT_EQ(count("Copying and saving work again in " + html.path() + "."), 1u) << ui.logText();
    EXPECT_EQ(count("Error copying "), 1u);

    CheckPgnFiles(pipeline);
    EXPECT_EQ(ui.lastStatus(), "Idle") << "once caught up, the games wait for their next move";
}

INSTANTIATE_TEST_SUITE_P(Faults, HtmlDirectoryFaultTest,
                         ::testing::Values(DirectoryFault{"Full", FaultyDirectory::Fault::Full},
                                           DirectoryFault{"ReadOnly",
                                                          FaultyDirectory::Fault::ReadOnly}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace korvane::test
