#pragma once
// The FTP panel of the monitor window as the session sees it: its text boxes, labels,
// remote list, buttons, check boxes and transfer indicators. The Qt layer implements it
// with widgets whose object names are the names below; tests use a plain double.
// Setting a value from here never calls back into the session's change handlers.

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

enum class FtpField { txtURL, txtUserName, txtPassword, txtPort, txtHtmDir, txtPgnDir };
enum class FtpButton { cmdConnect, cmdQuit, cmdGotoHtmDir, cmdGoToPgnDir, cmdCdup };
enum class FtpCheck { chkPgnUpload, chkSaveLogOn, chkDisConnect, chkLowerCase };

// Background colours of a text box, as the system's colour values.
constexpr std::uint32_t kColourWhite = 0xFFFFFF;
constexpr std::uint32_t kColourButtonFace = 0x8000000F;

class FtpPanelView {
public:
    virtual ~FtpPanelView() = default;

    virtual std::string text(FtpField field) const = 0;
    virtual void setText(FtpField field, const std::string& text) = 0;
    virtual void setFieldEnabled(FtpField field, bool enabled) = 0;
    virtual void setFieldBackColour(FtpField field, std::uint32_t colour) = 0;

    virtual bool isEnabled(FtpButton button) const = 0;
    virtual void setEnabled(FtpButton button, bool enabled) = 0;
    virtual void setChecked(FtpCheck box, bool checked) = 0;

    // lblCurDirText
    virtual void setCurDirText(const std::string& text) = 0;
    // lstRemoteFiles: replaces every entry
    virtual void setRemoteFiles(const std::vector<std::string>& lines) = 0;

    // Whether the FTP panel (frFTP) is visible: imgTransfer1 lies inside it, imgTransfer2
    // outside.
    virtual bool panelVisible() const = 0;
    virtual void setTransferIndicatorVisible(int which, bool visible) = 0;

    // The monitor list's cmdRemovePgn caption ("Remove", later "Substitute").
    virtual void setRemoveButtonCaption(const std::string& caption) = 0;
    // Stops the monitor window's countdown when it is running.
    virtual void stopCountdownIfRunning() = 0;
};

// The object names of the controls, for the Qt layer and for messages.
const char* ObjectName(FtpField field);
const char* ObjectName(FtpButton button);
const char* ObjectName(FtpCheck box);

}  // namespace korvane
