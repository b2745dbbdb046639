#pragma once
// The tags-to-change list: the header-tag names that the next merge copies from the source
// into the edited game. It lives in ProgramState::tagsToChange; an empty list has not been
// created yet and stands for the defaults. TagsToChangeEditor is the logic of the dialog
// frmTagsToChange without its widgets.

#include <cstddef>
#include <string>
#include <vector>

namespace korvane {

// "TimeControl", "Time", "Clock", "WhiteClock", "BlackClock", "Result", in this order.
const std::vector<std::string>& DefaultTagsToChange();
// Fills the defaults into a list that does not exist yet; returns the list.
std::vector<std::string>& EnsureTagsToChange(std::vector<std::string>& list);

class TagsToChangeEditor {
public:
    static constexpr const char* kCaption = "Header Tags To Be Replaced";
    static constexpr const char* kInfo =
        "Selected header tags will be replaced in the edited pgn file when new moves are "
        "appended - provided the the tags exist in both files (source and edited pgn). The "
        "\"Result\" tag cannot be removed.";

    struct Row {
        std::string name;
        bool selected = true;
    };

    // Load: creates the list with the defaults if needed and shows every name selected.
    explicit TagsToChangeEditor(std::vector<std::string>& list);

    const std::vector<Row>& rows() const { return m_rows; }
    void setSelected(std::size_t row, bool selected) { m_rows.at(row).selected = selected; }

    // Whether a key typed into txtNewTag is kept: backspace (8) and alphanumeric characters.
    static bool acceptsKey(int keyCode);
    // A change of txtNewTag's text; it enables "Add Tag".
    void setNewTag(const std::string& text);
    const std::string& newTag() const { return m_newTag; }
    bool addEnabled() const { return m_addEnabled; }
    // lblError.
    const std::string& errorText() const { return m_error; }

    // "Add Tag": appends the name to the list at once and shows it as a selected last row.
    void addTag();
    // "OK": removes every unselected name from the list, except "Result".
    void ok();
    // "Cancel": nothing more; names already added stay in the list.
    void cancel() {}

private:
    std::vector<std::string>& m_list;
    std::vector<Row> m_rows;
    std::string m_newTag;
    std::string m_error;
    bool m_addEnabled = false;
};

}  // namespace korvane
