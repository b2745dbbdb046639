#include "vistrel/GamePageParts.h"

#include <cctype>
#include <cstdint>
#include <ctime>

#include "vistrel/Assets.h"

namespace vistrel::page {

void appendEscaped(std::string& out, std::string_view text) {
    for (const char ch : text) {
        switch (ch) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if (static_cast<unsigned char>(ch) < 0x20 && ch != '\n' && ch != '\t') {
                    out += "\xEF\xBF\xBD";
                } else {
                    out += ch;
                }
        }
    }
}

std::string escaped(std::string_view text) {
    std::string out;
    appendEscaped(out, text);
    return out;
}

std::string urlEncoded(std::string_view name) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

void appendText(std::string& out, std::string_view text) {
    for (const char ch : text) {
        if (ch == '&') {
            out += "&amp;";
        } else if (ch == '<') {
            out += "&lt;";
        } else if (ch == '>') {
            out += "&gt;";
        } else {
            out += ch;
        }
    }
}

std::string madeAt() {
    return std::to_string(static_cast<long long>(std::time(nullptr)));
}

std::string nagSymbol(int nag) {
    switch (nag) {
        case 1:
            return "!";
        case 2:
            return "?";
        case 3:
            return "!!";
        case 4:
            return "??";
        case 5:
            return "!?";
        case 6:
            return "?!";
        case 7:
            return "\u25A1";  // only move
        case 10:
            return "=";
        case 13:
            return "\u221E";  // unclear
        case 14:
            return "\u2A72";  // White slightly better
        case 15:
            return "\u2A71";
        case 16:
            return "\u00B1";
        case 17:
            return "\u2213";
        case 18:
            return "+\u2212";
        case 19:
            return "\u2212+";
        case 22:
        case 23:
            return "\u2A00";  // zugzwang
        case 32:
        case 33:
            return "\u27F3";  // development
        case 36:
        case 37:
            return "\u2191";  // initiative
        case 40:
        case 41:
            return "\u2192";  // attack
        case 44:
        case 45:
            return "=\u221E";  // compensation
        case 132:
        case 133:
            return "\u21C6";  // counterplay
        case 138:
        case 139:
            return "\u2295";  // time trouble
        case 140:
            return "\u2206";  // with the idea
        case 146:
            return "N";  // novelty
        default:
            return std::string("$").append(std::to_string(nag));
    }
}

namespace {

std::string collapseBlanks(const std::string& text) {
    std::string out;
    bool blank = false;
    for (const char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            blank = !out.empty();
        } else {
            if (blank) {
                out += ' ';
            }
            blank = false;
            out += c;
        }
    }
    return out;
}

std::string formatEval(std::string args) {
    args = args.substr(0, args.find(','));  // "0.17,23" carries the search depth
    if (!args.empty() && std::isdigit(static_cast<unsigned char>(args[0]))) {
        args = std::string("+").append(args);
    }
    return args;
}

}  // namespace

CommentParts splitComment(const std::string& comment) {
    CommentParts parts;
    std::string text;
    std::size_t pos = 0;
    while (pos < comment.size()) {
        const auto open = comment.find("[%", pos);
        const auto close = open == std::string::npos ? open : comment.find(']', open);
        if (close == std::string::npos) {
            text += comment.substr(pos);
            break;
        }
        text += comment.substr(pos, open - pos);
        text += ' ';
        const std::string command = collapseBlanks(comment.substr(open + 2, close - open - 2));
        const auto space = command.find(' ');
        const std::string name = command.substr(0, space);
        const std::string args = space == std::string::npos ? "" : command.substr(space + 1);
        if (name == "clk") {
            parts.clock = args;
        } else if (name == "eval") {
            parts.eval = formatEval(args);
        } else if (name != "csl" && name != "cal") {  // square and arrow marks: board drawing
            parts.others.push_back(command);
        }
        pos = close + 1;
    }
    parts.text = collapseBlanks(text);
    return parts;
}

Clocks tagClocks(const chess::PgnGame& game) {
    Clocks clocks{game.tag("WhiteClock"), game.tag("BlackClock")};
    const std::string clock = game.tag("Clock");
    if (clock.size() > 2 && clock[1] == '/') {
        if ((clock[0] == 'W' || clock[0] == 'w') && clocks.white.empty()) {
            clocks.white = clock.substr(2);
        } else if ((clock[0] == 'B' || clock[0] == 'b') && clocks.black.empty()) {
            clocks.black = clock.substr(2);
        }
    }
    return clocks;
}

Clocks finalClocks(const chess::PgnGame& game) {
    Clocks clocks;
    for (const auto& move : game.mainLine.moves) {
        for (const auto& comment : move.commentsAfter) {
            const auto parts = splitComment(comment);
            if (!parts.clock.empty()) {
                (move.white ? clocks.white : clocks.black) = parts.clock;
            }
        }
    }
    if (clocks.white.empty() && clocks.black.empty()) {
        return tagClocks(game);
    }
    return clocks;
}

std::string effectiveResult(const chess::PgnGame& game) {
    if (!game.result.empty()) {
        return game.result;
    }
    const std::string tag = game.tag("Result");
    return tag == "1-0" || tag == "0-1" || tag == "1/2-1/2" ? tag : "*";
}

namespace {

bool known(const std::string& value) {
    return !value.empty() && value != "?" && value != "-" && value != "0";
}

}  // namespace

void appendPlayer(std::string& out, const chess::PgnGame& game, bool white,
                  const std::string& clock, bool withClock) {
    const std::string side = white ? "White" : "Black";
    const std::string name = game.tag(side);
    out += white ? "<div class=\"player w\">" : "<div class=\"player b\">";
    out += "<span class=\"name\">";
    appendEscaped(out, known(name) ? name : "?");
    out += "</span>";
    if (const std::string title = game.tag(side + "Title"); known(title)) {
        out += "<span class=\"title\">" + escaped(title) + "</span>";
    }
    if (const std::string elo = game.tag(side + "Elo"); known(elo)) {
        out += "<span class=\"elo\">" + escaped(elo) + "</span>";
    }
    if (withClock) {
        out += "<span class=\"clock\">";
        appendEscaped(out, clock);
        out += "</span>";
    }
    out += "</div>";
}

std::string gameLabel(const chess::PgnGame& game, std::size_t number) {
    const std::string white = game.tag("White");
    const std::string black = game.tag("Black");
    if (known(white) || known(black)) {
        return (known(white) ? white : "?") + " - " + (known(black) ? black : "?");
    }
    const std::string event = game.tag("Event");
    return known(event) ? event : "Game " + std::to_string(number);
}

std::string moveLabel(const chess::MoveNode& move) {
    return std::to_string(move.moveNumber) + (move.white ? ". " : "... ") + move.san;
}

std::string pageTitle(const std::string& pattern, const chess::PgnGame* game,
                      const std::string& fallback) {
    const std::string title = expandTitle(pattern, game);
    return title.empty() || title == "-" ? fallback : title;
}

std::string pageTitle(const std::string& pattern, const chess::PgnFile& file,
                      const std::string& fallback) {
    return pageTitle(pattern, file.games.empty() ? nullptr : &file.games.front(), fallback);
}

bool anyLive(const chess::PgnFile& file) {
    for (const auto& game : file.games) {
        if (effectiveResult(game) == "*") {
            return true;
        }
    }
    return false;
}

std::string expandTitle(const std::string& pattern, const chess::PgnGame* game) {
    std::string out;
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const auto open = pattern.find('{', pos);
        const auto close = open == std::string::npos ? open : pattern.find('}', open);
        if (close == std::string::npos) {
            out += pattern.substr(pos);
            break;
        }
        out += pattern.substr(pos, open - pos);
        if (game != nullptr) {
            // "?" and "????.??.??" stand for an unknown value: nothing to show.
            const std::string value = game->tag(pattern.substr(open + 1, close - open - 1));
            if (value.find_first_not_of("?.") != std::string::npos) {
                out += value;
            }
        }
        pos = close + 1;
    }
    out = collapseBlanks(out);
    const char* dangling = " -,:;|";
    const auto first = out.find_first_not_of(dangling);
    return first == std::string::npos
               ? std::string()
               : out.substr(first, out.find_last_not_of(dangling) - first + 1);
}

std::string digest(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;  // 64-bit FNV-1a
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    static const char* hex = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) {
        out[static_cast<std::size_t>(i)] = hex[hash & 15];
    }
    return out;
}

void appendHead(std::string& out, PageKind kind, const std::string& title, const PageIni& ini,
                bool live, const std::string& bodyAttributes, const std::string& navLink) {
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    // An empty inline icon, so that browsers do not ask the server for /favicon.ico.
    out += "<link rel=\"icon\" href=\"data:,\">\n";
    if (live && ini.refreshSeconds > 0) {
        // Without a script the page can only follow a game by reloading itself.
        out += "<noscript><meta http-equiv=\"refresh\" content=\"" +
               std::to_string(ini.refreshSeconds) + "\"></noscript>\n";
    }
    out += "<title>";
    appendEscaped(out, title);
    out += "</title>\n<script>document.documentElement.className='js'</script>\n<style>\n";
    out += ":root{--light:" + ini.lightColour + ";--dark:" + ini.darkColour +
           ";--lastmove:" + ini.lastMoveColour;
    out += kind == PageKind::Game ? ";--board:" + std::to_string(ini.boardSize) + "px}\n"
                                  : ";--small:" + std::to_string(ini.smallBoardSize) +
                                        "px;--per-row:" + std::to_string(ini.boardsPerRow) + "}\n";
    out += assets::kPageCss;
    out += kind == PageKind::Game ? assets::kGameCss : assets::kOverviewCss;
    out += "</style>\n</head>\n<body " + bodyAttributes + ">\n";
    out += "<header class=\"top\"><h1 id=\"kv-title\">";
    appendEscaped(out, title);
    out += "</h1>";
    if (!navLink.empty()) {
        out += "<a class=\"allgames\" href=\"" + urlEncoded(navLink) + "\">All games</a>";
    }
    out += "</header>\n";
}

void appendTail(std::string& out, const Scripts& scripts) {
    out += "<script>\n";
    if (scripts.game) {
        out += assets::kCoreJs;
        out += scripts.clocks ? assets::kClocksJs : "";
        out += scripts.evals ? assets::kEvalsJs : "";
        out += assets::kPageJs;
    }
    // A page whose games are all over never refreshes: it needs no refresh code.
    if (scripts.refresh) {
        out += assets::kRefreshJs;
    }
    out += "</script>\n</body>\n</html>\n";
}

}  // namespace vistrel::page
