#include <windows.h>

#include "support/errors.h"
#include "support/handles_win.h"
#include "support/os_file.h"

namespace vx {

namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool HeldByAnotherProcess(const std::string& path) {
  const THandle handle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  return !handle.Valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

std::string FileErrorMessage(int error) { return SysErrorMessage(error); }

TOsFile::~TOsFile() { Close(); }

bool TOsFile::Open(const std::string& name, TOpenMode mode) {
  Close();
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  DWORD disposition = OPEN_ALWAYS;
  DWORD flags = FILE_ATTRIBUTE_NORMAL;
  switch (mode) {
    case TOpenMode::OpenAlways:
      break;
    case TOpenMode::CreateAlways:
      disposition = CREATE_ALWAYS;
      break;
    case TOpenMode::CreateExclusive:
      share = 0;
      disposition = CREATE_ALWAYS;
      break;
    case TOpenMode::ReadShared:
      access = GENERIC_READ;
      share = FILE_SHARE_READ;
      disposition = OPEN_EXISTING;
      flags |= FILE_FLAG_SEQUENTIAL_SCAN;
      break;
    case TOpenMode::ReadShareAll:
      access = GENERIC_READ;
      share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
      disposition = OPEN_EXISTING;
      break;
    case TOpenMode::Append:
      // Append without write access: the system ignores the file pointer
      // and writes at the end. Size still needs the attributes.
      access = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
      share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
      break;
  }
  THandle handle(CreateFileA(name.c_str(), access, share, nullptr, disposition, flags, nullptr));
  if (!handle.Valid()) {
    LastError = static_cast<int>(GetLastError());
    return false;
  }
  // A named pipe or a device (NUL, CON, COM1) opens like a file, but a read
  // may wait for ever on its other end.
  if (GetFileType(handle.Get()) != FILE_TYPE_DISK) {
    LastError = kErrorBadFileType;
    return false;
  }
  FHandle = reinterpret_cast<intptr_t>(handle.Release());
  LastError = 0;
  return true;
}

bool TOsFile::Close() {
  if (FHandle == kNoHandle) return true;
  const bool ok = CloseHandle(AsHandle(FHandle)) != FALSE;
  if (!ok) LastError = static_cast<int>(GetLastError());
  FHandle = kNoHandle;
  return ok;
}

int64_t TOsFile::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const DWORD chunk = static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
    DWORD got = 0;
    if (!ReadFile(AsHandle(FHandle), static_cast<char*>(buffer) + done, chunk, &got, nullptr)) {
      LastError = static_cast<int>(GetLastError());
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

int64_t TOsFile::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const DWORD chunk = static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
    DWORD written = 0;
    if (!WriteFile(AsHandle(FHandle), static_cast<const char*>(buffer) + done, chunk, &written, nullptr) ||
        written == 0) {
      LastError = static_cast<int>(GetLastError());
      return done > 0 ? done : -1;
    }
    done += written;
  }
  return done;
}

bool TOsFile::SeekTo(int64_t position) {
  LARGE_INTEGER distance;
  distance.QuadPart = position;
  if (!SetFilePointerEx(AsHandle(FHandle), distance, nullptr, FILE_BEGIN)) {
    LastError = static_cast<int>(GetLastError());
    return false;
  }
  return true;
}

int64_t TOsFile::Size() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(AsHandle(FHandle), &size)) {
    LastError = static_cast<int>(GetLastError());
    return -1;
  }
  return size.QuadPart;
}

bool ReadFileAttributes(const std::string& path, uint32_t* attributes, int* error) {
  const DWORD result = GetFileAttributesA(path.c_str());
  if (result == INVALID_FILE_ATTRIBUTES) {
    *error = static_cast<int>(GetLastError());
    return false;
  }
  *attributes = result;
  return true;
}

bool WriteFileAttributes(const std::string& path, uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool CreateNewFile(const std::string& path, int* error) {
  const THandle handle(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.Valid()) {
    *error = static_cast<int>(GetLastError());
    return false;
  }
  return true;
}

bool DeleteOneFile(const std::string& path, int* error) {
  if (!DeleteFileA(path.c_str())) {
    *error = static_cast<int>(GetLastError());
    return false;
  }
  return true;
}

bool RenameReplacing(const std::string& source, const std::string& target, int* error) {
  if (MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  *error = static_cast<int>(GetLastError());
  // A target that another process holds open is refused as access denied,
  // the same answer as for a file nobody may change. Only an open of its
  // own tells the two apart: the holder's refusal is a sharing violation,
  // which passes once the holder lets go.
  if (*error == ERROR_ACCESS_DENIED && HeldByAnotherProcess(target)) *error = kErrorSharingViolation;
  return false;
}

}  // namespace vx
