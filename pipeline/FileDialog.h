#pragma once
// The system's open dialog, asked of the Qt layer; tests script its answers.

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct ProgramState;

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

// The filter of a file-type keyword ("PGN", "EXE", "HTM", "INI", compared without regard to
// case); empty for any other type. Programs carry no extension here, so "EXE" lists every
// file.
std::string FilterFor(const std::string& fileType);

// A multiple selection as the system dialog returns it: the directory and the names, each
// ended by a NUL, with a second NUL at the end; a single chosen file comes as its full path.
FileSelection ParseMultiFileName(const std::string& result);

// One existing file chosen in the open dialog (the settings dialog's browse buttons).
// Returns the full path, or an empty text when the operator cancelled or chose a file of
// another type ("Wrong File Type").
std::string ChooseOneFile(ProgramState& state, FileDialog& dialog, const std::string& title,
                          const std::string& fileType, const std::string& initialDir);

}  // namespace korvane
