#pragma once
// The FTP panel as plain values, a program with an FTP session and its uploader wired to it,
// and a fixture that points that program at a fresh test server and uploads to it.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ftp/FtpPanelView.h"
#include "ftp/FtpSession.h"
#include "ftp/Inet.h"
#include "ftp/Upload.h"
#include "support/FtpServer.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace korvane::test {

using Lines = std::vector<std::string>;

class FakePanelView : public FtpPanelView {
public:
    std::string text(FtpField field) const override { return texts[field]; }
    void setText(FtpField field, const std::string& value) override { texts[field] = value; }
    void setFieldEnabled(FtpField field, bool on) override { fieldEnabled[field] = on; }
    void setFieldBackColour(FtpField field, std::uint32_t colour) override {
        backColour[field] = colour;
    }
    bool isEnabled(FtpButton button) const override { return buttons[button]; }
    void setEnabled(FtpButton button, bool on) override { buttons[button] = on; }
    void setChecked(FtpCheck, bool) override {}
    void setCurDirText(const std::string& value) override { curDir = value; }
    void setRemoteFiles(const Lines& lines) override { remoteFiles = lines; }
    bool panelVisible() const override { return true; }
    void setTransferIndicatorVisible(int which, bool shown) override {
        (which == 1 ? indicator1 : indicator2) = shown;
    }
    void setRemoveButtonCaption(const std::string& caption) override { removeCaption = caption; }
    void stopCountdownIfRunning() override { ++countdownStops; }

    mutable std::map<FtpField, std::string> texts;
    std::map<FtpField, bool> fieldEnabled;
    std::map<FtpField, std::uint32_t> backColour;
    mutable std::map<FtpButton, bool> buttons;
    std::string curDir;
    Lines remoteFiles;
    bool indicator1 = false;
    bool indicator2 = false;
    std::string removeCaption = "Remove";
    int countdownStops = 0;
};

struct FtpProgram {
    FtpProgram() {
        state.settings.lpubTimeOut = 10;
        state.settings.spubPathHtml = program.dir.path() + "/html/";
        session.LoadPanel();
    }

    TestProgram program;
    ProgramState& state = program.state;
    ScriptedOperator& ui = program.ui;
    FakePanelView view;
    Inet inet;
    FtpSession session{state, view, inet};
    FtpUploader uploader{session};
};

// The commands that show what the client did, without the transfer set-up and the password.
inline Lines Significant(const Lines& commands) {
    static const std::set<std::string> setUp{"EPSV", "PASV", "TYPE", "AUTH",
                                             "PBSZ", "PROT", "PASS"};
    Lines out;
    for (const auto& c : commands) {
        if (!setUp.contains(c.substr(0, c.find(' ')))) {
            out.push_back(c);
        }
    }
    return out;
}

// Runs the work while a watchdog waits half a minute for it: a client that waits without
// bound is let go (the server resumed and killed), so it fails the test instead of hanging it.
inline bool endsInTime(FtpServer& server, const std::function<void()>& work) {
    std::atomic<bool> done{false}, fired{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 300 && !done; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!done) {
            fired = true;
            server.resume();
            server.kill();
        }
    });
    work();
    done = true;
    watchdog.join();
    return !fired;
}

inline long occurrences(const std::string& text, const std::string& part) {
    long count = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1)) {
        ++count;
    }
    return count;
}

// Content that names its file, so a file sent under the wrong name shows.
inline std::string bytesOf(const std::string& name) {
    return name.ends_with(".pgn") ? "[Event \"" + name + "\"]\r\n\r\n1. e4 *\r\n"
                                  : "<html>" + name + "</html>\r\n";
}

// A program whose panel points at a test server holding "/live" and "/pgn files"; pages
// and PGN files go to "/live", under temporary names.
class FtpTest : public ::testing::Test {
protected:
    void SetUp() override { start({}); }
    void start(FtpServerOptions options, const std::string& scheme = "") {
        server = std::make_unique<FtpServer>(options);
        std::filesystem::create_directories(server->root() + "/live");
        std::filesystem::create_directories(server->root() + "/pgn files");
        p.view.setText(FtpField::txtURL, scheme + "127.0.0.1");
        p.view.setText(FtpField::txtPort, std::to_string(server->port()));
        p.view.setText(FtpField::txtUserName, FtpServer::kUser);
        p.view.setText(FtpField::txtPassword, FtpServer::kPassword);
        p.state.settings.spubRemoteHtmDir = "/live";
        p.state.settings.spubRemotePgnDir = "/live";
        p.state.settings.bpubRenameFiles = true;
    }
    bool logHas(const std::string& text) const {
        return p.ui.logText().find(text) != std::string::npos;
    }
    long statusCount(const std::string& status) const {
        return std::ranges::count(p.ui.statuses, status);
    }
    // The secret shows in none of the log, the status line and the component's address.
    void expectHidden(const std::string& secret) const {
        EXPECT_FALSE(logHas(secret)) << secret;
        for (const auto& status : p.ui.statuses) {
            EXPECT_EQ(status.find(secret), std::string::npos) << status;
        }
        EXPECT_EQ(p.inet.URL().find(secret), std::string::npos) << secret;
    }
    void connect() {
        p.session.Connect();
        server->clearCommands();
        p.ui.setLogText("");
    }
    // Writes the local files: pages in the HTML directory, PGN files in temppgn.
    void write(const Lines& names) {
        for (const auto& name : names) {
            p.program.dir.write((name.ends_with(".pgn") ? "temppgn/" : "html/") + name,
                                bytesOf(name));
        }
    }
    void upload(Lines html, std::optional<Lines> pgns = std::nullopt) {
        UploadQueue queue{std::move(html), std::move(pgns)};
        p.uploader.Upload(queue);
        p.uploader.WaitUntilDone();
    }
    long received(const std::string& command) const {
        return std::ranges::count(server->commands(), command);
    }
    // The remote directory holds exactly these files (so no temporary file), each with its
    // own content.
    void expectOnServer(const std::string& dir, const Lines& names) {
        std::set<std::string> found;
        for (const auto& e : std::filesystem::directory_iterator(server->root() + dir)) {
            found.insert(e.path().filename().string());
        }
        EXPECT_EQ(found, std::set<std::string>(names.begin(), names.end())) << dir;
        for (const auto& name : names) {
            EXPECT_EQ(readFile(server->root() + dir + "/" + name), bytesOf(name)) << name;
        }
    }

    std::unique_ptr<FtpServer> server;
    FtpProgram p;
};

}  // namespace korvane::test
