// The items of an object or an array, kept in segments that never move: a
// parsed container holds one segment of its exact size, and appending adds
// segments of growing size, so that appending leaves every item where it
// is. Erasing moves the items behind the erased one down by one place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace vx {

class TJsonBase;

template <typename TItem>
struct TJsonSegment {
  // The container of the items; a pair finds its object through it.
  TJsonBase* Owner;
  TJsonSegment* Next;
  uint32_t Capacity;
  uint32_t Count;

  TItem* Items() { return reinterpret_cast<TItem*>(this + 1); }
  // The segment of an item, from the segment's first item.
  static const TJsonSegment* OfFirstItem(const TItem* first) {
    return reinterpret_cast<const TJsonSegment*>(reinterpret_cast<const char*>(first) - sizeof(TJsonSegment));
  }
  static size_t BytesFor(uint32_t capacity) { return sizeof(TJsonSegment) + size_t{capacity} * sizeof(TItem); }
};

// TItem names the most items one segment may hold (kMaxSegmentItems), is
// made in place with its index in the segment as the last argument, and
// moves with TItem(TItem&& source, index).
template <typename TItem>
class TJsonList {
 public:
  using TSegment = TJsonSegment<TItem>;

  TJsonList() = default;
  ~TJsonList() { Clear(); }
  TJsonList(const TJsonList&) = delete;
  TJsonList& operator=(const TJsonList&) = delete;

  uint32_t Count() const { return FCount; }

  // index must be below Count.
  TItem& At(uint32_t index) const {
    TSegment* segment = FFirst;
    while (index >= segment->Count) {
      index -= segment->Count;
      segment = segment->Next;
    }
    return segment->Items()[index];
  }

  template <typename... TArguments>
  TItem& Append(TJsonBase* owner, TArguments&&... arguments) {
    TSegment* segment = SegmentWithRoom(owner);
    TItem* item = new (segment->Items() + segment->Count) TItem(std::forward<TArguments>(arguments)..., segment->Count);
    ++segment->Count;
    ++FCount;
    return *item;
  }

  // index must be below Count.
  void Erase(uint32_t index) {
    TSegment* segment = FFirst;
    while (index >= segment->Count) {
      index -= segment->Count;
      segment = segment->Next;
    }
    segment->Items()[index].~TItem();
    // The hole moves to the end: each later item takes the place before it.
    TSegment* holeSegment = segment;
    uint32_t hole = index;
    TSegment* fromSegment = segment;
    uint32_t from = index + 1;
    for (;;) {
      if (from == fromSegment->Count) {
        fromSegment = fromSegment->Next;
        from = 0;
        if (fromSegment == nullptr || fromSegment->Count == 0) break;
      }
      TItem& item = fromSegment->Items()[from];
      new (holeSegment->Items() + hole) TItem(std::move(item), hole);
      item.~TItem();
      holeSegment = fromSegment;
      hole = from;
      ++from;
    }
    --holeSegment->Count;
    --FCount;
  }

  void Clear() {
    for (TSegment* segment = FFirst; segment != nullptr;) {
      TSegment* next = segment->Next;
      for (uint32_t i = 0; i < segment->Count; ++i) segment->Items()[i].~TItem();
      if (segment != FFirst || !FFirstInArena) ::operator delete(segment);
      segment = next;
    }
    FFirst = nullptr;
    FCount = 0;
    FFirstInArena = false;
  }

  // Takes over a chain of filled segments (all but the last full) that
  // holds count items; the list must be empty. A first segment in an arena
  // is left to the arena, later ones are freed here.
  void Adopt(TSegment* first, uint32_t count, bool firstInArena) {
    FFirst = first;
    FCount = count;
    FFirstInArena = firstInArena && first != nullptr;
  }

  // A segment of the heap for at least capacity items, for the list to
  // adopt; the list must be empty.
  void Reserve(TJsonBase* owner, uint32_t capacity) {
    if (FFirst == nullptr && capacity > 0) FFirst = NewSegment(owner, capacity);
  }

  // The index of the first item that test accepts, or -1.
  template <typename TTest>
  int64_t IndexOf(TTest test) const {
    int64_t index = 0;
    for (TSegment* segment = FFirst; segment != nullptr; segment = segment->Next) {
      TItem* items = segment->Items();
      for (uint32_t i = 0; i < segment->Count; ++i, ++index) {
        if (test(items[i])) return index;
      }
    }
    return -1;
  }

  template <typename TVisit>
  void ForEach(TVisit visit) const {
    for (TSegment* segment = FFirst; segment != nullptr; segment = segment->Next) {
      TItem* items = segment->Items();
      for (uint32_t i = 0; i < segment->Count; ++i) visit(items[i]);
    }
  }

 private:
  static constexpr uint32_t kFirstCapacity = 4;

  static TSegment* NewSegment(TJsonBase* owner, uint64_t wanted) {
    const uint32_t capacity = static_cast<uint32_t>(wanted < TItem::kMaxSegmentItems ? wanted : TItem::kMaxSegmentItems);
    auto* segment = static_cast<TSegment*>(::operator new(TSegment::BytesFor(capacity)));
    segment->Owner = owner;
    segment->Next = nullptr;
    segment->Capacity = capacity;
    segment->Count = 0;
    return segment;
  }

  // Every segment before the first one with room is full; a new segment
  // doubles the last one.
  TSegment* SegmentWithRoom(TJsonBase* owner) {
    TSegment* last = nullptr;
    for (TSegment* segment = FFirst; segment != nullptr; segment = segment->Next) {
      if (segment->Count < segment->Capacity) return segment;
      last = segment;
    }
    TSegment* segment = NewSegment(owner, last ? 2 * uint64_t{last->Capacity} : kFirstCapacity);
    if (last) {
      last->Next = segment;
    } else {
      FFirst = segment;
      FFirstInArena = false;
    }
    return segment;
  }

  TSegment* FFirst = nullptr;
  uint32_t FCount = 0;
  bool FFirstInArena = false;
};

}  // namespace vx
