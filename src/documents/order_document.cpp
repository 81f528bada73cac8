#include "documents/order_document.h"

#include <algorithm>
#include <exception>

#include "documents/local_clock.h"
#include "json/json_formatter.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/guid.h"
#include "support/streams.h"

namespace vx {

namespace {

constexpr char kClipboardFileText[] = "VX Datei Zwischenablage";

}  // namespace

void TVXJSONObject::Load(const std::string& data, bool isText, bool tryBackup) {
  FLocation = TOrderLocation();
  FExtractedL2Files.clear();
  FJSON.Clear();
  if (data.empty()) return;
  try {
    if (isText) {
      FJSON.Parse(data);
    } else {
      LoadOrderFile(data, tryBackup);
    }
  } catch (...) {
    // Half a document must not pass for the order.
    FJSON.Clear();
    throw;
  }
  LocateOrder(FJSON, FLocation);
}

// A file that does not parse is an error of its own: locating the order in
// what was parsed before the error would send or save part of it, with
// positions silently missing.
void TVXJSONObject::LoadOrderFile(const std::string& fileName, bool tryBackup) {
  try {
    FJSON.LoadFromFile(fileName, false, true);
    return;
  } catch (const std::exception&) {
    const std::exception_ptr first = std::current_exception();
    const std::string backup = BackupFileName(fileName);
    if (tryBackup && FileIsPresent(backup)) {
      try {
        FJSON.LoadFromFile(backup, false, true);
        return;
      } catch (const std::exception&) {
        // The backup is no better; the file's own error is the one to show.
      }
    }
    std::rethrow_exception(first);
  }
}

TJsonObject& TVXJSONObject::Order() {
  if (!IsValid()) throw Exception(JsonErrorText("TVXJSONObject", "no order loaded"));
  return FLocation.Order->AsObject();
}

TJsonObject& TVXJSONObject::Adress() {
  if (!IsValid()) throw Exception(JsonErrorText("TVXJSONObject", "no order loaded"));
  return FLocation.Adress->AsObject();
}

TJsonArray& TVXJSONObject::Parts() {
  if (!IsValid()) throw Exception(JsonErrorText("TVXJSONObject", "no order loaded"));
  return *FLocation.Parts;
}

TJsonObject& TVXJSONObject::Part(int index) { return Parts().Items(index).AsObject(); }

bool TVXJSONObject::IsExtractedL2File(const std::string& fileName) const {
  return FExtractedL2Files.count(fileName) != 0;
}

void TVXJSONObject::NoteExtractedL2File(const std::string& fileName) { FExtractedL2Files.insert(fileName); }

std::string TL2ReaderWriter::ReadL2(int index) { return FDocument.Part(index).Values("L2").AsString(); }

void TL2ReaderWriter::WriteL2(int index, const std::string& text) {
  TJsonObject& part = FDocument.Part(index);
  part.Values("L2").SetAsString(text);
  part.Values("DeleteL2").SetAsBoolean(true);
}

void PrepareForFile(TVXJSONObject& document) { PrepareForFile(document, LocalDateTimeNow(), NewGuidHash()); }

void PrepareForFile(TVXJSONObject& document, const TJsonDateTime& now, uint32_t guidHash) {
  TJsonObject& order = document.Order();
  TJsonObject& adress = document.Adress();
  TFastJSON& json = document.JSON();
  json.Values("UID").SetAsString(std::string(kClipboardFileText) + " " + DateTimeToJsonText(now) + " " +
                                 std::to_string(guidHash));
  json.Values("Description").SetAsString(kClipboardFileText);
  json.Delete("Permissions");
  adress.Clear();
  for (int i = order.Count() - 1; i >= 0; --i) {
    if (order.Items(i).Value().ValueType() != jvArray) order.Delete(i);
  }
}

std::string EmbedL2File(TL2CustomReaderWriter& positions, int index) {
  const std::string fileName = positions.ReadL2(index);
  if (StartsWithBase64Tag(fileName) || !FileIsPresent(fileName)) return "";
  try {
    TMemoryStream content;
    LoadStreamRetry(content, fileName);
    positions.WriteL2(index, std::string(kBase64Tag) + EncodeBase64(content.Data()));
    return fileName;
  } catch (const std::exception&) {
    // An attachment that cannot be read stays a file reference.
    return "";
  }
}

std::vector<std::string> EmbedL2Files(TVXJSONObject& document) {
  TL2ReaderWriter positions(document);
  std::vector<std::string> embedded;
  const int count = document.Parts().Count();
  for (int i = 0; i < count; ++i) {
    const std::string fileName = EmbedL2File(positions, i);
    if (!fileName.empty() && std::find(embedded.begin(), embedded.end(), fileName) == embedded.end()) {
      embedded.push_back(fileName);
    }
  }
  return embedded;
}

void DeleteEmbeddedL2Files(const std::vector<std::string>& fileNames) {
  for (const std::string& fileName : fileNames) DeleteFileIfPresent(fileName);
}

std::string ExtractL2File(TL2CustomReaderWriter& positions, int index) {
  const std::string text = positions.ReadL2(index);
  if (!StartsWithBase64Tag(text)) return "";
  const std::string fileName = NewTempFileName();
  try {
    TMemoryStream content;
    content.SetData(DecodeBase64(std::string_view(text).substr(kBase64Tag.size())));
    if (!SaveStreamRetry(content, fileName)) return "";
    positions.WriteL2(index, fileName);
    return fileName;
  } catch (const std::exception&) {
    // The position keeps its "base64:" text; the host then gets no file.
    return "";
  }
}

void ExtractL2Files(TVXJSONObject& document, TStringList& tempFiles) {
  TL2ReaderWriter positions(document);
  const int count = document.Parts().Count();
  for (int i = 0; i < count; ++i) {
    const std::string fileName = ExtractL2File(positions, i);
    if (fileName.empty()) continue;
    tempFiles.Add(fileName);
    document.NoteExtractedL2File(fileName);
  }
}

void WriteOrderFile(TVXJSONObject& document, const std::string& fileName) {
  PrepareForFile(document);
  const std::vector<std::string> embedded = EmbedL2Files(document);
  // Written beside the target and then put in place, so that a write that
  // fails part-way (a full disk, a lost share) leaves an older order file
  // of that name intact.
  TMemoryStream content;
  document.JSON().WriteTo(content, TJSONFormatter::Create("\r\n", 2).get());
  ReplaceFileContent(fileName, content.Data());
  DeleteEmbeddedL2Files(embedded);
}

}  // namespace vx
