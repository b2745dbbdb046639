#include "ui/frmProject.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMetaObject>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/ProjectFile.h"
#include "core/TextUtils.h"
#include "pipeline/Project.h"
#include "ui/QtText.h"
#include "ui/frmMain.h"
#include "ui_frmProject.h"

namespace korvane {

namespace {

constexpr QColor kRed{255, 0, 0};
constexpr QColor kGreen{0, 255, 0};

// Where the log's controls stand with the FTP panel shown and hidden (pixels, at 15 twips
// per pixel).
struct LogPlaces {
    QRect txtErrors;
    QPoint lblErrors;
    QPoint cmdClearLog;
    QPoint lblAlarm;
};
constexpr LogPlaces kBesideFtp{{448, 32, 243, 93}, {448, 8}, {630, 10}, {546, 10}};
constexpr LogPlaces kInsteadOfFtp{{220, 162, 471, 301}, {220, 138}, {402, 140}, {318, 140}};

const char* buttonName(MonitorButton button) {
    switch (button) {
        case MonitorButton::cmdRemovePgn:
            return "cmdRemovePgn";
        case MonitorButton::cmdSleep:
            return "cmdSleep";
        case MonitorButton::cmdActivate:
            return "cmdActivate";
        case MonitorButton::cmdViewInfo:
            return "cmdViewInfo";
    }
    return "";
}

}  // namespace

frmProject::frmProject(ProgramState& state, FileDialog& dialog, frmMain& main)
    : ui(std::make_unique<Ui::frmProject>()),
      m_state(state),
      m_main(main),
      m_pipeline(state),
      m_monitor(m_pipeline, *this),
      m_list(state, m_monitor, *this, dialog),
      m_panel(*this, m_monitor, *this),
      m_session(state, m_panel, m_inet),
      m_uploader(m_session),
      m_timer1(this),
      m_timAlarm(this) {
    ui->setupUi(this);
    m_pipeline.uploader = &m_uploader;
    m_timer1.setObjectName("Timer1");
    m_timer1.setInterval(1000);
    m_timAlarm.setObjectName("timAlarm");
    m_timAlarm.setInterval(500);
    setStatusColour(StatusColour::Red);
    connectMonitor();
    connectList();
    connectFtpPanel();

    // Form load: timers off, the FTP panel from the settings, the list buttons disabled.
    m_monitor.Load();
    m_session.LoadPanel();
}

frmProject::~frmProject() {
    m_inet.setEventNotifier({});
    m_inet.StateChanged = nullptr;
}

void frmProject::onClick(const char* button, std::function<void()> handler) {
    connect(findChild<QAbstractButton*>(button), &QAbstractButton::clicked, this,
            [this, handler = std::move(handler)] { run(handler); });
}

void frmProject::connectMonitor() {
    connect(&m_timer1, &QTimer::timeout, this, [this] { run([this] { m_monitor.Timer1Tick(); }); });
    connect(&m_timAlarm, &QTimer::timeout, this,
            [this] { run([this] { m_monitor.TimAlarmTick(); }); });
    onClick("cmdStart", [this] { m_monitor.cmdStartClick(); });
    onClick("cmdStop", [this] { m_monitor.cmdStopClick(); });
    onClick("cmdTest", [this] { m_monitor.cmdTestClick(); });
    onClick("cmdClearLog", [this] { m_monitor.cmdClearLogClick(); });
}

void frmProject::connectList() {
    onClick("cmdAddPgn", [this] { m_list.cmdAddPgnClick(); });
    onClick("cmdRemovePgn", [this] { m_list.cmdRemovePgnClick(); });
    onClick("cmdSleep", [this] { m_list.cmdSleepClick(); });
    onClick("cmdActivate", [this] { m_list.cmdActivateClick(); });
    onClick("cmdViewInfo", [this] { m_list.cmdViewInfoClick(); });
    connect(ui->lboPgnFiles, &QListWidget::itemSelectionChanged, this,
            [this] { run([this] { m_list.lboPgnFilesClick(); }); });
    // The list's context menu previews the selected game's page in the desktop's browser.
    auto* openPage = new QAction("Open Page In Browser", ui->lboPgnFiles);
    openPage->setObjectName("mnuOpenPage");
    ui->lboPgnFiles->addAction(openPage);
    ui->lboPgnFiles->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(openPage, &QAction::triggered, this, [this] {
        const std::string selected = selectedPgnLine();
        if (!selected.empty()) {
            m_main.openPageInBrowser(selected);
        }
    });
}

void frmProject::connectFtpPanel() {
    onClick("cmdConnect", [this] { m_session.cmdConnect_Click(); });
    onClick("cmdQuit", [this] { m_session.cmdQuit_Click(); });
    onClick("cmdGotoHtmDir", [this] { m_session.cmdGotoHtmDir_Click(); });
    onClick("cmdGoToPgnDir", [this] { m_session.cmdGoToPgnDir_Click(); });
    onClick("cmdCdup", [this] { m_session.cmdCdup_Click(); });
    auto onCheck = [this](QCheckBox* box, void (FtpSession::*handler)(bool)) {
        connect(box, &QCheckBox::clicked, this, [this, handler](bool checked) {
            run([=, this] { (m_session.*handler)(checked); });
        });
    };
    onCheck(ui->chkPgnUpload, &FtpSession::chkPgnUpload_Click);
    onCheck(ui->chkSaveLogOn, &FtpSession::chkSaveLogOn_Click);
    onCheck(ui->chkDisConnect, &FtpSession::chkDisConnect_Click);
    onCheck(ui->chkLowerCase, &FtpSession::chkLowerCase_Click);
    // Only the operator's edits count as changes; the session's own texts do not call back.
    auto onEdit = [this](QLineEdit* box, void (FtpSession::*handler)()) {
        connect(box, &QLineEdit::textEdited, this,
                [this, handler] { run([this, handler] { (m_session.*handler)(); }); });
    };
    onEdit(ui->txtHtmDir, &FtpSession::txtHtmDir_Change);
    onEdit(ui->txtPgnDir, &FtpSession::txtPgnDir_Change);
    onEdit(ui->txtPort, &FtpSession::txtPort_Change);
    // Server events that arrive while nobody waits for them are delivered here.
    m_inet.setEventNotifier([this] {
        QMetaObject::invokeMethod(
            this, [this] { run([this] { m_inet.pump(); }); }, Qt::QueuedConnection);
    });
}

void frmProject::run(const std::function<void()>& handler) {
    if (m_closePending) {
        return;
    }
    ++m_busy;
    try {
        handler();
    } catch (const std::exception& e) {
        LogEvent(m_state, e.what());
    }
    --m_busy;
    if (m_busy == 0 && m_closePending) {
        QWidget* window = parentWidget() ? parentWidget() : this;
        QTimer::singleShot(0, window, [window] { window->close(); });
    }
}

void frmProject::setLogText(const std::string& text) {
    m_log = text;
    ui->txtErrors->setPlainText(displayText(text));
}

void frmProject::setStatus(const std::string& text) {
    // The label is narrow: its tip shows a text it cuts off.
    ui->lblCurrentAction->setText(toQ(text));
    ui->lblCurrentAction->setToolTip(toQ(text));
}

bool frmProject::ftpPanelVisible() const {
    return !ui->frFTP->isHidden();
}

void frmProject::setFtpPanelVisible(bool visible) {
    ui->frFTP->setVisible(visible);
    const LogPlaces& places = visible ? kBesideFtp : kInsteadOfFtp;
    ui->txtErrors->setGeometry(places.txtErrors);
    ui->lblErrors->move(places.lblErrors);
    ui->cmdClearLog->move(places.cmdClearLog);
    ui->lblAlarm->move(places.lblAlarm);
}

void frmProject::fixWindowSize() {
    if (QWidget* frame = parentWidget()) {
        frame->installEventFilter(this);
        frame->resize(kWindowSize);
    }
}

bool frmProject::eventFilter(QObject* watched, QEvent* event) {
    auto* frame = qobject_cast<QWidget*>(watched);
    if (frame && frame == parentWidget() && event->type() == QEvent::Resize &&
        !(frame->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) &&
        frame->size() != kWindowSize) {
        frame->resize(kWindowSize);
    }
    return QWidget::eventFilter(watched, event);
}

bool frmProject::askToClose() {
    return m_state.ui.messageBox("Do you want to close the project?", "Close Project?",
                                 Buttons::YesNo, Icon::Question) == Answer::Yes;
}

// Closing asks first; after a Yes the project (the monitor list) is closed. Every close
// forgets the header tags to replace and closes the editors. When a scan or an FTP request
// is still running under this close, the window only hides and goes when it has ended.
void frmProject::closeEvent(QCloseEvent* event) {
    if (!m_closeConfirmed) {
        const QWidget* frame = parentWidget() ? parentWidget() : this;
        const bool shown = frame->isVisible();
        if (shown && !askToClose()) {
            event->ignore();
            return;
        }
        m_closeConfirmed = true;
        try {
            if (shown) {
                CloseProject(m_state);
                if (!m_main.exiting()) {
                    SaveProject(m_state);
                }
                m_main.projectClosed();
            }
            ReleaseTagsToChange(m_state);
            m_main.closeEditors();
        } catch (const std::exception& e) {
            m_state.ui.messageBox(std::string(e.what()) + kCrLf + "Error unloading project.",
                                  "Error", Buttons::Ok, Icon::None);
        }
    }
    if (m_busy > 0) {
        m_closePending = true;
        if (parentWidget()) {
            parentWidget()->hide();
        }
        event->ignore();
        return;
    }
    m_timer1.stop();
    m_timAlarm.stop();
    event->accept();
}

void frmProject::setTimer1Enabled(bool on) {
    on ? m_timer1.start() : m_timer1.stop();
}

void frmProject::setAlarmTimerEnabled(bool on) {
    on ? m_timAlarm.start() : m_timAlarm.stop();
}

void frmProject::setCountDown(const std::string& text) {
    ui->lblCountDown->setText(toQ(text));
}

void frmProject::setStatusColour(StatusColour colour) {
    QPalette palette = ui->shpStatus->palette();
    palette.setColor(QPalette::Window, colour == StatusColour::Green ? kGreen : kRed);
    ui->shpStatus->setPalette(palette);
}

void frmProject::setAlarmVisible(bool visible) {
    ui->lblAlarm->setVisible(visible);
}

void frmProject::setClearLogCaption(const std::string& caption, const std::string& tooltip) {
    ui->cmdClearLog->setText(toQ(caption));
    ui->cmdClearLog->setToolTip(toQ(tooltip));
}

// A line of lboPgnFiles keeps its game's key apart from its text, which a broadcast delay
// extends by how far the public page is behind.
void frmProject::addPgnLine(const std::string& line) {
    auto* item = new QListWidgetItem(toQ(line), ui->lboPgnFiles);
    item->setData(Qt::UserRole, toQ(line));
}

QListWidgetItem* frmProject::pgnLine(const std::string& line) const {
    for (int i = 0; i < ui->lboPgnFiles->count(); ++i) {
        QListWidgetItem* item = ui->lboPgnFiles->item(i);
        if (EqualsNoCase(fromQ(item->data(Qt::UserRole).toString()), line)) {
            return item;
        }
    }
    return nullptr;
}

void frmProject::removePgnLine(const std::string& line) {
    delete pgnLine(line);
}

std::string frmProject::selectedPgnLine() const {
    const QListWidgetItem* item = ui->lboPgnFiles->currentItem();
    return item && item->isSelected() ? fromQ(item->data(Qt::UserRole).toString()) : std::string();
}

void frmProject::setPublicLag(const std::string& key, const std::string& text) {
    if (QListWidgetItem* item = pgnLine(key)) {
        item->setText(toQ(text.empty() ? key : key + "   (" + text + ")"));
    }
}

// A watched game reads in the normal font; a game that is only polled in italics, and the
// tip says which it is.
void frmProject::setPgnLineWatched(const std::string& line, bool watched) {
    QListWidgetItem* item = pgnLine(line);
    if (item == nullptr) {
        return;
    }
    QFont font = item->font();
    font.setItalic(!watched);
    item->setFont(font);
    item->setToolTip(watched ? "Watched: published as soon as it changes"
                             : "Polled: published at the next scan");
}

void frmProject::setButtonEnabled(MonitorButton button, bool enabled) {
    findChild<QAbstractButton*>(buttonName(button))->setEnabled(enabled);
}

void frmProject::setRemoveCaption(const std::string& caption) {
    ui->cmdRemovePgn->setText(toQ(caption));
}

std::string frmProject::removeCaption() const {
    return fromQ(ui->cmdRemovePgn->text());
}

}  // namespace korvane
