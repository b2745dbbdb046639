#pragma once
// The three pop-up menus that the editor's small buttons show: move-quality glyphs
// (mnuAnno1), position glyphs (mnuAnno2) and header tags (mnuAnno3). A chosen item goes to
// the current editor: a glyph through InsertNag, a tag name through InsertTag.

#include <QMenu>
#include <QObject>
#include <QPoint>

namespace korvane {

class Editors;

class AnnotationMenus : public QObject {
    Q_OBJECT
public:
    AnnotationMenus(Editors& editors, QWidget* owner);

    QMenu* mnuAnno1;
    QMenu* mnuAnno2;
    QMenu* mnuAnno3;

    // Pops up menu 1, 2 or 3 with its top-left corner at a global position.
    void popup(int menu, const QPoint& at);

private:
    QMenu* makeMenu(QWidget* owner, const char* name, const char* caption);
    void addItem(QMenu* menu, const char* name, const QString& caption, const QString& insert,
                 bool tag);
    Editors& m_editors;
};

}  // namespace korvane
