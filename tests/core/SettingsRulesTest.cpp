// The settings dialog's rules and the main window's path check, on real files.

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "core/SettingsRules.h"
#include "support/TestProgram.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

class SettingsRulesTest : public ::testing::Test {
public:
    SettingsRulesTest() {
        fs::create_directories(html);
        fields.txtPath = {converter, gameIni, html, overviewIni, ""};
        fields.txtScanTime = "20";
        fields.txtTimeOut = "45";
        program.ui.answerOkByDefault();
    }
    std::string lastTitle() const {
        return program.ui.boxes.empty() ? "no box" : program.ui.boxes.back().title;
    }

    TestProgram program;
    ProgramState& state = program.state;
    const Settings& s = state.settings;
    const std::string converter = program.dir.write("tools/vistrel", "#!/bin/sh\n");
    const std::string gameIni = program.dir.write("tools/game.ini", "[page]\n");
    const std::string overviewIni = program.dir.write("tools/overview.ini", "[page]\n");
    const std::string html = program.dir.file("web.site/html");  // a dot in a directory's path
    SettingsFields fields;
};

TEST_F(SettingsRulesTest, UsableFieldsAreAppliedWithoutAMessage) {
    const SettingsFields opened = SettingsFieldsFrom(state);
    EXPECT_EQ(std::tie(opened.txtScanTime, opened.txtTimeOut), std::tuple("15", "30"))
        << "zero times open as their defaults";
    fields.chkIntro = fields.chkRename = true;
    fields.txtPath[4] = "final.txt";
    fields.txtScanTime = "2.5";  // rounded, halves to even
    fields.txtDelay = "15";
    ApplySettingsFields(state, fields);

    EXPECT_TRUE(program.ui.boxes.empty());
    EXPECT_TRUE(state.bPathsOk && s.bIntroPage && s.bpubRenameFiles);
    EXPECT_EQ(std::tie(s.spubPathVistrel, s.spubPathVisIni, s.spubPathHtml, s.spubPathIntroIni,
                       s.spubIntroPgn),
              std::tuple(converter, gameIni, html + "/", overviewIni, "final.pgn"));
    EXPECT_EQ(std::tie(s.lpubScanTime, s.lpubTimeOut, s.lpubDelay), std::tuple(2, 45, 15));
    EXPECT_EQ(SettingsFieldsFrom(state).txtDelay, "15");
    EXPECT_TRUE(ReportPathsState(state));

    // Emptied fields: no delay, the default overview name, and a time-out (none at all would
    // stall uploads for good).
    fields.txtDelay = fields.txtTimeOut = fields.txtPath[4] = "";
    ApplySettingsFields(state, fields);
    EXPECT_EQ(std::tie(s.lpubDelay, s.spubIntroPgn, s.lpubTimeOut),
              std::tuple(0, "allgames.pgn", 60));
}

// Each refusal stops at its rule with its message, and the paths are then not usable; the
// delay that was set stays (it is refused outside 0 to 120 minutes, like a scan time).
TEST_F(SettingsRulesTest, RefusalsStopAtTheirRuleWithTheirMessage) {
    struct Row {
        int field;  // 0 to 4: txtPath (3 and 4 turn the overview on); 5: scan time; 6: delay
        std::string value;
        const char* title;
    };
    state.settings.lpubDelay = 15;
    for (const Row& row :
         std::vector<Row>{{0, "/no/vistrel", "Full Path Needed"},
                          {1, "/no/game.ini", "Full Path Needed"},
                          {2, "/no/html", "Directory Needed"},
                          {5, "0", "Scan Time Interval Required"},
                          {5, "", "Scan Time Interval Required"},
                          {5, "-5", "Scan Time Interval Required"},
                          {6, "121", "Delay Out Of Range"},
                          {6, "-1", "Delay Out Of Range"},
                          {6, "15m", "Delay Out Of Range"},
                          {2, state.programDir + "temppgn/", "Different Directories Needed."},
                          {3, "/no/overview.ini", "Full Path Needed"},
                          {3, gameIni, "Two Ini Files Needed"},
                          {4, "Games-5_all.pgn", "Long File Name Error"},
                          {4, "a/x", "Invalid File Name"},
                          {4, "+++", "Invalid File Name"}}) {
        SettingsFields changed = fields;
        changed.chkIntro = row.field == 3 || row.field == 4;
        (row.field < 5    ? changed.txtPath[row.field]
         : row.field == 5 ? changed.txtScanTime
                          : changed.txtDelay) = row.value;
        program.ui.boxes.clear();
        state.bPathsOk = false;  // as the dialog sets it when it opens
        ApplySettingsFields(state, changed);
        ASSERT_EQ(program.ui.boxes.size(), 1u) << row.value;
        EXPECT_EQ(lastTitle(), row.title) << row.value;
        EXPECT_FALSE(ReportPathsState(state));
        EXPECT_EQ(lastTitle(), "Insufficient Path Information");
    }
    EXPECT_EQ(program.ui.boxes[0].text, "+++ is not a valid file name.") << "as entered";
    EXPECT_EQ(s.lpubDelay, 15);
}

// A refusal keeps the values of the rules before it. Three clashes clear the value in the
// field and the settings: an HTML directory equal to the temporary one, and, critical, this
// program taken for the converter and an overview named like a listed game.
TEST_F(SettingsRulesTest, RefusalKeepsEarlierValuesAndClearsAClash) {
    fields.txtScanTime = "0";
    fields.chkRename = true;
    ApplySettingsFields(state, fields);
    EXPECT_EQ(s.spubPathHtml, html + "/");
    EXPECT_FALSE(s.bpubRenameFiles);  // its rule comes after the failing one
    EXPECT_EQ(s.lpubScanTime, 0);

    fields.txtScanTime = "20";
    fields.txtPath[2] = state.programDir + "temppgn";
    ApplySettingsFields(state, fields);
    EXPECT_TRUE(fields.txtPath[2].empty());
    EXPECT_TRUE(s.spubPathHtml.empty());

    state.executableDir = program.dir.file("tools/");
    fs::copy_file(converter, program.dir.file("tools/korvane"));
    SettingsFields self = fields;
    self.txtPath[0] = program.dir.file("tools/korvane");
    ApplySettingsFields(state, self);
    ASSERT_EQ(lastTitle(), "Invalid Path");
    EXPECT_EQ(program.ui.boxes.back().icon, Icon::Critical);
    EXPECT_TRUE(self.txtPath[0].empty());
    EXPECT_EQ(s.spubPathVistrel, converter) << "the refused path is not kept";

    state.addGame("round1.pgn");
    fields.txtPath[2] = html;
    fields.chkIntro = true;
    fields.txtPath[4] = "Round1";
    ApplySettingsFields(state, fields);
    ASSERT_EQ(lastTitle(), "Invalid File Name");
    EXPECT_EQ(program.ui.boxes.back().icon, Icon::Critical);
    EXPECT_TRUE(s.spubIntroPgn.empty());
    EXPECT_FALSE(state.bPathsOk);
}

// The main window's check before a new project.
TEST_F(SettingsRulesTest, MainWindowCheckNamesEachClash) {
    ApplySettingsFields(state, fields);
    ASSERT_FALSE(CheckPaths(state));
    EXPECT_TRUE(program.ui.boxes.empty());

    for (const auto& [field, value, message] :
         std::vector<std::tuple<std::string Settings::*, std::string, std::string>>{
             {&Settings::spubPathVistrel, "/no/vistrel", "Full path to Vistrel*.exe is mandatory."},
             {&Settings::spubPathVisIni, "", "Full path to Vistrel's ini file is mandatory."},
             {&Settings::spubPathHtml, program.dir.path() + "/tools/",
              "The target directory for HTML files must be different from that of Vistrel*.exe."},
             {&Settings::spubPathHtml, state.tempDir,
              "The target directory for HTML files must be different from the temporary pgn "
              "files."}}) {
        ApplySettingsFields(state, fields);
        state.settings.*field = value;
        ASSERT_TRUE(CheckPaths(state)) << message;
        EXPECT_EQ(program.ui.boxes.back().text, message);
        EXPECT_EQ(program.ui.boxes.back().icon, Icon::Critical);
    }
}

}  // namespace
}  // namespace korvane::test
