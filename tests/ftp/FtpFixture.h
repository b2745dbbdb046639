#pragma once
// A program with an FTP session and its uploader, wired to a fake panel, plus helpers to
// point the panel at a test server and to read what the server saw.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakePanelView.h"
#include "ftp/FtpSession.h"
#include "ftp/Inet.h"
#include "ftp/Upload.h"
#include "support/FtpServer.h"
#include "support/TestProgram.h"

namespace korvane::test {

struct FtpProgram {
    FtpProgram();
    // Fills the panel with the server's address, the test user and its password.
    void pointAt(const FtpServer& server, const std::string& scheme = "");

    TestProgram program;
    ProgramState& state = program.state;
    ScriptedOperator& ui = program.ui;
    FakePanelView view;
    Inet inet;
    FtpSession session{state, view, inet};
    FtpUploader uploader{session};
};

// The commands that show what the client did, without the transfer set-up (EPSV, TYPE,
// AUTH, PBSZ, PROT) and the password.
std::vector<std::string> Significant(const std::vector<std::string>& commands);

// Names table-driven cases after their "name" field.
struct CaseName {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& tc) const {
        return tc.param.name;
    }
};

}  // namespace korvane::test
