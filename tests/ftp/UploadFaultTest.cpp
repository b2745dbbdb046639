// Publishing against a real server that misbehaves: injected commands, names that cannot
// be sent, cut batches, pages named like temporary files, refused renames, wrong passwords,
// servers that stop answering and full disks. Each case checks the commands the server
// received and the files it holds afterwards.

#include <atomic>
#include <fstream>
#include <thread>

#include "FtpFixture.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;

const std::string kAdvice =
    "It seems your remote host doesn't allow you to rename a file, if the destination file "
    "exists already. If this is true you must uncheck the \"Rename Files On Server\" "
    "checkbox in the Settings dialog (File Menu).";

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1)) {
        ++count;
    }
    return count;
}

// Kills the server if the test is still running after a long while, so a client that
// waits without bound fails the test instead of hanging it.
class Watchdog {
public:
    explicit Watchdog(FtpServer& server)
        : m_thread([this, &server] {
              for (int i = 0; i < 300 && !m_done; ++i) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
              }
              if (!m_done) {
                  m_fired = true;
                  server.resume();
                  server.kill();
              }
          }) {}
    ~Watchdog() { stop(); }
    bool stop() {
        m_done = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        return m_fired;
    }

private:
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};

using FaultTest = UploadTest;

TEST_F(FaultTest, ALineBreakInTheLoginIsRefusedBeforeAnythingIsSent) {
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
    EXPECT_EQ(occurrences(p.ui.logText(), kBadCredentials), 3u);
    EXPECT_EQ(p.ui.alarms, 3);
    EXPECT_TRUE(p.inet.URL().empty()) << "nothing to upload to";

    // The component refuses such a login on its own, too.
    p.inet.setURL("127.0.0.1:" + std::to_string(server->port()));
    p.inet.setUserName(FtpServer::kUser);
    p.inet.setPassword(pw + "\r\nMKD x");
    EXPECT_THROW(p.inet.Execute(p.inet.URL(), "PWD"), InetError);
    EXPECT_TRUE(server->commands().empty());
    EXPECT_FALSE(fs::exists(server->root() + "/x"));
}

TEST_F(FaultTest, ANameThatCannotBeSentIsReportedOnceAndBlocksNothing) {
    connect();
    write({"a.htm", "b.htm"});
    const std::string bad = "x\r\nMKD evil.htm";
    upload({bad, "a.htm"});
    upload({bad, "b.htm"});

    expectOnServer("/live", {"a.htm", "b.htm"});
    EXPECT_EQ(occurrences(p.ui.logText(), "x<CR><LF>MKD evil.htm holds a line break"), 1u);
    EXPECT_FALSE(p.uploader.hasPendingRetries());
    for (const auto& c : server->commands()) {
        EXPECT_EQ(c.find("MKD"), std::string::npos) << c;
    }
}

TEST_F(FaultTest, ATemporaryFileLeftByACutBatchIsRemovedAtTheNextContact) {
    start({.exitOnRnfr = 2});
    connect();
    write({"a.htm", "b.htm", "c.htm"});
    upload({"a.htm", "b.htm", "c.htm"});
    // The server died between the STOR and the RENAME of b.htm.
    ASSERT_TRUE(fs::exists(server->root() + "/live/kv2.htm"));
    EXPECT_EQ(p.uploader.pendingHtml(), (Lines{"b.htm", "c.htm"}));

    server->restart({});
    server->clearCommands();
    upload({});
    EXPECT_EQ(received("DELE kv2.htm"), 1);
    expectOnServer("/live", {"a.htm", "b.htm", "c.htm"});
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

TEST_F(FaultTest, ATemporaryNameNeverHitsAPublishedPage) {
    // Pages of an earlier session that happen to be named like temporary files.
    std::ofstream(server->root() + "/live/kv1.htm") << bytesOf("kv1.htm");
    std::ofstream(server->root() + "/live/kv2.htm") << bytesOf("kv2.htm");
    connect();
    write({"a.htm", "kv4.htm", "b.htm"});
    upload({"a.htm", "kv4.htm", "b.htm"});

    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv3.htm", "RNFR kv3.htm", "RNTO a.htm", "STOR kvx4.htm", "RNFR kvx4.htm",
                     "RNTO kv4.htm", "STOR kv5.htm", "RNFR kv5.htm", "RNTO b.htm", "LIST"}));
    expectOnServer("/live", {"a.htm", "b.htm", "kv1.htm", "kv2.htm", "kv4.htm"});

    // The PGN directory, not listed by Connect, is listed before its first temporary name.
    p.state.settings.bPgnUpload = true;
    p.state.settings.spubRemotePgnDir = "/pgn files";
    std::ofstream(server->root() + "/pgn files/kv6.pgn") << bytesOf("kv6.pgn");
    write({"a.pgn"});
    upload({"a.htm"}, Lines{"a.pgn"});
    expectOnServer("/pgn files", {"a.pgn", "kv6.pgn"});
}

TEST_F(FaultTest, ARefusedRenameAdvisesOncePerSessionWhateverItsWording) {
    start({.refuseRename = "550 Permission denied."});
    connect();
    write({"a.htm", "b.htm"});
    p.ui.answerNext(Answer::Ok);
    upload({"a.htm", "b.htm"});

    ASSERT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_EQ(p.ui.boxes[0].title, "Important!");
    EXPECT_EQ(p.ui.boxes[0].text, kAdvice);
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv1.htm", "RNFR kv1.htm", "RNTO a.htm", "STOR kv2.htm", "RNFR kv2.htm",
                     "RNTO b.htm", "DELE kv1.htm", "DELE kv2.htm", "LIST"}));
    expectOnServer("/live", {});
    EXPECT_EQ(p.uploader.pendingHtml(), (Lines{"a.htm", "b.htm"}));

    // The next cycles: the log says it once each, no box stops the upload again.
    upload({});
    upload({});
    EXPECT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_EQ(occurrences(p.ui.logText(), kAdvice), 3u);
    expectOnServer("/live", {});

    // The operator follows the advice.
    p.state.settings.bpubRenameFiles = false;
    upload({});
    expectOnServer("/live", {"a.htm", "b.htm"});
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

TEST_F(FaultTest, AWrongPasswordIsTriedOncePerCycleAndAlarmsOnce) {
    p.view.setText(FtpField::txtPassword, "wrong");
    p.session.Connect();
    EXPECT_EQ(Significant(server->commands()), Lines{"USER korvane"});
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_TRUE(p.session.bDisconnected);

    write({"a.htm"});
    for (int cycle = 1; cycle <= 3; ++cycle) {
        upload({"a.htm"});
        EXPECT_EQ(received("USER korvane"), 1 + cycle);
    }
    EXPECT_EQ(Significant(server->commands()).size(), 4u) << "nothing but the logins";
    EXPECT_EQ(std::count(p.ui.statuses.begin(), p.ui.statuses.end(), "Connected!"), 0);
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_EQ(p.uploader.pendingHtml(), Lines{"a.htm"});

    // The right password: the next cycle logs in and publishes.
    p.view.setText(FtpField::txtPassword, FtpServer::kPassword);
    upload({});
    EXPECT_EQ(std::count(p.ui.statuses.begin(), p.ui.statuses.end(), "Connected!"), 1);
    expectOnServer("/live", {"a.htm"});
}

TEST_F(FaultTest, AServerThatStopsAnsweringCostsConnectOneTimeOut) {
    p.state.settings.lpubTimeOut = 1;
    server->pause();
    Watchdog watchdog(*server);
    p.session.Connect();
    EXPECT_FALSE(watchdog.stop());
    server->resume();

    EXPECT_EQ(occurrences(p.ui.logText(), "Error! "), 1u) << "CD failed; PWD and DIR not sent";
    EXPECT_EQ(std::count(p.ui.statuses.begin(), p.ui.statuses.end(), "Connecting..."), 1);
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_FALSE(p.view.indicator1 || p.view.indicator2);
}

TEST_F(FaultTest, AListingDrippedByteByByteEndsAtTheTimeOut) {
    start({.dripList = true});
    p.state.settings.lpubTimeOut = 1;
    Watchdog watchdog(*server);
    p.session.Connect();
    EXPECT_FALSE(watchdog.stop());

    EXPECT_EQ(Significant(server->commands()),
              (Lines{"USER korvane", "PWD", "CWD /live", "PWD", "LIST"}));
    EXPECT_EQ(occurrences(p.ui.logText(), "Error! "), 1u);
    EXPECT_EQ(p.ui.alarms, 1);
    EXPECT_TRUE(p.view.remoteFiles.empty());
}

struct DiskCase {
    std::string name;
    std::string reply;
};

class FullDiskTest : public UploadTest, public ::testing::WithParamInterface<DiskCase> {};

TEST_P(FullDiskTest, RefusesTheFileNotTheConnection) {
    start({.storReply = GetParam().reply});
    connect();
    write({"a.htm", "b.htm"});
    upload({"a.htm", "b.htm"});

    // Both files were tried on the same connection; what the server kept of them is gone.
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv1.htm", "STOR kv2.htm", "DELE kv1.htm", "DELE kv2.htm", "LIST"}));
    const std::string reply = GetParam().reply;
    EXPECT_TRUE(logHas("Error! " + reply.substr(0, 3) + ":" + reply.substr(3)));
    EXPECT_FALSE(p.session.bDisconnected);
    EXPECT_EQ(std::count(p.ui.statuses.begin(), p.ui.statuses.end(), "Disconnected"), 0);
    EXPECT_EQ(p.uploader.pendingHtml(), (Lines{"a.htm", "b.htm"}));
    EXPECT_EQ(p.ui.statuses.back(), "2 files wait for the upload");
    expectOnServer("/live", {});

    // The next cycle goes on with the same connection.
    server->clearCommands();
    upload({});
    EXPECT_EQ(received("USER korvane"), 0);
    EXPECT_EQ(received("STOR kv3.htm"), 1);

    // Room again on the server: every page arrives.
    server->restart({});
    upload({});
    expectOnServer("/live", {"a.htm", "b.htm"});
    EXPECT_FALSE(p.uploader.hasPendingRetries());
}

INSTANTIATE_TEST_SUITE_P(Replies, FullDiskTest,
                         ::testing::Values(DiskCase{"LocalError", "451 Local error: disk full."},
                                           DiskCase{"InsufficientStorage",
                                                    "452 Insufficient storage space."}),
                         CaseName{});

}  // namespace
}  // namespace korvane::test
