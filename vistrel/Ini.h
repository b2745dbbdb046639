#pragma once
// Settings of one page, read from the converter's ini file.
//
// Format: "[section]" lines, "key = value" lines and whole-line comments that start
// with ";". Keys and section names ignore letter case; values are taken verbatim
// after trimming blanks. An unknown section or key, a line that is neither, or a value
// that does not fit its key is an error that names the line.

#include <string>

namespace vistrel {

enum class StartPosition { First, Last };

struct PageIni {
    // [page]
    std::string title = "{White} - {Black}";  // pattern; {TagName} is replaced by the tag's value
    int refreshSeconds = 5;  // reload interval while a game is in progress; 0 = never
    StartPosition start = StartPosition::Last;
    bool clocks = true;     // show the players' clocks
    bool overview = false;  // layout = overview: a grid of all games instead of one game
    // Page name of the overview in the same folder, linked from every game page; "" = none.
    std::string overviewPage = "allgames.htm";

    // [board]
    int boardSize = 480;  // largest board width in CSS pixels (smaller screens shrink it)
    std::string lightColour = "#eeeed2";
    std::string darkColour = "#769656";
    std::string lastMoveColour = "#f4e36b";
    bool coordinates = true;

    // [overview]
    int boardsPerRow = 4;
    int smallBoardSize = 220;
};

// Parses the ini text (UTF-8, or Windows-1252 when it is not valid UTF-8); on error returns false
// and sets error to a message naming the ini line, e.g. "line 7 (colour = red): unknown key
// "colour" in [board]".
bool parseIni(const std::string& bytes, PageIni& out, std::string& error);

}  // namespace vistrel
