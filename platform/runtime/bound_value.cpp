#include "platform/runtime/bound_value.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstring>
#include <optional>

#include "platform/runtime/utf8.h"

namespace runtime {
namespace {

// Stand-ins for the runtime's text rules until its text and number-text services are merged:
// comparison ignoring trailing spaces, NUMERIC with conversion, and numbers written as text.

std::string_view clipped(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

int compareTextStandIn(std::string_view a, std::string_view b) {
  const int order = clipped(a).compare(clipped(b));
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// The number a text holds: optional blanks, an optional sign, digits with at most one decimal
// point (at least one digit), optional blanks. Nothing for any other text.
std::optional<double> numberInText(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  text = clipped(text.substr(first));
  bool negative = false;
  if (text.front() == '-' || text.front() == '+') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const bool digitsOnly = std::all_of(text.begin(), text.end(),
                                      [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
  const auto digits = std::count_if(text.begin(), text.end(), [](char c) { return c != '.'; });
  if (!digitsOnly || digits == 0 || std::count(text.begin(), text.end(), '.') > 1) {
    return std::nullopt;
  }
  double number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return negative ? -number : number;
}

std::string numberAsText(double number) {
  char digits[64];
  const bool whole = std::trunc(number) == number && std::fabs(number) < 1e15;
  const auto end =
      whole ? std::to_chars(digits, digits + sizeof digits, static_cast<long long>(number)).ptr
            : std::to_chars(digits, digits + sizeof digits, number, std::chars_format::general, 15)
                  .ptr;
  return std::string(digits, end);
}

}  // namespace

double Value::toNumber() const {
  if (const double* number = std::get_if<double>(&content_)) return *number;
  return numberInText(std::get<std::string>(content_)).value_or(0);
}

std::string Value::toText() const {
  if (const std::string* text = std::get_if<std::string>(&content_)) return *text;
  return numberAsText(std::get<double>(content_));
}

bool Value::isTrue() const {
  if (const double* number = std::get_if<double>(&content_)) return *number != 0;
  return !clipped(std::get<std::string>(content_)).empty();
}

int compareValues(const Value& a, const Value& b) {
  const auto compareNumbers = [](double x, double y) { return x < y ? -1 : x > y ? 1 : 0; };
  if (!a.isText() && !b.isText()) return compareNumbers(a.toNumber(), b.toNumber());
  if (a.isText() != b.isText()) {
    const Value& text = a.isText() ? a : b;
    if (const auto number = numberInText(text.toText())) {
      return a.isText() ? compareNumbers(*number, b.toNumber())
                        : compareNumbers(a.toNumber(), *number);
    }
  }
  return compareTextStandIn(a.toText(), b.toText());
}

BoundText::BoundText(char* buffer, std::size_t capacity, TextKind kind)
    : buffer_(buffer), capacity_(capacity), kind_(kind) {
  assert(buffer != nullptr && (capacity > 0 || kind == TextKind::String));
}

Value BoundText::get() const {
  switch (kind_) {
    case TextKind::String: return Value::text(std::string(buffer_, capacity_));
    case TextKind::CString: return Value::text(std::string(buffer_, strnlen(buffer_, capacity_)));
    case TextKind::PString: {
      const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(buffer_[0]),
                                                       std::min<std::size_t>(capacity_ - 1, 255));
      return Value::text(std::string(buffer_ + 1, length));
    }
  }
  return {};
}

bool BoundText::set(const Value& value) {
  const std::string text = value.toText();
  switch (kind_) {
    case TextKind::String: {
      const std::string_view kept = utf8Prefix(text, capacity_);
      std::memcpy(buffer_, kept.data(), kept.size());
      std::memset(buffer_ + kept.size(), ' ', capacity_ - kept.size());
      break;
    }
    case TextKind::CString: {
      const std::string_view kept = utf8Prefix(text, capacity_ - 1);
      std::memcpy(buffer_, kept.data(), kept.size());
      buffer_[kept.size()] = '\0';
      break;
    }
    case TextKind::PString: {
      const std::string_view kept = utf8Prefix(text, std::min<std::size_t>(capacity_ - 1, 255));
      buffer_[0] = static_cast<char>(kept.size());
      std::memcpy(buffer_ + 1, kept.data(), kept.size());
      break;
    }
  }
  return true;
}

}  // namespace runtime
