#pragma once
// The record of one monitored game: where its source and working copies live, when it
// last changed, whether it sleeps or publishes its edited copy, and the scan results
// that the merge of new moves fills in. A plain record; the logic lives elsewhere.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Character positions in a PGN text, 1-based as the merge reports them.
using Positions = std::vector<long>;
using FileTime = std::filesystem::file_time_type;

class Pgn {
public:
    explicit Pgn(long debugId) : m_classDebugId(debugId) {}

    std::string Key;                  // the source file name; equals its key in the list
    std::string PgnTempAfterUpdate;   // source text as of the last update
    bool ChangedToFromFinal = false;  // set whenever bUseFinal is assigned
    std::string PgnBeforeUpdate;      // edited text before the last merge
    std::string sLastMove;            // text of the edited game's last move
    bool bWhiteLast = false;
    bool bBlackLast = false;
    long PastePoint = 0;  // 1-based; the merge keeps the characters before it
    long LastMove = 0;    // number of the edited game's last move, 0 when none
    Positions GameEnd, GameStart;
    std::string NameHtml;         // page file name: source name with ".htm" for its last 4 chars
    bool bEditingFinal = false;   // reserved
    bool bEditingSource = false;  // reserved
    long LastTagFinal = 0;
    long LastTagSource = 0;
    Positions VarEnd, VarStart, ComEnd, ComStart;
    Positions TagEndFinal, TagStartFinal, TagEndSource, TagStartSource;
    std::string NameFinal, NameTemp, NameSource;
    std::string PathFinal, PathTemp, PathSource;
    std::optional<FileTime> LastTime;  // source's modification time when last taken in
    bool bSleep = false;

    bool bUseFinal() const { return m_bUseFinal; }
    // Publishing the edited copy or not; any assignment marks the switch.
    void setUseFinal(bool value) {
        m_bUseFinal = value;
        ChangedToFromFinal = true;
    }

    long ClassDebugID() const { return m_classDebugId; }

private:
    bool m_bUseFinal = false;
    long m_classDebugId;
};

}  // namespace korvane
