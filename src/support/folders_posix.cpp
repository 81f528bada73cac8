#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "support/errors.h"
#include "support/folders.h"
#include "support/os_file.h"

namespace vx {

const char kPathDelim = '/';

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

// The user's own place for temporary files: TMPDIR as the user set it,
// else the session's runtime folder, else a folder per user id in /tmp.
std::string TempFolderOfUser() {
  const std::string temp = EnvOr("TMPDIR", "");
  if (!temp.empty()) return AddPathDelim(temp) + "VXTempDir/";
  const std::string runtime = EnvOr("XDG_RUNTIME_DIR", "");
  if (!runtime.empty()) return AddPathDelim(runtime) + "VXTempDir/";
  return "/tmp/VXTempDir-" + std::to_string(::geteuid()) + "/";
}

[[noreturn]] void RefuseTempFolder(const char* format, const std::string& folder) {
  throw EInOutError(kErrorAccessDenied, FormatText(format, folder));
}

// Sets mode 0700 through a handle of the folder that lstat found, so that
// nothing put in its place meanwhile is changed instead.
bool MakeOwnerOnly(const std::string& path, const struct stat& found) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  const bool same = ::fstat(fd, &info) == 0 && info.st_dev == found.st_dev && info.st_ino == found.st_ino;
  const bool changed = same && ::fchmod(fd, 0700) == 0;
  ::close(fd);
  return changed;
}

// One level, created for this user alone. The folder holds the exchange
// server's socket, the exchange-service file and the attachments on their
// way to the host: one that someone else controls is refused, not used,
// and one that others may only look into is closed to them.
// A folder that cannot be made is left to the first write in it to report.
void MakePrivateFolder(const std::string& folder) {
  const std::string path = RemoveBackslash(folder);
  ::mkdir(path.c_str(), 0700);
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return;
  // Windows-1252: 0xE4 a, 0xF6 o, 0xFC u with diaeresis.
  if (info.st_uid != ::geteuid()) {
    RefuseTempFolder("Tempor\xe4res Verzeichnis %s geh\xf6rt einem anderen Benutzer", folder);
  }
  if (!S_ISDIR(info.st_mode)) RefuseTempFolder("Tempor\xe4res Verzeichnis %s ist kein Verzeichnis", folder);
  // What others could have put into it stays there: such a folder is not
  // made private, it is refused.
  if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    RefuseTempFolder("Tempor\xe4res Verzeichnis %s ist f\xfcr andere Benutzer beschreibbar", folder);
  }
  if ((info.st_mode & 07777) != 0700 && !MakeOwnerOnly(path, info)) {
    RefuseTempFolder("Tempor\xe4res Verzeichnis %s ist f\xfcr andere Benutzer lesbar", folder);
  }
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

// A folder that another process made meanwhile counts; a file of that name does not.
bool CreateOneFolder(const std::string& folder) {
  return ::mkdir(folder.c_str(), 0777) == 0 || (errno == EEXIST && FolderIsPresent(folder));
}

bool RemoveEmptyFolder(const std::string& folder) { return ::rmdir(folder.c_str()) == 0; }

bool ResolveFolderPath(const std::string& folder, std::string& resolved) {
  char* path = ::realpath(folder.c_str(), nullptr);
  if (!path) return false;
  resolved = path;
  std::free(path);
  return true;
}

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
  const std::string folder = TempFolderOfUser();
  CreateFolderTree(ExtractFilePath(RemoveBackslash(folder)));
  MakePrivateFolder(folder);
  if (subFolder.empty()) return folder;
  const std::string inner = folder + subFolder + "/";
  MakePrivateFolder(inner);
  return inner;
}

}  // namespace vx
