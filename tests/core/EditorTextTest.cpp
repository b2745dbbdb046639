// The editor's view of a file: decoded for display, written back byte for byte apart from
// the stretch the operator changed.

#include <gtest/gtest.h>

#include "core/EditorText.h"

namespace korvane {
namespace {

// Applies one edit to the shown text and returns the bytes to be saved.
std::string SaveAfter(const std::string& bytes, int pos, int removed, const QString& typed,
                      int* lost = nullptr) {
    const EditorText text(bytes);
    QString shown = text.display();
    shown.replace(pos, removed, typed);
    return text.encode(shown, lost);
}

TEST(EditorText, DecodesUtf8AndSingleByteFilesAndRejectsMalformedUtf8) {
    const EditorText utf8("[White \"M\xC3\xBCller\"]\r\n1. e4\r\n");
    EXPECT_EQ(utf8.encoding(), TextEncoding::Utf8);
    EXPECT_EQ(utf8.display(), QString::fromUtf8("[White \"Müller\"]\n1. e4\n"));
    EXPECT_EQ(utf8.lineEnd(), "\r\n");

    // 0xFC is no UTF-8: the file is Windows-1252; 0x80 is the euro sign there, 0x81 is
    // unassigned and kept as the control character of that number.
    const EditorText latin("[White \"M\xFCller\"]\n\x80\x81\n");
    EXPECT_EQ(latin.encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(latin.display(), QString::fromUtf8("[White \"Müller\"]\n€") + QChar(0x81) + "\n");
    EXPECT_EQ(latin.lineEnd(), "\n");

    EXPECT_TRUE(IsValidUtf8("plain \xE2\x82\xAC \xF0\x9F\x98\x80"));
    // Overlong "/", a surrogate, a sequence cut short, beyond Unicode.
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "cut \xE2\x82", "\xF4\x90\x80\x80"}) {
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    }
}

TEST(EditorText, OnlyTheTypedStretchChanges) {
    // Mixed line ends, a lone CR and bytes of both encodings survive a save without edits.
    for (const std::string bytes :
         {"a\r\nb\nc\rd\r\n\r\n", "caf\xE9\r\n\xA0\x9D\r\n", "\xF0\x9F\x98\x80 x\r\n", ""}) {
        EXPECT_EQ(SaveAfter(bytes, 0, 0, ""), bytes);
    }
    // Latin-1 file with LF line ends: the typed "é" becomes one byte, nothing else moves.
    EXPECT_EQ(SaveAfter("Caf\n1. e4 {x} e5\r\n\xE9t\xE9\n", 12, 0, QString::fromUtf8("é")),
              "Caf\n1. e4 {x\xE9} e5\r\n\xE9t\xE9\n");
    // UTF-8 with CR LF: a typed line break takes the file's own line end.
    EXPECT_EQ(SaveAfter("\xC3\xBC\r\n1. e4\r\n", 7, 0, QString::fromUtf8("\n{ü}")),
              "\xC3\xBC\r\n1. e4\r\n{\xC3\xBC}\r\n");
    // Deleting a line end removes both of its bytes.
    EXPECT_EQ(SaveAfter("a\r\nb\nc", 1, 1, ""), "ab\nc");
    // Replacing a character beyond the basic plane removes all four of its bytes.
    EXPECT_EQ(SaveAfter("x\xF0\x9F\x98\x80y", 1, 2, "z"), "xzy");
    // Characters a single-byte file cannot hold are counted.
    int lost = 0;
    EXPECT_EQ(SaveAfter("\xE9\n", 1, 0, QString::fromUtf8("€Ω"), &lost), "\xE9\x80?\n");
    EXPECT_EQ(lost, 1);
}

}  // namespace
}  // namespace korvane
