// Byte streams: the interface the writers use, a memory stream, and the
// file streams (a plain one, a write-cached one and a read-only mapping).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "support/os_file.h"

namespace vx {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
 public:
  virtual ~TStream() = default;
  // Bytes actually read or written.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // The new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size() = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  // Writes all bytes or raises EStreamError.
  void WriteBuffer(const void* buffer, int64_t count);
  void WriteText(std::string_view text) { WriteBuffer(text.data(), static_cast<int64_t>(text.size())); }
};

// A growable block of bytes in memory.
class TMemoryStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }

  const std::string& Data() const { return FData; }
  void SetData(std::string data);
  void Clear();

 private:
  std::string FData;
  int64_t FPosition = 0;
};

// A stream over an OS file handle with a position of its own; the derived
// streams open FFile as they need it.
class TOsFileStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;

 protected:
  TOsFile FFile;

 private:
  int64_t FPosition = 0;
};

// A file stream that, when asked, clears the read-only and hidden
// attributes of an existing file and puts them back when it is destroyed
// (also after a failed write).
class TBetterFileStream : public TOsFileStream {
 public:
  // mode 0: open or create; mode 1: create anew, replacing the file.
  // Raises EFCreateError "Datei %s kann nicht erstellt werden".
  TBetterFileStream(const std::string& fileName, bool clearProtection, int mode);
  ~TBetterFileStream() override;

  const std::string FileName;

 private:
  uint32_t FAttributes = 0;
  bool FRestoreAttributes = false;
};

// Runs attempt (true on success, else false with the OS error code) until
// it succeeds. Only a file that another process (a second instance, the
// host, a virus scanner) holds is asked again, every 10 ms for 10 s; any
// other failure cannot pass by waiting, and a window that waited for it
// would only freeze. True on success.
bool RetryWhileHeld(const std::function<bool(int* error)>& attempt);

// The file stream that loads INI files. An open that another process's
// hold on the file refuses is tried again as RetryWhileHeld does; then, or
// at once for any other failure, it raises EFCreateError "Datei %s kann
// nicht geöffnet werden" (or "... erstellt werden" for the creating modes).
class TFileStreamEx : public TOsFileStream {
 public:
  TFileStreamEx(const std::string& fileName, TOpenMode mode);

  const std::string FileName;
};

// Writes a new file through a 16 KiB cache. The file is created anew and
// held with no sharing while the stream lives. Close writes the rest of the
// cache and raises its failure after the file was released; a stream
// destroyed without Close writes the rest too but cannot report a failure,
// so writers that must know call Close.
class TWriteCachedFileStream : public TStream {
 public:
  // Raises EStreamError "Cannot create <name>.  <reason>".
  explicit TWriteCachedFileStream(const std::string& fileName, int bufferSize = 0);
  ~TWriteCachedFileStream() override;

  // Writes the cache out and closes the file; raises EStreamError.
  void Close();

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return FileSize; }

  // Writes the cached bytes and empties the cache at the current position.
  void FlushBuffer();

  const std::string FileName;
  const int BufferSize;
  int64_t FileSize = 0;
  int LastError = 0;

 private:
  [[noreturn]] void RaiseError(const std::string& format);

  TOsFile FFile;
  std::unique_ptr<char[]> FBuffer;
  int64_t FPosition = 0;
  int64_t FBufferStart = 0;
  int64_t FBufferEnd = 0;
};

// Reads a whole file through a read-only memory mapping. Memory() is null
// for an empty file. Raises the general error "OSError" when the file cannot
// be opened or mapped; every write raises "TMappedFileStream is read only".
class TMappedFileStream : public TStream {
 public:
  explicit TMappedFileStream(const std::string& fileName);
  ~TMappedFileStream() override;
  TMappedFileStream(const TMappedFileStream&) = delete;
  TMappedFileStream& operator=(const TMappedFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return FSize; }

  const char* Memory() const { return FMemory; }
  std::string_view View() const { return FMemory ? std::string_view(FMemory, static_cast<size_t>(FSize)) : ""; }

 private:
  void Unmap();

  TOsFile FFile;
  intptr_t FMappingHandle = 0;
  const char* FMemory = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};

}  // namespace vx
