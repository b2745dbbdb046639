// cmake --install: an installed program finds its converter and ini files at its first
// start, and the converter it finds works with them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/Startup.h"
#include "support/TestProgram.h"

namespace fs = std::filesystem;

namespace korvane::test {
namespace {

int run(const std::string& command, const std::string& output) {
    return std::system((command + " > '" + output + "' 2>&1").c_str());
}

TEST(Install, InstalledProgramFindsItsConverterAndIniFilesAtFirstStart) {
    TempDir prefix;
    const std::string log = prefix.file("install.log");
    ASSERT_EQ(run(std::string("'") + KORVANE_CMAKE + "' --install '" + KORVANE_BINARY_DIR +
                      "' --prefix '" + prefix.path() + "/usr'",
                  log),
              0)
        << readFile(log);
    const std::string usr = prefix.path() + "/usr";
    const std::string data = usr + "/share/korvane/";
    EXPECT_TRUE(fs::exists(usr + "/share/icons/hicolor/scalable/apps/korvane.svg"));
    const std::string desktop = readFile(usr + "/share/applications/korvane.desktop");
    EXPECT_NE(desktop.find("Icon=korvane\n"), std::string::npos);
    EXPECT_NE(desktop.find("/bin/korvane\n"), std::string::npos) << desktop;
#ifdef KORVANE_INSTALLS_PROGRAM
    EXPECT_TRUE(fs::exists(usr + "/bin/korvane"));
#endif

    // The first start of the installed program: no settings file yet, the program's
    // directory is the installed bin directory.
    TestProgram program;
    program.state.executableDir = usr + "/bin";
    ASSERT_TRUE(Main(program.state));
    const Settings& settings = program.state.settings;
    EXPECT_EQ(
        std::tie(settings.spubPathVistrel, settings.spubPathVisIni, settings.spubPathIntroIni),
        std::tuple(usr + "/bin/vistrel", data + "vistrel-game.ini", data + "vistrel-overview.ini"));

    // The converter found there turns a game into a page with the ini file found there.
    const std::string game =
        program.dir.write("boards/round1.pgn", "[White \"A\"]\n[Black \"B\"]\n\n1. e4 e5 *\n");
    EXPECT_EQ(run("'" + settings.spubPathVistrel + "' '" + game + "' '" + settings.spubPathVisIni +
                      "' -x",
                  prefix.file("vistrel.log")),
              0)
        << readFile(prefix.file("vistrel.log"));
    EXPECT_TRUE(fs::exists(program.dir.file("boards/round1.htm")));
}

}  // namespace
}  // namespace korvane::test
