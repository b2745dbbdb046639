#pragma once
// The settings dialog: the converter's paths, the HTML directory, the overview page, the
// scan interval, the FTP time-out and the rename option. Closing it by any means (OK,
// Cancel, the close box) applies the fields through the settings rules.

#include <QDialog>
#include <array>
#include <memory>

#include "core/SettingsRules.h"

class QLineEdit;

namespace Ui {
class frmSettings;
}

namespace korvane {

struct ProgramState;
class FileDialog;

class frmSettings : public QDialog {
    Q_OBJECT

public:
    frmSettings(ProgramState& state, FileDialog& dialog, QWidget* parent = nullptr);
    ~frmSettings() override;

    // Whether the dialog was closed with OK.
    bool confirmed() const { return m_confirmed; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SettingsFields fields() const;
    void setOverviewFieldsEnabled(bool enabled);
    void chkIntro_Click(bool checked);
    // A text that is no number is refused with message and replaced by fallback.
    void requireNumber(QLineEdit* box, const char* message, const char* fallback);
    void imgBrowse_Click(int index);
    std::string browseFile(int index);
    QLineEdit* path(int index) const { return m_paths[static_cast<std::size_t>(index)]; }

    std::unique_ptr<Ui::frmSettings> ui;
    ProgramState& m_state;
    FileDialog& m_dialog;
    std::array<QLineEdit*, 5> m_paths{};
    bool m_confirmed = false;
};

}  // namespace korvane
