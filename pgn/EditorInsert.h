#pragma once
// Where and how the PGN editor inserts an annotation glyph, a comment or variation pair,
// or an empty header tag. Pure text rules over the text as the editor shows it (one "\n"
// per line end); the editor applies the result to its text box.

#include <QString>
#include <optional>

namespace korvane {

// Replace [from, to) with text, then put the caret at caret.
struct TextEdit {
    int from = 0;
    int to = 0;
    QString text;
    int caret = 0;
};

// InsertNag: text replaces the selection [selStart, selEnd) (the caret when empty), with a
// space in front when a non-blank character precedes and a space behind when a non-blank
// character follows; the caret goes 4 characters past the old position, at most to the end.
TextEdit NagInsertion(const QString& text, int selStart, int selEnd, const QString& nag);

struct TagInsertion {
    std::optional<TextEdit> edit;
    QString error;  // the message box text when nothing can be inserted
};

// InsertTag: a line "[name \"\"]" after the line of the last header tag, the caret between
// the quotes. Header tags are the bracket pairs before the first comment; a "]" or "{"
// inside a quoted tag value belongs to the value, as the merge reads it.
TagInsertion TagInsertionFor(const QString& text, const QString& name);

}  // namespace korvane
