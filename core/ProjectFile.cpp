#include "core/ProjectFile.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/FileUtils.h"
#include "core/MessageLog.h"
#include "core/ProgramState.h"
#include "core/TextUtils.h"

namespace fs = std::filesystem;

namespace korvane {

namespace {

constexpr std::string_view kFirstLine = "%Korvane project 1";
constexpr std::string_view kLastLine = "%end";
constexpr std::string_view kGameLine = "[game]";

// '%', CR and LF as %XX, so every value is one line and any byte comes back unchanged.
std::string escape(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '%' || c == '\r' || c == '\n') {
            static const char* hex = "0123456789ABCDEF";
            out += '%';
            out += hex[static_cast<unsigned char>(c) >> 4];
            out += hex[static_cast<unsigned char>(c) & 15];
        } else {
            out += c;
        }
    }
    return out;
}

bool unescape(std::string_view value, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            out += value[i];
            continue;
        }
        unsigned code = 0;
        if (i + 2 >= value.size()) {
            return false;
        }
        const auto [end, ec] =
            std::from_chars(value.data() + i + 1, value.data() + i + 3, code, 16);
        if (ec != std::errc() || end != value.data() + i + 3) {
            return false;
        }
        out += static_cast<char>(code);
        i += 2;
    }
    return true;
}

std::string flag(bool value) {
    return value ? "True" : "False";
}

bool readFlag(std::string_view text, bool& out) {
    if (text != "True" && text != "False") {
        return false;
    }
    out = text == "True";
    return true;
}

bool readTime(std::string_view text, std::optional<FileTime>& out) {
    if (text.empty()) {
        out.reset();
        return true;
    }
    FileTime::rep ticks = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), ticks);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    out = FileTime(FileTime::duration(ticks));
    return true;
}

// Applies one key=value line of a game; false for a bad value. Unknown keys are skipped,
// so a later version can add some.
bool applyGameValue(ProjectGame& game, std::string_view key, std::string_view raw) {
    std::string value;
    if (!unescape(raw, value)) {
        return false;
    }
    if (key == "Key") {
        game.key = value;
    } else if (key == "PathSource") {
        game.pathSource = value;
    } else if (key == "PathTemp") {
        game.pathTemp = value;
    } else if (key == "PathFinal") {
        game.pathFinal = value;
    } else if (key == "NameHtml") {
        game.nameHtml = value;
    } else if (key == "bUseFinal") {
        return readFlag(value, game.useFinal);
    } else if (key == "bSleep") {
        return readFlag(value, game.sleep);
    } else if (key == "LastTime") {
        return readTime(value, game.lastTime);
    }
    return true;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool complete = end != std::string_view::npos;
        if (!complete) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (complete) {
            lines.push_back(line);
        }  // an unfinished last line is a cut file; leaving it out makes %end missing
        start = end + 1;
    }
    return lines;
}

bool checkGames(const Project& project, std::size_t announced, std::string& why) {
    if (project.games.size() != announced) {
        why = "it lists " + std::to_string(project.games.size()) + " games instead of " +
              std::to_string(announced);
        return false;
    }
    std::set<std::string> keys;
    for (const ProjectGame& game : project.games) {
        if (game.key.empty() || game.pathSource.empty()) {
            why = "a game has no source file";
            return false;
        }
        if (!keys.insert(ToLower(game.key)).second) {
            why = game.key + " is listed twice";
            return false;
        }
    }
    return true;
}

}  // namespace

Project CurrentProject(const ProgramState& state) {
    Project project;
    project.monitoring = state.monitoringStarted;
    for (const Pgn& game : state.monitorList) {
        project.games.push_back({game.Key, game.PathSource, game.PathTemp, game.PathFinal,
                                 game.NameHtml, game.bUseFinal(), game.bSleep, game.LastTime});
    }
    return project;
}

std::string ProjectText(const Project& project) {
    std::string text = std::string(kFirstLine) + kCrLf;
    text += "monitoring=" + flag(project.monitoring) + kCrLf;
    text += "games=" + std::to_string(project.games.size()) + kCrLf;
    for (const ProjectGame& game : project.games) {
        text += std::string(kGameLine) + kCrLf;
        text += "Key=" + escape(game.key) + kCrLf;
        text += "PathSource=" + escape(game.pathSource) + kCrLf;
        text += "PathTemp=" + escape(game.pathTemp) + kCrLf;
        text += "PathFinal=" + escape(game.pathFinal) + kCrLf;
        text += "NameHtml=" + escape(game.nameHtml) + kCrLf;
        text += "bUseFinal=" + flag(game.useFinal) + kCrLf;
        text += "bSleep=" + flag(game.sleep) + kCrLf;
        text += "LastTime=" +
                (game.lastTime ? std::to_string(game.lastTime->time_since_epoch().count())
                               : std::string()) +
                kCrLf;
    }
    return text + std::string(kLastLine) + kCrLf;
}

bool ParseProject(std::string_view text, Project& project, std::string& why) {
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty() || lines.front() != kFirstLine) {
        why = "it is not a Korvane project file";
        return false;
    }
    if (lines.back() != kLastLine) {
        why = "it is cut short";
        return false;
    }
    project = Project{};
    std::size_t announced = 0;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line == kGameLine) {
            project.games.emplace_back();
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) {
            why = "line " + std::to_string(i + 1) + " is no setting";
            return false;
        }
        const std::string_view key = line.substr(0, eq);
        const std::string_view value = line.substr(eq + 1);
        bool ok = true;
        if (!project.games.empty()) {
            ok = applyGameValue(project.games.back(), key, value);
        } else if (key == "monitoring") {
            ok = readFlag(value, project.monitoring);
        } else if (key == "games") {
            const auto [end, ec] =
                std::from_chars(value.data(), value.data() + value.size(), announced);
            ok = ec == std::errc() && end == value.data() + value.size();
        }
        if (!ok) {
            why = "line " + std::to_string(i + 1) + " has a bad value";
            return false;
        }
    }
    return checkGames(project, announced, why);
}

void SaveProject(ProgramState& state) {
    if (state.programDir.empty()) {
        return;
    }
    const std::string text = ProjectText(CurrentProject(state));
    if (text == state.savedProjectText) {
        return;
    }
    const std::string path = WithTrailingSep(state.programDir) + kProjectFileName;
    if (const std::error_code error = WriteFileAtomically(path, text)) {
        if (!state.projectSaveFailed) {
            LogEvent(state, "The project could not be saved in " + path + ": " + error.message() +
                                ". A restart will not offer to resume it.");
        }
        state.projectSaveFailed = true;
        return;
    }
    state.projectSaveFailed = false;
    state.savedProjectText = text;
}

std::optional<Project> ReadProjectFile(ProgramState& state) {
    const std::string dir = WithTrailingSep(state.programDir);
    const std::string path = dir + kProjectFileName;
    std::error_code ec;
    if (state.programDir.empty() || !fs::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    Project project;
    std::string why;
    if (in && ParseProject(bytes.str(), project, why)) {
        state.savedProjectText = bytes.str();
        return project;
    }
    if (why.empty()) {
        why = "it cannot be read";
    }
    fs::rename(path, dir + kDamagedProjectFileName, ec);
    state.ui.messageBox(
        "The last project cannot be resumed: " + path + " " + why + "." + kCrLf +
            "Korvane starts without it" +
            (ec ? std::string(".") : " and has kept it as " + dir + kDamagedProjectFileName + "."),
        "Resume Project", Buttons::Ok, Icon::Exclamation);
    return std::nullopt;
}

}  // namespace korvane
