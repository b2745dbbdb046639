#pragma once
// A test double for the open-file dialog: answers with the selections a test queued, in
// order, and fails the test on a dialog nobody scripted.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pipeline/FileDialog.h"

namespace korvane::test {

class ScriptedFileDialog : public FileDialog {
public:
    std::optional<FileSelection> open(const std::string& title, const std::string&,
                                      const std::string&, bool multi) override {
        titles.push_back(title);
        multiSelect = multi;
        if (answers.empty()) {
            ADD_FAILURE() << "Unscripted file dialog " << title;
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void choose(const std::string& dir, std::vector<std::string> names) {
        answers.push_back(FileSelection{dir, std::move(names)});
    }

    std::deque<std::optional<FileSelection>> answers;
    std::vector<std::string> titles;  // of every dialog shown
    bool multiSelect = false;         // as asked by the last call
};

}  // namespace korvane::test
