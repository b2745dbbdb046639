#include "support/FtpServer.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace korvane::test {

FtpServer::FtpServer(FtpServerOptions options) : m_options(options) {
    std::filesystem::create_directories(root());
    start();
}

FtpServer::~FtpServer() {
    kill();
}

void FtpServer::start() {
    const std::string ftpDir = std::string(KORVANE_SOURCE_DIR) + "/tests/support/ftp/";
    const std::string portFile = m_dir.file("port");
    std::filesystem::remove(portFile);
    const std::string log = m_dir.file("commands.log");
    std::vector<std::string> args = {"/usr/bin/python3", ftpDir + "server.py", "--dir=" + root(),
                                     "--port=" + std::to_string(m_port), "--log=" + log};
    args.insert(args.end(), {"--port-file=" + portFile, std::string("--user=") + kUser,
                             std::string("--password=") + kPassword});
    const auto option = [&](bool on, std::initializer_list<std::string> words) {
        if (on) {
            args.insert(args.end(), words);
        }
    };
    const FtpServerOptions& o = m_options;
    option(o.denyWrite, {"--deny-write"});
    option(o.exitOnStor > 0, {"--exit-on-stor", std::to_string(o.exitOnStor)});
    option(o.exitOnRnfr > 0, {"--exit-on-rnfr", std::to_string(o.exitOnRnfr)});
    option(!o.refuseRename.empty(), {"--refuse-rename", o.refuseRename});
    option(!o.storReply.empty(), {"--stor-reply", o.storReply});
    option(o.dripList, {"--drip-list"});
    option(o.tls, {"--tls", certificate(), ftpDir + "key.pem"});
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start the FTP test server");
    }
    // The server writes its port once it listens (restarts reuse the port, which may need
    // a moment to become free).
    for (int i = 0; i < 400; ++i) {
        if (int port = 0; std::ifstream(portFile) >> port && port > 0) {
            m_port = port;
            return;
        }
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            throw std::runtime_error("the FTP test server ended at start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    kill();
    throw std::runtime_error("the FTP test server did not start");
}

void FtpServer::kill() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

void FtpServer::pause() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGSTOP);
    }
}

void FtpServer::resume() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGCONT);
    }
}

void FtpServer::restart(FtpServerOptions options) {
    kill();
    m_options = options;
    start();
}

std::vector<std::string> FtpServer::commands() const {
    std::vector<std::string> lines;
    std::ifstream in(m_dir.file("commands.log"));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void FtpServer::clearCommands() {
    std::ofstream(m_dir.file("commands.log"), std::ios::trunc);
}

}  // namespace korvane::test
