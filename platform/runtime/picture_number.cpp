#include "platform/runtime/picture_number.h"

#include <cassert>
#include <cstdlib>

#include "platform/runtime/number_text.h"
#include "platform/runtime/picture_chars.h"

namespace runtime {
namespace {

constexpr int maxExponent = 400;

using pictures::isDigit;

std::size_t takeDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && isDigit(text[at])) ++at;
  return at;
}

// Splits a digit string with the point after `point` digits (which may lie outside it) into a
// normalised number.
NumberDigits fromDigits(bool negative, std::string digits, long point) {
  if (point < 0) {
    digits.insert(0, static_cast<std::size_t>(-point), '0');
    point = 0;
  }
  const std::size_t pointAt = static_cast<std::size_t>(point);
  if (pointAt > digits.size()) digits.append(pointAt - digits.size(), '0');
  NumberDigits number;
  number.integer = digits.substr(0, pointAt);
  number.fraction = digits.substr(pointAt);
  number.integer.erase(0, number.integer.find_first_not_of('0'));
  number.fraction.erase(number.fraction.find_last_not_of('0') + 1);
  number.negative = negative && !number.isZero();
  return number;
}

}  // namespace

NumberDigits NumberDigits::fromInteger(long long number) {
  // The magnitude of the most negative value does not fit a long long; go through unsigned.
  const unsigned long long magnitude =
      number < 0 ? 0ULL - static_cast<unsigned long long>(number) : number;
  std::string digits = std::to_string(magnitude);
  const long point = static_cast<long>(digits.size());
  return fromDigits(number < 0, std::move(digits), point);
}

NumberDigits NumberDigits::fromReal(double number) {
  return parse(realToText(number)).value_or(NumberDigits{});
}

std::optional<NumberDigits> NumberDigits::parse(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (!NUMERIC(text)) return std::nullopt;
  // NUMERIC has checked the form: a sign, digits with an optional point, an optional exponent.
  text = pictures::trimSpaces(text);
  std::size_t at = 0;
  const bool negative = text[at] == '-';
  if (text[at] == '-' || text[at] == '+') ++at;
  const std::size_t wholeEnd = takeDigits(text, at);
  std::string digits(text.substr(at, wholeEnd - at));
  const long point = static_cast<long>(digits.size());
  at = wholeEnd;
  if (at < text.size() && text[at] == '.') {
    const std::size_t fractionEnd = takeDigits(text, at + 1);
    digits += text.substr(at + 1, fractionEnd - at - 1);
    at = fractionEnd;
  }
  long exponent = 0;
  if (at < text.size()) {
    exponent = std::strtol(std::string(text.substr(at + 1)).c_str(), nullptr, 10);
    if (exponent > maxExponent || exponent < -maxExponent) return std::nullopt;
  }
  return fromDigits(negative, std::move(digits), point + exponent);
}

NumberDigits NumberDigits::fromValue(const PictureValue& value) {
  if (const auto* integer = std::get_if<long long>(&value.value)) return fromInteger(*integer);
  if (const auto* real = std::get_if<double>(&value.value)) return fromReal(*real);
  return parse(std::get<std::string_view>(value.value)).value_or(NumberDigits{});
}

NumberDigits NumberDigits::fromFormatted(std::string_view text) {
  std::string digits;
  long point = -1;
  bool negative = false;
  for (const char c : text) {
    if (isDigit(c)) {
      digits += c;
    } else if (c == '.' && point < 0) {
      point = static_cast<long>(digits.size());
    } else if (c == '-') {
      negative = true;
    }
  }
  if (point < 0) point = static_cast<long>(digits.size());
  return fromDigits(negative, std::move(digits), point);
}

NumberDigits NumberDigits::rounded(int places) const {
  assert(places >= 0);
  const std::size_t kept = static_cast<std::size_t>(places);
  if (fraction.size() <= kept) return *this;
  std::string digits = integer + fraction.substr(0, kept);
  if (fraction[kept] >= '5') {
    std::size_t at = digits.size();
    while (at > 0 && digits[at - 1] == '9') digits[--at] = '0';
    if (at == 0) {
      digits.insert(0, 1, '1');
    } else {
      ++digits[at - 1];
    }
  }
  return fromDigits(negative, digits, static_cast<long>(digits.size() - kept));
}

std::string NumberDigits::plainText() const {
  std::string text = negative ? "-" : "";
  text += integer.empty() ? "0" : integer;
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

std::optional<long long> NumberDigits::truncated() const {
  if (integer.size() > 18) return std::nullopt;
  const long long whole = integer.empty() ? 0 : std::stoll(integer);
  return negative ? -whole : whole;
}

}  // namespace runtime
