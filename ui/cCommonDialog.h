#pragma once
// The system's open and save dialogs with a title, a filter ("Pgn files (*.pgn)|*.pgn|"),
// an initial directory, single or multiple selection of existing files, and a question
// before overwriting on saving. Cancelling returns nothing.

#include <QString>
#include <optional>
#include <string>

#include "pipeline/FileDialog.h"

class QWidget;

namespace korvane {

class cCommonDialog : public FileDialog {
public:
    std::optional<FileSelection> open(const std::string& title, const std::string& filter,
                                      const std::string& initialDir, bool multiSelect) override;

    // The save dialog for a file type ("PGN", ...; any other text is used as the filter).
    static std::optional<std::string> save(QWidget* parent, const std::string& title,
                                           const std::string& fileType,
                                           const std::string& initialDir);

    // A filter of description and pattern pairs, each followed by "|", in Qt's form.
    static QString QtFilter(const std::string& filter);
};

}  // namespace korvane
