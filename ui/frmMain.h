#pragma once
// The main window: a multiple-document frame around the monitor window and the PGN
// editors, with the menu bar, the Window menu's arrangements, the status bar with its date
// and time, the settings dialog and the About box. Closing it writes the settings file.

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <string>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace korvane {

struct ProgramState;
class FileDialog;
class frmProject;
class Editors;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    frmMain(ProgramState& state, FileDialog& dialog, QWidget* parent = nullptr);
    ~frmMain() override;

    ProgramState& state() { return m_state; }
    FileDialog& fileDialog() { return m_dialog; }
    QMdiArea* mdiArea() const { return m_mdi; }

    // The monitor window, or nullptr while the project is closed.
    frmProject* project() const;
    // Creates the monitor window (not shown) when it is closed.
    frmProject& ensureProject();
    void showProject();

    // The settings dialog, modal; its closing enables New Project when the paths are usable.
    void showSettingsDialog();
    // The save dialog with the program's filter for the file type; the chosen path goes into
    // result. Returns false when the operator cancelled.
    bool SaveFileDialog(const std::string& title, const std::string& fileType, std::string& result,
                        const std::string& initialDir);

    // The project was closed in the monitor window after the operator said Yes.
    void projectClosed();
    // Closes every editor window, from the last of colEditors to the first.
    void closeEditors();

    // The editor windows: colEditors, lCurrentEditor, the annotation pop-ups and opening
    // files in editors.
    Editors& editors() { return *m_editors; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createFileMenu();
    void createWindowMenu();
    void createPgnMenu();
    void createHelpMenu();
    void createPopupMenus();
    void createStatusBar();
    // Where the editor's windows connect the Pgn menu and the annotation pop-ups.
    void connectEditorMenus();
    void mnuPgnUseEdited_Click();
    void mnuPgnEdit_Click(const std::string& purpose);
    void mnuPgnHeaderTags_Click();

    void mnuFileNew_Click();
    void mnuFileSettings_Click();
    void mnuSaveSettings_Click();
    void mnuWindowsHideFTP_Click();
    void mnuHelpAbout_Click();
    void fillWindowList();
    void tileHorizontal();
    void tileVertical();
    void updateDateTime();
    void projectDestroyed();

    QAction* addItem(QMenu* menu, const char* name, const QString& caption);
    QAction* addBar(QMenu* menu, const char* name);
    QMenu* addMenu(const char* name, const QString& caption);

    ProgramState& m_state;
    FileDialog& m_dialog;
    QMdiArea* m_mdi;
    QPointer<frmProject> m_project;
    Editors* m_editors = nullptr;
    QMdiSubWindow* m_projectWindow = nullptr;

    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;
    QLabel* m_datePanel = nullptr;
    QLabel* m_timePanel = nullptr;
    bool m_exitPending = false;  // the exit waits for the monitor window's running work
};

}  // namespace korvane
