#include "support/streams.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "support/errors.h"
#include "support/folders.h"
#include "support/pause.h"

namespace vx {

namespace {

constexpr int kDefaultCacheSize = 16384;

// A file held by another process gets 10 s, asked every 10 ms.
constexpr int kHeldRetryMs = 10000;
constexpr int kHeldRetryPauseMs = 10;

int64_t SeekTarget(int64_t offset, TSeekOrigin origin, int64_t current, int64_t size) {
  switch (origin) {
    case soBeginning:
      return offset;
    case soCurrent:
      return current + offset;
    case soEnd:
      return size + offset;
  }
  return current;
}

}  // namespace

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EStreamError("Stream write error");
}

// TMemoryStream

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t available = std::max<int64_t>(0, Size() - FPosition);
  const int64_t n = std::min(std::max<int64_t>(count, 0), available);
  if (n > 0) std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const auto end = static_cast<size_t>(FPosition + count);
  if (end > FData.size()) FData.resize(end);
  std::memcpy(&FData[static_cast<size_t>(FPosition)], buffer, static_cast<size_t>(count));
  FPosition += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  FPosition = std::max<int64_t>(0, SeekTarget(offset, origin, FPosition, Size()));
  return FPosition;
}

void TMemoryStream::SetData(std::string data) {
  FData = std::move(data);
  FPosition = 0;
}

void TMemoryStream::Clear() { SetData(std::string()); }

// TOsFileStream

int64_t TOsFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || !FFile.SeekTo(FPosition)) return 0;
  const int64_t n = FFile.Read(buffer, count);
  if (n <= 0) return 0;
  FPosition += n;
  return n;
}

int64_t TOsFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0 || !FFile.SeekTo(FPosition)) return 0;
  const int64_t n = FFile.Write(buffer, count);
  if (n <= 0) return 0;
  FPosition += n;
  return n;
}

int64_t TOsFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  FPosition = std::max<int64_t>(0, SeekTarget(offset, origin, FPosition, Size()));
  return FPosition;
}

int64_t TOsFileStream::Size() { return std::max<int64_t>(0, FFile.Size()); }

// TBetterFileStream

TBetterFileStream::TBetterFileStream(const std::string& fileName, bool clearProtection, int mode)
    : FileName(fileName) {
  if (clearProtection && FileIsPresent(fileName)) {
    int error = 0;
    if (ReadFileAttributes(fileName, &FAttributes, &error) && (FAttributes & kAttrReadOnly)) {
      FRestoreAttributes = true;
      WriteFileAttributes(fileName, FAttributes & ~kAttrReadOnly);
    }
    uint32_t current = 0;
    if (ReadFileAttributes(fileName, &current, &error) && (current & kAttrHidden)) {
      FRestoreAttributes = true;
      WriteFileAttributes(fileName, current & ~kAttrHidden);
    }
  }
  if (!FFile.Open(fileName, mode == 0 ? TOpenMode::OpenAlways : TOpenMode::CreateAlways)) {
    if (FRestoreAttributes) WriteFileAttributes(FileName, FAttributes);
    throw EFCreateError(CannotCreateFileText(fileName));
  }
}

TBetterFileStream::~TBetterFileStream() {
  FFile.Close();
  if (FRestoreAttributes) WriteFileAttributes(FileName, FAttributes);
}

// RetryWhileHeld and TFileStreamEx

bool RetryWhileHeld(const std::function<bool(int* error)>& attempt) {
  const auto start = std::chrono::steady_clock::now();
  // Counting the pauses as well keeps the limit when tests make them instant.
  for (int paused = 0;; paused += kHeldRetryPauseMs) {
    int error = 0;
    if (attempt(&error)) return true;
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (!IsPassingFileError(error) || paused >= kHeldRetryMs || elapsed >= std::chrono::milliseconds(kHeldRetryMs)) {
      return false;
    }
    Pause(kHeldRetryPauseMs);
  }
}

TFileStreamEx::TFileStreamEx(const std::string& fileName, TOpenMode mode) : FileName(fileName) {
  const bool opened = RetryWhileHeld([&](int* code) {
    if (FFile.Open(fileName, mode)) return true;
    *code = FFile.LastError;
    return false;
  });
  if (opened) return;
  const bool creating = mode != TOpenMode::ReadShared && mode != TOpenMode::ReadShareAll;
  // 0xF6 is the o with diaeresis.
  throw EFCreateError(creating ? CannotCreateFileText(fileName)
                               : FormatText("Datei %s kann nicht ge\xf6" "ffnet werden", fileName));
}

// TWriteCachedFileStream

TWriteCachedFileStream::TWriteCachedFileStream(const std::string& fileName, int bufferSize)
    : FileName(fileName), BufferSize(bufferSize > 0 ? bufferSize : kDefaultCacheSize) {
  if (!FFile.Open(fileName, TOpenMode::CreateExclusive)) {
    LastError = FFile.LastError;
    RaiseError("Cannot create %s.");
  }
  // The cache is taken only once the file is open, so a failed open holds nothing.
  FBuffer.reset(new char[static_cast<size_t>(BufferSize)]);
}

TWriteCachedFileStream::~TWriteCachedFileStream() {
  try {
    Close();
  } catch (const Exception&) {
    // No caller is left to tell; writers that must know call Close.
  }
}

void TWriteCachedFileStream::Close() {
  if (!FFile.IsOpen()) return;
  try {
    FlushBuffer();
  } catch (...) {
    FFile.Close();
    throw;
  }
  if (!FFile.Close()) {
    LastError = FFile.LastError;
    RaiseError("FileWrite failed for %s.");
  }
}

void TWriteCachedFileStream::RaiseError(const std::string& format) {
  throw EStreamError(FormatText(format, FileName) + "  " + FileErrorMessage(LastError));
}

int64_t TWriteCachedFileStream::Read(void*, int64_t) { return 0; }

int64_t TWriteCachedFileStream::Write(const void* buffer, int64_t count) {
  const char* bytes = static_cast<const char*>(buffer);
  int64_t remaining = count;
  while (remaining > 0) {
    if (FPosition < FBufferStart || FPosition > FBufferEnd || FPosition - FBufferStart == BufferSize) {
      FlushBuffer();
    }
    const int64_t room = BufferSize - (FPosition - FBufferStart);
    const int64_t n = std::min(room, remaining);
    std::memcpy(FBuffer.get() + (FPosition - FBufferStart), bytes, static_cast<size_t>(n));
    bytes += n;
    remaining -= n;
    FPosition += n;
    FBufferEnd = std::max(FBufferEnd, FPosition);
  }
  FileSize = std::max(FileSize, FPosition);
  return count;
}

int64_t TWriteCachedFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  FPosition = SeekTarget(offset, origin, FPosition, FileSize);
  return FPosition;
}

void TWriteCachedFileStream::FlushBuffer() {
  const int64_t cached = FBufferEnd - FBufferStart;
  if (cached > 0) {
    if (!FFile.SeekTo(FBufferStart)) {
      LastError = FFile.LastError;
      RaiseError("SetFilePointerEx failed for %s.");
    }
    if (FFile.Write(FBuffer.get(), cached) != cached) {
      LastError = FFile.LastError;
      RaiseError("FileWrite failed for %s.");
    }
    LastError = 0;
  }
  FBufferStart = FPosition;
  FBufferEnd = FPosition;
}

// TMappedFileStream: the portable half.

int64_t TMappedFileStream::Read(void* buffer, int64_t count) {
  const int64_t n = std::max<int64_t>(0, std::min(count, FSize - FPosition));
  if (n > 0) std::memcpy(buffer, FMemory + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMappedFileStream::Write(const void*, int64_t) { throw Exception("TMappedFileStream is read only"); }

// Kept within the file, so that Read never copies from outside the mapping.
int64_t TMappedFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  FPosition = std::clamp<int64_t>(SeekTarget(offset, origin, FPosition, FSize), 0, FSize);
  return FPosition;
}

}  // namespace vx
