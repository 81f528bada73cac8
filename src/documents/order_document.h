// The order document: an order the host hands over, or an order file, with
// the three places every action needs located in it, and the changes made
// to it on the way to and from an order file (stripping, and the L2
// attachments as "base64:" text).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "documents/base64.h"
#include "documents/order_locate.h"
#include "json/fast_json.h"
#include "support/string_list.h"

namespace vx {

class TVXJSONObject {
 public:
  TVXJSONObject() = default;
  TVXJSONObject(const TVXJSONObject&) = delete;
  TVXJSONObject& operator=(const TVXJSONObject&) = delete;

  // Starts from an empty document. Empty data: nothing more, not valid.
  // isText: data is JSON text, and its parse error reaches the caller.
  // Otherwise data names a file: a missing file gives an empty document; a
  // file that cannot be read or parsed raises its error, unless tryBackup
  // finds a ".~json" backup that loads without error, which then stands in.
  // Then locates the order (LocateOrder), whose errors reach the caller.
  // A load that does not raise leaves the document valid.
  void Load(const std::string& data, bool isText, bool tryBackup);
  // The order, its address and its positions are all located.
  bool IsValid() const { return FLocation.IsValid(); }

  TFastJSON& JSON() { return FJSON; }
  // The located places; each raises "<TVXJSONObject>no order loaded" when
  // the document is not valid, and Adress the model's value type error
  // when the address is no object.
  TJsonObject& Order();
  TJsonObject& Adress();
  TJsonArray& Parts();
  // Position i as an object; the list index or value type error otherwise.
  TJsonObject& Part(int index);

  // Whether fileName is a temporary file that ExtractL2Files wrote for this
  // document since its last Load. Only such files may the host delete.
  bool IsExtractedL2File(const std::string& fileName) const;
  void NoteExtractedL2File(const std::string& fileName);

 private:
  void LoadOrderFile(const std::string& fileName, bool tryBackup);

  TFastJSON FJSON;
  TOrderLocation FLocation;  // FOrder, FAdress and FParts
  std::set<std::string> FExtractedL2Files;
};

// Access to the L2 attachment field of position i.
class TL2CustomReaderWriter {
 public:
  virtual ~TL2CustomReaderWriter() = default;
  virtual std::string ReadL2(int index) = 0;
  virtual void WriteL2(int index, const std::string& text) = 0;
};

// The L2 field of a position of an order document (not owned).
class TL2ReaderWriter : public TL2CustomReaderWriter {
 public:
  explicit TL2ReaderWriter(TVXJSONObject& document) : FDocument(document) {}
  // The text of the position's "L2" (which adds an empty "L2" when missing).
  std::string ReadL2(int index) override;
  // Sets "L2" to the text and "DeleteL2" to true.
  void WriteL2(int index, const std::string& text) override;

 private:
  TVXJSONObject& FDocument;
};

// Strips a valid document for an order file: root "UID" = "VX Datei
// Zwischenablage " + now + " " + the GUID hash, "Description" = "VX Datei
// Zwischenablage", "Permissions" deleted (its absence raises the model's
// not-found error, after UID and Description were set), the address
// emptied and the order reduced to its array members.
void PrepareForFile(TVXJSONObject& document);
void PrepareForFile(TVXJSONObject& document, const TJsonDateTime& now, uint32_t guidHash);

// Replaces a file named by "L2" with "base64:" and the file's content.
// Returns the file's name when it was embedded, else "" ("base64:" text
// already, no such file, or a read error, which leaves the position as it
// was). The file itself stays: see EmbedL2Files.
std::string EmbedL2File(TL2CustomReaderWriter& positions, int index);

// EmbedL2File for every position in order. Returns the embedded files,
// each once. They are not deleted here, so that an order file or clipboard
// write that fails loses nothing: the caller deletes them with
// DeleteEmbeddedL2Files after its write has succeeded.
std::vector<std::string> EmbedL2Files(TVXJSONObject& document);
void DeleteEmbeddedL2Files(const std::vector<std::string>& fileNames);

// Writes "base64:" content of "L2" to a new temporary file and sets "L2"
// to its name. Returns the name, or "" when there was nothing to extract
// or it failed (then "L2" stays as it was).
std::string ExtractL2File(TL2CustomReaderWriter& positions, int index);

// ExtractL2File for every position in order; each file written is added to
// tempFiles (deleted by the owner later) and noted in the document.
void ExtractL2Files(TVXJSONObject& document, TStringList& tempFiles);

// The save path after the dialog: PrepareForFile, EmbedL2Files, the
// formatted file written (its folder created) beside the target and put in
// its place, and only then the embedded attachment files deleted. Any
// failure raises; an older file of that name and every attachment stay
// then.
void WriteOrderFile(TVXJSONObject& document, const std::string& fileName);

}  // namespace vx
