#include "support/ScriptedOperator.h"

#include <gtest/gtest.h>

namespace korvane::test {

Answer ScriptedOperator::messageBox(const std::string& text, const std::string& title,
                                    Buttons buttons, Icon icon) {
    boxes.push_back({text, title, buttons, icon});
    if (!m_answers.empty()) {
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    if (!m_okByDefault) {
        ADD_FAILURE() << "Unscripted message box \"" << title << "\": " << text;
    }
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::No : Answer::Ok;
}

}  // namespace korvane::test
