#pragma once
// The PGN reader's working parts: one object reads one file.

#include <string>
#include <string_view>
#include <vector>

#include "chess/PgnReader.h"
#include "chess/PgnTokens.h"
#include "chess/Position.h"
#include "chess/San.h"

namespace chess::pgn {

// Reads one file; every method that can meet a fault returns false after setting the error.
class PgnParser {
public:
    PgnParser(std::string text, std::string_view fileName, PgnFile& out, PgnError& error,
              bool fenPerMove = true)
        : m_text(std::move(text)),
          m_file(fileName),
          m_out(out),
          m_error(error),
          m_fenPerMove(fenPerMove) {}

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

    static constexpr size_t kMaxVariationDepth = 200;

    bool parseGame();
    bool parseTags(PgnGame& game);
    bool parseTag(PgnGame& game);
    bool setUpStart(const PgnGame& game, Position& start);
    bool parseMoveText(PgnGame& game);
    Step readComment(PgnGame& game);
    Step stripMoveNumber(std::string_view& word, size_t at);
    Step handleWord(PgnGame& game, std::string_view word, size_t at);
    Step playMove(std::string_view word, const SanSyntax& syntax, int nag, size_t at);
    Step openVariation(size_t at);
    Step closeVariation(size_t at);
    void addComment(PgnGame& game, std::string text);
    bool failUnclosedVariation();

    void skipBlanks();
    size_t lineOf(size_t at);
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
    bool m_fenPerMove = true;     // fill MoveNode::fenAfter
    size_t m_linesCountedTo = 0;  // lineOf counts on from here: its positions only grow
    size_t m_lineAtCount = 1;
};

}  // namespace chess::pgn
