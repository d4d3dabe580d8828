#include "platform/window/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace window {

std::string numberText(double n) {
  if (std::isfinite(n) && n == std::trunc(n) && std::fabs(n) < 1e15) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.0f", n);
    return buffer;
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", n);
  return buffer;
}

double textNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  if (text.empty()) return 0;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return 0;
  return value;
}

std::string Value::asText() const { return isNumber ? numberText(number) : text; }

double Value::asNumber() const { return isNumber ? number : textNumber(text); }

}  // namespace window
