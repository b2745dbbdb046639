#include "ui/cCommonDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "ui/QtText.h"

namespace korvane {

QString cCommonDialog::QtFilter(const std::string& filter) {
    const QStringList parts = toQ(filter).split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(';', ' ');
        filters.append(description.contains('(') ? description
                                                 : description + " (" + pattern + ")");
    }
    return filters.join(";;");
}

// The chosen files in the system's raw form (directory and names, each ended by a NUL, and a
// second NUL; one file as its full path), taken apart by the program's own rule.
std::optional<FileSelection> cCommonDialog::open(const std::string& title,
                                                 const std::string& filter,
                                                 const std::string& initialDir, bool multiSelect) {
    QFileDialog dialog(QApplication::activeWindow(), toQ(title), toQ(initialDir), QtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QStringList files = dialog.selectedFiles();
    std::string raw;
    if (files.size() == 1) {
        raw = fromQ(files.front());
    } else {
        raw = fromQ(QFileInfo(files.front()).absolutePath()) + '\0';
        for (const QString& file : files) {
            raw += fromQ(QFileInfo(file).fileName()) + '\0';
        }
        raw += '\0';
    }
    return ParseMultiFileName(raw);
}

std::optional<std::string> cCommonDialog::save(QWidget* parent, const std::string& title,
                                               const std::string& fileType,
                                               const std::string& initialDir) {
    const std::string filter = FilterFor(fileType);
    QFileDialog dialog(parent, toQ(title), toQ(initialDir),
                       QtFilter(filter.empty() ? fileType : filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return fromQ(dialog.selectedFiles().front());
}

}  // namespace korvane
