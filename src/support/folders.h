// Where the program keeps its files, and tests for files and folders.
#pragma once

#include <string>

namespace vx {

// The delimiter of local paths: "\" on Windows, "/" elsewhere.
extern const char kPathDelim;

// True when a file (not a folder) is there; follows links. An entry that
// exists but cannot be read (access denied, held by another process) counts
// as present.
bool FileIsPresent(const std::string& path);

// True when a folder is there; follows links. Unreadable attributes count
// as present unless the path or its network share is missing.
bool FolderIsPresent(const std::string& path);

// Windows rules, for host-given paths: "" stays "", a path ending in ":" or
// "\" is unchanged, a lone drive letter gets ":\", anything else gets "\".
std::string AddBackslash(const std::string& path);

// Appends the local path delimiter when it is missing ("" stays "").
std::string AddPathDelim(const std::string& path);

// The path without one trailing local delimiter.
std::string RemoveBackslash(const std::string& path);

// The folder part of a local file path, with its trailing delimiter.
std::string ExtractFilePath(const std::string& fileName);
// The name after the last local delimiter.
std::string ExtractFileName(const std::string& fileName);
// The extension with its dot ("" when none).
std::string ExtractFileExt(const std::string& fileName);
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);

// Creates the folder and its missing parents. True when it exists
// afterwards; raises EInOutError (code 3, "Verzeichnis kann nicht erstellt
// werden") for an empty path. Other failures only give false.
bool CreateFolderTree(const std::string& folder);

// Creates the folder of a file path when it is missing.
void EnsureFileFolder(const std::string& fileName);

// One folder level; false when it cannot be made.
bool CreateOneFolder(const std::string& folder);
// Removes one folder level if it is empty; false when it is not, or
// cannot be removed.
bool RemoveEmptyFolder(const std::string& folder);

// The shell's folder of a CSIDL number, ending in a delimiter. Shows
// "Systemfehler" and ends the program when the system has none.
std::string GetSpecialFolder(int csidl);

// common documents\VX-ClientRoot\default\ (created when missing).
std::string GetClientRootFolder();

// The program's own folder below the client root folder (settings and
// template); its file dialogs keep their remembered state under the same
// key in the settings.
constexpr char kProgramKey[] = "kastelo.VXJSONObject";

// temp\VXTempDir\[subFolder\] (created when missing). On POSIX the folder
// belongs to the user alone: $TMPDIR/VXTempDir/, else
// $XDG_RUNTIME_DIR/VXTempDir/, else /tmp/VXTempDir-<uid>/, each level
// with mode 0700; a folder of the user's own with other mode bits is set to
// 0700. A folder there that another user owns, that others may write to,
// that cannot be set to 0700, or that is no folder raises EInOutError, since
// whoever controls it could stand in for the host, and whoever may read it
// could read the service file and the attachments on their way.
std::string GetTempFolder(const std::string& subFolder = "");

// The folder's path with links, "." and ".." resolved (on Windows also
// short names and letter case, as the file system keeps them); false when
// it cannot be resolved, for example because it is missing.
bool ResolveFolderPath(const std::string& folder, std::string& resolved);

// True when path names an entry inside folder, directly or in a sub-folder,
// once both are resolved as ResolveFolderPath does; the entry itself may be
// missing or a link. False when either cannot be resolved.
bool IsInsideFolder(const std::string& path, const std::string& folder);

// A fresh name in the temporary folder: the decimal text of NewGuidHash
// and the extension. The file is created there, empty and (on POSIX) for
// its owner alone, so that what goes into it later is never readable by
// others; a name already taken is never reused.
std::string NewTempFileName(const std::string& extension = "");

}  // namespace vx
