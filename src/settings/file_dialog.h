// The open and save dialogs, keyed by a dialog key under which the settings
// store remembers the filter the user chose last, optionally the folder,
// and the dialog window's size. The portable half here prepares and
// records those values; the dialog itself is Windows only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/string_list.h"

namespace vx {

// "OSOpenSaveFile." + dialogKey + ".FI": the 1-based filter index.
std::string FilterIndexKey(const std::string& dialogKey);
// "OSOpenSaveFile." + folderKey: the last folder.
std::string DialogFolderKey(const std::string& folderKey);
// "OSOpenSaveFile." + dialogKey + ".SWidth" / ".SHeigth"; an empty key
// stands as "Default".
std::string DialogWidthKey(const std::string& dialogKey);
std::string DialogHeightKey(const std::string& dialogKey);

// Sets the remembered filter index of the dialog to 1; nothing for an
// empty key.
void ResetDialogFilterIndex(const std::string& dialogKey);

// Number of description and pattern pairs in "Text|*.ext|Text|*.x".
int FilterPairCount(const std::string& filter);
// The filter in the system's form: every "|" a NUL, ended by two NULs.
std::string SystemFilterText(const std::string& filter);

// The index the dialog opens with: the remembered one (1 without a dialog
// key), or 1 when it is beyond the filter's pairs.
int InitialFilterIndex(const std::string& dialogKey, const std::string& filter);
// The remembered folder (with a folder key) or defaultFolder, with a
// trailing backslash; the save dialog's folder is created when missing.
std::string InitialDialogFolder(const std::string& folderKey, const std::string& defaultFolder, bool save);
// What a dialog leaves to remember when it is over.
struct TDialogOutcome {
  bool SizeKnown = false;  // the dialog window's size was taken as it closed
  int Width = 0;
  int Height = 0;
  bool Confirmed = false;  // the user chose a file
  int FilterIndex = 1;
  std::string FileName;
};
// Writes, in one save of the settings file, the dialog window's size and,
// after a confirmed choice, the chosen file's folder under the folder key
// and the filter index under the dialog key, each only when its key is
// set.
void RememberDialogOutcome(const std::string& dialogKey, const std::string& folderKey,
                           const TDialogOutcome& outcome);

// The names in a dialog's result buffer: one full name, or, after several
// were chosen, the folder and the names, each ended by a NUL and the whole
// by a second NUL. Full names come back in the order given.
std::vector<std::string> SplitDialogResult(std::string_view buffer);

struct TScreenRect {
  int Left, Top, Right, Bottom;
};

// The dialog's top-left corner on a monitor, its size kept: centred
// across, a third of the free height down.
void PlaceOnMonitor(const TScreenRect& monitor, int width, int height, int* left, int* top);

// Windows only. Runs the save dialog (save set) or the open dialog and
// returns the chosen file name, also given in fileName; empty when the user
// cancelled. With files, several files may be chosen and files receives
// them all. filter is "Text|*.ext" pairs; raiseWindow (an HWND, or null) is
// brought to the top afterwards. The dialog is owned by the thread's active
// window, or by mainWindow (an HWND, or null) when no window of the thread
// is active, as when the user works in another program meanwhile.
std::string ExecuteFileDialog(const std::string& dialogKey, const std::string& folderKey, const std::string& filter,
                              std::string& fileName, const std::string& proposedFileName, TStringList* files,
                              void* raiseWindow, bool save, const std::string& defaultFolder,
                              const std::string& defaultExt, void* mainWindow = nullptr);

}  // namespace vx
