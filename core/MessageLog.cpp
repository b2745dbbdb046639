#include "core/MessageLog.h"

#include "core/ProgramState.h"

namespace korvane {

void LogRaw(ProgramState& state, const std::string& text) {
    state.ui.setLogText(text + state.ui.logText());
}

void LogEvent(ProgramState& state, const std::string& text) {
    LogRaw(state, state.clock.nowText() + kCrLf + text + kCrLf + kCrLf);
}

void LogStandard(ProgramState& state, const std::string& description, const std::string& message) {
    LogEvent(state, description + kCrLf + message);
}

void LogEventSingleBreak(ProgramState& state, const std::string& text) {
    LogRaw(state, state.clock.nowText() + kCrLf + text + kCrLf);
}

void LogDated(ProgramState& state, const std::string& text) {
    LogRaw(state, state.clock.nowText() + text + kCrLf + kCrLf);
}

}  // namespace korvane
