// Path tests and whole-file reading, saving and copying.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "core/FileUtils.h"
#include "support/TestProgram.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class FileUtilsTest : public ::testing::Test {
protected:
    TestProgram program;
    ProgramState& state = program.state;
    ScriptedOperator& ui = program.ui;
    std::vector<RecordedBox>& boxes = program.ui.boxes;
};

TEST_F(FileUtilsTest, PathTests) {
    const std::string games = program.dir.path() + "/games";
    const std::string game = program.dir.write("games/game5.pgn", "1. e4 *");
    program.dir.write("games/README", "no dot");

    EXPECT_TRUE(FileCheck(game));
    EXPECT_FALSE(FileCheck(games + "/README")) << "a name without a dot never passes";
    EXPECT_TRUE(FileCheck(games + "/*.pgn"));
    EXPECT_FALSE(FileCheck(games + "/*.htm"));
    EXPECT_FALSE(FileCheck(games + "/*.PGN")) << "names on disk compare as the file system does";
    EXPECT_FALSE(FileCheck(games + "/other.pgn"));

    EXPECT_TRUE(PathExists(games));
    EXPECT_FALSE(PathExists(games + ".old"));

    EXPECT_EQ(ReturnDir(state, game), games);
    EXPECT_EQ(ReturnDir(state, games + "/missing.pgn"), games + "/missing.pgn");
    EXPECT_EQ(ReturnDir(state, ""), "");
    EXPECT_EQ(ui.logText(), "");
}

// Files are read as bytes; a failure leaves the text as it was and is reported: in a box by
// LoadTextFile, in the log with the alarm by OpenTextFile.
TEST_F(FileUtilsTest, ReadingKeepsTheBytesAndReportsFailures) {
    const std::string bytes = "[White \"Polg\xe1r\"]\r\n\r\n1. e4 e5\n2. Nf3 *";
    std::string text = "old";
    ASSERT_TRUE(LoadTextFile(state, program.dir.write("a.pgn", bytes), text));
    EXPECT_EQ(text, bytes);
    ASSERT_TRUE(LoadTextFile(state, program.dir.write("empty.pgn", ""), text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(OpenTextFile(state, program.dir.write("b.pgn", "1. d4 *"), text));
    EXPECT_EQ(text, "1. d4 *");

    text = "unchanged";
    ui.answerOkByDefault();
    EXPECT_FALSE(LoadTextFile(state, program.dir.file("missing.pgn"), text));
    EXPECT_FALSE(OpenTextFile(state, program.dir.file("missing.pgn"), text));
    EXPECT_EQ(text, "unchanged");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("Error in Procedure LoadTextFile.File: "), std::string::npos);
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_NE(ui.logText().find("Error in Procedure OpenTextFile.Couldn't open "),
              std::string::npos);
}

TEST_F(FileUtilsTest, SaveFileAsksBeforeReplacingAndKeepsOrSetsReadOnly) {
    const std::string path = program.dir.write("game.pgn", "old");
    ui.answerNext(Answer::No);
    SaveFile(state, path, "new", false, false);
    EXPECT_EQ(readFile(path), "old");
    EXPECT_FALSE(state.bError);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(std::tie(boxes[0].text, boxes[0].title),
              std::tuple("Replace existing " + path + "?", "Replace?"));
    ui.answerNext(Answer::Yes);
    SaveFile(state, path, "new", false, false);
    EXPECT_EQ(readFile(path), "new");

    SetReadOnly(path, true);
    SaveFile(state, path, "newer", false, true);
    EXPECT_FALSE(state.bError);
    EXPECT_EQ(readFile(path), "newer");
    EXPECT_TRUE(IsReadOnly(path)) << "a read-only file stays read-only";
    const std::string fresh = program.dir.file("fresh.pgn");
    SaveFile(state, fresh, "text", true, true);
    EXPECT_TRUE(IsReadOnly(fresh));
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(FileUtilsTest, FailedSaveLeavesTheOldContent) {
    ui.answerOkByDefault();
    // A directory where the file should be: the rename cannot replace it.
    const std::string blocked = program.dir.path() + "/blocked.pgn";
    fs::create_directories(blocked + "/inner");
    SaveFile(state, blocked, "text", false, true);
    EXPECT_TRUE(state.bError);
    EXPECT_TRUE(fs::is_directory(blocked + "/inner"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(std::tie(boxes[0].text, boxes[0].title),
              std::tuple("Is a directory\r\nUnexpected error in procedure SaveFile", "Error"));
    SaveFile(state, blocked, "text", false, true);
    EXPECT_EQ(boxes.size(), 2u) << "the operator saving again is told again";

    // In a cycle a box would hold everything up: the log says it, once while it lasts.
    state.bInCycle = true;
    for (int cycle = 0; cycle < 3; ++cycle) {
        SaveFile(state, blocked, "text", false, true);
        EXPECT_TRUE(state.bError);
    }
    state.bInCycle = false;
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(ui.logText(), program.clock.nowText() +
                                "\r\nIs a directory\r\nUnexpected error in procedure SaveFile. "
                                "File: " +
                                blocked + "\r\n\r\n");
    EXPECT_EQ(ui.alarms, 1);

    // A write that fails halfway (the file-size limit stands in for a full disk).
    const std::string path = program.dir.write("game.pgn", "the operator's comments");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{1024, old.rlim_max};
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    SaveFile(state, path, std::string(4096, 'x'), false, true);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(state.bError);
    EXPECT_EQ(readFile(path), "the operator's comments");

    // No temporary file is left behind.
    for (const auto& entry : fs::directory_iterator(program.dir.path())) {
        EXPECT_EQ(entry.path().filename().string().rfind(".korvane", 0), std::string::npos)
            << entry.path();
    }
}

// A directory that turns read-only or full makes every copy into it fail at every cycle:
// the operator reads it once per directory and reason, then once that it works again. A
// copy the operator starts is reported each time, in a box when the monitor is hidden.
TEST_F(FileUtilsTest, CopyFailureIsReportedOnceUntilItRecovers) {
    state.bInCycle = true;
    const std::string source = program.dir.write("a.pgn", "1. e4 *");
    const std::string dir = program.dir.path() + "/pages";
    fs::create_directories(dir + "/a.htm/x");  // a directory stands in the way of each page
    fs::create_directories(dir + "/b.htm/x");
    for (int cycle = 0; cycle < 3; ++cycle) {
        state.bError = false;
        EXPECT_TRUE(CopyOneFile(state, source, dir + "/a.htm"));
        EXPECT_TRUE(state.bError) << "every failure still reaches the caller";
        EXPECT_TRUE(CopyOneFile(state, source, dir + "/b.htm"));
    }
    EXPECT_EQ(ui.alarms, 1);
    const std::string failed = program.clock.nowText() + "Error copying " + source + " to " + dir +
                               "/a.htm: Is a directory\r\n\r\n";
    EXPECT_EQ(ui.logText(), failed);

    fs::remove_all(dir + "/a.htm");
    EXPECT_FALSE(CopyOneFile(state, source, dir + "/a.htm"));
    EXPECT_EQ(ui.logText(), failed) << "b.htm still fails";
    fs::remove_all(dir + "/b.htm");
    EXPECT_FALSE(CopyOneFile(state, source, dir + "/b.htm"));
    EXPECT_FALSE(CopyOneFile(state, source, dir + "/a.htm"));
    EXPECT_EQ(ui.logText(), program.clock.nowText() + "\r\nCopying and saving work again in " +
                                dir + ".\r\n\r\n" + failed)
        << "said once";

    fs::remove(dir + "/a.htm");
    fs::create_directories(dir + "/a.htm/x");  // the same failure again is news again
    CopyOneFile(state, source, dir + "/a.htm");
    EXPECT_EQ(ui.alarms, 2);

    state.bInCycle = false;
    ui.setMonitorVisible(false);
    ui.answerOkByDefault();
    const std::string missing = program.dir.file("missing.pgn");
    EXPECT_TRUE(CopyOneFile(state, missing, dir + "/b.htm"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Error copying " + missing + " to " + dir + "/b.htm: No such file or directory");
}

}  // namespace
}  // namespace korvane::test
