// The FTP panel on real widgets against a real FTP server on 127.0.0.1: connecting, the
// directory buttons, the listing, the port box, a page uploaded by a cycle, disconnecting.

#include <QListWidget>
#include <filesystem>
#include <fstream>

#include "UiFixture.h"
#include "support/FtpServer.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class FtpPanelTest : public UiTest {
protected:
    void SetUp() override {
        fs::create_directories(server.root() + "/live");
        writeSettings(usableSettings());
        ASSERT_TRUE(start());
    }
    void type(const char* box, const std::string& text) {
        auto* edit = find<QLineEdit>(box);
        edit->clear();
        QTest::keyClicks(edit, QString::fromStdString(text));
    }
    void logOn() {
        type("txtURL", "127.0.0.1");
        type("txtPort", std::to_string(server.port()));
        type("txtUserName", FtpServer::kUser);
        type("txtPassword", FtpServer::kPassword);
        type("txtHtmDir", "/live");
    }
    QString curDir() { return find<QLabel>("lblCurDirText")->text(); }

    FtpServer server;
};

TEST_F(FtpPanelTest, ConnectMovesBetweenDirectoriesListsAndDisconnects) {
    std::ofstream(server.root() + "/live/old.htm") << "old";
    for (const char* name : {"cmdQuit", "cmdGotoHtmDir", "cmdGoToPgnDir", "cmdCdup"}) {
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
    }
    EXPECT_EQ(find<QLineEdit>("txtPassword")->echoMode(), QLineEdit::Password);
    logOn();
    EXPECT_EQ(state().settings.spubRemoteHtmDir, "/live");

    click("cmdConnect");
    EXPECT_EQ(curDir(), "/live");
    auto* listing = find<QListWidget>("lstRemoteFiles");
    ASSERT_EQ(listing->count(), 1);
    EXPECT_TRUE(listing->item(0)->text().endsWith(" old.htm"));
    EXPECT_TRUE(find<QWidget>("cmdQuit")->isEnabled());
    EXPECT_FALSE(find<QWidget>("cmdGoToPgnDir")->isEnabled());  // no PGN upload
    EXPECT_FALSE(find<QWidget>("imgTransfer1")->isVisible());

    click("cmdCdup");
    EXPECT_EQ(curDir(), "/");
    EXPECT_EQ(listing->count(), 1);  // the directory live
    click("cmdGotoHtmDir");
    EXPECT_EQ(curDir(), "/live");

    // Checking PGN upload once connected enables its directory button and box.
    click("chkPgnUpload");
    EXPECT_TRUE(state().settings.bPgnUpload);
    EXPECT_TRUE(find<QWidget>("cmdGoToPgnDir")->isEnabled());
    EXPECT_TRUE(find<QWidget>("txtPgnDir")->isEnabled());

    click("cmdQuit");
    EXPECT_EQ(find<QLabel>("lblCurrentAction")->text(), "Disconnected");
    EXPECT_TRUE(find<QWidget>("cmdGotoHtmDir")->isEnabled());  // buttons stay as they are
}

TEST_F(FtpPanelTest, PortBoxTakesOnlyWholeNumbers) {
    type("txtPort", "12a");
    EXPECT_EQ(boxes.boxes.back().title, "Number Required");
    EXPECT_EQ(find<QLineEdit>("txtPort")->text(), "");
    // The box is emptied at the decimal mark; the next key starts it again.
    type("txtPort", "21.5");
    EXPECT_EQ(boxes.boxes.back().title, "Integer Required");
    EXPECT_EQ(find<QLineEdit>("txtPort")->text(), "5");
    const std::size_t shown = boxes.boxes.size();
    type("txtPort", "2121");
    find<QLineEdit>("txtPort")->backspace();  // editing back to empty shows nothing
    EXPECT_EQ(boxes.boxes.size(), shown);
}

TEST_F(FtpPanelTest, CycleUploadsThePageAndRemoveBecomesSubstitute) {
    writeSource("board1.pgn", LiveGame("Kovacs", "Lindqvist", "1. e4 e5"), 0);
    newProject({"board1.pgn"});
    logOn();
    click("cmdConnect");
    ASSERT_EQ(curDir(), "/live");

    click("cmdTest");
    const std::string remote = server.root() + "/live/board1.htm";
    ASSERT_TRUE(fs::exists(remote));
    EXPECT_EQ(readFile(remote), readFile(html + "board1.htm"));
    EXPECT_EQ(find<QAbstractButton>("cmdRemovePgn")->text(), "Substitute");
    EXPECT_TRUE(waitFor([&] {
        return !find<QListWidget>("lstRemoteFiles")
                    ->findItems("board1.htm", Qt::MatchEndsWith)
                    .isEmpty();
    }));

    // After the first upload the button substitutes the source; Cancel keeps it.
    auto* list = find<QListWidget>("lboPgnFiles");
    list->setCurrentRow(0);
    boxes.answerNext(Answer::Cancel);
    click("cmdRemovePgn");
    EXPECT_EQ(boxes.boxes.back().title, "Please Read This Carefully!");
    EXPECT_EQ(state().monitorList.Count(), 1);
}

}  // namespace
}  // namespace korvane::test
