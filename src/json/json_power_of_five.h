// The 128-bit products with powers of five that reading and writing
// number texts share: a table of the leading 128 bits of 5^q, made when
// compiling, and the product of two 64-bit numbers. For the model's own
// code only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vx::json_wide {

// The powers of five for the 128-bit products: for each q from
// kLowestPower to kHighestPower, the 128 leading bits of 5^q (of 1/5^-q
// when q < 0), cut off below, and the power of two they were scaled by:
// High·2^64 + Low <= 5^q·2^Shift < High·2^64 + Low + 1, with the top bit
// of High set.
struct TPowerOfFive {
  uint64_t High;
  uint64_t Low;
  int Shift;
};

constexpr int kLowestPower = -100;
constexpr int kHighestPower = 100;

// A whole number of up to 640 bits, for making the table when compiling.
struct TWideNumber {
  static constexpr int kLimbs = 20;
  uint32_t Limbs[kLimbs] = {};  // the lowest 32 bits first

  constexpr void MultiplyBy5() {
    uint64_t carry = 0;
    for (uint32_t& limb : Limbs) {
      const uint64_t product = uint64_t{limb} * 5 + carry;
      limb = static_cast<uint32_t>(product);
      carry = product >> 32;
    }
  }
  constexpr void DivideBy5() {
    uint64_t rest = 0;
    for (int i = kLimbs - 1; i >= 0; --i) {
      const uint64_t part = (rest << 32) | Limbs[i];
      Limbs[i] = static_cast<uint32_t>(part / 5);
      rest = part % 5;
    }
  }
  constexpr int BitLength() const {
    for (int i = kLimbs - 1; i >= 0; --i) {
      for (int bit = 31; bit >= 0; --bit) {
        if ((Limbs[i] >> bit) & 1) return i * 32 + bit + 1;
      }
    }
    return 0;
  }
  constexpr uint64_t Bit(int position) const {
    return position < 0 ? 0 : (Limbs[position / 32] >> (position % 32)) & 1;
  }
  // The 128 bits below the top bit (inclusive); bits below bit 0 are 0.
  constexpr TPowerOfFive Leading128() const {
    const int length = BitLength();
    TPowerOfFive power{0, 0, 128 - length};
    for (int i = 0; i < 64; ++i) {
      power.High = (power.High << 1) | Bit(length - 1 - i);
      power.Low = (power.Low << 1) | Bit(length - 65 - i);
    }
    return power;
  }
};

constexpr std::array<TPowerOfFive, kHighestPower - kLowestPower + 1> MakePowersOfFive() {
  std::array<TPowerOfFive, kHighestPower - kLowestPower + 1> powers{};
  TWideNumber power;
  power.Limbs[0] = 1;
  for (int q = 0; q <= kHighestPower; ++q) {
    powers[static_cast<size_t>(q - kLowestPower)] = power.Leading128();
    power.MultiplyBy5();
  }
  // 2^kScale / 5^n, cut off below: each division by 5 cuts off only what
  // the exact quotient would.
  constexpr int kScale = 512;
  TWideNumber reciprocal;
  reciprocal.Limbs[kScale / 32] = 1;
  for (int q = -1; q >= kLowestPower; --q) {
    reciprocal.DivideBy5();
    TPowerOfFive leading = reciprocal.Leading128();
    leading.Shift += kScale;
    powers[static_cast<size_t>(q - kLowestPower)] = leading;
  }
  return powers;
}

inline constexpr std::array<TPowerOfFive, kHighestPower - kLowestPower + 1> kPowersOfFive = MakePowersOfFive();

struct TWideProduct {
  uint64_t High;
  uint64_t Low;
};

// The compiler's 128-bit type does it in one instruction where there is
// one (GCC and Clang, both builds here); elsewhere four 32-bit products.
inline TWideProduct MultiplyWide(uint64_t a, uint64_t b) {
#if defined(__SIZEOF_INT128__)
  const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
  return {static_cast<uint64_t>(product >> 64), static_cast<uint64_t>(product)};
#else
  const uint64_t aLow = a & 0xFFFFFFFF;
  const uint64_t aHigh = a >> 32;
  const uint64_t bLow = b & 0xFFFFFFFF;
  const uint64_t bHigh = b >> 32;
  const uint64_t lowLow = aLow * bLow;
  const uint64_t highLow = aHigh * bLow;
  const uint64_t lowHigh = aLow * bHigh;
  const uint64_t middle = (lowLow >> 32) + (highLow & 0xFFFFFFFF) + (lowHigh & 0xFFFFFFFF);
  return {aHigh * bHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32), (middle << 32) | (lowLow & 0xFFFFFFFF)};
#endif
}

// For a value that is not 0. One instruction with GCC and Clang (both
// builds here); elsewhere a binary search.
inline int LeadingZeros(uint64_t value) {
#if defined(__GNUC__)
  return __builtin_clzll(value);
#else
  int count = 0;
  for (int width = 32; width > 0; width /= 2) {
    if ((value >> (64 - width)) == 0) {
      count += width;
      value <<= width;
    }
  }
  return count;
#endif
}

}  // namespace vx::json_wide
