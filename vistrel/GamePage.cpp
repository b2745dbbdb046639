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

// Writes the moves of one line as PGN-like text ("12.Nf3 Nc6"), with comments, clock and
// evaluation data, NAGs and variations as elements between them. The page script replays
// the moves from the start position, so no move carries a position of its own: a page
// stays small however long the game, and without a script it still reads as a game score.
class MoveListWriter {
public:
    MoveListWriter(std::string& out, bool clocks) : m_out(out), m_clocks(clocks) {}

    void writeLine(const chess::Line& line) {
        bool needNumber = true;  // a black move shows "12..." at a line start or after text
        for (const chess::MoveNode& move : line.moves) {
            for (const auto& comment : move.commentsBefore) {
                needNumber = this->comment(comment) || needNumber;
            }
            this->move(move, needNumber);
            needNumber = false;
            for (const auto& comment : move.commentsAfter) {
                needNumber = this->comment(comment) || needNumber;
            }
            for (const auto& variation : move.variations) {
                m_out += "<div class=\"var\">";
                writeLine(variation);
                m_out += "</div>";
                needNumber = true;
            }
        }
    }

    // Returns whether anything but clock or evaluation data was written: such data between
    // the two moves of a pair does not interrupt the move numbering.
    bool comment(const std::string& text) {
        const auto parts = page::splitComment(text);
        if (!parts.text.empty()) {
            m_out += "<span class=\"cmt\">" + page::escaped(parts.text) + "</span>";
        }
        if (!parts.eval.empty()) {
            m_out += "<span class=\"eval\">" + page::escaped(parts.eval) + "</span>";
        }
        if (!parts.clock.empty() && m_clocks) {
            m_out += "<span class=\"clk\">" + page::escaped(parts.clock) + "</span>";
        }
        for (const auto& other : parts.others) {
            m_out += "<span class=\"cmd\">" + page::escaped(other) + "</span>";
        }
        return !parts.text.empty() || !parts.others.empty();
    }

private:
    void move(const chess::MoveNode& move, bool needNumber) {
        m_out += ' ';
        if (move.white || needNumber) {
            m_out += std::to_string(move.moveNumber) + (move.white ? "." : "...");
        }
        appendEscaped(m_out, move.san);
        for (const int nag : move.nags) {
            m_out += "<span class=\"nag\" data-n=\"" + std::to_string(nag) + "\">";
            appendEscaped(m_out, page::nagSymbol(nag));
            m_out += "</span>";
        }
    }

    std::string& m_out;
    bool m_clocks;
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

void appendInfo(std::string& out, const chess::PgnGame& game, const std::string& result) {
    out += "<div class=\"info\">";
    const auto item = [&](const std::string& prefix, const std::string& value) {
        if (!value.empty() && value != "?" && value.find("??") == std::string::npos) {
            out += "<span class=\"item\">" + page::escaped(prefix + value) + "</span>";
        }
    };
    item("", game.tag("Event"));
    item("", game.tag("Site"));
    item("Round ", game.tag("Round"));
    item("", game.tag("Date"));
    if (result == "*") {
        out += "<span class=\"live-mark\">live</span>";
    } else {
        out += "<span class=\"result\">" + page::escaped(result) + "</span>";
    }
    out += "</div>";
}

void appendMoveList(std::string& out, const chess::PgnGame& game, const std::string& result,
                    bool clocks) {
    out += "<div class=\"moves\">";
    MoveListWriter writer(out, clocks);
    for (const auto& comment : game.initialComments) {
        writer.comment(comment);
    }
    out += "<div class=\"line\">";
    writer.writeLine(game.mainLine);
    out += " <span class=\"res\">" + page::escaped(result) + "</span></div></div>";
}

// The tag section as PGN: the spectator's download starts with it, the script reads the
// clocks' time control from it, and without a script it tells a game shown in brief.
void appendTagSection(std::string& out, const chess::PgnGame& game) {
    out += "<pre class=\"tags\">";
    for (const auto& [name, value] : game.tags) {
        std::string quoted;
        for (const char c : value) {
            if (c == '"' || c == '\\') {
                quoted += '\\';
            }
            quoted += c;
        }
        page::appendText(out, "[" + name + " \"" + quoted + "\"]\n");
    }
    out += "</pre>";
}

// The first game is written in full. Every other game of a file is written in brief, so that
// a file of many games gives a page that grows with their moves: its tag section, its final
// position as a text diagram and its moves. The script builds its players, board and
// clocks from these when the game is chosen.
void appendGame(std::string& out, const chess::PgnGame& game, std::size_t index, const PageIni& ini,
                bool several) {
    const std::string number = std::to_string(index + 1);
    const std::string result = page::effectiveResult(game);
    const std::string startFen = game.startFen.empty() ? page::kStartFen : game.startFen;
    const auto& moves = game.mainLine.moves;
    const std::string finalFen = page::finalFen(game);
    const bool full = index == 0;

    out += std::string("<section class=\"game") + (full ? " active" : " brief") + "\" id=\"game-" +
           number + "\" data-live=\"" + (result == "*" ? "1" : "0") + "\"";
    if (startFen != page::kStartFen) {
        out += " data-start-fen=\"" + page::escaped(startFen) + "\"";
    }
    if (several) {  // the heading and tab title follow the game chosen from the list
        out += " data-title=\"";
        appendEscaped(out, page::pageTitle(ini.title, &game, page::gameLabel(game, index + 1)));
        out += "\"";
    }
    // Without any [%clk] comment the tag clocks belong to the current, last position.
    if (ini.clocks && !hasClockComments(game)) {
        const Clocks tags = page::tagClocks(game);
        if (!tags.white.empty() || !tags.black.empty()) {
            out += " data-wc=\"" + page::escaped(tags.white) + "\" data-bc=\"" +
                   page::escaped(tags.black) + "\"";
        }
    }
    out += ">";
    appendTagSection(out, game);
    if (full) {
        const Clocks shown = page::finalClocks(game);
        appendInfo(out, game, result);
        out += "<div class=\"play\"><div class=\"boardcol\">";
        page::appendPlayer(out, game, false, shown.black, ini.clocks);
        page::appendBoard(out, finalFen, moves.empty() ? std::string() : moves.back().uci, "",
                          page::positionLabel(game));
        page::appendPlayer(out, game, true, shown.white, ini.clocks);
        out += "</div>";  // boardcol
        appendMoveList(out, game, result, ini.clocks);
        out += "</div>";
    } else {
        page::appendTextBoard(out, finalFen);
        appendMoveList(out, game, result, ini.clocks);
    }
    out += "</section>\n";
}

bool lineHasEval(const chess::Line& line) {
    for (const auto& move : line.moves) {
        for (const auto& comment : move.commentsAfter) {
            if (comment.find("[%eval") != std::string::npos) {
                return true;
            }
        }
        for (const auto& variation : move.variations) {
            if (lineHasEval(variation)) {
                return true;
            }
        }
    }
    return false;
}

page::Scripts scriptsFor(const chess::PgnFile& file, const PageIni& ini, bool live) {
    page::Scripts scripts{true, false, false, live};
    for (const auto& game : file.games) {
        const Clocks tags = page::tagClocks(game);
        scripts.clocks =
            scripts.clocks ||
            (ini.clocks && (hasClockComments(game) || !tags.white.empty() || !tags.black.empty()));
        scripts.evals = scripts.evals || lineHasEval(game.mainLine);
    }
    return scripts;
}

}  // namespace

std::string renderGamePage(const chess::PgnFile& file, const PageIni& ini) {
    const std::string title = page::pageTitle(ini.title, file, "Chess game");
    const bool live = page::anyLive(file);
    std::string out = "<main id=\"kv-content\">\n";
    appendDelayNote(out, delayMinutes(file.escapeLines));
    if (file.games.size() > 1) {
        out += "<nav class=\"gamelist\"><details><summary>Games (" +
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
        appendGame(out, file.games[i], i, ini, file.games.size() > 1);
    }
    out += "</main>\n";
    std::string html;
    html.reserve(out.size() + 30000);
    page::appendHead(html, page::PageKind::Game, title, ini, live,
                     "class=\"kv-game-page\" data-refresh=\"" + std::to_string(ini.refreshSeconds) +
                         "\" data-start=\"" +
                         (ini.start == StartPosition::First ? "first" : "last") +
                         (ini.coordinates ? "\" data-coords=\"1" : "") +
                         (ini.clocks ? "\" data-clocks=\"1" : "") + "\" data-v=\"" +
                         page::digest(out) + "\" data-made=\"" + page::madeAt() + "\"",
                     ini.overviewPage);
    html += out;
    page::appendTail(html, scriptsFor(file, ini, live));
    return html;
}

}  // namespace vistrel
