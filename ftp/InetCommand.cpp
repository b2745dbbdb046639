#include "ftp/InetCommand.h"

#include <vector>

#include "core/TextUtils.h"

namespace korvane {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Splits the argument text into words; a word in double quotes may hold blanks and doubled
// quotes. Returns nothing for an unterminated quote or a quote glued to other text.
std::optional<std::vector<std::string>> splitWords(std::string_view s) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < s.size() && isBlank(s[i])) {
            ++i;
        }
        if (i == s.size()) {
            return words;
        }
        std::string word;
        if (s[i] == '"') {
            ++i;
            while (true) {
                if (i == s.size()) {
                    return std::nullopt;
                }
                if (s[i] == '"') {
                    if (i + 1 < s.size() && s[i + 1] == '"') {
                        word += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                word += s[i++];
            }
            if (i < s.size() && !isBlank(s[i])) {
                return std::nullopt;
            }
        } else {
            while (i < s.size() && !isBlank(s[i])) {
                word += s[i++];
            }
        }
        words.push_back(std::move(word));
    }
}

// Two arguments. Unquoted text with more words is taken apart at its last blank when
// allowed (a local path with blanks written without quotes), otherwise refused.
std::optional<std::pair<std::string, std::string>> twoArgs(std::string_view rest,
                                                           bool splitAtLastBlank) {
    auto words = splitWords(rest);
    if (words && words->size() == 2) {
        return std::make_pair((*words)[0], (*words)[1]);
    }
    if (!splitAtLastBlank || rest.find('"') != rest.npos) {
        return std::nullopt;
    }
    const std::size_t blank = rest.find_last_of(" \t");
    if (blank == rest.npos) {
        return std::nullopt;
    }
    return std::make_pair(std::string(trim(rest.substr(0, blank))),
                          std::string(rest.substr(blank + 1)));
}

}  // namespace

bool HasLineBreak(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos;
}

std::optional<InetCommand> ParseInetCommand(std::string_view text) {
    text = trim(text);
    if (HasLineBreak(text)) {
        return std::nullopt;
    }
    std::size_t verbEnd = 0;
    while (verbEnd < text.size() && !isBlank(text[verbEnd])) {
        ++verbEnd;
    }
    const std::string verb = ToLower(text.substr(0, verbEnd));
    const std::string_view rest = trim(text.substr(verbEnd));

    InetCommand cmd;
    if (verb == "cdup" || verb == "pwd" || verb == "dir" || verb == "quit") {
        if (!rest.empty()) {
            return std::nullopt;
        }
        cmd.verb = verb == "cdup"  ? InetVerb::Cdup
                   : verb == "pwd" ? InetVerb::Pwd
                   : verb == "dir" ? InetVerb::Dir
                                   : InetVerb::Quit;
        return cmd;
    }
    if (verb == "delete") {
        auto words = splitWords(rest);
        if (!words || words->size() != 1 || words->front().empty()) {
            return std::nullopt;
        }
        cmd.verb = InetVerb::Delete;
        cmd.arg1 = words->front();
        return cmd;
    }
    if (verb == "cd") {
        // The whole rest is the directory, so blanks need no quotes; a leading quote
        // marks a quoted directory.
        cmd.verb = InetVerb::Cd;
        if (!rest.empty() && rest.front() == '"') {
            auto words = splitWords(rest);
            if (!words || words->size() != 1) {
                return std::nullopt;
            }
            cmd.arg1 = words->front();
        } else {
            cmd.arg1 = std::string(rest);
        }
        return cmd.arg1.empty() ? std::nullopt : std::optional(cmd);
    }
    if (verb == "put" || verb == "rename") {
        cmd.verb = verb == "put" ? InetVerb::Put : InetVerb::Rename;
        auto args = twoArgs(rest, cmd.verb == InetVerb::Put);
        if (!args || args->first.empty() || args->second.empty()) {
            return std::nullopt;
        }
        cmd.arg1 = std::move(args->first);
        cmd.arg2 = std::move(args->second);
        return cmd;
    }
    return std::nullopt;
}

std::string QuoteInetArg(std::string_view arg) {
    const bool plain =
        !arg.empty() && arg.front() != '"' && arg.find_first_of(" \t") == std::string_view::npos;
    if (plain) {
        return std::string(arg);
    }
    std::string out = "\"";
    for (char c : arg) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

}  // namespace korvane
