// The Pgn menu's items and the annotation pop-ups (mnuAnno1, mnuAnno2, mnuAnno3) are
// created by the main window; the editor windows connect them here: "Use Edited Pgn Files",
// the three Edit items (each opening the file selector for its kind of file), "Header Tags
// To Replace", and the pop-ups' items that insert into the current editor.
#include <QAction>

#include "core/ProgramState.h"
#include "ui/Editors.h"
#include "ui/frmEditPgnSelect.h"
#include "ui/frmMain.h"
#include "ui/frmSelectForEdit.h"
#include "ui/frmTagsToChange.h"

namespace korvane {

void frmMain::connectEditorMenus() {
    m_editors = new Editors(m_state, m_mdi, this);
    m_editors->saveFileDialog = [this](const std::string& title, const std::string& type,
                                       const std::string& directory) {
        std::string chosen;
        return SaveFileDialog(title, type, chosen, directory) ? chosen : std::string();
    };
    QAction* headerTags = findChild<QAction*>("mnuPgnHeaderTags");
    connect(m_editors, &Editors::headerTagsMenuEnabled, headerTags,
            [headerTags] { headerTags->setEnabled(true); });
    connect(headerTags, &QAction::triggered, this, &frmMain::mnuPgnHeaderTags_Click);
    connect(findChild<QAction*>("mnuPgnUseEdited"), &QAction::triggered, this,
            &frmMain::mnuPgnUseEdited_Click);
    const std::pair<const char*, const char*> edits[] = {
        {"mnuPgnEditSource", "Select Source File"},
        {"mnuPgnEditCopy", "Select Source Copy"},
        {"mnuPgnEditFinal", "Select Commented Pgn"}};
    for (const auto& [name, purpose] : edits) {
        connect(findChild<QAction*>(name), &QAction::triggered, this,
                [this, p = std::string(purpose)] { mnuPgnEdit_Click(p); });
    }
}

void frmMain::mnuPgnUseEdited_Click() {
    frmEditPgnSelect dialog(m_state, this);
    QAction* headerTags = findChild<QAction*>("mnuPgnHeaderTags");
    connect(&dialog, &frmEditPgnSelect::headerTagsMenuEnabled, headerTags,
            [headerTags] { headerTags->setEnabled(true); });
    dialog.exec();
}

void frmMain::mnuPgnEdit_Click(const std::string& purpose) {
    frmSelectForEdit dialog(*m_editors, purpose, this);
    dialog.exec();
}

void frmMain::mnuPgnHeaderTags_Click() {
    frmTagsToChange dialog(m_state.tagsToChange, this);
    dialog.exec();
}

}  // namespace korvane
