// The variable a control shows and edits (its USE): one of the runtime's bound values. Text
// variables are bound over their fixed buffer (a record's String<n>, CString<n> or PString<n>,
// or raw bytes of a kind and capacity), numbers over their C++ variable, anything else through
// a BoundValue of its own (decimals, dates kept elsewhere).
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

#include "platform/runtime/bound_value.h"
#include "platform/runtime/text_types.h"

namespace window {

using runtime::Value;

class UseVariable {
 public:
  UseVariable() = default;
  // A text variable over `capacity` bytes at `buffer`, which must outlive the binding.
  static UseVariable text(char* buffer, std::size_t capacity, runtime::TextKind kind);
  static UseVariable string(char* buffer, std::size_t capacity) {
    return text(buffer, capacity, runtime::TextKind::String);
  }
  static UseVariable cstring(char* buffer, std::size_t capacity) {
    return text(buffer, capacity, runtime::TextKind::CString);
  }
  static UseVariable pstring(char* buffer, std::size_t capacity) {
    return text(buffer, capacity, runtime::TextKind::PString);
  }
  // A record text field: String<n>, CString<n> or PString<n>.
  template <std::size_t N, class Kind>
  static UseVariable field(runtime::TextFieldOf<N, Kind>& f) {
    using K = runtime::TextKind;
    constexpr K kind = Kind::fieldType == runtime::FieldType::String    ? K::String
                       : Kind::fieldType == runtime::FieldType::CString ? K::CString
                                                                        : K::PString;
    return text(f.data(), N, kind);
  }
  // A number variable (BYTE, SHORT, USHORT, LONG, ULONG, SREAL, REAL).
  template <class Number>
  requires std::is_arithmetic_v<Number>
  static UseVariable number(Number& v) {
    return bound(std::make_shared<runtime::BoundNumber<Number>>(v), false);
  }
  // Any bound value; `isText` tells whether it holds a text.
  static UseVariable bound(std::shared_ptr<runtime::BoundValue> value, bool isText);

  bool bound() const { return value_ != nullptr; }
  bool isText() const { return isText_; }
  // The variable's value; an unbound variable reads as an empty text.
  Value get() const;
  // Stores a value by the runtime's assignment rules (texts cut to the capacity on a character
  // boundary). False when the variable cannot hold it (a number out of its range), or when
  // unbound; the variable is then unchanged.
  bool set(const Value& value);

 private:
  std::shared_ptr<runtime::BoundValue> value_;
  bool isText_ = true;
};

}  // namespace window
