#include "pgn/EditorInsert.h"

#include <algorithm>
#include <string>

#include "pgn/PgnScanner.h"

namespace korvane {

namespace {

bool NonBlank(QChar c) {
    return c.unicode() > 32;
}

// 1-based position of the next c after pos in text, 0 when there is none.
long FindAfter(const std::string& text, char c, long pos) {
    const std::size_t at = text.find(c, static_cast<std::size_t>(pos));
    return at == std::string::npos ? 0 : static_cast<long>(at) + 1;
}

// 1-based position of the next comment after pos: a "{", a ";" or a "%" line. A "["
// inside any of them opens no tag (a reference such as "; see [Event ...]").
long NextCommentAfter(const std::string& text, long pos) {
    for (long i = pos + 1; i <= static_cast<long>(text.size()); ++i) {
        if (text[static_cast<std::size_t>(i - 1)] == '{' || LineCommentAt(text, i)) {
            return i;
        }
    }
    return 0;
}

// The "]" of the last header tag (1-based, in the UTF-8 text), or the message when a tag
// is not closed. 0 when the text holds no tag.
long LastHeaderTagEnd(const std::string& text, QString& error) {
    long comment = NextCommentAfter(text, 0);
    long last = 0;
    for (long pos = 0;;) {
        const long open = FindAfter(text, '[', pos);
        if (open == 0 || (comment > 0 && open > comment)) {
            return last;
        }
        const long close = FindTagEnd(text, open);
        if (close == 0) {
            error = comment > 0 ? "Missing ] in header tags." : "Missing ] in pgn";
            return 0;
        }
        last = close;
        // A "{" or ";" inside the tag's value opens no comment: the next one after the tag
        // does, and without one every remaining bracket pair counts.
        if (comment > 0 && close > comment) {
            comment = NextCommentAfter(text, close);
        }
        pos = close;
    }
}

}  // namespace

TextEdit NagInsertion(const QString& text, int selStart, int selEnd, const QString& nag) {
    const int length = static_cast<int>(text.size());
    selStart = std::clamp(selStart, 0, length);
    selEnd = std::clamp(selEnd, selStart, length);
    TextEdit edit{selStart, selEnd, nag, 0};
    if (selStart > 0 && NonBlank(text[selStart - 1])) {
        edit.text.prepend(u' ');
    }
    if (selStart < length && NonBlank(text[selStart])) {
        edit.text.append(u' ');
    }
    const int newLength = length - (selEnd - selStart) + static_cast<int>(edit.text.size());
    edit.caret = std::min(selStart + 4, newLength);
    return edit;
}

TagInsertion TagInsertionFor(const QString& text, const QString& name) {
    const std::string bytes = text.toStdString();
    TagInsertion result;
    QString message;
    const long close = LastHeaderTagEnd(bytes, message);
    if (!message.isEmpty()) {
        result.error = "\r\n" + message + "\r\nError in procedure InsertTag.";
        return result;
    }
    if (close == 0) {
        result.error = "The text holds no header tag.\r\n\r\nError in procedure InsertTag.";
        return result;
    }
    // Back from UTF-8 bytes to the editor's character positions.
    const int at = static_cast<int>(QString::fromStdString(bytes.substr(0, close)).size());
    const QString tag = "[" + name + " \"\"]";
    TextEdit edit;
    if (at < text.size() && text[at] == u'\n') {
        edit.from = at + 1;
        edit.text = tag + "\n";
        edit.caret = edit.from + static_cast<int>(tag.size()) - 2;
    } else {
        edit.from = at;
        edit.text = "\n" + tag;
        edit.caret = edit.from + static_cast<int>(tag.size()) - 1;
    }
    edit.to = edit.from;
    result.edit = edit;
    return result;
}

}  // namespace korvane
