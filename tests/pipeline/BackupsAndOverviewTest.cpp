// The backup step with its log-size rules, and the overview page's text and conversion.

#include <filesystem>

#include "PipelineFixture.h"
#include "core/FileUtils.h"
#include "pipeline/Backups.h"
#include "pipeline/Overview.h"
#include "pipeline/ProcessingCycle.h"

namespace korvane::test {
namespace {

TEST_F(PipelineTest, BackupCopiesChangedAwakeGamesAndSignalsTheirEditors) {
    Pgn& a = addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    program.dir.write("temppgn/a.pgn", "1. e4 e5 *");
    program.dir.write("temppgn/b.pgn", "1. d4 d5 *");
    b.bSleep = true;
    pipeline.colChangedFiles = std::vector<std::string>{a.PathTemp, b.PathTemp};

    BackupFiles(pipeline);

    EXPECT_EQ(readFile(state.backupDir + "a.pgn"), "1. e4 e5 *");
    EXPECT_EQ(readFile(state.backupDir + "b.pgn"), "1. d4 *") << "a sleeping game keeps its backup";
    EXPECT_EQ(ui.reloads, std::vector<std::string>{"a.pgn"});
    EXPECT_FALSE(pipeline.colChangedFiles);
}

TEST_F(PipelineTest, LogIsWarnedAboutThenClearedAndOnlyAfterCyclesWithChanges) {
    const std::string big(kLogLimit + 1, 'x');
    const auto backupAfterChanges = [&] {
        pipeline.colChangedFiles.emplace();
        BackupFiles(pipeline);
    };
    ui.setLogText(big);
    BackupFiles(pipeline);
    EXPECT_EQ(ui.logText(), big) << "no size check after a cycle without changes";

    backupAfterChanges();
    EXPECT_TRUE(
        ui.logText().starts_with("06.12.2026 14:30:00The log is getting close to max "
                                 "size and will be cleared after the next upload. "));
    EXPECT_TRUE(ui.logText().ends_with("\r\n\r\n" + big));
    EXPECT_EQ(ui.alarms, 1);
    backupAfterChanges();
    EXPECT_EQ(ui.logText(), "06.12.2026 14:30:00 Log cleared");

    // Cleared by hand after a warning: the next check resets the flag, so a later
    // overflow warns again before it clears.
    ui.setLogText(big);
    backupAfterChanges();
    ui.setLogText("");
    backupAfterChanges();
    ui.setLogText(big);
    backupAfterChanges();
    EXPECT_TRUE(logHas("The log is getting close"));
}

TEST_F(PipelineTest, OverviewTextHasDirectivesThenTheBareGames) {
    Pgn& a = addGame("a.pgn", "[Event \"A\"]\r\n\r\n1. e4 *\r\n");
    Pgn& b = addGame("b.pgn", "[Event \"B\"]\r\n\r\n1. d4 *\r\n");
    Pgn& c = addGame("c.pgn", "[Event \"C\"]\r\n\r\n1. c4 *\r\n");
    b.bSleep = true;
    program.dir.write("temppgn/b.pgn", "not this one");
    program.dir.write("backup/b.pgn", "B from backup\r\n");
    useEdited(c, "1. c4 {a comment} *");
    // The last merge may have read a copy that the converter then rejected.
    c.PgnTempAfterUpdate = "C as last merged, torn";
    program.dir.write("temppgn/c.pgn", "C as last converted\r\n");

    const std::string text = BuildOverviewText(pipeline);

    EXPECT_EQ(text,
              "%vis3 over,a.htm\r\n%vis3 over,b.htm\r\n%vis3 over,c.htm\r\n"
              "%vis3 over, 2, Down\r\n\r\n"
              "[Event \"A\"]\r\n\r\n1. e4 *\r\n\r\nB from backup\r\n\r\nC as last converted\r\n");
    EXPECT_EQ(a.PgnTempAfterUpdate, "[Event \"A\"]\r\n\r\n1. e4 *\r\n");
}

TEST_F(PipelineTest, OverviewIsConvertedBackedUpAndSwitchedOffAfterAnError) {
    useFakeConverter();
    state.settings.bIntroPage = true;
    state.settings.spubIntroPgn.clear();
    addGame("a.pgn", "1. e4 *");
    addGame("b.pgn", "1. d4 *").bSleep = true;
    writeSource("a.pgn", "1. e4 e5 *", 5);

    CheckPgnFiles(pipeline);
    EXPECT_EQ(state.settings.spubIntroPgn, "allgames.pgn");
    const std::string call = converterCalls().back();
    EXPECT_EQ(call.rfind(state.tempDir, 0), 0u);
    EXPECT_NE(call.find("/allgames.pgn|" + state.settings.spubPathIntroIni + "|-x"),
              std::string::npos);
    EXPECT_NE(htmlPage("allgames.htm").find("1. e4 e5 *"), std::string::npos);
    EXPECT_EQ(readFile(state.backupDir + "allgames.pgn"), readFile(state.tempDir + "allgames.pgn"));
    EXPECT_FALSE(state.bMakingOverview);

    // An overview pgn that cannot be written is logged once while the fault lasts.
    const auto overviewEntries = [&] {
        const std::string log = ui.logText();
        std::size_t n = 0;
        for (auto at = log.find("Could not write overview"); at != std::string::npos;
             at = log.find("Could not write overview", at + 1)) {
            ++n;
        }
        return n;
    };
    fs::remove(state.tempDir + "allgames.pgn");
    fs::create_directories(state.tempDir + "allgames.pgn/x");
    writeSource("a.pgn", "1. e4 e5 2. d4 *", 6);
    CheckPgnFiles(pipeline);
    writeSource("a.pgn", "1. e4 e5 2. d4 d5 *", 7);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(overviewEntries(), 1u);
    fs::remove_all(state.tempDir + "allgames.pgn");
    state.bForceConversion = true;
    CheckPgnFiles(pipeline);
    EXPECT_TRUE(logHas("Copying and saving work again in "));
    EXPECT_NE(htmlPage("allgames.htm").find("2. d4 d5"), std::string::npos);
    ui.setLogText("");

    // The sleeping game's backup, which the overview holds, is one the converter rejects:
    // the game stands in the overview with its header only, and the overview stays on.
    program.dir.write("backup/b.pgn", "[Event \"B\"]\r\n\r\n1. d4 REJECT *\r\n");
    writeSource("a.pgn", "1. e4 e5 2. Nf3 *", 8);
    CheckPgnFiles(pipeline);
    EXPECT_TRUE(state.settings.bIntroPage);
    EXPECT_EQ(ui.logText(), "");
    EXPECT_NE(htmlPage("allgames.htm").find("2. Nf3"), std::string::npos);
    EXPECT_NE(htmlPage("allgames.htm").find("[Event \"B\"]\r\n\r\n*"), std::string::npos);

    // The overview itself fails with every game good: it is switched off.
    program.dir.write("backup/b.pgn", "1. d4 *");
    program.dir.write("converter.sh.reject-overview", "");
    writeSource("a.pgn", "1. e4 e5 2. Nf3 Nf6 *", 9);
    CheckPgnFiles(pipeline);
    EXPECT_FALSE(state.settings.bIntroPage);
    EXPECT_TRUE(logHas("Error in allgames.pgn. The message from Vistrel reads: "));

    const auto runsBefore = converterCalls().size();
    writeSource("a.pgn", "1. e4 e5 2. Nf3 Nc6 *", 10);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(converterCalls().size(), runsBefore + 1) << "no overview once switched off";
}

}  // namespace
}  // namespace korvane::test
