#include "support/folders.h"

#include "support/errors.h"
#include "support/guid.h"
#include "support/os_file.h"

namespace vx {

namespace {

// Windows also takes "/" between folders, and ":" ends a drive.
bool IsFolderDelim(char c) { return c == kPathDelim || (kPathDelim == '\\' && c == '/'); }
bool IsLocalDelim(char c) { return IsFolderDelim(c) || (kPathDelim == '\\' && c == ':'); }

size_t LastDelim(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsLocalDelim(path[i - 1])) return i - 1;
  }
  return std::string::npos;
}

}  // namespace

std::string AddBackslash(const std::string& path) {
  if (path.empty()) return path;
  const char last = path.back();
  if (last == ':' || last == '\\') return path;
  if (path.size() == 1 && ((last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z'))) return path + ":\\";
  return path + "\\";
}

std::string AddPathDelim(const std::string& path) {
  if (path.empty() || path.back() == kPathDelim) return path;
  return path + kPathDelim;
}

std::string RemoveBackslash(const std::string& path) {
  if (!path.empty() && IsFolderDelim(path.back())) return path.substr(0, path.size() - 1);
  return path;
}

std::string ExtractFilePath(const std::string& fileName) {
  const size_t at = LastDelim(fileName);
  return at == std::string::npos ? "" : fileName.substr(0, at + 1);
}

std::string ExtractFileName(const std::string& fileName) {
  const size_t at = LastDelim(fileName);
  return at == std::string::npos ? fileName : fileName.substr(at + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
  const std::string name = ExtractFileName(fileName);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? "" : name.substr(dot);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
  const std::string name = ExtractFileName(fileName);
  const size_t dot = name.rfind('.');
  const std::string folder = fileName.substr(0, fileName.size() - name.size());
  return folder + (dot == std::string::npos ? name : name.substr(0, dot)) + extension;
}

bool CreateFolderTree(const std::string& folder) {
  if (folder.empty()) throw EInOutError(3, kCannotCreateFolderText);
  const std::string path = RemoveBackslash(folder);
  if (path.size() < 3 || FolderIsPresent(path)) return true;
  const std::string parent = ExtractFilePath(path);
  if (parent == path) return true;
  // The first level of a relative path has no parent text; it goes into
  // the current folder instead of failing as an empty path.
  if (parent.empty()) return CreateOneFolder(path);
  return CreateFolderTree(parent) && CreateOneFolder(path);
}

void EnsureFileFolder(const std::string& fileName) {
  std::string folder = ExtractFilePath(fileName);
  // Keep the delimiter of a root ("C:\", "/"), drop it elsewhere.
  if (folder.size() > 1 && !(folder.size() == 3 && folder[1] == ':')) folder = RemoveBackslash(folder);
  if (!folder.empty() && !FolderIsPresent(folder)) CreateFolderTree(folder);
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  const std::string name = ExtractFileName(path);
  if (name.empty() || name == "." || name == "..") return false;
  const std::string parent = ExtractFilePath(path);
  std::string resolvedFolder;
  std::string resolvedParent;
  if (!ResolveFolderPath(folder, resolvedFolder) || !ResolveFolderPath(parent.empty() ? "." : parent, resolvedParent)) {
    return false;
  }
  const std::string inner = AddPathDelim(resolvedFolder);
  return AddPathDelim(resolvedParent).compare(0, inner.size(), inner) == 0;
}

std::string NewTempFileName(const std::string& extension) {
  // A taken name is a hash collision, so another hash is all it needs.
  constexpr int kNameAttempts = 10;
  const std::string folder = GetTempFolder();
  std::string name;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    name = folder + std::to_string(NewGuidHash()) + extension;
    int error = 0;
    // Any other failure is left to the write that follows, which reports it.
    if (CreateNewFile(name, &error) || error != kErrorFileExists) return name;
  }
  return name;
}

}  // namespace vx
