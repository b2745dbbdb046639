#pragma once
// The transfer component through which the FTP session talks to the server (Inet1).
//
// Execute starts one request and returns at once; the request runs on a worker thread that
// keeps one control connection open from request to request. Progress and completion come
// back as state numbers (the table in FtpSession.h) through StateChanged, always on the
// thread that owns the component: pump() delivers what has arrived, and the session calls
// it while it waits and whenever it lets pending events run. The upload does not wait: its
// requests follow one another as their ends are pumped, so the program's window layer
// installs an event notifier that schedules a pump on the window thread whenever something
// arrives (tests and benchmarks pump through FtpUploader::WaitUntilDone instead).
//
// States: 3 connecting, 4 connected, 5 requesting, 7 receiving, 9 disconnecting, 10 the
// connection closed (after QUIT, or after a failure that broke it), 11 the request failed
// (ResponseCode/ResponseInfo tell why), 12 the request completed. Every request ends with
// 12, 11, or 11 then 10; QUIT ends with 10. StillExecuting stays True until that last
// state has been delivered, so the next request never overlaps its predecessor's events.

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "ftp/FtpText.h"
#include "ftp/InetCommand.h"

namespace korvane {

// A request the component refuses to start (the system's "error raised by Execute").
class InetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Why a user name or password with a line break is refused: sent, the break would end the
// login command early and the rest would reach the server as a command of its own.
inline constexpr const char* kBadCredentials =
    "The user name or the password holds a line break or a null character, which cannot be "
    "sent to the server. Please type it again.";

class Inet {
public:
    static constexpr int kProtocolFtp = 2;

    Inet();
    ~Inet();
    Inet(const Inet&) = delete;
    Inet& operator=(const Inet&) = delete;

    int Protocol() const { return m_protocol; }
    void setProtocol(int protocol);  // only 2 (FTP) is supported
    // The server address; empty until URL or RemoteHost has been given a host.
    const std::string& URL() const { return m_url; }
    void setURL(const std::string& url);
    const std::string& RemoteHost() const { return m_remoteHost; }
    void setRemoteHost(const std::string& host);
    long RemotePort() const { return m_remotePort; }
    void setRemotePort(long port);
    const std::string& UserName() const { return m_userName; }
    void setUserName(const std::string& name) { m_userName = name; }
    // Held in memory only for logging in; never written anywhere.
    const std::string& Password() const { return m_password; }
    void setPassword(const std::string& password) { m_password = password; }
    long RequestTimeout() const { return m_requestTimeout; }
    void setRequestTimeout(long seconds) { m_requestTimeout = seconds; }
    // Certificates trusted for ftps:// besides the system's (a private or test authority).
    void setCaFile(const std::string& path) { m_caFile = path; }

    // The last failed request's reply code (0 when it had none) and text.
    long ResponseCode() const { return m_responseCode; }
    const std::string& ResponseInfo() const { return m_responseInfo; }

    // Starts the command on the server named by url. Throws InetError when a request is
    // still executing, the url names no valid server, the command is not valid or the user
    // name or password holds a line break (it would reach the server as a command).
    void Execute(const std::string& url, const std::string& command);
    bool StillExecuting() const { return m_executing; }
    // The command of the last request started ("PUT", "RENAME", ... as parsed).
    InetVerb LastVerb() const { return m_lastVerb; }
    // Whether the last finished request failed (reported state 11).
    bool LastRequestFailed() const { return m_lastFailed; }
    // Whether a control connection to the server was open when the last request finished:
    // False after a failure that lost the server (a drop, a time-out, no answer at all).
    bool ConnectionOpen() const { return m_connectionOpen; }
    // The next piece (at most size bytes) of the last request's reply; empty at its end.
    std::string GetChunk(std::size_t size);

    // Delivers every state change that has arrived, in order. While a request runs and
    // nothing has arrived yet, waits up to maxWait for something first.
    void pump(std::chrono::milliseconds maxWait = std::chrono::milliseconds(0));

    std::function<void(int)> StateChanged;
    // Called on the worker thread whenever states are waiting to be pumped.
    void setEventNotifier(std::function<void()> notify);

private:
    struct Worker;
    void rebuildUrl(const std::string& hostText);

    int m_protocol = kProtocolFtp;
    std::string m_url;
    std::string m_remoteHost;
    long m_remotePort = 21;
    bool m_remoteTls = false;
    std::string m_userName;
    std::string m_password;
    std::string m_caFile;
    long m_requestTimeout = 0;
    long m_responseCode = 0;
    std::string m_responseInfo;
    std::string m_reply;
    std::size_t m_replyPos = 0;
    bool m_executing = false;
    bool m_lastFailed = false;
    bool m_connectionOpen = false;
    InetVerb m_lastVerb = InetVerb::Pwd;
    std::unique_ptr<Worker> m_worker;
};

}  // namespace korvane
