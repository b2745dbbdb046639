#pragma once
// The FTP panel as plain values, for the session's tests.

#include <map>
#include <string>
#include <vector>

#include "ftp/FtpPanelView.h"

namespace korvane::test {

class FakePanelView : public FtpPanelView {
public:
    std::string text(FtpField field) const override {
        auto it = texts.find(field);
        return it == texts.end() ? std::string() : it->second;
    }
    void setText(FtpField field, const std::string& value) override { texts[field] = value; }
    void setFieldEnabled(FtpField field, bool enabled) override { fieldEnabled[field] = enabled; }
    void setFieldBackColour(FtpField field, std::uint32_t colour) override {
        backColour[field] = colour;
    }
    bool isEnabled(FtpButton button) const override {
        auto it = buttons.find(button);
        return it != buttons.end() && it->second;
    }
    void setEnabled(FtpButton button, bool enabled) override { buttons[button] = enabled; }
    void setChecked(FtpCheck box, bool checked) override { checks[box] = checked; }
    void setCurDirText(const std::string& value) override { curDir = value; }
    void setRemoteFiles(const std::vector<std::string>& lines) override { remoteFiles = lines; }
    bool panelVisible() const override { return visible; }
    void setTransferIndicatorVisible(int which, bool shown) override {
        (which == 1 ? indicator1 : indicator2) = shown;
        if (shown) {
            ++indicatorShows;
        }
    }
    void setRemoveButtonCaption(const std::string& caption) override { removeCaption = caption; }
    void stopCountdownIfRunning() override { ++countdownStops; }

    std::map<FtpField, std::string> texts;
    std::map<FtpField, bool> fieldEnabled;
    std::map<FtpField, std::uint32_t> backColour;
    std::map<FtpButton, bool> buttons;
    std::map<FtpCheck, bool> checks;
    std::string curDir;
    std::vector<std::string> remoteFiles;
    bool visible = true;
    bool indicator1 = false;
    bool indicator2 = false;
    int indicatorShows = 0;
    std::string removeCaption = "Remove";
    int countdownStops = 0;
};

}  // namespace korvane::test
