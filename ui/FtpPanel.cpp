#include "ui/FtpPanel.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QStyle>

#include "pipeline/Monitor.h"
#include "pipeline/MonitorView.h"
#include "ui/QtText.h"

namespace korvane {

std::string FtpPanel::text(FtpField field) const {
    return fromQ(widget<QLineEdit>(ObjectName(field))->text());
}

// Programmatic changes send no textEdited signal, so the session's change handlers, which
// listen to that signal only, are not called back.
void FtpPanel::setText(FtpField field, const std::string& text) {
    widget<QLineEdit>(ObjectName(field))->setText(toQ(text));
}

void FtpPanel::setFieldEnabled(FtpField field, bool enabled) {
    widget<QLineEdit>(ObjectName(field))->setEnabled(enabled);
}

void FtpPanel::setFieldBackColour(FtpField field, std::uint32_t colour) {
    QLineEdit* box = widget<QLineEdit>(ObjectName(field));
    QPalette palette = box->palette();
    const QColor background =
        colour == kColourButtonFace
            ? box->style()->standardPalette().color(QPalette::Button)
            : QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);  // BGR
    palette.setColor(QPalette::Base, background);
    box->setPalette(palette);
}

bool FtpPanel::isEnabled(FtpButton button) const {
    return widget<QAbstractButton>(ObjectName(button))->isEnabled();
}

void FtpPanel::setEnabled(FtpButton button, bool enabled) {
    widget<QAbstractButton>(ObjectName(button))->setEnabled(enabled);
}

void FtpPanel::setChecked(FtpCheck box, bool checked) {
    widget<QCheckBox>(ObjectName(box))->setChecked(checked);
}

void FtpPanel::setCurDirText(const std::string& text) {
    widget<QLabel>("lblCurDirText")->setText(toQ(text));
}

void FtpPanel::setRemoteFiles(const std::vector<std::string>& lines) {
    QListWidget* list = widget<QListWidget>("lstRemoteFiles");
    list->clear();
    for (const std::string& line : lines) {
        list->addItem(toQ(line));
    }
}

bool FtpPanel::panelVisible() const {
    return !widget<QWidget>("frFTP")->isHidden();
}

void FtpPanel::setTransferIndicatorVisible(int which, bool visible) {
    widget<QWidget>(which == 1 ? "imgTransfer1" : "imgTransfer2")->setVisible(visible);
}

void FtpPanel::setRemoveButtonCaption(const std::string& caption) {
    m_monitorView.setRemoveCaption(caption);
}

void FtpPanel::stopCountdownIfRunning() {
    if (m_monitor.countRunning()) {
        m_monitor.StopCountdown();
    }
}

}  // namespace korvane
