// The pure text rules of the FTP side: command parsing and quoting, listing lines, remote
// path resolution, server addresses and the port box.

#include <tuple>

#include "FtpFixture.h"
#include "ftp/CurlFtpConnection.h"
#include "ftp/FtpText.h"
#include "ftp/InetCommand.h"

namespace korvane::test {
namespace {

TEST(FtpText, CommandsGiveVerbAndArgumentsOrAreRefused) {
    const std::pair<std::string, std::optional<InetCommand>> cases[] = {
        {"cd /my dir", InetCommand{InetVerb::Cd, "/my dir", ""}},
        {"CD \"/a \"\"b\"\"\"", InetCommand{InetVerb::Cd, "/a \"b\"", ""}},
        {"  pwd ", InetCommand{InetVerb::Pwd, "", ""}},
        {"DIR /x", std::nullopt},  // a plain verb takes no arguments
        {"PUT /p/my pages/Game 1.htm kv1.htm",
         InetCommand{InetVerb::Put, "/p/my pages/Game 1.htm", "kv1.htm"}},
        {"PUT /p/a.htm", std::nullopt},
        {"RENAME kv1.htm " + QuoteInetArg("my \"best\" game.htm"),
         InetCommand{InetVerb::Rename, "kv1.htm", "my \"best\" game.htm"}},
        {"RENAME kv1.htm my game.htm", std::nullopt},  // unquoted blanks are ambiguous
        {"PUT \"/p/a.htm kv1.htm", std::nullopt},
        {"RENAME kv1.htm \"x\r\nDELE index.htm\"", std::nullopt},  // no smuggled command
        {"DELETE \"kv 1.htm\"", InetCommand{InetVerb::Delete, "kv 1.htm", ""}},
        {"DELE index.htm", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseInetCommand(text), expected) << text;
    }
}

TEST(FtpText, ListingLinesAndRemoteDirectories) {
    EXPECT_EQ(SplitListing("a.htm\r\nb.htm\r\nc"), (Lines{"a.htm", "b.htm", "c"}));
    EXPECT_EQ(SplitListing("a.htm\r\nb.htm\r\n"), (Lines{"a.htm", "b.htm"}));
    EXPECT_EQ(SplitListing("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitListing(""), Lines{});
    // Listings arriving with bare LF are given CR LF before the session sees them.
    EXPECT_EQ(WithCrLf("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");

    EXPECT_EQ(ResolveRemoteDir("/live", "sub"), "/live/sub");
    EXPECT_EQ(ResolveRemoteDir("/live/sub", ".."), "/live");
    EXPECT_EQ(ResolveRemoteDir("/", "../.."), "/");
    EXPECT_EQ(ResolveRemoteDir("/a", "/b/./c//"), "/b/c");
    EXPECT_EQ(ResolveRemoteDir("/a", "my pages"), "/a/my pages");
}

TEST(FtpText, ServerAddressesAreParsedOrRefused) {
    const std::tuple<std::string, std::string, long, bool> cases[] = {
        // text, host (none: refused), port, TLS
        {"ftp.example.org", "ftp.example.org", 21, false},
        {"FTPS://host", "host", 21, true},
        {"ftp://host:65000/live", "host", 65000, false},
        {"ftp://u:pw@host", "host", 21, false},  // the credentials are dropped
        {"[::1]:2121", "::1", 2121, false},
        {"host:0", "", 0, false},
        {"host:65536", "", 0, false},
        {"http://host", "", 0, false},
        {"ftp://", "", 0, false},
    };
    for (const auto& [text, host, port, tls] : cases) {
        FtpAddress addr;
        ASSERT_EQ(ParseFtpAddress(text, addr), !host.empty()) << text;
        if (!host.empty()) {
            EXPECT_EQ(std::tie(addr.host, addr.port, addr.tls), std::tie(host, port, tls)) << text;
        }
    }
}

// A port that is no whole number is cleared with a message box; any whole number is kept.
TEST(FtpText, PortBoxRefusesWhatIsNoWholeNumber) {
    const std::pair<std::string, std::string> cases[] = {
        // text, the title of the box shown (none: kept)
        {"12a", "Number Required"},
        {"21.5", "Integer Required"},
        {"21,5", "Integer Required"},
        {"65000", ""},
        {"", ""},
    };
    for (const auto& [text, title] : cases) {
        FtpProgram p;
        p.ui.answerOkByDefault();
        p.view.setText(FtpField::txtPort, text);
        p.session.txtPort_Change();
        EXPECT_EQ(p.view.text(FtpField::txtPort), title.empty() ? text : "") << text;
        Lines titles;
        for (const auto& box : p.ui.boxes) {
            titles.push_back(box.title);
        }
        EXPECT_EQ(titles, title.empty() ? Lines{} : Lines{title}) << text;
    }
}

}  // namespace
}  // namespace korvane::test
