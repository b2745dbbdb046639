#include "ui/Editors.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "core/FileUtils.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"
#include "ui/AnnotationMenus.h"
#include "ui/frmEditor.h"

namespace korvane {

namespace {

std::string SystemSaveDialog(const std::string& title, const std::string& type,
                             const std::string& directory) {
    const QString filter =
        QString::fromStdString(type) + " files (*." + QString::fromStdString(type).toLower() + ")";
    return QFileDialog::getSaveFileName(nullptr, QString::fromStdString(title),
                                        QString::fromStdString(directory), filter)
        .toStdString();
}

// A maximized child would make the new editor open maximized too.
void ShowMonitorWindowNormal(QMdiArea* area) {
    for (QMdiSubWindow* frame : area->subWindowList()) {
        if (frame->widget() != nullptr && frame->widget()->objectName() == "frmProject" &&
            (frame->isMaximized() || frame->isMinimized())) {
            frame->showNormal();
        }
    }
}

}  // namespace

Editors::Editors(ProgramState& programState, QMdiArea* area, QWidget* menuOwner)
    : QObject(menuOwner),
      state(programState),
      saveFileDialog(SystemSaveDialog),
      m_area(area),
      m_menus(new AnnotationMenus(*this, menuOwner)) {}

Editors::~Editors() = default;

frmEditor* Editors::current() const {
    if (!colEditors || lCurrentEditor < 1 ||
        lCurrentEditor > static_cast<long>(colEditors->size())) {
        return nullptr;
    }
    return (*colEditors)[lCurrentEditor - 1];
}

long Editors::positionOf(const std::string& caption) const {
    if (!colEditors) {
        return 0;
    }
    for (std::size_t i = 0; i < colEditors->size(); ++i) {
        const frmEditor* editor = (*colEditors)[i];
        if (editor != nullptr && EqualsNoCase(editor->caption(), caption)) {
            return static_cast<long>(i) + 1;
        }
    }
    return 0;
}

std::vector<std::string> Editors::captions() const {
    std::vector<std::string> result;
    if (colEditors) {
        for (const frmEditor* editor : *colEditors) {
            if (editor != nullptr) {
                result.push_back(editor->caption());
            }
        }
    }
    return result;
}

frmEditor* Editors::LoadPgn(EditKind kind, const std::string& key) {
    if (!colEditors) {
        colEditors.emplace();
    }
    const std::optional<FileToEdit> file = PrepareFileToEdit(state, kind, key, captions());
    if (!file) {
        return nullptr;
    }
    if (file->createdEditedCopy) {
        emit headerTagsMenuEnabled();
    }
    return openEditor(file->path, file->text, file->annotationButtons);
}

frmEditor* Editors::openEditor(const std::string& path, const std::string& bytes,
                               bool annotationButtons) {
    auto* editor = new frmEditor(*this);
    editor->setCaption(path);
    if (annotationButtons) {
        editor->showAnnotationButtons();
    }
    editor->setFileText(bytes);
    if (!colEditors) {
        colEditors.emplace();
    }
    colEditors->push_back(editor);
    m_released = false;
    if (m_area == nullptr) {
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->show();
        return editor;
    }
    ShowMonitorWindowNormal(m_area);
    QMdiSubWindow* frame = m_area->addSubWindow(editor);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    connect(frame, &QMdiSubWindow::aboutToActivate, editor, &frmEditor::becomeCurrent);
    const QSize inner = m_area->viewport()->size();
    frame->resize(static_cast<int>(0.65 * inner.width()), static_cast<int>(0.6 * inner.height()));
    frame->showNormal();
    return editor;
}

// The window itself leaves the list, whichever position the caption search or the current
// position would name: with two captions equal but for case those would be the other one.
void Editors::removeClosed(frmEditor* editor) {
    if (m_released || !colEditors) {
        return;
    }
    std::erase_if(*colEditors, [editor](const QPointer<frmEditor>& entry) {
        return entry == editor || entry.isNull();
    });
    if (colEditors->empty()) {
        colEditors.reset();
    }
}

void Editors::setSaveButtonsVisible(bool visible) {
    for (frmEditor* editor : colEditors ? *colEditors : std::vector<QPointer<frmEditor>>{}) {
        if (editor != nullptr) {
            editor->setSaveButtonsVisible(visible);
        }
    }
}

void Editors::enableReload(const std::string& fileName) {
    if (!colEditors) {
        return;
    }
    for (frmEditor* editor : *colEditors) {
        if (editor != nullptr && EqualsNoCase(FileNameOf(editor->caption()), fileName)) {
            editor->enableReload();
        }
    }
}

void Editors::closeAll() {
    while (colEditors && !colEditors->empty()) {
        lCurrentEditor = static_cast<long>(colEditors->size());
        QPointer<frmEditor> editor = colEditors->back();
        if (editor == nullptr) {
            colEditors->pop_back();
            continue;
        }
        editor->closeByProgram();
        // A window that refused to close must not hold the loop.
        if (colEditors && !colEditors->empty() && colEditors->back() == editor) {
            colEditors->pop_back();
        }
    }
    colEditors.reset();
}

void Editors::release() {
    m_released = true;
    colEditors.reset();
}

}  // namespace korvane
