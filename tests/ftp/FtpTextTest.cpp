// The pure text rules of the FTP side: command parsing and quoting, listing lines, remote
// path resolution, server addresses and the port box.

#include <tuple>

#include "FtpFixture.h"
#include "ftp/CurlFtpConnection.h"
#include "ftp/FtpText.h"
#include "ftp/InetCommand.h"

namespace korvane::test {
namespace {

struct CommandCase {
    const char* name;
    std::string text;
    std::optional<InetCommand> expected;
};

class CommandParse : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandParse, GivesVerbAndArguments) {
    EXPECT_EQ(ParseInetCommand(GetParam().text), GetParam().expected);
}

const std::string kQuotedOdd = QuoteInetArg("my \"best\" game.htm");

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandParse,
    ::testing::Values(
        CommandCase{"CdTakesTheWholeRest", "cd /my dir", InetCommand{InetVerb::Cd, "/my dir", ""}},
        CommandCase{"CdQuoted", "CD \"/a \"\"b\"\"\"", InetCommand{InetVerb::Cd, "/a \"b\"", ""}},
        CommandCase{"PlainVerbs", "  pwd ", InetCommand{InetVerb::Pwd, "", ""}},
        CommandCase{"PlainVerbRefusesArguments", "DIR /x", std::nullopt},
        CommandCase{"PutUnquotedPathWithBlanks", "PUT /p/my pages/Game 1.htm kv1.htm",
                    InetCommand{InetVerb::Put, "/p/my pages/Game 1.htm", "kv1.htm"}},
        CommandCase{"PutNeedsTwoArguments", "PUT /p/a.htm", std::nullopt},
        CommandCase{"RenameQuotedRoundTrip", "RENAME kv1.htm " + kQuotedOdd,
                    InetCommand{InetVerb::Rename, "kv1.htm", "my \"best\" game.htm"}},
        CommandCase{"RenameUnquotedBlanksAreAmbiguous", "RENAME kv1.htm my game.htm", std::nullopt},
        CommandCase{"UnterminatedQuote", "PUT \"/p/a.htm kv1.htm", std::nullopt},
        CommandCase{"LineBreakCannotSmuggleACommand", "RENAME kv1.htm \"x\r\nDELE index.htm\"",
                    std::nullopt},
        CommandCase{"DeleteOneName", "DELETE \"kv 1.htm\"",
                    InetCommand{InetVerb::Delete, "kv 1.htm", ""}},
        CommandCase{"UnknownVerb", "DELE index.htm", std::nullopt}),
    CaseName());

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

struct AddressCase {
    const char* name;
    std::string text;
    std::string host;  // none: refused
    long port;
    bool tls;
};

class ServerAddress : public ::testing::TestWithParam<AddressCase> {};

TEST_P(ServerAddress, IsParsedOrRefused) {
    const auto& c = GetParam();
    FtpAddress addr;
    ASSERT_EQ(ParseFtpAddress(c.text, addr), !c.host.empty());
    if (!c.host.empty()) {
        EXPECT_EQ(std::tie(addr.host, addr.port, addr.tls), std::tie(c.host, c.port, c.tls));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, ServerAddress,
    ::testing::Values(AddressCase{"BareHost", "ftp.example.org", "ftp.example.org", 21, false},
                      AddressCase{"FtpsIsExplicitTls", "FTPS://host", "host", 21, true},
                      AddressCase{"PortAndPath", "ftp://host:65000/live", "host", 65000, false},
                      AddressCase{"CredentialsDropped", "ftp://u:pw@host", "host", 21, false},
                      AddressCase{"Ipv6", "[::1]:2121", "::1", 2121, false},
                      AddressCase{"PortZero", "host:0", "", 0, false},
                      AddressCase{"PortTooLarge", "host:65536", "", 0, false},
                      AddressCase{"OtherScheme", "http://host", "", 0, false},
                      AddressCase{"NoHost", "ftp://", "", 0, false}),
    CaseName());

// A port that is no whole number is cleared with a message box; any whole number is kept.
struct PortCase {
    const char* name;
    std::string text, title;  // the message box shown, or none
};

class PortBox : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortBox, RefusesWhatIsNoWholeNumber) {
    const PortCase& c = GetParam();
    FtpProgram p;
    p.ui.answerOkByDefault();
    p.view.setText(FtpField::txtPort, c.text);
    p.session.txtPort_Change();
    EXPECT_EQ(p.view.text(FtpField::txtPort), c.title.empty() ? c.text : "");
    ASSERT_EQ(p.ui.boxes.size(), c.title.empty() ? 0u : 1u);
    if (!c.title.empty()) {
        EXPECT_EQ(p.ui.boxes[0].title, c.title);
    }
}

INSTANTIATE_TEST_SUITE_P(Ports, PortBox,
                         ::testing::Values(PortCase{"Letters", "12a", "Number Required"},
                                           PortCase{"DecimalPoint", "21.5", "Integer Required"},
                                           PortCase{"DecimalComma", "21,5", "Integer Required"},
                                           PortCase{"AboveSixteenBits", "65000", ""},
                                           PortCase{"Cleared", "", ""}),
                         CaseName());

}  // namespace
}  // namespace korvane::test
