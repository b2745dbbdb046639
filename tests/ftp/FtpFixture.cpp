#include "FtpFixture.h"

namespace korvane::test {

FtpProgram::FtpProgram() {
    state.settings.lpubTimeOut = 10;
    state.settings.spubPathHtml = program.dir.path() + "/html/";
    session.LoadPanel();
}

void FtpProgram::pointAt(const FtpServer& server, const std::string& scheme) {
    view.setText(FtpField::txtURL, scheme + "127.0.0.1");
    view.setText(FtpField::txtPort, std::to_string(server.port()));
    view.setText(FtpField::txtUserName, FtpServer::kUser);
    view.setText(FtpField::txtPassword, FtpServer::kPassword);
    if (server.port() == 0) {
        view.setText(FtpField::txtPort, "");
    }
}

std::vector<std::string> Significant(const std::vector<std::string>& commands) {
    std::vector<std::string> out;
    for (const auto& c : commands) {
        const std::string verb = c.substr(0, c.find(' '));
        if (verb != "EPSV" && verb != "PASV" && verb != "TYPE" && verb != "AUTH" &&
            verb != "PBSZ" && verb != "PROT" && verb != "PASS") {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace korvane::test
