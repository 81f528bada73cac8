// Replaces the global operator new and delete of the test program: each
// block carries its size in front, so that the bytes held are counted.
#include "allocation_peak.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

constexpr size_t kHeader = alignof(std::max_align_t);
std::atomic<size_t> gHeld{0};
std::atomic<size_t> gPeak{0};

void* Allocate(size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<size_t*>(block) = size;
  const size_t held = gHeld.fetch_add(size) + size;
  size_t peak = gPeak.load();
  while (held > peak && !gPeak.compare_exchange_weak(peak, held)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void Free(void* memory) {
  if (memory == nullptr) return;
  void* block = static_cast<char*>(memory) - kHeader;
  gHeld.fetch_sub(*static_cast<size_t*>(block));
  std::free(block);
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* memory) noexcept { Free(memory); }
void operator delete[](void* memory) noexcept { Free(memory); }
void operator delete(void* memory, size_t) noexcept { Free(memory); }
void operator delete[](void* memory, size_t) noexcept { Free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { Free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { Free(memory); }

namespace vx::testing {

size_t AllocationPeak() { return gPeak.load(); }
void ResetAllocationPeak() { gPeak.store(gHeld.load()); }

}  // namespace vx::testing
