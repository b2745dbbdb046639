#include "pgn/TagsToChange.h"

#include <algorithm>

#include "core/TextUtils.h"

namespace korvane {

const std::vector<std::string>& DefaultTagsToChange() {
    static const std::vector<std::string> defaults = {"TimeControl", "Time",       "Clock",
                                                      "WhiteClock",  "BlackClock", "Result"};
    return defaults;
}

std::vector<std::string>& EnsureTagsToChange(std::vector<std::string>& list) {
    if (list.empty()) {
        list = DefaultTagsToChange();
    }
    return list;
}

TagsToChangeEditor::TagsToChangeEditor(std::vector<std::string>& list) : m_list(list) {
    for (const std::string& name : EnsureTagsToChange(m_list)) {
        m_rows.push_back({name, true});
    }
}

bool TagsToChangeEditor::acceptsKey(int keyCode) {
    return keyCode == 8 || (keyCode >= 0 && keyCode <= 255 &&
                            dhIsCharAlphanumeric(static_cast<unsigned char>(keyCode)));
}

void TagsToChangeEditor::setNewTag(const std::string& text) {
    m_newTag = text;
    m_addEnabled = true;
}

void TagsToChangeEditor::addTag() {
    if (m_newTag.empty()) {
        m_addEnabled = false;
        return;
    }
    const bool listed = std::any_of(m_list.begin(), m_list.end(), [&](const std::string& name) {
        return EqualsNoCase(name, m_newTag);
    });
    if (listed) {
        m_error = m_newTag + " is already on the list.";
        m_addEnabled = false;
        return;
    }
    m_list.push_back(m_newTag);
    m_rows.push_back({m_newTag, true});
}

void TagsToChangeEditor::ok() {
    for (std::size_t i = m_rows.size(); i-- > 0;) {
        const Row& row = m_rows[i];
        if (row.selected || EqualsNoCase(row.name, "Result")) {
            continue;
        }
        const auto at = std::find_if(m_list.begin(), m_list.end(), [&](const std::string& name) {
            return EqualsNoCase(name, row.name);
        });
        if (at != m_list.end()) {
            m_list.erase(at);
        }
    }
}

}  // namespace korvane
