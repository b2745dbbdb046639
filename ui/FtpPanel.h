#pragma once
// The FTP panel (frFTP) of the monitor window as the FTP session sees it: its widgets are
// found by their object names, the names the session uses for them.

#include <QWidget>

#include "ftp/FtpPanelView.h"

namespace korvane {

class Monitor;
class MonitorView;

class FtpPanel : public FtpPanelView {
public:
    FtpPanel(QWidget& window, Monitor& monitor, MonitorView& monitorView)
        : m_window(window), m_monitor(monitor), m_monitorView(monitorView) {}

    std::string text(FtpField field) const override;
    void setText(FtpField field, const std::string& text) override;
    void setFieldEnabled(FtpField field, bool enabled) override;
    void setFieldBackColour(FtpField field, std::uint32_t colour) override;
    bool isEnabled(FtpButton button) const override;
    void setEnabled(FtpButton button, bool enabled) override;
    void setChecked(FtpCheck box, bool checked) override;
    void setCurDirText(const std::string& text) override;
    void setRemoteFiles(const std::vector<std::string>& lines) override;
    bool panelVisible() const override;
    void setTransferIndicatorVisible(int which, bool visible) override;
    void setRemoveButtonCaption(const std::string& caption) override;
    void stopCountdownIfRunning() override;

private:
    template <typename W>
    W* widget(const char* name) const {
        return m_window.findChild<W*>(name);
    }

    QWidget& m_window;
    Monitor& m_monitor;
    MonitorView& m_monitorView;
};

}  // namespace korvane
