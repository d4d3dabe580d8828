// A number held as decimal digits, so that pictures round and write whole numbers, decimal texts
// (up to the 31 digits of a DECIMAL) and REAL values without binary rounding surprises.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/picture.h"

namespace runtime {

struct NumberDigits {
  bool negative = false;  // never set for zero
  std::string integer;    // the digits before the point, without leading zeros ("" for 0)
  std::string fraction;   // the digits after the point, without trailing zeros

  bool isZero() const { return integer.empty() && fraction.empty(); }

  static NumberDigits fromInteger(long long number);
  // A REAL as the runtime writes it, at 15 significant digits; infinities and NaN read as 0.
  static NumberDigits fromReal(double number);
  // The number of a text up to its first NUL byte, when that is NUMERIC; nothing for any other
  // text, and for exponents beyond 400.
  static std::optional<NumberDigits> parse(std::string_view text);
  // The number of a value: a text that is no number reads as 0.
  static NumberDigits fromValue(const PictureValue& value);
  // The number a formatted text holds: its digits and first point, negative when it holds a "-";
  // every other character is dropped. 0 when it holds no digits.
  static NumberDigits fromFormatted(std::string_view text);

  // The number rounded half away from zero to `places` decimals.
  NumberDigits rounded(int places) const;
  // The number written plainly: "-" when negative, the whole part ("0" when empty), then "." and
  // the fraction when there is one.
  std::string plainText() const;
  // The whole part (truncated toward zero); nothing when it does not fit in 18 digits.
  std::optional<long long> truncated() const;
};

}  // namespace runtime
