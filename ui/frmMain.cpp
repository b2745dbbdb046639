#include "ui/frmMain.h"

#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <algorithm>

#include "core/Config.h"
#include "core/ProgramState.h"
#include "pipeline/Monitor.h"
#include "pipeline/Project.h"
#include "ui/Editors.h"
#include "ui/cCommonDialog.h"
#include "ui/frmAbout.h"
#include "ui/frmProject.h"
#include "ui/frmSettings.h"

namespace korvane {

frmMain::frmMain(ProgramState& state, FileDialog& dialog, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_dialog(dialog), m_mdi(new QMdiArea(this)) {
    setObjectName("frmMain");
    setWindowTitle("Korvane");
    m_mdi->setObjectName("mdiArea");
    setCentralWidget(m_mdi);
    createFileMenu();
    createWindowMenu();
    createPgnMenu();
    createHelpMenu();
    createPopupMenus();
    createStatusBar();
    connectEditorMenus();
    resize(1000, 700);
}

frmMain::~frmMain() = default;

frmProject* frmMain::project() const {
    return m_project;
}

QMenu* frmMain::addMenu(const char* name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction* frmMain::addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction* frmMain::addBar(QMenu* menu, const char* name) {
    QAction* bar = menu->addSeparator();
    bar->setObjectName(name);
    return bar;
}

void frmMain::createFileMenu() {
    QMenu* file = addMenu("mnuFile", "&File");
    QAction* fileNew = addItem(file, "mnuFileNew", "&New Project");
    fileNew->setShortcut(QKeySequence("Ctrl+N"));
    connect(fileNew, &QAction::triggered, this, &frmMain::mnuFileNew_Click);
    addBar(file, "mnuFileBar1");
    connect(addItem(file, "mnuFileSettings", "Se&ttings"), &QAction::triggered, this,
            &frmMain::mnuFileSettings_Click);
    QAction* save = addItem(file, "mnuSaveSettings", "&Save Settings");
    save->setEnabled(false);
    connect(save, &QAction::triggered, this, &frmMain::mnuSaveSettings_Click);
    addBar(file, "mnuFileBar3");
    QAction* exit = addItem(file, "mnuFileExit", "E&xit");
    exit->setShortcut(QKeySequence(Qt::Key_F4));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void frmMain::createWindowMenu() {
    m_windowMenu = addMenu("mnuWindow", "&Window");
    QAction* hideFtp = addItem(m_windowMenu, "mnuWindowsHideFTP", "&Hide FTP Window");
    hideFtp->setCheckable(true);
    hideFtp->setChecked(false);
    connect(hideFtp, &QAction::triggered, this, &frmMain::mnuWindowsHideFTP_Click);
    addBar(m_windowMenu, "mnuWindowBar1");
    connect(addItem(m_windowMenu, "mnuWindowCascade", "&Cascade"), &QAction::triggered, m_mdi,
            &QMdiArea::cascadeSubWindows);
    connect(addItem(m_windowMenu, "mnuWindowTileHorizontal", "Tile &Horizontal"),
            &QAction::triggered, this, &frmMain::tileHorizontal);
    connect(addItem(m_windowMenu, "mnuWindowTileVertical", "Tile &Vertical"), &QAction::triggered,
            this, &frmMain::tileVertical);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &frmMain::fillWindowList);
}

void frmMain::createPgnMenu() {
    QMenu* pgn = addMenu("mnuPgn", "&Pgn");
    addItem(pgn, "mnuPgnUseEdited", "&Use Edited Pgn Files");
    addBar(pgn, "mnuPgnBar1");
    addItem(pgn, "mnuPgnEditSource", "Edit &Source Pgn");
    addItem(pgn, "mnuPgnEditCopy", "Edit Source &Copy");
    addItem(pgn, "mnuPgnEditFinal", "&Edit Commented Pgn");
    addBar(pgn, "mnuPgnBar2");
    addItem(pgn, "mnuPgnHeaderTags", "&Header Tags To Replace");
    pgn->menuAction()->setVisible(false);
}

void frmMain::createHelpMenu() {
    QMenu* help = addMenu("mnuHelp", "&Help");
    connect(addItem(help, "mnuHelpAbout", "&About Korvane..."), &QAction::triggered, this,
            &frmMain::mnuHelpAbout_Click);
}

// The annotation and header-tag pop-ups live in the menu bar but are never shown there;
// the editor's buttons pop them up.
void frmMain::createPopupMenus() {
    for (const char* name : {"mnuAnno1", "mnuAnno2", "mnuAnno3"}) {
        addMenu(name, QString(name).mid(3))->menuAction()->setVisible(false);
    }
}

void frmMain::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("sbStatusBar");
    auto* status = new QLabel("Status", bar);
    status->setObjectName("sbStatusBar_1");
    m_datePanel = new QLabel(bar);
    m_datePanel->setObjectName("sbStatusBar_2");
    m_timePanel = new QLabel(bar);
    m_timePanel->setObjectName("sbStatusBar_3");
    bar->addWidget(status, 1);
    bar->addPermanentWidget(m_datePanel);
    bar->addPermanentWidget(m_timePanel);
    updateDateTime();
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &frmMain::updateDateTime);
    clock->start(1000);
}

void frmMain::updateDateTime() {
    const QLocale locale = QLocale::system();
    m_datePanel->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    m_timePanel->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

frmProject& frmMain::ensureProject() {
    if (!m_project) {
        m_project = new frmProject(m_state, m_dialog, *this);
        m_projectWindow = m_mdi->addSubWindow(m_project);
        m_projectWindow->setObjectName("frmProjectWindow");
        m_projectWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_project->fixWindowSize();
        connect(m_project, &QObject::destroyed, this, &frmMain::projectDestroyed);
        // A new monitor window shows the FTP panel and the log in their first places.
        findChild<QAction*>("mnuWindowsHideFTP")->setChecked(false);
    }
    return *m_project;
}

void frmMain::showProject() {
    ensureProject();
    m_projectWindow->show();
    m_mdi->setActiveSubWindow(m_projectWindow);
}

void frmMain::projectDestroyed() {
    m_projectWindow = nullptr;
    if (m_exitPending) {
        m_exitPending = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void frmMain::mnuFileNew_Click() {
    frmProject& project = ensureProject();
    bool created = false;
    project.run([&] { created = NewProject(m_state, project.list(), project); });
    if (!created) {
        return;
    }
    findChild<QAction*>("mnuFileNew")->setEnabled(false);
    findChild<QMenu*>("mnuPgn")->menuAction()->setVisible(true);
    findChild<QAction*>("mnuSaveSettings")->setEnabled(true);
    showProject();
}

void frmMain::mnuFileSettings_Click() {
    if (m_project && m_project->monitor().countRunning()) {
        m_project->run([this] { m_project->monitor().StopCountdown(); });
    }
    showSettingsDialog();
}

void frmMain::showSettingsDialog() {
    frmSettings dialog(m_state, m_dialog, this);
    dialog.exec();
    findChild<QAction*>("mnuFileNew")->setEnabled(m_state.bPathsOk);
    if (dialog.confirmed()) {
        findChild<QAction*>("mnuSaveSettings")->setEnabled(true);
    }
}

void frmMain::mnuSaveSettings_Click() {
    SaveCfg(m_state);
}

bool frmMain::SaveFileDialog(const std::string& title, const std::string& fileType,
                             std::string& result, const std::string& initialDir) {
    const auto chosen = cCommonDialog::save(this, title, fileType, initialDir);
    if (!chosen) {
        return false;
    }
    result = *chosen;
    return true;
}

void frmMain::projectClosed() {
    findChild<QAction*>("mnuFileNew")->setEnabled(true);
    findChild<QMenu*>("mnuPgn")->menuAction()->setVisible(false);
}

void frmMain::closeEditors() {
    m_editors->closeAll();
}

void frmMain::mnuWindowsHideFTP_Click() {
    QAction* item = findChild<QAction*>("mnuWindowsHideFTP");
    if (!m_project) {
        item->setChecked(false);
        return;
    }
    const bool hide = m_project->ftpPanelVisible();
    m_project->setFtpPanelVisible(!hide);
    item->setChecked(hide);
}

void frmMain::mnuHelpAbout_Click() {
    frmAbout about(this);
    about.exec();
}

// The Window menu ends with the open child windows, the active one checked.
void frmMain::fillWindowList() {
    for (QAction* action : m_windowListActions) {
        m_windowMenu->removeAction(action);
        action->deleteLater();
    }
    m_windowListActions.clear();
    const auto windows = m_mdi->subWindowList();
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        if (!window->isVisible()) {
            continue;
        }
        if (number == 0) {
            m_windowListActions.append(m_windowMenu->addSeparator());
        }
        QAction* action =
            m_windowMenu->addAction(QString("&%1 %2").arg(++number).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == m_mdi->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, w = QPointer<QMdiSubWindow>(window)] {
            if (w) {
                m_mdi->setActiveSubWindow(w);
            }
        });
        m_windowListActions.append(action);
    }
}

namespace {

QList<QMdiSubWindow*> arrangeable(const QMdiArea* area) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area->subWindowList()) {
        if (window->isVisible() && !window->isMinimized()) {
            windows.append(window);
        }
    }
    return windows;
}

}  // namespace

void frmMain::tileHorizontal() {
    const auto windows = arrangeable(m_mdi);
    const QSize area = m_mdi->viewport()->size();
    for (int i = 0; i < windows.size(); ++i) {
        const int height = area.height() / static_cast<int>(windows.size());
        windows[i]->showNormal();
        windows[i]->setGeometry(0, i * height, area.width(), height);
    }
}

void frmMain::tileVertical() {
    const auto windows = arrangeable(m_mdi);
    const QSize area = m_mdi->viewport()->size();
    for (int i = 0; i < windows.size(); ++i) {
        const int width = area.width() / static_cast<int>(windows.size());
        windows[i]->showNormal();
        windows[i]->setGeometry(i * width, 0, width, area.height());
    }
}

// Every child is asked first and may refuse; the monitor window may also have to finish a
// running scan before it can close, and the exit then follows when it has.
void frmMain::closeEvent(QCloseEvent* event) {
    m_mdi->closeAllSubWindows();
    if (m_project && m_project->closePending()) {
        m_exitPending = true;
        event->ignore();
        return;
    }
    const auto windows = m_mdi->subWindowList();
    if (std::any_of(windows.begin(), windows.end(),
                    [](const QMdiSubWindow* w) { return w->isVisible(); })) {
        event->ignore();
        return;
    }
    try {
        SaveCfg(m_state);
    } catch (...) {
        // Errors while the main window closes are ignored.
    }
    m_editors->release();
    event->accept();
}

}  // namespace korvane
