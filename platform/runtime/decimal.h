// Exact decimal numbers of up to 31 digits, the values of DECIMAL and PDECIMAL fields, with
// their arithmetic and their packed layouts in a record.
//
// A Decimal is a sign, a whole coefficient of at most 31 digits and a scale (the number of those
// digits after the point, 0 to 31). It never goes through binary floating point, so 0.1 + 0.2
// is 0.3. Every result keeps at most 31 digits: when its exact form needs more, digits after the
// point are rounded away, half away from zero; a result that needs more than 31 digits before
// the point is an overflow. Zero is never negative.
//
// Failures never throw: the result is zero with a status that says what went wrong, and an
// operation on a value whose status is not Ok passes that status on (the first operand's first).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace runtime {

class WideUnsigned;

enum class DecimalStatus : std::uint8_t {
  Ok,
  Invalid,         // text that is not a number, a packed field with a bad nibble, NaN, infinity
  Overflow,        // more than 31 digits before the point
  DivisionByZero,  // a division by zero
};

class Decimal {
 public:
  static constexpr int MaxDigits = 31;

  // Zero, with scale 0.
  Decimal() = default;

  // The value of a whole number, exactly.
  static Decimal fromLong(long long value);
  // The shortest decimal that reads back as `value` (0.1 gives 0.1), with digits beyond the 31st
  // after the point rounded away. NaN and infinities are Invalid; 1e31 and beyond Overflow.
  static Decimal fromDouble(double value);
  // Reads an optional sign, digits and an optional point with more digits ("-12.50", "+.5",
  // "7."), with spaces before and after. Leading zeros do not count as digits; the scale is the
  // number of digits written after the point. Anything else, or no digit at all, is Invalid.
  static Decimal parse(std::string_view text);
  // Zero with the given status; for readers of packed or foreign data that find it unsound.
  static Decimal failure(DecimalStatus status);
  // The number whose digits (values 0 to 9, most significant first) are `digits`, the last
  // `scale` of them after the point. A digit above 9 or a negative scale is Invalid.
  static Decimal fromDigits(bool negative, std::span<const std::uint8_t> digits, int scale);

  DecimalStatus status() const { return status_; }
  bool ok() const { return status_ == DecimalStatus::Ok; }
  bool isZero() const { return high_ == 0 && low_ == 0; }
  bool isNegative() const { return negative_; }
  // Digits after the point.
  int scale() const { return scale_; }

  // The number as text: a "-" when negative, the whole part (at least "0"), then, for a scale
  // above 0, "." and exactly `scale()` digits. No exponent: 1.50 is "1.50", -0.5 is "-0.5".
  std::string toString() const;
  // The whole part (truncated toward zero); nothing when it is outside the range of long long.
  std::optional<long long> toLong() const;
  // The double nearest to the value.
  double toDouble() const;
  // Writes the magnitude, rounded to `scale` digits after the point, as the last out.size()
  // digits of the number (values 0 to 9, most significant first, zeros in front). Returns false
  // when the number has more digits than that: its high digits are then not written.
  bool digitsAtScale(int scale, std::span<std::uint8_t> out) const;

  // The value rounded, half away from zero, or truncated toward zero, to `scale` digits after
  // the point (0 to 31; others are taken as the nearer of the two). A larger scale than the
  // value's adds zeros, as far as 31 digits allow.
  Decimal rounded(int scale) const;
  Decimal truncated(int scale) const;

  Decimal operator-() const;
  // The exact sum, difference and product, at the larger scale for a sum or difference and at
  // the sum of the scales for a product, as far as 31 digits allow.
  friend Decimal operator+(const Decimal& a, const Decimal& b);
  friend Decimal operator-(const Decimal& a, const Decimal& b);
  friend Decimal operator*(const Decimal& a, const Decimal& b);
  // The quotient rounded, half away from zero, to `scale` digits after the point (0 to 31;
  // others are taken as the nearer of the two); a zero divisor gives DivisionByZero.
  friend Decimal divide(const Decimal& dividend, const Decimal& divisor, int scale);

  // Numeric comparison, whatever the scales (1.5 equals 1.50): -1, 0 or 1. A value whose
  // status is not Ok compares as the zero it is.
  friend int compare(const Decimal& a, const Decimal& b);
  friend bool operator==(const Decimal& a, const Decimal& b) { return compare(a, b) == 0; }
  friend std::weak_ordering operator<=>(const Decimal& a, const Decimal& b) {
    return compare(a, b) <=> 0;
  }

 private:
  std::uint64_t high_ = 0;  // the coefficient: high_ · 2^64 + low_, below 10^31
  std::uint64_t low_ = 0;
  std::uint8_t scale_ = 0;
  bool negative_ = false;
  DecimalStatus status_ = DecimalStatus::Ok;

  // The value of a coefficient of any width at any scale, brought to at most 31 digits.
  static Decimal make(bool negative, const WideUnsigned& coefficient, int scale);
  WideUnsigned coefficient() const;
};

Decimal divide(const Decimal& dividend, const Decimal& divisor, int scale);
int compare(const Decimal& a, const Decimal& b);

// Packed DECIMAL and PDECIMAL fields. A field declared with `digits` digits (1 to 31) and
// `scale` of them after the point (0 to digits) takes digits / 2 + 1 bytes and holds
// 2 · (digits / 2 + 1) − 1 digits: an even digit count gains one digit of room.
//   DECIMAL:  nibbles high first; the first is the sign (0 positive, 8 negative; any non-zero
//             sign reads as negative), then the digits.
//   PDECIMAL: nibbles high first; the digits, then the sign (D negative, F positive; anything
//             but D reads as positive).
// The last `scale` digits are after the point. A declaration outside these ranges is refused.

// The byte size of a DECIMAL or PDECIMAL field of `digits` digits; 0 for a digit count outside
// 1 to 31.
int packedSize(int digits);

// Stores `value`, rounded half away from zero to `scale` digits after the point, in the field's
// packedSize(digits) bytes at `out`. Returns true when the field holds that value. Returns false
// when the value has more digits before the point than the field has room for (the field then
// keeps its low-order digits, as the record conversions expect), when the value's status is not
// Ok (zero is stored), or when the declaration is refused (nothing is written).
bool packDecimal(const Decimal& value, int digits, int scale, bool pdecimal, unsigned char* out);

// Reads the field's packedSize(digits) bytes at `packed`. A digit nibble above 9 gives zero with
// status Invalid, as does a refused declaration. A negative zero reads as zero.
Decimal unpackDecimal(const unsigned char* packed, int digits, int scale, bool pdecimal);

// Compares two fields of the same declaration by value: -1, 0 or 1. Fields that do not read as
// numbers compare as zero.
int comparePacked(const unsigned char* a, const unsigned char* b, int digits, int scale,
                  bool pdecimal);

// A key image of `value` in a field of `digits` digits and `scale` places: packedSize(digits)
// bytes whose memcmp order is the numeric order of the values the field would hold, so equal
// field values give equal images. The value is taken as packDecimal would store it. Empty for a
// refused declaration.
std::string decimalKeyImage(const Decimal& value, int digits, int scale);

}  // namespace runtime
