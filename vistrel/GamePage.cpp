// The game page: every game of the file as a section with its players, board and move
// list, all rendered here so that the page works without a script; page.js adds the
// navigation and the live refresh on top of this markup.

#include <string>

#include "vistrel/DelayNote.h"
#include "vistrel/GamePageParts.h"
#include "vistrel/Page.h"

namespace vistrel {

namespace {

using page::appendEscaped;
using page::Clocks;

// Writes the moves of one line; ids are stable while moves are only appended, so a
// refreshed page can show the same move again.
class MoveListWriter {
public:
    MoveListWriter(std::string& out, bool clocks) : m_out(out), m_clocks(clocks) {}

    // Clocks to show at the last move of the main line instead of those from comments.
    void setFinalClocks(const Clocks& clocks) {
        m_finalClocks = clocks;
        m_hasFinalClocks = true;
    }

    void writeLine(const chess::Line& line, const std::string& idPrefix, Clocks clocks) {
        bool needNumber = true;  // a black move shows "12..." at a line start or after text
        for (std::size_t i = 0; i < line.moves.size(); ++i) {
            const chess::MoveNode& move = line.moves[i];
            for (const auto& comment : move.commentsBefore) {
                needNumber = this->comment(comment) || needNumber;
            }
            const Clocks before = clocks;
            for (const auto& comment : move.commentsAfter) {
                const auto parts = page::splitComment(comment);
                if (!parts.clock.empty()) {
                    (move.white ? clocks.white : clocks.black) = parts.clock;
                }
            }
            const std::string id = idPrefix + std::to_string(i + 1);
            const bool finalMove = m_hasFinalClocks && m_depth == 0 && i + 1 == line.moves.size();
            this->move(move, id, needNumber, finalMove ? m_finalClocks : clocks);
            needNumber = false;
            for (const auto& comment : move.commentsAfter) {
                needNumber = this->comment(comment) || needNumber;
            }
            for (std::size_t v = 0; v < move.variations.size(); ++v) {
                m_out += "<div class=\"var\">";
                ++m_depth;
                writeLine(move.variations[v], id + "v" + std::to_string(v + 1) + "-", before);
                --m_depth;
                m_out += "</div>";
                needNumber = true;
            }
        }
    }

    // Returns whether anything but clock data was written: clock data between the two
    // moves of a pair does not interrupt the move numbering.
    bool comment(const std::string& text) {
        const auto parts = page::splitComment(text);
        if (!parts.text.empty()) {
            m_out += "<span class=\"cmt\">" + page::escaped(parts.text) + "</span>";
        }
        if (!parts.eval.empty()) {
            m_out += "<span class=\"eval\" title=\"evaluation\">" + page::escaped(parts.eval) +
                     "</span>";
        }
        if (!parts.clock.empty() && m_clocks) {
            m_out +=
                "<span class=\"clk\" title=\"clock\">" + page::escaped(parts.clock) + "</span>";
        }
        for (const auto& other : parts.others) {
            m_out += "<span class=\"cmd\">" + page::escaped(other) + "</span>";
        }
        return !parts.text.empty() || !parts.others.empty();
    }

private:
    void move(const chess::MoveNode& move, const std::string& id, bool needNumber,
              const Clocks& clocks) {
        if (move.white || needNumber) {
            m_out += "<span class=\"num\">" + std::to_string(move.moveNumber) +
                     (move.white ? "." : "...") + "</span>";
        }
        m_out += "<span class=\"mv\" id=\"" + id + "\" data-fen=\"";
        appendEscaped(m_out, move.fenAfter);
        m_out += "\" data-uci=\"";
        appendEscaped(m_out, move.uci);
        if (m_clocks) {
            m_out += "\" data-wc=\"";
            appendEscaped(m_out, clocks.white);
            m_out += "\" data-bc=\"";
            appendEscaped(m_out, clocks.black);
        }
        m_out += "\">";
        appendEscaped(m_out, move.san);
        for (const int nag : move.nags) {
            m_out += "<span class=\"nag\">";
            appendEscaped(m_out, page::nagSymbol(nag));
            m_out += "</span>";
        }
        m_out += "</span> ";
    }

    std::string& m_out;
    bool m_clocks;
    int m_depth = 0;  // 0 on the main line
    Clocks m_finalClocks;
    bool m_hasFinalClocks = false;
};

bool hasClockComments(const chess::PgnGame& game) {
    for (const auto& move : game.mainLine.moves) {
        for (const auto& comment : move.commentsAfter) {
            if (comment.find("[%clk") != std::string::npos) {
                return true;
            }
        }
    }
    return false;
}

const char* const kNavigation =
    "<div class=\"nav\">"
    "<button type=\"button\" data-nav=\"first\" title=\"First position\">&laquo;</button>"
    "<button type=\"button\" data-nav=\"prev\" title=\"Previous move\">&lsaquo;</button>"
    "<button type=\"button\" data-nav=\"next\" title=\"Next move\">&rsaquo;</button>"
    "<button type=\"button\" data-nav=\"last\" title=\"Last move\">&raquo;</button>"
    "<button type=\"button\" data-nav=\"flip\" title=\"Flip board\">&#8645;</button>"
    "</div>";

void appendInfo(std::string& out, const chess::PgnGame& game, const std::string& result) {
    out += "<div class=\"info\">";
    const auto item = [&](const char* cls, const std::string& prefix, const std::string& value) {
        if (!value.empty() && value != "?" && value.find("??") == std::string::npos) {
            out += std::string("<span class=\"item ") + cls + "\">" +
                   page::escaped(prefix + value) + "</span>";
        }
    };
    item("event", "", game.tag("Event"));
    item("site", "", game.tag("Site"));
    item("round", "Round ", game.tag("Round"));
    item("date", "", game.tag("Date"));
    if (result == "*") {
        out += "<span class=\"live-mark\">live</span>";
    } else {
        out += "<span class=\"result\">" + page::escaped(result) + "</span>";
    }
    out += "</div>";
}

void appendMoveList(std::string& out, const chess::PgnGame& game, const std::string& number,
                    const std::string& result, bool clocks) {
    out += "<div class=\"moves\">";
    MoveListWriter writer(out, clocks);
    for (const auto& comment : game.initialComments) {
        writer.comment(comment);
    }
    out += "<div class=\"line\">";
    // Without any [%clk] comment the tag clocks belong to the current, last position.
    if (!hasClockComments(game)) {
        writer.setFinalClocks(page::tagClocks(game));
    }
    writer.writeLine(game.mainLine, "g" + number + "-", Clocks{});
    out += "<span class=\"res\">" + page::escaped(result) + "</span></div></div>";
}

void appendGame(std::string& out, const chess::PgnGame& game, std::size_t index,
                const PageIni& ini) {
    const std::string number = std::to_string(index + 1);
    const std::string result = page::effectiveResult(game);
    const std::string startFen = game.startFen.empty() ? page::kStartFen : game.startFen;
    const auto& moves = game.mainLine.moves;
    const Clocks tags = page::tagClocks(game);
    const Clocks shown = page::finalClocks(game);

    out += "<section class=\"game" + std::string(index == 0 ? " active" : "") + "\" id=\"game-" +
           number + "\" data-live=\"" + (result == "*" ? "1" : "0") + "\" data-start-fen=\"";
    appendEscaped(out, startFen);
    if (moves.empty() && ini.clocks) {
        out += "\" data-wc=\"" + page::escaped(tags.white) + "\" data-bc=\"" +
               page::escaped(tags.black);
    }
    out += "\">";
    appendInfo(out, game, result);
    out += "<div class=\"play\"><div class=\"boardcol\">";
    page::appendPlayer(out, game, false, shown.black, ini.clocks);
    page::appendBoard(out, moves.empty() ? startFen : moves.back().fenAfter,
                      moves.empty() ? std::string() : moves.back().uci, ini.coordinates, "");
    page::appendPlayer(out, game, true, shown.white, ini.clocks);
    out += kNavigation;
    out += "</div>";  // boardcol
    appendMoveList(out, game, number, result, ini.clocks);
    out += "</div></section>\n";
}

}  // namespace

std::string renderGamePage(const chess::PgnFile& file, const PageIni& ini) {
    const std::string title = page::pageTitle(ini.title, file, "Chess game");
    const bool live = page::anyLive(file);
    std::string out;
    page::appendHead(out, title, ini, live,
                     "class=\"kv-game-page\" data-refresh=\"" + std::to_string(ini.refreshSeconds) +
                         "\" data-start=\"" +
                         (ini.start == StartPosition::First ? "first" : "last") + "\"");
    out += "<main id=\"kv-content\">\n";
    appendDelayNote(out, delayMinutes(file.escapeLines));
    if (file.games.size() > 1) {
        out += "<nav class=\"gamelist\"><details open><summary>Games (" +
               std::to_string(file.games.size()) + ")</summary><ol>";
        for (std::size_t i = 0; i < file.games.size(); ++i) {
            const auto& game = file.games[i];
            out += "<li><a href=\"#game-" + std::to_string(i + 1) + "\"" +
                   (i == 0 ? " class=\"active\"" : "") + ">";
            appendEscaped(out, page::gameLabel(game, i + 1) + " ");
            const std::string result = page::effectiveResult(game);
            if (result == "*") {
                out += "<span class=\"live-mark\">live</span>";
            } else {
                out += '(';
                appendEscaped(out, result);
                out += ')';
            }
            out += "</a></li>";
        }
        out += "</ol></details></nav>\n";
    }
    for (std::size_t i = 0; i < file.games.size() && out.size() <= kMaxPageBytes; ++i) {
        appendGame(out, file.games[i], i, ini);
    }
    out += "</main>\n";
    page::appendTail(out);
    return out;
}

}  // namespace vistrel
