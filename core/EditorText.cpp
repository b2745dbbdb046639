#include "core/EditorText.h"

#include <algorithm>
#include <array>

namespace korvane {

namespace {

// Windows-1252 for the bytes 0x80 to 0x9F; 0 marks the five bytes the code page leaves
// unassigned, which are read as the Latin-1 control character of the same number.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F && kCp1252High[byte - 0x80] != 0) {
        return kCp1252High[byte - 0x80];
    }
    return byte;
}

// The byte for a character, or -1 when Windows-1252 has none.
int UnicodeToCp1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return c;
    }
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == c || (kCp1252High[i] == 0 && c == 0x80 + i)) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// Length of the UTF-8 sequence that starts with byte, 0 for a byte that starts none.
int SequenceLength(unsigned char byte) {
    if (byte < 0x80) {
        return 1;
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        return 2;
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return 3;
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return 4;
    }
    return 0;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const int n = SequenceLength(static_cast<unsigned char>(bytes[i]));
        if (n == 0 || i + n > bytes.size()) {
            return false;
        }
        char32_t cp = n == 1 ? bytes[i] : (static_cast<unsigned char>(bytes[i]) & (0x7F >> n));
        for (int k = 1; k < n; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if ((b & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond Unicode are not UTF-8.
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[n] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            return false;
        }
        i += n;
    }
    return true;
}

EditorText::EditorText(std::string bytes) : m_bytes(std::move(bytes)) {
    m_encoding = IsValidUtf8(m_bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    decode();
}

EditorText::EditorText(std::string bytes, TextEncoding encoding)
    : m_bytes(std::move(bytes)), m_encoding(encoding) {
    if (m_encoding == TextEncoding::Utf8 && !IsValidUtf8(m_bytes)) {
        m_encoding = TextEncoding::Windows1252;
    }
    decode();
}

void EditorText::decode() {
    const std::size_t firstBreak = m_bytes.find_first_of("\r\n");
    if (firstBreak != std::string::npos) {
        const bool crlf = m_bytes.compare(firstBreak, 2, "\r\n") == 0;
        m_lineEnd = crlf ? "\r\n" : m_bytes.substr(firstBreak, 1);
    }
    m_display.reserve(static_cast<qsizetype>(m_bytes.size()));
    for (std::size_t i = 0; i < m_bytes.size();) {
        const auto byte = static_cast<unsigned char>(m_bytes[i]);
        m_offsets.push_back(i);
        if (byte == '\r' || byte == '\n') {
            m_display.append(QChar(u'\n'));
            i += m_bytes.compare(i, 2, "\r\n") == 0 ? 2 : 1;
        } else if (m_encoding == TextEncoding::Windows1252) {
            m_display.append(QChar(Cp1252ToUnicode(byte)));
            ++i;
        } else {
            const int n = SequenceLength(byte);
            const QString piece = QString::fromUtf8(m_bytes.data() + i, n);
            m_display.append(piece);
            // A character beyond the basic plane takes two display positions.
            for (qsizetype k = 1; k < piece.size(); ++k) {
                m_offsets.push_back(i);
            }
            i += n;
        }
    }
    m_offsets.push_back(m_bytes.size());
}

std::string EditorText::encodeStretch(const QString& text, int* lost) const {
    std::string out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n') {
            out += m_lineEnd;
        } else if (m_encoding == TextEncoding::Utf8) {
            const bool pair = c.isHighSurrogate() && i + 1 < text.size();
            out += text.mid(i, pair ? 2 : 1).toStdString();
            i += pair ? 1 : 0;
        } else {
            const int byte = UnicodeToCp1252(c.unicode());
            out += byte >= 0 ? static_cast<char>(byte) : '?';
            if (byte < 0 && lost != nullptr) {
                ++*lost;
            }
            i += c.isHighSurrogate() && i + 1 < text.size() ? 1 : 0;
        }
    }
    return out;
}

std::string EditorText::encode(const QString& edited, int* lost) const {
    if (lost != nullptr) {
        *lost = 0;
    }
    const qsizetype shorter = std::min(m_display.size(), edited.size());
    qsizetype prefix = 0;
    while (prefix < shorter && m_display[prefix] == edited[prefix]) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           m_display[m_display.size() - 1 - suffix] == edited[edited.size() - 1 - suffix]) {
        ++suffix;
    }
    // Never split a character that takes two display positions.
    if (prefix > 0 && m_display[prefix - 1].isHighSurrogate()) {
        --prefix;
    }
    if (suffix > 0 && m_display[m_display.size() - suffix].isLowSurrogate()) {
        --suffix;
    }
    const std::size_t head = m_offsets[prefix];
    const std::size_t tail = m_offsets[m_display.size() - suffix];
    return m_bytes.substr(0, head) +
           encodeStretch(edited.mid(prefix, edited.size() - prefix - suffix), lost) +
           m_bytes.substr(tail);
}

}  // namespace korvane
