// A thin owner of one OS file handle. Every call keeps the OS error code of
// its failure in LastError, read at once, for the caller's message.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

// File attribute bits as Windows numbers them; POSIX maps the read-only bit
// to the owner's write permission and has no hidden bit.
constexpr uint32_t kAttrReadOnly = 0x1;
constexpr uint32_t kAttrHidden = 0x2;
constexpr uint32_t kAttrSystem = 0x4;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrReparsePoint = 0x400;

// OS error codes the file helpers tell apart, with the Windows numbers.
constexpr int kErrorFileNotFound = 2;
constexpr int kErrorPathNotFound = 3;
constexpr int kErrorAccessDenied = 5;
constexpr int kErrorSharingViolation = 32;
constexpr int kErrorLockViolation = 33;
constexpr int kErrorFileExists = 80;
// A pipe, device or folder where a file was expected (ERROR_BAD_FILE_TYPE).
constexpr int kErrorBadFileType = 222;

// A sharing or lock violation passes once the other process lets go of the
// file; every other failure (access denied, a read-only file, a missing
// folder) stays however long one waits.
inline bool IsPassingFileError(int error) {
  return error == kErrorSharingViolation || error == kErrorLockViolation;
}

// The system's description of an error code as TOsFile and the functions
// below keep it (Windows numbering).
std::string FileErrorMessage(int error);

enum class TOpenMode {
  OpenAlways,       // read/write, share read+write, create when absent
  CreateAlways,     // read/write, share read+write, truncate or create
  CreateExclusive,  // read/write, no sharing, truncate or create
  ReadShared,       // read only, share read, existing file
  ReadShareAll,     // read only, share read+write+delete, existing file
  // Write only, create when absent, share read+write+delete (so that
  // another process may rename it meanwhile). The system places every
  // write at the file's end as it is then, so writers of several
  // processes never write over each other's bytes.
  Append,
};

class TOsFile {
 public:
  TOsFile() = default;
  ~TOsFile();
  TOsFile(const TOsFile&) = delete;
  TOsFile& operator=(const TOsFile&) = delete;

  // False on failure, with LastError set. Only regular files open: a pipe,
  // device or folder is refused at once with kErrorBadFileType, before
  // anything waits on it.
  bool Open(const std::string& name, TOpenMode mode);
  bool IsOpen() const { return FHandle != kNoHandle; }
  // Closes the file; false when the OS reported an error on close.
  bool Close();

  // Bytes read or written, -1 on failure.
  int64_t Read(void* buffer, int64_t count);
  int64_t Write(const void* buffer, int64_t count);
  bool SeekTo(int64_t position);
  // -1 on failure.
  int64_t Size();

  // The native handle (HANDLE or file descriptor) for platform code.
  intptr_t NativeHandle() const { return FHandle; }

  int LastError = 0;

 private:
  static constexpr intptr_t kNoHandle = -1;
  intptr_t FHandle = kNoHandle;
};

// Attribute word of a path; false with *error set when it cannot be read.
bool ReadFileAttributes(const std::string& path, uint32_t* attributes, int* error);
bool WriteFileAttributes(const std::string& path, uint32_t attributes);

// Creates an empty file under a name that must be free, readable and
// writable by its owner only where the system has such modes; false with
// *error set (kErrorFileExists when the name is taken).
bool CreateNewFile(const std::string& path, int* error);

// Removes one file; false with *error set on failure.
bool DeleteOneFile(const std::string& path, int* error);

// Renames over an existing target in one step.
bool RenameReplacing(const std::string& source, const std::string& target, int* error);

}  // namespace vx
