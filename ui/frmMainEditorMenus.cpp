// The Pgn menu's items and the annotation pop-ups (mnuAnno1, mnuAnno2, mnuAnno3) are
// created by the main window; the PGN editor's windows connect their actions here:
// "Use Edited Pgn Files", the three Edit items (each setting sDialogPurpose and opening the
// file selector), "Header Tags To Replace", and the pop-ups' items that insert into the
// editor at lCurrentEditor of colEditors.
#include "ui/frmMain.h"

namespace korvane {

void frmMain::connectEditorMenus() {}

}  // namespace korvane
