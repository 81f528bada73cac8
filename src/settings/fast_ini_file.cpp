#include "settings/fast_ini_file.h"

#include <algorithm>
#include <cstring>

#include "support/errors.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/text_utils.h"

namespace vx {

namespace {

// The byte-order mark an editor may put before UTF-8 text.
constexpr std::string_view kUtf8Mark = "\xef\xbb\xbf";

// Big sections are worth a key table of their own.
constexpr int kHashedLinesPerSection = 249;

const unsigned char* UpperTable(TIniCompare compare) {
  static const auto tables = [] {
    std::array<std::array<unsigned char, 256>, 3> result{};
    for (int c = 0; c < 256; ++c) {
      const auto byte = static_cast<unsigned char>(c);
      result[icLocale][c] = AnsiUpperChar(byte);
      result[icAscii][c] = (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 32) : byte;
      result[icExact][c] = byte;
    }
    return result;
  }();
  return tables[compare].data();
}

bool NamesMatch(std::string_view a, std::string_view b, const unsigned char* upper) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (upper[static_cast<unsigned char>(a[i])] != upper[static_cast<unsigned char>(b[i])]) return false;
  }
  return true;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) < '!'; }

// The first ";" outside double quotes, or npos.
size_t CommentStart(std::string_view value) {
  bool quoted = false;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '"') {
      quoted = !quoted;
    } else if (value[i] == ';' && !quoted) {
      return i;
    }
  }
  return std::string_view::npos;
}

TIniLineKind Classify(std::string_view line) {
  if (line.empty()) return ilEmpty;
  if (line[0] == ';') return ilComment;
  if (line[0] == '[' && line.size() > 1 && line.back() == ']') return ilSection;
  return ilUnsplit;
}

}  // namespace

// ---------------------------------------------------------------------------
// TSectionItems

TIniSection* TSectionItems::Find(std::string_view name, uint32_t hash, const unsigned char* upper) const {
  for (TIniSection* section = FBuckets[hash & 0xFF]; section; section = section->NextInBucket) {
    if (section->Hash == hash && NamesMatch(section->Name, name, upper)) return section;
  }
  return nullptr;
}

TIniSection* TSectionItems::Add(std::string_view name, uint32_t hash, int firstLine) {
  FSections.push_back(std::make_unique<TIniSection>(TIniSection{std::string(name), hash, firstLine, nullptr, nullptr}));
  TIniSection* section = FSections.back().get();
  // Appended at the end of its chain, so a repeated name finds the first;
  // through the bucket's last link, since names that share a bucket would
  // make a walk along the chain quadratic.
  const size_t bucket = hash & 0xFF;
  if (FLast[bucket]) {
    FLast[bucket]->NextInBucket = section;
  } else {
    FBuckets[bucket] = section;
  }
  FLast[bucket] = section;
  return section;
}

void TSectionItems::Remove(TIniSection* section) {
  const size_t bucket = section->Hash & 0xFF;
  TIniSection* previous = nullptr;
  TIniSection** link = &FBuckets[bucket];
  while (*link != section) {
    previous = *link;
    link = &(*link)->NextInBucket;
  }
  *link = section->NextInBucket;
  if (FLast[bucket] == section) FLast[bucket] = previous;
  FSections.erase(std::find_if(FSections.begin(), FSections.end(),
                               [section](const std::unique_ptr<TIniSection>& s) { return s.get() == section; }));
}

void TSectionItems::ShiftLines(int line, int delta) {
  for (auto& section : FSections) {
    if (section->FirstLine > line) section->FirstLine += delta;
  }
}

void TSectionItems::Clear() {
  FBuckets.fill(nullptr);
  FLast.fill(nullptr);
  FSections.clear();
}

// ---------------------------------------------------------------------------
// TIniItems

TIniItems::TIniItems(TIniCompare compare) : FUpper(UpperTable(compare)) {}

const TIniItem& TIniItems::Get(int index) const {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  return FItems[static_cast<size_t>(index)];
}

uint32_t TIniItems::HashName(std::string_view name) const {
  uint32_t hash = 0;
  for (char c : name) hash = ((hash << 2) | (hash >> 30)) ^ FUpper[static_cast<unsigned char>(c)];
  return hash;
}

bool TIniItems::NamesEqual(std::string_view a, std::string_view b) const { return NamesMatch(a, b, FUpper); }

std::string_view TIniItems::Keep(std::string text) {
  FAdded.push_back(std::move(text));
  return FAdded.back();
}

void TIniItems::Clear() {
  FItems.clear();
  FSections.Clear();
  FLastSection = nullptr;
  FLoadedText.clear();
  FAdded.clear();
  FUtf8Mark = false;
  Hashed = false;
  EmptyLines = CommentLines = OtherLines = SectionHeaders = 0;
}

void TIniItems::GrowIfFull() {
  const size_t capacity = FItems.capacity();
  if (FItems.size() < capacity) return;
  const size_t step = capacity > 1024 ? capacity / 4 : (capacity <= 256 ? 128 : 512);
  FItems.reserve(capacity + step);
}

void TIniItems::AddLine(std::string_view line) {
  GrowIfFull();
  TIniItem item{Classify(line), 0, line, {}, {}};
  switch (item.Kind) {
    case ilEmpty:
      ++EmptyLines;
      break;
    case ilComment:
      ++CommentLines;
      break;
    case ilSection:
      ++SectionHeaders;
      item.Name = line.substr(1, line.size() - 2);
      item.Hash = HashName(item.Name);
      FSections.Add(item.Name, item.Hash, Count() + 1);
      break;
    default:
      ++OtherLines;
      break;
  }
  FItems.push_back(item);
}

void TIniItems::InsertLine(int index, std::string_view line) {
  GrowIfFull();
  FItems.insert(FItems.begin() + index, TIniItem{ilUnsplit, 0, line, {}, {}});
  ++OtherLines;
  FSections.ShiftLines(index, 1);
}

void TIniItems::RemoveLines(int first, int count) {
  FItems.erase(FItems.begin() + first, FItems.begin() + first + count);
  FSections.ShiftLines(first, -count);
}

void TIniItems::LoadFromText(std::string text) {
  Clear();
  // A NUL byte ends the text.
  text.resize(std::strlen(text.c_str()));
  FLoadedText = std::move(text);
  FItems.reserve(FLoadedText.size() / 16);
  const char* data = FLoadedText.data();
  const size_t size = FLoadedText.size();
  // The mark belongs to the file, not to its first line, which may be a
  // section header; it is written back as it was found.
  FUtf8Mark = std::string_view(FLoadedText).substr(0, kUtf8Mark.size()) == kUtf8Mark;
  size_t start = FUtf8Mark ? kUtf8Mark.size() : 0;
  while (start < size) {
    size_t end = start;
    while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
    AddLine(std::string_view(data + start, end - start));
    if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') ++end;
    start = end + 1;
  }
  FItems.shrink_to_fit();
  Hashed = SectionHeaders > 0 && OtherLines / SectionHeaders > kHashedLinesPerSection;
}

void TIniItems::LoadFromStream(TStream& stream) {
  const int64_t left = std::max<int64_t>(stream.Size() - stream.Position(), 0);
  std::string text(static_cast<size_t>(left), '\0');
  // A read that breaks off must not pass for the whole file: the next save
  // would write the shortened list over every setting that was not read.
  if (left > 0 && stream.Read(&text[0], left) != left) throw EStreamError("Stream read error");
  LoadFromText(std::move(text));
}

void TIniItems::LoadFromFile(const std::string& fileName) {
  if (!FileIsPresent(fileName)) {
    Clear();
    return;
  }
  // Reading denies other writers, so no half-written file is read.
  TFileStreamEx stream(fileName, TOpenMode::ReadShared);
  LoadFromStream(stream);
}

std::string TIniItems::Text() const {
  size_t size = kUtf8Mark.size();
  for (const TIniItem& item : FItems) size += item.Text.size() + 2;
  std::string text;
  text.reserve(size);
  if (FUtf8Mark) text += kUtf8Mark;
  for (const TIniItem& item : FItems) {
    text += item.Text;
    text += "\r\n";
  }
  return text;
}

void TIniItems::SaveToStream(TStream& stream) const { stream.WriteText(Text()); }

void TIniItems::SaveToFile(const std::string& fileName) const {
  const std::string content = Text();
  uint32_t attributes = 0;
  int error = 0;
  const bool present = ReadFileAttributes(fileName, &attributes, &error);
  // A write-protected file stays as it is, on every platform.
  const bool saved = !(present && (attributes & kAttrReadOnly)) &&
                     RetryWhileHeld([&](int* code) { return TryReplaceFileContent(fileName, content, code); });
  if (!saved) throw EFCreateError(CannotCreateFileText(fileName));
  // The replacement is a new file: a hidden or system settings file stays so.
  if (present && (attributes & (kAttrHidden | kAttrSystem))) WriteFileAttributes(fileName, attributes);
}

void TIniItems::Split(TIniItem& item) const {
  const std::string_view text = item.Text;
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  const size_t equals = text.find('=', first);
  if (equals == std::string_view::npos) {
    item.Kind = ilNotAKey;
    return;
  }
  size_t nameEnd = equals;
  while (nameEnd > first && IsBlank(text[nameEnd - 1])) --nameEnd;
  size_t valueStart = equals + 1;
  while (valueStart < text.size() && IsBlank(text[valueStart])) ++valueStart;
  size_t valueEnd = text.size();
  while (valueEnd > valueStart && IsBlank(text[valueEnd - 1])) --valueEnd;
  item.Kind = ilKey;
  item.Name = text.substr(first, nameEnd - first);
  item.Value = text.substr(valueStart, valueEnd - valueStart);
  item.Hash = HashName(item.Name);
}

const TIniItem& TIniItems::Look(int index) {
  Get(index);
  TIniItem& item = FItems[static_cast<size_t>(index)];
  if (item.Kind == ilUnsplit) Split(item);
  return item;
}

void TIniItems::SetKeyText(int index, std::string text) {
  Get(index);
  TIniItem& item = FItems[static_cast<size_t>(index)];
  item.Text = Keep(std::move(text));
  Split(item);
}

TIniSection* TIniItems::FindSection(std::string_view name, bool create) {
  const uint32_t hash = HashName(name);
  if (FLastSection && FLastSection->Hash == hash && NamesEqual(FLastSection->Name, name)) return FLastSection;
  TIniSection* section = FSections.Find(name, hash, FUpper);
  if (!section && create) {
    if (!FItems.empty() && FItems.back().Kind != ilEmpty) AddLine({});
    AddLine(Keep("[" + std::string(name) + "]"));
    section = FSections.Find(name, hash, FUpper);
  }
  if (section) FLastSection = section;
  return section;
}

int TIniItems::SectionEnd(const TIniSection* section) const {
  int line = section->FirstLine;
  while (line < Count() && FItems[static_cast<size_t>(line)].Kind != ilSection) ++line;
  return line;
}

int TIniItems::FindKeyLinear(const TIniSection* section, std::string_view key, uint32_t hash) {
  for (int line = section->FirstLine; line < Count(); ++line) {
    const TIniItem& item = Look(line);
    if (item.Kind == ilSection) break;
    if (item.Kind == ilKey && item.Hash == hash && NamesEqual(item.Name, key)) return line;
  }
  return -1;
}

int TIniItems::FindKeyHashed(TIniSection* section, std::string_view key, uint32_t hash) {
  if (!section->Keys) {
    section->Keys = std::make_unique<TKeyTable>();
    const int end = SectionEnd(section);
    for (int line = section->FirstLine; line < end; ++line) {
      const TIniItem& item = Look(line);
      if (item.Kind == ilKey) (*section->Keys)[item.Hash & 0xFF].push_back(static_cast<uint32_t>(line - section->FirstLine));
    }
  }
  // From the back: with a repeated key the last one in the file counts.
  const std::vector<uint32_t>& bucket = (*section->Keys)[hash & 0xFF];
  for (auto it = bucket.rbegin(); it != bucket.rend(); ++it) {
    const int line = section->FirstLine + static_cast<int>(*it);
    const TIniItem& item = FItems[static_cast<size_t>(line)];
    if (item.Hash == hash && NamesEqual(item.Name, key)) return line;
  }
  return -1;
}

int TIniItems::FindKey(TIniSection* section, std::string_view key, bool create) {
  const uint32_t hash = HashName(key);
  const int found = Hashed ? FindKeyHashed(section, key, hash) : FindKeyLinear(section, key, hash);
  if (found >= 0 || !create) return found;

  // A new key goes after the last key of the section, before the comments
  // and empty lines that lead to the next header.
  int line = section->FirstLine;
  const int end = SectionEnd(section);
  for (int i = section->FirstLine; i < end; ++i) {
    const TIniLineKind kind = Look(i).Kind;
    if (kind == ilKey || kind == ilNotAKey) line = i + 1;
  }
  InsertLine(line, Keep(Trim(key) + "="));
  TIniItem& item = FItems[static_cast<size_t>(line)];
  Split(item);
  if (section->Keys) (*section->Keys)[item.Hash & 0xFF].push_back(static_cast<uint32_t>(line - section->FirstLine));
  return line;
}

void TIniItems::DeleteKey(TIniSection* section, int index) {
  Get(index);
  RemoveLines(index, 1);
  section->Keys.reset();
}

void TIniItems::EraseSection(TIniSection* section) {
  const int header = section->FirstLine - 1;
  const int end = SectionEnd(section);
  // The body runs to its last line of content or empty line. An empty line
  // right after a comment does not count, so comments that stand before
  // the next header stay with it.
  int last = header;
  for (int line = section->FirstLine; line < end; ++line) {
    const TIniLineKind kind = FItems[static_cast<size_t>(line)].Kind;
    const bool afterComment = FItems[static_cast<size_t>(line - 1)].Kind == ilComment;
    if (kind == ilKey || kind == ilNotAKey || kind == ilUnsplit || (kind == ilEmpty && !afterComment)) last = line;
  }
  if (FLastSection == section) FLastSection = nullptr;
  FSections.Remove(section);
  RemoveLines(header, last - header + 1);
}

// ---------------------------------------------------------------------------
// TFastIniFile

TFastIniFile::TFastIniFile(std::string fileName, TIniCompare compare)
    : TCustomIniFile(std::move(fileName)), FItems(compare) {}

TFastIniFile::~TFastIniFile() {
  // A save that failed has been reported; trying it again here would only
  // make the caller wait a second time for the same failure.
  if (FUpdateFailed) return;
  try {
    SaveIfModified();
  } catch (const Exception&) {
    // A destructor cannot report it; callers that must know call UpdateFile.
  }
}

void TFastIniFile::EnsureLoaded() {
  if (FLoaded) return;
  if (!FileName.empty()) FItems.LoadFromFile(FileName);
  FLoaded = true;
}

void TFastIniFile::Clear() {
  FItems.Clear();
  FLoaded = false;
  FModified = false;
}

void TFastIniFile::SaveIfModified() {
  if (!FModified) return;
  try {
    FItems.SaveToFile(FileName);
  } catch (const Exception&) {
    FUpdateFailed = true;
    throw;
  }
  FModified = false;
}

void TFastIniFile::UpdateFile() { SaveIfModified(); }

std::string TFastIniFile::ValueOf(std::string_view raw) const {
  if (StripComments) {
    const size_t comment = CommentStart(raw);
    if (comment != std::string_view::npos) raw = TrimView(raw.substr(0, comment));
  }
  if (StripQuotes && raw.size() >= 2 && raw.front() == raw.back() && (raw.front() == '"' || raw.front() == '\'')) {
    raw = raw.substr(1, raw.size() - 2);
  }
  return std::string(raw);
}

std::string TFastIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) {
  EnsureLoaded();
  TIniSection* found = FItems.FindSection(section, false);
  const int line = found ? FItems.FindKey(found, key, false) : -1;
  return line < 0 ? def : ValueOf(FItems.Get(line).Value);
}

void TFastIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  EnsureLoaded();
  if (key.empty()) {
    if (!value.empty()) return;
    if (section.empty()) {
      UpdateFile();
    } else {
      EraseSection(section);
    }
    return;
  }
  const int line = FItems.FindKey(FItems.FindSection(section, true), key, true);
  const TIniItem& item = FItems.Get(line);
  std::string_view current = item.Value;
  std::string_view comment;
  size_t commentPos = std::string_view::npos;
  if (StripComments) {
    commentPos = CommentStart(current);
    if (commentPos != std::string_view::npos) {
      comment = current.substr(commentPos);
      current = TrimView(current.substr(0, commentPos));
    }
  }
  if (current == value) return;

  std::string text = std::string(item.Name) + "=" + value;
  if (!comment.empty()) {
    // The comment keeps its column within the value when the new value
    // leaves room for it.
    const size_t column = value.size() < commentPos ? commentPos : value.size() + 1;
    text.append(column - value.size(), ' ');
    text += comment;
  }
  FItems.SetKeyText(line, std::move(text));
  FModified = true;
}

int TFastIniFile::ReadInteger(const std::string& section, const std::string& key, int def) {
  int value = 0;
  return ParseIniInteger(ReadString(section, key, ""), &value) ? value : def;
}

void TFastIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TFastIniFile::ReadSection(const std::string& section, TStringList& list) {
  EnsureLoaded();
  list.Clear();
  TIniSection* found = FItems.FindSection(section, false);
  if (!found) return;
  const int end = FItems.SectionEnd(found);
  for (int line = found->FirstLine; line < end; ++line) {
    const TIniItem& item = FItems.Look(line);
    if (item.Kind == ilKey) list.Add(std::string(item.Name));
  }
}

void TFastIniFile::ReadSections(TStringList& list) {
  EnsureLoaded();
  list.Clear();
  for (int line = 0; line < FItems.Count(); ++line) {
    const TIniItem& item = FItems.Get(line);
    if (item.Kind == ilSection) list.Add(std::string(item.Name));
  }
}

void TFastIniFile::ReadSectionValues(const std::string& section, TStringList& list) {
  TStringList names;
  ReadSection(section, names);
  list.Clear();
  for (const std::string& name : names.Lines()) list.Add(name + "=" + ReadString(section, name, ""));
}

void TFastIniFile::EraseSection(const std::string& section) {
  EnsureLoaded();
  TIniSection* found = FItems.FindSection(section, false);
  if (!found) return;
  FItems.EraseSection(found);
  FModified = true;
}

void TFastIniFile::DeleteKey(const std::string& section, const std::string& key) {
  EnsureLoaded();
  TIniSection* found = FItems.FindSection(section, false);
  const int line = found ? FItems.FindKey(found, key, false) : -1;
  if (line < 0) return;
  FItems.DeleteKey(found, line);
  FModified = true;
}

// ---------------------------------------------------------------------------

bool ParseIniInteger(std::string_view text, int* value) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (text.size() - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  // Hexadecimal covers all 32 bits ("$FFFFFFFF" is -1); decimal the int range.
  const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
  uint64_t number = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    number = number * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (number > limit) return false;
  }
  const auto bits = static_cast<uint32_t>(number);
  *value = static_cast<int>(negative ? 0u - bits : bits);
  return true;
}

}  // namespace vx
