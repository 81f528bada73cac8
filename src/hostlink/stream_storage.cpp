#include "hostlink/stream_storage.h"

#include <algorithm>

#include "support/byte_order.h"
#include "support/codepage.h"
#include "support/errors.h"
#include "support/text_utils.h"

namespace vx {

namespace {

std::string Utf16Bytes(const std::string& text) {
  const std::u16string units = AnsiToUtf16(text);
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t unit : units) AppendLittleEndian(bytes, unit, 2);
  return bytes;
}

std::string TextOfUtf16Bytes(const std::string& bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = FromLittleEndian<char16_t>(&bytes[2 * i]);
  return Utf16ToAnsi(units);
}

}  // namespace

// TStringHash

TStringHash::TStringHash(int bucketCount) : FBuckets(static_cast<size_t>(std::max(bucketCount, 1))) {}

TStringHash::~TStringHash() { Clear(); }

size_t TStringHash::BucketOf(const std::string& key) const { return ElfHash(key) % FBuckets.size(); }

void TStringHash::Add(const std::string& key, int64_t value) {
  auto& head = FBuckets[BucketOf(key)];
  head.reset(new THashItem{std::move(head), key, value});
}

int64_t TStringHash::ValueOf(const std::string& key) const {
  for (const THashItem* item = FBuckets[BucketOf(key)].get(); item; item = item->Next.get()) {
    if (item->Key == key) return item->Value;
  }
  return -1;
}

void TStringHash::Clear() {
  // Unlinked one by one: a hostile answer can make a chain long enough for
  // recursive destruction to overflow the stack.
  for (auto& head : FBuckets) {
    while (head) head = std::move(head->Next);
  }
}

// TStreamStorage

TStreamStorage::TStreamStorage() : FIndex(kIndexBuckets) {}

void TStreamStorage::BeginEntry(const std::string& name) {
  if (FIndex.ValueOf(name) >= 0) throw Exception("Value with name \"" + name + "\" already exists");
  const std::string nameBytes = Utf16Bytes(name);
  FBuffer.Seek(0, soEnd);
  FBuffer.WriteText(LittleEndianBytes(static_cast<int32_t>(nameBytes.size())));
  FBuffer.WriteText(nameBytes);
  FIndex.Add(name, FBuffer.Position());
}

void TStreamStorage::EndEntry(const void* value, int64_t size) {
  FBuffer.WriteText(LittleEndianBytes(size));
  FBuffer.WriteBuffer(value, size);
  ScanPosition = FBuffer.Position();
}

void TStreamStorage::AddText(const std::string& name, const std::string& text) {
  if (name.empty() || text.empty()) return;
  const std::string value = Utf16Bytes(text);
  BeginEntry(name);
  EndEntry(value.data(), static_cast<int64_t>(value.size()));
}

void TStreamStorage::AddInteger(const std::string& name, int32_t value) {
  if (name.empty()) return;
  const std::string bytes = LittleEndianBytes(value);
  BeginEntry(name);
  EndEntry(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TStreamStorage::AddBoolean(const std::string& name, bool value) {
  if (name.empty()) return;
  const char byte = value ? 1 : 0;
  BeginEntry(name);
  EndEntry(&byte, 1);
}

void TStreamStorage::SetBytes(std::string bytes) {
  FIndex.Clear();
  ScanPosition = 0;
  FBuffer.SetData(std::move(bytes));
}

bool TStreamStorage::ReadInt32(int32_t& value) {
  unsigned char bytes[4];
  if (FBuffer.Read(bytes, 4) != 4) return false;
  value = FromLittleEndian<int32_t>(bytes);
  return true;
}

bool TStreamStorage::ReadInt64(int64_t& value) {
  unsigned char bytes[8];
  if (FBuffer.Read(bytes, 8) != 8) return false;
  value = FromLittleEndian<int64_t>(bytes);
  return true;
}

bool TStreamStorage::ReadTextValue(int64_t size, std::string& text) {
  if (size < 0 || size > FBuffer.Size() - FBuffer.Position()) return false;
  std::string bytes(static_cast<size_t>(size), '\0');
  FBuffer.Read(&bytes[0], size);
  text = TextOfUtf16Bytes(bytes);
  return true;
}

std::string TStreamStorage::FindText(const std::string& name) {
  std::string result;
  const int64_t indexed = FIndex.ValueOf(name);
  if (indexed >= 0) {
    FBuffer.Seek(indexed, soBeginning);
    int64_t size = 0;
    if (ReadInt64(size)) ReadTextValue(size, result);
  } else {
    FBuffer.Seek(ScanPosition, soBeginning);
    while (FBuffer.Position() < FBuffer.Size()) {
      int32_t nameLength = 0;
      int64_t size = 0;
      std::string entryName;
      // A malformed entry makes the rest of the block unreadable; the scan
      // never resumes inside it.
      if (!ReadInt32(nameLength) || !ReadTextValue(nameLength, entryName) || !ReadInt64(size)) {
        FBuffer.Seek(0, soEnd);
        break;
      }
      FIndex.Add(entryName, FBuffer.Position() - 8);
      if (size < 0 || size > FBuffer.Size() - FBuffer.Position()) {
        FBuffer.Seek(0, soEnd);
        break;
      }
      if (entryName == name) {
        ReadTextValue(size, result);
        break;
      }
      FBuffer.Seek(size, soCurrent);
    }
  }
  ScanPosition = std::max(ScanPosition, FBuffer.Position());
  return result;
}

}  // namespace vx
