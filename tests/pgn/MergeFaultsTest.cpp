// Merges that went silently wrong on real games written as board software writes them
// (clock comments after every move) with an operator's copy: brackets in ";" comments and
// "%" lines, an earlier finished game in the edited file, and a move corrected on the board
// further back than the last move.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "pgn/MoveMerge.h"
#include "pgn/TagsToChange.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

const std::string kEditTarget =
    " isn't in the source file.If moves have been removed from the source file you must edit "
    "the target pgn file too.";

struct RealGame {
    std::vector<std::string> tags;  // without the Result tag
    std::string result;
    std::vector<std::string> moves;
};

std::vector<RealGame> LoadGames() {
    std::vector<RealGame> games;
    std::istringstream in(
        test::readFile(std::string(KORVANE_TEST_DATA) + "/merge/wcc-selection.pgn"));
    const std::regex san(R"([A-Za-z][^\s.]*)");
    for (std::string line; std::getline(in, line) && games.size() < 3;) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind("[Event ", 0) == 0) {
            games.emplace_back();
        }
        if (line.rfind("[Result ", 0) == 0) {
            games.back().result = line.substr(9, line.size() - 11);
        } else if (line.rfind("[", 0) == 0) {
            games.back().tags.push_back(line);
        } else {
            for (std::sregex_iterator it(line.begin(), line.end(), san), end; it != end; ++it) {
                games.back().moves.push_back(it->str());
            }
        }
    }
    return games;
}

const std::vector<RealGame>& Games() {
    static const std::vector<RealGame> games = LoadGames();
    return games;
}

// How a text of a game is written.
struct Writing {
    std::size_t plies = 0;
    std::string result = "*";
    std::map<std::size_t, std::string> after;  // text written after the ply with this index
    std::map<std::size_t, std::string> moves;  // a ply written differently
    bool clocks = true;                        // a clock comment after every move
};

// The game after `plies` half-moves as board software writes it: CR LF lines, a clock
// comment after every move (unless left out), the result last.
std::string Text(const RealGame& game, const Writing& w) {
    std::string text;
    for (const std::string& tag : game.tags) {
        text += tag + "\r\n";
    }
    text += "[Result \"" + w.result + "\"]\r\n\r\n";
    for (std::size_t i = 0; i < w.plies; ++i) {
        if (i % 2 == 0) {
            text += std::to_string(i / 2 + 1) + ". ";
        }
        const auto changed = w.moves.find(i);
        text += (changed != w.moves.end() ? changed->second : game.moves[i]) + " ";
        if (w.clocks) {
            text += "{[%clk 1:" + std::to_string(10 + i % 50) + ":00]} ";
        }
        if (const auto extra = w.after.find(i); extra != w.after.end()) {
            text += extra->second;
        }
    }
    return text + w.result + "\r\n";
}

// The main-line moves of a text from position from on: what a reader of the page sees.
std::vector<std::string> MainLine(const std::string& text, std::size_t from = 0) {
    std::vector<std::string> moves;
    std::size_t i = from;
    bool lineStart = true;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '{') {
            i = text.find('}', i) + 1;
        } else if (c == ';' || (c == '%' && lineStart) || c == '[') {
            i = text.find(c == '[' ? ']' : '\n', i) + 1;
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            const std::size_t end = text.find_first_of(" \r\n{", i);
            moves.push_back(text.substr(i, end - i));
            i = end;
        } else {
            ++i;
        }
        lineStart = c == '\n';
    }
    return moves;
}

std::vector<std::string> FirstMoves(const RealGame& game, std::size_t plies) {
    return {game.moves.begin(), game.moves.begin() + static_cast<long>(plies)};
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

struct FaultCase {
    std::string name;
    std::string edited;
    std::string source;
    // The live game's moves the merged text must hold after its last header tag, and the
    // text it must start with (an earlier game kept as it was), or the error expected.
    std::vector<std::string> liveMoves;
    std::string keptBefore;
    std::string error;
};
void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class MergeFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(MergeFaults, GiveTheSourcesGameOrSayWhy) {
    const FaultCase& c = GetParam();
    const MergeOutcome out =
        MergeNewMoves(c.edited, c.source, DefaultTagsToChange(), "/f/board.pgn");
    if (!c.error.empty()) {
        ASSERT_TRUE(out.error.has_value()) << out.merged;
        EXPECT_EQ(*out.error, c.error);
        return;
    }
    ASSERT_FALSE(out.error.has_value()) << *out.error;
    EXPECT_EQ(out.merged.rfind(c.keptBefore, 0), 0u) << out.merged;
    const std::size_t liveHeader = out.merged.find("[Event ", c.keptBefore.size());
    ASSERT_NE(liveHeader, std::string::npos);
    EXPECT_EQ(MainLine(out.merged, liveHeader), c.liveMoves) << out.merged;
    // Whatever the operator or the source wrote is there once.
    for (const char* note : {"; see [", "% [", "{Operator:"}) {
        EXPECT_EQ(Count(out.merged, note), std::max(Count(c.edited, note), Count(c.source, note)))
            << note;
    }
}

std::vector<FaultCase> Cases() {
    const RealGame& a = Games()[0];
    const RealGame& b = Games()[1];
    const std::string bracketNote = "; see [Steinitz-Zukertort 1886] for this\r\n";
    const std::string escapeLine = "\r\n% [Round \"6\"] from the arbiter\r\n";
    const std::string note = "{Operator: a fine move} ";
    const std::string finishedA = Text(a, {a.moves.size(), a.result, {}, {}}) + "\r\n";
    const Writing b20{20, "*", {{3, note}}, {}};
    std::vector<FaultCase> cases = {
        // Without a "{" before them: a brace ended the search for tags before.
        {"SemicolonCommentWithBracketsInEdited", Text(b, {20, "*", {{9, bracketNote}}, {}, false}),
         Text(b, {30, "*", {}, {}}), FirstMoves(b, 30), "", ""},
        {"EscapeLineWithBracketsInEdited", Text(b, {20, "*", {{9, escapeLine}}, {}, false}),
         Text(b, {30, "*", {}, {}}), FirstMoves(b, 30), "", ""},
        {"SemicolonCommentWithBracketsInSource", Text(b, {16, "*", {}, {}}),
         Text(b, {30, "*", {{21, bracketNote}}, {}, false}), FirstMoves(b, 30), "", ""},
        {"EarlierFinishedGameInEditedFile", finishedA + Text(b, b20), Text(b, {30, "*", {}, {}}),
         FirstMoves(b, 30), finishedA, ""},
        {"EarlierFinishedGameInBothFiles", finishedA + Text(b, b20),
         finishedA + Text(b, {30, "*", {}, {}}), FirstMoves(b, 30), finishedA, ""},
        {"MoveCorrectedTwoMovesBack",
         Text(b, b20),
         Text(b, {26, "*", {}, {{16, "Qh5"}}}),
         {},
         "",
         "The move 9. " + b.moves[16] + kEditTarget},
        {"BlackMoveCorrectedThreeMovesBack",
         Text(b, b20),
         Text(b, {26, "*", {}, {{15, "Qh4"}}}),
         {},
         "",
         "The move 8... " + b.moves[15] + kEditTarget},
    };
    return cases;
}

INSTANTIATE_TEST_SUITE_P(RealGames, MergeFaults, testing::ValuesIn(Cases()),
                         [](const auto& row) { return row.param.name; });

TEST(MergeFaultsHeader, LiveGameBehindAnEarlierGameGetsTheSourcesResult) {
    const RealGame& a = Games()[0];
    const RealGame& b = Games()[1];
    const std::string finishedA = Text(a, {a.moves.size(), a.result, {}, {}}) + "\r\n";
    const MergeOutcome out =
        MergeNewMoves(finishedA + Text(b, {20, "*", {}, {}}),
                      Text(b, {b.moves.size(), b.result, {}, {}}), DefaultTagsToChange(), "");
    ASSERT_FALSE(out.error.has_value()) << *out.error;
    EXPECT_EQ(out.merged.rfind(finishedA, 0), 0u) << "the earlier game keeps its own result";
    EXPECT_NE(out.merged.find("[Result \"" + b.result + "\"]", finishedA.size()), std::string::npos)
        << out.merged;
    EXPECT_EQ(Count(out.merged, "[Result \"*\"]"), 0u);
}

}  // namespace
}  // namespace korvane
