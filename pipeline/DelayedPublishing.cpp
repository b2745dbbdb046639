#include "pipeline/DelayedPublishing.h"

#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/Pgn.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"
#include "pipeline/DelayStore.h"

namespace fs = std::filesystem;

namespace korvane {

namespace {

constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";

// Tags that say nothing about the moves played: the event, the players, the start position.
constexpr std::array<const char*, 19> kTagsBeforeTheMoves = {
    "Event",       "Site",        "Date",       "EventDate", "Round",    "Board",     "White",
    "Black",       "WhiteTitle",  "BlackTitle", "WhiteElo",  "BlackElo", "WhiteTeam", "BlackTeam",
    "WhiteFideId", "BlackFideId", "SetUp",      "FEN",       "Variant"};

bool tagBeforeTheMoves(const std::string& name) {
    for (const char* kept : kTagsBeforeTheMoves) {
        if (EqualsNoCase(name, kept)) {
            return true;
        }
    }
    return false;
}

// The name of a tag line "[Name "value"]"; empty when the line is no tag.
std::string tagName(const std::string& line) {
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] != '[') {
        return {};
    }
    const auto end = line.find_first_of(" \t\"]", first + 1);
    // "[%clk ...]" at the start of a line of move text is a comment's command, not a tag.
    if (end == std::string::npos || end == first + 1 ||
        !std::isalnum(static_cast<unsigned char>(line[first + 1]))) {
        return {};
    }
    return line.substr(first + 1, end - first - 1);
}

std::string clockText(std::chrono::seconds span) {
    const long total = std::max(0L, static_cast<long>(span.count()));
    const long hours = total / 3600;
    const long minutes = total / 60 % 60;
    const long seconds = total % 60;
    std::string text = hours > 0 ? std::to_string(hours) + ":" : "";
    text += (hours > 0 && minutes < 10 ? "0" : "") + std::to_string(minutes) + ":";
    return text + (seconds < 10 ? "0" : "") + std::to_string(seconds);
}

std::chrono::seconds secondsOf(DateTime::duration span) {
    return std::chrono::ceil<std::chrono::seconds>(span);
}

// Writes text over a published copy; a failure has been shown and leaves the old copy.
bool publishCopy(ProgramState& state, const std::string& path, const std::string& text) {
    SaveFile(state, path, text, false, true);
    const bool written = !state.bError;
    state.bError = false;
    return written;
}

}  // namespace

std::string IntakeTarget(const ProgramState& state, const Pgn& game) {
    const DelayStore store(state);
    return store.on() ? store.intakePath(game) : game.PathTemp;
}

bool HoldBackTakenIn(ProgramState& state, Pgn& game) {
    const DelayStore store(state);
    if (!store.on()) {
        return false;
    }
    if (!store.keep(game)) {
        // Not taken in after all: the next scan copies the board again.
        game.LastTime.reset();
        LogEvent(state, "Could not keep the delayed copy of " + game.PathSource + ".");
        state.ui.raiseAlarm();
    }
    return true;
}

bool PublishDueSnapshot(ProgramState& state, Pgn& game) {
    const DelayStore store(state);
    if (!store.on()) {
        // A delay just switched off: the intake of this scan publishes the board as it is.
        // The snapshots go, or a delay set again would move the pages back to them.
        if (!store.snapshots(game).empty()) {
            store.forget(game);
            game.LastTime.reset();
        }
        return false;
    }
    const std::optional<Snapshot> due = store.due(game);
    if (!due) {
        return false;
    }
    const std::optional<std::string> text = ReadBytes(due->path);
    const bool again = !game.LastTime || state.bForceConversion;
    if (!text || (!again && ReadBytes(game.PathTemp) == text)) {
        return false;
    }
    return publishCopy(state, game.PathTemp, *text);
}

void HoldBackLiveCopies(ProgramState& state, Pgn& game) {
    const DelayStore store(state);
    if (!store.on()) {
        return;
    }
    std::optional<std::string> text;
    if (const std::optional<Snapshot> due = store.due(game)) {
        text = ReadBytes(due->path);
    }
    if (!text) {
        text = GamesWithoutMoves(ReadBytes(game.PathTemp).value_or(""));
    }
    publishCopy(state, game.PathTemp, *text);
    publishCopy(state, state.backupDir + game.Key, *text);
    game.LastTime.reset();
}

std::string ConverterInput(const ProgramState& state, const std::string& path) {
    const DelayStore store(state);
    const std::optional<std::string> bytes = store.on() ? ReadBytes(path) : std::nullopt;
    if (!bytes) {
        return path;
    }
    const std::string text = DelayNoted(state, *bytes);

    std::error_code ec;
    fs::create_directories(store.converterDir(), ec);
    const std::string input = store.converterDir() + FileNameOf(path);
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return out ? input : path;
}

std::string DelayNoted(const ProgramState& state, const std::string& text) {
    const DelayStore store(state);
    if (!store.on()) {
        return text;
    }
    // A byte-order mark stays in front, where readers look for it.
    const std::size_t head = text.rfind(kUtf8Bom, 0) == 0 ? 3 : 0;
    const std::string directive = "%vis3 delay, " + std::to_string(store.delay().count()) + kCrLf;
    std::string noted = text;
    noted.insert(head, directive);
    return noted;
}

std::string PublicLagText(const ProgramState& state, const Pgn& game) {
    const DelayStore store(state);
    const std::vector<Snapshot> kept = store.on() ? store.snapshots(game) : std::vector<Snapshot>{};
    if (kept.empty()) {
        return {};
    }
    const DateTime cutoff = store.now() - store.delay();
    std::size_t due = kept.size();
    while (due > 0 && kept[due - 1].takenIn > cutoff) {
        --due;
    }
    if (due == 0) {
        return "public in " + clockText(secondsOf(kept.front().takenIn - cutoff));
    }
    if (due == kept.size()) {
        return "public up to date";
    }
    // The board left the public position when the next snapshot was taken in.
    return "public " + clockText(secondsOf(store.now() - kept[due].takenIn)) + " behind";
}

std::string GamesWithoutMoves(const std::string& text) {
    std::string games;
    std::string tags;
    bool inTags = false;
    // Ends the tag section of one game: its tags, no moves, result "*".
    auto endGame = [&]() {
        games += (games.empty() ? "" : kCrLf) + tags + kCrLf + "*" + kCrLf;
        tags.clear();
        inTags = false;
    };
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        start = end;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        const std::string name = tagName(line);
        if (name.empty()) {
            if (inTags) {
                endGame();
            }
            continue;
        }
        inTags = true;
        if (EqualsNoCase(name, "Result")) {
            tags += std::string("[Result \"*\"]") + kCrLf;
        } else if (tagBeforeTheMoves(name)) {
            tags += line + kCrLf;
        }
    }
    if (inTags) {
        endGame();
    }
    return games;
}

}  // namespace korvane
