// The upload of one cycle's files against a real server: the commands sent, the log, the
// files on the server afterwards; FTPS.

#include <fstream>

#include "FtpFixture.h"

namespace korvane::test {
namespace {

// A cycle that made no page uploads no PGN file either. One page renamed into place, then
// (the renaming switched off) under its own name, then with a disconnect after each upload:
// the exact commands, the log, the file on the server. Only the remote name is lower-cased;
// the local file is read under its own name.
TEST_F(FtpTest, OnePageGoesUpUnderATemporaryNameOrItsOwn) {
    p.state.settings.bPgnUpload = true;
    connect();
    write({"Game1.htm", "My Game.htm", "a.pgn"});
    upload({}, Lines{"a.pgn"});
    EXPECT_TRUE(server->commands().empty());
    EXPECT_EQ(p.view.removeCaption, "Remove");

    p.state.settings.bPgnUpload = false;
    upload({"Game1.htm"});
    // libcurl knows the session is in /live already and sends no second CWD.
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv1.htm", "RNFR kv1.htm", "RNTO game1.htm", "LIST"}));
    const std::string local = p.state.settings.spubPathHtml;
    EXPECT_TRUE(logHas("Uploading " + local + "Game1.htm to /live as kv1.htm"));
    EXPECT_TRUE(logHas("Renaming /live/kv1.htm to game1.htm"));
    EXPECT_EQ(readFile(server->root() + "/live/game1.htm"), bytesOf("Game1.htm"));
    EXPECT_EQ(p.ui.statuses.back(), "Request Completed!");
    EXPECT_EQ(p.view.remoteFiles.size(), 1u);
    EXPECT_EQ(p.view.removeCaption, "Substitute");

    p.state.settings.bpubRenameFiles = false;
    p.state.bLowerCase = false;
    server->clearCommands();
    upload({"My Game.htm"});  // a blank in the name survives the command
    EXPECT_EQ(Significant(server->commands()), (Lines{"STOR My Game.htm", "LIST"}));
    EXPECT_TRUE(logHas("Uploading " + local + "My Game.htm to /live\r\n"));
    EXPECT_EQ(readFile(server->root() + "/live/My Game.htm"), bytesOf("My Game.htm"));

    p.state.settings.bDisConnect = true;
    upload({"My Game.htm"});
    EXPECT_EQ(server->commands().back(), "QUIT");
    EXPECT_TRUE(p.session.bDisconnected);
    server->clearCommands();
    upload({"My Game.htm"});
    EXPECT_EQ(Significant(server->commands()), (Lines{"USER korvane", "PWD", "CWD /live", "PWD",
                                                      "LIST", "STOR My Game.htm", "LIST", "QUIT"}));
}

// Temporary names count on through the session and never hit a file on the server: pages of
// an earlier session named like temporary files, and a page named like its own.
TEST_F(FtpTest, TemporaryNamesAreNumberedAroundEveryNameInUse) {
    std::ofstream(server->root() + "/live/kv1.htm") << bytesOf("kv1.htm");
    std::ofstream(server->root() + "/live/kv2.htm") << bytesOf("kv2.htm");
    std::ofstream(server->root() + "/pgn files/kv6.pgn") << bytesOf("kv6.pgn");
    p.state.settings.bPgnUpload = true;
    p.state.settings.spubRemotePgnDir = "/pgn files";
    connect();
    write({"a.htm", "kv4.htm", "b.htm", "a.pgn"});
    upload({"a.htm", "kv4.htm", "b.htm"}, Lines{"a.pgn"});

    // The PGN directory, not listed yet, is listed before a temporary name is chosen there.
    EXPECT_EQ(
        Significant(server->commands()),
        (Lines{"STOR kv3.htm", "RNFR kv3.htm", "RNTO a.htm", "STOR kvx4.htm", "RNFR kvx4.htm",
               "RNTO kv4.htm", "STOR kv5.htm", "RNFR kv5.htm", "RNTO b.htm", "LIST",
               "CWD /pgn files", "LIST", "STOR kv7.pgn", "RNFR kv7.pgn", "RNTO a.pgn", "LIST"}));
    expectOnServer("/live", {"a.htm", "b.htm", "kv1.htm", "kv2.htm", "kv4.htm"});
    expectOnServer("/pgn files", {"a.pgn", "kv6.pgn"});
    EXPECT_EQ(p.view.curDir, "/live");  // the listing shows the PGN directory, the label PWD

    // The component's state texts count the files of the round as they go.
    for (int i = 1; i <= 4; ++i) {
        EXPECT_GE(statusCount("Upload " + std::to_string(i) + " of 4: Request Completed!"), 1) << i;
    }
}

TEST_F(FtpTest, OverFtpsAnUntrustedCertificateIsAClearErrorATrustedOneCarriesTheUpload) {
    start({.tls = true}, "ftps://");
    p.session.Connect();
    EXPECT_TRUE(logHas("The server's certificate could not be verified"));
    EXPECT_TRUE(p.view.remoteFiles.empty());

    p.inet.setCaFile(server->certificate());
    p.state.settings.spubRemoteHtmDir.clear();
    server->clearCommands();
    p.session.Connect();
    EXPECT_EQ(p.view.curDir, "/");
    EXPECT_EQ(server->commands().front(), "AUTH TLS");
    server->clearCommands();
    // Pages larger than one TLS record, one after the other on the session.
    const std::string page(20000, 'x');
    p.program.dir.write("html/a.htm", page);
    p.program.dir.write("html/b.htm", page + "b");
    upload({"a.htm", "b.htm"});
    // No remote directory: no CD.
    EXPECT_EQ(Significant(server->commands()),
              (Lines{"STOR kv1.htm", "RNFR kv1.htm", "RNTO a.htm", "STOR kv2.htm", "RNFR kv2.htm",
                     "RNTO b.htm", "LIST"}));
    EXPECT_EQ(readFile(server->root() + "/a.htm"), page);
    EXPECT_EQ(readFile(server->root() + "/b.htm"), page + "b");
    EXPECT_TRUE(p.uploader.pendingHtml().empty());
}

}  // namespace
}  // namespace korvane::test
