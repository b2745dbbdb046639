#include "chess/PgnReader.h"

#include <algorithm>
#include <cctype>

#include "chess/Position.h"
#include "chess/San.h"
#include "chess/TextEncoding.h"

namespace chess {

namespace {

struct Glyph {
    std::string_view text;
    int nag;
};

// Annotation glyphs written as text instead of "$n", with their NAG numbers.
constexpr Glyph kGlyphs[] = {{"!", 1},       {"?", 2},    {"!!", 3},      {"??", 4},
                             {"!?", 5},      {"?!", 6},   {"\u25A1", 7},  {"=", 10},
                             {"\u221E", 13}, {"+=", 14},  {"\u2A72", 14}, {"=+", 15},
                             {"\u2A71", 15}, {"+/-", 16}, {"\u00B1", 16}, {"-/+", 17},
                             {"\u2213", 17}, {"+-", 18},  {"-+", 19}};

int glyphNag(std::string_view word) {
    for (const Glyph& g : kGlyphs) {
        if (g.text == word) {
            return g.nag;
        }
    }
    return 0;
}

bool resultOf(std::string_view word, std::string& result) {
    if (word == "1-0" || word == "0-1" || word == "1/2-1/2" || word == "*") {
        result = word;
        return true;
    }
    if (word == "\u00BD-\u00BD") {
        result = "1/2-1/2";
        return true;
    }
    return false;
}

bool isResultPrefix(std::string_view word) {
    for (std::string_view r : {"1-0", "0-1", "1/2-1/2"}) {
        if (word.size() >= 2 && word.size() < r.size() && r.substr(0, word.size()) == word) {
            return true;
        }
    }
    return false;
}

bool isNullMove(std::string_view word) {
    return word == "--" || word == "Z0" || word == "0000" || word == "@@@@" || word == "<>";
}

// Blank as the C locale sees it, without the call.
bool isBlank(char ch) {
    return ch == ' ' || ch == '\n' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f';
}

bool isWordEnd(char ch) {
    return isBlank(ch) || ch == '{' || ch == '}' || ch == '(' || ch == ')' || ch == '[' ||
           ch == ']' || ch == ';' || ch == '$' || ch == '*';
}

std::string trimmed(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b])) {
        ++b;
    }
    while (e > b && isBlank(text[e - 1])) {
        --e;
    }
    return std::string(text.substr(b, e - b));
}

std::string lowered(std::string text) {
    for (char& ch : text) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return text;
}

std::string moveNumberText(int number, bool white) {
    return std::to_string(number) + (white ? ". " : "... ");
}

std::string labelOf(const MoveNode& node) {
    return moveNumberText(node.moveNumber, node.white) + node.san;
}

// Reads one file; every method that can meet a fault returns false after setting the error.
class PgnParser {
public:
    PgnParser(std::string text, std::string_view fileName, PgnFile& out, PgnError& error)
        : m_text(std::move(text)), m_file(fileName), m_out(out), m_error(error) {}

    // With faults, a faulty game is recorded there and skipped; without, it ends the run.
    bool run(std::vector<PgnError>* faults = nullptr) {
        for (;;) {
            skipBlanks();
            if (m_pos >= m_text.size()) {
                break;
            }
            if (!parseGame()) {
                if (faults == nullptr) {
                    return false;
                }
                faults->push_back(m_error);
                skipToNextGame();
            }
        }
        if (m_out.games.empty()) {
            m_error.message = m_file + ": there is no game in the file";
            return false;
        }
        return true;
    }

private:
    // One line of moves being read: the main line or an open variation.
    struct Frame {
        Line* line;
        Position pos;     // after the line's last move
        Position before;  // before the line's last move: where a variation of it starts
        std::vector<std::string> pendingComments;  // comments before a variation's first move
        size_t openedAt = 0;
        std::string openedAfter;
    };

    enum class Step { Continue, GameOver, Failed };

    bool parseGame();
    bool parseTags(PgnGame& game);
    bool parseTag(PgnGame& game);
    bool setUpStart(const PgnGame& game, Position& start);
    bool parseMoveText(PgnGame& game);
    Step readComment(PgnGame& game);
    Step handleWord(PgnGame& game, std::string_view word, size_t at);
    Step playMove(std::string_view word, const SanSyntax& syntax, int nag, size_t at);
    Step openVariation(size_t at);
    Step closeVariation(size_t at);
    void addComment(PgnGame& game, std::string text);
    bool failUnclosedVariation();

    void skipBlanks();
    void skipToNextGame();
    bool variationNeverCloses() const;
    bool onlyGameEndFollows(size_t from) const;
    std::string tagPeek() const;
    std::string players(const PgnGame& game) const;
    bool fail(size_t at, const std::string& what);
    Step failStep(size_t at, const std::string& what) {
        fail(at, what);
        return Step::Failed;
    }
    std::string afterLastMove() const {
        return m_lastMove.empty()
                   ? "before the first move"
                   : "after " + moveNumberText(m_lastMoveNumber, m_lastMoveWhite) + m_lastMove;
    }

    std::string m_text;
    size_t m_pos = 0;
    std::string m_file;
    PgnFile& m_out;
    PgnError& m_error;
    const PgnGame* m_game = nullptr;
    size_t m_gameStart = 0;
    std::vector<Frame> m_stack;
    std::string m_lastMove;  // SAN of the last move read, for messages
    int m_lastMoveNumber = 0;
    bool m_lastMoveWhite = true;
    size_t m_errorAt = 0;
    int m_gameNumber = 0;  // of the game being read, counting faulty games too
    bool m_reportingVariation = false;
};

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
    m_stack.clear();
    m_game = nullptr;
    // Stray comments between games make no game of their own.
    if (!game.tags.empty() || !game.mainLine.moves.empty() || !game.result.empty()) {
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
    for (;;) {
        skipBlanks();
        if (m_pos >= m_text.size() || m_text[m_pos] != '[') {
            return true;
        }
        // A tag the game already has begins the next game: files of tags without move
        // text have nothing else between their games.
        const std::string name = tagPeek();
        if (!name.empty() && !game.tag(name).empty()) {
            return true;
        }
        if (!parseTag(game)) {
            return false;
        }
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

bool PgnParser::failUnclosedVariation() {
    const Frame& open = m_stack[1];
    return fail(open.openedAt,
                "the variation opened after " + open.openedAfter + " is never closed");
}

bool PgnParser::parseMoveText(PgnGame& game) {
    for (;;) {
        skipBlanks();
        if (m_pos >= m_text.size() || m_text[m_pos] == '[') {
            return m_stack.size() > 1 ? failUnclosedVariation() : true;
        }
        const size_t at = m_pos;
        const char ch = m_text[at];
        Step step = Step::Continue;
        if (ch == '{' || ch == ';') {
            step = readComment(game);
        } else if (ch == '(') {
            step = openVariation(at);
        } else if (ch == ')') {
            step = closeVariation(at);
        } else if (ch == '$') {
            size_t end = at + 1;
            while (end < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[end]))) {
                ++end;
            }
            if (end == at + 1 || end - at > 4) {
                return fail(at, "unknown text \"" + m_text.substr(at, end - at + 1) + "\" " +
                                    afterLastMove());
            }
            const Frame& f = m_stack.back();
            if (!f.line->moves.empty()) {
                f.line->moves.back().nags.push_back(std::stoi(m_text.substr(at + 1, end - at - 1)));
            }
            m_pos = end;
        } else {
            size_t end = at;
            while (end < m_text.size() && !isWordEnd(m_text[end])) {
                ++end;
            }
            if (end == at) {
                end = at + 1;  // "*" or a stray "}" / "]"
            }
            m_pos = end;
            step = handleWord(game, std::string_view(m_text).substr(at, end - at), at);
        }
        if (step == Step::Failed) {
            return false;
        }
        if (step == Step::GameOver) {
            return true;
        }
    }
}

PgnParser::Step PgnParser::readComment(PgnGame& game) {
    const size_t at = m_pos;
    if (m_text[at] == ';') {
        size_t eol = m_text.find('\n', at);
        if (eol == std::string::npos) {
            eol = m_text.size();
        }
        addComment(game, trimmed(std::string_view(m_text).substr(at + 1, eol - at - 1)));
        m_pos = eol;
        return Step::Continue;
    }
    const size_t close = m_text.find('}', at + 1);
    if (close == std::string::npos) {
        return failStep(at, "the comment opened " + afterLastMove() + " is never closed");
    }
    addComment(game, trimmed(std::string_view(m_text).substr(at + 1, close - at - 1)));
    m_pos = close + 1;
    return Step::Continue;
}

void PgnParser::addComment(PgnGame& game, std::string text) {
    Frame& f = m_stack.back();
    if (!f.line->moves.empty()) {
        f.line->moves.back().commentsAfter.push_back(std::move(text));
    } else if (m_stack.size() == 1) {
        game.initialComments.push_back(std::move(text));
    } else {
        f.pendingComments.push_back(std::move(text));
    }
}

PgnParser::Step PgnParser::openVariation(size_t at) {
    Frame& parent = m_stack.back();
    if (parent.line->moves.empty()) {
        return failStep(at, "a variation \"(\" stands " + afterLastMove() +
                                " where there is no move it could replace");
    }
    MoveNode& replaced = parent.line->moves.back();
    Frame child{&replaced.variations.emplace_back(),
                parent.before,
                parent.before,
                {},
                at,
                labelOf(replaced)};
    m_stack.push_back(std::move(child));
    ++m_pos;
    return Step::Continue;
}

PgnParser::Step PgnParser::closeVariation(size_t at) {
    if (m_stack.size() == 1) {
        return failStep(at, "\")\" " + afterLastMove() + " closes no variation");
    }
    const bool empty = m_stack.back().line->moves.empty();
    m_stack.pop_back();
    if (empty) {
        m_stack.back().line->moves.back().variations.pop_back();
    }
    ++m_pos;
    return Step::Continue;
}

PgnParser::Step PgnParser::handleWord(PgnGame& game, std::string_view word, size_t at) {
    std::string result;
    if (resultOf(word, result)) {
        if (m_stack.size() > 1) {
            failUnclosedVariation();
            return Step::Failed;
        }
        game.result = result;
        return Step::GameOver;
    }
    const bool castling = word.substr(0, 3) == "0-0" || word.substr(0, 3) == "O-O";
    if (!castling && std::isdigit(static_cast<unsigned char>(word[0]))) {
        size_t i = 0;
        while (i < word.size() && std::isdigit(static_cast<unsigned char>(word[i]))) {
            ++i;
        }
        const bool dotted = i < word.size() && word[i] == '.';
        while (i < word.size() && word[i] == '.') {
            ++i;
        }
        if (!dotted && i < word.size()) {
            if (isResultPrefix(word) && onlyGameEndFollows(m_pos)) {
                return failStep(at, "the move text breaks off in the middle of the result \"" +
                                        std::string(word) + "\"");
            }
            return failStep(at, "unknown text \"" + std::string(word) + "\" " + afterLastMove());
        }
        word.remove_prefix(i);  // the move number; a move may follow without a blank
        if (word.empty()) {
            return Step::Continue;
        }
    }
    const Frame& f = m_stack.back();
    // "12... Nxe4": only needed for messages, so only built for them.
    const auto label = [&] {
        return moveNumberText(f.pos.fullMoveNumber(), f.pos.sideToMove() == White) +
               std::string(word);
    };
    if (isNullMove(word)) {
        return failStep(at, "null move " + label() + " is not supported");
    }
    if (const int nag = glyphNag(word); nag != 0) {
        if (!f.line->moves.empty()) {
            f.line->moves.back().nags.push_back(nag);
        }
        return Step::Continue;
    }
    SanSyntax syntax;
    size_t used = 0;
    const SanSyntaxStatus status = parseSanSyntax(word, syntax, used);
    if (status == SanSyntaxStatus::Incomplete) {
        if (onlyGameEndFollows(m_pos)) {
            return failStep(at, "the move text breaks off in the middle of the move " + label());
        }
        return failStep(at, "incomplete move " + label());
    }
    if (status == SanSyntaxStatus::Invalid) {
        return failStep(at, "unknown text \"" + std::string(word) + "\" " + afterLastMove());
    }
    std::string_view rest = word.substr(used);
    while (!rest.empty() && (rest[0] == '+' || rest[0] == '#')) {
        rest.remove_prefix(1);
    }
    const int nag = rest.empty() ? 0 : glyphNag(rest);
    if (!rest.empty() && nag == 0) {
        return failStep(at, "unknown text \"" + std::string(word) + "\" " + afterLastMove());
    }
    return playMove(word, syntax, nag, at);
}

PgnParser::Step PgnParser::playMove(std::string_view word, const SanSyntax& syntax, int nag,
                                    size_t at) {
    Frame& f = m_stack.back();
    Move move{};
    std::string why;
    const SanMatch match = matchSan(f.pos, syntax, move, why);
    if (match != SanMatch::Legal) {
        return failStep(at,
                        (match == SanMatch::Ambiguous ? "ambiguous move " : "illegal move ") +
                            moveNumberText(f.pos.fullMoveNumber(), f.pos.sideToMove() == White) +
                            std::string(word) + " (" + why + ")");
    }
    MoveNode node;
    node.moveNumber = f.pos.fullMoveNumber();
    node.white = f.pos.sideToMove() == White;
    node.san = sanBody(f.pos, move);
    f.before = f.pos;
    f.pos.makeMove(move);
    node.san += checkSuffix(f.pos);
    node.uci = uciText(move);
    node.fenAfter = f.pos.fen();
    if (nag != 0) {
        node.nags.push_back(nag);
    }
    if (f.line->moves.empty()) {
        node.commentsBefore = std::move(f.pendingComments);
        f.pendingComments.clear();
    }
    m_lastMove = node.san;
    m_lastMoveNumber = node.moveNumber;
    m_lastMoveWhite = node.white;
    if (f.line->moves.empty() && m_stack.size() == 1) {
        f.line->moves.reserve(96);  // most games are shorter: one allocation instead of eight
    }
    f.line->moves.push_back(std::move(node));
    return Step::Continue;
}

}  // namespace

bool readPgn(std::string_view bytes, std::string_view fileName, PgnFile& out, PgnError& error) {
    out = PgnFile{};
    PgnParser parser(decodePgnText(bytes), fileName, out, error);
    return parser.run();
}

void readPgnSkippingFaults(std::string_view bytes, std::string_view fileName, PgnFile& out,
                           std::vector<PgnError>& faults) {
    out = PgnFile{};
    PgnError last;
    PgnParser parser(decodePgnText(bytes), fileName, out, last);
    parser.run(&faults);
}

}  // namespace chess
