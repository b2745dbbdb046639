#pragma once
// A real FTP server on 127.0.0.1 for the tests: Debian's python3 with pyftpdlib, serving a
// fresh temporary directory on a free port, started by the constructor and stopped by the
// destructor. It logs every command it receives (the password masked) so tests can compare
// the exact sequence a client sent. Options inject faults.

#include <string>
#include <vector>

#include <sys/types.h>

#include "support/TempDir.h"

namespace korvane::test {

struct FtpServerOptions {
    bool denyWrite = false;      // STOR answers 550
    int exitOnStor = 0;          // the server process dies on receiving the n-th STOR
    int exitOnRnfr = 0;          // ... on receiving the n-th RNFR (a file stored, not renamed)
    std::string refuseRename{};  // every RNTO gets this reply ("550 Permission denied.")
    std::string storReply{};     // the reply after each STOR's data (a full disk: 452 ...)
    bool dripList = false;       // LIST drips one byte every half second, for ever
    bool tls = false;            // explicit TLS with a self-signed certificate
};

class FtpServer {
public:
    static constexpr const char* kUser = "korvane";
    static constexpr const char* kPassword = "s3cret-pw";

    explicit FtpServer(FtpServerOptions options = {});
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    int port() const { return m_port; }
    // The served directory (the client's "/").
    std::string root() const { return m_dir.path() + "/root"; }
    // The self-signed certificate for 127.0.0.1 (valid 2000-2100) presented when tls is on.
    static std::string certificate() {
        return std::string(KORVANE_SOURCE_DIR) + "/tests/support/ftp/cert.pem";
    }

    // The commands received so far, one per line, in order.
    std::vector<std::string> commands() const;
    void clearCommands();

    // Kills the server at once (SIGKILL), as a crash would.
    void kill();
    // Starts it again on the same port and directory.
    void restart(FtpServerOptions options);
    // Freezes the server (SIGSTOP) with its sockets open, as a network outage looks to a
    // client: nothing is refused, nothing is answered. resume() lets it go on.
    void pause();
    void resume();

private:
    void start();

    TempDir m_dir;
    FtpServerOptions m_options;
    int m_port = 0;
    pid_t m_pid = -1;
};

}  // namespace korvane::test
