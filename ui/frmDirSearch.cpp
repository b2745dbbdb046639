#include "ui/frmDirSearch.h"

#include <QDir>
#include <QMouseEvent>
#include <QStorageInfo>

#include "core/FileUtils.h"
#include "ui/QtText.h"
#include "ui_frmDirSearch.h"

namespace korvane {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kIndent = 2;  // blanks per level in the directory list

}  // namespace

frmDirSearch::frmDirSearch(const std::string& caption, const std::string& dir, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmDirSearch>()), m_sDialogDir(dir) {
    ui->setupUi(this);
    setFixedSize(size());
    setWindowTitle(toQ(caption));
    fillDrives();

    QString start = toQ(dir);
    if (start.size() > 1 && start.endsWith('/')) {
        start.chop(1);
    }
    if (!start.isEmpty() && DirExists(fromQ(start))) {
        selectDriveOf(start);
        setPath(start);
        ui->txtDir->setText(m_path);
        ui->cmdOK->setEnabled(true);
    } else {
        setPath(QDir::rootPath());
        ui->txtDir->clear();
        ui->cmdOK->setEnabled(false);
    }

    connect(ui->Drive1, &QComboBox::activated, this, &frmDirSearch::Drive1_Change);
    connect(ui->lboDir, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        setPath(item->data(kPathRole).toString());
        ui->txtDir->setText(m_path);
    });
    connect(ui->txtDir, &QLineEdit::textEdited, this,
            [this](const QString& text) { ui->cmdOK->setEnabled(!text.isEmpty()); });
    ui->lboDir->viewport()->installEventFilter(this);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmDirSearch::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmDirSearch::~frmDirSearch() = default;

std::string frmDirSearch::choose(QWidget* parent, const std::string& caption,
                                 const std::string& dir) {
    frmDirSearch picker(caption, dir, parent);
    return picker.exec() == QDialog::Accepted ? picker.sDialogDir() : std::string();
}

void frmDirSearch::fillDrives() {
    QStringList roots{QDir::rootPath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath())) {
            roots.append(volume.rootPath());
        }
    }
    ui->Drive1->addItems(roots);
}

// The drive of a path: the volume with the longest root that the path lies under.
void frmDirSearch::selectDriveOf(const QString& path) {
    int best = 0;
    for (int i = 0; i < ui->Drive1->count(); ++i) {
        const QString root = ui->Drive1->itemText(i);
        const bool under = path == root || path.startsWith(root.endsWith('/') ? root : root + '/');
        if (under && root.size() > ui->Drive1->itemText(best).size()) {
            best = i;
        }
    }
    ui->Drive1->setCurrentIndex(best);
}

// The list shows the path from the root down to the directory, then its subdirectories.
void frmDirSearch::setPath(const QString& path) {
    m_path = QDir::cleanPath(path);
    ui->lboDir->clear();
    QStringList ancestors;
    for (QDir dir(m_path);;) {
        ancestors.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) {
            break;
        }
    }
    int level = 0;
    for (const QString& ancestor : ancestors) {
        const QString name = level == 0 ? ancestor : QDir(ancestor).dirName();
        auto* item = new QListWidgetItem(QString(level * kIndent, ' ') + name, ui->lboDir);
        item->setData(kPathRole, ancestor);
        ++level;
    }
    ui->lboDir->setCurrentRow(static_cast<int>(ancestors.size()) - 1);
    const auto subdirectories = QDir(m_path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                           QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& sub : subdirectories) {
        auto* item =
            new QListWidgetItem(QString(level * kIndent, ' ') + sub.fileName(), ui->lboDir);
        item->setData(kPathRole, sub.absoluteFilePath());
    }
    ui->cmdOK->setEnabled(true);
}

bool frmDirSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lboDir->viewport() && event->type() == QEvent::MouseButtonPress) {
        ui->txtDir->setText(m_path);
    }
    return QDialog::eventFilter(watched, event);
}

void frmDirSearch::Drive1_Change(int index) {
    setPath(ui->Drive1->itemText(index));
    ui->txtDir->setText(m_path);
    QDir::setCurrent(m_path);
}

void frmDirSearch::cmdOK_Click() {
    if (!m_path.isEmpty()) {
        m_sDialogDir = fromQ(m_path);
    }
    accept();
}

}  // namespace korvane
