// Unsigned integers of a fixed 384-bit width, for the intermediate results of decimal
// arithmetic: two 31-digit numbers aligned or multiplied, or a dividend scaled by up to 62
// places, all stay below 10^100. Operations whose result would not fit are callers' faults and
// are asserted.
#pragma once

#include <array>
#include <compare>
#include <cstdint>

namespace runtime {

class WideUnsigned {
 public:
  // 10^19, the largest power of ten below 2^64.
  static constexpr std::uint64_t TenTo19 = 10'000'000'000'000'000'000ull;
  // The largest k for which pow10(k) fits.
  static constexpr int MaxPow10 = 115;

  // Zero.
  WideUnsigned() = default;
  // The value high · 2^64 + low.
  WideUnsigned(std::uint64_t high, std::uint64_t low) : limbs_{low, high} {}

  // 10^k for k from 0 to MaxPow10.
  static WideUnsigned pow10(int k);

  bool isZero() const;
  // True when the value is below 2^128, so that high64() and low64() hold all of it.
  bool fits128() const;
  std::uint64_t high64() const { return limbs_[1]; }
  std::uint64_t low64() const { return limbs_[0]; }
  // The number of decimal digits of the value; 0 for zero.
  int decimalDigits() const;

  friend bool operator==(const WideUnsigned&, const WideUnsigned&) = default;
  friend std::strong_ordering operator<=>(const WideUnsigned& a, const WideUnsigned& b);

  // Adds; the sum must fit.
  WideUnsigned& operator+=(const WideUnsigned& other);
  // Subtracts a value that is not larger.
  WideUnsigned& operator-=(const WideUnsigned& other);
  // Multiplies by a small factor; the product must fit.
  WideUnsigned& operator*=(std::uint64_t factor);
  // The full product; it must fit.
  friend WideUnsigned operator*(const WideUnsigned& a, const WideUnsigned& b);

  // Divides by a non-zero small divisor in place and returns the remainder.
  std::uint64_t divideSmall(std::uint64_t divisor);
  struct Division;
  // Divides by a non-zero divisor.
  static Division divide(const WideUnsigned& dividend, const WideUnsigned& divisor);

 private:
  static constexpr int Limbs = 6;

  int bitLength() const;
  bool bit(int index) const;
  void shiftLeftOne();

  std::array<std::uint64_t, Limbs> limbs_{};  // least significant first
};

struct WideUnsigned::Division {
  WideUnsigned quotient;
  WideUnsigned remainder;
};

}  // namespace runtime
