#include "vistrel/DelayNote.h"

#include <cctype>

namespace vistrel {

namespace {

constexpr int kLongestDelay = 24 * 60;

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// " 15 " gives 15; anything but blanks around one whole number gives 0.
int minutesIn(const std::string& rest) {
    int minutes = 0;
    bool digits = false;
    bool ended = false;
    for (const char c : rest) {
        if (std::isdigit(static_cast<unsigned char>(c)) && !ended) {
            digits = true;
            minutes = minutes * 10 + (c - '0');
            if (minutes > kLongestDelay) {
                return 0;
            }
        } else if (c == ' ' || c == '\t' || c == '\r') {
            ended = digits;
        } else {
            return 0;
        }
    }
    return minutes;
}

}  // namespace

int delayMinutes(const std::vector<std::string>& escapeLines) {
    static const std::string prefix = "vis3 delay,";
    int minutes = 0;
    for (const auto& line : escapeLines) {
        if (startsWithNoCase(line, prefix)) {
            minutes = minutesIn(line.substr(prefix.size()));
        }
    }
    return minutes;
}

void appendDelayNote(std::string& out, int minutes) {
    if (minutes <= 0) {
        return;
    }
    out += "<p class=\"delay-note\">moves delayed by " + std::to_string(minutes) +
           (minutes == 1 ? " minute" : " minutes") + "</p>\n";
}

}  // namespace vistrel
