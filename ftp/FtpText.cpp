#include "ftp/FtpText.h"

#include <vector>

#include "core/TextUtils.h"

namespace korvane {

bool ParseFtpAddress(const std::string& url, FtpAddress& out) {
    std::string rest = url;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
        rest.erase(0, 1);
    }
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) {
        rest.pop_back();
    }
    FtpAddress addr;
    const std::size_t scheme = rest.find("://");
    if (scheme != std::string::npos) {
        const std::string name = ToLower(rest.substr(0, scheme));
        if (name != "ftp" && name != "ftps") {
            return false;
        }
        addr.tls = name == "ftps";
        rest.erase(0, scheme + 3);
    }
    rest = rest.substr(0, rest.find('/'));
    if (const std::size_t at = rest.rfind('@'); at != std::string::npos) {
        rest.erase(0, at + 1);
    }
    std::string portText;
    if (!rest.empty() && rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos) {
            return false;
        }
        if (close + 1 < rest.size()) {
            if (rest[close + 1] != ':') {
                return false;
            }
            portText = rest.substr(close + 2);
        }
        addr.host = rest.substr(1, close - 1);
    } else if (rest.find(':') != rest.rfind(':')) {
        addr.host = rest;  // a bare IPv6 address
    } else if (const std::size_t colon = rest.find(':'); colon != std::string::npos) {
        addr.host = rest.substr(0, colon);
        portText = rest.substr(colon + 1);
    } else {
        addr.host = rest;
    }
    if (addr.host.empty() || addr.host.find_first_of(" \t\r\n") != std::string::npos) {
        return false;
    }
    if (!portText.empty()) {
        if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        addr.port = std::stol(portText);
        if (addr.port < 1 || addr.port > 65535) {
            return false;
        }
    }
    out = addr;
    return true;
}

std::string ResolveRemoteDir(const std::string& cwd, const std::string& dir) {
    std::vector<std::string> parts;
    auto add = [&parts](const std::string& path) {
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t slash = path.find('/', start);
            if (slash == std::string::npos) {
                slash = path.size();
            }
            const std::string seg = path.substr(start, slash - start);
            if (seg == "..") {
                if (!parts.empty()) {
                    parts.pop_back();
                }
            } else if (!seg.empty() && seg != ".") {
                parts.push_back(seg);
            }
            start = slash + 1;
        }
    };
    if (dir.empty() || dir.front() != '/') {
        add(cwd);
    }
    add(dir);
    std::string out;
    for (const auto& p : parts) {
        out += "/" + p;
    }
    return out.empty() ? "/" : out;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

}  // namespace korvane
