#include "core/ConverterDefaults.h"

#include <filesystem>
#include <initializer_list>
#include <utility>

#include "core/Settings.h"

namespace fs = std::filesystem;

namespace korvane {

namespace {

// The first of dir/rel, dir/../rel, dir/../../rel (for each rel in turn) that is a file.
std::string findUpwards(const fs::path& dir, std::initializer_list<const char*> relatives) {
    for (const char* relative : relatives) {
        fs::path base = dir;
        for (int level = 0; level < 3; ++level) {
            std::error_code ec;
            const fs::path candidate = (base / relative).lexically_normal();
            if (fs::is_regular_file(candidate, ec)) {
                return candidate.string();
            }
            base = base / "..";
        }
    }
    return {};
}

// An installed program keeps its ini files in its data directory (share/korvane), which
// lies at this path from the program's directory.
#ifndef KORVANE_DATA_FROM_BIN
#define KORVANE_DATA_FROM_BIN "../share/korvane"
#endif

std::string installedDataFile(const fs::path& dir, const char* name) {
    std::error_code ec;
    const fs::path candidate = (dir / KORVANE_DATA_FROM_BIN / name).lexically_normal();
    return fs::is_regular_file(candidate, ec) ? candidate.string() : std::string();
}

void fillIfEmpty(std::string& field, const std::string& value) {
    if (field.empty() && !value.empty()) {
        field = value;
    }
}

}  // namespace

void FillConverterDefaults(Settings& settings, const std::string& executableDir) {
    const fs::path dir(executableDir);
    fillIfEmpty(settings.spubPathVistrel, findUpwards(dir, {"vistrel", "vistrel/vistrel"}));
    for (const auto& [field, name] :
         {std::pair{&settings.spubPathVisIni, "vistrel-game.ini"},
          std::pair{&settings.spubPathIntroIni, "vistrel-overview.ini"}}) {
        fillIfEmpty(*field, findUpwards(dir, {(std::string("data/") + name).c_str()}));
        fillIfEmpty(*field, installedDataFile(dir, name));
    }
}

}  // namespace korvane
