// First-start converter defaults found from the program's directory layout.

#include <gtest/gtest.h>

#include "core/ConverterDefaults.h"
#include "core/Settings.h"
#include "support/TempDir.h"

namespace korvane::test {
namespace {

struct Layout {
    const char* name;
    const char* exeDir;  // relative to the root
    const char* vistrel;
    const char* data;  // directory holding the two ini files
};
void PrintTo(const Layout& c, std::ostream* os) {
    *os << c.name;
}

class DefaultsTest : public ::testing::TestWithParam<Layout> {};

TEST_P(DefaultsTest, FindsTheConverterAndItsIniFiles) {
    const Layout& l = GetParam();
    TempDir root;
    root.write(std::string(l.exeDir) + "/korvane", "");
    const std::string vistrel = root.write(l.vistrel, "");
    const std::string gameIni = root.write(std::string(l.data) + "/vistrel-game.ini", "");
    const std::string overIni = root.write(std::string(l.data) + "/vistrel-overview.ini", "");

    Settings settings;
    FillConverterDefaults(settings, root.file(l.exeDir));
    EXPECT_EQ(settings.spubPathVistrel, vistrel);
    EXPECT_EQ(settings.spubPathVisIni, gameIni);
    EXPECT_EQ(settings.spubPathIntroIni, overIni);

    Settings chosen;
    chosen.spubPathVistrel = "/opt/other/vistrel";
    FillConverterDefaults(chosen, root.file(l.exeDir));
    EXPECT_EQ(chosen.spubPathVistrel, "/opt/other/vistrel") << "a chosen path stays";
}

INSTANTIATE_TEST_SUITE_P(Layouts, DefaultsTest,
                         ::testing::Values(Layout{"BuildTree", "build/ui", "build/vistrel/vistrel",
                                                  "data"},
                                           Layout{"SideBySide", "bin", "bin/vistrel", "bin/data"}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace korvane::test
