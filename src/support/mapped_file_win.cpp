#include <windows.h>

#include "support/errors.h"
#include "support/handles_win.h"
#include "support/streams.h"

namespace vx {

TMappedFileStream::TMappedFileStream(const std::string& fileName) {
  if (!FFile.Open(fileName, TOpenMode::ReadShared)) {
    if (FFile.LastError == kErrorBadFileType) throw NotRegularFileError(fileName);
    throw Exception(kOsErrorText);
  }
  HANDLE file = reinterpret_cast<HANDLE>(FFile.NativeHandle());
  // The size comes from the 32-bit query; order files stay far below 4 GiB.
  const DWORD size = GetFileSize(file, nullptr);
  if (size == INVALID_FILE_SIZE) throw Exception(kOsErrorText);
  FSize = size;
  if (FSize == 0) return;
  THandle mapping(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping.Valid()) throw Exception(kOsErrorText);
  FMemory = static_cast<const char*>(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
  if (!FMemory) throw Exception(kOsErrorText);
  FMappingHandle = reinterpret_cast<intptr_t>(mapping.Release());
}

TMappedFileStream::~TMappedFileStream() { Unmap(); }

void TMappedFileStream::Unmap() {
  if (FMemory) UnmapViewOfFile(FMemory);
  if (FMappingHandle) CloseHandle(reinterpret_cast<HANDLE>(FMappingHandle));
  FMemory = nullptr;
  FMappingHandle = 0;
}

}  // namespace vx
