#pragma once
// One FTP (or FTPS) control connection driven through libcurl, kept from request to
// request. It runs one parsed command at a time on the calling thread (the transfer
// component's worker) and reports progress states through a callback.
//
// The remote current directory is kept here, as an absolute path, and every request is
// sent with an absolute URL: libcurl then changes into that directory itself, also on a
// fresh connection after a drop, so a file never lands in the login directory by mistake.

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "ftp/InetCommand.h"

typedef void CURL;
typedef void CURLM;

namespace korvane {

// Where and as whom to connect.
struct FtpEndpoint {
    std::string host;  // host name or address, without scheme and port
    long port = 21;
    bool tls = false;  // explicit TLS (AUTH TLS) on the control and data connections
    std::string user;
    std::string password;
    std::string caFile;  // extra trusted certificates; empty for the system's store

    bool operator==(const FtpEndpoint&) const = default;
};

struct FtpRequest {
    FtpEndpoint endpoint;
    long timeoutSeconds = 0;  // the whole request's limit; 0: the default of 30 s
    InetCommand command;
};

struct FtpOutcome {
    bool ok = false;
    long code = 0;                  // the server's failing reply code; 0 when the failure had none
    std::string info;               // the reply's text after the code, or the failure's description
    std::string data;               // PWD: the directory; DIR: the listing
    bool connectionClosed = false;  // the control connection is gone (QUIT, a drop)
    bool connectionOpen = false;    // a control connection is open after the request
};

class CurlFtpConnection {
public:
    // Receives the progress states (3 connecting, 4 connected, 5 requesting, 7 receiving,
    // 9 disconnecting) while a request runs; final states are the caller's business.
    using StateSink = std::function<void(int)>;

    CurlFtpConnection();
    ~CurlFtpConnection();
    CurlFtpConnection(const CurlFtpConnection&) = delete;
    CurlFtpConnection& operator=(const CurlFtpConnection&) = delete;

    FtpOutcome run(const FtpRequest& request, const StateSink& emit,
                   const std::atomic<bool>& cancel);

private:
    struct Transfer;
    FtpOutcome runCommand(const FtpRequest& request);
    FtpOutcome changeDir(const FtpRequest& request, const std::string& target);
    std::optional<std::string> knownDirectory(const FtpRequest& request, FtpOutcome& failure);
    FtpOutcome perform(const FtpRequest& request, const std::string& url,
                       const std::function<void(Transfer&)>& setup);
    int performOnce(const FtpRequest& request, const std::string& url,
                    const std::function<void(Transfer&)>& setup, Transfer& t, bool fresh);
    void closeConnection();
    std::string baseUrl(const FtpEndpoint& ep) const;
    std::string dirUrl(const FtpEndpoint& ep) const;
    std::string fileUrl(const FtpEndpoint& ep, const std::string& name) const;

    CURL* m_easy = nullptr;
    CURLM* m_multi = nullptr;
    FtpEndpoint m_endpoint;
    std::optional<std::string> m_cwd;    // absolute remote directory, once known
    std::optional<std::string> m_entry;  // the login directory, once known
    bool m_connected = false;            // a control connection is believed open
    bool m_loggedIn = false;             // ... and the server accepted the login on it
    bool m_needFresh = false;  // the last failure may have left the connection out of step
    const StateSink* m_emit = nullptr;
    const std::atomic<bool>* m_cancel = nullptr;
    std::chrono::steady_clock::time_point m_deadline;  // the running request ends by then
};

}  // namespace korvane
