// The upload of one cycle's files against a real server: the commands sent, the log, the
// files on the server afterwards, and what happens when the server refuses or dies.

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "FtpFixture.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;

TEST_F(UploadTest, OneGameGoesUpUnderATemporaryNameAndIsRenamed) {
    connect();
    write({"Game1.htm"});
    upload({"Game1.htm"});

    // libcurl knows the session is in /live already and sends no second CWD.
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv1.htm", "RNFR kv1.htm", "RNTO game1.htm", "LIST"}));
    // The local file is read under its own name; only the remote name is lower-cased.
    const std::string local = p.state.settings.spubPathHtml + "Game1.htm";
    EXPECT_EQ(entries(p.ui.logText()), (Lines{"Renaming /live/kv1.htm to game1.htm",
                                              "Uploading " + local + " to /live as kv1.htm"}));
    EXPECT_EQ(readFile(server->root() + "/live/game1.htm"), bytesOf("Game1.htm"));
    EXPECT_EQ(fs::directory_iterator(server->root() + "/live")->path().filename(), "game1.htm");
    EXPECT_EQ(p.ui.statuses.back(), "Request Completed!");
    EXPECT_EQ(p.view.remoteFiles.size(), 1u);
    EXPECT_EQ(p.view.removeCaption, "Substitute");
}

TEST_F(UploadTest, TemporaryNamesAreNumberedThroughTheSession) {
    p.state.settings.bPgnUpload = true;
    p.state.settings.spubRemotePgnDir = "/pgn files";
    connect();
    write({"a.htm", "b.htm", "c.htm", "a.pgn"});
    upload({"a.htm", "b.htm", "c.htm"}, Lines{"a.pgn"});

    // The PGN directory, not listed yet, is listed before a temporary name is chosen there.
    EXPECT_EQ(
        Significant(server->commands()),
        (Lines{"STOR kv1.htm", "RNFR kv1.htm", "RNTO a.htm", "STOR kv2.htm", "RNFR kv2.htm",
               "RNTO b.htm", "STOR kv3.htm", "RNFR kv3.htm", "RNTO c.htm", "LIST", "CWD /pgn files",
               "LIST", "STOR kv4.pgn", "RNFR kv4.pgn", "RNTO a.pgn", "LIST"}));
    expectOnServer("/live", {"a.htm", "b.htm", "c.htm"});
    expectOnServer("/pgn files", {"a.pgn"});
    EXPECT_EQ(p.view.curDir, "/live");  // the listing shows the PGN directory, the label PWD

    // The component's state texts follow which file of the round is on its way.
    Lines progress;
    for (const std::string& status : p.ui.statuses) {
        const std::string shown = status.substr(0, status.find(": "));
        if (status.starts_with("Upload ") && (progress.empty() || progress.back() != shown)) {
            progress.push_back(shown);
        }
    }
    EXPECT_EQ(progress,
              (Lines{"Upload 1 of 4", "Upload 2 of 4", "Upload 3 of 4", "Upload 4 of 4"}));
    EXPECT_NE(
        std::find(p.ui.statuses.begin(), p.ui.statuses.end(), "Upload 2 of 4: Request Completed!"),
        p.ui.statuses.end());
}

TEST_F(UploadTest, AFileNamedLikeItsTemporaryNameUsesKvx) {
    connect();
    write({"KV1.htm"});
    upload({"KV1.htm"});
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kvx1.htm", "RNFR kvx1.htm", "RNTO kv1.htm", "LIST"}));
    EXPECT_TRUE(fs::exists(server->root() + "/live/kv1.htm"));
}

TEST_F(UploadTest, WithoutRenamingTheFileGoesUpUnderItsOwnName) {
    p.state.settings.bpubRenameFiles = false;
    p.state.bLowerCase = false;
    connect();
    write({"My Game.htm"});  // a blank in the name survives the command
    upload({"My Game.htm"});
    EXPECT_EQ(Significant(server->commands()), (Lines{"STOR My Game.htm", "LIST"}));
    EXPECT_EQ(entries(p.ui.logText()),
              Lines{"Uploading " + p.state.settings.spubPathHtml + "My Game.htm to /live"});
    expectOnServer("/live", {"My Game.htm"});
}

TEST_F(UploadTest, AnEmptyRemoteDirectorySendsNoCd) {
    p.state.settings.spubRemoteHtmDir.clear();
    p.state.settings.spubRemotePgnDir.clear();
    connect();
    write({"a.htm"});
    upload({"a.htm"});
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv1.htm", "RNFR kv1.htm", "RNTO a.htm", "LIST"}));
    EXPECT_EQ(entries(p.ui.logText()).back(),
              "Uploading " + p.state.settings.spubPathHtml + "a.htm to  as kv1.htm");
    EXPECT_TRUE(fs::exists(server->root() + "/a.htm"));
}

TEST_F(UploadTest, PgnFilesWithoutAPageAreNotUploaded) {
    p.state.settings.bPgnUpload = true;
    connect();
    write({"a.pgn"});
    upload({}, Lines{"a.pgn"});
    EXPECT_TRUE(server->commands().empty());
    EXPECT_EQ(p.uploader.uploadCount(), 0);
    EXPECT_EQ(p.view.removeCaption, "Remove");
}

TEST_F(UploadTest, DisconnectBetweenUploadsReconnectsWithCdPwdDir) {
    p.state.settings.bDisConnect = true;
    connect();
    write({"a.htm"});
    upload({"a.htm"});
    EXPECT_EQ(server->commands().back(), "QUIT");
    EXPECT_TRUE(p.session.bDisconnected);
    server->clearCommands();

    upload({"a.htm"});
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"USER korvane", "PWD", "CWD /live", "PWD", "LIST", "STOR kv2.htm",
                     "RNFR kv2.htm", "RNTO a.htm", "LIST", "QUIT"}));
    EXPECT_EQ(p.uploader.uploadCount(), 2);
}

TEST_F(UploadTest, RefusedRenameShowsTheAdviceAndRetriesTheFile) {
    start({.refuseRenameExisting = true});
    connect();
    std::ofstream(server->root() + "/live/a.htm") << "old";
    write({"a.htm"});
    p.ui.answerNext(Answer::Ok);
    upload({"a.htm"});

    const std::string advice =
        "It seems your remote host doesn't allow you to rename a file, if the destination file "
        "exists already. If this is true you must uncheck the \"Rename Files On Server\" "
        "checkbox in the Settings dialog (File Menu).";
    ASSERT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_EQ(p.ui.boxes[0].title, "Important!");
    EXPECT_EQ(p.ui.boxes[0].text, advice);
    EXPECT_EQ(p.ui.boxes[0].icon, Icon::Critical);
    // The advice replaced the log; only the retry note came after it.
    EXPECT_TRUE(p.ui.logText().ends_with(advice));
    EXPECT_EQ(entries(p.ui.logText()).front(),
              "Upload of a.htm failed. It will be retried with the next upload.");
    EXPECT_EQ(p.uploader.pendingHtml(), Lines{"a.htm"});
}

TEST_F(UploadTest, RefusedStorGoesOnWithTheBatchAndRetriesEachFileOnce) {
    start({.denyWrite = true});
    connect();
    write({"a.htm", "b.htm", "c.htm"});
    upload({"a.htm", "b.htm"});

    // No RENAME follows a failed PUT: it could publish an old temporary file. What a
    // refused STOR may have left is deleted before the listing.
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv1.htm", "STOR kv2.htm", "DELE kv1.htm", "DELE kv2.htm", "LIST"}));
    EXPECT_TRUE(logHas("\r\n\r\nError! 550: Not enough privileges."));
    EXPECT_EQ(p.uploader.pendingHtml(), (Lines{"a.htm", "b.htm"}));
    EXPECT_TRUE(p.uploader.hasPendingRetries());

    // The next cycle changed b.htm again and made c.htm: b.htm goes up once.
    server->restart({});
    server->clearCommands();
    upload({"b.htm", "c.htm"});
    expectOnServer("/live", {"a.htm", "b.htm", "c.htm"});
    const Lines cmds = Significant(server->commands());
    EXPECT_EQ(std::count(cmds.begin(), cmds.end(), "RNTO b.htm"), 1);
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

TEST_F(UploadTest, AFileMissingLocallyIsReportedButNotKeptForRetry) {
    connect();
    write({"b.htm"});
    upload({"gone.htm", "b.htm"});
    EXPECT_TRUE(logHas("Error! 0: Cannot read the local file " + p.state.settings.spubPathHtml +
                       "gone.htm"));
    expectOnServer("/live", {"b.htm"});
    // Kept, it would make every later cycle upload, fail and log again.
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

TEST_F(UploadTest, ServerKilledInABatchGetsEveryPageAfterItsRestart) {
    start({.exitOnStor = 2});
    connect();
    write({"a.htm", "b.htm", "c.htm", "d.htm"});
    upload({"a.htm", "b.htm", "c.htm"});
    EXPECT_TRUE(p.session.bDisconnected);
    EXPECT_NE(std::find(p.ui.statuses.begin(), p.ui.statuses.end(), "Disconnected"),
              p.ui.statuses.end());
    EXPECT_EQ(p.uploader.pendingHtml(), (Lines{"b.htm", "c.htm"}));

    server->restart({});
    server->clearCommands();
    upload({"d.htm"});
    const Lines cmds = Significant(server->commands());
    ASSERT_GE(cmds.size(), 5u);
    EXPECT_EQ(Lines(cmds.begin(), cmds.begin() + 5),
              (Lines{"USER korvane", "PWD", "CWD /live", "PWD", "LIST"}));
    EXPECT_FALSE(p.session.bDisconnected);
    expectOnServer("/live", {"a.htm", "b.htm", "c.htm", "d.htm"});
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

TEST_F(UploadTest, AServerOutOfReachIsTriedOnceAndGetsEveryFileWhenBack) {
    // A network outage: the server takes the requests but answers nothing.
    p.state.settings.lpubTimeOut = 1;
    p.state.settings.bPgnUpload = true;
    connect();
    write({"a.htm", "b.htm", "c.htm", "a.pgn", "b.pgn"});
    server->pause();
    p.ui.statuses.clear();
    upload({"a.htm", "b.htm", "c.htm"}, Lines{"a.pgn", "b.pgn"});
    server->resume();

    // Only the first request waited out the time-out; no later file tried to reconnect.
    const std::string log = p.ui.logText();
    std::size_t errors = 0;
    for (auto pos = log.find("Error! "); pos != std::string::npos;
         pos = log.find("Error! ", pos + 1)) {
        ++errors;
    }
    EXPECT_EQ(errors, 1u);
    EXPECT_EQ(std::count(p.ui.statuses.begin(), p.ui.statuses.end(), "Connecting..."), 0);
    EXPECT_TRUE(
        logHas("The upload stopped: the connection to the server was lost. 5 files "
               "wait for the next upload."));
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_TRUE(p.session.bDisconnected);
    EXPECT_EQ(p.uploader.pendingHtml(), (Lines{"a.htm", "b.htm", "c.htm"}));
    EXPECT_EQ(p.uploader.pendingPgn(), (Lines{"a.pgn", "b.pgn"}));

    upload({});  // the next cycle, with nothing changed
    expectOnServer("/live", {"a.htm", "a.pgn", "b.htm", "b.pgn", "c.htm"});
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

}  // namespace
}  // namespace korvane::test
