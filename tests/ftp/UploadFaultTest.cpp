// Publishing against a real server that misbehaves: injected commands, names that cannot
// be sent, servers that die in a batch, refused renames and writes, full disks, wrong
// passwords and servers that stop answering. Each case checks the commands the server
// received and the files it holds afterwards.

#include <filesystem>
#include <tuple>

#include "FtpFixture.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;

const std::string kAdvice =
    "It seems your remote host doesn't allow you to rename a file, if the destination file "
    "exists already. If this is true you must uncheck the \"Rename Files On Server\" "
    "checkbox in the Settings dialog (File Menu).";

using FaultTest = FtpTest;

// A name that cannot go into a command, and a page gone from the disk: each is reported
// once and not kept for a retry (that would fail and log again in every cycle).
TEST_F(FaultTest, AFileThatCannotBeSentIsReportedOnceAndBlocksNothing) {
    connect();
    write({"a.htm", "b.htm"});
    const std::string bad = "x\r\nMKD evil.htm";
    upload({bad, "gone.htm", "a.htm"});
    upload({bad, "b.htm"});

    expectOnServer("/live", {"a.htm", "b.htm"});
    EXPECT_EQ(occurrences(p.ui.logText(), "x<CR><LF>MKD evil.htm holds a line break"), 1);
    EXPECT_EQ(occurrences(p.ui.logText(), "Error! 0: Cannot read the local file " +
                                              p.state.settings.spubPathHtml + "gone.htm"),
              1);
    EXPECT_FALSE(p.uploader.hasPendingRetries());
    EXPECT_EQ(occurrences(testing::PrintToString(server->commands()), "MKD"), 0);
}

// The server dies at the second file's STOR, or after it between STOR and RENAME (leaving
// the temporary file); after its restart the next cycle logs in again, deletes what the cut
// batch left and publishes every page.
struct DeathCase {
    const char* name;
    FtpServerOptions options;
    bool temporaryLeft;
};

class ServerDies : public FtpTest, public ::testing::WithParamInterface<DeathCase> {};

TEST_P(ServerDies, InABatchAndEveryPageArrivesAfterItsRestart) {
    start(GetParam().options);
    connect();
    write({"a.htm", "b.htm", "c.htm", "d.htm"});
    upload({"a.htm", "b.htm", "c.htm"});
    EXPECT_EQ(fs::exists(server->root() + "/live/kv2.htm"), GetParam().temporaryLeft);
    EXPECT_TRUE(p.session.bDisconnected);
    EXPECT_EQ(statusCount("Disconnected"), 1);
    EXPECT_EQ(p.uploader.pendingHtml(), (Lines{"b.htm", "c.htm"}));

    server->restart({});
    server->clearCommands();
    upload({"d.htm"});
    const Lines cmds = Significant(server->commands());
    EXPECT_EQ(Lines(cmds.begin(), cmds.begin() + std::min<std::size_t>(cmds.size(), 5)),
              (Lines{"USER korvane", "PWD", "CWD /live", "PWD", "LIST"}));
    EXPECT_EQ(received("DELE kv2.htm"), 1);
    EXPECT_FALSE(p.session.bDisconnected);
    expectOnServer("/live", {"a.htm", "b.htm", "c.htm", "d.htm"});
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

INSTANTIATE_TEST_SUITE_P(Deaths, ServerDies,
                         ::testing::Values(DeathCase{"AtStor", {.exitOnStor = 2}, false},
                                           DeathCase{"AtRename", {.exitOnRnfr = 2}, true}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(FaultTest, ARefusedRenameAdvisesOncePerSessionWhateverItsWording) {
    start({.refuseRename = "550 Permission denied."});
    connect();
    write({"a.htm", "b.htm"});
    p.ui.answerNext(Answer::Ok);
    upload({"a.htm", "b.htm"});

    ASSERT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_EQ(std::tie(p.ui.boxes[0].title, p.ui.boxes[0].text, p.ui.boxes[0].icon),
              std::tuple("Important!", kAdvice, Icon::Critical));
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv1.htm", "RNFR kv1.htm", "RNTO a.htm", "STOR kv2.htm", "RNFR kv2.htm",
                     "RNTO b.htm", "DELE kv1.htm", "DELE kv2.htm", "LIST"}));
    EXPECT_TRUE(p.ui.logText().ends_with(kAdvice)) << "the advice replaced the log";
    EXPECT_TRUE(logHas("Upload of a.htm failed. It will be retried with the next upload."));
    expectOnServer("/live", {});
    EXPECT_EQ(p.uploader.pendingHtml(), (Lines{"a.htm", "b.htm"}));

    // The next cycles: the log says it once each, no box stops the upload again.
    upload({});
    upload({});
    EXPECT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_EQ(occurrences(p.ui.logText(), kAdvice), 3);
    expectOnServer("/live", {});

    // The operator follows the advice.
    p.state.settings.bpubRenameFiles = false;
    upload({});
    expectOnServer("/live", {"a.htm", "b.htm"});
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

// A refused STOR and a full disk refuse the file, not the connection. No RENAME follows a
// failed PUT (it could publish an old temporary file); what the server kept is deleted.
struct StorCase {
    const char* name;
    FtpServerOptions options;
    std::string logged;
};

class StorRefused : public FtpTest, public ::testing::WithParamInterface<StorCase> {};

TEST_P(StorRefused, RetriesEachFileOnceOnTheSameConnection) {
    start(GetParam().options);
    connect();
    write({"a.htm", "b.htm", "c.htm"});
    upload({"a.htm", "b.htm"});

    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv1.htm", "STOR kv2.htm", "DELE kv1.htm", "DELE kv2.htm", "LIST"}));
    EXPECT_TRUE(logHas("\r\n\r\nError! " + GetParam().logged));
    EXPECT_FALSE(p.session.bDisconnected);
    EXPECT_EQ(statusCount("Disconnected"), 0);
    EXPECT_EQ(p.uploader.pendingHtml(), (Lines{"a.htm", "b.htm"}));
    EXPECT_EQ(p.ui.statuses.back(), "2 files wait for the upload");
    expectOnServer("/live", {});

    server->clearCommands();
    upload({});
    EXPECT_EQ(received("USER korvane"), 0);
    EXPECT_EQ(received("STOR kv3.htm"), 1);

    // The server takes files again; the next cycle changed b.htm again and made c.htm:
    // b.htm goes up once.
    server->restart({});
    server->clearCommands();
    upload({"b.htm", "c.htm"});
    expectOnServer("/live", {"a.htm", "b.htm", "c.htm"});
    EXPECT_EQ(received("RNTO b.htm"), 1);
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, StorRefused,
    ::testing::Values(StorCase{"NoWriteRight", {.denyWrite = true}, "550: Not enough privileges."},
                      StorCase{"InsufficientStorage",
                               {.storReply = "452 Insufficient storage space."},
                               "452: Insufficient storage space."}),
    [](const auto& row) { return std::string(row.param.name); });

// A login with a line break (it could smuggle in a command) is refused before anything is
// sent. A wrong password is tried once per cycle, alarms once, and shows nowhere.
TEST_F(FaultTest, LoginsThatCannotWork) {
    const std::string pw = FtpServer::kPassword;
    const std::vector<std::pair<std::string, std::string>> logins = {
        {FtpServer::kUser, pw + "\r\nMKD x"},
        {std::string(FtpServer::kUser) + "\nMKD y", pw},
        {FtpServer::kUser, pw + std::string("\0MKD z", 6)}};
    for (const auto& [user, password] : logins) {
        p.view.setText(FtpField::txtUserName, user);
        p.view.setText(FtpField::txtPassword, password);
        p.session.Connect();
    }
    EXPECT_TRUE(server->commands().empty());
    EXPECT_EQ(occurrences(p.ui.logText(), kBadCredentials), 3);
    EXPECT_EQ(p.ui.alarms, 3);
    EXPECT_TRUE(p.inet.URL().empty()) << "nothing to upload to";
    // The component refuses such a login on its own, too.
    Inet inet;
    inet.setURL("127.0.0.1:" + std::to_string(server->port()));
    inet.setUserName(FtpServer::kUser);
    inet.setPassword(pw + "\r\nMKD x");
    EXPECT_THROW(inet.Execute(inet.URL(), "PWD"), InetError);
    EXPECT_TRUE(server->commands().empty());

    p.ui.alarms = 0;
    p.view.setText(FtpField::txtUserName, FtpServer::kUser);
    p.view.setText(FtpField::txtPassword, "wrong-Pa55");
    p.state.settings.bSaveLogon = true;
    p.session.Connect();
    EXPECT_TRUE(logHas("Error! 530: "));
    EXPECT_TRUE(p.session.bDisconnected);
    EXPECT_EQ(p.state.settings.spubFTPUser, FtpServer::kUser);

    write({"a.htm"});
    upload({"a.htm"});
    upload({"a.htm"});
    upload({"a.htm"});
    EXPECT_EQ(Significant(server->commands()), Lines(4, "USER korvane")) << "one login a cycle";
    EXPECT_EQ(statusCount("Connected!"), 0);
    EXPECT_EQ(p.ui.alarms, 1) << "for the first failed login only";
    EXPECT_EQ(p.uploader.pendingHtml(), Lines{"a.htm"});
    expectHidden("wrong-Pa55");
    expectHidden(FtpServer::kPassword);

    // The right password: the next cycle logs in and publishes.
    p.view.setText(FtpField::txtPassword, pw);
    upload({});
    EXPECT_EQ(statusCount("Connected!"), 1);
    expectOnServer("/live", {"a.htm"});
}

// A server frozen before the login, then one whose listing drips a byte every half second:
// each costs Connect one time-out, one error and one alarm, and ends.
TEST_F(FaultTest, AServerThatStopsAnsweringCostsConnectOneTimeOut) {
    p.state.settings.lpubTimeOut = 1;
    server->pause();
    EXPECT_TRUE(endsInTime(*server, [this] { p.session.Connect(); }));
    server->resume();
    EXPECT_EQ(occurrences(p.ui.logText(), "Error! "), 1) << "CD failed; PWD and DIR not sent";
    EXPECT_EQ(statusCount("Connecting..."), 1);
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_FALSE(p.view.indicator1 || p.view.indicator2);

    start({.dripList = true});
    p.ui.setLogText("");
    EXPECT_TRUE(endsInTime(*server, [this] { p.session.Connect(); }));
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"USER korvane", "PWD", "CWD /live", "PWD", "LIST"}));
    EXPECT_EQ(occurrences(p.ui.logText(), "Error! "), 1);
    EXPECT_EQ(p.ui.alarms, 2);
    EXPECT_TRUE(p.view.remoteFiles.empty());
}

TEST_F(FaultTest, AServerOutOfReachIsTriedOnceAndGetsEveryFileWhenBack) {
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
    EXPECT_EQ(occurrences(p.ui.logText(), "Error! "), 1);
    EXPECT_EQ(statusCount("Connecting..."), 0);
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
