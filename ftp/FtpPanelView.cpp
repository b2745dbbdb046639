#include "ftp/FtpPanelView.h"

namespace korvane {

const char* ObjectName(FtpField field) {
    switch (field) {
        case FtpField::txtURL:
            return "txtURL";
        case FtpField::txtUserName:
            return "txtUserName";
        case FtpField::txtPassword:
            return "txtPassword";
        case FtpField::txtPort:
            return "txtPort";
        case FtpField::txtHtmDir:
            return "txtHtmDir";
        case FtpField::txtPgnDir:
            return "txtPgnDir";
    }
    return "";
}

const char* ObjectName(FtpButton button) {
    switch (button) {
        case FtpButton::cmdConnect:
            return "cmdConnect";
        case FtpButton::cmdQuit:
            return "cmdQuit";
        case FtpButton::cmdGotoHtmDir:
            return "cmdGotoHtmDir";
        case FtpButton::cmdGoToPgnDir:
            return "cmdGoToPgnDir";
        case FtpButton::cmdCdup:
            return "cmdCdup";
    }
    return "";
}

const char* ObjectName(FtpCheck box) {
    switch (box) {
        case FtpCheck::chkPgnUpload:
            return "chkPgnUpload";
        case FtpCheck::chkSaveLogOn:
            return "chkSaveLogOn";
        case FtpCheck::chkDisConnect:
            return "chkDisConnect";
        case FtpCheck::chkLowerCase:
            return "chkLowerCase";
    }
    return "";
}

}  // namespace korvane
