// An INI file that keeps every line as it was and rewrites only the lines
// that are written. Large files stay fast: the file is read in one block,
// lines are split into name and value only when first looked at, and
// sections (and, for big sections, keys) are found through hash tables.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/os_file.h"
#include "support/streams.h"
#include "support/string_list.h"

namespace vx {

enum TIniLineKind : uint8_t {
  ilKey,      // split into name and value
  ilNotAKey,  // looked at, has no "="
  ilUnsplit,  // not looked at yet
  ilSection,  // "[" ... "]"
  ilComment,  // starts with ";"
  ilEmpty,
};

// How names compare: the Windows-1252 letter case ignored (the default),
// only the ASCII letter case ignored, or byte for byte.
enum TIniCompare : uint8_t { icLocale, icAscii, icExact };

// One line. Text is the whole line as it is written back; an unchanged line
// keeps its bytes exactly, spacing included. Name and Value are parts of
// Text, valid for key lines only.
struct TIniItem {
  TIniLineKind Kind;
  uint32_t Hash;  // of the name (key lines) or the section name (headers)
  std::string_view Text;
  std::string_view Name;
  std::string_view Value;
};

// Line indexes of a section's key lines, relative to its first body line so
// that shifting later sections leaves them valid; 256 buckets by the low
// byte of the key hash, each in file order.
using TKeyTable = std::array<std::vector<uint32_t>, 256>;

struct TIniSection {
  std::string Name;
  uint32_t Hash;
  int FirstLine;                    // the line after the header
  std::unique_ptr<TKeyTable> Keys;  // hashed mode only, built on first use
  TIniSection* NextInBucket;
};

// The section index: 256 buckets by the low byte of the name hash.
class TSectionItems {
 public:
  TSectionItems() { FBuckets.fill(nullptr); }
  // The first section of that name in file order, or null.
  TIniSection* Find(std::string_view name, uint32_t hash, const unsigned char* upper) const;
  // Sections are only ever added after the existing ones.
  TIniSection* Add(std::string_view name, uint32_t hash, int firstLine);
  void Remove(TIniSection* section);
  // Moves the first line of every section starting after line by delta.
  void ShiftLines(int line, int delta);
  void Clear();
  int Count() const { return static_cast<int>(FSections.size()); }

 private:
  std::array<TIniSection*, 256> FBuckets;
  std::array<TIniSection*, 256> FLast{};  // the end of each bucket's chain
  std::vector<std::unique_ptr<TIniSection>> FSections;  // file order
};

// The lines of an INI file.
class TIniItems {
 public:
  explicit TIniItems(TIniCompare compare = icLocale);

  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises the list index error for an index outside the list.
  const TIniItem& Get(int index) const;
  // Replaces the whole text of a key line (same name, new value) and
  // splits it again.
  void SetKeyText(int index, std::string text);

  void Clear();
  // Reads the whole file; an absent file gives an empty list. A UTF-8
  // byte-order mark at the start is kept aside and written back by Text.
  // Raises EFCreateError when the file cannot be opened (see TFileStreamEx).
  void LoadFromFile(const std::string& fileName);
  // From the stream's position to its end; raises EStreamError "Stream
  // read error" and keeps the list as it was when fewer bytes arrive.
  void LoadFromStream(TStream& stream);
  void LoadFromText(std::string text);
  // Writes a temporary file beside fileName and puts it in place, so a
  // crash or a full disk leaves the old file whole. Creates the folder;
  // keeps the hidden and system attributes. A file that another process
  // holds is tried again for 10 s; a read-only file and every other
  // failure raise EFCreateError at once.
  void SaveToFile(const std::string& fileName) const;
  void SaveToStream(TStream& stream) const;
  // Every line followed by CR LF, after the byte-order mark the file had.
  std::string Text() const;

  // The section, created at the end of the file when asked and missing.
  TIniSection* FindSection(std::string_view name, bool create);
  // The line of the key, or -1; with create, a missing key is added with an
  // empty value after the section's last key line.
  int FindKey(TIniSection* section, std::string_view key, bool create);
  // The line after the last line of the section's body (the next header or
  // the end of the list).
  int SectionEnd(const TIniSection* section) const;
  // Splits the line when it has not been looked at yet.
  const TIniItem& Look(int index);
  void DeleteKey(TIniSection* section, int index);
  void EraseSection(TIniSection* section);
  bool NamesEqual(std::string_view a, std::string_view b) const;
  uint32_t HashName(std::string_view name) const;

  bool Hashed = false;
  int EmptyLines = 0;
  int CommentLines = 0;
  int OtherLines = 0;
  int SectionHeaders = 0;

 private:
  void AddLine(std::string_view line);
  void InsertLine(int index, std::string_view line);
  void RemoveLines(int first, int count);
  void Split(TIniItem& item) const;
  void GrowIfFull();
  std::string_view Keep(std::string text);
  int FindKeyLinear(const TIniSection* section, std::string_view key, uint32_t hash);
  int FindKeyHashed(TIniSection* section, std::string_view key, uint32_t hash);

  const unsigned char* FUpper;
  std::vector<TIniItem> FItems;
  std::string FLoadedText;         // the lines read point into this
  std::deque<std::string> FAdded;  // texts of lines written since; never move
  TSectionItems FSections;
  TIniSection* FLastSection = nullptr;
  bool FUtf8Mark = false;  // the file began with a UTF-8 byte-order mark
};

// The interface of INI files: the file name and the operations on it.
class TCustomIniFile {
 public:
  explicit TCustomIniFile(std::string fileName) : FileName(std::move(fileName)) {}
  virtual ~TCustomIniFile() = default;

  virtual std::string ReadString(const std::string& section, const std::string& key, const std::string& def) = 0;
  virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
  virtual int ReadInteger(const std::string& section, const std::string& key, int def) = 0;
  virtual void WriteInteger(const std::string& section, const std::string& key, int value) = 0;
  virtual void ReadSection(const std::string& section, TStringList& list) = 0;
  virtual void ReadSections(TStringList& list) = 0;
  virtual void ReadSectionValues(const std::string& section, TStringList& list) = 0;
  virtual void EraseSection(const std::string& section) = 0;
  virtual void DeleteKey(const std::string& section, const std::string& key) = 0;
  virtual void UpdateFile() = 0;

  const std::string FileName;
};

// The INI file, loaded on first use and saved when updated or destroyed if
// something changed. Load and save failures raise EFCreateError; the
// destructor cannot report one, so callers that must know call UpdateFile.
// After a failed UpdateFile the destructor does not save again.
class TFastIniFile : public TCustomIniFile {
 public:
  explicit TFastIniFile(std::string fileName, TIniCompare compare = icLocale);
  ~TFastIniFile() override;

  // A missing key gives def. Values lose an inline comment (StripComments)
  // and one pair of enclosing quotes (StripQuotes).
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) override;
  // Creates section and key when missing; an inline comment stays at its
  // column. An empty key with an empty value erases the section.
  void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
  // Decimal, "$" or "0x" hexadecimal; anything else gives def.
  int ReadInteger(const std::string& section, const std::string& key, int def) override;
  void WriteInteger(const std::string& section, const std::string& key, int value) override;
  void ReadSection(const std::string& section, TStringList& list) override;
  void ReadSections(TStringList& list) override;
  void ReadSectionValues(const std::string& section, TStringList& list) override;
  // Removes the header and the body; comments right before the next header
  // stay with that section.
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& key) override;
  // Writes the file when something changed.
  void UpdateFile() override;

  // Empties the lines; the next operation loads the file again.
  void Clear();
  bool Modified() const { return FModified; }
  const TIniItems& Items() const { return FItems; }

  bool StripComments = true;
  bool StripQuotes = false;

 private:
  void EnsureLoaded();
  void SaveIfModified();
  std::string ValueOf(std::string_view raw) const;

  TIniItems FItems;
  bool FLoaded = false;
  bool FModified = false;
  bool FUpdateFailed = false;
};

// Reads a whole number the way the INI file does: optional sign, decimal
// digits, or hexadecimal after "$" or "0x"; false for anything else or a
// number outside 32 bits.
bool ParseIniInteger(std::string_view text, int* value);

}  // namespace vx
