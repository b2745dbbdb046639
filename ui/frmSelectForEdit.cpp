#include "ui/frmSelectForEdit.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "ui/Editors.h"

namespace korvane {

frmSelectForEdit::frmSelectForEdit(Editors& editors, const std::string& purpose, QWidget* parent)
    : QDialog(parent), m_editors(editors) {
    setObjectName("frmSelectForEdit");
    setWindowTitle(QString::fromStdString(purpose));
    auto* label = new QLabel(this);
    label->setObjectName("lblExplain");
    label->setWordWrap(true);
    m_lboSelect = new QListWidget(this);
    m_lboSelect->setObjectName("lboSelect");
    m_lboSelect->setSelectionMode(QAbstractItemView::MultiSelection);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cmdCancel");
    connect(ok, &QPushButton::clicked, this, &frmSelectForEdit::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_lboSelect);
    layout->addLayout(buttons);
    resize(420, 360);

    ProgramState& state = editors.state;
    try {
        m_kind = EditKindOf(purpose).value_or(EditKind::CommentedPgn);
        const std::string directory = EditDirectory(state, m_kind);
        label->setText(QString::fromStdString(SelectForEditExplanation(directory)));
        const std::vector<std::string> open = editors.captions();
        for (const Pgn& game : state.monitorList) {
            auto* row = new QListWidgetItem(QString::fromStdString(game.Key), m_lboSelect);
            row->setSelected(IsOpenInEditor(open, directory + game.Key));
        }
    } catch (const std::exception& e) {
        LogStandard(state, e.what(), "Error loading form for selecting pgn files.");
    }
}

void frmSelectForEdit::cmdOK_Click() {
    for (int row = 0; row < m_lboSelect->count(); ++row) {
        if (m_lboSelect->item(row)->isSelected()) {
            m_editors.LoadPgn(m_kind, m_lboSelect->item(row)->text().toStdString());
        }
    }
    accept();
}

}  // namespace korvane
