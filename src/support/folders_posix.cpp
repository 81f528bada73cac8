#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "support/folders.h"

namespace vx {

const char kPathDelim = '/';

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

}  // namespace

bool FileIsPresent(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) == 0) return !S_ISDIR(info.st_mode);
  // A missing entry or a broken path is absent; an entry the caller may not
  // look at still exists when its folder lists it.
  if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG) return false;
  return ::lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderIsPresent(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  return !(errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG);
}

bool CreateOneFolder(const std::string& folder) { return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST; }

// The closest thing to the shared documents folder: the user's data folder.
std::string GetSpecialFolder(int) {
  const std::string home = EnvOr("HOME", "/tmp");
  return AddPathDelim(EnvOr("XDG_DATA_HOME", home + "/.local/share"));
}

std::string GetClientRootFolder() {
  const std::string folder = GetSpecialFolder(46) + "VX-ClientRoot/default/";
  CreateFolderTree(folder);
  return folder;
}

std::string GetTempFolder(const std::string& subFolder) {
  std::string folder = AddPathDelim(EnvOr("TMPDIR", "/tmp")) + "VXTempDir/";
  if (!subFolder.empty()) folder += subFolder + "/";
  CreateFolderTree(folder);
  return folder;
}

}  // namespace vx
