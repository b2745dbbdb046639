#pragma once
// Chooses which monitored games publish an edited (commented) pgn instead of the bare
// source, and creates the edited copies that are missing.

#include <QDialog>

class QListWidget;

namespace korvane {

struct ProgramState;

class frmEditPgnSelect : public QDialog {
    Q_OBJECT
public:
    frmEditPgnSelect(ProgramState& state, QWidget* parent = nullptr);

    void cmdOK_Click();

signals:
    // The games were chosen: the header-tags menu entry becomes available.
    void headerTagsMenuEnabled();

private:
    ProgramState& m_state;
    QListWidget* m_lboPgnFiles;
};

}  // namespace korvane
