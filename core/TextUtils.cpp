#include "core/TextUtils.h"

#include <QString>
#include <QStringDecoder>
#include <cmath>

namespace korvane {

bool dhIsCharAlphanumeric(unsigned char c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
        return true;
    }
    if (c >= 0xC0) {
        // Latin-1 letters, and UTF-8 lead bytes; the two Latin-1 signs are not letters.
        return c != 0xD7 && c != 0xF7;
    }
    // 0x80-0xBF: UTF-8 continuation bytes belong to a letter of a multi-byte sequence.
    return c >= 0x80;
}

static bool isKept(unsigned char c, std::string_view keep) {
    if (dhIsCharAlphanumeric(c)) {
        return true;
    }
    for (char k : keep) {
        if (std::tolower(static_cast<unsigned char>(k)) == std::tolower(c)) {
            return true;
        }
    }
    return false;
}

std::string StripChar(std::string_view text, std::string_view keep) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && !isKept(static_cast<unsigned char>(text[first]), keep)) {
        ++first;
    }
    while (last > first && !isKept(static_cast<unsigned char>(text[last - 1]), keep)) {
        --last;
    }
    return std::string(text.substr(first, last - first));
}

static bool isAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

static bool isUtf8(std::string_view s) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    static_cast<void>(QString(decoder(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())))));
    return !decoder.hasError();
}

// Letter case of one byte of a single-byte (Latin-1) text: ASCII and Latin-1 capitals.
static unsigned char foldLatin1(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<unsigned char>(c + 0x20);
    }
    return c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(a[i])) !=
                std::tolower(static_cast<unsigned char>(b[i]))) {
                return false;
            }
        }
        return true;
    }
    if (!isUtf8(a) || !isUtf8(b)) {
        // A name in a single-byte encoding: decoding it as UTF-8 would turn every accented
        // letter into the same replacement character and make different names equal.
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (foldLatin1(static_cast<unsigned char>(a[i])) !=
                foldLatin1(static_cast<unsigned char>(b[i]))) {
                return false;
            }
        }
        return true;
    }
    const QString qa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    const QString qb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    return qa.compare(qb, Qt::CaseInsensitive) == 0;
}

std::string ToLower(std::string_view text) {
    if (isAscii(text)) {
        std::string out(text);
        for (char& c : out) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return out;
    }
    if (!isUtf8(text)) {
        // Single-byte text stays single-byte: only its capitals change.
        std::string out(text);
        for (char& c : out) {
            c = static_cast<char>(foldLatin1(static_cast<unsigned char>(c)));
        }
        return out;
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .toLower()
        .toStdString();
}

bool IsNumericText(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    bool digit = false;
    bool mark = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if ((c == '.' || c == ',') && !mark) {
            mark = true;
        } else {
            return false;
        }
    }
    return digit;
}

long LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    const std::size_t numberStart = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    const std::size_t digitsStart = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
        }
    }
    if (i == digitsStart || (i == digitsStart + 1 && text[digitsStart] == '.')) {
        return 0;
    }
    const double value =
        std::strtod(std::string(text.substr(numberStart, i - numberStart)).c_str(), nullptr);
    // The default rounding mode rounds halves to the even neighbour.
    const double rounded = std::nearbyint(value);
    if (rounded > 2147483647.0 || rounded < -2147483648.0) {
        return 0;
    }
    return static_cast<long>(rounded);
}

}  // namespace korvane
