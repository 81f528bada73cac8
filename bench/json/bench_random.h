// A small deterministic generator for the texts the JSON benchmarks read,
// so that every run, on every platform, measures the same bytes.
#pragma once

#include <cstdint>

namespace vx::bench {

class TRandom {
 public:
  explicit TRandom(uint64_t seed = 0x9E3779B97F4A7C15ULL) : FState(seed) {}

  uint32_t Next() {
    FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(FState >> 33);
  }
  // 0 to n - 1, for n above 0.
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint64_t FState;
};

}  // namespace vx::bench
