#pragma once
// Text rules of the FTP side: server addresses as the operator types them, remote paths,
// and the line ends of listings.

#include <string>

namespace korvane {

// A server address as typed by the operator: "host", "host:port", "ftp://host[:port][/...]"
// or "ftps://host[:port]" (FTP over explicit TLS). Credentials in the text are dropped.
struct FtpAddress {
    std::string host;
    long port = 21;
    bool tls = false;
};
// Nothing when the text names no host or an invalid port (valid: 1 to 65535).
bool ParseFtpAddress(const std::string& url, FtpAddress& out);

// The text with every line break as CR LF (listings arrive with the server's or libcurl's
// line ends; the session splits them at CR LF).
std::string WithCrLf(const std::string& text);

// The absolute directory that dir names when given while in cwd ("/" separated; "." and
// ".." resolved; never above "/").
std::string ResolveRemoteDir(const std::string& cwd, const std::string& dir);

}  // namespace korvane
