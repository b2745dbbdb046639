#pragma once
// Which files the operator edits: the edited copies that games publish instead of their
// bare source (created in finalpgn on demand), and the files the editor opens, created
// from another copy when missing. The dialogs around these rules live in ui/.

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct ProgramState;

// The explanation of the dialog that chooses the games published from an edited pgn.
std::string EditPgnSelectExplanation(const ProgramState& state);

// Makes sure the edited pgn of the game at the 1-based monitor-list index exists: copies
// the source there, or asks whether to keep an edited pgn that is there from before the
// game was last switched. Throws PgnFiles::NotFound for an index that is not listed.
void CreateEditedCopy(ProgramState& state, long index);

// The three kinds of file the editor opens, named by the purpose the Pgn menu hands over.
enum class EditKind { SourceFile, SourceCopy, CommentedPgn };
std::optional<EditKind> EditKindOf(const std::string& purpose);
// The directory of a kind, ending with a separator.
std::string EditDirectory(const ProgramState& state, EditKind kind);
// The selector's explanation: the directory and what to do.
std::string SelectForEditExplanation(const std::string& directory);

// Whether one of the captions (full paths of open editors) names path, ignoring case.
bool IsOpenInEditor(const std::vector<std::string>& captions, const std::string& path);

// A file ready to be shown in a new editor.
struct FileToEdit {
    std::string path;        // the editor's caption
    std::string text;        // the file's bytes
    bool annotationButtons;  // the file is an edited pgn: comment and glyph buttons shown
    bool createdEditedCopy;  // an edited pgn was created: the header-tags menu is enabled
};

// The file-side steps of opening key's file of the given kind: nothing when it is already
// open, could not be created from another copy, is empty or cannot be read (each reported in
// the message log as the operator expects).
std::optional<FileToEdit> PrepareFileToEdit(ProgramState& state, EditKind kind,
                                            const std::string& key,
                                            const std::vector<std::string>& openCaptions);

}  // namespace korvane
