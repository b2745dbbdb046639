#pragma once
// The monitor window: the monitor list with its buttons, the countdown with START, STOP and
// "Go !", the alarm, the message log and the FTP panel. It shows what the monitor logic,
// the list management and the FTP session tell it and forwards every click and timer tick
// to them; the rules themselves live in the core.

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "ftp/FtpSession.h"
#include "ftp/Inet.h"
#include "ftp/Upload.h"
#include "pipeline/Monitor.h"
#include "pipeline/MonitorList.h"
#include "pipeline/MonitorView.h"
#include "pipeline/Pipeline.h"
#include "ui/FtpPanel.h"

class QListWidgetItem;

namespace Ui {
class frmProject;
}

namespace korvane {

class FileDialog;
class frmMain;

class frmProject : public QWidget, public MonitorView {
    Q_OBJECT

public:
    // The window's size (715 x 509 pixels); it springs back to it after any resize that
    // neither minimizes nor maximizes it.
    static constexpr QSize kWindowSize{715, 509};

    frmProject(ProgramState& state, FileDialog& dialog, frmMain& main);
    ~frmProject() override;

    Monitor& monitor() { return m_monitor; }
    MonitorList& list() { return m_list; }
    FtpSession& session() { return m_session; }
    FtpUploader& uploader() { return m_uploader; }

    // The message log (txtErrors), newest entry first, as bytes with CR LF line ends.
    const std::string& logText() const { return m_log; }
    void setLogText(const std::string& text);
    // The one-line status (lblCurrentAction).
    void setStatus(const std::string& text);

    // Hide FTP Window: hiding the FTP panel moves the log into its place.
    bool ftpPanelVisible() const;
    void setFtpPanelVisible(bool visible);

    // Holds the window at its size inside its MDI frame.
    void fixWindowSize();

    // Runs a handler that may let window events run; a close confirmed meanwhile waits
    // until the outermost handler has returned, so nothing is torn down under it.
    void run(const std::function<void()>& handler);
    // The operator said Yes to closing while work was still running.
    bool closePending() const { return m_closePending; }

    // MonitorView
    void setTimer1Enabled(bool on) override;
    void setAlarmTimerEnabled(bool on) override;
    void setCountDown(const std::string& text) override;
    void setStatusColour(StatusColour colour) override;
    void setAlarmVisible(bool visible) override;
    void setClearLogCaption(const std::string& caption, const std::string& tooltip) override;
    void addPgnLine(const std::string& line) override;
    void removePgnLine(const std::string& line) override;
    std::string selectedPgnLine() const override;
    void setPgnLineWatched(const std::string& line, bool watched) override;
    void setButtonEnabled(MonitorButton button, bool enabled) override;
    void setRemoveCaption(const std::string& caption) override;
    std::string removeCaption() const override;
    void setPublicLag(const std::string& key, const std::string& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The line of lboPgnFiles that stands for the game with this key; none when absent.
    QListWidgetItem* pgnLine(const std::string& line) const;
    void connectMonitor();
    void connectList();
    void connectFtpPanel();
    // Connects a button's click to a handler that runs through run().
    void onClick(const char* button, std::function<void()> handler);
    bool askToClose();
    void finishClose();

    std::unique_ptr<Ui::frmProject> ui;
    ProgramState& m_state;
    frmMain& m_main;

    Pipeline m_pipeline;
    Monitor m_monitor;
    MonitorList m_list;
    Inet m_inet;
    FtpPanel m_panel;
    FtpSession m_session;
    FtpUploader m_uploader;

    QTimer m_timer1;
    QTimer m_timAlarm;
    std::string m_log;

    int m_busy = 0;
    bool m_closePending = false;
    bool m_closeConfirmed = false;
};

}  // namespace korvane
