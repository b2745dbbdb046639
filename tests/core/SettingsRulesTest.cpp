// The settings dialog's rules and the main window's path check, on real files.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/SettingsRules.h"
#include "support/TestProgram.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class SettingsRulesTest : public ::testing::Test {
public:
    SettingsRulesTest() {
        converter = program.dir.write("tools/vistrel", "#!/bin/sh\n");
        fs::permissions(converter, fs::perms::owner_all);
        gameIni = program.dir.write("tools/game.ini", "[page]\n");
        overviewIni = program.dir.write("tools/overview.ini", "[page]\n");
        html = program.dir.path() + "/web.site/html";  // a directory whose path holds a dot
        fs::create_directories(html);
        fields.txtPath = {converter, gameIni, html, overviewIni, ""};
        fields.txtScanTime = "20";
        fields.txtTimeOut = "45";
        program.ui.answerOkByDefault();
    }
    const std::string& lastTitle() const { return program.ui.boxes.back().title; }

    TestProgram program;
    ProgramState& state = program.state;
    SettingsFields fields;
    std::string converter, gameIni, overviewIni, html;
};

TEST_F(SettingsRulesTest, UsableFieldsAreAppliedWithoutAMessage) {
    fields.chkIntro = true;
    fields.chkRename = true;
    fields.txtPath[4] = "final.txt";
    fields.txtScanTime = "2.5";  // rounded, halves to even
    fields.txtDelay = "15";
    ApplySettingsFields(state, fields);

    EXPECT_TRUE(program.ui.boxes.empty());
    EXPECT_TRUE(state.bPathsOk);
    EXPECT_EQ(state.settings.spubPathVistrel, converter);
    EXPECT_EQ(state.settings.spubPathHtml, html + "/");
    EXPECT_EQ(state.settings.spubIntroPgn, "final.pgn");
    EXPECT_EQ(state.settings.spubPathIntroIni, overviewIni);
    EXPECT_TRUE(state.settings.bIntroPage);
    EXPECT_TRUE(state.settings.bpubRenameFiles);
    EXPECT_EQ(state.settings.lpubScanTime, 2);
    EXPECT_EQ(state.settings.lpubTimeOut, 45);
    EXPECT_EQ(state.settings.lpubDelay, 15);
    EXPECT_EQ(SettingsFieldsFrom(state).txtDelay, "15");
    EXPECT_TRUE(ReportPathsState(state));

    // An emptied delay field switches the delay off.
    fields.txtDelay = "";
    ApplySettingsFields(state, fields);
    EXPECT_EQ(state.settings.lpubDelay, 0);
}

// The delay is refused outside 0 to 120 minutes, like a scan time that is no number, and
// the delay that was set stays.
TEST_F(SettingsRulesTest, DelayOutsideItsRangeIsRefused) {
    state.settings.lpubDelay = 15;
    for (const char* delay : {"121", "-1", "15m"}) {
        fields.txtDelay = delay;
        ApplySettingsFields(state, fields);
        EXPECT_EQ(lastTitle(), "Delay Out Of Range") << delay;
        EXPECT_FALSE(state.bPathsOk);
        EXPECT_EQ(state.settings.lpubDelay, 15);
    }
}

struct Refusal {
    const char* name;
    std::function<void(SettingsRulesTest&, SettingsFields&)> change;
    const char* title;
};

class RefusalTest : public SettingsRulesTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, StopsAtTheRuleWithItsMessage) {
    GetParam().change(*this, fields);
    ApplySettingsFields(state, fields);
    ASSERT_EQ(program.ui.boxes.size(), 1u);
    EXPECT_EQ(lastTitle(), GetParam().title);
    EXPECT_FALSE(state.bPathsOk);
    EXPECT_FALSE(ReportPathsState(state));
    EXPECT_EQ(lastTitle(), "Insufficient Path Information");
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RefusalTest,
    ::testing::Values(Refusal{"NoConverter", [](auto&, auto& f) { f.txtPath[0] = "/no/vistrel"; },
                              "Full Path Needed"},
                      Refusal{"NoGameIni", [](auto&, auto& f) { f.txtPath[1] = "/no/game.ini"; },
                              "Full Path Needed"},
                      Refusal{"NoHtmlDirectory", [](auto&, auto& f) { f.txtPath[2] = "/no/html"; },
                              "Directory Needed"},
                      Refusal{"ScanTimeZero", [](auto&, auto& f) { f.txtScanTime = "0"; },
                              "Scan Time Interval Required"},
                      Refusal{"ScanTimeEmpty", [](auto&, auto& f) { f.txtScanTime = ""; },
                              "Scan Time Interval Required"},
                      Refusal{"ScanTimeNegative", [](auto&, auto& f) { f.txtScanTime = "-5"; },
                              "Scan Time Interval Required"},
                      Refusal{"HtmlIsTheTemporaryDirectory",
                              [](auto& fixture, auto& f) {
                                  f.txtPath[2] = fixture.state.programDir + "temppgn/";
                              },
                              "Different Directories Needed."},
                      Refusal{"OverviewWithoutIni",
                              [](auto&, auto& f) {
                                  f.chkIntro = true;
                                  f.txtPath[3] = "/no/overview.ini";
                              },
                              "Full Path Needed"},
                      Refusal{"OverviewWithTheGameIni",
                              [](auto& fixture, auto& f) {
                                  f.chkIntro = true;
                                  f.txtPath[3] = fixture.gameIni;
                              },
                              "Two Ini Files Needed"},
                      Refusal{"OverviewNameTooLong",
                              [](auto&, auto& f) {
                                  f.chkIntro = true;
                                  f.txtPath[4] = "Games-5_all.pgn";
                              },
                              "Long File Name Error"},
                      Refusal{"OverviewNameIntoAnotherDirectory",
                              [](auto&, auto& f) {
                                  f.chkIntro = true;
                                  f.txtPath[4] = "a/x";
                              },
                              "Invalid File Name"}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST_F(SettingsRulesTest, ConverterMayNotBeThisProgram) {
    state.executableDir = program.dir.path() + "/tools/";
    fs::copy_file(converter, program.dir.file("tools/korvane"));
    fields.txtPath[0] = program.dir.file("tools/korvane");
    ApplySettingsFields(state, fields);
    EXPECT_EQ(lastTitle(), "Invalid Path");
    EXPECT_EQ(program.ui.boxes.back().icon, Icon::Critical);
    EXPECT_TRUE(fields.txtPath[0].empty());
}

TEST_F(SettingsRulesTest, HtmlEqualToTheTemporaryDirectoryIsClearedEverywhere) {
    fields.txtPath[2] = state.programDir + "temppgn";
    ApplySettingsFields(state, fields);
    EXPECT_TRUE(fields.txtPath[2].empty());
    EXPECT_TRUE(state.settings.spubPathHtml.empty());
}

TEST_F(SettingsRulesTest, ValuesOfRulesBeforeTheFailingOneStayApplied) {
    fields.txtScanTime = "0";
    fields.chkRename = true;
    ApplySettingsFields(state, fields);
    EXPECT_EQ(state.settings.spubPathHtml, html + "/");
    EXPECT_FALSE(state.settings.bpubRenameFiles);  // its rule comes after the failing one
    EXPECT_EQ(state.settings.lpubScanTime, 0);
}

TEST_F(SettingsRulesTest, OverviewNameOfOnlyRemovedCharactersIsRefusedAsEntered) {
    fields.chkIntro = true;
    fields.txtPath[4] = "+++";
    ApplySettingsFields(state, fields);
    EXPECT_EQ(program.ui.boxes.back().text, "+++ is not a valid file name.");
}

TEST_F(SettingsRulesTest, OverviewNameEqualToAListedGameIsCleared) {
    state.addGame("round1.pgn");
    fields.chkIntro = true;
    fields.txtPath[4] = "Round1";
    ApplySettingsFields(state, fields);
    EXPECT_EQ(lastTitle(), "Invalid File Name");
    EXPECT_EQ(program.ui.boxes.back().icon, Icon::Critical);
    EXPECT_TRUE(state.settings.spubIntroPgn.empty());
    EXPECT_FALSE(state.bPathsOk);
}

TEST_F(SettingsRulesTest, OpeningShowsDefaultsForZeroTimesAndAnEmptyOverviewGetsTheDefault) {
    const SettingsFields opened = SettingsFieldsFrom(state);
    EXPECT_EQ(opened.txtScanTime, "15");
    EXPECT_EQ(opened.txtTimeOut, "30");
    fields.chkIntro = true;
    fields.txtTimeOut = "";  // no time-out at all would stall uploads for good
    ApplySettingsFields(state, fields);
    EXPECT_EQ(state.settings.spubIntroPgn, "allgames.pgn");
    EXPECT_EQ(state.settings.lpubTimeOut, 60);
}

// The main window's check before a new project.
TEST_F(SettingsRulesTest, MainWindowCheckNamesEachClash) {
    ApplySettingsFields(state, fields);
    ASSERT_FALSE(CheckPaths(state));
    EXPECT_TRUE(program.ui.boxes.empty());

    const std::string tools = program.dir.path() + "/tools/";
    const std::vector<std::pair<std::function<void()>, std::string>> clashes{
        {[&] { state.settings.spubPathVistrel = "/no/vistrel"; },
         "Full path to Vistrel*.exe is mandatory."},
        {[&] { state.settings.spubPathVisIni = ""; },
         "Full path to Vistrel's ini file is mandatory."},
        {[&] { state.settings.spubPathHtml = tools; },
         "The target directory for HTML files must be different from that of Vistrel*.exe."},
        {[&] { state.settings.spubPathHtml = state.tempDir; },
         "The target directory for HTML files must be different from the temporary pgn "
         "files."},
    };
    for (const auto& [clash, message] : clashes) {
        ApplySettingsFields(state, fields);
        clash();
        EXPECT_TRUE(CheckPaths(state)) << message;
        EXPECT_EQ(program.ui.boxes.back().text, message);
        EXPECT_EQ(program.ui.boxes.back().icon, Icon::Critical);
    }
}

}  // namespace
}  // namespace korvane::test
