#include "platform/runtime/number_text.h"

#include <locale.h>
#include <stdlib.h>

#include <array>
#include <cassert>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>

namespace runtime {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A text that NUMERIC accepts: its number without the surrounding spaces, whether it is a
// plain whole number (no fraction, no exponent), and its value.
struct Number {
  std::string_view body;
  bool integral;
  double value;
};

// The C locale, so that strtod reads "." as the decimal point whatever the process's locale.
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
  assert(locale != nullptr);
  return locale;
}

// Reads `text` by the syntax NUMERIC documents; nothing when it is not a number or its value
// is beyond what a REAL holds.
std::optional<Number> readNumber(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return std::nullopt;
  const std::string_view body = text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
  std::size_t i = body.front() == '+' || body.front() == '-' ? 1 : 0;
  const auto skipDigits = [&] {
    const std::size_t from = i;
    while (i < body.size() && isDigit(body[i])) ++i;
    return i - from;
  };
  std::size_t digits = skipDigits();
  bool integral = true;
  if (i < body.size() && body[i] == '.') {
    ++i;
    digits += skipDigits();
    integral = false;
  }
  if (digits == 0) return std::nullopt;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    if (skipDigits() == 0) return std::nullopt;
    integral = false;
  }
  if (i != body.size()) return std::nullopt;

  const std::string terminated(body);
  const double value = strtod_l(terminated.c_str(), nullptr, cLocale());
  if (!std::isfinite(value)) return std::nullopt;  // too large for a REAL
  return Number{body, integral, value};
}

long long truncateToLong(double value) {
  // 2^63 is exactly representable; anything at or beyond it saturates.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit) return LLONG_MAX;
  if (value <= -kLimit) return LLONG_MIN;
  return static_cast<long long>(value);
}

}  // namespace

bool NUMERIC(std::string_view text) { return readNumber(text).has_value(); }

long long textToLong(std::string_view text) {
  const std::optional<Number> number = readNumber(text);
  if (!number) return 0;
  if (!number->integral) return truncateToLong(number->value);
  // Whole numbers are read exactly, not through a double, so that large values keep every
  // digit.
  std::string_view digits = number->body;
  if (digits.front() == '+') digits.remove_prefix(1);  // from_chars takes only a "-"
  long long value = 0;
  const char* first = digits.data();
  const char* last = first + digits.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc::result_out_of_range) {
    return digits.front() == '-' ? LLONG_MIN : LLONG_MAX;
  }
  assert(error == std::errc() && end == last);
  return value;
}

double textToReal(std::string_view text) {
  const std::optional<Number> number = readNumber(text);
  return number ? number->value : 0.0;
}

std::string longToText(long long value) {
  std::array<char, 24> buffer;
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  assert(error == std::errc());
  return std::string(buffer.data(), end);
}

std::string realToText(double value) {
  if (value == 0) return "0";  // also for -0.0
  std::array<char, 32> buffer;
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::general, 15);
  assert(error == std::errc());
  return std::string(buffer.data(), end);
}

}  // namespace runtime
