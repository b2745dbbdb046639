#pragma once
// The dialog that edits the tags-to-change list: the header tags that the next merge
// refreshes from the source. The rules live in TagsToChangeEditor.

#include <QDialog>
#include <vector>

#include "pgn/TagsToChange.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace korvane {

class frmTagsToChange : public QDialog {
    Q_OBJECT
public:
    explicit frmTagsToChange(std::vector<std::string>& list, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdButton_Click(int index);
    void addTag();
    void ok();

    TagsToChangeEditor m_editor;
    QListWidget* m_lboSelect;
    QLineEdit* m_txtNewTag;
    QLabel* m_lblError;
    QPushButton* m_cmdAdd;
};

}  // namespace korvane
