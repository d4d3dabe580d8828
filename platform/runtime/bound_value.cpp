#include "platform/runtime/bound_value.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <optional>

#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"

namespace runtime {
namespace {

// The number a text holds, nothing when the text is not a number.
std::optional<double> numberInText(std::string_view text) {
  if (!NUMERIC(text)) return std::nullopt;
  return textToReal(text);
}

}  // namespace

double Value::toNumber() const {
  if (const double* number = std::get_if<double>(&content_)) return *number;
  return numberInText(std::get<std::string>(content_)).value_or(0);
}

std::string Value::toText() const {
  if (const std::string* text = std::get_if<std::string>(&content_)) return *text;
  return realToText(std::get<double>(content_));
}

bool Value::isTrue() const {
  if (const double* number = std::get_if<double>(&content_)) return *number != 0;
  return !CLIP(std::get<std::string>(content_)).empty();
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
  return compareText(a.toText(), b.toText());
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
