#include "platform/runtime/decimal.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/runtime/wide_unsigned.h"

namespace runtime {

namespace {

enum class Rounding { HalfAwayFromZero, TowardZero };

int clampScale(int scale) { return std::clamp(scale, 0, Decimal::MaxDigits); }

// numerator / denominator, rounded half away from zero.
WideUnsigned roundedQuotient(const WideUnsigned& numerator, const WideUnsigned& denominator) {
  WideUnsigned::Division division = WideUnsigned::divide(numerator, denominator);
  division.remainder += division.remainder;
  if (division.remainder >= denominator) division.quotient += WideUnsigned(0, 1);
  return division.quotient;
}

// The coefficient `value` at scale `from` brought to scale `to`: exact when `to` is larger.
WideUnsigned rescale(const WideUnsigned& value, int from, int to, Rounding rounding) {
  if (to >= from) return to == from ? value : value * WideUnsigned::pow10(to - from);
  const int dropped = from - to;
  // A value of fewer digits than it loses is below half of the unit it is rounded to.
  if (dropped > value.decimalDigits()) return WideUnsigned();
  const WideUnsigned unit = WideUnsigned::pow10(dropped);
  if (rounding == Rounding::HalfAwayFromZero) return roundedQuotient(value, unit);
  return WideUnsigned::divide(value, unit).quotient;
}

// Writes the last out.size() decimal digits of `value`, most significant first. Returns false
// when the value has more digits than that.
bool writeDigits(WideUnsigned value, std::span<std::uint8_t> out) {
  std::size_t position = out.size();
  std::uint64_t unwritten = 0;
  while (position > 0) {
    std::uint64_t chunk = value.divideSmall(WideUnsigned::TenTo19);
    for (int k = 0; k < 19 && position > 0; ++k) {
      out[--position] = std::uint8_t(chunk % 10);
      chunk /= 10;
    }
    unwritten = chunk;
  }
  return unwritten == 0 && value.isZero();
}

// The value of up to 19 digits.
std::uint64_t valueOf(std::span<const std::uint8_t> digits) {
  std::uint64_t value = 0;
  for (std::uint8_t digit : digits) value = value * 10 + digit;
  return value;
}

}  // namespace

Decimal Decimal::make(bool negative, const WideUnsigned& coefficient, int scale) {
  assert(scale >= 0);
  if (coefficient.isZero()) {
    Decimal zero;
    zero.scale_ = std::uint8_t(clampScale(scale));
    return zero;
  }
  WideUnsigned value = coefficient;
  const int digits = value.decimalDigits();
  const int excess = std::max({0, digits - MaxDigits, scale - MaxDigits});
  if (excess > 0) {
    if (digits - scale > MaxDigits) return failure(DecimalStatus::Overflow);
    value = rescale(value, scale, scale - excess, Rounding::HalfAwayFromZero);
    scale -= excess;
    // Rounding 99...9 up can reach 10^31, one digit too many.
    if (value == WideUnsigned::pow10(MaxDigits)) {
      if (scale == 0) return failure(DecimalStatus::Overflow);
      value.divideSmall(10);
      --scale;
    }
  }
  Decimal result;
  result.high_ = value.high64();
  result.low_ = value.low64();
  result.scale_ = std::uint8_t(scale);
  result.negative_ = negative && !value.isZero();
  return result;
}

Decimal Decimal::failure(DecimalStatus status) {
  assert(status != DecimalStatus::Ok);
  Decimal result;
  result.status_ = status;
  return result;
}

WideUnsigned Decimal::coefficient() const { return WideUnsigned(high_, low_); }

Decimal Decimal::fromLong(long long value) {
  const std::uint64_t magnitude =
      value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
  return make(value < 0, WideUnsigned(0, magnitude), 0);
}

Decimal Decimal::fromDouble(double value) {
  if (!std::isfinite(value)) return failure(DecimalStatus::Invalid);
  // The shortest digits that read back as `value`, as "-d.ddde-dd".
  std::array<char, 32> text;
  const auto written =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::scientific);
  assert(written.ec == std::errc());
  const std::string_view form(text.data(), written.ptr);
  const std::size_t e = form.find('e');
  int exponent = 0;
  std::from_chars(form.data() + e + 1 + (form[e + 1] == '+' ? 1 : 0), form.data() + form.size(),
                  exponent);
  if (exponent >= MaxDigits) return failure(DecimalStatus::Overflow);

  const bool negative = form[0] == '-';
  const std::string_view mantissa = form.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
  const std::size_t point = mantissa.find('.');
  const int places = point == std::string_view::npos ? 0 : int(mantissa.size() - point - 1);
  std::vector<std::uint8_t> digits;
  for (char c : mantissa)
    if (c != '.') digits.push_back(std::uint8_t(c - '0'));
  // d.ddd · 10^exponent has (places - exponent) digits after the point.
  int scale = places - exponent;
  if (scale < 0) {
    digits.insert(digits.end(), std::size_t(-scale), 0);
    scale = 0;
  }
  return fromDigits(negative, digits, scale);
}

Decimal Decimal::parse(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return failure(DecimalStatus::Invalid);
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);

  std::size_t position = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') ++position;
  std::vector<std::uint8_t> digits;
  digits.reserve(text.size());
  std::size_t pointAt = std::string_view::npos;
  for (; position < text.size(); ++position) {
    const char c = text[position];
    if (c >= '0' && c <= '9') {
      digits.push_back(std::uint8_t(c - '0'));
    } else if (c == '.' && pointAt == std::string_view::npos) {
      pointAt = digits.size();
    } else {
      return failure(DecimalStatus::Invalid);
    }
  }
  if (digits.empty()) return failure(DecimalStatus::Invalid);
  const std::size_t scale = pointAt == std::string_view::npos ? 0 : digits.size() - pointAt;
  return fromDigits(negative, digits, int(std::min<std::size_t>(scale, 1'000'000)));
}

Decimal Decimal::fromDigits(bool negative, std::span<const std::uint8_t> digits, int scale) {
  if (scale < 0) return failure(DecimalStatus::Invalid);
  for (std::uint8_t digit : digits)
    if (digit > 9) return failure(DecimalStatus::Invalid);

  const std::size_t count = digits.size();
  const std::size_t places = std::size_t(scale);
  const std::size_t whole = count > places ? count - places : 0;
  std::size_t first = 0;
  while (first < count && digits[first] == 0) ++first;
  if (whole > first && whole - first > std::size_t(MaxDigits))
    return failure(DecimalStatus::Overflow);

  // Digits beyond the 32nd after the point cannot change a rounding to 31 places.
  constexpr std::size_t KeptPlaces = MaxDigits + 1;
  const std::size_t dropped = places > KeptPlaces ? std::min(count, places - KeptPlaces) : 0;
  const std::size_t end = count - dropped;
  WideUnsigned value;
  for (std::size_t at = first; at < end;) {
    const std::size_t length = std::min<std::size_t>(19, end - at);
    value *= WideUnsigned::pow10(int(length)).low64();
    value += WideUnsigned(0, valueOf(digits.subspan(at, length)));
    at += length;
  }
  return make(negative, value, int(places - dropped));
}

std::string Decimal::toString() const {
  const int count = std::max(coefficient().decimalDigits(), int(scale_) + 1);
  std::array<std::uint8_t, MaxDigits + 1> digits;
  writeDigits(coefficient(), std::span(digits.data(), std::size_t(count)));
  std::string text;
  if (negative_) text += '-';
  const int whole = count - scale_;
  for (int i = 0; i < count; ++i) {
    if (i == whole) text += '.';
    text += char('0' + digits[std::size_t(i)]);
  }
  return text;
}

std::optional<long long> Decimal::toLong() const {
  const WideUnsigned whole = rescale(coefficient(), scale_, 0, Rounding::TowardZero);
  if (!whole.fits128() || whole.high64() != 0) return std::nullopt;
  const std::uint64_t magnitude = whole.low64();
  constexpr std::uint64_t largest = std::uint64_t(std::numeric_limits<long long>::max());
  if (!negative_) {
    if (magnitude > largest) return std::nullopt;
    return (long long)(magnitude);
  }
  if (magnitude > largest + 1) return std::nullopt;
  return magnitude == 0 ? 0 : -(long long)(magnitude - 1) - 1;
}

double Decimal::toDouble() const {
  // The standard reader rounds correctly to the nearest double.
  const std::string text = toString();
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

bool Decimal::digitsAtScale(int scale, std::span<std::uint8_t> out) const {
  const int target = clampScale(scale);
  return writeDigits(rescale(coefficient(), scale_, target, Rounding::HalfAwayFromZero), out);
}

Decimal Decimal::rounded(int scale) const {
  if (!ok()) return *this;
  const int target = clampScale(scale);
  return make(negative_, rescale(coefficient(), scale_, target, Rounding::HalfAwayFromZero),
              target);
}

Decimal Decimal::truncated(int scale) const {
  if (!ok()) return *this;
  const int target = clampScale(scale);
  return make(negative_, rescale(coefficient(), scale_, target, Rounding::TowardZero), target);
}

Decimal Decimal::operator-() const {
  Decimal result = *this;
  result.negative_ = !negative_ && !isZero();
  return result;
}

Decimal operator+(const Decimal& a, const Decimal& b) {
  if (!a.ok()) return a;
  if (!b.ok()) return b;
  const int scale = std::max(a.scale_, b.scale_);
  WideUnsigned left = rescale(a.coefficient(), a.scale_, scale, Rounding::TowardZero);
  WideUnsigned right = rescale(b.coefficient(), b.scale_, scale, Rounding::TowardZero);
  if (a.negative_ == b.negative_) return Decimal::make(a.negative_, left += right, scale);
  if (left >= right) return Decimal::make(a.negative_, left -= right, scale);
  return Decimal::make(b.negative_, right -= left, scale);
}

Decimal operator-(const Decimal& a, const Decimal& b) { return a + -b; }

Decimal operator*(const Decimal& a, const Decimal& b) {
  if (!a.ok()) return a;
  if (!b.ok()) return b;
  return Decimal::make(a.negative_ != b.negative_, a.coefficient() * b.coefficient(),
                       a.scale_ + b.scale_);
}

Decimal divide(const Decimal& dividend, const Decimal& divisor, int scale) {
  if (!dividend.ok()) return dividend;
  if (!divisor.ok()) return divisor;
  if (divisor.isZero()) return Decimal::failure(DecimalStatus::DivisionByZero);
  const int target = clampScale(scale);
  // quotient = (dividend coefficient / divisor coefficient) · 10^shift, at the target scale.
  const int shift = target + divisor.scale_ - dividend.scale_;
  WideUnsigned numerator = dividend.coefficient();
  WideUnsigned denominator = divisor.coefficient();
  if (shift >= 0) {
    numerator = numerator * WideUnsigned::pow10(shift);
  } else {
    denominator = denominator * WideUnsigned::pow10(-shift);
  }
  return Decimal::make(dividend.negative_ != divisor.negative_,
                       roundedQuotient(numerator, denominator), target);
}

int compare(const Decimal& a, const Decimal& b) {
  if (a.negative_ != b.negative_) return a.negative_ ? -1 : 1;
  const int scale = std::max(a.scale_, b.scale_);
  const auto order = rescale(a.coefficient(), a.scale_, scale, Rounding::TowardZero) <=>
                     rescale(b.coefficient(), b.scale_, scale, Rounding::TowardZero);
  const int magnitude = order < 0 ? -1 : (order > 0 ? 1 : 0);
  return a.negative_ ? -magnitude : magnitude;
}

}  // namespace runtime
