#include "pipeline/DelayStore.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/FileUtils.h"
#include "core/Pgn.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"

namespace fs = std::filesystem;

namespace korvane {

namespace {

using std::chrono::milliseconds;

constexpr const char* kIntakeName = ".intake";
constexpr const char* kSnapshotExtension = ".pgn";
constexpr std::size_t kStampDigits = 16;

// "0001796567400000.pgn": milliseconds since the epoch, padded so names sort by time.
std::string snapshotName(DateTime takenIn) {
    const auto ms = std::chrono::duration_cast<milliseconds>(takenIn.time_since_epoch()).count();
    std::string digits = std::to_string(ms);
    digits.insert(0, kStampDigits > digits.size() ? kStampDigits - digits.size() : 0, '0');
    return digits + kSnapshotExtension;
}

std::optional<DateTime> takenInOf(const fs::path& file) {
    const std::string stem = file.stem().string();
    if (file.extension() != kSnapshotExtension || stem.size() != kStampDigits ||
        !std::all_of(stem.begin(), stem.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        return std::nullopt;
    }
    return DateTime(milliseconds(std::stoll(stem)));
}

}  // namespace

std::optional<std::string> ReadBytes(const std::string& path) {
    std::string bytes;
    if (ReadWholeFile(path, bytes)) {
        return std::nullopt;
    }
    return bytes;
}

DelayStore::DelayStore(const ProgramState& state)
    : m_delay(std::max(state.settings.lpubDelay, 0L)),
      m_now(state.clock.now()),
      m_root(
          WithTrailingSep(state.delayDir.empty() ? state.programDir + "delay" : state.delayDir)) {}

std::string DelayStore::gameDir(const Pgn& game) const {
    return m_root + "games" + kSep + ToLower(game.Key) + kSep;
}

std::string DelayStore::intakePath(const Pgn& game) const {
    std::error_code ec;
    fs::create_directories(gameDir(game), ec);
    return gameDir(game) + kIntakeName;
}

bool DelayStore::keep(const Pgn& game) const {
    const std::string staged = intakePath(game);
    const std::optional<std::string> bytes = ReadBytes(staged);
    if (!bytes) {
        return false;
    }
    const std::vector<Snapshot> kept = snapshots(game);
    std::error_code ec;
    if (!kept.empty() && ReadBytes(kept.back().path) == bytes) {
        fs::remove(staged, ec);
        return true;
    }
    // Rounded up, so a snapshot never counts as older than it is. Names stay in the order
    // of intake even if the system clock is set back: such a snapshot then waits longer.
    DateTime takenIn = std::chrono::ceil<milliseconds>(m_now);
    if (!kept.empty() && takenIn <= kept.back().takenIn) {
        takenIn = kept.back().takenIn + milliseconds(1);
    }
    // The intake copy was written and flushed whole; renaming it is atomic.
    fs::rename(staged, gameDir(game) + snapshotName(takenIn), ec);
    return !ec;
}

std::vector<Snapshot> DelayStore::snapshots(const Pgn& game) const {
    std::vector<Snapshot> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(gameDir(game), ec)) {
        if (const auto takenIn = takenInOf(entry.path())) {
            found.push_back(Snapshot{*takenIn, entry.path().string()});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const Snapshot& a, const Snapshot& b) { return a.takenIn < b.takenIn; });
    return found;
}

std::optional<Snapshot> DelayStore::due(const Pgn& game) const {
    const std::vector<Snapshot> kept = snapshots(game);
    const DateTime cutoff = m_now - m_delay;
    auto newestDue = std::find_if(kept.rbegin(), kept.rend(),
                                  [cutoff](const Snapshot& s) { return s.takenIn <= cutoff; });
    if (newestDue == kept.rend()) {
        return std::nullopt;
    }
    for (auto older = std::next(newestDue); older != kept.rend(); ++older) {
        std::error_code ec;
        fs::remove(older->path, ec);
    }
    return *newestDue;
}

void DelayStore::forget(const Pgn& game) const {
    std::error_code ec;
    if (fs::exists(gameDir(game), ec)) {
        fs::remove_all(gameDir(game), ec);
    }
}

}  // namespace korvane
