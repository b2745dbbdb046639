#pragma once
// The command texts the transfer component accepts ("CD dir", "CDUP", "PWD", "DIR",
// "PUT local remote", "RENAME old new", "DELETE name", "QUIT") and their parsing. Verbs are
// compared without regard to letter case. An argument holding blanks is written in double quotes,
// with a quote inside doubled; QuoteInetArg builds that form.

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

enum class InetVerb { Cd, Cdup, Pwd, Dir, Put, Rename, Delete, Quit };

struct InetCommand {
    InetVerb verb = InetVerb::Pwd;
    std::string arg1;  // CD: directory; PUT: local path; RENAME: old name; DELETE: name
    std::string arg2;  // PUT: remote name; RENAME: new name

    bool operator==(const InetCommand&) const = default;
};

// The parsed command, or nothing when the text is not a valid command. Arguments holding
// CR, LF or NUL are refused: they would let a name smuggle extra commands to the server.
std::optional<InetCommand> ParseInetCommand(std::string_view text);

// Whether the text holds a character that would end an FTP command line (CR, LF or NUL).
bool HasLineBreak(std::string_view text);

// The argument as it must appear in a command: unchanged when it is a plain word, else in
// double quotes with inner quotes doubled.
std::string QuoteInetArg(std::string_view arg);

}  // namespace korvane
