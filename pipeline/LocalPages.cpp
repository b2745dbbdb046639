#include "pipeline/LocalPages.h"

#include <filesystem>

#include "core/FileUtils.h"
#include "core/ProgramState.h"
#include "pipeline/ConverterRun.h"
#include "pipeline/Overview.h"

namespace korvane {

namespace {

constexpr const char* kTitle = "Open In Browser";

}  // namespace

std::string LocalPagePath(const ProgramState& state, const std::string& key) {
    if (key.empty() || !state.monitorList.Contains(key)) {
        return {};
    }
    return WithTrailingSep(state.settings.spubPathHtml) + state.monitorList.Item(key).NameHtml;
}

std::string LocalOverviewPath(const ProgramState& state) {
    const std::string& pgn = state.settings.spubIntroPgn;
    return WithTrailingSep(state.settings.spubPathHtml) +
           OverviewPageName(pgn.empty() ? std::string(kDefaultIntroPgn) : pgn);
}

bool LocalPageReady(ProgramState& state, const std::string& path, bool overview) {
    std::error_code ec;
    if (!path.empty() && std::filesystem::is_regular_file(path, ec)) {
        return true;
    }
    if (overview && !state.settings.bIntroPage) {
        state.ui.messageBox(
            "The overview page is switched off. Switch it on in the settings "
            "dialog; the next scan with changes makes it.",
            kTitle, Buttons::Ok, Icon::Information);
    } else {
        state.ui.messageBox(path +
                                " has not been made yet. Korvane writes it at the next scan "
                                "that finds the game changed (START, or \"Go !\" at once).",
                            kTitle, Buttons::Ok, Icon::Information);
    }
    return false;
}

}  // namespace korvane
