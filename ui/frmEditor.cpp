#include "ui/frmEditor.h"

#include <QCloseEvent>
#include <QImage>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "pgn/EditorInsert.h"
#include "pgn/SaveMerge.h"
#include "ui/AnnotationMenus.h"
#include "ui/Editors.h"

namespace korvane {

namespace {

// Window geometry is designed in twips; 15 twips make one pixel.
constexpr int Px(int twips) {
    return twips / 15;
}

// The plus-over-equals sign, 9 x 10 pixels, black on transparent: the centre column in
// rows 1 to 7 and full rows 4, 8 and 10.
QPixmap PlusOverEquals() {
    QImage image(9, 10, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int row = 1; row <= 10; ++row) {
        for (int column = 0; column < 9; ++column) {
            const bool centre = column == 4 && row <= 7;
            const bool full = row == 4 || row == 8 || row == 10;
            if (centre || full) {
                image.setPixelColor(column, row - 1, Qt::black);
            }
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

frmEditor::frmEditor(Editors& editors, QWidget* parent) : QWidget(parent), m_editors(editors) {
    setObjectName("frmEditor");
    setWindowTitle("Editor");
    resize(Px(8760), Px(6585));
    buildControls();
    setTabOrder();
    layoutControls();
}

void frmEditor::buildControls() {
    m_txtEditor = new QPlainTextEdit(this);
    m_txtEditor->setObjectName("txtEditor");
    m_txtEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont textFont("MS Sans Serif");
    textFont.setPointSizeF(9.75);
    m_txtEditor->setFont(textFont);
    connect(m_txtEditor, &QPlainTextEdit::textChanged, this, &frmEditor::onTextChanged);

    QFont buttonFont("Arial");
    buttonFont.setPointSizeF(9.75);
    buttonFont.setBold(true);
    const char* captions[] = {"!", "", "{ }", "( )", "[ ]"};
    const char* tips[] = {"Annotate move with !, ? etc.", "Annotate move with =, += etc.",
                          "Insert comment", "Insert variation", "Insert new header tag"};
    for (int i = 0; i < 5; ++i) {
        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(QString("cmdCom_%1").arg(i));
        button->setToolTip(tips[i]);
        button->setFont(buttonFont);
        button->resize(Px(375), Px(345));
        button->setVisible(i == 4);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdCom_Click(i); });
        m_cmdCom[i] = button;
    }
    m_cmdCom[1]->setIcon(PlusOverEquals());
    m_cmdCom[1]->setIconSize(QSize(9, 10));

    auto wide = [this](const char* name, const char* caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->resize(Px(1005), Px(345));
        return button;
    };
    m_cmdRefresh = wide("cmdRefresh", "Reload");
    m_cmdRefresh->setToolTip("Reload Changed File");
    m_cmdRefresh->setEnabled(false);
    m_cmdCancel = wide("cmdCancel", "Close");
    m_cmdSaveAs = wide("cmdSaveAs", "Save As");
    m_cmdSave = wide("cmdSave", "Save");
    m_cmdSave->setEnabled(false);
    connect(m_cmdRefresh, &QPushButton::clicked, this, &frmEditor::ReloadFile);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmEditor::cmdCancel_Click);
    connect(m_cmdSaveAs, &QPushButton::clicked, this, &frmEditor::cmdSaveAs_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &frmEditor::cmdSave_Click);
}

void frmEditor::setTabOrder() {
    QWidget* order[] = {m_txtEditor, m_cmdSave,   m_cmdCancel, m_cmdCom[0], m_cmdCom[1],
                        m_cmdCom[2], m_cmdCom[3], m_cmdCom[4], m_cmdSaveAs, m_cmdRefresh};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

// The Part's layout works on the window's outer size; inside the main window that is the
// child frame around this widget.
void frmEditor::layoutControls() {
    const QWidget* outer = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    if (outer->isMinimized()) {
        return;
    }
    const int w = outer->width();
    const int h = outer->height();
    m_txtEditor->setGeometry(Px(90), Px(60), std::max(0, w - Px(300)), std::max(0, h - Px(1105)));
    const int top = h - Px(900);
    const int saveLeft = m_txtEditor->x() + m_txtEditor->width() - m_cmdSave->width();
    const int wideWidth = m_cmdCancel->width();
    m_cmdSave->move(saveLeft, top);
    m_cmdSaveAs->move(saveLeft - m_cmdSaveAs->width() - Px(100), top);
    m_cmdCancel->move(saveLeft - 2 * wideWidth - Px(200), top);
    m_cmdRefresh->move(saveLeft - 3 * wideWidth - Px(300), top);
    int left = m_txtEditor->x();
    for (int index : {4, 2, 3, 0, 1}) {
        m_cmdCom[index]->move(left, top);
        left += m_cmdCom[0]->width();
    }
}

void frmEditor::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

bool frmEditor::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        becomeCurrent();
    }
    return QWidget::event(event);
}

void frmEditor::becomeCurrent() {
    const long position = m_editors.positionOf(caption());
    if (position > 0) {
        m_editors.lCurrentEditor = position;
    }
}

void frmEditor::onTextChanged() {
    if (m_quiet) {
        return;
    }
    ++lChangeCount;
    if (lChangeCount > 1) {
        bChanged = true;
        m_cmdSave->setEnabled(true);
    }
}

QString frmEditor::shownText() const {
    // The raw text keeps no-break spaces as they are; paragraphs are the lines.
    QString text = m_txtEditor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void frmEditor::setFileText(const std::string& bytes) {
    m_text = EditorText(bytes);
    m_txtEditor->setPlainText(m_text.display());
}

void frmEditor::showAnnotationButtons() {
    for (int i = 0; i < 4; ++i) {
        m_cmdCom[i]->setVisible(true);
    }
}

void frmEditor::setSaveButtonsVisible(bool visible) {
    m_cmdSave->setVisible(visible);
    m_cmdSaveAs->setVisible(visible);
}

void frmEditor::apply(const TextEdit& edit) {
    QTextCursor cursor(m_txtEditor->document());
    cursor.setPosition(edit.from);
    cursor.setPosition(edit.to, QTextCursor::KeepAnchor);
    cursor.insertText(edit.text);
    cursor.setPosition(edit.caret);
    m_txtEditor->setTextCursor(cursor);
    m_txtEditor->setFocus();
}

void frmEditor::InsertNag(const QString& text) {
    const QTextCursor cursor = m_txtEditor->textCursor();
    apply(NagInsertion(shownText(), cursor.selectionStart(), cursor.selectionEnd(), text));
}

void frmEditor::InsertTag(const QString& name) {
    const TagInsertion insertion = TagInsertionFor(shownText(), name);
    if (!insertion.edit) {
        m_editors.state.ui.messageBox(insertion.error.toStdString(), "Error", Buttons::Ok,
                                      Icon::None);
        return;
    }
    apply(*insertion.edit);
}

void frmEditor::cmdCom_Click(int index) {
    becomeCurrent();
    if (index == 2 || index == 3) {
        InsertNag(index == 2 ? "{ }" : "( )");
        return;
    }
    // The menus open to the right of and above the button row.
    const QPushButton* first = m_cmdCom[0];
    const int above = index == 0 ? Px(2150) : Px(3940);
    const QPoint at(m_cmdCom[index]->x() + first->width(), first->y() - above);
    m_editors.menus().popup(index == 0 ? 1 : index == 1 ? 2 : 3, mapToGlobal(at));
}

// Save and Save As write what textToSave gives; after the cycle has appended moves to an
// edited pgn that is the typed text merged with the game's latest source copy.
std::optional<frmEditor::Saving> frmEditor::textToSave() {
    ProgramState& state = m_editors.state;
    Saving saving;
    saving.bytes = m_text.encode(shownText(), &saving.lost);
    if (!m_cmdRefresh->isEnabled()) {
        return saving;
    }
    const std::optional<MergeOutcome> merge = MergeBeforeSave(state, caption(), saving.bytes);
    if (!merge) {
        return saving;
    }
    if (!merge->error) {
        saving.bytes = merge->merged;
        saving.merged = true;
        return saving;
    }
    const std::string reason = merge->error->empty() ? "The edited text is empty." : *merge->error;
    if (state.ui.messageBox(SaveMergeQuestion(reason), kSaveMergeTitle, Buttons::YesNo,
                            Icon::Exclamation) == Answer::No) {
        return std::nullopt;
    }
    return saving;
}

bool frmEditor::write(const std::string& path, const Saving& saving) {
    ProgramState& state = m_editors.state;
    SaveFile(state, path, saving.bytes, false, true);
    if (state.bError) {
        return false;
    }
    if (saving.merged) {
        // The file now holds the appended moves too: show what was written.
        showSavedText(saving.bytes, EditorText(saving.bytes).encoding());
        m_cmdRefresh->setEnabled(false);
    } else {
        m_text = EditorText(saving.bytes, m_text.encoding());
    }
    if (saving.lost > 0) {
        state.ui.messageBox(std::to_string(saving.lost) +
                                " character(s) cannot be written in this file's single-byte "
                                "encoding and were saved as \"?\".",
                            "Save", Buttons::Ok, Icon::Exclamation);
    }
    return true;
}

void frmEditor::showSavedText(const std::string& bytes, TextEncoding encoding) {
    const int caret = m_txtEditor->textCursor().position();
    m_text = EditorText(bytes, encoding);
    m_quiet = true;
    m_txtEditor->setPlainText(m_text.display());
    m_quiet = false;
    QTextCursor cursor = m_txtEditor->textCursor();
    cursor.setPosition(std::min(caret, static_cast<int>(m_text.display().size())));
    m_txtEditor->setTextCursor(cursor);
}

void frmEditor::cmdSave_Click() {
    ProgramState& state = m_editors.state;
    const std::optional<Saving> saving = textToSave();
    if (!saving) {
        return;
    }
    if (!write(caption(), *saving)) {
        state.ui.messageBox(std::string(kCrLf) + "Error saving file", "Error", Buttons::Ok,
                            Icon::None);
        state.bError = false;
        return;
    }
    bChanged = false;
    m_cmdSave->setEnabled(false);
}

void frmEditor::cmdSaveAs_Click() {
    ProgramState& state = m_editors.state;
    try {
        const std::string path =
            m_editors.saveFileDialog("Save as...", "PGN", ReturnDir(state, caption()));
        if (path.empty()) {
            return;
        }
        const std::optional<Saving> saving = textToSave();
        if (!saving) {
            return;
        }
        if (!write(path, *saving)) {
            state.bError = false;
            return;
        }
        setCaption(path);
        bChanged = false;
    } catch (const std::exception& e) {
        state.ui.messageBox(std::string(e.what()) + "Error saving file. Procedure cmdSaveAs_Click.",
                            "Error", Buttons::Ok, Icon::None);
    }
}

void frmEditor::ReloadFile() {
    ProgramState& state = m_editors.state;
    if (bChanged && state.ui.messageBox(
                        std::string("Changes made since you last saved the file will be lost.") +
                            kCrLf + kCrLf + "Continue?",
                        "Beware", Buttons::YesNo, Icon::Critical) == Answer::No) {
        return;
    }
    std::string bytes;
    if (LoadTextFile(state, caption(), bytes) && !bytes.empty()) {
        m_text = EditorText(bytes);
        m_txtEditor->setPlainText(m_text.display());
    }
    putCaretNearEnd();
    m_txtEditor->setFocus();
    // The reloaded text stands where the opener's filling stood: the next edit marks it changed.
    lChangeCount = 1;
    m_cmdRefresh->setEnabled(false);
}

// Five characters before the end, counting a line end as the file writes it (CR LF as
// two); a text shorter than that gets the caret at its start.
void frmEditor::putCaretNearEnd() {
    const QString text = shownText();
    const int lineEnd = static_cast<int>(m_text.lineEnd().size());
    int pos = static_cast<int>(text.size());
    for (int counted = 0; pos > 0 && counted < 5;) {
        --pos;
        counted += text[pos] == u'\n' ? lineEnd : 1;
    }
    QTextCursor cursor = m_txtEditor->textCursor();
    cursor.setPosition(pos);
    m_txtEditor->setTextCursor(cursor);
}

void frmEditor::cmdCancel_Click() {
    becomeCurrent();
    closeByProgram();
}

void frmEditor::closeByProgram() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        frame->close();
    } else {
        close();
    }
}

void frmEditor::closeEvent(QCloseEvent* event) {
    m_editors.removeClosed(this);
    QWidget::closeEvent(event);
}

}  // namespace korvane
