#pragma once
// The snapshots behind the broadcast delay. While a delay is set, every source copy the
// cycle accepts is kept as one file per game and moment under the program's "delay" work
// directory, named by the time it was taken in and written atomically, so a restart finds
// them and carries the delay on. The text published for a game is its newest snapshot that
// is at least the delay old; the snapshots before that one are no longer needed.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/Clock.h"

namespace korvane {

class Pgn;
struct ProgramState;

struct Snapshot {
    DateTime takenIn;
    std::string path;
};

class DelayStore {
public:
    explicit DelayStore(const ProgramState& state);

    // Whether a delay is set; without one nothing is kept and every copy goes out at once.
    bool on() const { return m_delay.count() > 0; }
    std::chrono::minutes delay() const { return m_delay; }
    DateTime now() const { return m_now; }

    // Where the cycle copies a changed source while a delay is set: beside the snapshots,
    // never over the published copy.
    std::string intakePath(const Pgn& game) const;
    // Keeps the copy at intakePath as the snapshot taken in now. A text equal to the newest
    // snapshot is not kept again: that position has stood since the earlier time. Returns
    // false when the copy could not be kept.
    bool keep(const Pgn& game) const;
    // The game's snapshots, oldest first.
    std::vector<Snapshot> snapshots(const Pgn& game) const;
    // The newest snapshot that is at least the delay old, if any; older ones are removed.
    std::optional<Snapshot> due(const Pgn& game) const;
    // Removes every snapshot of the game.
    void forget(const Pgn& game) const;

    // The directory in which the converter is given the pages' input.
    std::string converterDir() const { return m_root + "convert/"; }

private:
    std::string gameDir(const Pgn& game) const;

    std::chrono::minutes m_delay;
    DateTime m_now;
    std::string m_root;
};

// The whole content of a file; nothing when it cannot be read.
std::optional<std::string> ReadBytes(const std::string& path);

}  // namespace korvane
