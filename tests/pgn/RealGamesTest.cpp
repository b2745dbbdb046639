// Real games, several cut points each: the first k plies, annotated as an operator would
// (glyphs, comments, some on their own line, variations) and wrapped at 79 characters, are
// the edited game; the whole game is the source. The merge must give the edited text up to
// its last move plus exactly the source's continuation: every comment kept, no move
// repeated or lost.

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "pgn/MoveMerge.h"
#include "pgn/TagsToChange.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

struct Token {
    enum Kind { Number, San, Comment, Variation, Glyph, Result } kind;
    std::size_t begin, end;
};

// A plain reading of PGN move text, independent of the code under test.
std::vector<Token> Tokenize(const std::string& t, std::size_t i) {
    std::vector<Token> out;
    auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (i < t.size()) {
        const std::size_t b = i;
        Token::Kind kind = Token::San;
        if (isSpace(t[i])) {
            ++i;
            continue;
        } else if (t[i] == '{') {
            kind = Token::Comment, i = t.find('}', i) + 1;
        } else if (t[i] == '(') {
            kind = Token::Variation;
            for (int depth = 0; i < t.size() && (t[i] != ')' || --depth > 0); ++i) {
                depth += t[i] == '(';
            }
            ++i;
        } else if (t.compare(i, 3, "1-0") == 0 || t.compare(i, 3, "0-1") == 0 ||
                   t.compare(i, 7, "1/2-1/2") == 0 || t[i] == '*') {
            kind = Token::Result, i = t.find_first_of(" \r\n", i);
        } else if (std::isdigit(static_cast<unsigned char>(t[i]))) {
            kind = Token::Number, i = t.find_first_not_of("0123456789.", i);
        } else {
            kind = std::strchr("$!?", t[i]) ? Token::Glyph : Token::San;
            while (++i < t.size() && !isSpace(t[i]) && !std::strchr("{($!?", t[i])) {
            }
        }
        i = std::min(i, t.size());
        out.push_back({kind, b, i});
    }
    return out;
}

struct Ply {
    const Token* number = nullptr;
    const Token* san = nullptr;
    std::vector<const Token*> comments;
};

struct Game {
    std::string text, eol;
    std::vector<std::string> tags;
    std::size_t moveText = 0;
    std::vector<Token> tokens;
    std::vector<Ply> plies;

    std::string of(const Token* t) const { return text.substr(t->begin, t->end - t->begin); }
    std::vector<std::string> sans(const std::string& s) const {
        std::vector<std::string> out;
        for (const Token& t : Tokenize(s, s.find("\n1.")))
            if (t.kind == Token::San)
                out.push_back(s.substr(t.begin, t.end - t.begin));
        return out;
    }
};

// The games of a data file; with crlf, LF line ends are turned into CR LF first, as
// board software on Windows writes them.
std::vector<Game> ReadGames(const std::string& file, bool crlf) {
    std::string all = test::readFile(std::string(KORVANE_TEST_DATA) + "/merge/" + file);
    for (std::size_t at = all.find('\n'); crlf && at != std::string::npos;
         at = all.find('\n', at + 2))
        all.insert(at, "\r");
    std::vector<Game> games;
    for (std::size_t at = all.find("[Event "); at != std::string::npos;) {
        const std::size_t next = all.find("\n[Event ", at);
        Game g;
        g.text = all.substr(at, next == std::string::npos ? next : next + 1 - at);
        g.eol = g.text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
        g.moveText = g.text.find(g.eol + g.eol);
        for (std::size_t b = 0; b < g.moveText; b = g.text.find(g.eol, b) + g.eol.size())
            g.tags.push_back(g.text.substr(b, g.text.find(g.eol, b) - b));
        g.tokens = Tokenize(g.text, g.moveText);
        const Token* number = nullptr;
        for (const Token& t : g.tokens) {
            if (t.kind == Token::Number)
                number = &t;
            if (t.kind == Token::San)
                g.plies.push_back({std::exchange(number, nullptr), &t, {}});
            if (t.kind == Token::Comment)
                g.plies.back().comments.push_back(&t);
        }
        games.push_back(std::move(g));
        at = next == std::string::npos ? next : next + 1;
    }
    return games;
}

// Words joined by blanks into lines of at most 79 characters; "\n" forces a line break.
std::string Wrap(const std::vector<std::string>& units, const std::string& eol) {
    std::string out, line;
    auto flush = [&] {
        if (!line.empty())
            out += (out.empty() ? "" : eol) + line, line.clear();
    };
    for (const std::string& unit : units) {
        if (unit == "\n") {
            flush();
            continue;
        }
        for (std::size_t b = 0, e; b <= unit.size(); b = e + 1) {
            e = std::min(unit.find(' ', b), unit.size());
            const std::string word = unit.substr(b, e - b);
            if (!line.empty() && line.size() + 1 + word.size() > 79)
                flush();
            line += (line.empty() ? "" : " ") + word;
        }
    }
    flush();
    return out;
}

struct Edited {
    std::string text, kept;  // kept: the text before the point the merge replaces
    bool notesAfterLast = false;
};

Edited MakeEdited(const Game& g, std::size_t k, unsigned seed) {
    static const char* const glyphs[] = {"!", "?!", " $14", "!! $18"};
    Edited e;
    std::vector<std::string> units;
    for (std::size_t i = 0; i < k; ++i) {
        const Ply& ply = g.plies[i];
        const unsigned r = (seed + static_cast<unsigned>(i) * 2654435761u) >> 8;
        std::string unit = ply.number ? g.of(ply.number) : "";
        if (ply.number && ply.number->end != ply.san->begin)
            unit += " ";
        units.push_back(unit + g.of(ply.san) + (r % 5 == 0 ? glyphs[r / 5 % 4] : ""));
        for (const Token* c : ply.comments)
            units.push_back(g.of(c));
        const bool note = r % 7 == 1, ownLine = r / 7 % 2 == 1, variation = r % 11 == 2;
        if (note) {
            if (ownLine)
                units.push_back("\n");
            units.push_back("{Note-" + std::to_string(i) + ": after 3. Nf3 (or Bb5) e5!}");
            if (ownLine)
                units.push_back("\n");
        }
        if (variation)
            units.push_back("(" + std::to_string(i / 2 + 1) + (i % 2 ? "... a6" : ". a3") + " h6)");
        e.notesAfterLast = !ply.comments.empty() || note || variation;
    }
    std::string header;
    for (const std::string& tag : g.tags)
        header += (tag.rfind("[Result ", 0) == 0 ? "[Result \"*\"]" : tag) + g.eol;
    e.kept = header + g.eol + Wrap(units, g.eol);
    e.text = e.kept + (k % 3 ? " *" + g.eol : g.eol + "*" + g.eol);
    return e;
}

// The merge's result as the contract describes it: the source tags (Result refreshed, the
// others equal), the kept text, one blank, and the source from where the game continues.
std::string Expected(const Game& g, const Edited& e, std::size_t k) {
    const Ply& last = g.plies[k - 1];
    std::size_t from = last.san->end;
    if (k % 2 == 0 && k < g.plies.size()) {
        from = g.plies[k].number->begin;
    } else if (e.notesAfterLast && !last.comments.empty()) {
        from = last.comments.back()->end;
    }
    std::string header;
    for (const std::string& tag : g.tags)
        header += (header.empty() ? "" : "\r\n") + tag;
    const std::string moves = e.kept.substr(e.kept.find(g.eol + g.eol));
    return header + moves + (moves.back() == ' ' ? "" : " ") + g.text.substr(from);
}

struct Corpus {
    const char* name;
    const char* file;
    bool crlf;
};
void PrintTo(const Corpus& c, std::ostream* os) {
    *os << c.name;
}

class RealGames : public testing::TestWithParam<Corpus> {};

TEST_P(RealGames, MergeAppendsExactlyTheContinuation) {
    const std::vector<Game> games = ReadGames(GetParam().file, GetParam().crlf);
    ASSERT_GT(games.size(), 10u);
    int merges = 0;
    for (std::size_t gi = 0; gi < games.size(); ++gi) {
        const Game& g = games[gi];
        const std::size_t n = g.plies.size();
        for (std::size_t k : {std::size_t{1}, std::size_t{2}, n / 3, n / 2, n / 2 + 1, n - 1, n}) {
            if (k < 1 || k > n)
                continue;
            SCOPED_TRACE(std::string(GetParam().name) + " game " + std::to_string(gi + 1) + ", " +
                         std::to_string(k) + " plies");
            const Edited e = MakeEdited(g, k, static_cast<unsigned>(gi * 7919 + k));
            const MergeOutcome out = MergeNewMoves(e.text, g.text, DefaultTagsToChange(), "e.pgn");
            ASSERT_FALSE(out.error.has_value()) << *out.error << "\n" << e.text;
            ASSERT_EQ(out.merged, Expected(g, e, k)) << e.text;
            ++merges;
        }
    }
    EXPECT_GT(merges, static_cast<int>(games.size()) * 4);
}

// A broadcast as it happens: the source grows by one to three plies at a time, each
// update is merged into the previous result, and the operator now and then adds a comment
// behind the last move, sometimes on its own line. In the end every move and every clock
// comment stands exactly once.
TEST_P(RealGames, RepeatedUpdatesKeepEveryMoveAndCommentOnce) {
    const std::vector<Game> games = ReadGames(GetParam().file, GetParam().crlf);
    for (std::size_t gi = 0; gi < games.size(); gi += 4) {
        const Game& g = games[gi];
        SCOPED_TRACE(std::string(GetParam().name) + " game " + std::to_string(gi + 1));
        std::string edited = g.text.substr(0, g.moveText) + g.eol + g.eol + "*" + g.eol;
        std::vector<std::string> notes;
        for (std::size_t k = 1; k <= g.plies.size(); k += 1 + k % 3) {
            const Ply& p = g.plies[k - 1];
            const Token* end = p.comments.empty() ? p.san : p.comments.back();
            const std::string source = g.text.substr(0, end->end) + " *" + g.eol;
            const MergeOutcome out = MergeNewMoves(edited, source, DefaultTagsToChange(), "e.pgn");
            ASSERT_FALSE(out.error.has_value()) << *out.error << "\n" << edited;
            edited = out.merged;
            if (k % 4 == 1) {
                notes.push_back("{Op-" + std::to_string(k) + ":");
                edited.insert(edited.rfind(" *"),
                              (k % 8 == 1 ? g.eol : " ") + notes.back() + " idea}");
            }
        }
        const MergeOutcome out = MergeNewMoves(edited, g.text, DefaultTagsToChange(), "e.pgn");
        ASSERT_FALSE(out.error.has_value()) << *out.error;
        ASSERT_EQ(g.sans(out.merged), g.sans(g.text)) << out.merged;
        auto count = [](const std::string& s, const std::string& what) {
            std::size_t n = 0;
            for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
                ++n;
            return n;
        };
        ASSERT_EQ(count(out.merged, "[%clk"), count(g.text, "[%clk")) << out.merged;
        for (const std::string& note : notes)
            ASSERT_EQ(count(out.merged, note), 1u) << note;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, RealGames,
                         testing::Values(Corpus{"gnuchess", "gnuchess-book-selection.pgn", false},
                                         Corpus{"wcc", "wcc-selection.pgn", false},
                                         Corpus{"round5", "round5-snapshot3.pgn", false},
                                         Corpus{"round5crlf", "round5-snapshot3.pgn", true}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace korvane
