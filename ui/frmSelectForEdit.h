#pragma once
// Chooses the files to open in the editor: the source pgn files, their copies in temppgn or
// the edited pgn files, one row per monitored game.

#include <QDialog>
#include <string>

#include "pgn/EditedGames.h"

class QListWidget;

namespace korvane {

class Editors;

class frmSelectForEdit : public QDialog {
    Q_OBJECT
public:
    // purpose is "Select Source File", "Select Source Copy" or "Select Commented Pgn".
    frmSelectForEdit(Editors& editors, const std::string& purpose, QWidget* parent = nullptr);

    void cmdOK_Click();

private:
    Editors& m_editors;
    EditKind m_kind = EditKind::CommentedPgn;
    QListWidget* m_lboSelect;
};

}  // namespace korvane
