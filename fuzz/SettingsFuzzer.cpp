// libFuzzer target for the settings reader. Besides "no crash, no sanitizer report, no
// hang" it checks that what the reader took survives a save and a second read unchanged,
// byte for byte.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/Clock.h"
#include "core/Config.h"
#include "core/Operator.h"
#include "core/ProgramState.h"

using namespace korvane;

namespace {

// Nobody is asked anything while the settings are read; a box would be a finding.
class SilentOperator : public Operator {
public:
    Answer messageBox(const std::string&, const std::string&, Buttons, Icon) override {
        std::abort();
    }
    std::string logText() const override { return {}; }
    void setLogText(const std::string&) override {}
    bool monitorVisible() const override { return false; }
    void setStatus(const std::string&) override {}
    void raiseAlarm() override {}
    void setEditorSaveButtonsVisible(bool) override {}
    void enableEditorReload(const std::string&) override {}
    void showSettingsDialog() override {}
    void processEvents() override {}
};

class StillClock : public Clock {
public:
    DateTime now() const override { return {}; }
    std::string format(DateTime) const override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SilentOperator ui;
    StillClock clock;
    ProgramState first(ui, clock);
    ReadCfgText(first, std::string_view(reinterpret_cast<const char*>(data), size));
    ProgramState second(ui, clock);
    ReadCfgText(second, SettingsText(first.settings));
    // Numbers and the overview name the file did not give read back as their defaults, and
    // logon values are kept only while the file says to keep them.
    Settings expected = first.settings;
    if (!expected.bSaveLogon) {
        expected.spubFTPURL.clear();
        expected.spubFTPUser.clear();
        expected.spubRemoteHtmDir.clear();
        expected.spubRemotePgnDir.clear();
        expected.spubRemotePort.clear();
    }
    if (expected.lpubScanTime == 0) {
        expected.lpubScanTime = 10;
    }
    if (expected.lpubTimeOut == 0) {
        expected.lpubTimeOut = 60;
    }
    if (expected.spubIntroPgn.empty()) {
        expected.spubIntroPgn = "allgames.pgn";
    }
    if (!(second.settings == expected)) {
        std::abort();
    }
    return 0;
}
