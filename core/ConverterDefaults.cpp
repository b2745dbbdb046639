#include "core/ConverterDefaults.h"

#include <filesystem>
#include <initializer_list>

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

void fillIfEmpty(std::string& field, const std::string& value) {
    if (field.empty() && !value.empty()) {
        field = value;
    }
}

}  // namespace

void FillConverterDefaults(Settings& settings, const std::string& executableDir) {
    const fs::path dir(executableDir);
    fillIfEmpty(settings.spubPathVistrel, findUpwards(dir, {"vistrel", "vistrel/vistrel"}));
    fillIfEmpty(settings.spubPathVisIni, findUpwards(dir, {"data/vistrel-game.ini"}));
    fillIfEmpty(settings.spubPathIntroIni, findUpwards(dir, {"data/vistrel-overview.ini"}));
}

}  // namespace korvane
