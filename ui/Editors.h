#pragma once
// The main window's editor windows: the list of open editors (colEditors) with the position
// of the one activated last (lCurrentEditor), the annotation and header-tag menus that
// insert into it, opening files in new editors (LoadPgn), and what the processing cycle and
// the monitor window do to every editor.

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pgn/EditedGames.h"

class QMdiArea;
class QWidget;

namespace korvane {

struct ProgramState;
class frmEditor;
class AnnotationMenus;

class Editors : public QObject {
    Q_OBJECT
public:
    // area holds the editor windows; the menus belong to menuOwner (the main window).
    Editors(ProgramState& state, QMdiArea* area, QWidget* menuOwner);
    ~Editors() override;

    ProgramState& state;
    // Positions 1 to Count; nothing until the first editor opens, released with the last.
    std::optional<std::vector<QPointer<frmEditor>>> colEditors;
    long lCurrentEditor = 0;

    AnnotationMenus& menus() { return *m_menus; }
    // The editor at lCurrentEditor, null when there is none.
    frmEditor* current() const;
    // Position of the first editor whose caption equals caption ignoring case; 0 when none.
    long positionOf(const std::string& caption) const;
    std::vector<std::string> captions() const;

    // Opens key's file of the given kind in a new editor, creating the file first when it
    // is missing. Null when nothing was opened.
    frmEditor* LoadPgn(EditKind kind, const std::string& key);
    // A new editor for path showing bytes, added to the list and shown.
    frmEditor* openEditor(const std::string& path, const std::string& bytes,
                          bool annotationButtons);
    // A closing editor leaves the list (unless the whole program is closing).
    void removeClosed(frmEditor* editor);

    // What the processing cycle asks of every editor.
    void setSaveButtonsVisible(bool visible);
    void enableReload(const std::string& fileName);
    // Closing the project closes every editor, last to first.
    void closeAll();
    // The main window closes: the list is emptied and left alone by the closing editors.
    void release();

    // The save dialog (title, file type, initial directory); returns the chosen path, empty
    // when cancelled. The main window puts its own in; the default is the system's.
    std::function<std::string(const std::string&, const std::string&, const std::string&)>
        saveFileDialog;

signals:
    // An edited pgn was created: the header-tags menu entry becomes available.
    void headerTagsMenuEnabled();

private:
    QMdiArea* m_area;
    AnnotationMenus* m_menus;
    bool m_released = false;
};

}  // namespace korvane
