// The FTP session against a real server on 127.0.0.1: connecting, the directory buttons,
// refusals while a request runs, disconnecting and reconnecting, a logon typed into the URL
// box.

#include <fstream>

#include "FtpFixture.h"
#include "core/Config.h"
#include "core/TextUtils.h"

namespace korvane::test {
namespace {

using SessionTest = FtpTest;

// Invalid ports stop before the server is contacted; a valid one (above 16 bits: test ports
// come from the ephemeral range) logs in, changes to the HTML directory and lists it.
// Connecting again ends the live session, and its directory does not carry over.
TEST_F(SessionTest, ConnectChangesDirectoryListsItAndStartsAfreshWhenRepeated) {
    for (const char* port : {"0", "65536", "70000", "-5"}) {
        p.view.setText(FtpField::txtPort, port);
        p.session.Connect();
        EXPECT_TRUE(logHas(std::string("Invalid port number ") + port)) << port;
    }
    EXPECT_EQ(p.ui.alarms, 4);
    EXPECT_TRUE(server->commands().empty());
    EXPECT_FALSE(p.view.isEnabled(FtpButton::cmdQuit));

    std::ofstream(server->root() + "/live/a.htm") << "a";
    ASSERT_GT(server->port(), 32767);
    p.view.setText(FtpField::txtPort, std::to_string(server->port()));
    p.session.Connect();
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"USER korvane", "PWD", "CWD /live", "PWD", "LIST"}));
    EXPECT_EQ(p.view.curDir, "/live");
    ASSERT_EQ(p.view.remoteFiles.size(), 1u);
    EXPECT_TRUE(p.view.remoteFiles[0].ends_with(" a.htm"));
    EXPECT_TRUE(p.view.isEnabled(FtpButton::cmdQuit) && p.view.isEnabled(FtpButton::cmdCdup));
    EXPECT_FALSE(p.view.isEnabled(FtpButton::cmdGoToPgnDir));  // PGN upload is off
    EXPECT_FALSE(p.view.indicator1 || p.view.indicator2);
    EXPECT_EQ(p.ui.alarms, 4);

    // The standard port (or none) uses the URL as typed, with its own port.
    p.state.settings.spubRemoteHtmDir.clear();
    p.state.settings.bSaveLogon = true;
    p.view.setText(FtpField::txtURL, "127.0.0.1:" + std::to_string(server->port()));
    for (const char* port : {"", "21"}) {
        server->clearCommands();
        p.view.setText(FtpField::txtPort, port);
        p.session.Connect();
        EXPECT_EQ(Significant(server->commands()),
                  (Lines{"QUIT", "USER korvane", "PWD", "PWD", "LIST"}));
        EXPECT_EQ(p.view.curDir, "/");
        EXPECT_EQ(p.inet.URL(), "127.0.0.1:" + std::to_string(server->port()));
        EXPECT_EQ(p.state.settings.spubRemotePort, "");
    }
}

TEST_F(SessionTest, DirectoryButtonsMoveListStoreThePwdReplyAndReconnect) {
    std::ofstream(server->root() + "/live/a.htm") << "a";
    p.state.settings.spubRemotePgnDir = "/pgn files";
    p.session.chkPgnUpload_Click(true);
    EXPECT_TRUE(p.state.settings.bPgnUpload);
    EXPECT_FALSE(p.view.isEnabled(FtpButton::cmdGoToPgnDir)) << "not connected yet";
    EXPECT_EQ(p.view.backColour[FtpField::txtPgnDir], kColourWhite);
    p.session.Connect();
    EXPECT_TRUE(p.view.isEnabled(FtpButton::cmdGoToPgnDir));
    server->clearCommands();

    p.session.cmdGoToPgnDir_Click();
    EXPECT_EQ(Significant(server->commands()), (Lines{"CWD /pgn files", "PWD", "LIST"}));
    EXPECT_EQ(p.view.text(FtpField::txtPgnDir), "/pgn files");
    EXPECT_EQ(p.view.curDir, "/pgn files");

    p.session.cmdCdup_Click();
    EXPECT_EQ(p.view.curDir, "/");
    EXPECT_EQ(p.session.sRemoteDir, "/");
    ASSERT_EQ(p.view.remoteFiles.size(), 2u);  // live, pgn files

    // A relative directory is taken from where the session is.
    p.state.settings.spubRemoteHtmDir = "live";
    p.session.cmdGotoHtmDir_Click();
    EXPECT_EQ(p.view.text(FtpField::txtHtmDir), "/live");
    EXPECT_EQ(p.state.settings.spubRemoteHtmDir, "/live");
    EXPECT_EQ(p.view.countdownStops, 4);  // connect and each button

    // A refused CD keeps the directory setting.
    p.state.settings.spubRemoteHtmDir = "/missing";
    p.session.cmdGotoHtmDir_Click();
    EXPECT_TRUE(p.ui.logText().starts_with("Error! 550: "));
    EXPECT_EQ(p.state.settings.spubRemoteHtmDir, "/missing");
    EXPECT_EQ(p.view.curDir, "/live");

    p.session.chkPgnUpload_Click(false);
    EXPECT_FALSE(p.view.isEnabled(FtpButton::cmdGoToPgnDir));
    EXPECT_FALSE(p.view.fieldEnabled[FtpField::txtPgnDir]);
    EXPECT_EQ(p.view.backColour[FtpField::txtPgnDir], kColourButtonFace);

    // The kept connection lost (a restarted server) or closed by Quit: the next request logs
    // in again, and a listing shows the session's directory, not the login directory.
    server->restart({});
    ASSERT_TRUE(p.session.ExecuteAndWait("DIR"));
    ASSERT_EQ(p.view.remoteFiles.size(), 1u);
    EXPECT_TRUE(p.view.remoteFiles[0].ends_with(" a.htm"));
    p.session.cmdQuit_Click();
    EXPECT_EQ(p.ui.lastStatus(), "Disconnected");
    EXPECT_TRUE(p.session.bDisconnected);
    EXPECT_EQ(server->commands().back(), "QUIT");
    p.session.cmdCdup_Click();
    EXPECT_FALSE(p.session.bDisconnected);
    EXPECT_EQ(p.view.curDir, "/");
}

TEST_F(SessionTest, ButtonsRefuseWhileARequestRuns) {
    p.session.Connect();
    server->clearCommands();
    p.inet.Execute(p.inet.URL(), "DIR");  // not waited for

    p.session.cmdCdup_Click();
    EXPECT_TRUE(logHas("\r\nStill excuting last request\r\n\r\n"));
    p.session.cmdQuit_Click();
    EXPECT_EQ(p.ui.lastStatus(), "Still excuting last request.");
    // Connect does not look first: the component's refusal is its error.
    p.session.Connect();
    EXPECT_TRUE(logHas("Still executing last request"));
    EXPECT_EQ(p.ui.alarms, 1);

    p.session.WaitForRequest();
    EXPECT_EQ(Significant(server->commands()), Lines{"LIST"});
}

// Closing the program: the component says goodbye (QUIT) to a server that answers, and
// does not hold the exit for the whole request time-out when the server has gone mute (a
// network outage).
TEST_F(SessionTest, DestroyingTheComponentQuitsWithoutWaitingForAMuteServer) {
    auto connected = [this] {
        auto inet = std::make_unique<Inet>();
        inet->setURL("127.0.0.1:" + std::to_string(server->port()));
        inet->setUserName(FtpServer::kUser);
        inet->setPassword(FtpServer::kPassword);
        inet->setRequestTimeout(600);
        inet->Execute(inet->URL(), "PWD");
        while (inet->StillExecuting()) {
            inet->pump(std::chrono::milliseconds(10));
        }
        return inet;
    };
    connected().reset();
    EXPECT_EQ(server->commands().back(), "QUIT");

    auto inet = connected();
    server->pause();
    EXPECT_TRUE(endsInTime(*server, [&inet] { inet.reset(); }));
    server->resume();
}

// user:password@host typed into the URL box: the logon moves into its own boxes, the
// operator is told once, and the password reaches neither the settings nor the log.
TEST_F(SessionTest, PasswordTypedIntoTheUrlBoxIsTakenOutBeforeConnecting) {
    p.view.setText(FtpField::txtURL,
                   std::string(FtpServer::kUser) + ":" + FtpServer::kPassword + "@127.0.0.1");
    p.view.setText(FtpField::txtUserName, "");
    p.view.setText(FtpField::txtPassword, "");
    p.state.settings.bSaveLogon = true;
    p.ui.answerOkByDefault();
    p.session.Connect();
    p.session.Connect();

    ASSERT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_EQ(p.ui.boxes[0].title, "Logon Info");
    EXPECT_EQ(p.view.text(FtpField::txtURL), "127.0.0.1");
    EXPECT_EQ(p.view.text(FtpField::txtUserName), FtpServer::kUser);
    EXPECT_EQ(p.view.curDir, "/live");
    EXPECT_EQ(SettingsText(p.state.settings).find(FtpServer::kPassword), std::string::npos);
    EXPECT_EQ(p.state.settings.spubFTPURL, "127.0.0.1");
    expectHidden(FtpServer::kPassword);
}

}  // namespace
}  // namespace korvane::test
