#include <sys/mman.h>

#include "support/errors.h"
#include "support/streams.h"

namespace vx {

TMappedFileStream::TMappedFileStream(const std::string& fileName) {
  if (!FFile.Open(fileName, TOpenMode::ReadShared)) {
    if (FFile.LastError == kErrorBadFileType) throw NotRegularFileError(fileName);
    throw Exception(kOsErrorText);
  }
  FSize = FFile.Size();
  if (FSize < 0) throw Exception(kOsErrorText);
  if (FSize == 0) return;
  void* view = ::mmap(nullptr, static_cast<size_t>(FSize), PROT_READ, MAP_PRIVATE,
                      static_cast<int>(FFile.NativeHandle()), 0);
  if (view == MAP_FAILED) throw Exception(kOsErrorText);
  ::madvise(view, static_cast<size_t>(FSize), MADV_SEQUENTIAL);
  FMemory = static_cast<const char*>(view);
}

TMappedFileStream::~TMappedFileStream() { Unmap(); }

void TMappedFileStream::Unmap() {
  if (FMemory) ::munmap(const_cast<char*>(FMemory), static_cast<size_t>(FSize));
  FMemory = nullptr;
}

}  // namespace vx
