// Where the pages go fails during the round. An HTML directory that turns full or
// read-only: one entry with the system's reason and one alarm however many pages and
// cycles fail, no game lost, one line when it works again and every page caught up at the
// first cycle after. An FTP server that stops answering (its process frozen, as a network
// outage looks to the client): the scans go on converting, and once it answers again every
// page arrives once, in its newest version.

#include <algorithm>
#include <filesystem>

#include "PipelineFixture.h"
#include "ftp/FtpFixture.h"
#include "pipeline/ProcessingCycle.h"
#include "support/FaultyDirectory.h"

namespace korvane::test {
namespace {

class HtmlDirectoryFaultTest
    : public PipelineTest,
      public ::testing::WithParamInterface<std::pair<const char*, FaultyDirectory::Fault>> {};

TEST_P(HtmlDirectoryFaultTest, IsReportedOnceAndCaughtUpAfter) {
    const auto count = [&](const std::string& text) { return occurrences(ui.logText(), text); };
    useFakeConverter();
    FaultyDirectory html(program.dir.path() + "/faulty html");
    state.settings.spubPathHtml = html.path() + "/";
    Pgn& a = addGame("a.pgn", "1. e4 *");
    Pgn& b = addGame("b.pgn", "1. d4 *");
    writeSource("a.pgn", "1. e4 e5 *", 1);
    writeSource("b.pgn", "1. d4 d5 *", 1);
    CheckPgnFiles(pipeline);
    ASSERT_EQ(htmlPage("a.htm"), "1. e4 e5 *");

    if (!html.inject(GetParam().second)) {
        GTEST_SKIP() << "no way to make a directory fail here";
    }
    for (int cycle = 2; cycle <= 4; ++cycle) {
        writeSource("a.pgn", "1. e4 e5 " + std::to_string(cycle) + ". Nf3 *", cycle);
        writeSource("b.pgn", "1. d4 d5 " + std::to_string(cycle) + ". c4 *", cycle);
        CheckPgnFiles(pipeline);
    }
    EXPECT_EQ(count("Error copying "), 1) << ui.logText();
    EXPECT_EQ(count(": " + html.reason() + "\r\n"), 1) << ui.logText();
    EXPECT_EQ(ui.alarms, 1);
    EXPECT_FALSE(a.bSleep || b.bSleep);

    html.clear();
    CheckPgnFiles(pipeline);  // no new move: the pages that did not go out are made again
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 4. Nf3 *");
    EXPECT_EQ(htmlPage("b.htm"), "1. d4 d5 4. c4 *");
    EXPECT_EQ(count("Copying and saving work again in " + html.path() + "."), 1) << ui.logText();
    EXPECT_EQ(count("Error copying "), 1);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(ui.lastStatus(), "Idle") << "once caught up, the games wait for their next move";
}

INSTANTIATE_TEST_SUITE_P(Faults, HtmlDirectoryFaultTest,
                         ::testing::Values(std::pair{"Full", FaultyDirectory::Fault::Full},
                                           std::pair{"ReadOnly", FaultyDirectory::Fault::ReadOnly}),
                         [](const auto& p) { return std::string(p.param.first); });

class StalledServerTest : public PipelineTest {
protected:
    StalledServerTest() {
        useFakeConverter();
        state.settings.lpubTimeOut = 1;
        state.settings.spubRemoteHtmDir = "/live";
        state.settings.bpubRenameFiles = true;
        fs::create_directories(server.root() + "/live");
        view.setText(FtpField::txtURL, "127.0.0.1");
        view.setText(FtpField::txtPort, std::to_string(server.port()));
        view.setText(FtpField::txtUserName, FtpServer::kUser);
        view.setText(FtpField::txtPassword, FtpServer::kPassword);
        pipeline.uploader = &uploader;
    }
    std::string remote(const std::string& name) const {
        return FakePageText(readFile(server.root() + "/live/" + name));
    }

    FtpServer server;
    FakePanelView view;
    Inet inet;
    FtpSession session{state, view, inet};
    FtpUploader uploader{session};
};

TEST_F(StalledServerTest, ScansGoOnConvertingAndEveryPageArrivesOnceInItsNewestVersion) {
    addGame("a.pgn", "1. e4 *");
    addGame("b.pgn", "1. d4 *");
    session.Connect();
    writeSource("a.pgn", "1. e4 e5 *", 5);
    CheckPgnFiles(pipeline);
    uploader.WaitUntilDone();
    ASSERT_EQ(remote("a.htm"), "1. e4 e5 *");

    server.pause();
    writeSource("a.pgn", "1. e4 e5 2. Nf3 *", 6);
    writeSource("b.pgn", "1. d4 d5 *", 6);
    CheckPgnFiles(pipeline);
    EXPECT_TRUE(uploader.busy()) << "the scan is over; its upload waits for the server";
    writeSource("a.pgn", "1. e4 e5 2. Nf3 Nc6 *", 7);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(converterCalls().size(), 4u);
    EXPECT_EQ(htmlPage("a.htm"), "1. e4 e5 2. Nf3 Nc6 *");

    // The stalled request ends at the time-out; the pages wait for the next scan, which
    // tries the server once more and converts meanwhile.
    uploader.WaitUntilDone();
    EXPECT_EQ(uploader.pendingHtml(), (Lines{"a.htm", "b.htm"}));
    writeSource("b.pgn", "1. d4 d5 2. c4 *", 8);
    CheckPgnFiles(pipeline);
    EXPECT_EQ(htmlPage("b.htm"), "1. d4 d5 2. c4 *");
    uploader.WaitUntilDone();
    EXPECT_EQ(ui.alarms, 1) << "once for the outage";
    EXPECT_EQ(ui.lastStatus(), "2 files wait for the upload");

    server.resume();
    server.clearCommands();
    CheckPgnFiles(pipeline);  // nothing changed; the waiting pages go
    uploader.WaitUntilDone();
    EXPECT_EQ(remote("a.htm"), "1. e4 e5 2. Nf3 Nc6 *");
    EXPECT_EQ(remote("b.htm"), "1. d4 d5 2. c4 *");
    const Lines cmds = server.commands();
    EXPECT_EQ(std::count(cmds.begin(), cmds.end(), "RNTO a.htm"), 1);
    EXPECT_EQ(std::count(cmds.begin(), cmds.end(), "RNTO b.htm"), 1);
    const fs::directory_iterator live(server.root() + "/live");
    EXPECT_EQ(std::distance(live, fs::directory_iterator()), 2) << "no temporary file is left";
    EXPECT_FALSE(uploader.hasPendingRetries());
}

}  // namespace
}  // namespace korvane::test
