#pragma once
// The directory picker: a list of drives (here "/" and the mounted volumes), the directory
// list (the path from the root down to the open directory, then its subdirectories) and
// the chosen path. OK returns the directory list's path; a typed path only enables OK.

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class frmDirSearch;
}

namespace korvane {

class frmDirSearch : public QDialog {
    Q_OBJECT

public:
    // caption: why the directory is asked for; dir: where the list opens.
    frmDirSearch(const std::string& caption, const std::string& dir, QWidget* parent = nullptr);
    ~frmDirSearch() override;

    // The directory the list is open at.
    QString path() const { return m_path; }
    void setPath(const QString& path);
    // After OK the chosen directory; otherwise the directory the picker was given.
    const std::string& sDialogDir() const { return m_sDialogDir; }

    // Shows the picker modally; the chosen directory, or an empty text after Cancel.
    static std::string choose(QWidget* parent, const std::string& caption, const std::string& dir);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillDrives();
    void selectDriveOf(const QString& path);
    void Drive1_Change(int index);
    void cmdOK_Click();

    std::unique_ptr<Ui::frmDirSearch> ui;
    QString m_path;
    std::string m_sDialogDir;
};

}  // namespace korvane
