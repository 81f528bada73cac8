// The named-value block of a pipe message: entries of name and value laid
// out one after the other exactly as they travel, and a lazily filled name
// index for lookups in a received block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/streams.h"

namespace vx {

// A fixed number of buckets, each a chain of items with the newest first.
// Keys are byte texts compared exactly; the bucket is the ELF hash of the key.
class TStringHash {
 public:
  explicit TStringHash(int bucketCount);
  ~TStringHash();
  TStringHash(const TStringHash&) = delete;
  TStringHash& operator=(const TStringHash&) = delete;

  void Add(const std::string& key, int64_t value);
  // The value of the newest item with this key; -1 when there is none.
  int64_t ValueOf(const std::string& key) const;
  void Clear();

 private:
  struct THashItem {
    std::unique_ptr<THashItem> Next;
    std::string Key;
    int64_t Value;
  };

  size_t BucketOf(const std::string& key) const;

  std::vector<std::unique_ptr<THashItem>> FBuckets;
};

// Entry layout, integers little-endian: name length (int32, bytes), name
// (UTF-16LE), value size (int64, bytes), value. Texts are UTF-16LE, integers
// 4 bytes, booleans 1 byte; the kind is not stored, writer and reader agree
// on it by name. Names and texts cross this interface as Windows-1252 bytes.
class TStreamStorage {
 public:
  static constexpr int kIndexBuckets = 50;

  TStreamStorage();

  // An empty name or text writes nothing. A name that is already present
  // raises vx::Exception "Value with name "NAME" already exists" and leaves
  // the storage unchanged.
  void AddText(const std::string& name, const std::string& text);
  void AddInteger(const std::string& name, int32_t value);
  void AddBoolean(const std::string& name, bool value);

  // The named entry's value read as text; empty when there is no such
  // entry or its lengths run past the end of the block. Each entry of a
  // received block is parsed at most once; later lookups use the index.
  std::string FindText(const std::string& name);

  // The raw block, as it travels.
  int64_t Size() { return FBuffer.Size(); }
  const std::string& Bytes() const { return FBuffer.Data(); }
  // Takes a received block in place of the entries: the index starts
  // empty, and lookups scan the block from its start.
  void SetBytes(std::string bytes);

  int64_t ScanPosition = 0;

 private:
  // Writes the name part of a new entry and indexes it; raises for a duplicate.
  void BeginEntry(const std::string& name);
  void EndEntry(const void* value, int64_t size);
  bool ReadInt32(int32_t& value);
  bool ReadInt64(int64_t& value);
  // Reads a value of size bytes at the current position as text.
  bool ReadTextValue(int64_t size, std::string& text);

  TMemoryStream FBuffer;
  TStringHash FIndex;
};

}  // namespace vx
