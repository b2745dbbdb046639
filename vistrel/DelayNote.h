#pragma once
// The broadcast delay note. A pgn converted while the games are published some minutes
// behind the boards carries the directive line "%vis3 delay, N"; its pages then say so.

#include <string>
#include <vector>

namespace vistrel {

// The minutes of the last "vis3 delay, N" escape line (text after the "%"); 0 when there
// is none or it names no whole number of minutes from 1 to 1440.
int delayMinutes(const std::vector<std::string>& escapeLines);

// "<p class="delay-note">moves delayed by N minutes</p>" for a delay, nothing without one.
void appendDelayNote(std::string& out, int minutes);

}  // namespace vistrel
