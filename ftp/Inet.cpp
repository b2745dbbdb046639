#include "ftp/Inet.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "ftp/CurlFtpConnection.h"
#include "ftp/InetCommand.h"

namespace korvane {

namespace {

struct Event {
    int state = 0;
    bool last = false;  // the request's final state
    std::optional<FtpOutcome> outcome;
};

}  // namespace

// The thread that owns the connection, its one-slot request queue and the event queue
// that pump() drains.
struct Inet::Worker {
    std::mutex mutex;
    std::condition_variable requestReady;
    std::condition_variable eventReady;
    std::optional<FtpRequest> request;
    std::deque<Event> events;
    std::function<void()> notify;
    std::atomic<bool> stop{false};
    std::thread thread;

    Worker() : thread([this] { loop(); }) {}
    ~Worker() {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        requestReady.notify_all();
        thread.join();
    }

    void post(Event ev) {
        std::function<void()> n;
        {
            std::lock_guard lock(mutex);
            events.push_back(std::move(ev));
            n = notify;
        }
        eventReady.notify_all();
        if (n) {
            n();
        }
    }

    void loop() {
        CurlFtpConnection connection;
        const CurlFtpConnection::StateSink emit = [this](int state) { post({state, false, {}}); };
        while (true) {
            FtpRequest req;
            {
                std::unique_lock lock(mutex);
                requestReady.wait(lock, [this] { return stop || request; });
                if (stop) {
                    return;
                }
                req = std::move(*request);
                request.reset();
            }
            FtpOutcome out = connection.run(req, emit, stop);
            const bool quit = req.command.verb == InetVerb::Quit;
            if (out.ok) {
                post({quit ? 10 : 12, true, std::move(out)});
            } else {
                const bool closed = out.connectionClosed;
                post({11, !closed, std::move(out)});
                if (closed) {
                    post({10, true, {}});
                }
            }
        }
    }
};

Inet::Inet() : m_worker(std::make_unique<Worker>()) {}

Inet::~Inet() = default;

void Inet::setProtocol(int protocol) {
    if (protocol != kProtocolFtp) {
        throw InetError("Protocol not supported");
    }
    m_protocol = protocol;
}

void Inet::setURL(const std::string& url) {
    m_url = url;
    FtpAddress addr;
    if (ParseFtpAddress(url, addr)) {
        m_remoteHost = addr.host;
        m_remotePort = addr.port;
        m_remoteTls = addr.tls;
    }
}

void Inet::setRemoteHost(const std::string& host) {
    rebuildUrl(host);
}

void Inet::setRemotePort(long port) {
    m_remotePort = port;
    if (!m_remoteHost.empty()) {
        rebuildUrl((m_remoteTls ? "ftps://" : "") + m_remoteHost);
    }
}

// The URL from a host text (which may carry "ftps://") and the current RemotePort.
void Inet::rebuildUrl(const std::string& hostText) {
    FtpAddress addr;
    if (!ParseFtpAddress(hostText, addr)) {
        m_remoteHost = hostText;
        m_url = hostText;
        return;
    }
    m_remoteHost = addr.host;
    m_remoteTls = addr.tls;
    const bool ipv6 = addr.host.find(':') != std::string::npos;
    m_url =
        std::string(addr.tls ? "ftps://" : "ftp://") + (ipv6 ? "[" + addr.host + "]" : addr.host);
    if (m_remotePort != 21) {
        m_url += ":" + std::to_string(m_remotePort);
    }
}

void Inet::Execute(const std::string& url, const std::string& command) {
    if (m_executing) {
        throw InetError("Still executing last request");
    }
    FtpAddress addr;
    if (!ParseFtpAddress(url, addr)) {
        throw InetError("URL is malformed");
    }
    auto cmd = ParseInetCommand(command);
    if (!cmd) {
        throw InetError("Invalid command");
    }
    if (HasLineBreak(m_userName) || HasLineBreak(m_password)) {
        throw InetError(kBadCredentials);
    }
    FtpRequest req;
    req.endpoint = {addr.host, addr.port, addr.tls, m_userName, m_password, m_caFile};
    req.timeoutSeconds = m_requestTimeout;
    req.command = std::move(*cmd);

    m_executing = true;
    m_lastVerb = cmd->verb;
    m_reply.clear();
    m_replyPos = 0;
    {
        std::lock_guard lock(m_worker->mutex);
        m_worker->request = std::move(req);
    }
    m_worker->requestReady.notify_all();
}

std::string Inet::GetChunk(std::size_t size) {
    const std::string piece = m_reply.substr(std::min(m_replyPos, m_reply.size()), size);
    m_replyPos += piece.size();
    return piece;
}

void Inet::pump(std::chrono::milliseconds maxWait) {
    Worker& w = *m_worker;
    if (maxWait.count() > 0 && m_executing) {
        std::unique_lock lock(w.mutex);
        w.eventReady.wait_for(lock, maxWait, [&w] { return !w.events.empty(); });
    }
    // One event at a time: a handler may let events run again, which pumps reentrantly.
    while (true) {
        Event ev;
        {
            std::lock_guard lock(w.mutex);
            if (w.events.empty()) {
                return;
            }
            ev = std::move(w.events.front());
            w.events.pop_front();
        }
        if (ev.outcome) {
            m_lastFailed = !ev.outcome->ok;
            m_connectionOpen = ev.outcome->connectionOpen;
            if (!ev.outcome->ok) {
                m_responseCode = ev.outcome->code;
                m_responseInfo = ev.outcome->info;
            }
            m_reply = std::move(ev.outcome->data);
            m_replyPos = 0;
        }
        if (ev.last) {
            m_executing = false;
        }
        if (StateChanged) {
            StateChanged(ev.state);
        }
    }
}

void Inet::setEventNotifier(std::function<void()> notify) {
    std::lock_guard lock(m_worker->mutex);
    m_worker->notify = std::move(notify);
}

}  // namespace korvane
