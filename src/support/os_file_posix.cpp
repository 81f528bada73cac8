#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "support/errors.h"
#include "support/os_file.h"

namespace vx {

namespace {

struct TErrorPair {
  int Errno;
  int Windows;
};

// errno values that mean the same as the Windows codes the helpers test;
// the first pair of a Windows code names the errno for its description.
constexpr TErrorPair kErrorPairs[] = {
    {ENOENT, kErrorFileNotFound},
    {ENOTDIR, kErrorPathNotFound},
    {EACCES, kErrorAccessDenied},
    {EPERM, kErrorAccessDenied},
    {EWOULDBLOCK, kErrorSharingViolation},
    {EEXIST, kErrorFileExists},
};

int ToWindowsError(int error) {
  for (const TErrorPair& pair : kErrorPairs) {
    if (pair.Errno == error) return pair.Windows;
  }
  return error;
}

int ToErrno(int error) {
  for (const TErrorPair& pair : kErrorPairs) {
    if (pair.Windows == error) return pair.Errno;
  }
  return error;
}

bool IsRegularFile(int fd, int* error) {
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    *error = ToWindowsError(errno);
    return false;
  }
  if (S_ISREG(info.st_mode)) return true;
  *error = kErrorBadFileType;
  return false;
}

bool MakeBlocking(int fd, int* error) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) return true;
  *error = ToWindowsError(errno);
  return false;
}

}  // namespace

std::string FileErrorMessage(int error) { return SysErrorMessage(ToErrno(error)); }

TOsFile::~TOsFile() { Close(); }

bool TOsFile::Open(const std::string& name, TOpenMode mode) {
  Close();
  int flags = O_CLOEXEC;
  switch (mode) {
    case TOpenMode::OpenAlways:
    case TOpenMode::CreateAlways:
    case TOpenMode::CreateExclusive:
      flags |= O_RDWR | O_CREAT;
      break;
    case TOpenMode::ReadShared:
    case TOpenMode::ReadShareAll:
      flags |= O_RDONLY;
      break;
    case TOpenMode::Append:
      flags |= O_WRONLY | O_CREAT | O_APPEND;
      break;
  }
  // Non-blocking, so that a FIFO without a writer is refused below instead
  // of holding the open until someone writes to it.
  const int fd = ::open(name.c_str(), flags | O_NONBLOCK, 0666);
  if (fd < 0) {
    LastError = ToWindowsError(errno);
    return false;
  }
  if (!IsRegularFile(fd, &LastError) || !MakeBlocking(fd, &LastError)) {
    ::close(fd);
    return false;
  }
  // POSIX has no sharing modes: an advisory lock stands in for "no
  // sharing", and the truncation waits until the lock is held so that a
  // refused opener cannot empty the other's file.
  if (mode == TOpenMode::CreateExclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    LastError = ToWindowsError(errno);
    ::close(fd);
    return false;
  }
  if ((mode == TOpenMode::CreateAlways || mode == TOpenMode::CreateExclusive) && ::ftruncate(fd, 0) != 0) {
    LastError = ToWindowsError(errno);
    ::close(fd);
    return false;
  }
  FHandle = fd;
  LastError = 0;
  return true;
}

bool TOsFile::Close() {
  if (FHandle == kNoHandle) return true;
  const bool ok = ::close(static_cast<int>(FHandle)) == 0;
  if (!ok) LastError = ToWindowsError(errno);
  FHandle = kNoHandle;
  return ok;
}

int64_t TOsFile::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(static_cast<int>(FHandle), static_cast<char*>(buffer) + done,
                             static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      LastError = ToWindowsError(errno);
      return -1;
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

int64_t TOsFile::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(static_cast<int>(FHandle), static_cast<const char*>(buffer) + done,
                              static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      LastError = n < 0 ? ToWindowsError(errno) : ENOSPC;
      return done > 0 ? done : -1;
    }
    done += n;
  }
  return done;
}

bool TOsFile::SeekTo(int64_t position) {
  if (::lseek(static_cast<int>(FHandle), static_cast<off_t>(position), SEEK_SET) < 0) {
    LastError = ToWindowsError(errno);
    return false;
  }
  return true;
}

int64_t TOsFile::Size() {
  struct stat info;
  if (::fstat(static_cast<int>(FHandle), &info) != 0) {
    LastError = ToWindowsError(errno);
    return -1;
  }
  return info.st_size;
}

bool ReadFileAttributes(const std::string& path, uint32_t* attributes, int* error) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    *error = ToWindowsError(errno);
    return false;
  }
  uint32_t result = 0;
  if (S_ISDIR(info.st_mode)) result |= kAttrDirectory;
  if ((info.st_mode & S_IWUSR) == 0) result |= kAttrReadOnly;
  *attributes = result;
  return true;
}

bool WriteFileAttributes(const std::string& path, uint32_t attributes) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return false;
  mode_t mode = info.st_mode & 07777;
  mode = (attributes & kAttrReadOnly) ? (mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH))
                                      : (mode | S_IWUSR);
  return ::chmod(path.c_str(), mode) == 0;
}

bool CreateNewFile(const std::string& path, int* error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    *error = ToWindowsError(errno);
    return false;
  }
  ::close(fd);
  return true;
}

bool DeleteOneFile(const std::string& path, int* error) {
  if (::unlink(path.c_str()) != 0) {
    *error = ToWindowsError(errno);
    return false;
  }
  return true;
}

bool RenameReplacing(const std::string& source, const std::string& target, int* error) {
  if (std::rename(source.c_str(), target.c_str()) != 0) {
    *error = ToWindowsError(errno);
    return false;
  }
  return true;
}

}  // namespace vx
