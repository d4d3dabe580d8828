#include "platform/runtime/bound_value.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <optional>

#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "platform/runtime/text_types.h"

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
  if (a.isText() && b.isText()) {
    return compareText(std::get<std::string>(a.content_), std::get<std::string>(b.content_));
  }
  return compareText(a.toText(), b.toText());
}

BoundText::BoundText(char* buffer, std::size_t capacity, TextKind kind)
    : buffer_(buffer), capacity_(capacity), kind_(kind) {
  assert(buffer != nullptr && (capacity > 0 || kind == TextKind::String));
}

Value BoundText::get() const {
  switch (kind_) {
    case TextKind::String: return Value::text(std::string(stringFieldText(buffer_, capacity_)));
    case TextKind::CString: return Value::text(std::string(cStringFieldText(buffer_, capacity_)));
    case TextKind::PString: return Value::text(std::string(pStringFieldText(buffer_, capacity_)));
  }
  return {};
}

bool BoundText::set(const Value& value) {
  const std::string text = value.toText();
  switch (kind_) {
    case TextKind::String: assignStringField(buffer_, capacity_, text); break;
    case TextKind::CString: assignCStringField(buffer_, capacity_, text); break;
    case TextKind::PString: assignPStringField(buffer_, capacity_, text); break;
  }
  return true;
}

}  // namespace runtime
