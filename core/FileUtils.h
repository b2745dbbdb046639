#pragma once
// Path tests and whole-file reading and writing. Files are bytes, read and written
// unchanged. Routines that can fail report to the operator themselves and tell their
// caller only through state.bError, as the rest of the program expects.

#include <cstdio>
#include <memory>
#include <string>
#include <system_error>

namespace korvane {

struct ProgramState;

// The native directory separator ("/" here).
constexpr char kSep = '/';

// False when the path holds no "."; otherwise True when the path names at least one
// ordinary file. Wildcards (* and ?) in the file-name part are allowed.
bool FileCheck(const std::string& path);
// True when the path names an existing directory (or file). A trailing separator is fine.
bool DirExists(const std::string& path);
// FileCheck for a path with a ".", DirExists otherwise.
bool PathExists(const std::string& path);
// The directory part of an existing file's path (without its trailing separator); empty for
// an empty path; any other path unchanged. A path ending with a separator yields the text
// before its second-to-last separator.
std::string ReturnDir(ProgramState& state, const std::string& path);
// The file-name part of a path (the text after its last separator).
std::string FileNameOf(const std::string& path);
// The path with exactly one trailing separator.
std::string WithTrailingSep(const std::string& path);

// Reads the whole file into text. On failure text is left unchanged and a message box
// tells the operator. Returns whether the file was read.
bool LoadTextFile(ProgramState& state, const std::string& path, std::string& text);

// A file opened for reading and kept open until the handle is dropped.
using OpenFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
// Reads the whole file into text and returns it still open; on failure writes a log entry,
// raises the alarm, lets the interface update and returns an empty handle.
OpenFile OpenTextFile(ProgramState& state, const std::string& path, std::string& text);

// Writes text as the whole content of path. Asks before replacing unless noPrompt; keeps or
// sets the read-only state (no write permission). The write is atomic: a temporary file in
// the same directory is renamed over the target, so a failure leaves the old content intact.
// Clears bError on entry and sets it on failure, which a box reports; during a processing
// cycle the log reports it instead, once until a save in that directory succeeds.
void SaveFile(ProgramState& state, const std::string& path, const std::string& text, bool readOnly,
              bool noPrompt);

// Copies source over target. On failure sets bError and reports in the log (or a box when
// the monitor window is not open) with the reason the system gave, and raises the alarm;
// returns the failure so callers can tell a denied access. During a processing cycle
// (state.bInCycle) the same failure in the same directory is reported once until a write
// there succeeds, which the log then says.
std::error_code CopyOneFile(ProgramState& state, const std::string& source,
                            const std::string& target);
// Writes bytes read from source over target, reporting like CopyOneFile.
std::error_code WriteCopy(ProgramState& state, const std::string& source, const std::string& bytes,
                          const std::string& target);
// A file read or written after a failure reported in a cycle: once the last file that
// failed in its directory works again, the log says so.
void ReportRecovery(ProgramState& state, const std::string& file);
// Reads a whole file; no report.
std::error_code ReadWholeFile(const std::string& path, std::string& bytes);

// Deletes every "*.pgn" file in the directory; failures are ignored.
void DeletePgnFiles(const std::string& directory);

// Read-only here means: no write permission bits.
bool IsReadOnly(const std::string& path);
void SetReadOnly(const std::string& path, bool readOnly);

}  // namespace korvane
