#include "pgn/TagReplacement.h"

#include <exception>

#include "core/TextUtils.h"

namespace korvane {

using namespace pgntext;

namespace {

bool IsWordChar(char c) {
    return dhIsCharAlphanumeric(static_cast<unsigned char>(c));
}

std::vector<std::string_view> TagTexts(std::string_view text, const TagSpans& tags) {
    std::vector<std::string_view> texts;
    for (std::size_t i = 0; i < tags.start.size(); ++i) {
        texts.push_back(Mid(text, tags.start[i], tags.end[i]));
    }
    return texts;
}

// Whether the text between two tags holds move text: anything above blank outside lines
// of a ";" comment or a "%" escape, which may stand between the tags of one header.
bool HoldsMoveText(std::string_view between) {
    bool lineStart = true;
    for (std::size_t i = 0; i < between.size(); ++i) {
        const char c = between[i];
        if (c == ';' || (c == '%' && lineStart)) {
            i = between.find('\n', i);
            if (i == std::string_view::npos) {
                return false;
            }
            lineStart = true;
        } else if (AboveBlank(c)) {
            return true;
        } else {
            lineStart = c == '\n' || (c == '\r' && lineStart);
        }
    }
    return false;
}

// Index of the first tag of the last game's header. An edited file holding a finished game
// before the live one has that game's tags in the list too, with its moves between them;
// those tags are the live game's no more than its moves are.
std::size_t FirstTagOfLastGame(std::string_view text, const TagSpans& tags) {
    std::size_t first = tags.start.size() - 1;
    while (first > 0 && !HoldsMoveText(Mid(text, tags.end[first - 1] + 1, tags.start[first] - 1))) {
        --first;
    }
    return first;
}

}  // namespace

bool HoldsTagName(std::string_view tag, std::string_view name) {
    if (name.empty()) {
        return false;
    }
    // The name part runs from after "[" (and any blanks) to the first blank, quote or "]".
    long nameStart = 2;
    while (nameStart <= Length(tag) && !AboveBlank(At(tag, nameStart))) {
        ++nameStart;
    }
    long nameEnd = nameStart;
    while (nameEnd <= Length(tag) && AboveBlank(At(tag, nameEnd)) && At(tag, nameEnd) != '"' &&
           At(tag, nameEnd) != ']') {
        ++nameEnd;
    }
    for (long at = InStr(tag, name, nameStart); at > 0 && at + Length(name) <= nameEnd;
         at = InStr(tag, name, at + 1)) {
        if (!IsWordChar(At(tag, at - 1)) && !IsWordChar(At(tag, at + Length(name)))) {
            return true;
        }
    }
    return false;
}

PgnError ReplaceHeaderTags(std::string& edited, std::string_view source, const TagSpans& editedTags,
                           const TagSpans& sourceTags, const std::vector<std::string>& names) {
    try {
        if (editedTags.start.empty()) {
            return std::nullopt;
        }
        // Only the last game's header is refreshed and rebuilt; the text before it (an
        // earlier game with its moves) stays as it is.
        const std::size_t firstTag = FirstTagOfLastGame(edited, editedTags);
        std::vector<std::string> tags;
        for (std::size_t i = firstTag; i < editedTags.start.size(); ++i) {
            tags.emplace_back(Mid(edited, editedTags.start[i], editedTags.end[i]));
        }
        const std::vector<std::string_view> sourceTexts = TagTexts(source, sourceTags);
        bool anyReplaced = false;
        for (const std::string& name : names) {
            for (std::string& tag : tags) {
                if (!HoldsTagName(tag, name)) {
                    continue;
                }
                bool replaced = false;
                for (std::string_view sourceTag : sourceTexts) {
                    if (HoldsTagName(sourceTag, name)) {
                        tag = sourceTag;
                        replaced = true;
                    }
                }
                if (replaced) {
                    anyReplaced = true;
                    break;
                }
            }
        }
        if (!anyReplaced) {
            return std::nullopt;
        }
        std::string rebuilt =
            firstTag == 0 ? std::string() : edited.substr(0, editedTags.start[firstTag] - 1);
        for (std::size_t i = 0; i < tags.size(); ++i) {
            rebuilt += (i == 0 ? "" : "\r\n") + tags[i];
        }
        rebuilt.append(edited, static_cast<std::size_t>(editedTags.lastTag));
        edited = std::move(rebuilt);
        return std::nullopt;
    } catch (const std::exception&) {
        return std::string();
    }
}

}  // namespace korvane
