// Loading the JSON model's documents from files and saving them to files.
#include "json/fast_json.h"

#include <exception>
#include <memory>
#include <string>

#include "json/json_formatter.h"
#include "json/json_text_internal.h"
#include "support/errors.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/os_file.h"
#include "support/streams.h"

namespace vx {

void TFastJSON::LoadOneFile(const std::string& fileName) {
  Clear();
  if (!FileIsPresent(fileName)) return;
  // The file is read once, into the block the nodes will point into.
  size_t size = 0;
  TFileReadError error;
  if (!ReadWholeFile(fileName, &FText, &size, &error)) {
    // As the mapped file stream says it, and the not-a-file error for a
    // pipe or device, which is refused at once instead of waited for.
    if (error.Step == TFileReadError::TStep::Open && error.Code == kErrorBadFileType) {
      throw NotRegularFileError(fileName);
    }
    throw Exception(kOsErrorText);
  }
  const std::string_view text = CutJsonTextAtNul(std::string_view(FText.get(), size));
  FTextSize = text.size();
  ParseKeptText(text);
}

void TFastJSON::LoadFromFile(const std::string& fileName, bool tryBackup, bool reRaise) {
  try {
    LoadOneFile(fileName);
  } catch (const std::exception&) {
    const std::exception_ptr first = std::current_exception();
    if (tryBackup) {
      const std::string backup = BackupFileName(fileName);
      if (FileIsPresent(backup)) {
        try {
          LoadOneFile(backup);
        } catch (const std::exception&) {
          // The backup is a last resort: whatever it gave stays, its error does not count.
        }
      }
    }
    if (reRaise) std::rethrow_exception(first);
  }
}

void TFastJSON::SaveToFile(const std::string& fileName, bool makeBackup, TJSONFormatterClass formatterClass) const {
  const std::string folder = ExtractFilePath(fileName);
  if (!folder.empty()) CreateFolderTree(folder);
  const std::unique_ptr<TJSONFormatter> formatter = formatterClass ? formatterClass("\r\n", 2) : nullptr;
  {
    TWriteCachedFileStream stream(fileName);
    WriteTo(stream, formatter.get());
    // Close, not the destructor, reports a failure of the last write.
    stream.Close();
  }
  if (makeBackup) {
    // A name without a folder is copied from and to the current folder.
    const std::string source = folder.empty() ? std::string(".") + kPathDelim + fileName : fileName;
    CopyFileRetry(source, BackupFileName(source));
  }
}

std::string BackupFileName(const std::string& fileName) { return ChangeFileExt(fileName, ".~json"); }

}  // namespace vx
