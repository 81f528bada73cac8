// The tape: what the parser's single pass read, as one compact run of
// records in the order of the text. A parsed document keeps its tape and
// makes the nodes of an array or object from it only when they are first
// asked for, and the writers write what was never asked for straight from
// the tape; so loading a file and writing it out again builds no nodes but
// the root's. A text takes 7 bytes on the tape (10 from 256 bytes on), a
// number 5 or 9 and an array or object 13, where nodes take 16 to 48.
//
// Records, each a tag byte and what the tag says, read and written with
// memcpy (they are not aligned):
//   Null, False, True     nothing more
//   Integer               a number written as a whole int32 (not -0), as such
//   Number                any other number, as its double
//   String, Name          TJsonTextFlags, the length (32 bits) and where
//                         the text stands (escapes and all) in the parsed
//                         text, as an offset from its start (32 bits); a
//                         pair's name is a Name record followed by its
//                         value's
//   ShortString,          the same with a length of 8 bits
//   ShortName
//   Array, Object         the count of items or pairs (32 bits) and where
//                         the record behind its last item ends, which may
//                         lie in another block
//   Link                  where the tape goes on, in a new block
// For the model's own code only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "json/fast_json.h"
#include "json/json_arena.h"
#include "json/json_stored_text.h"
#include "json/json_text_internal.h"

namespace vx {

enum class TJsonTapeTag : uint8_t {
  Null,
  False,
  True,
  Integer,
  Number,
  String,
  ShortString,
  Name,
  ShortName,
  Array,
  Object,
  Link
};

// One record of a tape, and what follows it.
class TJsonTapeRecord {
 public:
  // The record at where, or where a Link there leads; source: the parsed
  // text that the tape's texts lie in.
  TJsonTapeRecord(const char* where, const char* source) : FAt(where), FSource(source) {
    while (Tag() == TJsonTapeTag::Link) FAt = Load<const char*>(1);
  }

  TJsonTapeTag Tag() const { return static_cast<TJsonTapeTag>(*FAt); }
  const char* Where() const { return FAt; }
  const char* Source() const { return FSource; }

  // Integer, Number.
  double Number() const { return Tag() == TJsonTapeTag::Integer ? Integer() : Load<double>(1); }
  // Integer.
  int32_t Integer() const { return Load<int32_t>(1); }
  // String, Name and their short forms: the inner text as it stands, with
  // its TJsonTextFlags.
  TJsonStoredText Text() const {
    const bool isShort = Tag() == TJsonTapeTag::ShortString || Tag() == TJsonTapeTag::ShortName;
    const uint32_t length = isShort ? static_cast<uint8_t>(FAt[kTextLength]) : Load<uint32_t>(kTextLength);
    const uint32_t offset = Load<uint32_t>(isShort ? kShortTextOffset : kTextOffset);
    return {FSource + offset, length, static_cast<uint8_t>(FAt[kTextFlags])};
  }
  bool IsName() const { return Tag() == TJsonTapeTag::Name || Tag() == TJsonTapeTag::ShortName; }
  // Array: the count of items; Object: of pairs.
  uint32_t Count() const { return Load<uint32_t>(1); }
  // Array, Object: where its first item (or first pair's name) is; only
  // when Count is not 0.
  const char* FirstItem() const { return FAt + kContainerSize; }
  // Where the next record is: behind this one and, for an array or object,
  // behind everything it holds. Only when there is such a record.
  const char* End() const {
    switch (Tag()) {
      case TJsonTapeTag::Integer: return FAt + kIntegerSize;
      case TJsonTapeTag::Number: return FAt + kNumberSize;
      case TJsonTapeTag::String:
      case TJsonTapeTag::Name: return FAt + kTextSize;
      case TJsonTapeTag::ShortString:
      case TJsonTapeTag::ShortName: return FAt + kShortTextSize;
      case TJsonTapeTag::Array:
      case TJsonTapeTag::Object: return Load<const char*>(kContainerEnd);
      default: return FAt + 1;
    }
  }

  // Sizes and offsets, for the writer.
  static constexpr size_t kIntegerSize = 1 + sizeof(int32_t);
  static constexpr size_t kNumberSize = 1 + sizeof(double);
  static constexpr size_t kTextFlags = 1;
  static constexpr size_t kTextLength = 2;
  static constexpr size_t kTextOffset = kTextLength + sizeof(uint32_t);
  static constexpr size_t kTextSize = kTextOffset + sizeof(uint32_t);
  static constexpr size_t kShortTextOffset = kTextLength + 1;
  static constexpr size_t kShortTextSize = kShortTextOffset + sizeof(uint32_t);
  static constexpr size_t kContainerEnd = 5;
  static constexpr size_t kContainerSize = kContainerEnd + sizeof(const char*);
  static constexpr size_t kLinkSize = 1 + sizeof(const char*);

 private:
  template <typename T>
  T Load(size_t offset) const {
    T value;
    std::memcpy(&value, FAt + offset, sizeof value);
    return value;
  }

  const char* FAt;
  const char* FSource;
};

// The record of a container's pending items.
inline TJsonTapeRecord PendingRecord(const TJsonPending& pending) {
  return TJsonTapeRecord(pending.Record, pending.Source);
}

// Calls visit(record) for each item of an array, or each name of an
// object (its value is the record at name.End()), in order.
template <typename TVisit>
void ForEachTapeItem(TJsonTapeRecord container, TVisit visit) {
  const uint32_t count = container.Count();
  const bool isObject = container.Tag() == TJsonTapeTag::Object;
  const char* next = container.FirstItem();
  for (uint32_t i = 0; i < count; ++i) {
    const TJsonTapeRecord item(next, container.Source());
    visit(item);
    next = isObject ? TJsonTapeRecord(item.End(), container.Source()).End() : item.End();
  }
}

// Writes the tape as the handler of the parser's single pass
// (TJsonFastReader). The tape lies in pieces of 64 KiB of the arena: pieces
// the size of the text, taken from the system and given back at each
// parse, cost a page fault for every 4 KiB written, where small ones are
// kept by the C library for the next document (measured: loading the
// numbers file again and again took half as long again). Texts stay where
// they stand in the parsed text, which must outlive the tape.
class TJsonTapeWriter {
 public:
  // source: the whole text that the pass reads, or more.
  TJsonTapeWriter(TJsonArena& arena, std::string_view source) : FArena(arena), FSource(source.data()) {}
  TJsonTapeWriter(const TJsonTapeWriter&) = delete;
  TJsonTapeWriter& operator=(const TJsonTapeWriter&) = delete;

  // The first record, after a complete pass.
  TJsonTapeRecord Root() const { return TJsonTapeRecord(FFirst, FSource); }

  bool Null() { return Tag(TJsonTapeTag::Null); }
  bool Boolean(bool flag) { return Tag(flag ? TJsonTapeTag::True : TJsonTapeTag::False); }
  bool Number(double number, bool whole) {
    if (whole) {
      const auto integer = static_cast<int32_t>(number);
      char* record = Reserve(TJsonTapeRecord::kIntegerSize);
      record[0] = static_cast<char>(TJsonTapeTag::Integer);
      std::memcpy(record + 1, &integer, sizeof integer);
      return true;
    }
    char* record = Reserve(TJsonTapeRecord::kNumberSize);
    record[0] = static_cast<char>(TJsonTapeTag::Number);
    std::memcpy(record + 1, &number, sizeof number);
    return true;
  }
  bool String(std::string_view text, const TJsonStringForm& form) {
    return Text(TJsonTapeTag::String, TJsonTapeTag::ShortString, text, form);
  }
  bool Key(std::string_view text, const TJsonStringForm& form) {
    return Text(TJsonTapeTag::Name, TJsonTapeTag::ShortName, text, form);
  }
  bool StartArray() { return Open(TJsonTapeTag::Array); }
  bool EndArray(size_t items) { return Close(items); }
  bool StartObject() { return Open(TJsonTapeTag::Object); }
  bool EndObject(size_t pairs) { return Close(pairs); }

 private:
  static constexpr size_t kBlockSize = 64 * 1024;

  // Room for size bytes, with room for a Link behind them.
  char* Reserve(size_t size) {
    if (static_cast<size_t>(FEnd - FNext) < size + TJsonTapeRecord::kLinkSize) NewBlock();
    char* record = FNext;
    FNext += size;
    return record;
  }
  void NewBlock() {
    char* block = static_cast<char*>(FArena.Allocate(kBlockSize));
    if (FNext == nullptr) {
      FFirst = block;
    } else {
      FNext[0] = static_cast<char>(TJsonTapeTag::Link);
      std::memcpy(FNext + 1, &block, sizeof block);
    }
    FNext = block;
    FEnd = block + kBlockSize;
  }

  bool Tag(TJsonTapeTag tag) {
    *Reserve(1) = static_cast<char>(tag);
    return true;
  }
  // A text that ends beyond 32 bits of its source is left to the
  // splitting rules.
  bool Text(TJsonTapeTag tag, TJsonTapeTag shortTag, std::string_view text, const TJsonStringForm& form) {
    const auto offset = static_cast<size_t>(text.data() - FSource);
    if (offset + text.size() > UINT32_MAX) return false;
    const auto offset32 = static_cast<uint32_t>(offset);
    const bool isShort = text.size() <= UINT8_MAX;
    char* record = Reserve(isShort ? TJsonTapeRecord::kShortTextSize : TJsonTapeRecord::kTextSize);
    record[0] = static_cast<char>(isShort ? shortTag : tag);
    record[TJsonTapeRecord::kTextFlags] = static_cast<char>(StoredTextFlags(form));
    if (isShort) {
      record[TJsonTapeRecord::kTextLength] = static_cast<char>(text.size());
      std::memcpy(record + TJsonTapeRecord::kShortTextOffset, &offset32, sizeof offset32);
    } else {
      const auto length = static_cast<uint32_t>(text.size());
      std::memcpy(record + TJsonTapeRecord::kTextLength, &length, sizeof length);
      std::memcpy(record + TJsonTapeRecord::kTextOffset, &offset32, sizeof offset32);
    }
    return true;
  }
  bool Open(TJsonTapeTag tag) {
    char* record = Reserve(TJsonTapeRecord::kContainerSize);
    record[0] = static_cast<char>(tag);
    FOpen.push_back(record);
    return true;
  }
  // A list of more than 32 bits of items is left to the splitting rules.
  bool Close(size_t count) {
    if (count > UINT32_MAX) return false;
    char* record = FOpen.back();
    FOpen.pop_back();
    const auto items = static_cast<uint32_t>(count);
    std::memcpy(record + 1, &items, sizeof items);
    const char* end = FNext;
    std::memcpy(record + TJsonTapeRecord::kContainerEnd, &end, sizeof end);
    return true;
  }

  TJsonArena& FArena;
  const char* const FSource;
  char* FFirst = nullptr;
  char* FNext = nullptr;
  char* FEnd = nullptr;
  // The records of the arrays and objects not closed yet, innermost last.
  std::vector<char*> FOpen;
};

}  // namespace vx
