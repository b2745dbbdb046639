#include "support/FtpServer.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace korvane::test {

namespace fs = std::filesystem;

namespace {

const char* const kPython = "/usr/bin/python3";

std::string script() {
    return std::string(KORVANE_SOURCE_DIR) + "/tests/support/ftp/server.py";
}

int run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    // The tool's chatter goes nowhere.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (rc != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

FtpServer::FtpServer(FtpServerOptions options) : m_options(options) {
    fs::create_directories(root());
    if (options.tls) {
        makeCertificate();
    }
    start();
}

FtpServer::~FtpServer() {
    kill();
}

// A self-signed certificate for 127.0.0.1, made with the openssl tool, or with python's
// OpenSSL module where the tool is missing.
void FtpServer::makeCertificate() {
    const std::string key = m_dir.path() + "/key.pem";
    int rc = -1;
    if (fs::exists("/usr/bin/openssl")) {
        rc = run({"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                  key, "-out", certificate(), "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                  "subjectAltName=IP:127.0.0.1"});
    }
    if (rc != 0) {
        const std::string code =
            "import sys\n"
            "from OpenSSL import crypto\n"
            "k = crypto.PKey(); k.generate_key(crypto.TYPE_RSA, 2048)\n"
            "c = crypto.X509(); c.get_subject().CN = '127.0.0.1'; c.set_serial_number(1)\n"
            "c.gmtime_adj_notBefore(-60); c.gmtime_adj_notAfter(2 * 86400)\n"
            "c.set_issuer(c.get_subject()); c.set_pubkey(k)\n"
            "c.add_extensions([crypto.X509Extension(b'subjectAltName', False, b'IP:127.0.0.1'),\n"
            "                  crypto.X509Extension(b'basicConstraints', True, b'CA:TRUE')])\n"
            "c.sign(k, 'sha256')\n"
            "open(sys.argv[1], 'wb').write(crypto.dump_certificate(crypto.FILETYPE_PEM, c))\n"
            "open(sys.argv[2], 'wb').write(crypto.dump_privatekey(crypto.FILETYPE_PEM, k))\n";
        rc = run({kPython, "-c", code, certificate(), key});
    }
    if (rc != 0) {
        throw std::runtime_error("cannot make a test certificate");
    }
}

void FtpServer::start() {
    const std::string portFile = m_dir.path() + "/port";
    fs::remove(portFile);
    std::vector<std::string> args = {kPython,       script(),
                                     "--dir",       root(),
                                     "--port",      std::to_string(m_port),
                                     "--port-file", portFile,
                                     "--log",       m_dir.path() + "/commands.log",
                                     "--user",      kUser,
                                     "--password",  kPassword};
    if (m_options.denyWrite) {
        args.push_back("--deny-write");
    }
    if (m_options.refuseRenameExisting) {
        args.push_back("--refuse-rename-existing");
    }
    if (m_options.exitOnStor > 0) {
        args.push_back("--exit-on-stor");
        args.push_back(std::to_string(m_options.exitOnStor));
    }
    if (m_options.tls) {
        args.insert(args.end(), {"--tls", certificate(), m_dir.path() + "/key.pem"});
    }
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, kPython, nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start the FTP test server");
    }
    // The server writes its port once it listens (restarts reuse the port, which may need
    // a moment to become free).
    for (int i = 0; i < 400; ++i) {
        std::ifstream in(portFile);
        int port = 0;
        if (in >> port && port > 0) {
            m_port = port;
            return;
        }
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
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

void FtpServer::restart(FtpServerOptions options) {
    kill();
    m_options = options;
    start();
}

std::vector<std::string> FtpServer::commands() const {
    std::vector<std::string> lines;
    std::ifstream in(m_dir.path() + "/commands.log");
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void FtpServer::clearCommands() {
    std::ofstream(m_dir.path() + "/commands.log", std::ios::trunc);
}

}  // namespace korvane::test
