#pragma once
// Texts between the core (bytes, UTF-8 paths and names, CR LF line ends) and the widgets.

#include <QString>
#include <string>

namespace korvane {

inline QString toQ(const std::string& text) {
    return QString::fromStdString(text);
}

inline std::string fromQ(const QString& text) {
    return text.toStdString();
}

// A text for display: CR LF line ends become the widgets' line feeds.
inline QString displayText(const std::string& text) {
    return toQ(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace korvane
