#pragma once
// Management of the monitor list from the monitor window: adding files chosen in the open
// dialog (with its checks), substituting another source file for a game, removing a game,
// putting it to sleep, waking it, and writing its details to the log.

#include <string>
#include <vector>

namespace korvane {

struct ProgramState;
class FileDialog;
class Monitor;
class MonitorView;

// Why the open dialog is shown (sDialogPurpose).
constexpr const char* kAddPgnFiles = "Add Pgn Files";
constexpr const char* kSubstitutePgnSource = "Substitute Pgn Source";

class MonitorList {
public:
    MonitorList(ProgramState& state, Monitor& monitor, MonitorView& view, FileDialog& dialog);

    // The open dialog with its filter and the checks after it. mode: "single", "multi" or
    // empty (single). result receives the chosen path in single mode.
    void OpenFileDialog(const std::string& title, const std::string& fileType, std::string& result,
                        const std::string& initialDir, const std::string& mode);
    void AddSeveralPgns(const std::string& directory, const std::vector<std::string>& names);
    void AddOnePgn(const std::string& path);
    void AddToCollection(const std::string& name, const std::string& path);

    // "Add" (and New Project, with its own dialog title).
    void AddFiles(const std::string& title);
    void cmdAddPgnClick() { AddFiles("Add Pgn Files To List"); }
    void cmdRemovePgnClick();
    void cmdSleepClick();
    void cmdActivateClick();
    void cmdViewInfoClick();
    void lboPgnFilesClick();

    // After the first upload of the window's life "Remove" turns into "Substitute".
    void FirstUploadDone();

    std::string sDialogPurpose;

private:
    bool isReserved(const std::string& directory) const;
    // Tells the operator that games may not come from a work or HTML directory.
    bool refuseReserved(const std::string& directory);
    void removeSelected(const std::string& key);
    void substituteSelected(const std::string& key);
    void setSleep(bool sleep);

    ProgramState& m_state;
    Monitor& m_monitor;
    MonitorView& m_view;
    FileDialog& m_dialog;
};

}  // namespace korvane
