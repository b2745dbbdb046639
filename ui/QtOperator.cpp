#include "ui/QtOperator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "core/TextUtils.h"
#include "pipeline/Monitor.h"
#include "ui/Editors.h"
#include "ui/QtText.h"
#include "ui/frmMain.h"
#include "ui/frmProject.h"

namespace korvane {

namespace {

QMessageBox::StandardButtons standardButtons(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

Answer answerOf(int button) {
    switch (button) {
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Ok;
    }
}

}  // namespace

Answer ShowMessageBox(const std::string& text, const std::string& title, Buttons buttons,
                      Icon icon) {
    QMessageBox box(boxIcon(icon), title.empty() ? QStringLiteral("Korvane") : toQ(title),
                    displayText(text), standardButtons(buttons), QApplication::activeWindow());
    // Closing the box without a button counts as its cancelling answer.
    if (buttons == Buttons::YesNo) {
        box.setEscapeButton(QMessageBox::No);
    }
    return answerOf(box.exec());
}

Answer QtOperator::messageBox(const std::string& text, const std::string& title, Buttons buttons,
                              Icon icon) {
    return m_presenter ? m_presenter(text, title, buttons, icon)
                       : ShowMessageBox(text, title, buttons, icon);
}

std::string QtOperator::logText() const {
    frmProject* project = m_main ? m_main->project() : nullptr;
    return project ? project->logText() : std::string();
}

void QtOperator::setLogText(const std::string& text) {
    if (frmProject* project = m_main ? m_main->project() : nullptr) {
        project->setLogText(text);
    }
}

bool QtOperator::monitorVisible() const {
    frmProject* project = m_main ? m_main->project() : nullptr;
    return project && project->isVisible();
}

void QtOperator::setStatus(const std::string& text) {
    if (frmProject* project = m_main ? m_main->project() : nullptr) {
        project->setStatus(text);
    }
}

void QtOperator::raiseAlarm() {
    if (frmProject* project = m_main ? m_main->project() : nullptr) {
        project->monitor().RaiseAlarm();
    }
}

void QtOperator::setEditorSaveButtonsVisible(bool visible) {
    if (m_main) {
        m_main->editors().setSaveButtonsVisible(visible);
    }
}

void QtOperator::enableEditorReload(const std::string& fileName) {
    if (m_main) {
        m_main->editors().enableReload(fileName);
    }
}

void QtOperator::showSettingsDialog() {
    if (m_main) {
        m_main->showSettingsDialog();
    }
}

void QtOperator::processEvents() {
    QCoreApplication::processEvents();
}

}  // namespace korvane
