// Memory for the tape and the nodes of a parsed document: large blocks
// handed out piece by piece and freed all at once, so that a document of a
// hundred thousand nodes costs a few allocations instead of one each.
#pragma once

#include <cstddef>

namespace vx {

class TJsonArena {
 public:
  TJsonArena() = default;
  ~TJsonArena() { Release(); }
  TJsonArena(const TJsonArena&) = delete;
  TJsonArena& operator=(const TJsonArena&) = delete;

  // size bytes aligned for any node; raises std::bad_alloc. The memory is
  // never freed singly: what the nodes own themselves they free themselves.
  void* Allocate(size_t size);
  // Frees every block; what was allocated is gone.
  void Release();

 private:
  struct TBlock {
    TBlock* Previous;
  };

  void* AllocateBlock(size_t size);

  TBlock* FBlocks = nullptr;
  char* FNext = nullptr;
  char* FEnd = nullptr;
  size_t FNextBlockSize = 0;
};

}  // namespace vx
