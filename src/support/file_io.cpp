#include "support/file_io.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "support/errors.h"
#include "support/folders.h"
#include "support/guid.h"
#include "support/os_file.h"
#include "support/pause.h"

namespace vx {

namespace {

constexpr int kCopyAttempts = 10;
constexpr int kCopyPauseStepMs = 100;
constexpr int64_t kCopyChunk = 61440;

// Runs step until it returns without an exception, at most kFileAttempts
// times; the last attempt's exception goes to the caller.
template <typename Step>
auto WithRetries(Step&& step) {
  for (int attempt = 1;; ++attempt) {
    try {
      return step(attempt);
    } catch (const ENotRegularFile&) {
      throw;
    } catch (const Exception&) {
      if (attempt >= kFileAttempts) throw;
      Pause(kFileRetryPauseMs);
    }
  }
}

// Opens fileName and reads it into the memory that allocate(size) gives
// for the file's size; *got is the count read.
template <typename TAllocate>
bool ReadWholeFileInto(const std::string& fileName, TAllocate allocate, size_t* got, TFileReadError* error) {
  TOsFile file;
  auto fail = [&](TFileReadError::TStep step) {
    if (error) *error = {step, file.LastError};
    return false;
  };
  if (!file.Open(fileName, TOpenMode::ReadShared)) return fail(TFileReadError::TStep::Open);
  const int64_t size = file.Size();
  if (size < 0) return fail(TFileReadError::TStep::Read);
  char* bytes = allocate(static_cast<size_t>(size));
  const int64_t read = size > 0 ? file.Read(bytes, size) : 0;
  if (read < 0) return fail(TFileReadError::TStep::Read);
  *got = static_cast<size_t>(read);
  return true;
}

// ReadWholeFile for the loads with retries: the exception of the
// streams, and the not-a-file error for a pipe or device.
std::string ReadWholeFileOrRaise(const std::string& fileName) {
  std::string content;
  TFileReadError error;
  if (ReadWholeFile(fileName, &content, &error)) return content;
  if (error.Step == TFileReadError::TStep::Read) {
    throw EStreamError(CannotReadFileText(fileName, FileErrorMessage(error.Code)));
  }
  if (error.Code == kErrorBadFileType) throw NotRegularFileError(fileName);
  throw EStreamError(CannotOpenFileText(fileName, FileErrorMessage(error.Code)));
}

std::vector<TBoundedLine> ReadBoundedLines(const std::string& fileName, size_t maxLength, size_t maxLines,
                                           bool& moreLines) {
  TOsFile file;
  if (!file.Open(fileName, TOpenMode::ReadShared)) {
    if (file.LastError == kErrorBadFileType) throw NotRegularFileError(fileName);
    throw EStreamError(CannotOpenFileText(fileName, FileErrorMessage(file.LastError)));
  }
  std::vector<TBoundedLine> lines;
  TBoundedLine line;
  bool inLine = false;
  bool afterCr = false;  // an LF right after it ends no second line
  moreLines = false;
  const auto endLine = [&] {
    if (lines.size() >= maxLines) return false;
    lines.push_back(std::move(line));
    line = TBoundedLine();
    inLine = false;
    return true;
  };
  std::vector<char> buffer(static_cast<size_t>(kCopyChunk));
  for (;;) {
    const int64_t got = file.Read(buffer.data(), kCopyChunk);
    if (got < 0) throw EStreamError(CannotReadFileText(fileName, FileErrorMessage(file.LastError)));
    if (got == 0) break;
    for (int64_t i = 0; i < got; ++i) {
      const char c = buffer[static_cast<size_t>(i)];
      const bool lfOfCrLf = afterCr && c == '\n';
      afterCr = c == '\r';
      if (lfOfCrLf) continue;
      if (c == '\r' || c == '\n') {
        if (!endLine()) {
          moreLines = true;
          return lines;
        }
        continue;
      }
      inLine = true;
      if (line.Text.size() < maxLength) line.Text += c;
      ++line.Length;
    }
  }
  if (inLine && !endLine()) moreLines = true;
  return lines;
}

void WriteWholeFile(const std::string& fileName, std::string_view content) {
  EnsureFileFolder(fileName);
  TBetterFileStream stream(fileName, true, 1);
  stream.WriteBuffer(content.data(), static_cast<int64_t>(content.size()));
}

// WriteWholeFile for a file that is written only to be used at once: one
// that could be created but not filled is removed again, so a failed
// attempt leaves nothing behind.
void WriteWholeFileOrNothing(const std::string& fileName, std::string_view content) {
  EnsureFileFolder(fileName);
  std::exception_ptr failure;
  {
    TBetterFileStream stream(fileName, true, 1);
    try {
      stream.WriteBuffer(content.data(), static_cast<int64_t>(content.size()));
    } catch (const Exception&) {
      failure = std::current_exception();
    }
  }
  if (!failure) return;
  int error = 0;
  DeleteOneFile(fileName, &error);
  std::rethrow_exception(failure);
}

// One copy attempt: the target is created anew and filled from the start of
// the source, so a repeated attempt never leaves a partial target behind.
bool CopyOnce(TOsFile& source, int64_t size, const std::string& target) {
  TOsFile out;
  if (!out.Open(target, TOpenMode::CreateAlways) || !source.SeekTo(0)) return false;
  std::vector<char> buffer(static_cast<size_t>(std::min(std::max<int64_t>(size, 1), kCopyChunk)));
  int64_t left = size;
  while (left > 0) {
    const int64_t chunk = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
    if (source.Read(buffer.data(), chunk) != chunk || out.Write(buffer.data(), chunk) != chunk) return false;
    left -= chunk;
  }
  return out.Close();
}

}  // namespace

bool ReadWholeFile(const std::string& fileName, std::string* content, TFileReadError* error) {
  std::string bytes;
  size_t got = 0;
  auto allocate = [&bytes](size_t size) {
    bytes.assign(size, '\0');
    return &bytes[0];
  };
  if (!ReadWholeFileInto(fileName, allocate, &got, error)) return false;
  bytes.resize(got);
  *content = std::move(bytes);
  return true;
}

bool ReadWholeFile(const std::string& fileName, std::unique_ptr<char[]>* block, size_t* size, TFileReadError* error) {
  std::unique_ptr<char[]> bytes;
  auto allocate = [&bytes](size_t fileSize) {
    bytes.reset(new char[fileSize + 1]);
    return bytes.get();
  };
  if (!ReadWholeFileInto(fileName, allocate, size, error)) return false;
  *block = std::move(bytes);
  return true;
}

void SaveStringsRetry(const TStringList& list, const std::string& fileName) {
  const std::string text = list.Text();
  WithRetries([&](int) { WriteWholeFile(fileName, text); });
}

void LoadStringsRetry(TStringList& list, const std::string& fileName) {
  if (!FileIsPresent(fileName)) return;
  const std::string text = WithRetries([&](int) { return ReadWholeFileOrRaise(fileName); });
  list.SetText(text);
}

std::vector<TBoundedLine> LoadBoundedLinesRetry(const std::string& fileName, size_t maxLength, size_t maxLines,
                                                bool* moreLines) {
  bool more = false;
  std::vector<TBoundedLine> lines;
  if (FileIsPresent(fileName)) {
    lines = WithRetries([&](int) { return ReadBoundedLines(fileName, maxLength, maxLines, more); });
  }
  if (moreLines) *moreLines = more;
  return lines;
}

bool SaveStreamRetry(TMemoryStream& stream, const std::string& fileName) {
  WithRetries([&](int) { WriteWholeFile(fileName, stream.Data()); });
  return true;
}

void LoadStreamRetry(TMemoryStream& stream, const std::string& fileName) {
  if (!FileIsPresent(fileName)) return;
  stream.SetData(WithRetries([&](int) { return ReadWholeFileOrRaise(fileName); }));
}

std::string NumberedFileName(int n, const std::string& fileName) {
  return AddPathDelim(RemoveBackslash(ExtractFilePath(fileName))) + "[" + std::to_string(n) + "]" +
         ExtractFileName(fileName);
}

std::string SaveStreamUnique(TMemoryStream& stream, const std::string& fileName) {
  return WithRetries([&](int attempt) {
    const std::string name = attempt == 1 ? fileName : NumberedFileName(attempt - 1, fileName);
    WriteWholeFileOrNothing(name, stream.Data());
    return name;
  });
}

bool DeleteFileRetry(const std::string& fileName) {
  for (int attempt = 1; attempt <= kFileAttempts; ++attempt) {
    try {
      int error = 0;
      if (!FileIsPresent(fileName) || DeleteOneFile(fileName, &error)) return true;
    } catch (const Exception&) {
      if (attempt >= kFileAttempts) throw;
      Pause(kFileRetryPauseMs);
    }
  }
  return false;
}

bool DeleteFileIfPresent(const std::string& fileName) {
  int error = 0;
  return !FileIsPresent(fileName) || DeleteOneFile(fileName, &error);
}

bool CopyFileOnce(const std::string& source, const std::string& target) {
  const std::string folder = ExtractFilePath(target);
  if (!folder.empty()) CreateFolderTree(folder);
  TOsFile in;
  if (!in.Open(source, TOpenMode::ReadShareAll)) return false;
  const int64_t size = in.Size();
  return size >= 0 && CopyOnce(in, size, target);
}

bool CopyFileRetry(const std::string& source, const std::string& target) {
  CreateFolderTree(ExtractFilePath(target));
  TOsFile in;
  if (!in.Open(source, TOpenMode::ReadShareAll)) {
    if (in.LastError == kErrorBadFileType) throw NotRegularFileError(source);
    throw EStreamError(CannotOpenFileText(source, FileErrorMessage(in.LastError)));
  }
  const int64_t size = in.Size();
  for (int attempt = 1; attempt <= kCopyAttempts; ++attempt) {
    if (size >= 0 && CopyOnce(in, size, target)) return true;
    Pause(kCopyPauseStepMs * attempt);
  }
  return false;
}

bool TryReplaceFileContent(const std::string& fileName, std::string_view content, int* error) {
  EnsureFileFolder(fileName);
  const std::string temporary = fileName + ".~" + std::to_string(NewGuidHash());
  TOsFile file;
  if (!file.Open(temporary, TOpenMode::CreateExclusive)) {
    *error = file.LastError;
    return false;
  }
  const bool written =
      file.Write(content.data(), static_cast<int64_t>(content.size())) == static_cast<int64_t>(content.size());
  *error = file.LastError;
  const bool closed = file.Close();
  if (written && !closed) *error = file.LastError;
  if (written && closed && RenameReplacing(temporary, fileName, error)) return true;
  // The reason of the failure is kept, not that of the clean-up.
  int ignored = 0;
  DeleteOneFile(temporary, &ignored);
  return false;
}

void ReplaceFileContent(const std::string& fileName, std::string_view content) {
  int error = 0;
  if (TryReplaceFileContent(fileName, content, &error)) return;
  throw EFCreateError(CannotCreateFileText(fileName) + "  " + FileErrorMessage(error));
}

}  // namespace vx
