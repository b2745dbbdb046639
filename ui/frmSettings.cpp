#include "ui/frmSettings.h"

#include <QKeyEvent>
#include <QStyle>
#include <filesystem>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"
#include "pipeline/FileDialog.h"
#include "ui/QtText.h"
#include "ui/frmDirSearch.h"
#include "ui_frmSettings.h"

namespace korvane {

namespace {

// The directory of a field's path when that path exists, else nothing to start from.
std::string directoryOfExisting(const std::string& path) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec)) {
        return {};
    }
    return std::filesystem::path(path).parent_path().string();
}

void setBackground(QLineEdit* box, bool white) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, white
                                         ? QColor(Qt::white)
                                         : box->style()->standardPalette().color(QPalette::Button));
    box->setPalette(palette);
}

}  // namespace

frmSettings::frmSettings(ProgramState& state, FileDialog& dialog, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmSettings>()), m_state(state), m_dialog(dialog) {
    ui->setupUi(this);
    setFixedSize(size());
    m_paths = {ui->txtPath_0, ui->txtPath_1, ui->txtPath_2, ui->txtPath_3, ui->txtPath_4};

    const SettingsFields start = SettingsFieldsFrom(state);
    for (int i = 0; i < 5; ++i) {
        path(i)->setText(toQ(start.txtPath[static_cast<std::size_t>(i)]));
        path(i)->installEventFilter(this);
    }
    ui->txtScanTime->setText(toQ(start.txtScanTime));
    ui->txtTimeOut->setText(toQ(start.txtTimeOut));
    ui->txtDelay->setText(toQ(start.txtDelay));
    ui->chkRename->setChecked(start.chkRename);
    ui->chkPublishOnChange->setChecked(start.chkPublishOnChange);
    ui->chkIntro->setChecked(start.chkIntro);
    setOverviewFieldsEnabled(start.chkIntro);
    m_state.bPathsOk = false;

    connect(ui->txtScanTime, &QLineEdit::textChanged, this,
            [this] { requireNumber(ui->txtScanTime, "Scan time must be a number", "10"); });
    connect(ui->txtTimeOut, &QLineEdit::textChanged, this,
            [this] { requireNumber(ui->txtTimeOut, "Timeout must be a number", "10"); });
    connect(ui->txtDelay, &QLineEdit::textChanged, this,
            [this] { requireNumber(ui->txtDelay, "Delay must be a number", "0"); });
    connect(ui->chkIntro, &QCheckBox::clicked, this, &frmSettings::chkIntro_Click);
    const std::array<QToolButton*, 4> browse{ui->imgBrowse_0, ui->imgBrowse_1, ui->imgBrowse_2,
                                             ui->imgBrowse_3};
    for (int i = 0; i < 4; ++i) {
        browse[static_cast<std::size_t>(i)]->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
        connect(browse[static_cast<std::size_t>(i)], &QToolButton::clicked, this,
                [this, i] { imgBrowse_Click(i); });
    }
    connect(ui->cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmSettings::~frmSettings() = default;

SettingsFields frmSettings::fields() const {
    SettingsFields fields;
    for (int i = 0; i < 5; ++i) {
        fields.txtPath[static_cast<std::size_t>(i)] = fromQ(path(i)->text());
    }
    fields.txtScanTime = fromQ(ui->txtScanTime->text());
    fields.txtTimeOut = fromQ(ui->txtTimeOut->text());
    fields.txtDelay = fromQ(ui->txtDelay->text());
    fields.chkIntro = ui->chkIntro->isChecked();
    fields.chkRename = ui->chkRename->isChecked();
    fields.chkPublishOnChange = ui->chkPublishOnChange->isChecked();
    return fields;
}

// Every way of closing (OK, Cancel, the close box, Escape) comes here and applies the fields.
void frmSettings::done(int result) {
    SettingsFields entered = fields();
    ApplySettingsFields(m_state, entered);
    for (int i = 0; i < 5; ++i) {
        path(i)->setText(toQ(entered.txtPath[static_cast<std::size_t>(i)]));
    }
    m_confirmed = result == QDialog::Accepted;
    ReportPathsState(m_state);
    QDialog::done(result);
}

// The path fields take no separators and no blanks from the keyboard; the browse buttons
// (or pasting) bring whole paths.
bool frmSettings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text == "\\" || text == "/" || text == " ") {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSettings::setOverviewFieldsEnabled(bool enabled) {
    for (QLineEdit* box : {ui->txtPath_3, ui->txtPath_4}) {
        box->setEnabled(enabled);
        setBackground(box, enabled);
    }
    ui->imgBrowse_3->setEnabled(enabled);
}

void frmSettings::chkIntro_Click(bool checked) {
    setOverviewFieldsEnabled(checked);
    if (!checked) {
        m_state.settings.bIntroPage = false;
    }
}

void frmSettings::requireNumber(QLineEdit* box, const char* message, const char* fallback) {
    const std::string text = fromQ(box->text());
    if (!text.empty() && !IsNumericText(text)) {
        m_state.ui.messageBox(message, "Number Required", Buttons::Ok, Icon::None);
        box->setText(fallback);
    }
}

void frmSettings::imgBrowse_Click(int index) {
    try {
        const std::string chosen = browseFile(index);
        if (!chosen.empty()) {
            path(index)->setText(toQ(chosen));
        }
    } catch (const std::exception& e) {
        m_state.ui.messageBox(
            std::string(e.what()) + kCrLf + "Error in procedure imgBrowse, frmSettings.", "Error",
            Buttons::Ok, Icon::Critical);
    }
}

std::string frmSettings::browseFile(int index) {
    const Settings& s = m_state.settings;
    switch (index) {
        case 0:
            return ChooseOneFile(m_state, m_dialog, "Location of Vistrel", "EXE",
                                 s.spubPathVistrel);
        case 1:
            return ChooseOneFile(m_state, m_dialog, "Location of Vistrel Ini File", "INI",
                                 s.spubPathVisIni.empty()
                                     ? directoryOfExisting(fromQ(path(0)->text()))
                                     : s.spubPathVisIni);
        case 2:
            return frmDirSearch::choose(this, "Target Directory For HTML Files", s.spubPathHtml);
        default:
            return ChooseOneFile(m_state, m_dialog, "Vistrel Ini File For Overview Page", "INI",
                                 s.spubPathIntroIni.empty()
                                     ? directoryOfExisting(fromQ(path(1)->text()))
                                     : s.spubPathIntroIni);
    }
}

}  // namespace korvane
