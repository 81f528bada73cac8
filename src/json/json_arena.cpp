#include "json/json_arena.h"

#include <cstdint>
#include <new>

namespace vx {

namespace {

constexpr size_t kAlignment = 8;
// Blocks double from the first size up to the largest; a request of more
// than a quarter of that gets a block of its own, so that a large text or
// list does not leave most of a block unused.
constexpr size_t kFirstBlockSize = 64 * 1024;
constexpr size_t kLargestBlockSize = 4 * 1024 * 1024;

constexpr size_t AlignUp(size_t size) { return (size + kAlignment - 1) & ~(kAlignment - 1); }

}  // namespace

void* TJsonArena::AllocateBlock(size_t size) {
  const size_t header = AlignUp(sizeof(TBlock));
  if (size > SIZE_MAX - header) throw std::bad_alloc();
  void* memory = ::operator new(header + size);
  auto* block = static_cast<TBlock*>(memory);
  block->Previous = FBlocks;
  FBlocks = block;
  return static_cast<char*>(memory) + header;
}

void* TJsonArena::Allocate(size_t size) {
  size = AlignUp(size == 0 ? 1 : size);
  if (size <= static_cast<size_t>(FEnd - FNext)) {
    void* result = FNext;
    FNext += size;
    return result;
  }
  if (size > kLargestBlockSize / 4) return AllocateBlock(size);
  FNextBlockSize = FNextBlockSize == 0 ? kFirstBlockSize : FNextBlockSize;
  while (FNextBlockSize < size) FNextBlockSize *= 2;
  char* start = static_cast<char*>(AllocateBlock(FNextBlockSize));
  FNext = start + size;
  FEnd = start + FNextBlockSize;
  if (FNextBlockSize < kLargestBlockSize) FNextBlockSize *= 2;
  return start;
}

void TJsonArena::Release() {
  while (FBlocks != nullptr) {
    TBlock* previous = FBlocks->Previous;
    ::operator delete(FBlocks);
    FBlocks = previous;
  }
  FNext = FEnd = nullptr;
  FNextBlockSize = 0;
}

}  // namespace vx
