#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "support/errors.h"
#include "support/folders.h"
#include "support/handles_win.h"
#include "support/os_file.h"

namespace vx {

const char kPathDelim = '\\';

namespace {

// A share that cannot be reached: bad network path, and the codes that a
// missing share or wine's redirector give for the same.
constexpr int kErrorBadNetPath = 53;
constexpr int kErrorBadDevType = 66;
constexpr int kErrorBadNetName = 67;
constexpr int kErrorInvalidName = 123;

// A reparse point is followed by opening its target.
bool TargetOpens(const std::string& path, DWORD flags, DWORD* error) {
  const THandle handle(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr));
  if (!handle.Valid()) {
    *error = GetLastError();
    return false;
  }
  return true;
}

}  // namespace

bool FileIsPresent(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == kErrorFileNotFound || error == kErrorPathNotFound || error == kErrorInvalidName) return false;
    // Access denied or a sharing violation: the folder listing still tells.
    WIN32_FIND_DATAA found;
    const TFindHandle search(FindFirstFileA(path.c_str(), &found));
    if (!search.Valid()) return false;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  DWORD error = 0;
  return TargetOpens(path, 0, &error) || error == kErrorSharingViolation;
}

bool FolderIsPresent(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return !(error == kErrorFileNotFound || error == kErrorPathNotFound || error == kErrorBadNetPath ||
             error == kErrorBadDevType || error == kErrorBadNetName || error == kErrorInvalidName);
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  DWORD error = 0;
  return TargetOpens(path, FILE_FLAG_BACKUP_SEMANTICS, &error) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ResolveFolderPath(const std::string& folder, std::string& resolved) {
  const THandle handle(CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.Valid()) return false;
  // The system's own name of the open folder: links followed, long names,
  // the letter case on disk.
  std::vector<char> buffer(MAX_PATH);
  DWORD length = GetFinalPathNameByHandleA(handle.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetFinalPathNameByHandleA(handle.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  }
  if (length == 0 || length >= buffer.size()) return false;
  resolved.assign(buffer.data(), length);
  return true;
}

bool CreateOneFolder(const std::string& folder) { return CreateDirectoryA(folder.c_str(), nullptr) != FALSE; }

bool RemoveEmptyFolder(const std::string& folder) { return RemoveDirectoryA(folder.c_str()) != FALSE; }

std::string GetSpecialFolder(int csidl) {
  std::string path;
  PIDLIST_ABSOLUTE items = nullptr;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &items))) {
    const TItemIdList list(items);
    char buffer[MAX_PATH] = {};
    if (SHGetPathFromIDListA(list.Get(), buffer)) path = buffer;
  } else {
    char buffer[MAX_PATH] = {};
    if (SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE) && buffer[0]) path = AddBackslash(buffer);
  }
  if (path.empty()) {
    const std::string text = kSystemErrorPrefix + SysErrorMessage(LastOsError());
    MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
    ExitProcess(1);
  }
  return path;
}

std::string GetClientRootFolder() {
  const std::string folder = AddBackslash(GetSpecialFolder(46)) + "VX-ClientRoot\\default\\";
  CreateFolderTree(folder);
  return folder;
}

std::string GetTempFolder(const std::string& subFolder) {
  const DWORD length = GetTempPathA(0, nullptr);
  std::vector<char> buffer(length + 1);
  const DWORD written = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
  std::string folder(buffer.data(), written);
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  folder += "VXTempDir\\";
  if (!subFolder.empty()) folder += subFolder + "\\";
  CreateFolderTree(folder);
  return folder;
}

}  // namespace vx
