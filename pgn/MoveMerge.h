#pragma once
// The text-level merge of new moves: the edited game keeps everything up to the point
// after its last move (comments, variations, glyphs, extra tags) and gets the source's
// continuation (the moves played since, the result and what follows), then the listed
// header tags are refreshed from the source. No files, no program state: AppendNewMoves
// wraps this with the file reading, the Pgn record and the log; the editor uses it too.

#include <string>
#include <string_view>
#include <vector>

#include "pgn/LastMoveFinder.h"
#include "pgn/PgnScanner.h"

namespace korvane {

// What the scanner and the last-move finder learned about the edited text, as far as they
// got: steps counts the parts that succeeded (1 tags, 2 pieces, 3 last move).
struct EditedScan {
    TagSpans tags;
    MovetextPieces pieces;
    LastMoveResult last;
    int steps = 0;
};

// Header tags, comments, variations, stretches and last move of the edited text; path is
// the edited file's path, named in the message about an invalid last move.
PgnError ParsePgnText(std::string_view edited, const std::string& path, EditedScan& scan);

// Replaces the edited text from the paste point on with the source's continuation.
// Fails with the "last movenumber" or "last move" message when the source lacks them.
PgnError AppendSourceMoves(std::string& edited, std::string_view source, const EditedScan& scan,
                           const TagSpans& sourceTags);

// The merge after a successful scan of the edited text: source tags, continuation, tag
// replacement. On success merged holds the new edited text.
PgnError MergeScanned(std::string_view edited, const EditedScan& scan, std::string_view source,
                      const std::vector<std::string>& tagsToChange, TagSpans& sourceTags,
                      std::string& merged);

struct MergeOutcome {
    PgnError error;      // set on failure (the message may be empty)
    std::string merged;  // the merged text on success
};

// The whole merge in one call. An empty edited text fails without message text.
MergeOutcome MergeNewMoves(std::string_view edited, std::string_view source,
                           const std::vector<std::string>& tagsToChange,
                           const std::string& editedPath);

}  // namespace korvane
