#pragma once
// The system's open dialog, asked of the Qt layer; tests script its answers.

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What the operator chose: the directory and the file names in it (one or more).
struct FileSelection {
    std::string directory;
    std::vector<std::string> names;
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // filter is e.g. "Pgn files (*.pgn)|*.pgn|" (empty for none); multiSelect lets the
    // operator choose several files, otherwise the chosen file must exist. Returns nothing
    // when the operator cancels.
    virtual std::optional<FileSelection> open(const std::string& title, const std::string& filter,
                                              const std::string& initialDir, bool multiSelect) = 0;
};

}  // namespace korvane
