#pragma once
// The converter's command line: vistrel <pgn file> <ini file> -x
//
// Writes the page beside the PGN file, named as the PGN file with its last four characters
// replaced by ".htm", through a temporary name and a rename, so a half-written page never
// appears. On a conversion error it writes "vislog.txt" in the PGN file's directory, whose
// whole text is the message, and leaves no page. Exit status: 0 page written, 1 conversion
// error, 2 bad arguments (with a usage line on stderr).

#include <iosfwd>
#include <string>
#include <vector>

#include "vistrel/Page.h"

namespace vistrel {

constexpr int kExitOk = 0;
constexpr int kExitConversionError = 1;
constexpr int kExitBadArguments = 2;

constexpr const char* kUsage = "usage: vistrel <pgn file> <ini file> -x";
constexpr const char* kLogName = "vislog.txt";

struct CliPaths {
    std::string pgn;
    std::string ini;
};

// Splits the arguments (without the program name) into the two paths. A caller that passes
// the command line unquoted splits a path with blanks into several arguments; those are
// joined again at the place where both named files exist. False when the arguments are
// not two paths with an optional "-x".
bool splitArguments(const std::vector<std::string>& args, CliPaths& out);

// The page name for a PGN file name ("round5.pgn" gives "round5.htm"); empty when the name
// has no more than four characters.
std::string pageNameFor(const std::string& pgnFileName);

// Runs the whole conversion; returns the exit status. Messages go to err. A page larger
// than maxPageBytes is refused with a message instead of written.
int runCli(const std::vector<std::string>& args, std::ostream& err,
           std::size_t maxPageBytes = kMaxPageBytes);

}  // namespace vistrel
