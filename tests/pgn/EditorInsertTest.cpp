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

struct NagCase {
    const char* name;
    const char* text;
    int selStart, selEnd;
    const char* nag;
    const char* expected;
    int caret;
};

class NagSpacing : public testing::TestWithParam<NagCase> {};

TEST_P(NagSpacing, SpacesOnlyAgainstNonBlankNeighbours) {
    const NagCase& c = GetParam();
    const TextEdit edit = NagInsertion(c.text, c.selStart, c.selEnd, c.nag);
    EXPECT_EQ(Apply(c.text, edit), c.expected);
    EXPECT_EQ(edit.caret, c.caret);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NagSpacing,
    testing::Values(NagCase{"AfterMove", "1. e4 e5", 5, 5, "$1", "1. e4 $1 e5", 9},
                    NagCase{"AfterSpace", "1. e4 e5", 6, 6, "$1", "1. e4 $1 e5", 10},
                    NagCase{"AtStart", "1. e4", 0, 0, "$1", "$1 1. e4", 4},
                    NagCase{"AtEnd", "1. e4", 5, 5, "$1", "1. e4 $1", 8},
                    NagCase{"AtEndCaretLimited", "e4", 2, 2, "$1", "e4 $1", 5},
                    NagCase{"CommentBetweenNonBlanks", "e4e5", 2, 2, "{ }", "e4 { } e5", 6},
                    NagCase{"BeforeLineEnd", "e4\ne5", 2, 2, "$2", "e4 $2\ne5", 6},
                    NagCase{"ReplacesSelection", "1. e4 XX e5", 6, 8, "$3", "1. e4 $3  e5", 10}),
    [](const auto& row) { return std::string(row.param.name); });

struct TagCase {
    const char* name;
    const char* text;
    const char* expected;  // the text after inserting ECO, or the message
    bool fails = false;
};

class TagInsertion : public testing::TestWithParam<TagCase> {};

TEST_P(TagInsertion, NewLineAfterTheLastHeaderTag) {
    const TagCase& c = GetParam();
    const auto result = TagInsertionFor(QString::fromUtf8(c.text), "ECO");
    if (c.fails) {
        EXPECT_FALSE(result.edit);
        EXPECT_EQ(result.error, QString(c.expected));
        return;
    }
    ASSERT_TRUE(result.edit) << result.error.toStdString();
    const QString after = Apply(QString::fromUtf8(c.text), *result.edit);
    EXPECT_EQ(after, QString::fromUtf8(c.expected));
    // The caret stands between the new tag's quotes.
    EXPECT_EQ(after.mid(result.edit->caret - 6, 6), "[ECO \"");
    EXPECT_EQ(after[result.edit->caret], u'"');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TagInsertion,
    testing::Values(TagCase{"AfterLastTag", "[A \"1\"]\n[B \"2\"]\n\n1. e4 *",
                            "[A \"1\"]\n[B \"2\"]\n[ECO \"\"]\n\n1. e4 *"},
                    TagCase{"BracketInCommentIsNoTag", "[A \"1\"]\n\n1. e4 {[%clk 1:00]} *",
                            "[A \"1\"]\n[ECO \"\"]\n\n1. e4 {[%clk 1:00]} *"},
                    TagCase{"ClosingBracketInValue", "[Site \"X [Y]\"]\n[B \"é\"]\n1. e4",
                            "[Site \"X [Y]\"]\n[B \"é\"]\n[ECO \"\"]\n1. e4"},
                    TagCase{"BraceInValueThenLaterComment",
                            "[Event \"{Open\"]\n[B \"2\"]\n1. e4 {[x]} *",
                            "[Event \"{Open\"]\n[B \"2\"]\n[ECO \"\"]\n1. e4 {[x]} *"},
                    TagCase{"BraceInValueAndNoOther", "[Event \"{Open\"]\n[B \"2\"]\n1. e4 *",
                            "[Event \"{Open\"]\n[B \"2\"]\n[ECO \"\"]\n1. e4 *"},
                    TagCase{"TagAtEndOfText", "[A \"1\"]", "[A \"1\"]\n[ECO \"\"]"},
                    TagCase{"MissingBracketNoComment", "[A \"1\"\n1. e4",
                            "\r\nMissing ] in pgn\r\nError in procedure InsertTag.", true},
                    TagCase{"MissingBracketWithComment", "[A \"1\n1. e4 {x}",
                            "\r\nMissing ] in header tags.\r\nError in procedure InsertTag.", true},
                    TagCase{"NoTag", "1. e4 *",
                            "The text holds no header tag.\r\n\r\nError in procedure InsertTag.",
                            true}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace korvane
