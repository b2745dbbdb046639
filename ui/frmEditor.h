#pragma once
// The PGN editor: one file's text in a plain-text box, shown as a child window of the main
// window. It keeps its own change count, saves the text back in the file's own encoding and
// line ends, reloads it when the processing cycle has rewritten the file, and inserts
// glyphs, comment and variation pairs and header tags at the operator's request.

#include <QPushButton>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "core/EditorText.h"

class QPlainTextEdit;

namespace korvane {

class Editors;
struct TextEdit;

class frmEditor : public QWidget {
    Q_OBJECT
public:
    explicit frmEditor(Editors& editors, QWidget* parent = nullptr);

    // The editor's identity: the full path of its file ("Editor" until the opener sets it).
    std::string caption() const { return windowTitle().toStdString(); }
    void setCaption(const std::string& path) { setWindowTitle(QString::fromStdString(path)); }

    // The opener's filling: the file's bytes, decoded for display (change 1, not an edit).
    void setFileText(const std::string& bytes);
    // Shows the comment, variation and glyph buttons (for an edited pgn).
    void showAnnotationButtons();

    void InsertNag(const QString& text);
    void InsertTag(const QString& name);

    void cmdSave_Click();
    void cmdSaveAs_Click();
    void ReloadFile();
    void cmdCancel_Click();
    void cmdCom_Click(int index);

    // Makes this editor the current one: its position in the editor list, found by caption.
    void becomeCurrent();
    // Hidden while a processing cycle runs.
    void setSaveButtonsVisible(bool visible);
    void enableReload() { m_cmdRefresh->setEnabled(true); }
    // Closes the editor's window (the Close button, or closing every editor).
    void closeByProgram();

    long lChangeCount = 0;
    bool bChanged = false;

    // The text as shown, one "\n" per line end.
    QString shownText() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildControls();
    void setTabOrder();
    void layoutControls();
    void onTextChanged();
    void apply(const TextEdit& edit);
    struct Saving {
        std::string bytes;
        bool merged = false;  // appended moves were merged in
        int lost = 0;         // characters the file's encoding cannot hold
    };
    // Replaces the shown text without counting it as the operator's change.
    void showSavedText(const std::string& bytes, TextEncoding encoding);
    // What a save writes: the shown text encoded, merged with appended moves if needed.
    // Nothing when the operator chose not to save.
    std::optional<Saving> textToSave();
    // Writes to path; on failure bError is left set. Returns whether it was written.
    bool write(const std::string& path, const Saving& saving);
    void putCaretNearEnd();

    Editors& m_editors;
    EditorText m_text;
    bool m_quiet = false;
    QPlainTextEdit* m_txtEditor;
    std::array<QPushButton*, 5> m_cmdCom{};
    QPushButton* m_cmdRefresh;
    QPushButton* m_cmdCancel;
    QPushButton* m_cmdSaveAs;
    QPushButton* m_cmdSave;
};

}  // namespace korvane
