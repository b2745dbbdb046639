// Where the editor puts glyphs, comment and variation pairs, and new header tags.

#include <gtest/gtest.h>

#include "pgn/EditorInsert.h"

namespace korvane {
namespace {

QString Apply(const QString& text, const TextEdit& edit) {
    QString out = text;
    out.replace(edit.from, edit.to - edit.from, edit.text);
    return out;
}

// Blanks go in only against non-blank neighbours; the caret follows the glyph.
TEST(NagInsertion, SpacesOnlyAgainstNonBlankNeighbours) {
    const struct {
        const char* text;
        int selStart, selEnd;
        const char* nag;
        const char* expected;
        int caret;
    } cases[] = {
        {"1. e4 e5", 5, 5, "$1", "1. e4 $1 e5", 9},
        {"1. e4 e5", 6, 6, "$1", "1. e4 $1 e5", 10},
        {"1. e4", 0, 0, "$1", "$1 1. e4", 4},
        {"1. e4", 5, 5, "$1", "1. e4 $1", 8},
        {"e4e5", 2, 2, "{ }", "e4 { } e5", 6},
        {"e4\ne5", 2, 2, "$2", "e4 $2\ne5", 6},
        {"1. e4 XX e5", 6, 8, "$3", "1. e4 $3  e5", 10},
    };
    for (const auto& c : cases) {
        const TextEdit edit = NagInsertion(c.text, c.selStart, c.selEnd, c.nag);
        EXPECT_EQ(Apply(c.text, edit).toStdString(), c.expected);
        EXPECT_EQ(edit.caret, c.caret) << c.text;
    }
}

TEST(TagInsertion, NewLineAfterTheLastHeaderTagWithCaretInTheQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        // text, the text after adding ECO
        {"[A \"1\"]\n[B \"2\"]\n\n1. e4 *", "[A \"1\"]\n[B \"2\"]\n[ECO \"\"]\n\n1. e4 *"},
        {"[A \"1\"]\n\n1. e4 {[%clk 1:00]} *", "[A \"1\"]\n[ECO \"\"]\n\n1. e4 {[%clk 1:00]} *"},
        {"[Site \"X [Y]\"]\n[B \"é\"]\n1. e4", "[Site \"X [Y]\"]\n[B \"é\"]\n[ECO \"\"]\n1. e4"},
        {"[Event \"{Open\"]\n[B \"2\"]\n1. e4 {[x]} *",
         "[Event \"{Open\"]\n[B \"2\"]\n[ECO \"\"]\n1. e4 {[x]} *"},
        {"[Event \"{Open\"]\n[B \"2\"]\n1. e4 *",
         "[Event \"{Open\"]\n[B \"2\"]\n[ECO \"\"]\n1. e4 *"},
        {"[A \"1\"]", "[A \"1\"]\n[ECO \"\"]"},
        {"[A \"1\"]\n\n1. e4 ; see [X 1886]\n*",
         "[A \"1\"]\n[ECO \"\"]\n\n1. e4 ; see [X 1886]\n*"},
        {"[A \"1\"]\n[B \"a;b\"]\n%[X]\n1. e4 *",
         "[A \"1\"]\n[B \"a;b\"]\n[ECO \"\"]\n%[X]\n1. e4 *"},
    };
    for (const auto& [text, expected] : cases) {
        const auto result = TagInsertionFor(QString::fromUtf8(text), "ECO");
        ASSERT_TRUE(result.edit) << result.error.toStdString();
        const QString after = Apply(QString::fromUtf8(text), *result.edit);
        EXPECT_EQ(after.toStdString(), expected);
        EXPECT_EQ(after.mid(result.edit->caret - 6, 7), "[ECO \"\"") << text;
    }
    for (const auto& [text, error] : {
             std::pair{"[A \"1\"\n1. e4", "\r\nMissing ] in pgn\r\nError in procedure InsertTag."},
             std::pair{"[A \"1\n1. e4 {x}",
                       "\r\nMissing ] in header tags.\r\nError in procedure InsertTag."},
             std::pair{"1. e4 *",
                       "The text holds no header tag.\r\n\r\nError in procedure InsertTag."},
         }) {
        const auto result = TagInsertionFor(text, "ECO");
        EXPECT_FALSE(result.edit) << text;
        EXPECT_EQ(result.error.toStdString(), error);
    }
}

}  // namespace
}  // namespace korvane
