#include "platform/runtime/wide_unsigned.h"

#include <bit>
#include <cassert>

namespace runtime {

namespace {

__extension__ typedef unsigned __int128 Uint128;

// Digits of a non-zero 64-bit value.
int digitsOf(std::uint64_t value) {
  int digits = 0;
  while (value != 0) {
    value /= 10;
    ++digits;
  }
  return digits;
}

}  // namespace

WideUnsigned WideUnsigned::pow10(int k) {
  assert(k >= 0 && k <= MaxPow10);
  WideUnsigned result(0, 1);
  for (; k >= 19; k -= 19) result *= TenTo19;
  std::uint64_t rest = 1;
  while (k-- > 0) rest *= 10;
  result *= rest;
  return result;
}

bool WideUnsigned::isZero() const {
  for (std::uint64_t limb : limbs_)
    if (limb != 0) return false;
  return true;
}

bool WideUnsigned::fits128() const {
  for (int i = 2; i < Limbs; ++i)
    if (limbs_[i] != 0) return false;
  return true;
}

int WideUnsigned::decimalDigits() const {
  WideUnsigned rest = *this;
  int digits = 0;
  while (!rest.fits128() || rest.high64() != 0 || rest.low64() >= TenTo19) {
    rest.divideSmall(TenTo19);
    digits += 19;
  }
  return digits + digitsOf(rest.low64());
}

std::strong_ordering operator<=>(const WideUnsigned& a, const WideUnsigned& b) {
  for (int i = WideUnsigned::Limbs - 1; i >= 0; --i)
    if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] <=> b.limbs_[i];
  return std::strong_ordering::equal;
}

WideUnsigned& WideUnsigned::operator+=(const WideUnsigned& other) {
  std::uint64_t carry = 0;
  for (int i = 0; i < Limbs; ++i) {
    const Uint128 sum = Uint128(limbs_[i]) + other.limbs_[i] + carry;
    limbs_[i] = std::uint64_t(sum);
    carry = std::uint64_t(sum >> 64);
  }
  assert(carry == 0);
  return *this;
}

WideUnsigned& WideUnsigned::operator-=(const WideUnsigned& other) {
  assert(*this >= other);
  std::uint64_t borrow = 0;
  for (int i = 0; i < Limbs; ++i) {
    const std::uint64_t subtrahend = other.limbs_[i];
    const std::uint64_t difference = limbs_[i] - subtrahend - borrow;
    borrow = (limbs_[i] < subtrahend || (limbs_[i] == subtrahend && borrow != 0)) ? 1 : 0;
    limbs_[i] = difference;
  }
  return *this;
}

WideUnsigned& WideUnsigned::operator*=(std::uint64_t factor) {
  std::uint64_t carry = 0;
  for (int i = 0; i < Limbs; ++i) {
    const Uint128 product = Uint128(limbs_[i]) * factor + carry;
    limbs_[i] = std::uint64_t(product);
    carry = std::uint64_t(product >> 64);
  }
  assert(carry == 0);
  return *this;
}

WideUnsigned operator*(const WideUnsigned& a, const WideUnsigned& b) {
  constexpr int limbs = WideUnsigned::Limbs;
  assert(a.bitLength() + b.bitLength() <= limbs * 64);
  WideUnsigned result;
  for (int i = 0; i < limbs; ++i) {
    if (a.limbs_[i] == 0) continue;
    std::uint64_t carry = 0;
    for (int j = 0; i + j < limbs; ++j) {
      const Uint128 product = Uint128(a.limbs_[i]) * b.limbs_[j] + result.limbs_[i + j] + carry;
      result.limbs_[i + j] = std::uint64_t(product);
      carry = std::uint64_t(product >> 64);
    }
  }
  return result;
}

std::uint64_t WideUnsigned::divideSmall(std::uint64_t divisor) {
  assert(divisor != 0);
  std::uint64_t remainder = 0;
  for (int i = Limbs - 1; i >= 0; --i) {
    const Uint128 part = (Uint128(remainder) << 64) | limbs_[i];
    limbs_[i] = std::uint64_t(part / divisor);
    remainder = std::uint64_t(part % divisor);
  }
  return remainder;
}

WideUnsigned::Division WideUnsigned::divide(const WideUnsigned& dividend,
                                            const WideUnsigned& divisor) {
  assert(!divisor.isZero());
  Division result;
  if (divisor.bitLength() <= 64) {
    result.quotient = dividend;
    result.remainder = WideUnsigned(0, result.quotient.divideSmall(divisor.low64()));
    return result;
  }
  // Binary long division over the dividend's significant bits; the divisor is wide, so the
  // quotient is short and the loop runs over few bits beyond the divisor's length.
  for (int index = dividend.bitLength() - 1; index >= 0; --index) {
    result.remainder.shiftLeftOne();
    if (dividend.bit(index)) result.remainder.limbs_[0] |= 1;
    if (result.remainder >= divisor) {
      result.remainder -= divisor;
      result.quotient.limbs_[index / 64] |= std::uint64_t(1) << (index % 64);
    }
  }
  return result;
}

int WideUnsigned::bitLength() const {
  for (int i = Limbs - 1; i >= 0; --i)
    if (limbs_[i] != 0) return i * 64 + std::bit_width(limbs_[i]);
  return 0;
}

bool WideUnsigned::bit(int index) const { return (limbs_[index / 64] >> (index % 64)) & 1; }

void WideUnsigned::shiftLeftOne() {
  assert((limbs_[Limbs - 1] >> 63) == 0);
  for (int i = Limbs - 1; i > 0; --i) limbs_[i] = (limbs_[i] << 1) | (limbs_[i - 1] >> 63);
  limbs_[0] <<= 1;
}

}  // namespace runtime
