// The FTP panel on real widgets against a real FTP server on 127.0.0.1.

#include "UiFixture.h"
#include "support/FtpServer.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class FtpPanelTest : public UiTest {
protected:
    void type(const char* box, const std::string& text) {
        auto* edit = find<QLineEdit>(box);
        edit->clear();
        QTest::keyClicks(edit, QString::fromStdString(text));
    }
    QString curDir() { return find<QLabel>("lblCurDirText")->text(); }

    FtpServer server;
};

TEST_F(FtpPanelTest, ConnectListUploadAndDisconnect) {
    fs::create_directories(server.root() + "/live");
    std::ofstream(server.root() + "/live/old.htm") << "old";
    startUsable();
    writeSource("board1.pgn", LiveGame("Kovacs", "Lindqvist", "1. e4 e5"), 0);
    newProject({"board1.pgn"});
    for (const char* name : {"cmdQuit", "cmdGotoHtmDir", "cmdGoToPgnDir", "cmdCdup"}) {
        EXPECT_FALSE(enabled(name)) << name;
    }
    EXPECT_EQ(find<QLineEdit>("txtPassword")->echoMode(), QLineEdit::Password);

    // The port box takes whole numbers only: at the decimal mark it is emptied.
    type("txtPort", "21.5");
    EXPECT_EQ(titles(), Lines{"Integer Required"});
    EXPECT_EQ(find<QLineEdit>("txtPort")->text(), "5");

    type("txtURL", "127.0.0.1");
    type("txtPort", std::to_string(server.port()));
    type("txtUserName", FtpServer::kUser);
    type("txtPassword", FtpServer::kPassword);
    type("txtHtmDir", "/live");
    EXPECT_EQ(state().settings.spubRemoteHtmDir, "/live");
    click("cmdConnect");
    EXPECT_EQ(curDir(), "/live");
    auto* listing = find<QListWidget>("lstRemoteFiles");
    ASSERT_EQ(listing->count(), 1);
    EXPECT_TRUE(listing->item(0)->text().endsWith(" old.htm"));
    EXPECT_FALSE(enabled("cmdGoToPgnDir"));  // no PGN upload
    click("cmdCdup");
    EXPECT_EQ(curDir(), "/");
    EXPECT_EQ(listing->count(), 1);  // the directory live
    click("cmdGotoHtmDir");
    EXPECT_EQ(curDir(), "/live");

    // The cycle hands the page over; the upload follows while the window's events run.
    click("cmdTest");
    ASSERT_TRUE(
        waitFor([&] { return find<QAbstractButton>("cmdRemovePgn")->text() == "Substitute"; }));
    EXPECT_EQ(readFile(server.root() + "/live/board1.htm"), readFile(html + "board1.htm"));
    EXPECT_TRUE(
        waitFor([&] { return !listing->findItems("board1.htm", Qt::MatchEndsWith).isEmpty(); }));

    // After the first upload the button substitutes the source; Cancel keeps it.
    find<QListWidget>("lboPgnFiles")->setCurrentRow(0);
    boxes.answerNext(Answer::Cancel);
    click("cmdRemovePgn");
    EXPECT_EQ(boxes.boxes.back().title, "Please Read This Carefully!");
    EXPECT_EQ(state().monitorList.Count(), 1);

    // Checking PGN upload once connected enables its directory button and box.
    click("chkPgnUpload");
    EXPECT_TRUE(state().settings.bPgnUpload);
    EXPECT_TRUE(enabled("cmdGoToPgnDir") && enabled("txtPgnDir"));
    click("cmdQuit");
    EXPECT_EQ(find<QLabel>("lblCurrentAction")->text(), "Disconnected");
    EXPECT_TRUE(enabled("cmdGotoHtmDir"));  // buttons stay as they are
}

}  // namespace
}  // namespace korvane::test
