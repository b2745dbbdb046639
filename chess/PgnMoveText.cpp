// Reading the move text of a game: moves, comments, NAGs, variations and the result.

#include "chess/PgnParser.h"

#include <cctype>
#include <string>

#include "chess/PgnTokens.h"

namespace chess::pgn {

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
    // Reading, writing and freeing a move tree recurse once per level: a file nested
    // thousands deep would overflow the stack. Real annotation stays far below this.
    if (m_stack.size() > kMaxVariationDepth) {
        return failStep(at, "the variation opened " + afterLastMove() + " is nested more than " +
                                std::to_string(kMaxVariationDepth) + " deep");
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

// Drops a move number ("12.", "12...", or "12" alone) from the front of word; a move may
// follow it without a blank ("1.e4").
PgnParser::Step PgnParser::stripMoveNumber(std::string_view& word, size_t at) {
    const bool castling = word.substr(0, 3) == "0-0" || word.substr(0, 3) == "O-O";
    if (castling || !std::isdigit(static_cast<unsigned char>(word[0]))) {
        return Step::Continue;
    }
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
    word.remove_prefix(i);
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
    if (stripMoveNumber(word, at) == Step::Failed) {
        return Step::Failed;
    }
    if (word.empty()) {
        return Step::Continue;
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
    if (m_fenPerMove) {
        node.fenAfter = f.pos.fen();
    }
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

}  // namespace chess::pgn
