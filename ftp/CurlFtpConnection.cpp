#include "ftp/CurlFtpConnection.h"

#include <curl/curl.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "ftp/FtpText.h"

namespace korvane {

namespace {

// Longest wait inside one poll of the multi handle. Longer caps let libcurl miss a wake-up
// while it sets up the passive data connection, and a request then stalls for the whole cap.
constexpr int kPollCapMs = 5;
// A listing larger than this is refused instead of filling the memory.
constexpr std::size_t kMaxReplyData = 32u << 20;
// How long the goodbye (QUIT) when the component is destroyed waits for the server's answer.
constexpr long kQuitWaitSeconds = 2;

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool isReplyLine(const std::string& line) {
    return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
           std::isdigit(static_cast<unsigned char>(line[1])) &&
           std::isdigit(static_cast<unsigned char>(line[2])) &&
           (line.size() == 3 || line[3] == ' ' || line[3] == '-');
}

// The directory in a 257 reply: the text between the first quote and its partner, with
// doubled quotes standing for one.
std::optional<std::string> pwdFromReply(const std::string& line) {
    const std::size_t open = line.find('"');
    if (open == std::string::npos) {
        return std::nullopt;
    }
    std::string dir;
    for (std::size_t i = open + 1; i < line.size(); ++i) {
        if (line[i] == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
                dir += '"';
                ++i;
                continue;
            }
            return dir;
        }
        dir += line[i];
    }
    return std::nullopt;
}

std::string escapeSegment(CURL* easy, const std::string& segment) {
    char* escaped = curl_easy_escape(easy, segment.data(), static_cast<int>(segment.size()));
    std::string out = escaped ? escaped : "";
    curl_free(escaped);
    return out;
}

// The failures after which the control connection may hold a stale reply: the server
// closed it (421) or a send or receive broke. Such a request is tried once more on a new
// connection. A reply time-out is not retried: the second try would take as long.
bool worthOneRetry(CURLcode rc, long code) {
    return code == 421 || rc == CURLE_SEND_ERROR || rc == CURLE_RECV_ERROR ||
           rc == CURLE_GOT_NOTHING;
}

// A failure that is the server's clean 4xx/5xx answer to a command; the connection stays
// in step and usable.
bool isCleanRefusal(CURLcode rc, long code) {
    if (code < 400 || code > 599 || code == 421) {
        return false;
    }
    switch (rc) {
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_QUOTE_ERROR:
        case CURLE_UPLOAD_FAILED:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_REMOTE_DISK_FULL:
        case CURLE_REMOTE_FILE_EXISTS:
            return true;
        default:
            return false;
    }
}

}  // namespace

// The state of one libcurl transfer: the reply lines and data it collected.
struct CurlFtpConnection::Transfer {
    CurlFtpConnection* owner = nullptr;
    std::vector<std::string> replies;  // server reply lines, CR LF removed
    std::string data;
    bool receiving = false;
    std::FILE* upload = nullptr;
    curl_slist* postQuote = nullptr;
    char errorText[CURL_ERROR_SIZE] = {};

    ~Transfer() { curl_slist_free_all(postQuote); }

    long lastCode() const {
        for (auto it = replies.rbegin(); it != replies.rend(); ++it) {
            if (isReplyLine(*it) && (it->size() == 3 || (*it)[3] == ' ')) {
                return std::stol(it->substr(0, 3));
            }
        }
        return 0;
    }
    std::string lastText() const {
        for (auto it = replies.rbegin(); it != replies.rend(); ++it) {
            if (isReplyLine(*it) && (it->size() == 3 || (*it)[3] == ' ')) {
                return it->size() > 4 ? it->substr(4) : std::string();
            }
        }
        return {};
    }

    static size_t onHeader(char* buffer, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        std::string line(buffer, size * count);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        if (isReplyLine(line)) {
            // The greeting opens a new control connection.
            if (line.compare(0, 3, "220") == 0 && !t->owner->m_connected) {
                t->owner->m_connected = true;
                (*t->owner->m_emit)(4);
                (*t->owner->m_emit)(5);
            }
            t->replies.push_back(std::move(line));
        }
        return size * count;
    }
    static size_t onData(char* buffer, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        if (t->data.size() + size * count > kMaxReplyData) {
            return 0;
        }
        if (!t->receiving) {
            t->receiving = true;
            (*t->owner->m_emit)(7);
        }
        t->data.append(buffer, size * count);
        return size * count;
    }
};

CurlFtpConnection::CurlFtpConnection() {
    globalInit();
    m_easy = curl_easy_init();
    m_multi = curl_multi_init();
    curl_multi_setopt(m_multi, CURLMOPT_MAXCONNECTS, 1L);
}

CurlFtpConnection::~CurlFtpConnection() {
    // The cleanup sends QUIT on a kept connection and waits for the answer as long as the
    // reply time-out of the last handle added to the multi handle. A server that no longer
    // answers (a network outage) would hold the program's exit for the whole request
    // time-out, so a handle with a short limit is added (and taken out, unused) first.
    if (m_connected) {
        curl_easy_reset(m_easy);
        curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, kQuitWaitSeconds);
        curl_multi_add_handle(m_multi, m_easy);
        curl_multi_remove_handle(m_multi, m_easy);
    }
    curl_multi_cleanup(m_multi);
    curl_easy_cleanup(m_easy);
}

void CurlFtpConnection::closeConnection() {
    // Cleaning up the multi handle closes its cached connection (with QUIT).
    curl_multi_cleanup(m_multi);
    m_multi = curl_multi_init();
    curl_multi_setopt(m_multi, CURLMOPT_MAXCONNECTS, 1L);
    m_connected = false;
    m_needFresh = false;
}

std::string CurlFtpConnection::baseUrl(const FtpEndpoint& ep) const {
    const bool ipv6 = ep.host.find(':') != std::string::npos && ep.host.front() != '[';
    const std::string host = ipv6 ? "[" + ep.host + "]" : ep.host;
    return "ftp://" + host + ":" + std::to_string(ep.port) + "/";
}

// The URL of the current directory: "%2F" makes the path absolute, and libcurl sends one
// CWD with the whole path. Before the directory is known, the login directory.
std::string CurlFtpConnection::dirUrl(const FtpEndpoint& ep) const {
    std::string url = baseUrl(ep);
    if (!m_cwd) {
        return url;
    }
    url += "%2F";
    std::size_t start = 1;
    while (start < m_cwd->size()) {
        std::size_t slash = m_cwd->find('/', start);
        if (slash == std::string::npos) {
            slash = m_cwd->size();
        }
        url += escapeSegment(m_easy, m_cwd->substr(start, slash - start)) + "/";
        start = slash + 1;
    }
    return url;
}

std::string CurlFtpConnection::fileUrl(const FtpEndpoint& ep, const std::string& name) const {
    return dirUrl(ep) + escapeSegment(m_easy, name);
}

FtpOutcome CurlFtpConnection::run(const FtpRequest& request, const StateSink& emit,
                                  const std::atomic<bool>& cancel) {
    m_emit = &emit;
    m_cancel = &cancel;
    if (!(request.endpoint == m_endpoint)) {
        // Another server or user: nothing known about the old session applies.
        if (m_connected) {
            closeConnection();
        }
        m_endpoint = request.endpoint;
        m_cwd.reset();
        m_entry.reset();
    }
    if (request.command.verb == InetVerb::Quit) {
        FtpOutcome out;
        out.ok = true;
        out.connectionClosed = true;
        if (m_connected) {
            emit(9);
            closeConnection();
        }
        // The next session starts in the login directory, as any new FTP session does.
        m_cwd.reset();
        return out;
    }
    emit(m_connected ? 5 : 3);  // a new connection reports 4 and 5 once the server greets
    FtpOutcome out = runCommand(request);
    if (!out.ok && out.connectionClosed) {
        // Only a connection that was open (or opened by this request) is reported closed.
        out.connectionClosed = m_connected;
        m_connected = false;
        m_needFresh = true;
    }
    out.connectionOpen = m_connected;
    return out;
}

// The directory relative names are resolved against; logs in first to learn the login
// directory when nothing is known yet.
std::optional<std::string> CurlFtpConnection::knownDirectory(const FtpRequest& request,
                                                             FtpOutcome& failure) {
    if (m_cwd) {
        return m_cwd;
    }
    if (!m_entry) {
        failure = perform(request, baseUrl(request.endpoint), [](Transfer& t) {
            curl_easy_setopt(t.owner->m_easy, CURLOPT_NOBODY, 1L);
        });
        if (!failure.ok) {
            return std::nullopt;
        }
    }
    return m_entry ? m_entry : std::optional<std::string>("/");
}

FtpOutcome CurlFtpConnection::changeDir(const FtpRequest& request, const std::string& target) {
    const std::optional<std::string> previous = m_cwd;
    m_cwd = target;
    FtpOutcome out = perform(request, dirUrl(request.endpoint), [](Transfer& t) {
        curl_easy_setopt(t.owner->m_easy, CURLOPT_NOBODY, 1L);
    });
    if (!out.ok) {
        m_cwd = previous;
    }
    return out;
}

FtpOutcome CurlFtpConnection::runCommand(const FtpRequest& request) {
    const InetCommand& cmd = request.command;
    const FtpEndpoint& ep = request.endpoint;
    FtpOutcome out;
    switch (cmd.verb) {
        case InetVerb::Cd:
        case InetVerb::Cdup: {
            const auto base = knownDirectory(request, out);
            if (!base) {
                return out;
            }
            return changeDir(request,
                             ResolveRemoteDir(*base, cmd.verb == InetVerb::Cd ? cmd.arg1 : ".."));
        }
        case InetVerb::Pwd: {
            out = perform(request, dirUrl(ep), [](Transfer& t) {
                curl_easy_setopt(t.owner->m_easy, CURLOPT_NOBODY, 1L);
                t.postQuote = curl_slist_append(nullptr, "PWD");
                curl_easy_setopt(t.owner->m_easy, CURLOPT_POSTQUOTE, t.postQuote);
            });
            return out;
        }
        case InetVerb::Dir:
            out = perform(request, dirUrl(ep), [](Transfer&) {});
            out.data = WithCrLf(out.data);
            return out;
        case InetVerb::Put: {
            std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(cmd.arg1.c_str(), "rb"),
                                                                 &std::fclose);
            if (!file) {
                out.info = "Cannot read the local file " + cmd.arg1 + ": " + std::strerror(errno);
                return out;
            }
            std::fseek(file.get(), 0, SEEK_END);
            const long size = std::ftell(file.get());
            std::FILE* raw = file.get();
            return perform(request, fileUrl(ep, cmd.arg2), [raw, size](Transfer& t) {
                std::rewind(raw);
                t.upload = raw;
                curl_easy_setopt(t.owner->m_easy, CURLOPT_UPLOAD, 1L);
                curl_easy_setopt(t.owner->m_easy, CURLOPT_READDATA, raw);
                curl_easy_setopt(t.owner->m_easy, CURLOPT_INFILESIZE_LARGE,
                                 static_cast<curl_off_t>(size));
            });
        }
        case InetVerb::Rename: {
            const std::string from = "RNFR " + cmd.arg1;
            const std::string to = "RNTO " + cmd.arg2;
            return perform(request, dirUrl(ep), [&from, &to](Transfer& t) {
                curl_easy_setopt(t.owner->m_easy, CURLOPT_NOBODY, 1L);
                t.postQuote = curl_slist_append(nullptr, from.c_str());
                t.postQuote = curl_slist_append(t.postQuote, to.c_str());
                curl_easy_setopt(t.owner->m_easy, CURLOPT_POSTQUOTE, t.postQuote);
            });
        }
        case InetVerb::Quit:
            break;
    }
    return out;
}

FtpOutcome CurlFtpConnection::perform(const FtpRequest& request, const std::string& url,
                                      const std::function<void(Transfer&)>& setup) {
    Transfer t;
    t.owner = this;
    auto rc = static_cast<CURLcode>(performOnce(request, url, setup, t, m_needFresh));
    if (rc != CURLE_OK && worthOneRetry(rc, t.lastCode()) && !m_cancel->load()) {
        Transfer again;
        again.owner = this;
        rc = static_cast<CURLcode>(performOnce(request, url, setup, again, true));
        std::swap(t.replies, again.replies);
        std::swap(t.data, again.data);
        std::memcpy(t.errorText, again.errorText, sizeof t.errorText);
    }

    FtpOutcome out;
    if (rc == CURLE_OK) {
        m_needFresh = false;
        m_connected = true;
        if (!m_entry) {
            char* entry = nullptr;
            if (curl_easy_getinfo(m_easy, CURLINFO_FTP_ENTRY_PATH, &entry) == CURLE_OK && entry) {
                m_entry = ResolveRemoteDir("/", entry);
            }
        }
        out.ok = true;
        out.data = std::move(t.data);
        // Only a PWD request answers with its 257 reply: on a new connection libcurl's own
        // PWD after login replies 257 too, and would replace a listing with the login path.
        for (const auto& line : t.replies) {
            if (request.command.verb == InetVerb::Pwd && line.compare(0, 3, "257") == 0) {
                if (auto dir = pwdFromReply(line)) {
                    out.data = *dir;
                }
            }
        }
        return out;
    }
    const long code = t.lastCode();
    if (isCleanRefusal(rc, code)) {
        out.code = code;
        out.info = t.lastText();
        return out;
    }
    out.connectionClosed = true;
    if (code >= 400) {
        out.code = code;
        out.info = t.lastText();
    } else {
        out.info = t.errorText[0] ? t.errorText : curl_easy_strerror(rc);
    }
    if (rc == CURLE_PEER_FAILED_VERIFICATION || rc == CURLE_SSL_CACERT_BADFILE) {
        out.info = "The server's certificate could not be verified: " + out.info;
    }
    if (m_cancel->load()) {
        out.info = "Request cancelled";
    }
    return out;
}

int CurlFtpConnection::performOnce(const FtpRequest& request, const std::string& url,
                                   const std::function<void(Transfer&)>& setup, Transfer& t,
                                   bool fresh) {
    const FtpEndpoint& ep = request.endpoint;
    CURL* e = m_easy;
    curl_easy_reset(e);  // keeps the cached connection
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_USERNAME, ep.user.c_str());
    curl_easy_setopt(e, CURLOPT_PASSWORD, ep.password.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(e, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t.errorText);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Transfer::onData);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, fresh ? 1L : 0L);
    if (request.timeoutSeconds > 0) {
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, request.timeoutSeconds);
        curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, request.timeoutSeconds);
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, request.timeoutSeconds);
    }
    if (ep.tls) {
        curl_easy_setopt(e, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(e, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
        // TLS 1.3 session tickets break the session reuse that many servers demand on
        // the data connections of a kept control connection; 1.2 works with all of them.
        curl_easy_setopt(e, CURLOPT_SSLVERSION,
                         static_cast<long>(CURL_SSLVERSION_TLSv1_2) |
                             static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
        if (!ep.caFile.empty()) {
            curl_easy_setopt(e, CURLOPT_CAINFO, ep.caFile.c_str());
        }
    }
    setup(t);

    curl_multi_add_handle(m_multi, e);
    int running = 1;
    CURLcode rc = CURLE_OK;
    while (true) {
        curl_multi_perform(m_multi, &running);
        if (running == 0) {
            int left = 0;
            while (CURLMsg* msg = curl_multi_info_read(m_multi, &left)) {
                if (msg->msg == CURLMSG_DONE) {
                    rc = msg->data.result;
                }
            }
            break;
        }
        if (m_cancel->load()) {
            rc = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        curl_multi_poll(m_multi, nullptr, 0, kPollCapMs, nullptr);
    }
    curl_multi_remove_handle(m_multi, e);
    return rc;
}

}  // namespace korvane
