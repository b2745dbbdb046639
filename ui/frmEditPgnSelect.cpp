#include "ui/frmEditPgnSelect.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "pgn/EditedGames.h"

namespace korvane {

frmEditPgnSelect::frmEditPgnSelect(ProgramState& state, QWidget* parent)
    : QDialog(parent), m_state(state) {
    setObjectName("frmEditPgnSelect");
    setWindowTitle("Select Files");
    auto* frame = new QFrame(this);
    frame->setObjectName("Frame1");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* label = new QLabel(QString::fromStdString(EditPgnSelectExplanation(state)), frame);
    label->setObjectName("lblSelectFiles");
    label->setWordWrap(true);
    m_lboPgnFiles = new QListWidget(frame);
    m_lboPgnFiles->setObjectName("lboPgnFiles");
    m_lboPgnFiles->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const Pgn& game : state.monitorList) {
        auto* row = new QListWidgetItem(QString::fromStdString(game.Key), m_lboPgnFiles);
        row->setSelected(game.bUseFinal());
    }
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cmdCancel");
    connect(ok, &QPushButton::clicked, this, &frmEditPgnSelect::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(label);
    inner->addWidget(m_lboPgnFiles);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frame);
    outer->addLayout(buttons);
    resize(480, 420);
}

void frmEditPgnSelect::cmdOK_Click() {
    try {
        for (int row = 0; row < m_lboPgnFiles->count(); ++row) {
            const long index = row + 1;
            if (m_lboPgnFiles->item(row)->isSelected()) {
                CreateEditedCopy(m_state, index);
                m_state.monitorList.Item(index).setUseFinal(true);
            } else {
                m_state.monitorList.Item(index).setUseFinal(false);
            }
        }
    } catch (const std::exception& e) {
        m_state.ui.messageBox(std::string(e.what()) + kCrLf + kCrLf +
                                  "Error selecting/deselecting edited pgn files. Procedure "
                                  "cmdOK_Click.",
                              "Error", Buttons::Ok, Icon::None);
    }
    accept();
    emit headerTagsMenuEnabled();
}

}  // namespace korvane
