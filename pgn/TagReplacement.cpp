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
        std::vector<std::string> tags;
        for (std::string_view tag : TagTexts(edited, editedTags)) {
            tags.emplace_back(tag);
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
        std::string rebuilt;
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
