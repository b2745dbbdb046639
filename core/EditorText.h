#pragma once
// The text of a file shown in the PGN editor. A PGN file is bytes in UTF-8 or in a Windows
// single-byte code page; the editor shows it decoded, with every line end as one "\n", and
// writes it back so that only what the operator changed differs: the unchanged text before
// and after the edit is written as the original bytes, the edited stretch in the file's own
// encoding with the file's own line end.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

enum class TextEncoding { Utf8, Windows1252 };

bool IsValidUtf8(std::string_view bytes);

class EditorText {
public:
    EditorText() = default;
    // UTF-8 when the bytes are valid UTF-8 (plain ASCII included), otherwise Windows-1252
    // with its five unassigned bytes read as the Latin-1 control characters.
    explicit EditorText(std::string bytes);
    // Bytes known to be in the given encoding (the text just saved from an editor).
    EditorText(std::string bytes, TextEncoding encoding);

    const std::string& bytes() const { return m_bytes; }
    // The decoded text as the editor shows it.
    const QString& display() const { return m_display; }
    TextEncoding encoding() const { return m_encoding; }
    // The line end of the file's first line ("\r\n" when it has none).
    const std::string& lineEnd() const { return m_lineEnd; }

    // The bytes of the file after the shown text was edited into edited. Characters that the
    // file's single-byte encoding cannot hold are written as "?" and counted in lost.
    std::string encode(const QString& edited, int* lost = nullptr) const;

private:
    void decode();
    std::string encodeStretch(const QString& text, int* lost) const;

    std::string m_bytes;
    QString m_display;
    TextEncoding m_encoding = TextEncoding::Utf8;
    std::string m_lineEnd = "\r\n";
    // For each display position, the byte offset where its character starts (one extra
    // entry for the end).
    std::vector<std::size_t> m_offsets;
};

}  // namespace korvane
