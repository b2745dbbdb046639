#include "chess/PgnTokens.h"

namespace chess::pgn {

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

}  // namespace

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

}  // namespace chess::pgn
