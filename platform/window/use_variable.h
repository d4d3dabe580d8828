// The variable a control shows and edits (its USE). A binding reads and writes raw memory by
// kind and capacity (a record's text field of fixed capacity, a number of a given width), or
// goes through a getter and setter for anything else (decimals, dates kept elsewhere).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/window/value.h"

namespace window {

enum class VarKind {
  None,
  String,   // space padded, uses its full capacity
  CString,  // NUL terminated, holds capacity - 1 bytes
  PString,  // a length byte, then up to capacity - 1 bytes
  Byte,     // unsigned 8 bits
  Short,    // signed 16 bits
  UShort,
  Long,  // signed 32 bits
  ULong,
  Real,  // 64-bit floating point
  Custom,
};

class UseVariable {
 public:
  UseVariable() = default;

  // Bindings over raw memory; `data` must outlive the binding and hold `capacity` bytes.
  static UseVariable string(void* data, std::size_t capacity);
  static UseVariable cstring(void* data, std::size_t capacity);
  static UseVariable pstring(void* data, std::size_t capacity);
  static UseVariable byte(std::uint8_t& v);
  static UseVariable shortInt(std::int16_t& v);
  static UseVariable ushortInt(std::uint16_t& v);
  static UseVariable longInt(std::int32_t& v);
  static UseVariable ulongInt(std::uint32_t& v);
  static UseVariable real(double& v);
  // A binding through functions; `isText` tells whether the variable is a text.
  static UseVariable custom(std::function<Value()> get, std::function<void(const Value&)> set,
                            bool isText);
  // A binding to a record text field of fixed capacity (String<n>, CString<n>, PString<n> or a
  // raw char array): sizeof the field is its capacity.
  template <class Field>
  static UseVariable textField(VarKind kind, Field& field) {
    return fromKind(kind, &field, sizeof(Field));
  }
  static UseVariable fromKind(VarKind kind, void* data, std::size_t capacity);

  bool bound() const { return kind_ != VarKind::None; }
  VarKind kind() const { return kind_; }
  bool isText() const;
  // Bytes a text variable can hold as text (capacity - 1 for CString and PString).
  std::size_t textCapacity() const;

  // The variable's value: a text variable as its text (a String with its padding), a number
  // as a number. An unbound variable reads as an empty text.
  Value get() const;
  // Stores a value by the runtime's assignment rules: texts are cut to the capacity on a
  // character boundary (String padded with spaces, CString NUL terminated, PString with its
  // length byte); a text stored in a number is converted (not a number: 0); a number stored in
  // an integer is truncated and wrapped to its width. Writing to an unbound variable does
  // nothing.
  void set(const Value& value);

  // True when both bind the same memory (custom bindings are never the same).
  bool sameAs(const UseVariable& other) const;

 private:
  VarKind kind_ = VarKind::None;
  void* data_ = nullptr;
  std::size_t capacity_ = 0;
  std::function<Value()> get_;
  std::function<void(const Value&)> set_;
  bool customText_ = false;
};

}  // namespace window
