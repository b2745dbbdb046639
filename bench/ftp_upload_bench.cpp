// Time to publish pages over the kept FTP connection on 127.0.0.1: one 20 KB page stored
// under a temporary name and renamed into place (median and 95th percentile over many
// uploads), and one batch of 100 such pages. Uses the same local test server as the tests.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ProgramState.h"
#include "ftp/FtpPanelView.h"
#include "ftp/FtpSession.h"
#include "ftp/Inet.h"
#include "ftp/Upload.h"
#include "support/FtpServer.h"
#include "support/TestProgram.h"

using namespace korvane;
using namespace korvane::test;
using Steady = std::chrono::steady_clock;

namespace {

// A panel that holds only what the session reads back.
class BenchPanel : public FtpPanelView {
public:
    std::string text(FtpField f) const override { return m_texts[static_cast<int>(f)]; }
    void setText(FtpField f, const std::string& t) override { m_texts[static_cast<int>(f)] = t; }
    void setFieldEnabled(FtpField, bool) override {}
    void setFieldBackColour(FtpField, std::uint32_t) override {}
    bool isEnabled(FtpButton) const override { return true; }
    void setEnabled(FtpButton, bool) override {}
    void setChecked(FtpCheck, bool) override {}
    void setCurDirText(const std::string&) override {}
    void setRemoteFiles(const std::vector<std::string>&) override {}
    bool panelVisible() const override { return true; }
    void setTransferIndicatorVisible(int, bool) override {}
    void setRemoveButtonCaption(const std::string&) override {}
    void stopCountdownIfRunning() override {}

private:
    std::string m_texts[6];
};

double ms(Steady::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
    constexpr int kSingles = 200;
    constexpr int kBatch = 100;

    FtpServer server;
    std::filesystem::create_directories(server.root() + "/live");
    TestProgram program;
    ProgramState& state = program.state;
    state.settings.spubPathHtml = program.dir.path() + "/html/";
    state.settings.spubRemoteHtmDir = "/live";
    state.settings.bpubRenameFiles = true;
    state.settings.lpubTimeOut = 10;

    BenchPanel panel;
    panel.setText(FtpField::txtURL, "127.0.0.1");
    panel.setText(FtpField::txtPort, std::to_string(server.port()));
    panel.setText(FtpField::txtUserName, FtpServer::kUser);
    panel.setText(FtpField::txtPassword, FtpServer::kPassword);
    Inet inet;
    FtpSession session(state, panel, inet);
    FtpUploader uploader(session);
    session.Connect();

    const std::string page(20 * 1024, 'p');
    std::vector<std::string> names;
    for (int i = 0; i < kBatch; ++i) {
        names.push_back("game" + std::to_string(i) + ".htm");
        program.dir.write("html/" + names.back(), page);
    }

    // Runs fn kSingles times; the median and 95th percentile in milliseconds.
    auto measure = [&state](const auto& fn) {
        std::vector<double> times;
        for (int i = 0; i < kSingles; ++i) {
            const auto start = Steady::now();
            fn();
            times.push_back(ms(Steady::now() - start));
            state.ui.setLogText("");
        }
        std::sort(times.begin(), times.end());
        return std::pair(times[times.size() / 2],
                         times[static_cast<std::size_t>(times.size() * 0.95)]);
    };
    const std::string local = state.settings.spubPathHtml + names[0];
    const auto [median, p95] = measure([&] {
        session.ExecuteAndWait("PUT " + local + " kv1.htm");
        session.ExecuteAndWait("RENAME kv1.htm " + names[0]);
    });
    const auto [putMedian, putP95] = measure([&] {
        UploadQueue one{{names[0]}, std::nullopt};
        uploader.Upload(one);
        uploader.WaitUntilDone();
    });

    UploadQueue queue{names, std::nullopt};
    const auto start = Steady::now();
    uploader.Upload(queue);
    uploader.WaitUntilDone();
    const double batch = ms(Steady::now() - start);

    std::printf(
        "One 20 KB page stored as kv1.htm and renamed, kept connection, %d runs:\n"
        "  median %.2f ms, p95 %.2f ms\n",
        kSingles, median, p95);
    std::printf(
        "One page through the upload (a private copy, log entries and the closing listing "
        "included):\n  median %.2f ms, p95 %.2f ms\n",
        putMedian, putP95);
    std::printf("A batch of %d pages of 20 KB through Upload: %.1f ms (%.2f ms per page)\n", kBatch,
                batch, batch / kBatch);
    return uploader.pendingHtml().empty() ? 0 : 1;
}
