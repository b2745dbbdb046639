#include "ui/frmTagsToChange.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace korvane {

frmTagsToChange::frmTagsToChange(std::vector<std::string>& list, QWidget* parent)
    : QDialog(parent), m_editor(list) {
    setObjectName("frmTagsToChange");
    setWindowTitle(TagsToChangeEditor::kCaption);
    auto* frame = new QFrame(this);
    frame->setObjectName("Frame1");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* info = new QLabel(TagsToChangeEditor::kInfo, frame);
    info->setObjectName("lblInfo");
    info->setWordWrap(true);
    m_lboSelect = new QListWidget(frame);
    m_lboSelect->setObjectName("lboSelect");
    m_lboSelect->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const auto& row : m_editor.rows()) {
        new QListWidgetItem(QString::fromStdString(row.name), m_lboSelect);
    }
    m_lboSelect->selectAll();
    m_txtNewTag = new QLineEdit(frame);
    m_txtNewTag->setObjectName("txtNewTag");
    m_txtNewTag->installEventFilter(this);
    m_lblError = new QLabel(frame);
    m_lblError->setObjectName("lblError");

    const char* captions[] = {"Add Tag", "OK", "Cancel"};
    auto* grid = new QGridLayout(frame);
    grid->addWidget(info, 0, 0, 1, 3);
    grid->addWidget(m_lboSelect, 1, 0, 4, 2);
    grid->addWidget(m_txtNewTag, 1, 2);
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(captions[i], frame);
        button->setObjectName(QString("cmdButton_%1").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { cmdButton_Click(i); });
        grid->addWidget(button, 2 + i, 2);
        if (i == 0) {
            m_cmdAdd = button;
        }
    }
    grid->addWidget(m_lblError, 5, 0, 1, 3);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frame);
    connect(m_txtNewTag, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_editor.setNewTag(text.toStdString());
        m_cmdAdd->setEnabled(m_editor.addEnabled());
    });
    resize(440, 360);
}

// Only letters, digits and backspace reach the new tag's name.
bool frmTagsToChange::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtNewTag && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 &&
            !TagsToChangeEditor::acceptsKey(text[0].unicode() < 256 ? text[0].unicode() : -1)) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmTagsToChange::cmdButton_Click(int index) {
    if (index == 0) {
        addTag();
    } else if (index == 1) {
        ok();
    } else {
        m_editor.cancel();
        reject();
    }
}

void frmTagsToChange::addTag() {
    const std::size_t before = m_editor.rows().size();
    m_editor.addTag();
    m_lblError->setText(QString::fromStdString(m_editor.errorText()));
    m_cmdAdd->setEnabled(m_editor.addEnabled());
    if (m_editor.rows().size() > before) {
        auto* row =
            new QListWidgetItem(QString::fromStdString(m_editor.rows().back().name), m_lboSelect);
        row->setSelected(true);
    }
}

void frmTagsToChange::ok() {
    for (int row = 0; row < m_lboSelect->count(); ++row) {
        m_editor.setSelected(static_cast<std::size_t>(row), m_lboSelect->item(row)->isSelected());
    }
    m_editor.ok();
    accept();
}

}  // namespace korvane
