// Scans while the FTP server has stopped answering (the process frozen, as a network outage
// looks to the client): the scans go on converting, and once the server answers again
// every page arrives once, in its newest version.

#include <algorithm>
#include <filesystem>

#include "PipelineFixture.h"
#include "ftp/FtpFixture.h"
#include "pipeline/ProcessingCycle.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

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
    Lines remoteFiles() const {
        Lines names;
        for (const auto& e : fs::directory_iterator(server.root() + "/live")) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
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
    EXPECT_EQ(remoteFiles(), (Lines{"a.htm", "b.htm"}));
    EXPECT_FALSE(uploader.hasPendingRetries());
}

}  // namespace
}  // namespace korvane::test
