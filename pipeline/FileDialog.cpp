#include "pipeline/FileDialog.h"

#include "core/FileUtils.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"

namespace korvane {

std::string FilterFor(const std::string& fileType) {
    const std::string type = ToLower(fileType);
    if (type == "pgn") {
        return "Pgn files (*.pgn)|*.pgn|";
    }
    if (type == "exe") {
        return "Programs (*)|*|";
    }
    if (type == "htm") {
        return "HTML files (*.htm)|*.htm|";
    }
    if (type == "ini") {
        return "Ini files (*.ini)|*.ini|";
    }
    return "";
}

FileSelection ParseMultiFileName(const std::string& result) {
    FileSelection selection;
    if (result.find(std::string(2, '\0')) != std::string::npos) {
        std::size_t start = result.find('\0');
        selection.directory = result.substr(0, start);
        for (++start; start < result.size() && result[start] != '\0';) {
            const std::size_t end = result.find('\0', start);
            selection.names.push_back(result.substr(start, end - start));
            start = end + 1;
        }
        return selection;
    }
    const std::size_t sep = result.rfind(kSep);
    if (sep == std::string::npos || sep == 0) {
        selection.names.push_back(result);
    } else {
        selection.directory = result.substr(0, sep);
        selection.names.push_back(result.substr(sep + 1));
    }
    return selection;
}

std::string ChooseOneFile(ProgramState& state, FileDialog& dialog, const std::string& title,
                          const std::string& fileType, const std::string& initialDir) {
    const auto choice = dialog.open(title, FilterFor(fileType), initialDir, false);
    if (!choice || choice->names.empty()) {
        return {};
    }
    const std::string& name = choice->names.front();
    const bool program = EqualsNoCase(fileType, "exe");
    const std::string ending = name.size() >= 3 ? name.substr(name.size() - 3) : name;
    if (!fileType.empty() && !program && !EqualsNoCase(ending, fileType)) {
        state.ui.messageBox("Not a *." + fileType + " file", "Wrong File Type", Buttons::Ok,
                            Icon::None);
        return {};
    }
    return WithTrailingSep(choice->directory) + name;
}

}  // namespace korvane
