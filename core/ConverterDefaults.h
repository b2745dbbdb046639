#pragma once
// First-start defaults for the converter: the built vistrel and the two ini files that
// ship in data/, found from the directory of the running program.

#include <string>

namespace korvane {

struct Settings;

// Fills spubPathVistrel, spubPathVisIni and spubPathIntroIni when they are empty, with the
// first existing candidate beside, or one or two levels above, executableDir (the build
// tree puts the program in build/ui and the converter in build/vistrel; an installed
// program keeps them side by side, with the ini files in data/ beside them or, after
// cmake --install, in share/korvane beside bin/). Fields that are set, and
// fields for which no candidate exists, are left alone.
void FillConverterDefaults(Settings& settings, const std::string& executableDir);

}  // namespace korvane
