// The overview page: one card per game of the overview pgn with a small board of its
// current position, the players and clocks, the result or a live mark, the last move,
// a link to the game's own page and a mark on the games that are down.

#include "vistrel/OverviewPage.h"

#include <cctype>

#include "vistrel/DelayNote.h"
#include "vistrel/GamePageParts.h"
#include "vistrel/Page.h"

namespace vistrel {

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

// "2, Down" gives true with n = 2. A number that names no game (0, or one past the
// list) still makes a down line, never a page name that would shift the links.
bool downNumber(const std::string& rest, std::size_t& n) {
    const auto comma = rest.find(',');
    if (comma == std::string::npos) {
        return false;
    }
    const std::string number = trimmed(rest.substr(0, comma));
    const std::string word = trimmed(rest.substr(comma + 1));
    if (number.empty() || !startsWithNoCase(word, "down") || word.size() != 4) {
        return false;
    }
    n = 0;
    for (const char c : number) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        n = n < 1000000 ? n * 10 + static_cast<std::size_t>(c - '0') : n;
    }
    return true;
}

void appendCard(std::string& out, const chess::PgnGame& game, std::size_t number,
                const OverviewDirectives& directives, const PageIni& ini) {
    const std::string result = page::effectiveResult(game);
    const bool down = directives.down.count(number) != 0;
    const std::string link =
        number <= directives.pages.size() && isLocalPageName(directives.pages[number - 1])
            ? page::urlEncoded(directives.pages[number - 1])
            : "";
    const auto& moves = game.mainLine.moves;
    const std::string fen = page::finalFen(game);
    const page::Clocks clocks = page::finalClocks(game);

    out += std::string("<article class=\"card") + (down ? " down" : "") + "\" id=\"ov-" +
           std::to_string(number) + "\" data-live=\"" + (result == "*" ? "1" : "0") + "\">";
    out += "<div class=\"head\"><span class=\"num\">Game " + std::to_string(number) + "</span>";
    if (down) {  // its result or live mark would be stale
        out += "<span class=\"down-mark\" title=\"This game is not being updated\">down</span>";
    } else {
        out += result == "*" ? "<span class=\"live-mark\">live</span>"
                             : "<span class=\"result\">" + page::escaped(result) + "</span>";
    }
    out += "</div>";
    page::appendPlayer(out, game, false, clocks.black, ini.clocks);
    if (!link.empty()) {
        out += "<a class=\"boardlink\" href=\"" + link + "\">";
    }
    page::appendBoard(out, fen, moves.empty() ? std::string() : moves.back().uci, "small",
                      page::positionLabel(game));
    if (!link.empty()) {
        out += "</a>";
    }
    page::appendPlayer(out, game, true, clocks.white, ini.clocks);
    out += "<div class=\"last\">";
    out += moves.empty() ? "No moves yet"
                         : "Last move: " + page::escaped(page::moveLabel(moves.back()));
    out += "</div>";
    if (!link.empty()) {
        out += "<a class=\"open\" href=\"" + link + "\">Open game</a>";
    }
    out += "</article>\n";
}

// The tags the title of the whole overview may use: each tag with the value all games
// share. Games of one round often differ in a sub-number ("5.1", "5.2"): then the part
// before the first "." that they share stands for them; a tag they do not share is left out,
// rather than game 1's value passing for everyone's.
chess::PgnFile sharedTags(const chess::PgnFile& file) {
    chess::PgnGame shared;
    if (file.games.empty()) {
        return chess::PgnFile{{shared}, {}};
    }
    for (const auto& [name, value] : file.games.front().tags) {
        std::string common = value;
        for (const auto& game : file.games) {
            const std::string other = game.tag(name);
            if (other == common || other.rfind(common + ".", 0) == 0) {
                continue;
            }
            const std::string head = common.substr(0, common.find('.'));
            common = !head.empty() && (other == head || other.rfind(head + ".", 0) == 0)
                         ? head
                         : std::string();
        }
        if (!common.empty()) {
            shared.tags.emplace_back(name, common);
        }
    }
    return chess::PgnFile{{shared}, {}};
}

}  // namespace

OverviewDirectives parseDirectives(const std::vector<std::string>& escapeLines) {
    static const std::string prefix = "vis3 over,";
    OverviewDirectives directives;
    for (const auto& line : escapeLines) {
        if (!startsWithNoCase(line, prefix)) {
            continue;
        }
        const std::string rest = trimmed(line.substr(prefix.size()));
        if (std::size_t n = 0; downNumber(rest, n)) {
            if (n > 0) {
                directives.down.insert(n);
            }
        } else if (!rest.empty()) {
            directives.pages.push_back(rest);
            directives.pageLines.push_back(static_cast<std::size_t>(&line - escapeLines.data()));
        }
    }
    return directives;
}

bool isLocalPageName(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find("//") != std::string::npos) {
        return false;
    }
    // A scheme: letters, digits, "+", "-" or "." before the first ":".
    const auto colon = name.find(':');
    if (colon != std::string::npos &&
        name.find_first_not_of(
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.") >= colon) {
        return false;
    }
    // ".." as a step of the path, between separators or at either end.
    for (std::size_t at = name.find(".."); at != std::string::npos; at = name.find("..", at + 1)) {
        const bool startsStep = at == 0 || name[at - 1] == '/' || name[at - 1] == '\\';
        const bool endsStep = at + 2 == name.size() || name[at + 2] == '/' || name[at + 2] == '\\';
        if (startsStep && endsStep) {
            return false;
        }
    }
    return true;
}

std::string checkPageLinks(const chess::PgnFile& file, const std::string& fileName) {
    const OverviewDirectives directives = parseDirectives(file.escapeLines);
    for (std::size_t k = 0; k < directives.pages.size(); ++k) {
        if (isLocalPageName(directives.pages[k])) {
            continue;
        }
        const std::size_t index = directives.pageLines[k];
        std::string where = fileName;
        if (index < file.escapeLineNumbers.size()) {
            where += ", line " + std::to_string(file.escapeLineNumbers[index]);
        }
        return where + " (%" + file.escapeLines[index] + "): the link \"" + directives.pages[k] +
               "\" is not the name of a page on this site (no address, no \"//\", no \"..\" and "
               "no \"/\" at the start)";
    }
    return {};
}

std::string renderOverviewPage(const chess::PgnFile& file, const PageIni& ini) {
    const OverviewDirectives directives = parseDirectives(file.escapeLines);
    const std::string title = page::pageTitle(ini.title, sharedTags(file), "All games");
    const bool live = page::anyLive(file);
    std::string out = "<main id=\"kv-content\">";
    appendDelayNote(out, delayMinutes(file.escapeLines));
    out += "<div class=\"grid\">\n";
    for (std::size_t i = 0; i < file.games.size() && out.size() <= kMaxPageBytes; ++i) {
        appendCard(out, file.games[i], i + 1, directives, ini);
    }
    out += "</div></main>\n";
    std::string html;
    html.reserve(out.size() + 30000);
    page::appendHead(html, page::PageKind::Overview, title, ini, live,
                     "class=\"kv-overview-page\" data-refresh=\"" +
                         std::to_string(ini.refreshSeconds) + "\" data-v=\"" + page::digest(out) +
                         "\"");
    html += out;
    page::appendTail(html, page::Scripts{false, false, false, live});
    return html;
}

}  // namespace vistrel
