// Reading a file game by game: tags, start position, and the messages for faults.

#include "chess/PgnParser.h"

#include <algorithm>
#include <unordered_set>

#include "chess/PgnTokens.h"

namespace chess::pgn {

void PgnParser::skipToNextGame() {
    const size_t next = m_text.find("\n[", std::max(m_errorAt, m_gameStart));
    m_pos = next == std::string::npos ? m_text.size() : next + 1;
    m_stack.clear();
    m_game = nullptr;
}

// True when an open variation is still open where the game ends: then a fault inside it
// most likely comes from the missing ")" (the main line read as part of the variation).
bool PgnParser::variationNeverCloses() const {
    int depth = 0;
    for (size_t i = m_stack[1].openedAt; i < m_text.size(); ++i) {
        const char ch = m_text[i];
        if (ch == '{') {
            i = m_text.find('}', i);
            if (i == std::string::npos) {
                break;
            }
        } else if (ch == '(') {
            ++depth;
        } else if (ch == ')' && --depth == 0) {
            return false;
        } else if (ch == '[' && m_text[i - 1] == '\n') {
            break;
        }
    }
    return true;
}

void PgnParser::skipBlanks() {
    while (m_pos < m_text.size()) {
        const char ch = m_text[m_pos];
        if (ch == '%' && (m_pos == 0 || m_text[m_pos - 1] == '\n')) {
            // An escape line: kept for whoever reads the file, not part of any game.
            size_t eol = m_text.find('\n', m_pos);
            if (eol == std::string::npos) {
                eol = m_text.size();
            }
            m_out.escapeLines.push_back(m_text.substr(m_pos + 1, eol - m_pos - 1));
            m_out.escapeLineNumbers.push_back(lineOf(m_pos));
            m_pos = eol;
        } else if (isBlank(ch)) {
            ++m_pos;
        } else if (ch == '\xC2' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\xA0') {
            m_pos += 2;  // no-break space
        } else {
            return;
        }
    }
}

// The line number of position at, counted on from the last position asked for.
size_t PgnParser::lineOf(size_t at) {
    m_lineAtCount +=
        static_cast<size_t>(std::count(m_text.begin() + static_cast<long>(m_linesCountedTo),
                                       m_text.begin() + static_cast<long>(at), '\n'));
    m_linesCountedTo = at;
    return m_lineAtCount;
}

bool PgnParser::onlyGameEndFollows(size_t from) const {
    while (from < m_text.size() && isBlank(m_text[from])) {
        ++from;
    }
    return from >= m_text.size() || m_text[from] == '[';
}

bool PgnParser::fail(size_t at, const std::string& what) {
    if (m_stack.size() > 1 && !m_reportingVariation && variationNeverCloses()) {
        m_reportingVariation = true;
        failUnclosedVariation();
        m_reportingVariation = false;
        return false;
    }
    m_errorAt = at;
    const long line = std::count(m_text.begin(), m_text.begin() + static_cast<long>(at), '\n') + 1;
    m_error.message = m_file + ", line " + std::to_string(line) + ": " + what;
    if (m_game != nullptr) {
        m_error.message += " in game " + std::to_string(m_gameNumber);
        const std::string who = players(*m_game);
        if (!who.empty()) {
            m_error.message += ", " + who;
        }
    }
    return false;
}

// "White - Black" of the game being read; tags not read yet are looked up in the rest of
// its tag section, so a fault in an early tag still names the players.
std::string PgnParser::players(const PgnGame& game) const {
    std::string white = game.tag("White"), black = game.tag("Black");
    size_t at = m_gameStart;
    while ((white.empty() || black.empty()) && at < m_text.size()) {
        size_t eol = m_text.find('\n', at);
        if (eol == std::string::npos) {
            eol = m_text.size();
        }
        const std::string line = trimmed(std::string_view(m_text).substr(at, eol - at));
        if (!line.empty() && line[0] != '[') {
            break;
        }
        for (auto [prefix, target] : {std::pair{"[White \"", &white}, {"[Black \"", &black}}) {
            const std::string_view p(prefix);
            if (target->empty() && line.compare(0, p.size(), p) == 0) {
                const size_t close = line.find('"', p.size());
                *target = line.substr(
                    p.size(), close == std::string::npos ? std::string::npos : close - p.size());
            }
        }
        at = eol + 1;
    }
    if (white.empty() && black.empty()) {
        return {};
    }
    return (white.empty() ? "?" : white) + " - " + (black.empty() ? "?" : black);
}

bool PgnParser::parseGame() {
    PgnGame game;
    m_game = &game;
    ++m_gameNumber;
    m_gameStart = m_pos;
    m_lastMove.clear();
    if (!parseTags(game)) {
        return false;
    }
    Position start;
    if (!setUpStart(game, start)) {
        return false;
    }
    game.startFen = start.fen();
    m_stack.clear();
    m_stack.push_back(Frame{&game.mainLine, start, start, {}, 0, {}});
    if (!parseMoveText(game)) {
        return false;
    }
    game.finalFen = m_stack.front().pos.fen();
    m_stack.clear();
    m_game = nullptr;
    // Without tags and moves there is no game: stray comments or results between games
    // (a file of nothing but "*") would each cost the page a board.
    if (!game.tags.empty() || !game.mainLine.moves.empty()) {
        m_out.games.push_back(std::move(game));
    } else {
        --m_gameNumber;
    }
    return true;
}

std::string PgnParser::tagPeek() const {
    size_t i = m_pos + 1;
    while (i < m_text.size() && (m_text[i] == ' ' || m_text[i] == '\t')) {
        ++i;
    }
    const size_t start = i;
    while (i < m_text.size() && !isBlank(m_text[i]) && m_text[i] != '"' && m_text[i] != ']') {
        ++i;
    }
    return m_text.substr(start, i - start);
}

bool PgnParser::parseTags(PgnGame& game) {
    // Names seen so far, kept aside: a scan of the tag list for each new tag made a file
    // with tens of thousands of tags take many seconds.
    std::unordered_set<std::string> names;
    for (;;) {
        skipBlanks();
        if (m_pos >= m_text.size() || m_text[m_pos] != '[') {
            return true;
        }
        // A tag the game already has begins the next game: files of tags without move
        // text have nothing else between their games.
        const std::string name = tagPeek();
        if (!name.empty() && names.count(name) != 0) {
            return true;
        }
        if (!parseTag(game)) {
            return false;
        }
        names.insert(game.tags.back().first);
    }
}

bool PgnParser::parseTag(PgnGame& game) {
    const size_t at = m_pos;
    size_t eol = m_text.find('\n', at);
    if (eol == std::string::npos) {
        eol = m_text.size();
    }
    const std::string_view line = std::string_view(m_text).substr(at, eol - at);
    const std::string shown = "tag " + trimmed(line);
    const std::string name = tagPeek();
    if (name.empty()) {
        return fail(at, shown + " has no name");
    }
    size_t i = line.find(name) + name.size();
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    if (i >= line.size() || line[i] != '"') {
        return fail(at, line.find(']') == std::string_view::npos
                            ? shown + " has no closing \"]\""
                            : shown + " has no value in quotes");
    }
    const size_t open = i++;
    std::string value;
    while (i < line.size() && line[i] != '"') {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
            ++i;
        }
        value += line[i++];
    }
    if (i < line.size()) {
        ++i;  // the closing quote
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    if (i < line.size() && line[i] == ']') {
        m_pos = at + i + 1;
    } else {
        // Some programs double the quotes ([White ""Name""]): then the value runs from the
        // first quote to the last one before the closing bracket.
        const size_t close = line.rfind(']');
        if (close == std::string_view::npos) {
            return fail(at, shown + " has no closing \"]\"");
        }
        size_t last = close;
        while (last > open && (line[last - 1] == ' ' || line[last - 1] == '\t')) {
            --last;
        }
        if (last <= open + 1 || line[last - 1] != '"') {
            return fail(at, shown + " is not of the form [Name \"value\"]");
        }
        value = line.substr(open + 1, last - 1 - open - 1);
        m_pos = at + close + 1;
    }
    game.tags.emplace_back(name, std::move(value));
    return true;
}

bool PgnParser::setUpStart(const PgnGame& game, Position& start) {
    const std::string variant = lowered(game.tag("Variant"));
    if (!variant.empty() && variant != "standard" && variant != "chess" &&
        variant != "from position" && variant != "normal") {
        return fail(m_gameStart, "the variant \"" + game.tag("Variant") +
                                     "\" is not supported (only standard chess is)");
    }
    const std::string fen = game.tag("FEN");
    if (fen.empty()) {
        if (game.tag("SetUp") == "1") {
            return fail(m_gameStart,
                        "the SetUp tag asks for a start position but there is no FEN tag");
        }
        return true;
    }
    std::string why;
    if (!start.setFen(fen, why)) {
        return fail(m_gameStart, "bad FEN \"" + fen + "\" (" + why + ")");
    }
    return true;
}

}  // namespace chess::pgn
