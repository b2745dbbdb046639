#pragma once
// The entry forms of the monitor window's message log. Every entry is put in front of the
// existing text, so the newest is at the top.

#include <string>

namespace korvane {

struct ProgramState;

constexpr const char* kCrLf = "\r\n";

// date and time, CR LF, text, CR LF, CR LF, old log
void LogEvent(ProgramState& state, const std::string& text);
// date and time, CR LF, description, CR LF, message, CR LF, CR LF, old log (the entry that
// the utilities write for an unexpected failure)
void LogStandard(ProgramState& state, const std::string& description, const std::string& message);
// date and time, CR LF, text, CR LF, old log (a single line break before the old log)
void LogEventSingleBreak(ProgramState& state, const std::string& text);
// date and time immediately followed by text, CR LF, CR LF, old log
void LogDated(ProgramState& state, const std::string& text);
// text immediately followed by the old log
void LogRaw(ProgramState& state, const std::string& text);

}  // namespace korvane
