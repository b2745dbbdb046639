#pragma once
// The backup step after a cycle with changes: copies each changed, awake game into the
// backup directory, signals editors showing that file, and keeps the message log in
// bounds (a warning first, then a clearing).

#include <cstddef>

namespace korvane {

struct Pipeline;

// Largest log size, in characters, that passes the size check without a warning.
constexpr std::size_t kLogLimit = 35000;

void BackupFiles(Pipeline& pipeline);

}  // namespace korvane
